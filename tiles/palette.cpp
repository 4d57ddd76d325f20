#include "tiles/palette.h"

#include <algorithm>
#include <utility>

const std::array<Colour, 4>& defaultFourColourPalette()
{
    static constexpr std::array<Colour, 4> kFour = {
        0x000000, // black
        0x0030A0, // red 160, green 48, blue 0
        0x6049D8, // red 216, green 73, blue 96
        0xB8C8FF, // red 255, green 200, blue 184
    };
    return kFour;
}

const std::array<Colour, 16>& defaultSixteenColourPalette()
{
    // Four greys, then three shades each of cyan, magenta, two of yellow,
    // three of green and one red; the shades are multiples of 0x50.
    static constexpr std::array<Colour, 16> kSixteen = {
        0x000000, 0x505050, 0xA0A0A0, 0xF0F0F0, // greys
        0x505000, 0xA0A000, 0xF0F000,           // green + blue
        0x500050, 0xA000A0, 0xF000F0,           // red + blue
        0x005050, 0x00A0A0,                     // red + green
        0x005000, 0x00A000, 0x00F000,           // green
        0x0000A0,                               // red
    };
    return kSixteen;
}

namespace {
std::array<Colour, 256> makeTwoFiftySix()
{
    std::array<Colour, 256> colours{};
    const auto& sixteen = defaultSixteenColourPalette();
    std::copy(sixteen.begin(), sixteen.end(), colours.begin());
    constexpr std::array<int, 6> steps = {0, 95, 135, 175, 215, 255};
    std::size_t i = 16;
    for (const int r : steps)
        for (const int g : steps)
            for (const int b : steps)
                colours[i++] = rgbColour(r, g, b);
    for (int grey = 8; i < colours.size(); grey += 10)
        colours[i++] = rgbColour(grey, grey, grey);
    return colours;
}
} // namespace

const std::array<Colour, 256>& defaultTwoFiftySixColourPalette()
{
    static const std::array<Colour, 256> kTwoFiftySix = makeTwoFiftySix();
    return kTwoFiftySix;
}

Palettes defaultPalettes()
{
    Palettes palettes;
    palettes.four = defaultFourColourPalette();
    palettes.sixteen = defaultSixteenColourPalette();
    palettes.full = defaultTwoFiftySixColourPalette();
    return palettes;
}

std::span<const Colour> paletteEntries(const Palettes& palettes, PaletteMode mode)
{
    switch (mode) {
    case PaletteMode::SixteenColour:
        return palettes.sixteen;
    case PaletteMode::TwoFiftySixColour:
        return palettes.full;
    case PaletteMode::FourColour:
        break;
    }
    return palettes.four;
}

std::span<Colour> paletteEntries(Palettes& palettes, PaletteMode mode)
{
    const std::span<const Colour> entries = paletteEntries(std::as_const(palettes), mode);
    return {const_cast<Colour*>(entries.data()), entries.size()};
}

std::span<const Colour> pictureColourTable(Codec codec, const Palettes& palettes)
{
    if (paletteModeFor(codec) != PaletteMode::TwoFiftySixColour)
        return {};
    return palettes.full;
}
