#include "search/search.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Both searches test a block of positions at once against two of the
// pattern's bytes, in plain loops the compiler vectorises, and give only the
// positions that pass to the exact byte-by-byte check. On random data about
// one position in 65536 gets that far.
constexpr std::size_t kBlock = 256;
using BlockFlags = std::array<std::uint8_t, kBlock>;

// `mismatch(k)` is 0 exactly where position k of a block passes. The first
// kernel only says whether any position passes, storing nothing, so that most
// blocks cost no more than that short loop; the second marks them.
template <typename Mismatch>
bool anyPasses(Mismatch mismatch)
{
    std::uint8_t smallest = 0xFF;
    for (std::size_t k = 0; k < kBlock; ++k)
        smallest = std::min(smallest, mismatch(k));
    return smallest == 0;
}

template <typename Mismatch>
void markPasses(Mismatch mismatch, BlockFlags& flags)
{
    for (std::size_t k = 0; k < kBlock; ++k)
        flags[k] = mismatch(k) == 0;
}

std::size_t stepFor(int interval)
{
    return static_cast<std::size_t>(std::max(interval, 0)) + 1;
}

// How many positions leave room for `length` bytes `step` apart.
std::size_t positionCount(std::size_t imageSize, std::size_t length, std::size_t step)
{
    const std::size_t span = (length - 1) * step;
    return imageSize > span ? imageSize - span : 0;
}

// Calls `visit` for each marked position of a block, in order, until it
// returns true; says whether it did. memchr finds the few marks among the
// 256 flags faster than a loop over them.
template <typename Visit>
bool visitMarked(const BlockFlags& flags, Visit visit)
{
    const std::uint8_t* const end = flags.data() + flags.size();
    for (const std::uint8_t* mark = flags.data();
         (mark = static_cast<const std::uint8_t*>(std::memchr(mark, 1, static_cast<std::size_t>(end - mark))));
         ++mark)
        if (visit(static_cast<std::size_t>(mark - flags.data())))
            return true;
    return false;
}

// ---- forward search -----------------------------------------------------------

bool patternAt(const std::uint8_t* image, std::size_t position, std::span<const std::uint8_t> pattern,
               std::size_t step)
{
    for (std::size_t j = 0; j < pattern.size(); ++j)
        if (image[position + j * step] != pattern[j])
            return false;
    return true;
}

} // namespace

std::optional<std::size_t> findForward(std::span<const std::uint8_t> image, std::int64_t start,
                                       std::span<const std::uint8_t> pattern, int interval)
{
    if (pattern.empty() || start < 0 || static_cast<std::uint64_t>(start) >= image.size())
        return std::nullopt;
    const std::size_t step = stepFor(interval);
    const std::size_t count = positionCount(image.size(), pattern.size(), step);
    const std::uint8_t* data = image.data();
    const std::size_t lastOffset = (pattern.size() - 1) * step;
    const std::uint8_t firstByte = pattern.front();
    const std::uint8_t lastByte = pattern.back();
    // No memchr for the first byte: where that byte is common (runs of 00 or
    // FF) it would stop at every position, while the block test does not care.
    BlockFlags flags;
    std::size_t position = static_cast<std::size_t>(start) + 1; // the start itself never counts
    for (; position < count && count - position >= kBlock; position += kBlock) {
        const std::uint8_t* first = data + position;
        const std::uint8_t* last = first + lastOffset;
        const auto mismatch = [=](std::size_t k) {
            return static_cast<std::uint8_t>((first[k] ^ firstByte) | (last[k] ^ lastByte));
        };
        if (!anyPasses(mismatch))
            continue;
        markPasses(mismatch, flags);
        std::optional<std::size_t> hit;
        (void)visitMarked(flags, [&](std::size_t k) {
            if (patternAt(data, position + k, pattern, step))
                hit = position + k;
            return hit.has_value();
        });
        if (hit)
            return hit;
    }
    for (; position < count; ++position)
        if (patternAt(data, position, pattern, step))
            return position;
    return std::nullopt;
}

namespace {

// ---- relative search ----------------------------------------------------------

struct RelativeWord {
    std::size_t length = 0;
    std::size_t step = 1;
    std::array<int, kLongestRelativeWord> distance{}; // letter j minus letter 0
    // The two letters the block test looks at: the first that differs from
    // letter 0 (so runs of one byte value fail the test) and the last.
    std::size_t testedA = 1;
    std::size_t testedB = 1;
};

RelativeWord relativeWord(std::string_view word, std::size_t step)
{
    RelativeWord w;
    w.length = word.size();
    w.step = step;
    for (std::size_t j = 0; j < word.size(); ++j)
        w.distance[j] = static_cast<unsigned char>(word[j]) - static_cast<unsigned char>(word[0]);
    for (std::size_t j = word.size() - 1; j >= 1; --j)
        if (w.distance[j] != 0)
            w.testedA = j;
    w.testedB = w.testedA != word.size() - 1 ? word.size() - 1 : 1;
    return w;
}

bool relativeAt(const std::uint8_t* image, std::size_t position, const RelativeWord& w)
{
    const int first = image[position];
    for (std::size_t j = 1; j < w.length; ++j)
        if (image[position + j * w.step] != first + w.distance[j])
            return false;
    return true;
}

// Room for the hits random bytes would give, so that collecting them rarely
// has to grow the vector.
std::size_t expectedRandomHits(std::size_t positions, std::size_t length)
{
    const std::size_t oddsShift = std::min<std::size_t>(8 * (length - 1), 32);
    return (positions >> oddsShift) + 16;
}

} // namespace

RelativeSearchResult relativeSearch(std::span<const std::uint8_t> image, std::string_view word, int interval)
{
    RelativeSearchResult result;
    if (word.size() > kLongestRelativeWord) {
        result.wordTooLong = true;
        return result;
    }
    if (word.size() < 2)
        return result;
    const RelativeWord w = relativeWord(word, stepFor(interval));
    const std::size_t count = positionCount(image.size(), w.length, w.step);
    result.hits.reserve(expectedRandomHits(count, w.length));

    const std::uint8_t* data = image.data();
    const auto da = static_cast<std::uint8_t>(w.distance[w.testedA]);
    const auto db = static_cast<std::uint8_t>(w.distance[w.testedB]);
    const std::size_t offsetA = w.testedA * w.step;
    const std::size_t offsetB = w.testedB * w.step;
    // With one test only (two-letter words) most blocks hold a candidate, so
    // the marks are made at once.
    const bool oneTest = w.testedA == w.testedB;
    BlockFlags flags;
    std::size_t position = 0;
    for (; count - position >= kBlock; position += kBlock) {
        const std::uint8_t* first = data + position;
        const std::uint8_t* a = first + offsetA;
        const std::uint8_t* b = first + offsetB;
        // Zero where a[k] - da == first[k] == b[k] - db, modulo 256.
        const auto mismatch = [=](std::size_t k) {
            const auto shiftedA = static_cast<std::uint8_t>(a[k] - da);
            const auto shiftedB = static_cast<std::uint8_t>(b[k] - db);
            return static_cast<std::uint8_t>((shiftedA ^ first[k]) | (shiftedA ^ shiftedB));
        };
        if (!oneTest && !anyPasses(mismatch))
            continue;
        markPasses(mismatch, flags);
        (void)visitMarked(flags, [&](std::size_t k) {
            if (relativeAt(data, position + k, w))
                result.hits.push_back(position + k);
            return false;
        });
    }
    for (; position < count; ++position)
        if (relativeAt(data, position, w))
            result.hits.push_back(position);
    return result;
}
