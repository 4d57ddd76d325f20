#pragma once
// The tile editor's whole-tile operations on a tile's pixels.
#include "tiles/bitmap.h"

#include <cstdint>

enum class TileTransform {
    ShiftLeft,      // cyclic: the left column wraps to the right edge
    ShiftRight,
    ShiftUp,
    ShiftDown,
    FlipHorizontal, // mirror left to right
    FlipVertical,   // mirror top to bottom
    RotateLeft,     // counter-clockwise quarter turn
    RotateRight,    // clockwise quarter turn
};

// The tile after the operation, the same size as `tile`. A rotation of a tile
// that is not square reads some pixels from outside it; those get `outside`.
Bitmap transformedTile(const Bitmap& tile, TileTransform transform, std::uint32_t outside);

// A tile of the given size with every pixel `pixel`.
Bitmap clearedTile(int width, int height, std::uint32_t pixel);
