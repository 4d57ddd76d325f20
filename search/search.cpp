#include "search/search.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Both searches test a block of positions at once against two of the
// pattern's bytes, in plain loops the compiler vectorises, and give only the
// positions that pass to the exact byte-by-byte check. On random data about
// one position in 65536 gets that far.
constexpr std::size_t kBlock = 64;
using BlockFlags = std::array<std::uint8_t, kBlock>;

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

// Calls `visit` for each flagged position of a block, in order, until it
// returns true; says whether it did.
template <typename Visit>
bool visitFlagged(const BlockFlags& flags, Visit visit)
{
    for (std::size_t word = 0; word < kBlock; word += 8) {
        std::uint64_t eight = 0; // skips eight clear flags at once
        std::memcpy(&eight, flags.data() + word, sizeof eight);
        if (eight == 0)
            continue;
        for (std::size_t k = word; k < word + 8; ++k)
            if (flags[k] && visit(k))
                return true;
    }
    return false;
}

// ---- forward search -----------------------------------------------------------

// flags[k]: a[k] == va and b[k] == vb. Says whether any flag is set.
bool equalBytesBlock(const std::uint8_t* a, std::uint8_t va, const std::uint8_t* b, std::uint8_t vb,
                     BlockFlags& flags)
{
    std::uint8_t any = 0;
    for (std::size_t k = 0; k < kBlock; ++k) {
        const auto flag = static_cast<std::uint8_t>((a[k] == va) & (b[k] == vb));
        flags[k] = flag;
        any |= flag;
    }
    return any != 0;
}

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
    BlockFlags flags;
    std::size_t candidate = static_cast<std::size_t>(start) + 1; // the start itself never counts
    while (candidate < count) {
        // memchr skips quickly to the next first byte; where that byte is
        // common (runs of 00 or FF) a whole block is then tested at once, so
        // long runs cost no more than the block test.
        const void* found = std::memchr(data + candidate, pattern.front(), count - candidate);
        if (!found)
            return std::nullopt;
        candidate = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - data);
        std::optional<std::size_t> hit;
        const auto check = [&](std::size_t k) {
            if (patternAt(data, candidate + k, pattern, step))
                hit = candidate + k;
            return hit.has_value();
        };
        if (count - candidate >= kBlock) {
            if (equalBytesBlock(data + candidate, pattern.front(), data + candidate + lastOffset, pattern.back(),
                                flags) &&
                visitFlagged(flags, check))
                return hit;
            candidate += kBlock;
        } else {
            for (std::size_t k = 0; candidate + k < count; ++k)
                if (check(k))
                    return hit;
            return std::nullopt;
        }
    }
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

// flags[k]: a[k] - first[k] == da and b[k] - first[k] == db, modulo 256. A
// necessary condition only: the exact check rules out wrapping.
bool distancesBlock(const std::uint8_t* first, const std::uint8_t* a, std::uint8_t da, const std::uint8_t* b,
                    std::uint8_t db, BlockFlags& flags)
{
    std::uint8_t any = 0;
    for (std::size_t k = 0; k < kBlock; ++k) {
        const auto flag = static_cast<std::uint8_t>((static_cast<std::uint8_t>(a[k] - first[k]) == da) &
                                                    (static_cast<std::uint8_t>(b[k] - first[k]) == db));
        flags[k] = flag;
        any |= flag;
    }
    return any != 0;
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
    BlockFlags flags;
    std::size_t position = 0;
    for (; count - position >= kBlock; position += kBlock) {
        const std::uint8_t* first = data + position;
        if (!distancesBlock(first, first + offsetA, da, first + offsetB, db, flags))
            continue;
        (void)visitFlagged(flags, [&](std::size_t k) {
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
