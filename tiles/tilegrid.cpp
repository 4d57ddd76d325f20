#include "tiles/tilegrid.h"

#include <algorithm>
#include <limits>

// Every function here takes its geometry through clampedGeometry: the map is
// never drawn with values outside 1..16, and within them the products below fit.
namespace {
__extension__ typedef __int128 Wide;

// Far past any map (at most 4096 pixels a side), yet doubled and moved by a
// tile it stays an int: where tiles and frames off the map are put.
constexpr std::int64_t kFarOffMap = std::int64_t{1} << 24;

int offMapClamped(Wide v) { return static_cast<int>(std::clamp<Wide>(v, -kFarOffMap, kFarOffMap)); }

std::int64_t blockTiles(const TileGeometry& g)
{
    return static_cast<std::int64_t>(g.blockWidth) * g.blockHeight;
}
} // namespace

std::int32_t bytesPerBlock(Codec codec, const TileGeometry& geometry)
{
    if (!isValidCodec(codec))
        return 0;
    const TileGeometry g = clampedGeometry(geometry);
    const std::int64_t pixels = blockTiles(g) * g.tileWidth * g.tileHeight;
    const std::int64_t bytes = unitBytes(codec);
    const std::int64_t perUnit = unitPixels(codec);
    // Whole groups of 8 pixels where such a group fills whole bytes (every
    // built-in: bits per pixel bytes, 16 for Mode 7 with its map bytes),
    // else the whole bytes the pixels take.
    if (8 * bytes % perUnit == 0)
        return static_cast<std::int32_t>(pixels / 8 * (8 * bytes / perUnit));
    return static_cast<std::int32_t>(pixels * bytes / perUnit);
}

std::optional<std::int32_t> bytesPerTile(Codec codec, const TileGeometry& geometry)
{
    if (!isValidCodec(codec))
        return std::nullopt;
    const TileGeometry g = clampedGeometry(geometry);
    const std::int64_t scaled = static_cast<std::int64_t>(g.tileWidth) * g.tileHeight * unitBytes(codec);
    if (scaled % unitPixels(codec) != 0)
        return std::nullopt;
    return static_cast<std::int32_t>(scaled / unitPixels(codec));
}

std::int32_t screenBytes(Codec codec, const TileGeometry& g)
{
    return 256 * bytesPerBlock(codec, g);
}

std::int32_t tilesOnScreen(const TileGeometry& g)
{
    return static_cast<std::int32_t>(256 * blockTiles(clampedGeometry(g)));
}

int mapPixelWidth(const TileGeometry& geometry)
{
    const TileGeometry g = clampedGeometry(geometry);
    return g.tileWidth * 16 * g.blockWidth;
}

int mapPixelHeight(const TileGeometry& geometry)
{
    const TileGeometry g = clampedGeometry(geometry);
    return g.tileHeight * 16 * g.blockHeight;
}

GridPoint tileOrigin(const TileGeometry& geometry, std::int64_t tile)
{
    const TileGeometry g = clampedGeometry(geometry);
    const std::int64_t block = tile / blockTiles(g);
    const std::int64_t inBlock = tile % blockTiles(g);
    const Wide column = static_cast<Wide>(block % 16) * g.blockWidth + inBlock % g.blockWidth;
    const Wide row = static_cast<Wide>(block / 16) * g.blockHeight + inBlock / g.blockWidth;
    return {offMapClamped(column * g.tileWidth), offMapClamped(row * g.tileHeight)};
}

int zoomedBy(int zoom, int steps)
{
    return std::clamp(zoom + steps, kSmallestZoom, kLargestZoom);
}

int blockUnderMouse(const TileGeometry& geometry, int x, int y, int zoom)
{
    zoom = std::clamp(zoom, kSmallestZoom, kLargestZoom);
    const TileGeometry g = clampedGeometry(geometry);
    const std::int64_t row = y / (zoom * g.tileHeight * g.blockHeight);
    const std::int64_t column = x / (zoom * g.tileWidth * g.blockWidth);
    return static_cast<int>((row * 16 + column) & 0xFF);
}

std::int32_t tileUnderMouse(const TileGeometry& geometry, int x, int y, int zoom)
{
    zoom = std::clamp(zoom, kSmallestZoom, kLargestZoom);
    const TileGeometry g = clampedGeometry(geometry);
    const std::int64_t u = x / (zoom * g.tileWidth);
    const std::int64_t v = y / (zoom * g.tileHeight);
    const std::int64_t tile = ((v / g.blockHeight) * 16 + u / g.blockWidth) * blockTiles(g) +
                              (u % g.blockWidth) + (v % g.blockHeight) * g.blockWidth;
    // Far below or right of the map the number leaves 32 bits; it stays off the map.
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(tile, std::numeric_limits<std::int32_t>::min(),
                                                               std::numeric_limits<std::int32_t>::max()));
}

GridRect markedBlockFrame(const TileGeometry& geometry, int block, int zoom)
{
    zoom = std::clamp(zoom, kSmallestZoom, kLargestZoom);
    const TileGeometry g = clampedGeometry(geometry);
    const int w = zoom * g.tileWidth * g.blockWidth;
    const int h = zoom * g.tileHeight * g.blockHeight;
    return {offMapClamped(static_cast<Wide>(w) * (block % 16)), offMapClamped(static_cast<Wide>(h) * (block / 16)),
            w, h};
}

GridRect selectedTileFrame(const TileGeometry& geometry, std::int32_t tile, int zoom)
{
    zoom = std::clamp(zoom, kSmallestZoom, kLargestZoom);
    const TileGeometry g = clampedGeometry(geometry);
    const GridPoint origin = tileOrigin(g, tile);
    return {zoom * origin.x, zoom * origin.y, zoom * g.tileWidth, zoom * g.tileHeight};
}

std::int32_t shiftHintNumber(Codec codec, const TileGeometry& g)
{
    // Tiles smaller than a byte make a block of zero whole bytes; the map
    // still moves by one byte then.
    return std::max<std::int32_t>(1, bytesPerBlock(codec, g));
}

TileScrollRange tileMapScrollRange(std::int32_t romSize, Codec codec, const TileGeometry& g)
{
    TileScrollRange range;
    range.maximum = static_cast<std::int32_t>(
        std::max<std::int64_t>(0, static_cast<std::int64_t>(romSize) - screenBytes(codec, g)));
    const std::int32_t step = std::min<std::int32_t>(shiftHintNumber(codec, g), 64);
    range.largeStep = step * 256;
    range.smallStep = step * 16;
    return range;
}

std::int32_t tileMapKeyStep(Codec codec, const TileGeometry& g, ScrollKey key)
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
    const auto size = static_cast<Wide>(rom.size());
    const Wide startA = position + static_cast<Wide>(a) * bytesPerTile;
    const Wide startB = position + static_cast<Wide>(b) * bytesPerTile;
    const auto inside = [&](Wide start) { return start >= 0 && start + bytesPerTile <= size; };
    if (!inside(startA) || !inside(startB))
        return false;
    const auto first = static_cast<std::size_t>(startA);
    const auto second = static_cast<std::size_t>(startB);
    for (std::size_t i = 0; i < static_cast<std::size_t>(bytesPerTile); ++i)
        std::swap(rom[first + i], rom[second + i]);
    return true;
}

void copyTileFromMap(const Bitmap& map, const TileGeometry& geometry, std::int64_t selectedTile, Bitmap& tile)
{
    const TileGeometry g = clampedGeometry(geometry);
    tile.resize(g.tileWidth, g.tileHeight);
    const GridPoint origin = tileOrigin(g, selectedTile);
    for (int y = 0; y < g.tileHeight; ++y)
        for (int x = 0; x < g.tileWidth; ++x)
            if (map.contains(origin.x + x, origin.y + y))
                tile.set(x, y, map.at(origin.x + x, origin.y + y));
}
