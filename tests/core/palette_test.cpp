#include "tiles/codecs.h"
#include "tiles/palette.h"

#include <gtest/gtest.h>

namespace {

struct Rgb {
    int r, g, b;
};

Rgb rgbOfPixel(std::uint32_t pixel)
{
    return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
            static_cast<int>(pixel & 0xFF)};
}

void expectRgb(std::uint32_t pixel, Rgb want)
{
    const Rgb got = rgbOfPixel(pixel);
    EXPECT_EQ(got.r, want.r);
    EXPECT_EQ(got.g, want.g);
    EXPECT_EQ(got.b, want.b);
    EXPECT_EQ(pixel >> 24, 0xFFu) << "pixels are opaque";
}

TEST(DefaultPalettes, NesValuesShowTheFourColourDefaults)
{
    const auto pixels = valuePixels(*codecByName("2BPP NES"), defaultPalettes());
    expectRgb(pixels[0], {0, 0, 0});
    expectRgb(pixels[1], {160, 48, 0});
    expectRgb(pixels[2], {216, 73, 96});
    expectRgb(pixels[3], {255, 200, 184});
}

TEST(DefaultPalettes, SixteenColourEntries)
{
    const Rgb table[16] = {{0, 0, 0},     {80, 80, 80},   {160, 160, 160}, {240, 240, 240},
                           {0, 80, 80},   {0, 160, 160},  {0, 240, 240},   {80, 0, 80},
                           {160, 0, 160}, {240, 0, 240},  {80, 80, 0},     {160, 160, 0},
                           {0, 80, 0},    {0, 160, 0},    {0, 240, 0},     {160, 0, 0}};
    const auto pixels = valuePixels(*codecByName("4BPP GBA"), defaultPalettes());
    for (int v = 0; v < 16; ++v) {
        SCOPED_TRACE(v);
        expectRgb(pixels[static_cast<std::size_t>(v)], table[v]);
    }
}

TEST(DefaultPalettes, ColourValuesAreBlueGreenRed)
{
    const Palettes p = defaultPalettes();
    EXPECT_EQ(p.fourEntry(2), 0x0030A0u);
    EXPECT_EQ(p.fourEntry(4), 0xB8C8FFu);
    EXPECT_EQ(p.sixteen[15], 0x0000A0u);
    EXPECT_EQ(p.sixteen[4], 0x505000u);
    EXPECT_EQ(p.four, defaultFourColourPalette());
    EXPECT_EQ(p.sixteen, defaultSixteenColourPalette());
    EXPECT_EQ(colourToPixel(p.fourEntry(2)), 0xFFA03000u);
    EXPECT_EQ(pixelToColour(colourToPixel(p.fourEntry(3))), p.fourEntry(3));
}

TEST(PaletteMode, FollowsTheCodec)
{
    constexpr PaletteMode four = PaletteMode::FourColour;
    constexpr PaletteMode sixteen = PaletteMode::SixteenColour;
    constexpr PaletteMode full = PaletteMode::TwoFiftySixColour;
    // By bits per pixel: 1 and 2 four colours, 3 and 4 sixteen, 8 all 256.
    const std::array<PaletteMode, kCodecCount> expected = {four,    four,    four,    four, four, sixteen,
                                                           sixteen, sixteen, sixteen, sixteen, sixteen, full,
                                                           full,    full,    four,    sixteen};
    for (const Codec codec : kAllCodecs)
        EXPECT_EQ(paletteModeFor(codec), expected[static_cast<std::size_t>(codecIndex(codec))]) << codec;
}

} // namespace
