#include "tiles/tileops.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kOutside = 0xFF123456u;

// Every pixel different: its value says where it started.
Bitmap numberedTile(int w, int h)
{
    Bitmap tile(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            tile.set(x, y, 0xFF000000u | static_cast<std::uint32_t>(y * 16 + x));
    return tile;
}

std::uint32_t at(int x, int y) { return 0xFF000000u | static_cast<std::uint32_t>(y * 16 + x); }

Bitmap repeated(Bitmap tile, TileTransform t, int times)
{
    for (int i = 0; i < times; ++i)
        tile = transformedTile(tile, t, kOutside);
    return tile;
}

TEST(TileOps, EachOperationMovesPixelsAsDescribed)
{
    const Bitmap old = numberedTile(4, 3);
    const struct {
        TileTransform transform;
        int x, y;       // a place in the new tile
        int fromX, fromY; // where its pixel came from
    } cases[] = {
        {TileTransform::ShiftLeft, 0, 1, 1, 1},       {TileTransform::ShiftLeft, 3, 2, 0, 2},
        {TileTransform::ShiftRight, 0, 0, 3, 0},      {TileTransform::ShiftRight, 2, 1, 1, 1},
        {TileTransform::ShiftUp, 1, 0, 1, 1},         {TileTransform::ShiftUp, 1, 2, 1, 0},
        {TileTransform::ShiftDown, 2, 0, 2, 2},       {TileTransform::ShiftDown, 2, 2, 2, 1},
        {TileTransform::FlipHorizontal, 0, 1, 3, 1},  {TileTransform::FlipVertical, 3, 0, 3, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.transform));
        const Bitmap result = transformedTile(old, c.transform, kOutside);
        ASSERT_EQ(result.width, 4);
        ASSERT_EQ(result.height, 3);
        EXPECT_EQ(result.at(c.x, c.y), at(c.fromX, c.fromY)) << c.x << "," << c.y;
    }
}

TEST(TileOps, SquareRotationsTurnByAQuarter)
{
    const Bitmap old = numberedTile(3, 3);
    const Bitmap right = transformedTile(old, TileTransform::RotateRight, kOutside);
    // Clockwise: the left column becomes the top row, read bottom to top.
    EXPECT_EQ(right.at(0, 0), at(0, 2));
    EXPECT_EQ(right.at(2, 0), at(0, 0));
    EXPECT_EQ(right.at(2, 2), at(2, 0));
    const Bitmap left = transformedTile(old, TileTransform::RotateLeft, kOutside);
    EXPECT_EQ(left.at(0, 0), at(2, 0));
    EXPECT_EQ(left.at(0, 2), at(0, 0));
    EXPECT_EQ(transformedTile(right, TileTransform::RotateLeft, kOutside), old);
}

TEST(TileOps, RepeatedOperationsRestoreTheTile)
{
    const Bitmap old = numberedTile(8, 8);
    EXPECT_EQ(repeated(old, TileTransform::ShiftLeft, 8), old);
    EXPECT_EQ(repeated(old, TileTransform::ShiftRight, 8), old);
    EXPECT_EQ(repeated(old, TileTransform::ShiftUp, 8), old);
    EXPECT_EQ(repeated(old, TileTransform::ShiftDown, 8), old);
    EXPECT_EQ(repeated(old, TileTransform::RotateLeft, 4), old);
    EXPECT_EQ(repeated(old, TileTransform::RotateRight, 4), old);
    EXPECT_EQ(repeated(old, TileTransform::FlipHorizontal, 2), old);
    EXPECT_EQ(repeated(old, TileTransform::FlipVertical, 2), old);
    // ...and fewer do not.
    EXPECT_NE(repeated(old, TileTransform::ShiftLeft, 7), old);
    EXPECT_NE(repeated(old, TileTransform::RotateRight, 2), old);
}

TEST(TileOps, SinglePixelLinesShiftOntoThemselves)
{
    const Bitmap column = numberedTile(1, 5);
    EXPECT_EQ(transformedTile(column, TileTransform::ShiftLeft, kOutside), column);
    EXPECT_EQ(transformedTile(column, TileTransform::ShiftRight, kOutside), column);
    const Bitmap row = numberedTile(5, 1);
    EXPECT_EQ(transformedTile(row, TileTransform::ShiftUp, kOutside), row);
    EXPECT_EQ(transformedTile(row, TileTransform::ShiftDown, kOutside), row);
}

TEST(TileOps, NonSquareRotationFillsMissingSourcesWithTheGivenColour)
{
    // 4 wide, 2 high: rotate right reads old(y, 3 - x), outside for 3 - x >= 2.
    const Bitmap wide = numberedTile(4, 2);
    const Bitmap right = transformedTile(wide, TileTransform::RotateRight, kOutside);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(right.at(0, y), kOutside);
        EXPECT_EQ(right.at(1, y), kOutside);
        EXPECT_EQ(right.at(2, y), at(y, 1));
        EXPECT_EQ(right.at(3, y), at(y, 0));
    }
    // 2 wide, 4 high: rotate left reads old(3 - y, x), outside for 3 - y >= 2.
    const Bitmap tall = numberedTile(2, 4);
    const Bitmap left = transformedTile(tall, TileTransform::RotateLeft, kOutside);
    for (int x = 0; x < 2; ++x) {
        EXPECT_EQ(left.at(x, 0), kOutside);
        EXPECT_EQ(left.at(x, 1), kOutside);
        EXPECT_EQ(left.at(x, 2), at(1, x));
        EXPECT_EQ(left.at(x, 3), at(0, x));
    }
}

} // namespace
