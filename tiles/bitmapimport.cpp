#include "tiles/bitmapimport.h"

#include <algorithm>

TileMapImportResult importTileMapPicture(std::span<std::uint8_t> rom, std::int64_t position, Codec codec,
                                         const TileGeometry& g, const Palettes& palettes,
                                         const Bitmap& picture, UnmatchedColours unmatched)
{
    TileMapImportResult result;
    if (!isValidCodec(codec))
        return result;
    const TileGeometry geometry = clampedGeometry(g);
    const int tw = geometry.tileWidth;
    const int th = geometry.tileHeight;
    const int bw = geometry.blockWidth;
    const int bh = geometry.blockHeight;

    for (int block = 0; block < 256; ++block)
        for (int by = 0; by < bh; ++by)
            for (int bx = 0; bx < bw; ++bx) {
                const std::int64_t tile = bx + static_cast<std::int64_t>(bw) * (by + block * bh);
                const int left = tw * ((block % 16) * bw + bx);
                const int top = th * ((block / 16) * bh + by);
                // A tile the picture covers only in part keeps its bytes:
                // there are no pixels to take the rest from.
                if (!picture.contains(left, top) || !picture.contains(left + tw - 1, top + th - 1)) {
                    ++result.tilesOutsidePicture;
                    continue;
                }
                std::int64_t missed = 0;
                for (int y = 0; y < th; ++y)
                    for (int x = 0; x < tw; ++x) {
                        const Colour colour = pixelToColour(picture.at(left + x, top + y));
                        const ColourMatch match = matchColour(codec, palettes, colour);
                        const int value = match.matched || unmatched == UnmatchedColours::StandIn
                                              ? match.value
                                              : nearestColourValue(codec, palettes, colour);
                        if (!writeTilePixel(rom, position, codec, geometry, tile, x, y, value))
                            ++missed;
                        else if (!match.matched)
                            ++result.unmatchedPixels;
                    }
                result.pixelsPastEnd += missed;
                if (missed == 0)
                    ++result.tilesEncoded;
                else if (missed < tw * th)
                    ++result.tilesPartlyEncoded;
            }
    return result;
}
