#include "tiles/decodedtilemap.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {
using Bytes = std::vector<std::uint8_t>;

struct Inputs {
    Bytes rom;
    std::int64_t position = 0;
    Codec codec = Codec::Nes;
    TileGeometry geometry;
    Palettes palettes = defaultPalettes();
    TileMapSource source() const { return {rom, position, codec, geometry, palettes}; }
};

Bitmap wholeMap(const Inputs& in)
{
    Bitmap map;
    decodeTileMap(in.rom, in.position, in.codec, in.geometry, in.palettes, map);
    return map;
}
} // namespace

// Whatever changed between two refreshes, the blocks asked for afterwards are
// exactly what decoding the whole map from scratch draws.
TEST(DecodedTileMap, RefreshedPictureMatchesAFreshDecodeAfterRandomChanges)
{
    std::mt19937 rng(23);
    Inputs in;
    in.rom.resize(3000);
    for (auto& b : in.rom)
        b = static_cast<std::uint8_t>(rng());
    DecodedTileMap cache;
    for (int step = 0; step < 400; ++step) {
        switch (rng() % 8) {
        case 0: // a write of a few bytes, sometimes putting back what was there
            for (int n = 0; n < 1 + static_cast<int>(rng() % 4); ++n)
                in.rom[rng() % in.rom.size()] ^= static_cast<std::uint8_t>(rng() % 3 == 0 ? 0 : 1u << (rng() % 8));
            break;
        case 1:
            in.position = static_cast<std::int64_t>(rng() % 3200) - 100;
            break;
        case 2:
            in.codec = kAllCodecs[rng() % kCodecCount];
            break;
        case 3:
            in.geometry = {1 + static_cast<int>(rng() % 9), 1 + static_cast<int>(rng() % 9),
                           1 + static_cast<int>(rng() % 2), 1 + static_cast<int>(rng() % 2)};
            break;
        case 4:
            in.palettes.sixteen[rng() % 16] = static_cast<Colour>(rng() & 0xFFFFFF);
            break;
        case 5:
            in.rom.resize(2000 + rng() % 2000, 0x5A);
            break;
        default: { // a reader between refreshes fills some blocks
            std::bitset<256> some;
            for (int b = 0; b < 256; ++b)
                some[static_cast<std::size_t>(b)] = rng() % 7 == 0;
            cache.ensureBlocks(in.source(), some);
            continue;
        }
        }
        cache.refresh(in.source());
        ASSERT_EQ(cache.ensureWhole(in.source()), wholeMap(in)) << "step " << step;
    }
}

TEST(DecodedTileMap, DecodesOnlyWhatIsMissingOrChanged)
{
    Inputs in;
    in.rom.assign(16384, 0x11);
    DecodedTileMap cache;
    cache.ensureWhole(in.source());
    EXPECT_EQ(cache.blocksDecoded(), 256u);

    cache.refresh(in.source()); // nothing changed: every block stays
    cache.ensureWhole(in.source());
    EXPECT_EQ(cache.blocksDecoded(), 256u);

    in.rom[5 * 16 + 3] = 0x22; // one byte of block 5 (16 bytes a block)
    cache.ensureWhole(in.source());
    EXPECT_EQ(cache.blocksDecoded(), 256u) << "writes show only from the next refresh";
    cache.refresh(in.source());
    EXPECT_FALSE(cache.holds(5));
    EXPECT_TRUE(cache.holds(4) && cache.holds(6));
    cache.ensureWhole(in.source());
    EXPECT_EQ(cache.blocksDecoded(), 257u);

    in.position = 16; // another position: every block again
    cache.refresh(in.source());
    cache.ensureBlock(in.source(), 0);
    EXPECT_EQ(cache.blocksDecoded(), 258u);
    EXPECT_FALSE(cache.holds(1));
}
