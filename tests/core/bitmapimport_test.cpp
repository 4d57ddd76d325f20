#include "tiles/bitmapimport.h"

#include "tiles/tilegrid.h"

#include "support/testdata.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <random>
#include <vector>

namespace {

Bytes inverted(Bytes bytes)
{
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(~b);
    return bytes;
}

Bitmap decoded(const Bytes& rom, std::int64_t position, Codec codec, const TileGeometry& g, const Palettes& p)
{
    Bitmap picture;
    decodeTileMap(rom, position, codec, g, p, picture);
    return picture;
}

// Bytes of a whole screen; the geometries below fill whole units.
std::size_t screenSize(Codec codec, const TileGeometry& g)
{
    const std::int64_t pixels = 256LL * g.blockWidth * g.blockHeight * g.tileWidth * g.tileHeight;
    EXPECT_EQ(pixels % unitPixels(codec), 0) << "pick a geometry that fills whole units";
    return static_cast<std::size_t>(pixels / unitPixels(codec) * unitBytes(codec));
}

TEST(BitmapImport, ExportThenImportRestoresEveryByteForEveryCodec)
{
    const Palettes palettes = distinctPalettes();
    const TileGeometry geometries[] = {{8, 8, 1, 1}, {3, 5, 2, 1}, {16, 8, 1, 2}, {5, 7, 1, 1}};
    const std::int64_t position = 100;
    for (const Codec codec : kAllCodecs)
        for (const TileGeometry& g : geometries) {
            SCOPED_TRACE(testing::Message() << "codec " << codecName(codec) << ", tile " << g.tileWidth << "x"
                                            << g.tileHeight << ", block " << g.blockWidth << "x" << g.blockHeight);
            const std::size_t screen = screenSize(codec, g);
            const Bytes source = randomBytes(screen + 300, static_cast<unsigned>(codecIndex(codec) * 31 + g.tileWidth));
            const Bitmap picture = decoded(source, position, codec, g, palettes);

            // Every bit of the target differs from the source, so every pixel bit must
            // be written; Mode 7's map bytes between the pixels must not.
            Bytes target = inverted(source);
            const Bytes before = target;
            const TileMapImportResult result = importTileMapPicture(target, position, codec, g, palettes, picture);
            EXPECT_EQ(result.tilesEncoded, tilesOnScreen(g));
            EXPECT_EQ(result.tilesOutsidePicture, 0);
            EXPECT_EQ(result.pixelsPastEnd, 0);

            const auto screenStart = static_cast<std::size_t>(position);
            for (std::size_t i = 0; i < target.size(); ++i) {
                const bool mapByte = codec == Codec::Mode7 && (i - screenStart) % 2 == 0;
                const bool onScreen = i >= screenStart && i < screenStart + screen && !mapByte;
                ASSERT_EQ(target[i], onScreen ? source[i] : before[i]) << "byte " << i;
            }
        }
}

TEST(BitmapImport, BlocksPlaceTheirTilesSideBySide)
{
    // Block width 2: block 1 holds tiles 2 and 3 at x = 16 and x = 24.
    const TileGeometry g{8, 8, 2, 1};
    const Palettes palettes = defaultPalettes();
    Bitmap picture(mapPixelWidth(g), mapPixelHeight(g), colourToPixel(palettes.fourEntry(1)));
    for (int y = 0; y < 8; ++y)
        for (int x = 24; x < 32; ++x)
            picture.set(x, y, colourToPixel(palettes.fourEntry(4))); // value 3
    Bytes rom(8192, 0);
    importTileMapPicture(rom, 0, Codec::Nes, g, palettes, picture);
    for (std::size_t i = 0; i < rom.size(); ++i)
        ASSERT_EQ(rom[i], i >= 48 && i < 64 ? 0xFF : 0x00) << "byte " << i;
}

TEST(BitmapImport, TilesOutsideASmallerPictureKeepTheirBytes)
{
    const TileGeometry g; // 8 x 8 tiles, 128 x 128 map
    const Codec codec = Codec::Nes;
    const Palettes palettes = distinctPalettes();
    const Bytes source = randomBytes(4096, 7);
    const Bitmap full = decoded(source, 0, codec, g, palettes);
    // 60 x 20 pixels cover tiles 0..6 of block rows 0 and 1 wholly; tile 7 and
    // the third row only in part.
    Bitmap small(60, 20);
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x)
            small.set(x, y, full.at(x, y));

    Bytes target = inverted(source);
    const Bytes before = target;
    const TileMapImportResult result = importTileMapPicture(target, 0, codec, g, palettes, small);
    EXPECT_EQ(result.tilesEncoded, 14);
    EXPECT_EQ(result.tilesOutsidePicture, 256 - 14);
    for (int tile = 0; tile < 256; ++tile) {
        const bool covered = tile % 16 < 7 && tile / 16 < 2;
        for (int i = 0; i < 16; ++i) {
            const auto at = static_cast<std::size_t>(tile * 16 + i);
            ASSERT_EQ(target[at], covered ? source[at] : before[at]) << "tile " << tile;
        }
    }
}

TEST(BitmapImport, LargerPictureUsesItsTopLeftPart)
{
    const TileGeometry g{4, 4, 1, 1};
    const Codec codec = Codec::Gba; // 4BPP GBA
    const Palettes palettes = distinctPalettes();
    const Bytes source = randomBytes(2048, 3);
    const Bitmap map = decoded(source, 0, codec, g, palettes);
    Bitmap large(map.width + 37, map.height + 5, colourToPixel(palettes.sixteen[9]));
    for (int y = 0; y < map.height; ++y)
        for (int x = 0; x < map.width; ++x)
            large.set(x, y, map.at(x, y));
    Bytes target(source.size(), 0);
    importTileMapPicture(target, 0, codec, g, palettes, large);
    EXPECT_EQ(target, source);
}

TEST(BitmapImport, NothingIsWrittenPastTheEndOfTheImage)
{
    // 100 bytes from position 900: six whole NES tiles and the first half of a seventh,
    // whose pixels also need bytes past the end and so are not written.
    const TileGeometry g;
    const Codec codec = Codec::Nes;
    const Palettes palettes = distinctPalettes();
    const Bytes source = randomBytes(1000, 11);
    const Bitmap picture = decoded(source, 900, codec, g, palettes);
    Bytes target = inverted(source);
    const Bytes before = target;
    const TileMapImportResult result = importTileMapPicture(target, 900, codec, g, palettes, picture);
    ASSERT_EQ(target.size(), 1000u);
    EXPECT_EQ(result.tilesEncoded, 6);
    EXPECT_EQ(result.tilesPartlyEncoded, 0) << "the seventh tile's second plane lies past the end";
    EXPECT_EQ(result.pixelsPastEnd, (256 - 6) * 64);
    for (std::size_t i = 0; i < target.size(); ++i)
        ASSERT_EQ(target[i], i >= 900 && i < 996 ? source[i] : before[i]) << "byte " << i;
}

TEST(BitmapImport, CountsTellWhatWasWritten)
{
    // 1BPP, 8 x 8: a tile is 8 bytes, one row per byte.
    struct Case {
        std::size_t romSize;
        std::int64_t position;
        std::int64_t whole, partly, pixelsPastEnd;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 256 * 64},                               // an empty file
        {1000, 1000, 0, 0, 256 * 64},                         // a position at the end
        {1000, std::numeric_limits<std::int64_t>::max(), 0, 0, 256 * 64},
        {1000, 996, 0, 1, 256 * 64 - 32},                     // half a tile: four rows
        {1000, 0, 125, 0, (256 - 125) * 64},
    };
    const TileGeometry g;
    const Palettes palettes = distinctPalettes();
    const Bitmap picture = decoded(randomBytes(2048, 5), 0, Codec::OneBpp, g, palettes);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.romSize << " bytes at " << c.position);
        Bytes rom(c.romSize, 0x5A);
        const TileMapImportResult result = importTileMapPicture(rom, c.position, Codec::OneBpp, g, palettes, picture);
        EXPECT_EQ(result.tilesEncoded, c.whole);
        EXPECT_EQ(result.tilesPartlyEncoded, c.partly);
        EXPECT_EQ(result.pixelsPastEnd, c.pixelsPastEnd);
        EXPECT_EQ(rom.size(), c.romSize);
    }
}

// Pixels one step off a palette colour: counted, and stored as the codec's
// stand-in value, or with Nearest as the colour they drifted from.
TEST(BitmapImport, DriftedColoursAreCountedAndStoredAsStandInOrNearest)
{
    const TileGeometry g;
    const Palettes palettes = distinctPalettes();
    for (const Codec codec : {Codec::OneBpp, Codec::Nes, Codec::Snes}) {
        SCOPED_TRACE(testing::Message() << "codec " << codecName(codec));
        const int values = 1 << bitsPerPixel(codec);
        const ValuePixels shown = valuePixels(codec, palettes);
        Bitmap picture(mapPixelWidth(g), mapPixelHeight(g), shown[0]);
        std::mt19937 rng(static_cast<unsigned>(codecIndex(codec)));
        std::vector<int> wanted(picture.pixels.size(), 0);
        std::int64_t drifted = 0;
        for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
            wanted[i] = static_cast<int>(rng() % static_cast<unsigned>(values));
            picture.pixels[i] = shown[static_cast<std::size_t>(wanted[i])];
            if (rng() % 5 == 0) {
                picture.pixels[i] ^= 1; // one step of blue
                ++drifted;
            }
        }
        for (const UnmatchedColours mode : {UnmatchedColours::StandIn, UnmatchedColours::Nearest}) {
            Bytes rom(8192, 0);
            const TileMapImportResult result = importTileMapPicture(rom, 0, codec, g, palettes, picture, mode);
            EXPECT_EQ(result.unmatchedPixels, drifted);
            const Bitmap back = decoded(rom, 0, codec, g, palettes);
            for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
                const bool exact = picture.pixels[i] == shown[static_cast<std::size_t>(wanted[i])];
                const int value = exact || mode == UnmatchedColours::Nearest ? wanted[i] : unmatchedColourValue(codec);
                ASSERT_EQ(back.pixels[i], shown[static_cast<std::size_t>(value)]) << "pixel " << i;
            }
        }
    }
}

TEST(BitmapImport, NearestColourTakesTheLowestValueOnATie)
{
    Palettes palettes = distinctPalettes();
    palettes.sixteen[3] = rgbColour(100, 0, 0);
    palettes.sixteen[9] = rgbColour(0, 100, 0);
    palettes.sixteen[12] = rgbColour(100, 0, 0);
    EXPECT_EQ(nearestColourValue(Codec::Snes, palettes, rgbColour(50, 50, 0)), 3);
    EXPECT_EQ(nearestColourValue(Codec::Snes, palettes, rgbColour(40, 60, 0)), 9);
    // The 1-bit codec chooses between 4-colour entries 1 and 2 only.
    EXPECT_EQ(nearestColourValue(Codec::OneBpp, palettes, palettes.fourEntry(4)), 1);
    EXPECT_FALSE(matchColour(Codec::OneBpp, palettes, palettes.fourEntry(3)).matched);
    EXPECT_TRUE(matchColour(Codec::Nes, palettes, palettes.fourEntry(3)).matched);
}

} // namespace
