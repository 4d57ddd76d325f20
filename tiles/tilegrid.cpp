#include "tiles/tilegrid.h"

#include <algorithm>

namespace {
std::int64_t blockTiles(const TileGeometry& g)
{
    return static_cast<std::int64_t>(g.blockWidth) * g.blockHeight;
}
} // namespace

std::int32_t bytesPerBlock(int codec, const TileGeometry& g)
{
    const std::int64_t pixels = blockTiles(g) * g.tileWidth * g.tileHeight;
    return static_cast<std::int32_t>(bitsPerPixel(codec) * (pixels / 8));
}

std::optional<std::int32_t> bytesPerTile(int codec, const TileGeometry& g)
{
    const std::int32_t bits = bitsPerPixel(codec) * g.tileWidth * g.tileHeight;
    if (bits % 8 != 0)
        return std::nullopt;
    return bits / 8;
}

std::int32_t screenBytes(int codec, const TileGeometry& g)
{
    return 256 * bytesPerBlock(codec, g);
}

std::int32_t tilesOnScreen(const TileGeometry& g)
{
    return static_cast<std::int32_t>(256 * blockTiles(g));
}

int mapPixelWidth(const TileGeometry& g) { return g.tileWidth * 16 * g.blockWidth; }
int mapPixelHeight(const TileGeometry& g) { return g.tileHeight * 16 * g.blockHeight; }

GridPoint tileOrigin(const TileGeometry& g, std::int64_t tile)
{
    const std::int64_t block = tile / blockTiles(g);
    const std::int64_t inBlock = tile % blockTiles(g);
    const std::int64_t column = (block % 16) * g.blockWidth + inBlock % g.blockWidth;
    const std::int64_t row = (block / 16) * g.blockHeight + inBlock / g.blockWidth;
    return {static_cast<int>(column * g.tileWidth), static_cast<int>(row * g.tileHeight)};
}

int blockUnderMouse(const TileGeometry& g, int x, int y)
{
    const int row = y / (2 * g.tileHeight * g.blockHeight);
    const int column = x / (2 * g.tileWidth * g.blockWidth);
    return (row * 16 + column) & 0xFF;
}

std::int32_t tileUnderMouse(const TileGeometry& g, int x, int y)
{
    const int u = x / (2 * g.tileWidth);
    const int v = y / (2 * g.tileHeight);
    return ((v / g.blockHeight) * 16 + u / g.blockWidth) * g.blockWidth * g.blockHeight +
           (u % g.blockWidth) + (v % g.blockHeight) * g.blockWidth;
}

GridRect markedBlockFrame(const TileGeometry& g, int block)
{
    const int w = 2 * g.tileWidth * g.blockWidth;
    const int h = 2 * g.tileHeight * g.blockHeight;
    return {w * (block % 16), h * (block / 16), w, h};
}

GridRect selectedTileFrame(const TileGeometry& g, std::int32_t tile)
{
    const GridPoint origin = tileOrigin(g, tile);
    return {2 * origin.x, 2 * origin.y, 2 * g.tileWidth, 2 * g.tileHeight};
}

std::int32_t shiftHintNumber(int codec, const TileGeometry& g)
{
    // Tiles smaller than a byte make a block of zero whole bytes; the map
    // still moves by one byte then.
    return std::max<std::int32_t>(1, bytesPerBlock(codec, g));
}

TileScrollRange tileMapScrollRange(std::int32_t romSize, int codec, const TileGeometry& g)
{
    TileScrollRange range;
    range.maximum = std::max<std::int32_t>(0, romSize - screenBytes(codec, g));
    const std::int32_t step = std::min<std::int32_t>(shiftHintNumber(codec, g), 64);
    range.largeStep = step * 256;
    range.smallStep = step * 16;
    return range;
}

std::int32_t tileMapKeyStep(int codec, const TileGeometry& g, ScrollKey key)
{
    const std::int32_t block = std::min<std::int32_t>(shiftHintNumber(codec, g), 16384);
    switch (key) {
    case ScrollKey::HorizontalFine:
        return 1;
    case ScrollKey::Horizontal:
        return block;
    case ScrollKey::Vertical:
        return std::min<std::int32_t>(16 * block, 32767);
    }
    return 1;
}

bool swapTiles(std::span<std::uint8_t> rom, std::int64_t position, std::int32_t bytesPerTile,
               std::int64_t a, std::int64_t b)
{
    if (bytesPerTile <= 0)
        return false;
    const auto size = static_cast<std::int64_t>(rom.size());
    const std::int64_t startA = position + a * bytesPerTile;
    const std::int64_t startB = position + b * bytesPerTile;
    const auto inside = [&](std::int64_t start) { return start >= 0 && start + bytesPerTile <= size; };
    if (!inside(startA) || !inside(startB))
        return false;
    for (std::int32_t i = 0; i < bytesPerTile; ++i)
        std::swap(rom[static_cast<std::size_t>(startA + i)], rom[static_cast<std::size_t>(startB + i)]);
    return true;
}

void copyTileFromMap(const Bitmap& map, const TileGeometry& g, std::int64_t selectedTile, Bitmap& tile)
{
    tile.resize(g.tileWidth, g.tileHeight);
    const GridPoint origin = tileOrigin(g, selectedTile);
    for (int y = 0; y < g.tileHeight; ++y)
        for (int x = 0; x < g.tileWidth; ++x)
            if (map.contains(origin.x + x, origin.y + y))
                tile.set(x, y, map.at(origin.x + x, origin.y + y));
}
