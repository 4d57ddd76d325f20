#pragma once
// Two files from one fuzz input, for the patch makers: the first taken as it
// comes, the second either taken as it comes too or made from the first by
// edits (bytes written, inserted, removed, blocks moved), which is what real
// patches see.
#include "fuzzinput.h"

#include <algorithm>
#include <vector>

struct FuzzPair {
    std::vector<std::uint8_t> original;
    std::vector<std::uint8_t> modified;
};

inline FuzzPair fuzzPair(FuzzInput& input)
{
    FuzzPair pair;
    const std::span<const std::uint8_t> first = input.bytes(input.take<std::uint16_t>() % 8192);
    pair.original.assign(first.begin(), first.end());
    if (input.flag()) {
        const std::span<const std::uint8_t> second = input.rest();
        pair.modified.assign(second.begin(), second.end());
        return pair;
    }
    std::vector<std::uint8_t>& out = pair.modified = pair.original;
    while (input.remaining() >= 4) {
        const int kind = input.inRange(0, 3);
        const std::size_t at = input.take<std::uint16_t>() % (out.size() + 1);
        const std::size_t length = input.inRange(1, 300);
        const auto value = input.take<std::uint8_t>();
        const auto where = out.begin() + static_cast<std::ptrdiff_t>(at);
        if (kind == 0)
            out.insert(where, length, value);
        else if (kind == 1)
            out.erase(where, where + static_cast<std::ptrdiff_t>(std::min(length, out.size() - at)));
        else if (kind == 2)
            std::fill(where, where + static_cast<std::ptrdiff_t>(std::min(length, out.size() - at)), value);
        else if (!out.empty()) {
            // A block moved: copied from a place the value picks.
            const std::size_t from = value * 131u % out.size();
            const std::size_t count = std::min({length, out.size() - from, out.size() - at});
            std::copy_n(std::vector<std::uint8_t>(out.begin() + static_cast<std::ptrdiff_t>(from),
                                                  out.begin() + static_cast<std::ptrdiff_t>(from + count))
                            .begin(),
                        count, where);
        }
    }
    return pair;
}
