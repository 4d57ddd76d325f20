#include "tiles/decodedtilemap.h"

#include "tiles/tilegrid.h"
#include "tiles/tilespan.h"

#include <algorithm>
#include <cstring>

namespace {
std::int64_t pixelsPerBlock(const TileGeometry& g)
{
    return static_cast<std::int64_t>(g.tileWidth) * g.tileHeight * g.blockWidth * g.blockHeight;
}
} // namespace

DecodedTileMap::DecodedTileMap()
    : key_{0, Codec::Nes, TileGeometry{}, defaultPalettes(), 0}
{
    picture_.resize(mapPixelWidth(key_.geometry), mapPixelHeight(key_.geometry));
}

void DecodedTileMap::follow(const TileMapSource& source)
{
    // Every cell of the data map asks, so the usual case copies nothing.
    if (source.position == key_.position && source.codec == key_.codec && source.geometry == key_.geometry &&
        source.rom.size() == key_.romSize && source.palettes == key_.palettes)
        return;
    const Key key{source.position, source.codec, source.geometry, source.palettes, source.rom.size()};
    const bool sameShape = key.geometry == key_.geometry && key.codec == key_.codec;
    key_ = key;
    decoded_.reset();
    const TileGeometry g = clampedGeometry(key_.geometry);
    if (picture_.width != mapPixelWidth(g) || picture_.height != mapPixelHeight(g))
        picture_.resize(mapPixelWidth(g), mapPixelHeight(g));
    if (!sameShape || drawnFrom_.empty()) {
        // A block's units may share one unit with each neighbour.
        const std::int64_t perUnit = unitPixels(key_.codec);
        const std::int64_t units = (pixelsPerBlock(g) + perUnit - 1) / perUnit + 1;
        slotSize_ = static_cast<std::size_t>(units * unitBytes(key_.codec));
        drawnFrom_.resize(256 * slotSize_);
    }
}

std::pair<std::size_t, std::size_t> DecodedTileMap::blockBytes(int block) const
{
    const TileGeometry g = clampedGeometry(key_.geometry);
    const std::int64_t blockPixels = pixelsPerBlock(g);
    const StreamBytes bytes = pixelStreamBytes(key_.position, key_.codec, block * blockPixels, blockPixels);
    const std::int64_t begin = std::clamp<std::int64_t>(bytes.offset, 0, static_cast<std::int64_t>(key_.romSize));
    const std::int64_t end =
        std::clamp<std::int64_t>(bytes.offset + bytes.length, 0, static_cast<std::int64_t>(key_.romSize));
    return {static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin)};
}

const Bitmap& DecodedTileMap::ensureBlocks(const TileMapSource& source, const std::bitset<256>& blocks)
{
    follow(source);
    const std::bitset<256> missing = blocks & ~decoded_;
    if (missing.none())
        return picture_;
    decodeTileMapBlocks(source.rom, source.position, source.codec, source.geometry, source.palettes, missing,
                        picture_);
    for (int b = 0; b < 256; ++b) {
        if (!missing.test(static_cast<std::size_t>(b)))
            continue;
        const auto [offset, length] = blockBytes(b);
        if (length > 0)
            std::memcpy(drawnFrom_.data() + static_cast<std::size_t>(b) * slotSize_, source.rom.data() + offset,
                        length);
    }
    decoded_ |= missing;
    blocksDecoded_ += missing.count();
    return picture_;
}

const Bitmap& DecodedTileMap::ensureBlock(const TileMapSource& source, int block)
{
    if (block < 0 || block > 255) {
        follow(source);
        return picture_;
    }
    return ensureBlocks(source, std::bitset<256>().set(static_cast<std::size_t>(block)));
}

const Bitmap& DecodedTileMap::ensureWhole(const TileMapSource& source)
{
    return ensureBlocks(source, std::bitset<256>().set());
}

void DecodedTileMap::refresh(const TileMapSource& source)
{
    follow(source);
    for (int b = 0; b < 256; ++b) {
        if (!decoded_.test(static_cast<std::size_t>(b)))
            continue;
        const auto [offset, length] = blockBytes(b);
        if (length > 0 &&
            std::memcmp(drawnFrom_.data() + static_cast<std::size_t>(b) * slotSize_, source.rom.data() + offset,
                        length) != 0)
            decoded_.reset(static_cast<std::size_t>(b));
    }
}
