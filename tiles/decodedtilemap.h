#pragma once
// The tile map picture, decoded block by block as something shows a block:
// the map's visible part, the blocks the data map and workspace cells name,
// the selected tile. Every window asks this class for pixels; none decodes.
#include "tiles/bitmap.h"
#include "tiles/codecs.h"
#include "tiles/palette.h"

#include <bitset>
#include <cstdint>
#include <span>
#include <vector>

// Everything a decoded pixel depends on.
struct TileMapSource {
    std::span<const std::uint8_t> rom;
    std::int64_t position = 0;
    Codec codec = Codec::Nes;
    TileGeometry geometry;
    const Palettes& palettes;
};

class DecodedTileMap {
public:
    DecodedTileMap();

    // Makes the blocks in `blocks` (block b at column b % 16, row b / 16)
    // up to date and returns the picture. A source with another position,
    // codec, geometry, palette or image size than the picture's first
    // throws every block away and gives the picture the map's size. Writes
    // into the image are not looked for here: they show from the next refresh.
    const Bitmap& ensureBlocks(const TileMapSource& source, const std::bitset<256>& blocks);
    const Bitmap& ensureBlock(const TileMapSource& source, int block);
    const Bitmap& ensureWhole(const TileMapSource& source);

    // Brings the picture in line with the source as ensureBlocks does, and
    // also throws away the blocks whose image bytes changed since they were
    // decoded. The redraw chain calls it once per redraw; nothing is decoded.
    void refresh(const TileMapSource& source);

    // The picture as last decoded: blocks in their screen arrangement, at
    // single size, black where nothing has been decoded.
    const Bitmap& picture() const { return picture_; }
    bool holds(int block) const { return block >= 0 && block < 256 && decoded_.test(static_cast<std::size_t>(block)); }
    // Blocks decoded since the program started; tests and benches count work with it.
    std::uint64_t blocksDecoded() const { return blocksDecoded_; }

private:
    struct Key {
        std::int64_t position = 0;
        Codec codec = Codec::Nes;
        TileGeometry geometry;
        Palettes palettes;
        std::size_t romSize = 0;
    };
    // Starts over when the source differs from the key.
    void follow(const TileMapSource& source);
    // The part of block b's bytes inside the image: offset and length.
    std::pair<std::size_t, std::size_t> blockBytes(int block) const;

    Bitmap picture_;
    std::bitset<256> decoded_;
    Key key_;
    // The bytes each decoded block was drawn from, one slot of slotSize_ per block.
    std::vector<std::uint8_t> drawnFrom_;
    std::size_t slotSize_ = 0;
    std::uint64_t blocksDecoded_ = 0;
};
