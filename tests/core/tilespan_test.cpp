#include "tiles/tilegrid.h"
#include "tiles/tilespan.h"

#include <gtest/gtest.h>

#include <random>

// Whatever a pixel write of a tile changes lies in the bytes named for that
// tile, and those lie in the grid's bytes.
TEST(TileSpan, PixelWritesStayInsideTheTileBytesForEveryCodec)
{
    const TileGeometry geometries[] = {{8, 8, 1, 1}, {3, 5, 2, 1}, {16, 16, 1, 2}, {5, 7, 1, 1}, {1, 1, 3, 3}};
    std::mt19937 random(7);
    for (const Codec codec : kAllCodecs)
        for (const TileGeometry& g : geometries) {
            SCOPED_TRACE(testing::Message() << "codec " << codecName(codec) << ", tile " << g.tileWidth << "x" << g.tileHeight);
            const std::int64_t position = 37;
            const StreamBytes grid = tileMapBytes(position, codec, g);
            EXPECT_EQ(grid.offset, position);
            std::vector<std::uint8_t> rom(static_cast<std::size_t>(position + grid.length + 64));
            for (const std::int64_t tile : {std::int64_t{0}, std::int64_t{1}, std::int64_t{tilesOnScreen(g) - 1}}) {
                const StreamBytes bytes = tileBytes(position, codec, g, tile);
                EXPECT_GE(bytes.offset, grid.offset);
                EXPECT_LE(bytes.offset + bytes.length, grid.offset + grid.length);
                const std::int64_t units = (g.tileWidth * g.tileHeight + unitPixels(codec) - 1) / unitPixels(codec) + 1;
                EXPECT_LE(bytes.length, units * unitBytes(codec)); // not the whole image
                for (std::uint8_t& b : rom)
                    b = static_cast<std::uint8_t>(random());
                const std::vector<std::uint8_t> before = rom;
                for (int y = 0; y < g.tileHeight; ++y)
                    for (int x = 0; x < g.tileWidth; ++x)
                        ASSERT_TRUE(writeTilePixel(rom, position, codec, g, tile, x, y,
                                                   static_cast<int>(random() % 16) & ((1 << bitsPerPixel(codec)) - 1)));
                for (std::size_t i = 0; i < rom.size(); ++i) {
                    const auto at = static_cast<std::int64_t>(i);
                    if (at < bytes.offset || at >= bytes.offset + bytes.length) {
                        ASSERT_EQ(rom[i], before[i]) << "tile " << tile << ", byte " << i;
                    }
                }
            }
        }
}
