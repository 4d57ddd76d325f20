#include "tiles/tileops.h"

namespace {

struct Source {
    int x;
    int y;
};

// Where the pixel that lands on (x, y) comes from.
Source sourceOf(TileTransform transform, int x, int y, int w, int h)
{
    switch (transform) {
    case TileTransform::ShiftLeft:
        return {x + 1 < w ? x + 1 : 0, y};
    case TileTransform::ShiftRight:
        return {x > 0 ? x - 1 : w - 1, y};
    case TileTransform::ShiftUp:
        return {x, y + 1 < h ? y + 1 : 0};
    case TileTransform::ShiftDown:
        return {x, y > 0 ? y - 1 : h - 1};
    case TileTransform::FlipHorizontal:
        return {w - 1 - x, y};
    case TileTransform::FlipVertical:
        return {x, h - 1 - y};
    case TileTransform::RotateLeft:
        return {h - 1 - y, x};
    case TileTransform::RotateRight:
        return {y, w - 1 - x};
    }
    return {x, y};
}

} // namespace

Bitmap transformedTile(const Bitmap& tile, TileTransform transform, std::uint32_t outside)
{
    Bitmap result(tile.width, tile.height);
    for (int y = 0; y < tile.height; ++y)
        for (int x = 0; x < tile.width; ++x) {
            const Source from = sourceOf(transform, x, y, tile.width, tile.height);
            result.set(x, y, tile.contains(from.x, from.y) ? tile.at(from.x, from.y) : outside);
        }
    return result;
}

Bitmap clearedTile(int width, int height, std::uint32_t pixel)
{
    return Bitmap(width, height, pixel);
}
