#pragma once
// Byte layout of the generated demo ROM ("2BPP NES" tiles, 16 bytes each).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace demo {

constexpr std::size_t kRomSize = 16384;
constexpr std::size_t kTileBytes = 16;
constexpr std::uint8_t kPaddingByte = 0x00;

// The font: the character at index i is drawn as tile i and has code i, so
// digits are 00..09, letters 0A..23, the blank 24 and punctuation from 25 on.
constexpr std::string_view kCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ .,!?-':/()";
constexpr std::uint8_t kFirstLetterCode = 0x0A;
constexpr std::uint8_t kSpaceCode = 0x24;
constexpr std::uint8_t kFirstPunctuationCode = 0x25;
static_assert(kCharacters[0] == '0' && kCharacters[kFirstLetterCode] == 'A' &&
              kCharacters[kSpaceCode] == ' ' && kCharacters[kFirstPunctuationCode] == '.');

// Decorative tiles right after the font.
enum DecorTile : std::uint8_t {
    kFrameTopLeft = static_cast<std::uint8_t>(kCharacters.size()),
    kFrameTop,
    kFrameTopRight,
    kFrameLeft,
    kFrameRight,
    kFrameBottomLeft,
    kFrameBottom,
    kFrameBottomRight,
    kHeart,
    kArrowRight,
    kColourBars, // one column pair per pixel value 0..3
    kDecorEnd
};

// A framed banner assembled from the tiles above, as tiles 40..7F: four rows
// of 16 tiles, so it shows as a picture at position 0 with 8 x 8 tiles.
constexpr std::size_t kBannerFirstTile = 0x40;
constexpr std::size_t kBannerColumns = 16;
constexpr std::size_t kBannerRows = 4;

// The script: strings encoded with the font's codes, each ended by kEndCode;
// kLineBreakCode separates the lines of one string ('\n' in kTexts).
constexpr std::size_t kTextOffset = 0x1000;
constexpr std::uint8_t kLineBreakCode = 0xFE;
constexpr std::uint8_t kEndCode = 0xFF;
constexpr std::array<std::string_view, 6> kTexts = {
    "QUARN TILE MAPPER DEMO",
    "EDIT THE TILES, THEN SAVE.",
    "OPEN DEMO.TBL TO READ\nTHIS TEXT IN THE DATA MAP.",
    "DIGITS: 0123456789",
    "WHAT'S AT 1000? THIS SCRIPT!",
    "FRAMES (2F-36) - HEART/ARROW",
};

// The character table's first line: where the font is, as a tile map position.
constexpr std::string_view kTableAddressLine = "H000000";

} // namespace demo
