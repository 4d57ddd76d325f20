#include "tiles/tilespan.h"

namespace {
std::int64_t tilePixels(const TileGeometry& g)
{
    return static_cast<std::int64_t>(g.tileWidth) * g.tileHeight;
}
} // namespace

StreamBytes pixelStreamBytes(std::int64_t position, Codec codec, std::int64_t first, std::int64_t count)
{
    if (!isValidCodec(codec) || first < 0 || count <= 0)
        return StreamBytes{position, 0};
    const std::int64_t perUnit = unitPixels(codec);
    const std::int64_t firstUnit = first / perUnit;
    const std::int64_t endUnit = (first + count + perUnit - 1) / perUnit;
    return StreamBytes{position + firstUnit * unitBytes(codec), (endUnit - firstUnit) * unitBytes(codec)};
}

StreamBytes tileBytes(std::int64_t position, Codec codec, const TileGeometry& geometry, std::int64_t tile)
{
    return pixelStreamBytes(position, codec, tile * tilePixels(geometry), tilePixels(geometry));
}

StreamBytes tileMapBytes(std::int64_t position, Codec codec, const TileGeometry& geometry)
{
    const std::int64_t blockPixels = tilePixels(geometry) * geometry.blockWidth * geometry.blockHeight;
    return pixelStreamBytes(position, codec, 0, 256 * blockPixels);
}
