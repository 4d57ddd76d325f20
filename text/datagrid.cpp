#include "text/datagrid.h"

#include <algorithm>

namespace {
std::int32_t groupCells(const CellGrid& grid) { return grid.groupWidth * grid.groupHeight; }

// Column and row of the top-left cell of group g.
CellPlace groupOrigin(const CellGrid& grid, std::int32_t group)
{
    const std::int64_t across = static_cast<std::int64_t>(group) * grid.groupWidth;
    return {static_cast<int>(across % grid.width), static_cast<int>(across / grid.width * grid.groupHeight)};
}

int roundDownToGroup(int size, int groupSize)
{
    return std::max(groupSize, size - size % groupSize);
}
} // namespace

CellPlace cellPlace(const CellGrid& grid, std::int32_t cell)
{
    const std::int32_t inGroup = cell % groupCells(grid);
    const CellPlace origin = groupOrigin(grid, cell / groupCells(grid));
    return {origin.column + inGroup % grid.groupWidth, origin.row + inGroup / grid.groupWidth};
}

std::int32_t cellAt(const CellGrid& grid, int column, int row)
{
    const std::int32_t group = (grid.width / grid.groupWidth) * (row / grid.groupHeight) + column / grid.groupWidth;
    return group * groupCells(grid) + column % grid.groupWidth + (row % grid.groupHeight) * grid.groupWidth;
}

int cellPixelWidth(const TileGeometry& g, int zoom) { return zoom * g.tileWidth * g.blockWidth; }
int cellPixelHeight(const TileGeometry& g, int zoom) { return zoom * g.tileHeight * g.blockHeight; }

std::optional<std::int32_t> cellUnderPixel(const CellGrid& grid, const TileGeometry& g, int x, int y, int zoom)
{
    if (x < 0 || y < 0)
        return std::nullopt;
    const int column = x / cellPixelWidth(g, zoom);
    const int row = y / cellPixelHeight(g, zoom);
    if (column >= grid.width || row >= grid.height)
        return std::nullopt;
    return cellAt(grid, column, row);
}

GridRect groupFrame(const CellGrid& grid, const TileGeometry& g, std::int32_t cell, int zoom)
{
    const CellPlace origin = groupOrigin(grid, cell / groupCells(grid));
    const int w = cellPixelWidth(g, zoom);
    const int h = cellPixelHeight(g, zoom);
    return {origin.column * w, origin.row * h, grid.groupWidth * w, grid.groupHeight * h};
}

GridRect cellFrame(const CellGrid& grid, const TileGeometry& g, std::int32_t cell, int zoom)
{
    const CellPlace place = cellPlace(grid, cell);
    const int w = cellPixelWidth(g, zoom);
    const int h = cellPixelHeight(g, zoom);
    return {place.column * w, place.row * h, w, h};
}

namespace {
int clampGridSide(int requested, int tilesPerBlock, int groupSize)
{
    int cells = std::max(1, requested);
    // The picture of a row (column) stays within 256 blocks of the tile map.
    if (static_cast<std::int64_t>(cells) * tilesPerBlock > kMaxGridCells)
        cells = kMaxGridCells / tilesPerBlock;
    return roundDownToGroup(cells, groupSize);
}
} // namespace

int clampGridWidth(int requested, int blockWidth, int groupWidth)
{
    return clampGridSide(requested, blockWidth, groupWidth);
}

int clampGridHeight(int requested, int blockHeight, int groupHeight)
{
    return clampGridSide(requested, blockHeight, groupHeight);
}

int fitGridToGroup(int size, int groupSize)
{
    return roundDownToGroup(size, groupSize);
}

DataScrollRange dataScrollRange(std::int32_t romSize, const CellGrid& grid)
{
    return {std::max<std::int32_t>(0, romSize - grid.cellCount()), grid.width, grid.cellCount()};
}

std::int32_t dataScrollKeyStep(const CellGrid& grid, DataScrollKey key)
{
    return key == DataScrollKey::Horizontal ? 1 : grid.width;
}

std::int32_t lengthInsideImage(std::int64_t position, std::int64_t length, std::int32_t romSize)
{
    if (position < 0 || position >= romSize || length <= 0)
        return 0;
    return static_cast<std::int32_t>(std::min<std::int64_t>(length, romSize - position));
}
