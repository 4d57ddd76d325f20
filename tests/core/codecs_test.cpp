#include "tiles/codecdescription.h"
#include "tiles/codecs.h"
#include "tiles/grouprows.h"
#include "tiles/picturerows.h"
#include "tiles/tilegrid.h"
#include "tiles/tileops.h"

#include "support/describedcopies.h"
#include "support/testdata.h"

#include <gtest/gtest.h>

#include <bitset>
#include <random>

#include <algorithm>
#include <bit>
#include <limits>
#include <map>
#include <random>
#include <utility>
#include <vector>

namespace {

std::int64_t tilesOnMap(const TileGeometry& g) { return 256LL * g.blockWidth * g.blockHeight; }

std::size_t screenBytesFor(Codec codec, const TileGeometry& g)
{
    const std::int64_t pixels = tilesOnMap(g) * g.tileWidth * g.tileHeight;
    return static_cast<std::size_t>((pixels + unitPixels(codec) - 1) / unitPixels(codec) * unitBytes(codec));
}

// Screen arrangement: 16 x 16 blocks, each blockWidth x blockHeight tiles in rows.
std::pair<int, int> originOf(const TileGeometry& g, std::int64_t t)
{
    const std::int64_t perBlock = g.blockWidth * g.blockHeight;
    const std::int64_t b = t / perBlock;
    const std::int64_t k = t % perBlock;
    return {static_cast<int>(((b % 16) * g.blockWidth + k % g.blockWidth) * g.tileWidth),
            static_cast<int>(((b / 16) * g.blockHeight + k / g.blockWidth) * g.tileHeight)};
}

// Slow decoder straight from the stream model, one pixel at a time.
Bitmap referenceDecode(std::span<const std::uint8_t> rom, std::int64_t position, Codec codec,
                       const TileGeometry& g, const Palettes& palettes)
{
    const auto colours = valuePixels(codec, palettes);
    Bitmap out(g.tileWidth * 16 * g.blockWidth, g.tileHeight * 16 * g.blockHeight, 0);
    for (std::int64_t t = 0; t < tilesOnMap(g); ++t) {
        const auto [x0, y0] = originOf(g, t);
        for (int y = 0; y < g.tileHeight; ++y)
            for (int x = 0; x < g.tileWidth; ++x) {
                const auto v = streamPixelValue(rom, position, codec,
                                                (t * g.tileHeight + y) * g.tileWidth + x);
                out.set(x0 + x, y0 + y, v ? colours[static_cast<std::size_t>(*v)] : kBlackPixel);
            }
    }
    return out;
}

// ---- Hand-worked byte patterns ----------------------------------------------

struct UnitCase {
    const char* what;
    Codec codec;
    std::map<int, std::uint8_t> bytes;         // offset -> byte, all others 00
    std::map<std::pair<int, int>, int> pixels; // (column, row) -> value, all others 0
};

const std::vector<UnitCase> kUnitCases = {
    {"1BPP top left", Codec::OneBpp, {{0, 0x80}}, {{{0, 0}, 1}}},
    {"1BPP row 3 rightmost", Codec::OneBpp, {{3, 0x01}}, {{{7, 3}, 1}}},
    {"NES both planes", Codec::Nes, {{0, 0x80}, {8, 0x80}}, {{{0, 0}, 3}}},
    {"NES plane 0 row 2", Codec::Nes, {{2, 0x01}}, {{{7, 2}, 1}}},
    {"NES plane 1 row 5", Codec::Nes, {{13, 0x10}}, {{{3, 5}, 2}}},
    {"GB plane 0", Codec::GameBoy, {{0, 0x80}}, {{{0, 0}, 1}}},
    {"GB plane 1 row 1", Codec::GameBoy, {{3, 0x40}}, {{{1, 1}, 2}}},
    {"GB both planes last pixel", Codec::GameBoy, {{14, 0x01}, {15, 0x01}}, {{{7, 7}, 3}}},
    {"LINEAR 40", Codec::Linear, {{0, 0x40}}, {{{0, 0}, 2}}},
    {"LINEAR 80", Codec::Linear, {{0, 0x80}}, {{{0, 0}, 1}}},
    {"LINEAR second byte", Codec::Linear, {{1, 0x03}}, {{{7, 0}, 3}}},
    {"LINEAR row 1", Codec::Linear, {{2, 0x10}}, {{{1, 1}, 2}}},
    {"NGP first byte is right half", Codec::Ngp, {{0, 0x80}}, {{{4, 0}, 1}}},
    {"NGP second byte is left half", Codec::Ngp, {{1, 0xC0}}, {{{0, 0}, 3}}},
    {"NGP last row", Codec::Ngp, {{15, 0x01}}, {{{3, 7}, 2}}},
    {"SNES plane 0", Codec::Snes, {{0, 0x80}}, {{{0, 0}, 1}}},
    {"SNES plane 1", Codec::Snes, {{1, 0x80}}, {{{0, 0}, 2}}},
    {"SNES plane 2", Codec::Snes, {{16, 0x01}}, {{{7, 0}, 4}}},
    {"SNES plane 3 last row", Codec::Snes, {{31, 0x01}}, {{{7, 7}, 8}}},
    {"SNES planes 0 and 3", Codec::Snes, {{2, 0x40}, {19, 0x40}}, {{{1, 1}, 9}}},
    {"SNES 01 read mirrored", Codec::SnesMirrored, {{0, 0x01}}, {{{0, 0}, 1}}},
    {"SNES 01 read plain", Codec::Snes, {{0, 0x01}}, {{{7, 0}, 1}}},
    {"SNES mirrored plane 3", Codec::SnesMirrored, {{17, 0x80}}, {{{7, 0}, 8}}},
    {"GBA 21", Codec::Gba, {{0, 0x21}}, {{{0, 0}, 1}, {{1, 0}, 2}}},
    {"GBA last byte", Codec::Gba, {{31, 0xF0}}, {{{7, 7}, 15}}},
    {"Genesis 21", Codec::Genesis, {{0, 0x21}}, {{{0, 0}, 2}, {{1, 0}, 1}}},
    {"Genesis row 1", Codec::Genesis, {{5, 0x0A}}, {{{3, 1}, 10}}},
    {"SMS planes 0 and 3", Codec::Sms, {{0, 0x80}, {3, 0x80}}, {{{0, 0}, 9}}},
    {"SMS plane 2 row 1", Codec::Sms, {{6, 0x02}}, {{{6, 1}, 4}}},
    {"SNES 3 planes 0 and 1", Codec::Snes3, {{0, 0x80}, {1, 0x80}}, {{{0, 0}, 3}}},
    {"SNES 3 plane 2 row 3", Codec::Snes3, {{19, 0x01}}, {{{7, 3}, 4}}},
    {"SNES 3 plane 1 row 7", Codec::Snes3, {{15, 0x40}, {23, 0x40}}, {{{1, 7}, 6}}},
    {"SNES 8 plane 0", Codec::Snes8, {{0, 0x80}}, {{{0, 0}, 1}}},
    {"SNES 8 planes 2 and 7 row 1", Codec::Snes8, {{18, 0x01}, {51, 0x01}}, {{{7, 1}, 0x84}}},
    {"SNES 8 plane 5 last row", Codec::Snes8, {{47, 0x20}}, {{{2, 7}, 0x20}}},
    {"GBA 8 bytes are pixels", Codec::Gba8, {{0, 0xA5}, {9, 0xFF}, {63, 0x01}}, {{{0, 0}, 0xA5}, {{1, 1}, 0xFF}, {{7, 7}, 1}}},
    {"Mode 7 odd bytes are pixels", Codec::Mode7, {{1, 0x3C}, {19, 0x80}, {127, 0x01}}, {{{0, 0}, 0x3C}, {{1, 1}, 0x80}, {{7, 7}, 1}}},
    {"Mode 7 map bytes show nothing", Codec::Mode7, {{0, 0xFF}, {18, 0xFF}, {126, 0xFF}}, {}},
    {"Virtual Boy lowest bits leftmost", Codec::VirtualBoy, {{0, 0x1B}}, {{{0, 0}, 3}, {{1, 0}, 2}, {{2, 0}, 1}}},
    {"Virtual Boy high byte right half", Codec::VirtualBoy, {{5, 0xC0}}, {{{7, 2}, 3}}},
    {"Virtual Boy word rows", Codec::VirtualBoy, {{14, 0x04}, {15, 0x01}}, {{{1, 7}, 1}, {{4, 7}, 1}}},
    {"PCE low byte right half", Codec::PceSprite, {{0, 0x01}}, {{{15, 0}, 1}}},
    {"PCE high byte left half", Codec::PceSprite, {{1, 0x80}}, {{{0, 0}, 1}}},
    {"PCE plane 3 last row", Codec::PceSprite, {{127, 0x01}, {126, 0x80}}, {{{7, 15}, 8}, {{8, 15}, 8}}},
    {"PCE planes 1 and 2 row 4", Codec::PceSprite, {{41, 0x40}, {73, 0x40}}, {{{1, 4}, 6}}},
};

TEST(CodecPatterns, HandWorkedUnits)
{
    for (const auto& tc : kUnitCases) {
        SCOPED_TRACE(tc.what);
        Bytes unit(static_cast<std::size_t>(unitBytes(tc.codec)), 0);
        for (const auto& [offset, byte] : tc.bytes)
            unit[static_cast<std::size_t>(offset)] = byte;
        for (int r = 0; r < unitHeight(tc.codec); ++r)
            for (int c = 0; c < unitWidth(tc.codec); ++c) {
                const auto it = tc.pixels.find({c, r});
                const int expected = it == tc.pixels.end() ? 0 : it->second;
                EXPECT_EQ(unitPixelValue(tc.codec, unit.data(), r, c), expected) << c << "," << r;
                EXPECT_EQ(streamPixelValue(unit, 0, tc.codec, r * unitWidth(tc.codec) + c), expected);
            }
    }
}

TEST(CodecPatterns, NesSixteenBySixteenTileSpansFourUnits)
{
    const TileGeometry g{16, 16, 1, 1};
    Bytes rom(screenBytesFor(Codec::Nes, g), 0);
    rom[0] = 0xF0; // unit 0 row 0: columns 0..3 value 1
    rom[9] = 0x0F; // unit 0 row 1: columns 4..7 value 2
    rom[64] = 0x80; // first pixel of tile 1
    const Palettes pal = distinctPalettes();
    const auto colours = valuePixels(Codec::Nes, pal);
    Bitmap map;
    decodeTileMap(rom, 0, Codec::Nes, g, pal, map);
    for (int x = 0; x < 16; ++x) {
        const int expected = x < 4 ? 1 : (x >= 12 ? 2 : 0);
        EXPECT_EQ(map.at(x, 0), colours[static_cast<std::size_t>(expected)]) << x;
    }
    EXPECT_EQ(map.at(16, 0), colours[1]);
    EXPECT_EQ(map.at(0, 1), colours[0]);
}

TEST(CodecPatterns, OneBppThreeByThreeTileStartsInsideAByte)
{
    const TileGeometry g{3, 3, 1, 1};
    Bytes rom(screenBytesFor(Codec::OneBpp, g), 0);
    rom[1] = 0xD5; // bit 7 ends tile 0; bits 6..0 open tile 1: 1 0 1 0 1 0 1
    rom[2] = 0x80; // bits 7 and 6 close tile 1: 1 0
    const int tile1[9] = {1, 0, 1, 0, 1, 0, 1, 1, 0};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(streamPixelValue(rom, 0, Codec::OneBpp, 9 + i), tile1[i]) << i;
    }
    const Palettes pal = distinctPalettes();
    const auto colours = valuePixels(Codec::OneBpp, pal);
    Bitmap map;
    decodeTileMap(rom, 0, Codec::OneBpp, g, pal, map);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(map.at(3 + i % 3, i / 3), colours[static_cast<std::size_t>(tile1[i])]) << i;
    EXPECT_EQ(map.at(2, 2), colours[1]); // stream pixel 8 is tile 0's last
    EXPECT_EQ(map.at(1, 2), colours[0]);
}

// ---- The contract every codec keeps -------------------------------------------

TEST(CodecContract, SetThenReadAtEveryPixelTouchesNothingElse)
{
    const std::vector<Bytes> fills = {Bytes(128, 0x00), Bytes(128, 0xFF), randomBytes(128, 7),
                                      randomBytes(128, 99)};
    for (const Codec codec : kAllCodecs) {
        SCOPED_TRACE(codecName(codec));
        const auto size = static_cast<std::size_t>(unitBytes(codec));
        const int values = 1 << bitsPerPixel(codec);
        const int rows = unitHeight(codec);
        const int columns = unitWidth(codec);
        for (const Bytes& fill : fills) {
            const Bytes original(fill.begin(), fill.begin() + static_cast<std::ptrdiff_t>(size));
            Bytes owner(size, 0); // every bit of the unit belongs to exactly one pixel
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < columns; ++c) {
                    // Wide codecs: a spread of values, each bit both set and clear.
                    for (int v = 0; v < values; v += values > 16 ? 37 : 1) {
                        Bytes unit = original;
                        setUnitPixelValue(codec, unit.data(), r, c, v);
                        ASSERT_EQ(unitPixelValue(codec, unit.data(), r, c), v) << r << c;
                        for (int rr = 0; rr < rows; ++rr)
                            for (int cc = 0; cc < columns; ++cc) {
                                if (rr != r || cc != c) {
                                    ASSERT_EQ(unitPixelValue(codec, unit.data(), rr, cc),
                                              unitPixelValue(codec, original.data(), rr, cc));
                                }
                            }
                    }
                    // The bits a pixel owns are those that change between 0 and all ones.
                    Bytes zero = original;
                    Bytes ones = original;
                    setUnitPixelValue(codec, zero.data(), r, c, 0);
                    setUnitPixelValue(codec, ones.data(), r, c, values - 1);
                    int changed = 0;
                    for (std::size_t i = 0; i < size; ++i) {
                        const auto diff = static_cast<std::uint8_t>(zero[i] ^ ones[i]);
                        ASSERT_EQ(owner[i] & diff, 0) << "bit shared by two pixels";
                        owner[i] = static_cast<std::uint8_t>(owner[i] | diff);
                        changed += std::popcount(diff);
                        // Outside its own bits, the unit is as it was.
                        ASSERT_EQ(zero[i] & ~diff, original[i] & ~diff);
                    }
                    ASSERT_EQ(changed, bitsPerPixel(codec));
                }
            // Mode 7's even bytes are its map, no pixel's.
            for (std::size_t i = 0; i < size; ++i)
                EXPECT_EQ(owner[i], codec == Codec::Mode7 && i % 2 == 0 ? 0x00 : 0xFF) << "byte " << i;
        }
    }
}

// The codec box index, the name and the bits per pixel are stored and typed
// by users (--codec 5), so each codec keeps all three exactly.
TEST(CodecContract, IndexNameAndBitsPerPixel)
{
    const struct {
        Codec codec;
        const char* name;
        int bits;
        int side;  // unit width and height
        int bytes; // per unit
    } table[kCodecCount] = {
        {Codec::OneBpp, "1BPP", 1, 8, 8},
        {Codec::Nes, "2BPP NES", 2, 8, 16},
        {Codec::GameBoy, "2BPP GB", 2, 8, 16},
        {Codec::Linear, "2BPP LINEAR", 2, 8, 16},
        {Codec::Ngp, "2BPP NGP", 2, 8, 16},
        {Codec::Snes, "4BPP SNES", 4, 8, 32},
        {Codec::SnesMirrored, "4BPP SNES (mirrored)", 4, 8, 32},
        {Codec::Gba, "4BPP GBA", 4, 8, 32},
        {Codec::Genesis, "4BPP MSX (Genesis)", 4, 8, 32},
        {Codec::Sms, "4BPP SMS", 4, 8, 32},
        {Codec::Snes3, "3BPP SNES", 3, 8, 24},
        {Codec::Snes8, "8BPP SNES", 8, 8, 64},
        {Codec::Gba8, "8BPP GBA", 8, 8, 64},
        {Codec::Mode7, "8BPP MODE 7", 8, 8, 128},
        {Codec::VirtualBoy, "2BPP VIRTUAL BOY", 2, 8, 16},
        {Codec::PceSprite, "4BPP PCE SPRITE", 4, 16, 128},
    };
    for (int index = 0; index < kCodecCount; ++index) {
        const auto& row = table[index];
        SCOPED_TRACE(row.name);
        EXPECT_EQ(kAllCodecs[static_cast<std::size_t>(index)], row.codec);
        EXPECT_EQ(codecIndex(row.codec), index);
        EXPECT_EQ(codecFromIndex(index), row.codec);
        EXPECT_EQ(codecName(row.codec), row.name);
        EXPECT_EQ(codecByName(row.name), row.codec);
        EXPECT_EQ(bitsPerPixel(row.codec), row.bits);
        EXPECT_EQ(unitWidth(row.codec), row.side);
        EXPECT_EQ(unitHeight(row.codec), row.side);
        EXPECT_EQ(unitBytes(row.codec), row.bytes);
    }
    for (const int index : {-1, kCodecCount + describedCodecCount(), 255})
        EXPECT_EQ(codecFromIndex(index), std::nullopt) << index;
    EXPECT_EQ(codecByName("4BPP snes"), std::nullopt);
    EXPECT_EQ(codecByName("2BPP NES "), std::nullopt);
    EXPECT_EQ(codecByName(""), std::nullopt);
}

// ---- Whole-map decoding ----------------------------------------------------------

struct MapCase {
    TileGeometry geometry;
    std::int64_t position;
    std::int64_t romSlack; // image size = position + screen bytes + slack (negative: short)
};

const std::vector<MapCase> kMapCases = {
    {{8, 8, 1, 1}, 0, 0},
    {{8, 8, 1, 1}, 5, -1000},  // last units run past the end
    {{8, 8, 1, 1}, 3, -37},    // a unit straddles the end
    {{3, 3, 1, 1}, 1, -500},
    {{5, 7, 2, 1}, 17, -333},
    {{16, 16, 3, 2}, 2, -20001},
    {{1, 16, 1, 3}, 0, 64},
    {{16, 1, 2, 2}, 11, -9},
    {{8, 8, 1, 1}, -40, 0},    // starts before the image
    {{16, 8, 3, 2}, -70, -150}, // picture-order rows cut at both ends
    {{8, 16, 2, 3}, 9, -61},
};

TEST(DecodeTileMap, MatchesPixelByPixelReference)
{
    const Palettes pal = distinctPalettes();
    for (const Codec codec : kAllCodecs)
        for (const auto& mc : kMapCases) {
            const TileGeometry& g = mc.geometry;
            SCOPED_TRACE(testing::Message() << codecName(codec) << " "
                                            << g.tileWidth << "x" << g.tileHeight << " blocks "
                                            << g.blockWidth << "x" << g.blockHeight << " at "
                                            << mc.position << " slack " << mc.romSlack);
            const std::int64_t size = std::max<std::int64_t>(
                1, mc.position + static_cast<std::int64_t>(screenBytesFor(codec, g)) + mc.romSlack);
            const Bytes rom = randomBytes(static_cast<std::size_t>(size), 1234u + static_cast<unsigned>(codecIndex(codec)));
            Bitmap map(3, 3, 0x12345678); // stale contents must not survive
            decodeTileMap(rom, mc.position, codec, g, pal, map);
            const Bitmap expected = referenceDecode(rom, mc.position, codec, g, pal);
            ASSERT_EQ(map.width, expected.width);
            ASSERT_EQ(map.height, expected.height);
            ASSERT_TRUE(map == expected);
        }
}

// The picture-row decoder with every store kind it can pick, on random
// images, geometries and positions, against the pixel-by-pixel reference.
TEST(DecodeTileMap, PictureRowsMatchReferenceWithEveryStoreKind)
{
    const Palettes pal = distinctPalettes();
    std::mt19937 rng(2024);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (const Codec codec : kAllCodecs) {
        if (!decodesByPictureRows(codec))
            continue;
        for (int round = 0; round < 6; ++round) {
            const TileGeometry g{8 * pick(1, 2), pick(1, 16), pick(1, 4), pick(1, 3)};
            const auto bytes = static_cast<std::int64_t>(screenBytesFor(codec, g));
            const std::int64_t position = round % 2 == 0 ? pick(0, 40) : -pick(1, 300);
            const std::int64_t size = std::max<std::int64_t>(1, position + bytes - pick(0, 2) * pick(0, 500));
            const Bytes rom = randomBytes(static_cast<std::size_t>(size), rng());
            SCOPED_TRACE(testing::Message() << codecName(codec) << " " << g.tileWidth
                                            << "x" << g.tileHeight << " blocks " << g.blockWidth << "x"
                                            << g.blockHeight << " at " << position << " size " << size);
            const Bitmap expected = referenceDecode(rom, position, codec, g, pal);
            std::array<std::uint32_t, kPictureRowColours> colours{};
            const auto values = valuePixels(codec, pal);
            std::copy_n(values.begin(), 16, colours.begin());
            colours[16] = kBlackPixel;
            for (const std::size_t streamingFrom : {std::size_t{0}, kStreamingPictureBytes})
                for (const int width : {0, 1, 2}) {
                    const bool wideRows = width > 0;
                    const bool widestRows = width > 1;
                    Bitmap map(expected.width, expected.height, 0x12345678);
                    decodeMapByPictureRows(rom, position, codec, g, colours.data(), map,
                                           {streamingFrom, wideRows, widestRows});
                    ASSERT_TRUE(map == expected) << "streaming from " << streamingFrom << " row width " << width;
                }
        }
    }
}

TEST(DecodeTileMap, ChosenBlocksComeOutAsTheWholeMapDrawsThem)
{
    const Palettes pal = distinctPalettes();
    std::mt19937 rng(17);
    constexpr std::uint32_t kUntouched = 0xFF123456;
    for (const Codec codec : kAllCodecs)
        for (const auto& mc : kMapCases) {
            const TileGeometry& g = mc.geometry;
            SCOPED_TRACE(testing::Message() << codecName(codec) << " " << g.tileWidth
                                            << "x" << g.tileHeight << " blocks " << g.blockWidth << "x"
                                            << g.blockHeight << " at " << mc.position);
            const std::int64_t size = std::max<std::int64_t>(
                1, mc.position + static_cast<std::int64_t>(screenBytesFor(codec, g)) + mc.romSlack);
            const Bytes rom = randomBytes(static_cast<std::size_t>(size), 99u + static_cast<unsigned>(codecIndex(codec)));
            Bitmap whole;
            decodeTileMap(rom, mc.position, codec, g, pal, whole);
            std::bitset<256> chosen;
            for (int b = 0; b < 256; ++b)
                chosen[static_cast<std::size_t>(b)] = rng() % 5 == 0 || b == 255;
            Bitmap part(whole.width, whole.height, kUntouched);
            decodeTileMapBlocks(rom, mc.position, codec, g, pal, chosen, part);
            const int bw = g.tileWidth * g.blockWidth;
            const int bh = g.tileHeight * g.blockHeight;
            for (int y = 0; y < whole.height; ++y)
                for (int x = 0; x < whole.width; ++x) {
                    const int block = (y / bh) * 16 + x / bw;
                    // Neighbours of a chosen block may be drawn too, but only right.
                    if (chosen[static_cast<std::size_t>(block)] || part.at(x, y) != kUntouched) {
                        ASSERT_EQ(part.at(x, y), whole.at(x, y)) << x << "," << y;
                    }
                }
        }
}

TEST(DecodeTileMap, ReusedBitmapIsFullyRedrawn)
{
    const Palettes pal = distinctPalettes();
    const TileGeometry g{8, 8, 1, 1};
    const Bytes rom = randomBytes(screenBytesFor(Codec::Snes, g), 5);
    Bitmap map;
    decodeTileMap(rom, 0, Codec::Snes, g, pal, map);
    const Bitmap first = map;
    map.fill(0xFFFFFFFF);
    decodeTileMap(rom, 0, Codec::Snes, g, pal, map);
    EXPECT_TRUE(map == first);
}

TEST(DecodeTileMap, ShortImageIsBlackPastTheEnd)
{
    const Palettes pal = distinctPalettes();
    const TileGeometry g{8, 8, 1, 1};
    const Bytes rom(10, 0x00); // NES: rows 0..1 of the first tile have both planes
    Bitmap map;
    decodeTileMap(rom, 0, Codec::Nes, g, pal, map);
    const auto colours = valuePixels(Codec::Nes, pal);
    EXPECT_EQ(map.at(0, 0), colours[0]);
    EXPECT_EQ(map.at(7, 1), colours[0]);
    EXPECT_EQ(map.at(0, 2), kBlackPixel);
    EXPECT_EQ(map.at(8, 0), kBlackPixel);
    EXPECT_EQ(map.at(127, 127), kBlackPixel);

    decodeTileMap(rom, 1000, Codec::Nes, g, pal, map);
    EXPECT_EQ(map, Bitmap(128, 128, kBlackPixel));
    decodeTileMap({}, 0, Codec::Sms, g, pal, map);
    EXPECT_EQ(map, Bitmap(128, 128, kBlackPixel));
}

// ---- Writing single pixels --------------------------------------------------------

TEST(WriteTilePixel, RoundTripsThroughTheDecodedMap)
{
    const Palettes pal = distinctPalettes();
    const std::vector<TileGeometry> geometries = {
        {8, 8, 1, 1}, {3, 3, 1, 1}, {5, 7, 2, 1}, {16, 16, 3, 2}, {7, 1, 1, 2}};
    std::mt19937 rng(42);
    for (const Codec codec : kAllCodecs)
        for (const auto& g : geometries) {
            SCOPED_TRACE(testing::Message() << codecName(codec) << " "
                                            << g.tileWidth << "x" << g.tileHeight);
            const std::int64_t position = 3;
            Bytes rom = randomBytes(static_cast<std::size_t>(position) + screenBytesFor(codec, g), 9);
            const Bytes before = rom;
            Bitmap expected = referenceDecode(rom, position, codec, g, pal);
            const auto colours = valuePixels(codec, pal);
            for (int i = 0; i < 12; ++i) {
                const auto tile = static_cast<std::int64_t>(rng() % tilesOnMap(g));
                const int x = static_cast<int>(rng() % static_cast<unsigned>(g.tileWidth));
                const int y = static_cast<int>(rng() % static_cast<unsigned>(g.tileHeight));
                const int value = static_cast<int>(rng() % (1u << bitsPerPixel(codec)));
                ASSERT_TRUE(writeTilePixel(rom, position, codec, g, tile, x, y, value));
                const auto [x0, y0] = originOf(g, tile);
                expected.set(x0 + x, y0 + y, colours[static_cast<std::size_t>(value)]);
            }
            EXPECT_TRUE(std::equal(rom.begin(), rom.begin() + position, before.begin()));
            Bitmap map;
            decodeTileMap(rom, position, codec, g, pal, map);
            EXPECT_TRUE(map == expected); // the written pixels changed, no other did
        }
}

TEST(WriteTilePixel, OutsideTheTileOrImageWritesNothing)
{
    const TileGeometry g{5, 7, 1, 1};
    struct Case {
        const char* what;
        std::int64_t position;
        std::int64_t tile;
        int x, y;
    };
    // NES, 5 x 7 tiles, image of 40 bytes: units 0 and 1 at position 8 are
    // bytes 8..23 and 24..39; unit 2 would start at 40.
    const std::vector<Case> outside = {
        {"x negative", 8, 0, -1, 0},
        {"x = tile width", 8, 0, 5, 0},
        {"y = tile height", 8, 0, 0, 7},
        {"tile before position", 8, -1, 0, 0},
        {"unit past the end", 8, 4, 0, 0},              // stream pixel 140, unit 2
        {"position past the end", 40, 0, 0, 0},
        {"bytes before the image", -16, 0, 0, 0},       // unit 0 at -16
        {"huge tile", 8, std::numeric_limits<std::int64_t>::max() / 2, 0, 0},
    };
    for (const auto& tc : outside) {
        SCOPED_TRACE(tc.what);
        Bytes rom = randomBytes(40, 3);
        const Bytes before = rom;
        EXPECT_FALSE(writeTilePixel(rom, tc.position, Codec::Nes, g, tc.tile, tc.x, tc.y, 3));
        EXPECT_EQ(rom, before);
    }

    // A unit that straddles the end: NES rows 0..1 need bytes 0..1 and 8..9 only.
    Bytes rom(10, 0);
    const TileGeometry unitTile{8, 8, 1, 1};
    EXPECT_TRUE(writeTilePixel(rom, 0, Codec::Nes, unitTile, 0, 7, 1, 3));
    EXPECT_EQ(rom, (Bytes{0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0x01}));
    EXPECT_FALSE(writeTilePixel(rom, 0, Codec::Nes, unitTile, 0, 0, 2, 3));
    // Second unit of an image that starts before position 0 is inside.
    Bytes small(16, 0);
    EXPECT_TRUE(writeTilePixel(small, -16, Codec::Nes, unitTile, 1, 0, 0, 1));
    EXPECT_EQ(small[0], 0x80);
}

// ---- Colours to values --------------------------------------------------------------

TEST(ColourToValue, ComparisonOrder)
{
    const Colour a = rgbColour(1, 2, 3), b = rgbColour(4, 5, 6), c = rgbColour(7, 8, 9),
                 d = rgbColour(10, 11, 12), unknown = rgbColour(99, 99, 99);
    struct Case {
        const char* what;
        Codec codec;
        std::array<Colour, 4> four;
        Colour colour;
        int value;
    };
    const std::vector<Case> cases = {
        {"1-bit entry 1", Codec::OneBpp, {a, b, c, d}, a, 0},
        {"1-bit entry 2", Codec::OneBpp, {a, b, c, d}, b, 1},
        {"1-bit unknown", Codec::OneBpp, {a, b, c, d}, unknown, 1},
        {"2-bit entry 1", Codec::Nes, {a, b, c, d}, a, 0},
        {"2-bit entry 2", Codec::GameBoy, {a, b, c, d}, b, 1},
        {"2-bit entry 3", Codec::Linear, {a, b, c, d}, c, 2},
        {"2-bit entry 4", Codec::Ngp, {a, b, c, d}, d, 3},
        {"2-bit unknown", Codec::Nes, {a, b, c, d}, unknown, 2},
        {"2-bit entries 1 and 3 equal", Codec::Nes, {a, b, a, d}, a, 0},
        {"2-bit entries 2 and 4 equal", Codec::Nes, {a, b, c, b}, b, 1},
        {"2-bit entries 3 and 4 equal", Codec::Nes, {a, b, d, d}, d, 3},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.what);
        Palettes p = distinctPalettes();
        p.four = tc.four;
        EXPECT_EQ(colourToValue(tc.codec, p, tc.colour), tc.value);
    }

    Palettes p = distinctPalettes();
    p.sixteen[9] = p.sixteen[4];
    EXPECT_EQ(colourToValue(Codec::Gba, p, p.sixteen[4]), 4); // lowest equal index wins
    EXPECT_EQ(colourToValue(Codec::Gba, p, p.sixteen[15]), 15);
    EXPECT_EQ(colourToValue(Codec::Sms, p, unknown), 0);
}

TEST(ValuePixels, EachValueShowsItsPaletteEntry)
{
    const Palettes p = distinctPalettes();
    for (const Codec codec : kAllCodecs) {
        const auto pixels = valuePixels(codec, p);
        for (int v = 0; v < (1 << bitsPerPixel(codec)); ++v) {
            const int bits = bitsPerPixel(codec);
            const Colour entry = bits <= 2   ? p.fourEntry(v + 1)
                                 : bits <= 4 ? p.sixteen[static_cast<std::size_t>(v)]
                                             : p.full[static_cast<std::size_t>(v)];
            EXPECT_EQ(pixels[static_cast<std::size_t>(v)], colourToPixel(entry)) << codecName(codec) << " " << v;
            EXPECT_EQ(colourToValue(codec, p, entry), v);
        }
    }
}

// ---- Described codecs ----------------------------------------------------------------

// Random images, geometries and positions, often cut at either end.
struct RandomMap {
    Bytes rom;
    TileGeometry geometry;
    std::int64_t position = 0;
};

// Tile widths of 8 and 16 take the decoders' group-at-a-time paths.
RandomMap randomMap(Codec codec, std::mt19937& rng, int tileWidth = 0)
{
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    RandomMap m;
    m.geometry = {tileWidth > 0 ? tileWidth : pick(1, 16), pick(1, 16), pick(1, 3), pick(1, 2)};
    m.position = pick(-400, 300);
    const auto screen = static_cast<std::int64_t>(screenBytesFor(codec, m.geometry));
    const std::int64_t size = std::max<std::int64_t>(1, m.position + screen - pick(0, 1) * pick(0, 3000));
    m.rom = randomBytes(static_cast<std::size_t>(size), rng());
    return m;
}

TEST(DescribedCodec, CopiesOfTheBuiltInsDecodeAndWriteAsTheBuiltIns)
{
    const Palettes pal = distinctPalettes();
    std::mt19937 rng(77);
    for (const Codec builtIn : kAllCodecs) {
        SCOPED_TRACE(codecName(builtIn));
        EXPECT_EQ(descriptionProblem(describeBuiltIn(builtIn)), "");
        const Codec copy = describedCopy(builtIn);
        ASSERT_FALSE(isBuiltInCodec(copy));
        for (int round = 0; round < 8; ++round) {
            RandomMap m = randomMap(builtIn, rng, round < 2 ? 8 * (round + 1) : 0);
            const TileGeometry& g = m.geometry;
            SCOPED_TRACE(testing::Message() << g.tileWidth << "x" << g.tileHeight << " blocks " << g.blockWidth
                                            << "x" << g.blockHeight << " at " << m.position << " size " << m.rom.size());
            Bitmap expected;
            Bitmap described;
            decodeTileMap(m.rom, m.position, builtIn, g, pal, expected);
            decodeTileMap(m.rom, m.position, copy, g, pal, described);
            ASSERT_TRUE(described == expected);

            Bytes written = m.rom;
            const auto tiles = static_cast<unsigned>(tilesOnMap(g));
            for (int i = 0; i < 16; ++i) {
                const std::int64_t tile = rng() % tiles;
                const int x = static_cast<int>(rng() % 16);
                const int y = static_cast<int>(rng() % 16);
                const int value = static_cast<int>(rng() % 256);
                ASSERT_EQ(writeTilePixel(written, m.position, copy, g, tile, x, y, value),
                          writeTilePixel(m.rom, m.position, builtIn, g, tile, x, y, value));
            }
            ASSERT_EQ(written, m.rom);
        }
    }
}

// A valid description with every pixel bit at a random place of the unit.
CodecDescription randomLayout(std::mt19937& rng, int bits, int width, int height, int spareBytes)
{
    CodecDescription d;
    d.name = "random layout " + std::to_string(rng());
    d.bitsPerPixel = bits;
    d.width = width;
    d.height = height;
    d.bytes = (width * height * bits + 7) / 8 + spareBytes;
    std::vector<CodecBit> places;
    for (int byte = 0; byte < d.bytes; ++byte)
        for (int bit = 0; bit < 8; ++bit)
            places.push_back({byte, bit});
    std::shuffle(places.begin(), places.end(), rng);
    d.bits.assign(places.begin(), places.begin() + width * height * bits);
    return d;
}

// Layouts no built-in has: bytes shared by far-apart pixels, units of any
// size, so many distinct byte layouts that some bits are read one by one.
TEST(DescribedCodec, RandomLayoutsDecodeAsThePixelByPixelReference)
{
    const Palettes pal = distinctPalettes();
    std::mt19937 rng(4242);
    const struct {
        int bits, width, height, spare;
    } shapes[] = {{1, 8, 8, 0}, {3, 3, 5, 2}, {8, 1, 1, 1}, {5, 7, 2, 0}, {2, 16, 16, 9}, {8, 32, 32, 0}, {4, 13, 1, 3}};
    for (const auto& shape : shapes) {
        std::string error;
        const std::optional<Codec> codec =
            addDescribedCodec(randomLayout(rng, shape.bits, shape.width, shape.height, shape.spare), error);
        ASSERT_TRUE(codec.has_value()) << error;
        SCOPED_TRACE(codecName(*codec));
        for (int round = 0; round < 4; ++round) {
            RandomMap m = randomMap(*codec, rng);
            Bitmap map;
            decodeTileMap(m.rom, m.position, *codec, m.geometry, pal, map);
            ASSERT_TRUE(map == referenceDecode(m.rom, m.position, *codec, m.geometry, pal))
                << m.geometry.tileWidth << "x" << m.geometry.tileHeight << " at " << m.position;
        }
    }
}

// Whole maps inside the image drawn picture row by picture row from the unit
// tables, with and without vectors or streaming stores, for every built-in's layout and random
// ones (groups with unequal reads), against the pixel-by-pixel reference;
// one byte short of the map and the picture-row path must decline it.
TEST(DescribedCodec, GroupRowsMatchReferenceAndFitOnlyWholeMaps)
{
    const Palettes pal = distinctPalettes();
    std::mt19937 rng(515);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<Codec> codecs(kAllCodecs.begin(), kAllCodecs.end());
    for (const int bits : {1, 3, 4, 8}) {
        std::string error;
        const std::optional<Codec> codec = addDescribedCodec(randomLayout(rng, bits, 8, 8, pick(0, 3)), error);
        ASSERT_TRUE(codec.has_value()) << error;
        codecs.push_back(*codec);
    }
    int drawn = 0;
    for (const Codec codec : codecs)
        for (int round = 0; round < 3; ++round) {
            const TileGeometry g{8 * pick(1, 2), 8 * pick(1, 2), pick(1, 3), pick(1, 2)};
            const auto bytes = static_cast<std::int64_t>(screenBytesFor(codec, g));
            const std::int64_t position = pick(0, 50);
            const Bytes rom = randomBytes(static_cast<std::size_t>(position + bytes), rng());
            const UnitTables& tables = *unitTablesFor(codec);
            SCOPED_TRACE(testing::Message() << codecName(codec) << " " << g.tileWidth << "x" << g.tileHeight
                                            << " blocks " << g.blockWidth << "x" << g.blockHeight);
            EXPECT_FALSE(groupRowsFit(tables, codec, g, position + 1, rom.size()));
            EXPECT_FALSE(groupRowsFit(tables, codec, g, -1, rom.size()));
            if (!groupRowsFit(tables, codec, g, position, rom.size()))
                continue;
            ++drawn;
            const Bitmap expected = referenceDecode(rom, position, codec, g, pal);
            const ValuePixels colours = valuePixels(codec, pal);
            for (const bool wideRows : {false, true})
                for (const std::size_t streamingFrom : {std::size_t{0}, kStreamingPictureBytes}) {
                    Bitmap map(expected.width, expected.height, 0x12345678);
                    decodeMapByGroupRows(rom, position, codec, tables, g, colours.data(), map, wideRows,
                                         streamingFrom);
                    ASSERT_TRUE(map == expected) << "wide rows " << wideRows << " streaming from " << streamingFrom;
                }
        }
    EXPECT_GT(drawn, 30);
}

// The tile editor's operations on the PC Engine's 16 x 16 units and on
// Mode 7, whose map bytes between the pixels must survive every write.
TEST(TileEdits, TransformedTilesWriteBackForPceSpritesAndMode7)
{
    const Palettes pal = distinctPalettes();
    const std::int64_t position = 5;
    const std::int64_t tile = 3;
    const TileTransform transforms[] = {TileTransform::ShiftLeft,      TileTransform::ShiftRight,
                                        TileTransform::ShiftUp,        TileTransform::ShiftDown,
                                        TileTransform::FlipHorizontal, TileTransform::FlipVertical,
                                        TileTransform::RotateLeft,     TileTransform::RotateRight};
    for (const Codec codec : {Codec::PceSprite, Codec::Mode7})
        for (const TileGeometry& g : {TileGeometry{16, 16, 1, 1}, TileGeometry{8, 8, 2, 1}, TileGeometry{5, 7, 1, 1}}) {
            SCOPED_TRACE(testing::Message() << codecName(codec) << " " << g.tileWidth << "x" << g.tileHeight);
            const Bytes rom = randomBytes(static_cast<std::size_t>(position) + screenBytesFor(codec, g), 31);
            const ValuePixels shown = valuePixels(codec, pal);
            Bitmap map;
            decodeTileMap(rom, position, codec, g, pal, map);
            Bitmap original;
            copyTileFromMap(map, g, tile, original);
            std::vector<Bitmap> edits;
            for (const TileTransform t : transforms)
                edits.push_back(transformedTile(original, t, shown[0]));
            edits.push_back(clearedTile(g.tileWidth, g.tileHeight, shown[5]));
            for (std::size_t e = 0; e < edits.size(); ++e) {
                const Bitmap& edited = edits[e];
                Bytes after = rom;
                for (int y = 0; y < g.tileHeight; ++y)
                    for (int x = 0; x < g.tileWidth; ++x)
                        ASSERT_TRUE(writeTilePixel(after, position, codec, g, tile, x, y,
                                                   colourToValue(codec, pal, pixelToColour(edited.at(x, y)))));
                Bitmap expected = map;
                const GridPoint origin = tileOrigin(g, tile);
                for (int y = 0; y < g.tileHeight; ++y)
                    for (int x = 0; x < g.tileWidth; ++x)
                        expected.set(origin.x + x, origin.y + y, edited.at(x, y));
                Bitmap again;
                decodeTileMap(after, position, codec, g, pal, again);
                ASSERT_TRUE(again == expected) << "edit " << e;
                if (codec == Codec::Mode7) {
                    for (std::size_t i = static_cast<std::size_t>(position); i < after.size(); i += 2)
                        ASSERT_EQ(after[i], rom[i]) << "map byte " << i << ", edit " << e;
                }
            }
        }
}

} // namespace

TEST(TileWhollyInside, EveryPixelMustComeFromTheImage)
{
    const std::vector<std::uint8_t> rom(64, 0);
    const TileGeometry nes{8, 8, 1, 1};
    EXPECT_TRUE(tileWhollyInside(rom, 0, Codec::Nes, nes, 3));  // bytes 48..63
    EXPECT_FALSE(tileWhollyInside(rom, 0, Codec::Nes, nes, 4)); // bytes 64..79
    EXPECT_FALSE(tileWhollyInside(rom, 1, Codec::Nes, nes, 3)); // its last plane byte is past the end
    EXPECT_FALSE(tileWhollyInside(rom, 0, Codec::Nes, nes, -1));
    EXPECT_FALSE(tileWhollyInside(rom, -16, Codec::Nes, nes, 0));
    // 3 x 3 "1BPP" tiles: tile 56 ends with bit 8 of byte 63, tile 57 runs past it.
    const TileGeometry small{3, 3, 1, 1};
    EXPECT_TRUE(tileWhollyInside(rom, 0, Codec::OneBpp, small, 55));
    EXPECT_FALSE(tileWhollyInside(rom, 0, Codec::OneBpp, small, 57));
}

// Positions and tile numbers near the ends of the 64-bit range: products
// that would wrap around must not land in the image, and a tile that the
// exact sum puts inside is inside.
TEST(TileWhollyInside, ExtremePositionsAndTileNumbersAreExact)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    struct Case {
        const char* name;
        std::int64_t position;
        std::int64_t tile;
        bool inside;
    };
    const Case cases[] = {
        {"pixel number wraps to 0", 0, std::int64_t{1} << 58, false},
        {"pixel number wraps to a negative", 0, kMax / 64 + 1, false},
        {"largest tile", 0, kMax, false},
        {"largest position", kMax, 0, false},
        {"position just below the largest", kMax - 15, 0, false},
        {"smallest position", kMin, 0, false},
        // 2^59 NES tiles of 16 bytes are 2^63 bytes: from the smallest position exactly to byte 0.
        {"smallest position, far tile", kMin, std::int64_t{1} << 59, true},
        {"smallest position, one tile further", kMin, (std::int64_t{1} << 59) + 4, false},
    };
    const TileGeometry nes{8, 8, 1, 1};
    const std::vector<std::uint8_t> rom(64, 0x5A);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tileWhollyInside(rom, c.position, Codec::Nes, nes, c.tile), c.inside);
        std::vector<std::uint8_t> written = rom;
        EXPECT_EQ(writeTilePixel(written, c.position, Codec::Nes, nes, c.tile, 7, 7, 3), c.inside);
        EXPECT_EQ(written != rom, c.inside);
        EXPECT_FALSE(streamPixelValue(rom, c.position, Codec::Nes, kMax - 3).has_value());
    }
}
