#pragma once
// Colour values and the three palettes: 4 colours for the 1- and 2-bit
// codecs, 16 colours for the 3- and 4-bit codecs, 256 for the wider ones.
#include "tiles/codec.h"

#include <array>
#include <cstdint>
#include <span>

// A colour as palettes, palette files and the colour dialog keep it: 0x00BBGGRR.
using Colour = std::uint32_t;

constexpr Colour rgbColour(int r, int g, int b)
{
    return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int redOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int greenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

// Conversions to and from the 0xFFRRGGBB pixels of a Bitmap.
constexpr std::uint32_t colourToPixel(Colour c)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(redOf(c)) << 16) |
           (static_cast<std::uint32_t>(greenOf(c)) << 8) | static_cast<std::uint32_t>(blueOf(c));
}
constexpr Colour pixelToColour(std::uint32_t pixel)
{
    return rgbColour((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

enum class PaletteMode { FourColour, SixteenColour, TwoFiftySixColour };

// The 1- and 2-bit codecs use the 4-colour palette, the 3- and 4-bit codecs
// the 16-colour palette, the 5- to 8-bit codecs the 256-colour palette.
constexpr PaletteMode paletteModeFor(Codec codec)
{
    const int bits = bitsPerPixel(codec);
    if (bits <= 2)
        return PaletteMode::FourColour;
    return bits <= 4 ? PaletteMode::SixteenColour : PaletteMode::TwoFiftySixColour;
}

struct Palettes {
    std::array<Colour, 4> four{};     // entries 1..4 at indexes 0..3
    std::array<Colour, 16> sixteen{}; // entries 0..15
    std::array<Colour, 256> full{};   // entries 0..255

    Colour fourEntry(int n) const { return four[static_cast<std::size_t>(n - 1)]; }
    void setFourEntry(int n, Colour c) { four[static_cast<std::size_t>(n - 1)] = c; }
    bool operator==(const Palettes&) const = default;
};

const std::array<Colour, 4>& defaultFourColourPalette();
const std::array<Colour, 16>& defaultSixteenColourPalette();
// The 16-colour default, then a 6 x 6 x 6 cube of colours (channel steps 0,
// 95, 135, 175, 215, 255) and 24 greys from 8 to 238: the common 256-colour
// terminal layout, so that any 8-bit picture shows its shapes.
const std::array<Colour, 256>& defaultTwoFiftySixColourPalette();
Palettes defaultPalettes();

// The palette a mode draws with: the four boxes, the 16 entries or the 256.
std::span<Colour> paletteEntries(Palettes& palettes, PaletteMode mode);
std::span<const Colour> paletteEntries(const Palettes& palettes, PaletteMode mode);

// The colour table of an exported picture: the 256 colours for the codecs of
// the 256-colour palette, which are written as 8-bit indexed pictures; none
// (a true-colour picture) for the others.
std::span<const Colour> pictureColourTable(Codec codec, const Palettes& palettes);
