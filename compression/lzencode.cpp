// LZ77 (10h and 11h) by a shortest-path parse: the longest match at every
// position from hash chains, then the cheapest way from each position to the
// end, counted in bits (a literal costs 9, a copy its token bytes and a flag
// bit). Taking the longest match everywhere is one of the paths the parse
// weighs, so the result is never longer than a greedy parse over the same
// matches.
#include "compression/encoders.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr std::size_t kWindow = 4096;
constexpr std::size_t kMinLength = 3;
constexpr int kChainDepth = 256;
// A match this long is not looked for again inside itself: its tails are
// matches too, and the parse takes such a match whole in practice.
constexpr std::size_t kSkipInside = 64;

struct Match {
    std::uint32_t length = 0; // 0: no match of kMinLength or more
    std::uint32_t distance = 0;
};

std::uint32_t hash3(const std::uint8_t* p)
{
    const std::uint32_t v = std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
    return (v * 2654435761u) >> 17;
}

std::vector<Match> longestMatches(std::span<const std::uint8_t> data, std::size_t maxLength, std::size_t minDistance)
{
    const std::size_t n = data.size();
    const std::uint8_t* d = data.data();
    std::vector<Match> matches(n);
    std::vector<std::int32_t> head(std::size_t{1} << 15, -1);
    std::vector<std::int32_t> previous(n, -1);
    const auto insert = [&](std::size_t at) {
        if (at + kMinLength > n)
            return;
        std::int32_t& first = head[hash3(d + at)];
        previous[at] = first;
        first = static_cast<std::int32_t>(at);
    };
    for (std::size_t i = 0; i < n;) {
        const std::size_t limit = std::min(maxLength, n - i);
        Match best;
        if (limit >= kMinLength) {
            std::size_t bestLength = kMinLength - 1;
            int depth = kChainDepth;
            for (std::int32_t c = head[hash3(d + i)]; c >= 0 && depth-- > 0; c = previous[static_cast<std::size_t>(c)]) {
                const std::size_t distance = i - static_cast<std::size_t>(c);
                if (distance > kWindow)
                    break;
                if (distance < minDistance || d[c + bestLength] != d[i + bestLength])
                    continue;
                std::size_t length = 0;
                while (length < limit && d[c + length] == d[i + length])
                    ++length;
                if (length > bestLength) {
                    bestLength = length;
                    best = {static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(distance)};
                    if (length == limit)
                        break;
                }
            }
        }
        matches[i] = best;
        insert(i);
        if (best.length < kSkipInside) {
            ++i;
            continue;
        }
        for (std::size_t j = 1; j < best.length - kMinLength + 1; ++j) {
            matches[i + j] = {static_cast<std::uint32_t>(best.length - j), best.distance};
            insert(i + j);
        }
        i += best.length - kMinLength + 1;
    }
    return matches;
}

// Bits a copy of `length` costs, its flag bit included.
std::uint32_t copyBits(std::size_t length, bool lz11)
{
    if (!lz11 || length <= 16)
        return 17;
    return length <= 272 ? 25 : 33;
}

void appendCopy(std::vector<std::uint8_t>& out, std::size_t length, std::size_t distance, bool lz11)
{
    const std::size_t d = distance - 1;
    if (!lz11) {
        out.push_back(static_cast<std::uint8_t>((length - 3) << 4 | d >> 8));
    } else if (length <= 16) {
        out.push_back(static_cast<std::uint8_t>((length - 1) << 4 | d >> 8));
    } else if (length <= 272) {
        const std::size_t l = length - 0x11;
        out.push_back(static_cast<std::uint8_t>(l >> 4));
        out.push_back(static_cast<std::uint8_t>((l & 15) << 4 | d >> 8));
    } else {
        const std::size_t l = length - 0x111;
        out.push_back(static_cast<std::uint8_t>(0x10 | l >> 12));
        out.push_back(static_cast<std::uint8_t>(l >> 4));
        out.push_back(static_cast<std::uint8_t>((l & 15) << 4 | d >> 8));
    }
    out.push_back(static_cast<std::uint8_t>(d));
}

} // namespace

std::vector<std::uint8_t> encodeLz(std::span<const std::uint8_t> data, bool lz11, bool vramSafe)
{
    const std::size_t n = data.size();
    const std::size_t maxLength = lz11 ? 0x10110 : 18;
    const std::vector<Match> matches = longestMatches(data, maxLength, vramSafe ? 2 : 1);

    // cost[i]: the fewest bits from i to the end; take[i]: the copy length
    // that gives them, 0 for a literal.
    std::vector<std::uint32_t> cost(n + 1, 0);
    std::vector<std::uint32_t> take(n, 0);
    for (std::size_t i = n; i-- > 0;) {
        cost[i] = cost[i + 1] + 9;
        const std::size_t longest = matches[i].length;
        if (longest < kMinLength)
            continue;
        const auto weigh = [&](std::size_t length) {
            const std::uint32_t bits = copyBits(length, lz11) + cost[i + length];
            if (bits <= cost[i]) {
                cost[i] = bits;
                take[i] = static_cast<std::uint32_t>(length);
            }
        };
        // Every short length, then the ends of the longer token forms.
        const std::size_t shortest = std::min<std::size_t>(longest, 18);
        for (std::size_t length = kMinLength; length <= shortest; ++length)
            weigh(length);
        if (longest > 272)
            weigh(272);
        if (longest > shortest)
            weigh(longest);
    }

    std::vector<std::uint8_t> out;
    out.reserve(n / 2 + 16);
    appendBlockHeader(out, lz11 ? 0x11 : 0x10, n);
    std::size_t flagAt = 0;
    int items = 8;
    for (std::size_t i = 0; i < n;) {
        if (items == 8) {
            flagAt = out.size();
            out.push_back(0);
            items = 0;
        }
        if (take[i] == 0) {
            out.push_back(data[i]);
            ++i;
        } else {
            out[flagAt] = static_cast<std::uint8_t>(out[flagAt] | 0x80 >> items);
            appendCopy(out, take[i], matches[i].distance, lz11);
            i += take[i];
        }
        ++items;
    }
    return out;
}
