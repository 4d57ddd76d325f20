#include "tiles/tilegrid.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Readable failure messages; internal so no other test file can clash.
static std::ostream& operator<<(std::ostream& os, const GridRect& r)
{
    return os << '(' << r.left << ", " << r.top << ", " << r.width << " x " << r.height << ')';
}

static std::ostream& operator<<(std::ostream& os, const GridPoint& p)
{
    return os << '(' << p.x << ", " << p.y << ')';
}

static std::ostream& operator<<(std::ostream& os, const TileGeometry& g)
{
    return os << g.tileWidth << 'x' << g.tileHeight << " tiles in " << g.blockWidth << 'x'
              << g.blockHeight << " blocks";
}

namespace {

// Codec indices in the order of the codec box.
constexpr Codec kOneBpp = Codec::OneBpp;
constexpr Codec kNes = Codec::Nes;
constexpr Codec kLinear = Codec::Linear;
constexpr Codec kSnes = Codec::Snes;
constexpr Codec kGba = Codec::Gba;

TileGeometry geometry(int tileWidth, int tileHeight, int blockWidth = 1, int blockHeight = 1)
{
    return {tileWidth, tileHeight, blockWidth, blockHeight};
}

// ---- Derived values --------------------------------------------------------

struct DerivedCase {
    const char* name;
    Codec codec;
    TileGeometry g;
    std::int32_t bytesPerBlock;
    std::int32_t screenBytes;
    std::int32_t shiftHint;
};

const DerivedCase kDerived[] = {
    {"NesDefault", kNes, geometry(8, 8), 16, 4096, 16},
    {"Snes8x8", kSnes, geometry(8, 8), 32, 8192, 32},
    {"OneBpp8x8", kOneBpp, geometry(8, 8), 8, 2048, 8},
    {"Nes2x2Blocks", kNes, geometry(8, 8, 2, 2), 64, 16384, 64},
    {"Nes4x4Blocks", kNes, geometry(8, 8, 4, 4), 256, 65536, 256},
    {"Gba16x16", kGba, geometry(16, 16), 128, 32768, 128},
    {"Snes16x16In16x16", kSnes, geometry(16, 16, 16, 16), 32768, 8388608, 32768},
    // Whole bytes are counted per block, not per tile: 9 pixels of 2 bits.
    {"Linear3x3", kLinear, geometry(3, 3), 2, 512, 2},
    {"Linear3x3In2x2", kLinear, geometry(3, 3, 2, 2), 8, 2048, 8},
    {"Linear3x5In2x3", kLinear, geometry(3, 5, 2, 3), 22, 5632, 22},
    // A block smaller than a byte: the map still moves by one byte.
    {"OneBpp1x1", kOneBpp, geometry(1, 1), 0, 0, 1},
    {"OneBpp1x1In16x16", kOneBpp, geometry(1, 1, 16, 16), 32, 8192, 32},
};

class DerivedValues : public ::testing::TestWithParam<DerivedCase> {};

TEST_P(DerivedValues, BytesPerBlockScreenBytesAndShiftHint)
{
    const DerivedCase& c = GetParam();
    EXPECT_EQ(bytesPerBlock(c.codec, c.g), c.bytesPerBlock);
    EXPECT_EQ(screenBytes(c.codec, c.g), c.screenBytes);
    EXPECT_EQ(shiftHintNumber(c.codec, c.g), c.shiftHint);
}

INSTANTIATE_TEST_SUITE_P(Table, DerivedValues, ::testing::ValuesIn(kDerived),
                         [](const auto& info) { return std::string(info.param.name); });

struct TileBytesCase {
    Codec codec;
    TileGeometry g;
    std::optional<std::int32_t> bytes;
};

const TileBytesCase kTileBytes[] = {
    {kNes, geometry(8, 8), 16},
    {kOneBpp, geometry(8, 8), 8},
    {kSnes, geometry(8, 8), 32},
    {kGba, geometry(16, 16), 128},
    {kLinear, geometry(2, 2), 1},
    {kSnes, geometry(2, 3), 3},
    {kOneBpp, geometry(8, 1), 1},
    // Tiles that do not end on a byte boundary cannot be dragged.
    {kNes, geometry(3, 3), std::nullopt},
    {kOneBpp, geometry(3, 3), std::nullopt},
    {kSnes, geometry(3, 3), std::nullopt},
    {kOneBpp, geometry(1, 1), std::nullopt},
    {kNes, geometry(1, 3), std::nullopt},
};

class BytesPerTile : public ::testing::TestWithParam<TileBytesCase> {};

TEST_P(BytesPerTile, IsWholeOrNothing)
{
    EXPECT_EQ(bytesPerTile(GetParam().codec, GetParam().g), GetParam().bytes)
        << "codec " << GetParam().codec << ", " << GetParam().g;
}

INSTANTIATE_TEST_SUITE_P(Table, BytesPerTile, ::testing::ValuesIn(kTileBytes));

TEST(MapSize, TwoByTwoBlocksOfNesTilesDoubleTheMap)
{
    const TileGeometry g = geometry(8, 8, 2, 2);
    EXPECT_EQ(2 * mapPixelWidth(g), 512) << "on screen";
    EXPECT_EQ(2 * mapPixelHeight(g), 512);
    EXPECT_EQ(tilesOnScreen(g), 1024);
}

TEST(MapSize, FollowsTileAndBlockSizeSeparately)
{
    EXPECT_EQ(mapPixelWidth(geometry(8, 8)), 128);
    EXPECT_EQ(mapPixelHeight(geometry(8, 8)), 128);
    EXPECT_EQ(mapPixelWidth(geometry(3, 5, 2, 3)), 96);
    EXPECT_EQ(mapPixelHeight(geometry(3, 5, 2, 3)), 240);
    EXPECT_EQ(tilesOnScreen(geometry(3, 5, 2, 3)), 1536);
    EXPECT_EQ(tilesOnScreen(geometry(8, 8)), 256);
}

// ---- Scroll range and steps ------------------------------------------------

struct RangeCase {
    const char* name;
    std::int32_t romSize;
    Codec codec;
    TileGeometry g;
    std::int32_t maximum;
    std::int32_t smallStep;
    std::int32_t largeStep;
};

const RangeCase kRanges[] = {
    {"NesDefault", 16384, kNes, geometry(8, 8), 12288, 256, 4096},
    {"NesDefaultOddSize", 16385, kNes, geometry(8, 8), 12289, 256, 4096},
    {"NesAfterShortReload", 8192, kNes, geometry(8, 8), 4096, 256, 4096},
    {"NesOneMebibyte", 1048576, kNes, geometry(8, 8), 1044480, 256, 4096},
    {"OneBpp8x8", 16384, kOneBpp, geometry(8, 8), 14336, 128, 2048},
    {"Snes8x8", 16384, kSnes, geometry(8, 8), 8192, 512, 8192},
    {"Nes2x2Blocks", 16384, kNes, geometry(8, 8, 2, 2), 0, 1024, 16384},
    {"Nes2x2BlocksLargeImage", 65536, kNes, geometry(8, 8, 2, 2), 49152, 1024, 16384},
    // Steps stop growing at 64 bytes per block.
    {"Nes4x4Blocks", 262144, kNes, geometry(8, 8, 4, 4), 196608, 1024, 16384},
    // Larger than the image: it scrolls nowhere rather than below 0.
    {"Nes4x4BlocksSmallImage", 16384, kNes, geometry(8, 8, 4, 4), 0, 1024, 16384},
    {"Gba16x16SmallImage", 16384, kGba, geometry(16, 16), 0, 1024, 16384},
    {"OneBpp1x1", 16384, kOneBpp, geometry(1, 1), 16384, 16, 256},
};

class TileMapScrollRange : public ::testing::TestWithParam<RangeCase> {};

TEST_P(TileMapScrollRange, MaximumAndSteps)
{
    const RangeCase& c = GetParam();
    const TileScrollRange range = tileMapScrollRange(c.romSize, c.codec, c.g);
    EXPECT_EQ(range.maximum, c.maximum);
    EXPECT_EQ(range.smallStep, c.smallStep);
    EXPECT_EQ(range.largeStep, c.largeStep);
}

INSTANTIATE_TEST_SUITE_P(Table, TileMapScrollRange, ::testing::ValuesIn(kRanges),
                         [](const auto& info) { return std::string(info.param.name); });

struct KeyStepCase {
    const char* name;
    Codec codec;
    TileGeometry g;
    std::int32_t horizontal;
    std::int32_t vertical;
};

const KeyStepCase kKeySteps[] = {
    {"NesDefault", kNes, geometry(8, 8), 16, 256},
    {"OneBpp8x8", kOneBpp, geometry(8, 8), 8, 128},
    {"Nes2x2Blocks", kNes, geometry(8, 8, 2, 2), 64, 1024},
    {"Nes4x4Blocks", kNes, geometry(8, 8, 4, 4), 256, 4096},
    // One row of blocks is capped at the scroll bar's largest step.
    {"Nes16x16Blocks", kNes, geometry(8, 8, 16, 16), 4096, 32767},
    // One block is capped at 16384.
    {"Snes16x16In16x16", kSnes, geometry(16, 16, 16, 16), 16384, 32767},
    {"OneBpp1x1", kOneBpp, geometry(1, 1), 1, 16},
};

class TileMapKeyStep : public ::testing::TestWithParam<KeyStepCase> {};

TEST_P(TileMapKeyStep, ArrowKeysMoveByOneByteOneBlockOrOneRowOfBlocks)
{
    const KeyStepCase& c = GetParam();
    EXPECT_EQ(tileMapKeyStep(c.codec, c.g, ScrollKey::HorizontalFine), 1);
    EXPECT_EQ(tileMapKeyStep(c.codec, c.g, ScrollKey::Horizontal), c.horizontal);
    EXPECT_EQ(tileMapKeyStep(c.codec, c.g, ScrollKey::Vertical), c.vertical);
}

INSTANTIATE_TEST_SUITE_P(Table, TileMapKeyStep, ::testing::ValuesIn(kKeySteps),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Mouse, tiles and frames -----------------------------------------------

TEST(TileUnderMouse, PressOnBlock18SelectsTile18AndBothFramesCoincide)
{
    const TileGeometry g = geometry(8, 8);
    // Block 18 is row 1, column 2; each block is 16 x 16 screen pixels.
    for (const auto& [x, y] : {std::pair{32, 16}, std::pair{40, 20}, std::pair{47, 31}}) {
        SCOPED_TRACE(testing::Message() << x << ", " << y);
        EXPECT_EQ(blockUnderMouse(g, x, y), 18);
        EXPECT_EQ(tileUnderMouse(g, x, y), 18);
    }
    EXPECT_EQ(markedBlockFrame(g, 18), (GridRect{32, 16, 16, 16}));
    EXPECT_EQ(selectedTileFrame(g, 18), markedBlockFrame(g, 18));
}

TEST(TileUnderMouse, TwoByTwoBlocksFillBlockByBlock)
{
    const TileGeometry g = geometry(8, 8, 2, 2);
    // Tiles 0 and 1 on top of block 0, 2 and 3 below them.
    EXPECT_EQ(tileUnderMouse(g, 0, 0), 0);
    EXPECT_EQ(tileUnderMouse(g, 16, 0), 1);
    EXPECT_EQ(tileUnderMouse(g, 0, 16), 2);
    EXPECT_EQ(tileUnderMouse(g, 31, 31), 3);
    // Tiles 4..7 make block 1 to the right.
    EXPECT_EQ(tileUnderMouse(g, 32, 0), 4);
    EXPECT_EQ(tileUnderMouse(g, 48, 0), 5);
    EXPECT_EQ(tileUnderMouse(g, 32, 16), 6);
    EXPECT_EQ(tileUnderMouse(g, 63, 31), 7);
    EXPECT_EQ(blockUnderMouse(g, 32, 0), 1);
    // The second row of blocks starts with tile 16 x 4.
    EXPECT_EQ(tileUnderMouse(g, 0, 32), 64);
    EXPECT_EQ(blockUnderMouse(g, 0, 32), 16);

    EXPECT_EQ(tileOrigin(g, 1), (GridPoint{8, 0}));
    EXPECT_EQ(tileOrigin(g, 2), (GridPoint{0, 8}));
    EXPECT_EQ(tileOrigin(g, 4), (GridPoint{16, 0}));
    EXPECT_EQ(tileOrigin(g, 64), (GridPoint{0, 16}));
}

TEST(TileUnderMouse, BlockNumberIsKeptInEightBits)
{
    const TileGeometry g = geometry(8, 8);
    EXPECT_EQ(blockUnderMouse(g, 0, 256), 0) << "row 16 is past the map";
    EXPECT_EQ(blockUnderMouse(g, 16, 320), 65);
}

TEST(Frames, MarkedBlockAndSelectedTileOfTwoByTwoBlocks)
{
    const TileGeometry g = geometry(8, 8, 2, 2);
    EXPECT_EQ(markedBlockFrame(g, 17), (GridRect{32, 32, 32, 32}));
    // Tile 3 of block 17 is its bottom-right quarter.
    EXPECT_EQ(selectedTileFrame(g, 17 * 4 + 3), (GridRect{48, 48, 16, 16}));
    EXPECT_EQ(markedBlockFrame(g, 255), (GridRect{480, 480, 32, 32}));
}

TEST(Frames, UnevenTilesInUnevenBlocks)
{
    const TileGeometry g = geometry(3, 5, 2, 3);
    // A block is 12 x 30 screen pixels; block 18 is row 1, column 2.
    EXPECT_EQ(markedBlockFrame(g, 18), (GridRect{24, 30, 12, 30}));
    // Tile 5 of that block: column 1, row 2 inside it.
    EXPECT_EQ(selectedTileFrame(g, 18 * 6 + 5), (GridRect{30, 50, 6, 10}));
}

const TileGeometry kRoundTripGeometries[] = {
    geometry(8, 8),       geometry(8, 8, 2, 2), geometry(3, 5, 2, 3), geometry(5, 3, 3, 1),
    geometry(16, 16, 4, 4), geometry(1, 1, 16, 16), geometry(1, 16, 1, 7), geometry(7, 2, 5, 1),
};

class TilePositionRoundTrip : public ::testing::TestWithParam<TileGeometry> {};

TEST_P(TilePositionRoundTrip, EveryTileIsFoundAgainUnderItsOwnPixelsAtEveryZoom)
{
    const TileGeometry& g = GetParam();
    const int tilesPerBlock = g.blockWidth * g.blockHeight;
    EXPECT_EQ(zoomedBy(kDefaultZoom, -9), kSmallestZoom);
    EXPECT_EQ(zoomedBy(kDefaultZoom, 9), kLargestZoom);
    for (int zoom = kSmallestZoom; zoom <= kLargestZoom; ++zoom) {
        SCOPED_TRACE(testing::Message() << "zoom " << zoom);
        std::vector<bool> covered(static_cast<std::size_t>(tilesOnScreen(g)));
        for (std::int32_t tile = 0; tile < tilesOnScreen(g); ++tile) {
            const GridPoint origin = tileOrigin(g, tile);
            ASSERT_GE(origin.x, 0);
            ASSERT_GE(origin.y, 0);
            ASSERT_LE(origin.x + g.tileWidth, mapPixelWidth(g)) << "tile " << tile;
            ASSERT_LE(origin.y + g.tileHeight, mapPixelHeight(g)) << "tile " << tile;

            // The zoomed map: the tile's first and last screen pixels.
            const int left = zoom * origin.x;
            const int top = zoom * origin.y;
            const int right = left + zoom * g.tileWidth - 1;
            const int bottom = top + zoom * g.tileHeight - 1;
            ASSERT_EQ(tileUnderMouse(g, left, top, zoom), tile);
            ASSERT_EQ(tileUnderMouse(g, right, bottom, zoom), tile);
            ASSERT_EQ(tileUnderMouse(g, right, top, zoom), tile);
            ASSERT_EQ(tileUnderMouse(g, left, bottom, zoom), tile);
            ASSERT_EQ(blockUnderMouse(g, left, top, zoom), tile / tilesPerBlock);

            // The selected tile's frame lies inside its block's frame.
            const GridRect tileFrame = selectedTileFrame(g, tile, zoom);
            const GridRect blockFrame = markedBlockFrame(g, tile / tilesPerBlock, zoom);
            ASSERT_EQ(tileFrame, (GridRect{left, top, zoom * g.tileWidth, zoom * g.tileHeight}));
            ASSERT_GE(tileFrame.left, blockFrame.left);
            ASSERT_GE(tileFrame.top, blockFrame.top);
            ASSERT_LE(tileFrame.left + tileFrame.width, blockFrame.left + blockFrame.width);
            ASSERT_LE(tileFrame.top + tileFrame.height, blockFrame.top + blockFrame.height);

            // No two tiles share a place on the map.
            const std::int32_t place = tileUnderMouse(g, left, top, zoom);
            ASSERT_FALSE(covered[static_cast<std::size_t>(place)]);
            covered[static_cast<std::size_t>(place)] = true;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Geometries, TilePositionRoundTrip, ::testing::ValuesIn(kRoundTripGeometries));

// ---- Swapping tiles --------------------------------------------------------

std::vector<std::uint8_t> countingRom(std::size_t size)
{
    std::vector<std::uint8_t> rom(size);
    for (std::size_t i = 0; i < size; ++i)
        rom[i] = static_cast<std::uint8_t>(i * 13 + 5);
    return rom;
}

TEST(SwapTiles, ExchangesExactlyTheTwoTiles)
{
    // Tile 3 onto tile 5 with 16-byte tiles: bytes 48..63 and 80..95 after
    // the position change places.
    const auto before = countingRom(1024);
    auto rom = before;
    const std::int64_t position = 100;
    ASSERT_TRUE(swapTiles(rom, position, 16, 3, 5));
    for (std::size_t i = 0; i < rom.size(); ++i) {
        std::size_t from = i;
        if (i >= 148 && i < 164)
            from = i + 32;
        else if (i >= 180 && i < 196)
            from = i - 32;
        ASSERT_EQ(rom[i], before[from]) << "byte " << i;
    }
}

TEST(SwapTiles, SwappingBackRestoresTheImage)
{
    const auto before = countingRom(4096);
    auto rom = before;
    ASSERT_TRUE(swapTiles(rom, 7, 24, 100, 2));
    EXPECT_NE(rom, before);
    ASSERT_TRUE(swapTiles(rom, 7, 24, 2, 100));
    EXPECT_EQ(rom, before);
}

TEST(SwapTiles, ATileWithItselfChangesNothing)
{
    const auto before = countingRom(256);
    auto rom = before;
    EXPECT_TRUE(swapTiles(rom, 0, 16, 4, 4));
    EXPECT_EQ(rom, before);
}

TEST(SwapTiles, TilesEndingExactlyAtTheEndOfTheImageAreInside)
{
    const auto before = countingRom(256);
    auto rom = before;
    // Position 32: tile 13 covers bytes 240..255.
    ASSERT_TRUE(swapTiles(rom, 32, 16, 0, 13));
    EXPECT_EQ(rom[255], before[47]);
    EXPECT_EQ(rom[47], before[255]);
}

struct RefusedSwap {
    const char* name;
    std::int64_t position;
    std::int32_t bytesPerTile;
    std::int64_t a;
    std::int64_t b;
};

// All against a 256-byte image.
const RefusedSwap kRefusedSwaps[] = {
    {"NegativeSource", 0, 16, -1, 2},
    {"NegativeTarget", 0, 16, 2, -1},
    {"TargetPastTheEnd", 0, 16, 2, 16},
    {"SourcePastTheEnd", 0, 16, 16, 2},
    {"FarPastTheEnd", 0, 16, 2, std::int64_t{1} << 40},
    {"TargetRunsOverTheEnd", 250, 16, 0, 0},
    {"SecondTileRunsOverTheEnd", 230, 16, 0, 1},
    {"NegativePosition", -8, 16, 0, 3},
    {"NegativePositionWithLaterTile", -8, 16, 3, 0},
    {"PositionPastTheEnd", 256, 1, 0, 0},
    {"ZeroBytesPerTile", 0, 0, 1, 2},
    {"NegativeBytesPerTile", 0, -16, 1, 2},
    // Products and sums that would wrap around into the image.
    {"TileNumberWrapsToTheStart", 0, 16, 0, std::int64_t{1} << 60},
    {"NegativeTileWrapsToTheStart", 0, 16, -(std::int64_t{1} << 60), 1},
    {"LargestPosition", std::numeric_limits<std::int64_t>::max() - 8, 16, 0, 0},
    {"LargestTile", 0, 16, std::numeric_limits<std::int64_t>::max(), 0},
    {"SmallestTile", 100, 16, std::numeric_limits<std::int64_t>::min(), 0},
};

class SwapTilesRefuses : public ::testing::TestWithParam<RefusedSwap> {};

TEST_P(SwapTilesRefuses, AndChangesNothing)
{
    const RefusedSwap& c = GetParam();
    const auto before = countingRom(256);
    auto rom = before;
    EXPECT_FALSE(swapTiles(rom, c.position, c.bytesPerTile, c.a, c.b));
    EXPECT_EQ(rom, before);
}

INSTANTIATE_TEST_SUITE_P(Table, SwapTilesRefuses, ::testing::ValuesIn(kRefusedSwaps),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Copying the selected tile ---------------------------------------------

// Every pixel of the map different, so a misplaced copy shows.
Bitmap numberedMap(int width, int height)
{
    Bitmap map(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            map.set(x, y, 0xFF000000u | static_cast<std::uint32_t>(y * 1000 + x + 1));
    return map;
}

void expectTileIsMapRectangle(const Bitmap& tile, const Bitmap& map, GridPoint origin)
{
    for (int y = 0; y < tile.height; ++y)
        for (int x = 0; x < tile.width; ++x)
            ASSERT_EQ(tile.at(x, y), map.at(origin.x + x, origin.y + y)) << "pixel " << x << ", " << y;
}

TEST(CopyTileFromMap, TakesTheSelectedTilesRectangle)
{
    const TileGeometry g = geometry(8, 8);
    const Bitmap map = numberedMap(mapPixelWidth(g), mapPixelHeight(g));
    Bitmap tile;
    copyTileFromMap(map, g, 18, tile);
    ASSERT_EQ(tile.width, 8);
    ASSERT_EQ(tile.height, 8);
    expectTileIsMapRectangle(tile, map, {16, 8});
}

TEST(CopyTileFromMap, FollowsTheBlockLayout)
{
    const TileGeometry g = geometry(3, 5, 2, 3);
    const Bitmap map = numberedMap(mapPixelWidth(g), mapPixelHeight(g));
    Bitmap tile(16, 16, 0xFFFFFFFFu);
    copyTileFromMap(map, g, 18 * 6 + 5, tile);
    ASSERT_EQ(tile.width, 3) << "resized to the tile geometry";
    ASSERT_EQ(tile.height, 5);
    expectTileIsMapRectangle(tile, map, {15, 25});
}

TEST(CopyTileFromMap, BlackWhereTheMapHasNoPixels)
{
    const TileGeometry g = geometry(8, 8);
    const Bitmap map = numberedMap(20, 20);
    Bitmap tile(8, 8, 0xFFFFFFFFu);
    copyTileFromMap(map, g, 2, tile); // columns 16..23, of which 16..19 exist
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            SCOPED_TRACE(testing::Message() << x << ", " << y);
            EXPECT_EQ(tile.at(x, y), x < 4 ? map.at(16 + x, y) : kBlackPixel);
        }
}

TEST(CopyTileFromMap, TileOffTheMapIsAllBlack)
{
    const TileGeometry g = geometry(8, 8);
    const Bitmap map = numberedMap(mapPixelWidth(g), mapPixelHeight(g));
    Bitmap tile(8, 8, 0xFFFFFFFFu);
    copyTileFromMap(map, g, 300, tile);
    EXPECT_EQ(tile, Bitmap(8, 8, kBlackPixel));
}

} // namespace
