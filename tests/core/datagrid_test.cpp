// The data map grid: cell groups, pixels, size rules and scrolling.
#include "text/datagrid.h"

#include <gtest/gtest.h>

#include <set>

namespace {
CellGrid grid(int width, int height, int groupWidth = 1, int groupHeight = 1)
{
    return CellGrid{width, height, groupWidth, groupHeight};
}
} // namespace

TEST(CellGroups, PlainGridIsRowByRow)
{
    const CellGrid g = grid(32, 32);
    EXPECT_EQ(cellPlace(g, 0), (CellPlace{0, 0}));
    EXPECT_EQ(cellPlace(g, 33), (CellPlace{1, 1}));
    EXPECT_EQ(cellPlace(g, 1023), (CellPlace{31, 31}));
    EXPECT_EQ(cellAt(g, 1, 1), 33);
}

TEST(CellGroups, TwoByTwoGroupsOnFourWideGrid)
{
    const CellGrid g = grid(4, 4, 2, 2);
    const CellPlace expected[] = {{0, 0}, {1, 0}, {0, 1}, {1, 1},  // first group, top-left square
                                  {2, 0}, {3, 0}, {2, 1}, {3, 1},  // second group, to its right
                                  {0, 2}, {1, 2}, {0, 3}, {1, 3},  // third group starts row 2
                                  {2, 2}, {3, 2}, {2, 3}, {3, 3}};
    for (int n = 0; n < 16; ++n)
        EXPECT_EQ(cellPlace(g, n), expected[n]) << "cell " << n;
}

TEST(CellGroups, MappingIsOneToOneBothWays)
{
    for (const CellGrid g : {grid(32, 32), grid(4, 4, 2, 2), grid(30, 9, 3, 3), grid(16, 16, 16, 1),
                             grid(6, 8, 1, 4), grid(256, 2, 4, 2)}) {
        std::set<std::pair<int, int>> seen;
        for (std::int32_t n = 0; n < g.cellCount(); ++n) {
            const CellPlace p = cellPlace(g, n);
            ASSERT_TRUE(p.column >= 0 && p.column < g.width && p.row >= 0 && p.row < g.height) << n;
            ASSERT_EQ(cellAt(g, p.column, p.row), n);
            seen.insert({p.column, p.row});
        }
        EXPECT_EQ(static_cast<std::int32_t>(seen.size()), g.cellCount());
    }
}

TEST(CellPixels, DefaultCellsAreSixteenPixels)
{
    const TileGeometry tiles;
    EXPECT_EQ(cellPixelWidth(tiles), 16);
    EXPECT_EQ(cellPixelHeight(tiles), 16);
    const CellGrid g = grid(32, 32);
    EXPECT_EQ(cellUnderPixel(g, tiles, 16, 16), 33);
    EXPECT_EQ(cellUnderPixel(g, tiles, 31, 31), 33);
    EXPECT_EQ(cellUnderPixel(g, tiles, 511, 511), 1023);
    EXPECT_EQ(cellUnderPixel(g, tiles, 512, 0), std::nullopt);
    EXPECT_EQ(cellUnderPixel(g, tiles, 0, 512), std::nullopt);
    EXPECT_EQ(cellUnderPixel(g, tiles, -1, 0), std::nullopt);
}

TEST(CellPixels, FollowTheTileMapBlocks)
{
    TileGeometry tiles;
    tiles.tileWidth = 4;
    tiles.tileHeight = 16;
    tiles.blockWidth = 2;
    tiles.blockHeight = 3;
    EXPECT_EQ(cellPixelWidth(tiles), 16);
    EXPECT_EQ(cellPixelHeight(tiles), 96);
    const CellGrid g = grid(4, 4, 2, 2);
    EXPECT_EQ(cellUnderPixel(g, tiles, 2 * 16 + 1, 1 * 96 + 5), 6);
    EXPECT_EQ(cellUnderPixel(g, tiles, 0, 2 * 96), 8);
}

TEST(CellFrames, GroupAndCellFrames)
{
    const TileGeometry tiles;
    const CellGrid g = grid(4, 4, 2, 2);
    EXPECT_EQ(groupFrame(g, tiles, 6), (GridRect{32, 0, 32, 32}));
    EXPECT_EQ(cellFrame(g, tiles, 6), (GridRect{32, 16, 16, 16}));
    EXPECT_EQ(groupFrame(g, tiles, 8), (GridRect{0, 32, 32, 32}));
    EXPECT_EQ(groupFrame(grid(32, 32), tiles, 33), (GridRect{16, 16, 16, 16}));
}

TEST(GridSize, WidthAndHeightClamps)
{
    struct Case {
        int requested, tilesPerBlock, group, expected;
    };
    const Case cases[] = {
        {32, 1, 1, 32}, {0, 1, 1, 1},     {-5, 1, 1, 1},   {256, 1, 1, 256}, {300, 1, 1, 256},
        {100, 4, 1, 64}, {64, 4, 1, 64},  {256, 16, 1, 16}, {100, 3, 1, 85},
        {31, 1, 2, 30},  {1, 1, 4, 4},    {85, 3, 2, 84},   {100, 16, 16, 16},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clampGridWidth(c.requested, c.tilesPerBlock, c.group), c.expected)
            << c.requested << " " << c.tilesPerBlock << " " << c.group;
        EXPECT_EQ(clampGridHeight(c.requested, c.tilesPerBlock, c.group), c.expected);
    }
}

TEST(GridSize, FitsToNewCellGroup)
{
    EXPECT_EQ(fitGridToGroup(32, 3), 30);
    EXPECT_EQ(fitGridToGroup(8, 16), 16);
    EXPECT_EQ(fitGridToGroup(32, 16), 32);
    EXPECT_EQ(fitGridToGroup(32, 1), 32);
    EXPECT_EQ(fitGridToGroup(17, 16), 16);
}

TEST(DataScroll, RangeAndSteps)
{
    const DataScrollRange range = dataScrollRange(0x40000, grid(32, 32));
    EXPECT_EQ(range.maximum, 0x40000 - 1024);
    EXPECT_EQ(range.smallStep, 32);
    EXPECT_EQ(range.largeStep, 1024);
    // An image smaller than the grid scrolls nowhere.
    EXPECT_EQ(dataScrollRange(8192, grid(100, 100)).maximum, 0);
    EXPECT_EQ(dataScrollRange(10000, grid(100, 100)).maximum, 0);
    EXPECT_EQ(dataScrollKeyStep(grid(48, 10), DataScrollKey::Horizontal), 1);
    EXPECT_EQ(dataScrollKeyStep(grid(48, 10), DataScrollKey::Vertical), 48);
}

TEST(DataScroll, LengthsAreCutAtTheEndOfTheImage)
{
    EXPECT_EQ(lengthInsideImage(100, 10, 16384), 10);
    EXPECT_EQ(lengthInsideImage(16380, 10, 16384), 4);
    EXPECT_EQ(lengthInsideImage(16383, 1, 16384), 1);
    EXPECT_EQ(lengthInsideImage(16384, 1, 16384), 0);
    EXPECT_EQ(lengthInsideImage(-1, 5, 16384), 0);
    EXPECT_EQ(lengthInsideImage(0, 0, 16384), 0);
}
