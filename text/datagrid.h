#pragma once
// Geometry of the data map: a grid of cells, one ROM byte per cell, laid out
// in groups of cells (for fonts whose letters span several tiles).
#include "tiles/tilegrid.h"

#include <cstdint>
#include <optional>

inline constexpr int kMaxGridCells = 256;   // cells per row or rows, at most
inline constexpr int kMaxCellGroupSide = 16; // cells per group row or group column, at most

struct CellGrid {
    int width = 32;      // cells per row, a multiple of groupWidth
    int height = 32;     // rows, a multiple of groupHeight
    int groupWidth = 1;
    int groupHeight = 1;
    std::int32_t cellCount() const { return width * height; }
};

struct CellPlace {
    int column = 0;
    int row = 0;
    bool operator==(const CellPlace&) const = default;
};

// Where cell n lies on the grid: groups fill the grid row by row, cells fill
// their group row by row.
CellPlace cellPlace(const CellGrid& grid, std::int32_t cell);
// The cell at a column and row; the inverse of cellPlace.
std::int32_t cellAt(const CellGrid& grid, int column, int row);

// Screen size of one cell: a block of the tile map at `zoom` times its size.
int cellPixelWidth(const TileGeometry& g, int zoom = kDefaultZoom);
int cellPixelHeight(const TileGeometry& g, int zoom = kDefaultZoom);

// The cell under a pixel of the grid picture; nothing outside the grid.
std::optional<std::int32_t> cellUnderPixel(const CellGrid& grid, const TileGeometry& g, int x, int y,
                                           int zoom = kDefaultZoom);

// The frame of the group holding a cell and the frame of the cell itself, in
// screen pixels.
GridRect groupFrame(const CellGrid& grid, const TileGeometry& g, std::int32_t cell, int zoom = kDefaultZoom);
GridRect cellFrame(const CellGrid& grid, const TileGeometry& g, std::int32_t cell, int zoom = kDefaultZoom);

// The width (height) a typed value gives: at least 1, a row of cells no wider
// (taller) than 256 tile blocks, and a whole number of cell groups.
int clampGridWidth(int requested, int blockWidth, int groupWidth);
int clampGridHeight(int requested, int blockHeight, int groupHeight);

// The width (height) the grid takes after the cell group size changes: grown
// to one whole group when narrower, otherwise lowered to a multiple of it.
int fitGridToGroup(int size, int groupSize);

// DataScroll: the first cell moves over 0 .. maximum; an image smaller than
// the grid scrolls nowhere.
struct DataScrollRange {
    std::int32_t maximum = 0;
    std::int32_t smallStep = 0; // one row
    std::int32_t largeStep = 0; // the whole grid
};
DataScrollRange dataScrollRange(std::int32_t romSize, const CellGrid& grid);

// Arrow keys on DataScroll: Left/Right move one byte, Up/Down one row.
enum class DataScrollKey { Horizontal, Vertical };
std::int32_t dataScrollKeyStep(const CellGrid& grid, DataScrollKey key);

// How many of `length` bytes from `position` lie inside an image of romSize
// bytes (0 when the position itself is outside).
std::int32_t lengthInsideImage(std::int64_t position, std::int64_t length, std::int32_t romSize);
