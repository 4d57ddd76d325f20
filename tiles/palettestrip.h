#pragma once
// How the tile editor lays out a palette of more than four entries beside
// its 256-pixel grid: one column of tall cells for up to 16 entries, rows of
// 16 small cells for more.
#include "tiles/codec.h"
#include "tiles/palette.h"

#include <algorithm>

struct PaletteStripLayout {
    int columns = 1;
    int rows = 16;
    int cellWidth = 30;
    int cellHeight = 16;

    constexpr int entries() const { return columns * rows; }
    constexpr int width() const { return columns * cellWidth; }
    constexpr int height() const { return rows * cellHeight; }
    constexpr int cellX(int entry) const { return entry % columns * cellWidth; }
    constexpr int cellY(int entry) const { return entry / columns * cellHeight; }
    // The entry under a point of the strip, points outside brought to the nearest cell.
    constexpr int entryAt(int x, int y) const
    {
        return std::clamp(y / cellHeight, 0, rows - 1) * columns + std::clamp(x / cellWidth, 0, columns - 1);
    }
};

// The values a codec's pixels can take, 2^bits, shown as cells: 8 cells of
// 30 x 32 for the 3-bit codec, 16 of 30 x 16 for the 4-bit codecs, and
// 16 cells of 16 x 16 a row for the 5- to 8-bit codecs (2 to 16 rows, each
// as high as the 256 pixels allow).
constexpr PaletteStripLayout paletteStripLayout(Codec codec)
{
    constexpr int kHeight = 256;
    const int values = 1 << std::clamp(bitsPerPixel(codec), 1, 8);
    if (values <= 16)
        return {1, values, 30, kHeight / values};
    return {16, values / 16, 16, kHeight * 16 / values};
}
