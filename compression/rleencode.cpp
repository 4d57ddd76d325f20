// Run-length 30h: runs of 3 to 130 equal bytes become a flag and the byte;
// everything between them goes out as literal items of up to 128 bytes,
// each cut short only before a run or at the end.
#include "compression/encoders.h"

#include <algorithm>

std::vector<std::uint8_t> encodeRle(std::span<const std::uint8_t> data)
{
    constexpr std::size_t kLongestRun = 130;
    constexpr std::size_t kLongestLiterals = 128;
    std::vector<std::uint8_t> out;
    out.reserve(data.size() + data.size() / 64 + 16);
    appendBlockHeader(out, 0x30, data.size());
    const auto flushLiterals = [&](std::size_t from, std::size_t to) {
        while (from < to) {
            const std::size_t count = std::min(kLongestLiterals, to - from);
            out.push_back(static_cast<std::uint8_t>(count - 1));
            out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(from),
                       data.begin() + static_cast<std::ptrdiff_t>(from + count));
            from += count;
        }
    };
    std::size_t literalsFrom = 0;
    for (std::size_t i = 0; i < data.size();) {
        std::size_t run = 1;
        while (run < kLongestRun && i + run < data.size() && data[i + run] == data[i])
            ++run;
        if (run < 3) {
            i += run;
            continue;
        }
        flushLiterals(literalsFrom, i);
        out.push_back(static_cast<std::uint8_t>(0x80 | (run - 3)));
        out.push_back(data[i]);
        i += run;
        literalsFrom = i;
    }
    flushLiterals(literalsFrom, data.size());
    return out;
}
