#pragma once
// Whole-map decoding in picture order for the codecs decoded through unit
// tables (the newer built-ins and every described codec). Going tile by tile
// writes each tile row into a different picture row, rows a whole picture
// width apart that crowd the same few cache sets; here each picture row is
// gathered from the groups of 8 values that make it up and then written
// front to back, like a plain fill.
#include "tiles/bitmap.h"
#include "tiles/codecs.h"
#include "tiles/picturerows.h"
#include "tiles/unitdecoder.h"

#include <cstdint>
#include <span>

// Whether decodeMapByGroupRows can draw this map: every value comes from the
// tables, tiles are a multiple of 8 wide and made of whole units of whole
// groups, and every unit of the map lies inside the image. `g` is clamped.
bool groupRowsFit(const UnitTables& tables, Codec codec, const TileGeometry& g, std::int64_t position,
                  std::size_t romSize);

// Fills `out`, already sized for `g`, as decodeTileMap does; `colours` holds
// the pixel of each of the 256 values. Only for maps that groupRowsFit.
// `wideRows`: vector instructions where the processor has them; pictures of
// at least `streamingFrom` bytes bypass the caches where the processor
// allows it (the pixels are the same either way).
void decodeMapByGroupRows(std::span<const std::uint8_t> rom, std::int64_t position, Codec codec,
                          const UnitTables& tables, const TileGeometry& g, const std::uint32_t* colours,
                          Bitmap& out, bool wideRows = true,
                          std::size_t streamingFrom = kStreamingPictureBytes);
