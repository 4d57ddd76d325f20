#pragma once
// Data the codec and picture tests share.
#include "tiles/palette.h"

#include <cstdint>
#include <random>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// All entries different and none black, so every colour names exactly one
// value and "outside the image" can be told from value 0.
inline Palettes distinctPalettes()
{
    Palettes p;
    p.four = {rgbColour(10, 20, 30), rgbColour(40, 50, 60), rgbColour(70, 80, 90), rgbColour(100, 110, 120)};
    for (int i = 0; i < 16; ++i)
        p.sixteen[static_cast<std::size_t>(i)] = rgbColour(i * 15 + 1, 200 - i * 10, 7 + i);
    for (int i = 0; i < 256; ++i)
        p.full[static_cast<std::size_t>(i)] = rgbColour(i, 255 - i, 99);
    return p;
}

inline Bytes randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(rng());
    return bytes;
}
