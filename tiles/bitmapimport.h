#pragma once
// A picture of the tile map (as export writes it) encoded back into the ROM.
#include "tiles/bitmap.h"
#include "tiles/codecs.h"
#include "tiles/palette.h"

#include <cstdint>
#include <span>

struct TileMapImportResult {
    // Tiles every pixel of which was written.
    std::int64_t tilesEncoded = 0;
    // Tiles at the end of the image, written up to its last byte.
    std::int64_t tilesPartlyEncoded = 0;
    // Tiles whose place lies partly or wholly outside the picture; their
    // bytes are left as they are.
    std::int64_t tilesOutsidePicture = 0;
    // Pixels whose bits lie past the end of the image; nothing is written there.
    std::int64_t pixelsPastEnd = 0;
    // Pixels written whose colour matched no palette entry.
    std::int64_t unmatchedPixels = 0;
};

// What a colour that matches no palette entry is stored as: the codec's
// stand-in value (as the tile editor stores it), or the value of the
// nearest palette colour.
enum class UnmatchedColours { StandIn, Nearest };

// Encodes every tile of the 16 x 16 blocks at `position` from its place in the
// picture (the screen arrangement of the tile map, single size), block by
// block and tile by tile, every pixel through the palette comparison of the
// codec. A picture larger than the map contributes its top-left part.
TileMapImportResult importTileMapPicture(std::span<std::uint8_t> rom, std::int64_t position, Codec codec,
                                         const TileGeometry& geometry, const Palettes& palettes,
                                         const Bitmap& picture,
                                         UnmatchedColours unmatched = UnmatchedColours::StandIn);
