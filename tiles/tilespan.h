#pragma once
// Which bytes of the image hold a tile or the whole tile map grid, so that a
// command writing pixels can note those bytes before it starts.
#include "tiles/codecs.h"

#include <cstdint>

struct StreamBytes {
    std::int64_t offset = 0;
    std::int64_t length = 0;
};

// The bytes of the units holding stream pixels first .. first + count - 1
// counted from `position` (they may reach past the image).
StreamBytes pixelStreamBytes(std::int64_t position, Codec codec, std::int64_t first, std::int64_t count);
StreamBytes tileBytes(std::int64_t position, Codec codec, const TileGeometry& geometry, std::int64_t tile);
// All 16 x 16 blocks of the grid.
StreamBytes tileMapBytes(std::int64_t position, Codec codec, const TileGeometry& geometry);
