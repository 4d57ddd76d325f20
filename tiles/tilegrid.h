#pragma once
// Geometry of the tile map grid: 16 x 16 blocks of blockWidth x blockHeight
// tiles, shown at twice their size unless zoomed.
#include "tiles/bitmap.h"
#include "tiles/codecs.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct GridRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const GridRect&) const = default;
};

struct GridPoint {
    int x = 0;
    int y = 0;
    bool operator==(const GridPoint&) const = default;
};

// Screen pixels per side of one picture pixel in the tile map and the data
// map; every start shows double size.
inline constexpr int kSmallestZoom = 1;
inline constexpr int kLargestZoom = 8;
inline constexpr int kDefaultZoom = 2;
// The zoom `steps` steps larger (negative: smaller), kept within 1..8.
[[nodiscard]] int zoomedBy(int zoom, int steps);

std::int32_t bytesPerBlock(Codec codec, const TileGeometry& g);
// Whole bytes per tile; nothing when a tile does not end on a byte boundary.
std::optional<std::int32_t> bytesPerTile(Codec codec, const TileGeometry& g);
std::int32_t screenBytes(Codec codec, const TileGeometry& g);
std::int32_t tilesOnScreen(const TileGeometry& g); // 256 x block width x block height

int mapPixelWidth(const TileGeometry& g);  // single size
int mapPixelHeight(const TileGeometry& g); // single size

// Top-left pixel of a tile in the single-size bitmap (screen arrangement).
GridPoint tileOrigin(const TileGeometry& g, std::int64_t tile);

// Mouse positions are in screen pixels (`zoom` times the bitmap's size).
int blockUnderMouse(const TileGeometry& g, int x, int y, int zoom = kDefaultZoom); // kept in 8 bits
std::int32_t tileUnderMouse(const TileGeometry& g, int x, int y, int zoom = kDefaultZoom); // may lie off the map

// Frames drawn on the zoomed map.
GridRect markedBlockFrame(const TileGeometry& g, int block, int zoom = kDefaultZoom);
GridRect selectedTileFrame(const TileGeometry& g, std::int32_t tile, int zoom = kDefaultZoom);

struct TileScrollRange {
    std::int32_t maximum = 0; // never below 0, even when the image is smaller than a screen
    std::int32_t smallStep = 0;
    std::int32_t largeStep = 0;
};
TileScrollRange tileMapScrollRange(std::int32_t romSize, Codec codec, const TileGeometry& g);

// Small step the scroll bar takes for an arrow key.
enum class ScrollKey { Horizontal, HorizontalFine, Vertical };
std::int32_t tileMapKeyStep(Codec codec, const TileGeometry& g, ScrollKey key);

// Number added to "Position -"/"Position +" in the shift button hints.
std::int32_t shiftHintNumber(Codec codec, const TileGeometry& g);

// Exchanges the bytes of two tiles counted from position. Writes nothing and
// returns false unless both tiles lie wholly inside the image.
bool swapTiles(std::span<std::uint8_t> rom, std::int64_t position, std::int32_t bytesPerTile,
               std::int64_t a, std::int64_t b);

// Copies the selected tile's rectangle of the map bitmap into `tile`
// (resized to the tile geometry, black where the map has no pixels).
void copyTileFromMap(const Bitmap& map, const TileGeometry& g, std::int64_t selectedTile,
                     Bitmap& tile);
