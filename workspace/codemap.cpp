#include "workspace/codemap.h"

std::vector<int> readCellCodes(std::span<const std::uint8_t> bytes, std::size_t start, std::size_t cells,
                               const TileSequenceMatcher* tileTable)
{
    std::vector<int> codes(cells, -1);
    std::size_t at = start;
    for (std::size_t n = 0; n < cells && at < bytes.size(); ++n) {
        const TileCode code = tileTable ? tileTable->codeAt(bytes, at) : TileCode{bytes[at], 1, false};
        codes[n] = code.code;
        at += code.length;
    }
    return codes;
}

Bitmap codeMapPicture(const Bitmap& tileMap, const TileGeometry& g, std::span<const int> codes, int width)
{
    const int bw = g.tileWidth * g.blockWidth;
    const int bh = g.tileHeight * g.blockHeight;
    const int rows = width > 0 ? static_cast<int>((codes.size() + static_cast<std::size_t>(width) - 1) / width) : 0;
    Bitmap picture(width * bw, rows * bh);
    for (std::size_t n = 0; n < codes.size(); ++n) {
        if (codes[n] < 0)
            continue;
        const int fromX = (codes[n] % 16) * bw;
        const int fromY = (codes[n] / 16) * bh;
        const int toX = static_cast<int>(n % static_cast<std::size_t>(width)) * bw;
        const int toY = static_cast<int>(n / static_cast<std::size_t>(width)) * bh;
        for (int y = 0; y < bh; ++y)
            for (int x = 0; x < bw; ++x)
                if (tileMap.contains(fromX + x, fromY + y))
                    picture.set(toX + x, toY + y, tileMap.at(fromX + x, fromY + y));
    }
    return picture;
}
