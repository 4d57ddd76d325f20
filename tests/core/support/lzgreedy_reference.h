#pragma once
// A greedy LZ77 parse, for comparing the encoder's sizes against: at every
// position the longest match in the whole 4096-byte window (every candidate
// tried, so no match is missed), else a literal. Writes the same block
// format as compressBlock, padded to 4 bytes. Also the tile-like data the
// compression tests and benchmark compress.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

inline std::vector<std::uint8_t> greedyLzReference(std::span<const std::uint8_t> data, bool lz11, bool vramSafe)
{
    const std::size_t n = data.size();
    const std::size_t maxLength = lz11 ? 0x10110 : 18;
    std::vector<std::uint8_t> out;
    out.reserve(n + n / 8 + 16);
    out.push_back(lz11 ? 0x11 : 0x10);
    // An LZ11 size of 0 is written in the extended form, 0 in 4 more bytes.
    for (int i = 0; i < (lz11 && n == 0 ? 7 : 3); ++i)
        out.push_back(static_cast<std::uint8_t>(i < 3 ? n >> (8 * i) : 0));
    // Candidates with the same first two bytes, newest first.
    std::vector<std::int64_t> head(65536, -1), previous(n, -1);
    std::size_t flagAt = 0;
    int items = 8;
    std::size_t inserted = 0;
    for (std::size_t i = 0; i < n;) {
        for (; inserted < i && inserted + 1 < n; ++inserted) {
            const std::size_t key = std::size_t{data[inserted]} << 8 | data[inserted + 1];
            previous[inserted] = head[key];
            head[key] = static_cast<std::int64_t>(inserted);
        }
        std::size_t bestLength = 0, bestDistance = 0;
        const std::size_t limit = std::min(maxLength, n - i);
        if (limit >= 3)
            for (std::int64_t c = head[std::size_t{data[i]} << 8 | data[i + 1]]; c >= 0 && i - c <= 4096;
                 c = previous[static_cast<std::size_t>(c)]) {
                const std::size_t distance = i - static_cast<std::size_t>(c);
                if (vramSafe && distance < 2)
                    continue;
                std::size_t length = 0;
                while (length < limit && data[static_cast<std::size_t>(c) + length] == data[i + length])
                    ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = distance;
                }
                if (length == limit)
                    break;
            }
        if (items == 8) {
            flagAt = out.size();
            out.push_back(0);
            items = 0;
        }
        if (bestLength < 3) {
            out.push_back(data[i++]);
        } else {
            out[flagAt] = static_cast<std::uint8_t>(out[flagAt] | 0x80 >> items);
            const std::size_t d = bestDistance - 1;
            const std::size_t l = bestLength;
            if (!lz11)
                out.push_back(static_cast<std::uint8_t>((l - 3) << 4 | d >> 8));
            else if (l <= 16)
                out.push_back(static_cast<std::uint8_t>((l - 1) << 4 | d >> 8));
            else if (l <= 272)
                out.insert(out.end(), {static_cast<std::uint8_t>((l - 17) >> 4),
                                       static_cast<std::uint8_t>(((l - 17) & 15) << 4 | d >> 8)});
            else
                out.insert(out.end(), {static_cast<std::uint8_t>(0x10 | (l - 273) >> 12),
                                       static_cast<std::uint8_t>((l - 273) >> 4),
                                       static_cast<std::uint8_t>(((l - 273) & 15) << 4 | d >> 8)});
            out.push_back(static_cast<std::uint8_t>(d));
            i += bestLength;
        }
        ++items;
    }
    out.resize((out.size() + 3) & ~std::size_t{3}, 0);
    return out;
}

// Tile-like data: 4bpp tiles of a few colours with runs and repeats, as
// graphics in a ROM look before compression.
inline std::vector<std::uint8_t> tileLikeBytes(std::size_t size, unsigned seed)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(size + 64);
    std::uint32_t state = seed * 2654435761u + 1;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    while (bytes.size() < size) {
        const std::uint32_t kind = next() % 8;
        if (kind == 0 && bytes.size() >= 32) { // a tile seen before
            const std::size_t back = 32 * (1 + next() % std::min<std::size_t>(bytes.size() / 32, 64));
            const std::size_t from = bytes.size() - back;
            for (std::size_t i = 0; i < 32; ++i)
                bytes.push_back(bytes[from + i]);
        } else if (kind < 3) { // blank
            bytes.insert(bytes.end(), 32, 0);
        } else { // a drawn tile: rows of 2 to 4 colours
            const std::uint8_t a = static_cast<std::uint8_t>(next() % 16), b = static_cast<std::uint8_t>(next() % 16);
            for (int row = 0; row < 8; ++row) {
                const std::uint32_t pattern = next();
                for (int i = 0; i < 4; ++i) {
                    const std::uint8_t lo = (pattern >> (2 * i)) & 1 ? a : b;
                    const std::uint8_t hi = (pattern >> (2 * i + 1)) & 1 ? a : 0;
                    bytes.push_back(static_cast<std::uint8_t>(lo | hi << 4));
                }
            }
        }
    }
    bytes.resize(size);
    return bytes;
}
