#pragma once
// The demo ROM's own 8 x 8 font and decorative tiles, and the ROM and
// character table built from them.
#include "examples/demo_rom_layout.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace demo {

// Pixel values 0..3 of one tile, [row][column].
using TilePixels = std::array<std::array<std::uint8_t, 8>, 8>;

constexpr std::uint8_t kStrokeValue = 3;
constexpr std::uint8_t kShadowValue = 1;

// A glyph as drawn: 7 rows of 7 columns, 'X' for the stroke, '.' for nothing.
// The eighth row and column are left for the shadow.
using GlyphArt = std::array<std::string_view, 7>;

// The drawing of a character of kCharacters; nothing for any other character.
std::optional<GlyphArt> glyphArt(char ch);

// Strokes get kStrokeValue; an empty pixel right of, below, or right-below a
// stroke gets kShadowValue.
TilePixels glyphTile(const GlyphArt& art);

// The tile with the given code, font or decoration; all 0 past them.
TilePixels demoTile(std::uint8_t code);

// "2BPP NES" planar layout: bytes 0..7 bit 0 of rows 0..7, bytes 8..15 bit 1,
// leftmost pixel in bit 7.
std::array<std::uint8_t, kTileBytes> encodeNesTile(const TilePixels& tile);

// Codes of a text through the font ('\n' becomes kLineBreakCode, no end code);
// nothing when a character is not in the font.
std::optional<std::vector<std::uint8_t>> encodeDemoText(std::string_view text);

// The whole ROM image, kRomSize bytes.
std::vector<std::uint8_t> buildDemoRom();

// The character table for the ROM, CR LF line ends.
std::string buildDemoTable();

} // namespace demo
