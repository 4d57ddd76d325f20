#pragma once
// A grid of codes read from bytes and drawn with the tile map's blocks: what
// the workspace and the data map show, and what quarn-tool map writes.
#include "text/tiletable.h"
#include "tiles/bitmap.h"
#include "tiles/tilegrid.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The codes of `cells` cells from `start` on: with a tile table the block
// a sequence names (covering its bytes), else one byte per cell. Cells past
// the end of `bytes` are -1.
[[nodiscard]] std::vector<int> readCellCodes(std::span<const std::uint8_t> bytes, std::size_t start, std::size_t cells,
                                             const TileSequenceMatcher* tileTable);

// The cells row by row, `width` to a row, each the tile map block of its
// code at single size; cells of -1 stay black.
[[nodiscard]] Bitmap codeMapPicture(const Bitmap& tileMap, const TileGeometry& g, std::span<const int> codes,
                                    int width);
