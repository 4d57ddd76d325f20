#include "app/edithistory.h"

#include <algorithm>
#include <cstring>

std::size_t EditStep::heldBytes() const
{
    std::size_t bytes = sizeof(EditStep) + name.size();
    for (const ChangedSpan& span : spans)
        bytes += sizeof(ChangedSpan) + span.before.size() + span.after.size();
    return bytes;
}

void applyWrites(std::vector<std::uint8_t>& buffer, const std::vector<SpanWrite>& writes)
{
    for (const SpanWrite& write : writes) {
        if (write.offset >= buffer.size())
            continue;
        const std::size_t count = std::min(write.bytes.size(), buffer.size() - write.offset);
        std::copy_n(write.bytes.begin(), count, buffer.begin() + static_cast<std::ptrdiff_t>(write.offset));
    }
}

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

std::vector<ChangedSpan> EditSnapshot::changes(std::span<const std::uint8_t> buffer) const
{
    std::vector<ChangedSpan> spans;
    for (const Range& range : ranges_) {
        if (range.offset >= buffer.size())
            continue;
        const std::size_t count = std::min(range.bytes.size(), buffer.size() - range.offset);
        const std::uint8_t* old = range.bytes.data();
        const std::uint8_t* now = buffer.data() + range.offset;
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
            while (i < count && old[i] != now[i])
                ++i;
            spans.push_back(ChangedSpan{range.offset + start, std::vector<std::uint8_t>(old + start, old + i),
                                        std::vector<std::uint8_t>(now + start, now + i)});
        }
    }
    return spans;
}

// ---- history -----------------------------------------------------------------------

void EditHistory::record(EditStep step)
{
    if (step.spans.empty())
        return;
    while (steps_.size() > current_) {
        held_ -= steps_.back().heldBytes();
        steps_.pop_back();
    }
    held_ += step.heldBytes();
    steps_.push_back(std::move(step));
    ++current_;
    while (held_ > budget_ && !steps_.empty()) {
        held_ -= steps_.front().heldBytes();
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

std::vector<SpanWrite> EditHistory::undo()
{
    std::vector<SpanWrite> writes;
    if (!canUndo())
        return writes;
    const EditStep& step = steps_[--current_];
    for (const ChangedSpan& span : step.spans)
        writes.push_back(SpanWrite{span.offset, span.before});
    return writes;
}

std::vector<SpanWrite> EditHistory::redo()
{
    std::vector<SpanWrite> writes;
    if (!canRedo())
        return writes;
    const EditStep& step = steps_[current_++];
    for (const ChangedSpan& span : step.spans)
        writes.push_back(SpanWrite{span.offset, span.after});
    return writes;
}

void EditHistory::clear()
{
    steps_.clear();
    current_ = 0;
    held_ = 0;
    ++generation_;
}
