// Making BPS patches. The target is walked once from its start. Where it
// still equals the source at the same offset the bytes are read in place;
// elsewhere the longest of a few candidates is taken: the source at the
// shift of the last copy (data that moved, or bytes inserted or removed),
// the source or the target at a place whose bytes hash alike, and the byte
// before (runs). Bytes that none of them matches are written out.
#include "patch/bps.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace {

enum Action : std::uint64_t { SourceRead, TargetRead, SourceCopy, TargetCopy };

constexpr std::size_t kWindow = 16;   // bytes hashed at a place
constexpr std::size_t kStep = 8;      // source places indexed: every kStep-th
constexpr std::size_t kShortest = 8;  // the shortest copy worth its offset
constexpr std::size_t kShortestRead = 4;

std::uint64_t load64(const std::uint8_t* at)
{
    std::uint64_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// How many bytes from a and b are equal, at most `limit`.
std::size_t matchLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit)
{
    std::size_t n = 0;
    for (; n + 8 <= limit; n += 8) {
        const std::uint64_t diff = load64(a + n) ^ load64(b + n);
        if (diff != 0)
            return n + static_cast<std::size_t>(std::countr_zero(diff)) / 8;
    }
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

// Places of a file by a hash of the kWindow bytes there; a later place
// replaces an earlier one with the same hash. Candidates are checked by
// comparing bytes, so collisions only cost a miss.
class WindowIndex {
public:
    explicit WindowIndex(std::size_t places)
        : bits_(std::clamp(static_cast<int>(std::bit_width(places)), 10, 23)), slots_(std::size_t{1} << bits_, 0)
    {
    }
    void add(const std::uint8_t* base, std::size_t place)
    {
        slots_[slot(base + place)] = static_cast<std::uint32_t>(place + 1);
    }
    // A place whose window may equal the one at `window`, or none.
    std::optional<std::size_t> find(const std::uint8_t* window) const
    {
        const std::uint32_t entry = slots_[slot(window)];
        if (entry == 0)
            return std::nullopt;
        return entry - 1;
    }

private:
    std::size_t slot(const std::uint8_t* window) const
    {
        std::uint64_t h = (load64(window) ^ std::rotl(load64(window + 8), 29)) * 0x9E3779B97F4A7C15u;
        h ^= h >> 31;
        h *= 0xC2B2AE3D27D4EB4Fu;
        return static_cast<std::size_t>(h >> (64 - bits_));
    }

    int bits_;
    std::vector<std::uint32_t> slots_;
};

struct Match {
    Action action = TargetRead;
    std::size_t start = 0; // first target byte it makes
    std::size_t from = 0;  // where it copies from (SourceCopy, TargetCopy)
    std::size_t length = 0;
    std::size_t end() const { return start + length; }
};

class BpsMaker {
public:
    BpsMaker(ByteView source, ByteView target) : src_(source), tgt_(target) {}

    RomBytes make(std::string_view metadata)
    {
        out_.insert(out_.end(), {'B', 'P', 'S', '1'});
        appendBpsNumber(out_, src_.size());
        appendBpsNumber(out_, tgt_.size());
        appendBpsNumber(out_, metadata.size());
        out_.insert(out_.end(), metadata.begin(), metadata.end());
        std::size_t p = 0;
        while (p < tgt_.size()) {
            const Match best = bestMatchAt(p);
            if (best.action == TargetRead) {
                ++p; // one more byte written out
                continue;
            }
            flushLiterals(best.start);
            emit(best);
            p = best.end();
        }
        flushLiterals(tgt_.size());
        appendLittle32(crc32Of(src_));
        appendLittle32(crc32Of(tgt_));
        appendLittle32(crc32Of(out_));
        return std::move(out_);
    }

private:
    // The candidate that reaches furthest from the pending literal bytes, or
    // TargetRead when none is long enough.
    Match bestMatchAt(std::size_t p)
    {
        Match best;
        const auto consider = [&](Match m, std::size_t shortest) {
            if (m.length >= shortest && m.end() > best.end())
                best = m;
        };
        if (p < src_.size()) {
            const std::size_t same = matchLength(tgt_.data() + p, src_.data() + p, std::min(src_.size(), tgt_.size()) - p);
            // Most of a ROM's bytes are unchanged: no other candidate is looked for.
            if (same >= 32)
                return {SourceRead, p, p, same};
            consider({SourceRead, p, p, same}, kShortestRead);
        }
        const auto shifted = static_cast<std::int64_t>(p) + lastShift_;
        if (lastShift_ != 0 && shifted >= 0 && static_cast<std::size_t>(shifted) < src_.size())
            consider(sourceMatch(p, static_cast<std::size_t>(shifted)), kShortest);
        if (p + kWindow <= tgt_.size()) {
            if (const std::optional<std::size_t> at = sourceIndex().find(tgt_.data() + p))
                if (*at + kWindow <= src_.size())
                    consider(sourceMatch(p, *at), kWindow);
            if (targetIndex_)
                if (const std::optional<std::size_t> at = targetIndex_->find(tgt_.data() + p); at && *at < p)
                    consider(targetMatch(p, *at), kWindow);
        }
        if (p > 0)
            consider(targetMatch(p, p - 1), kShortest);
        return best;
    }

    // A SourceCopy from `from` for target byte p, grown back over the pending
    // literal bytes where they match too.
    Match sourceMatch(std::size_t p, std::size_t from) const
    {
        Match m{SourceCopy, p, from, matchLength(tgt_.data() + p, src_.data() + from,
                                                std::min(tgt_.size() - p, src_.size() - from))};
        while (m.start > literalFrom_ && m.from > 0 && tgt_[m.start - 1] == src_[m.from - 1]) {
            --m.start;
            --m.from;
            ++m.length;
        }
        return m;
    }
    // A TargetCopy may overlap the bytes it writes: the decoder copies one
    // byte after another, so comparing the target with itself is exact.
    Match targetMatch(std::size_t p, std::size_t from) const
    {
        Match m{TargetCopy, p, from, matchLength(tgt_.data() + p, tgt_.data() + from, tgt_.size() - p)};
        while (m.start > literalFrom_ && m.from > 0 && tgt_[m.start - 1] == tgt_[m.from - 1]) {
            --m.start;
            --m.from;
            ++m.length;
        }
        return m;
    }

    const WindowIndex& sourceIndex()
    {
        // Built at the first change, so identical files cost no index.
        if (!sourceIndex_) {
            sourceIndex_.emplace(src_.size() / kStep);
            for (std::size_t place = 0; place + kWindow <= src_.size(); place += kStep)
                sourceIndex_->add(src_.data(), place);
        }
        return *sourceIndex_;
    }

    void emit(const Match& m)
    {
        appendBpsNumber(out_, (m.length - 1) << 2 | m.action);
        if (m.action == SourceCopy) {
            appendOffset(static_cast<std::int64_t>(m.from) - sourceOffset_);
            sourceOffset_ = static_cast<std::int64_t>(m.from + m.length);
            lastShift_ = static_cast<std::int64_t>(m.from) - static_cast<std::int64_t>(m.start);
        } else if (m.action == TargetCopy) {
            appendOffset(static_cast<std::int64_t>(m.from) - targetOffset_);
            targetOffset_ = static_cast<std::int64_t>(m.from + m.length);
        }
        literalFrom_ = m.end();
    }

    // Writes the target's bytes from the last match up to `to` as one
    // TargetRead, and indexes them so a later repeat can copy them.
    void flushLiterals(std::size_t to)
    {
        if (to > literalFrom_) {
            appendBpsNumber(out_, (to - literalFrom_ - 1) << 2 | TargetRead);
            out_.insert(out_.end(), tgt_.begin() + static_cast<std::ptrdiff_t>(literalFrom_),
                        tgt_.begin() + static_cast<std::ptrdiff_t>(to));
            if (!targetIndex_)
                targetIndex_.emplace(tgt_.size() / kStep / 4);
            for (std::size_t place = literalFrom_; place < to && place + kWindow <= tgt_.size(); ++place)
                if (place % kStep == 0)
                    targetIndex_->add(tgt_.data(), place);
        }
        literalFrom_ = to;
    }

    void appendOffset(std::int64_t offset)
    {
        const std::uint64_t magnitude = offset < 0 ? static_cast<std::uint64_t>(-offset) : offset;
        appendBpsNumber(out_, magnitude << 1 | (offset < 0 ? 1 : 0));
    }
    void appendLittle32(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            out_.push_back(static_cast<std::uint8_t>(value >> shift));
    }

    ByteView src_;
    ByteView tgt_;
    RomBytes out_;
    std::size_t literalFrom_ = 0;     // first target byte not yet in the patch
    std::int64_t sourceOffset_ = 0;   // the decoder's source copy position
    std::int64_t targetOffset_ = 0;   // the decoder's target copy position
    std::int64_t lastShift_ = 0;      // source minus target place of the last SourceCopy
    std::optional<WindowIndex> sourceIndex_;
    std::optional<WindowIndex> targetIndex_;
};

} // namespace

PatchResult makeBpsPatch(ByteView original, ByteView modified, std::string_view metadata)
{
    if (original.size() > kLargestPatchedSize || modified.size() > kLargestPatchedSize)
        return patchFailure("files of 2 GiB and more cannot be patched");
    return patchMade(BpsMaker(original, modified).make(metadata));
}
