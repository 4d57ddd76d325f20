#include "app/edithistory.h"

#include <algorithm>
#include <cstring>

std::size_t EditStep::heldBytes() const
{
    std::size_t bytes = sizeof(EditStep) + name.size() + spans.capacity() * sizeof(ChangedSpan);
    for (const ChangedSpan& span : spans)
        bytes += span.bytes.size();
    return bytes;
}

namespace {
// Exchanges a step's bytes with the buffer's, which holds the other side.
void swapIntoBuffer(std::vector<ChangedSpan>& spans, std::span<std::uint8_t> buffer)
{
    for (ChangedSpan& span : spans) {
        if (span.offset >= buffer.size())
            continue;
        const std::size_t count = std::min(span.bytes.size(), buffer.size() - span.offset);
        std::swap_ranges(span.bytes.begin(), span.bytes.begin() + static_cast<std::ptrdiff_t>(count),
                         buffer.begin() + static_cast<std::ptrdiff_t>(span.offset));
    }
}

// Unchanged bytes between two runs are cheaper to keep than a second run
// (its offset, its vector and the allocation behind it) up to about this many.
constexpr std::size_t kJoinedGap = 48;
} // namespace

// ---- snapshot --------------------------------------------------------------------

void EditSnapshot::watch(std::span<const std::uint8_t> buffer, std::int64_t offset, std::int64_t length)
{
    const auto size = static_cast<std::int64_t>(buffer.size());
    std::int64_t first = std::clamp<std::int64_t>(offset, 0, size);
    std::int64_t end = length > 0 && offset < size ? std::clamp<std::int64_t>(offset + length, 0, size) : first;
    if (end <= first)
        return;
    std::vector<Range> kept;
    std::vector<Range> joining;
    for (Range& range : ranges_) {
        const auto rangeFirst = static_cast<std::int64_t>(range.offset);
        const auto rangeEnd = rangeFirst + static_cast<std::int64_t>(range.bytes.size());
        if (rangeEnd < first || rangeFirst > end) {
            kept.push_back(std::move(range));
            continue;
        }
        first = std::min(first, rangeFirst);
        end = std::max(end, rangeEnd);
        joining.push_back(std::move(range));
    }
    // Bytes noted earlier keep the value they had then: the command may have
    // written there since.
    Range joined{static_cast<std::size_t>(first),
                 std::vector<std::uint8_t>(buffer.begin() + first, buffer.begin() + end)};
    for (const Range& earlier : joining)
        std::copy(earlier.bytes.begin(), earlier.bytes.end(),
                  joined.bytes.begin() + static_cast<std::ptrdiff_t>(earlier.offset - joined.offset));
    const auto place = std::find_if(kept.begin(), kept.end(), [&](const Range& r) { return r.offset > joined.offset; });
    kept.insert(place, std::move(joined));
    ranges_ = std::move(kept);
}

namespace {
bool hasEqualByte(std::uint64_t difference)
{
    return ((difference - 0x0101010101010101u) & ~difference & 0x8080808080808080u) != 0;
}

// Where the run of differences from `i` ends: at the last difference that
// is followed by more than kJoinedGap equal bytes or by the end.
std::size_t runEnd(const std::uint8_t* old, const std::uint8_t* now, std::size_t i, std::size_t count)
{
    std::size_t end = i;
    while (i < count && i - end <= kJoinedGap) {
        if (i + 8 <= count) {
            // Eight bytes at a time while they all differ or all agree: a
            // rewritten picture differs almost everywhere.
            std::uint64_t a = 0;
            std::uint64_t b = 0;
            std::memcpy(&a, old + i, 8);
            std::memcpy(&b, now + i, 8);
            const std::uint64_t difference = a ^ b;
            if (difference == 0) {
                i += 8;
                continue;
            }
            if (!hasEqualByte(difference)) {
                i += 8;
                end = i;
                continue;
            }
        }
        if (old[i] != now[i])
            end = i + 1;
        ++i;
    }
    return end;
}
} // namespace

std::vector<ChangedSpan> EditSnapshot::takeChanges(std::span<const std::uint8_t> buffer)
{
    std::vector<ChangedSpan> spans;
    for (Range& range : ranges_) {
        if (range.offset >= buffer.size())
            continue;
        const std::size_t count = std::min(range.bytes.size(), buffer.size() - range.offset);
        const std::uint8_t* old = range.bytes.data();
        const std::uint8_t* now = buffer.data() + range.offset;
        const std::size_t firstSpan = spans.size();
        // Whole unchanged stretches are skipped by memcmp in blocks: most of a
        // large watched range (a whole-grid import) usually stays as it was.
        constexpr std::size_t kBlock = 256;
        std::size_t i = 0;
        while (i < count) {
            const std::size_t block = std::min(kBlock, count - i);
            if (std::memcmp(old + i, now + i, block) == 0) {
                i += block;
                continue;
            }
            while (old[i] == now[i])
                ++i;
            const std::size_t start = i;
            i = runEnd(old, now, i, count);
            spans.push_back(ChangedSpan{range.offset + start, std::vector<std::uint8_t>(old + start, old + i)});
        }
        // One run over nearly all the range: the noted bytes themselves are
        // kept, rather than a copy of them (the few unchanged ones at its ends
        // are swapped with themselves).
        if (spans.size() == firstSpan + 1 && count == range.bytes.size() &&
            spans.back().bytes.size() >= count - count / 8) {
            spans.back() = ChangedSpan{range.offset, std::move(range.bytes)};
        }
    }
    ranges_.clear();
    return spans;
}

// ---- history -----------------------------------------------------------------------

void EditHistory::record(EditStep step)
{
    if (step.spans.empty())
        return;
    step.serial = nextSerial_++;
    while (steps_.size() > current_) {
        held_ -= steps_.back().heldBytes();
        steps_.pop_back();
    }
    held_ += step.heldBytes();
    steps_.push_back(std::move(step));
    ++current_;
    while (held_ > budget_ && !steps_.empty()) {
        held_ -= steps_.front().heldBytes();
        origin_ = steps_.front().serial;
        steps_.pop_front();
        --current_;
    }
}

std::string EditHistory::undoName() const
{
    return canUndo() ? steps_[current_ - 1].name : std::string();
}

std::string EditHistory::redoName() const
{
    return canRedo() ? steps_[current_].name : std::string();
}

bool EditHistory::undo(std::span<std::uint8_t> buffer)
{
    if (!canUndo())
        return false;
    swapIntoBuffer(steps_[--current_].spans, buffer);
    return true;
}

bool EditHistory::redo(std::span<std::uint8_t> buffer)
{
    if (!canRedo())
        return false;
    swapIntoBuffer(steps_[current_++].spans, buffer);
    return true;
}

void EditHistory::clear()
{
    steps_.clear();
    current_ = 0;
    held_ = 0;
    ++generation_;
    origin_ = nextSerial_++;
}

std::uint64_t EditHistory::position() const
{
    return current_ > 0 ? steps_[current_ - 1].serial : origin_;
}
