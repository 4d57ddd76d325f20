#pragma once
// The console tile formats, built in and described. Every codec reads a
// stream of units (8 x 8 pixels for all built-ins but the 16 x 16 PC Engine
// sprite); the stream's pixels are cut into tiles of the user's geometry.
#include "tiles/bitmap.h"
#include "tiles/codec.h"
#include "tiles/palette.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

struct TileGeometry {
    int tileWidth = 8;   // 1..16
    int tileHeight = 8;  // 1..16
    int blockWidth = 1;  // 1..16
    int blockHeight = 1; // 1..16
    bool operator==(const TileGeometry&) const = default;
};

// Every value brought into 1..16, as the map is drawn and read.
TileGeometry clampedGeometry(const TileGeometry& g);

// Pixel value at unit row r, unit column c of one whole unit; 0 for a cell
// outside the unit.
int unitPixelValue(Codec codec, const std::uint8_t* unit, int r, int c);
// Sets exactly the bits that unitPixelValue reads for (r, c); no other bit changes.
void setUnitPixelValue(Codec codec, std::uint8_t* unit, int r, int c, int value);

// Value of stream pixel n counted from position; nothing when a byte it needs
// lies outside the image.
std::optional<int> streamPixelValue(std::span<const std::uint8_t> rom, std::int64_t position,
                                    Codec codec, std::int64_t n);

// The pixel each value shows as: 4-colour entry v+1 for 1- and 2-bit codecs,
// 16-colour entry v for 3- and 4-bit codecs, 256-colour entry v for 5- to
// 8-bit codecs; black past the palette's entries.
using ValuePixels = std::array<std::uint32_t, 256>;
ValuePixels valuePixels(Codec codec, const Palettes& palettes);

// Fills `out` with the 16 x 16 blocks decoded from `position`, at single size,
// in their screen arrangement. `out` is resized to
// (tileWidth x 16 x blockWidth) by (tileHeight x 16 x blockHeight).
// Pixels whose bytes lie outside the image are black.
void decodeTileMap(std::span<const std::uint8_t> rom, std::int64_t position, Codec codec,
                   const TileGeometry& geometry, const Palettes& palettes, Bitmap& out);

// Decodes only the blocks set in `blocks` (block b at column b % 16, row
// b / 16) into `out`, resized to the map's size when it differs; each
// block's pixels come out exactly as decodeTileMap draws them.
void decodeTileMapBlocks(std::span<const std::uint8_t> rom, std::int64_t position, Codec codec,
                         const TileGeometry& geometry, const Palettes& palettes, const std::bitset<256>& blocks,
                         Bitmap& out);

// The value a painted colour stands for, compared exactly with the active palette.
int colourToValue(Codec codec, const Palettes& palettes, Colour colour);

// The same comparison, telling whether some palette colour the codec shows
// (entries 1 and 2, 1 to 4, the first 2^bits entries of the 16-colour palette
// for 3- and 4-bit codecs or of the 256-colour palette for wider ones)
// matched; when none did, the value is the codec's stand-in, unmatchedColourValue.
struct ColourMatch {
    int value = 0;
    bool matched = false;
};
[[nodiscard]] ColourMatch matchColour(Codec codec, const Palettes& palettes, Colour colour);
// The value a colour that matches no palette entry is stored as: 1 for the
// 1-bit codecs, 2 for the 2-bit codecs, 0 for all wider ones.
[[nodiscard]] int unmatchedColourValue(Codec codec);
// The value whose palette colour lies nearest to `colour` by squared RGB
// distance; the lowest value wins a tie.
[[nodiscard]] int nearestColourValue(Codec codec, const Palettes& palettes, Colour colour);

// Whether every pixel of `tile` lies inside the image.
bool tileWhollyInside(std::span<const std::uint8_t> rom, std::int64_t position, Codec codec,
                      const TileGeometry& geometry, std::int64_t tile);

// Stores `value` as pixel (x, y) of `tile`. Returns false, writing nothing,
// when (x, y) is outside the tile or a byte it needs is outside the image.
bool writeTilePixel(std::span<std::uint8_t> rom, std::int64_t position, Codec codec,
                    const TileGeometry& geometry, std::int64_t tile, int x, int y, int value);
