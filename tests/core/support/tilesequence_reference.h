#pragma once
// Tile sequence matching as plain text comparison, the way the rule reads:
// the hexadecimal text of the bytes at the offset, built per entry, with
// block 00's entry as the first length bar. The tests and the benchmark
// compare the indexed lookup with it.
#include "app/numbers.h"
#include "text/tiletable.h"

#include <span>
#include <string>

inline TileCode referenceCodeAt(const TileTableEntries& entries, std::span<const std::uint8_t> bytes,
                                std::size_t offset)
{
    std::size_t best = 0;
    bool found = false;
    for (std::size_t code = 0; code < 256; ++code) {
        const std::string& entry = entries[code];
        const std::size_t length = entry.size() / 2;
        if (entry.empty() || entry.size() < entries[best].size() || offset + length > bytes.size())
            continue;
        std::string text;
        for (std::size_t i = 0; i < length; ++i)
            text += hexText(bytes[offset + i], 2);
        if (text == entry) {
            best = code;
            found = true;
        }
    }
    if (!found)
        return {bytes[offset], 1, false};
    return {static_cast<std::uint8_t>(best), entries[best].size() / 2, true};
}
