// Positions, tile numbers and geometry drawn from the whole range of their
// types: every answer about "inside the image" must agree with a 128-bit
// reference, and nothing outside the image may be read or written.
#include "tiles/bitmapimport.h"
#include "tiles/codecs.h"
#include "tiles/tilegrid.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

__extension__ typedef __int128 Wide;
using Bytes = std::vector<std::uint8_t>;

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// Mostly the edges of the range and the edges of the image, where
// arithmetic goes wrong; sometimes any value at all. With `multiplier` a
// power of two, also numbers whose product with it wraps around 2^64 onto
// a small number, the kind that lands a far tile inside the image.
std::int64_t drawNumber(FuzzedDataProvider& in, std::int64_t romSize, std::int64_t multiplier = 0)
{
    const std::int64_t near = in.ConsumeIntegralInRange<std::int64_t>(-40, 40);
    if (multiplier > 1 && (multiplier & (multiplier - 1)) == 0 && in.ConsumeBool()) {
        const int shift = 64 - std::countr_zero(static_cast<std::uint64_t>(multiplier));
        const std::uint64_t turns = in.ConsumeIntegralInRange<std::uint64_t>(1, 7);
        return static_cast<std::int64_t>((turns << shift) + static_cast<std::uint64_t>(near));
    }
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: return kMax - std::abs(near);
    case 1: return kMin + std::abs(near);
    case 2: return near;
    case 3: return romSize + near;
    case 4: return (std::int64_t{1} << in.ConsumeIntegralInRange(0, 62)) + near;
    default: return in.ConsumeIntegral<std::int64_t>();
    }
}

// A codec, or one value past either end of the list: the checks for a
// value that is no codec are exercised too.
Codec drawCodecValue(FuzzedDataProvider& in)
{
    return static_cast<Codec>(static_cast<std::uint8_t>(in.ConsumeIntegralInRange(-1, kCodecCount)));
}

int drawGeometryValue(FuzzedDataProvider& in)
{
    return in.ConsumeBool() ? in.ConsumeIntegralInRange(1, 16) : in.ConsumeIntegral<int>();
}

// The largest built-in unit, in bytes.
constexpr std::size_t kLargestUnit = 128;

// The bytes of a unit that pixel (r, c) uses, found by painting it on blank units.
std::vector<int> findPixelOffsets(Codec codec, int r, int c)
{
    std::array<std::uint8_t, kLargestUnit> zeros{};
    std::array<std::uint8_t, kLargestUnit> ones{};
    ones.fill(0xFF);
    setUnitPixelValue(codec, zeros.data(), r, c, 255);
    setUnitPixelValue(codec, ones.data(), r, c, 0);
    std::vector<int> offsets;
    for (std::size_t i = 0; i < kLargestUnit; ++i)
        if (zeros[i] != 0 || ones[i] != 0xFF)
            offsets.push_back(static_cast<int>(i));
    return offsets;
}

// Unit pixel k is at row k / unit width, column k % unit width.
const std::vector<int>& pixelOffsets(Codec codec, int k)
{
    static const auto table = [] {
        std::vector<std::vector<std::vector<int>>> offsets;
        for (const Codec codec : kAllCodecs) {
            offsets.emplace_back();
            for (int k = 0; k < unitPixels(codec); ++k)
                offsets.back().push_back(findPixelOffsets(codec, k / unitWidth(codec), k % unitWidth(codec)));
        }
        return offsets;
    }();
    return table[static_cast<std::size_t>(codecIndex(codec))][static_cast<std::size_t>(k)];
}

struct Reference {
    const Bytes& rom;
    std::int64_t position;
    Codec codec;

    Wide unitStart(Wide n) const { return position + (n / unitPixels(codec)) * unitBytes(codec); }
    int inUnit(Wide n) const { return static_cast<int>(n % unitPixels(codec)); }

    bool pixelInside(Wide n) const
    {
        if (n < 0 || !isValidCodec(codec))
            return false;
        for (const int offset : pixelOffsets(codec, inUnit(n))) {
            const Wide at = unitStart(n) + offset;
            if (at < 0 || at >= static_cast<Wide>(rom.size()))
                return false;
        }
        return true;
    }

    // Only called for pixels inside: every byte it uses exists.
    int value(Wide n) const
    {
        const int k = inUnit(n);
        std::array<std::uint8_t, kLargestUnit> unit{};
        for (const int offset : pixelOffsets(codec, k))
            unit[static_cast<std::size_t>(offset)] = rom[static_cast<std::size_t>(unitStart(n) + offset)];
        return unitPixelValue(codec, unit.data(), k / unitWidth(codec), k % unitWidth(codec));
    }
};

void checkStreamPixel(const Reference& ref, std::int64_t n)
{
    const std::optional<int> value = streamPixelValue(ref.rom, ref.position, ref.codec, n);
    require(value.has_value() == ref.pixelInside(n));
    if (value)
        require(*value == ref.value(n));
}

void checkWritePixel(const Reference& ref, const TileGeometry& g, std::int64_t tile, int x, int y, int value)
{
    Bytes rom = ref.rom;
    const bool wrote = writeTilePixel(rom, ref.position, ref.codec, g, tile, x, y, value);
    const bool valid = tile >= 0 && x >= 0 && y >= 0 && x < g.tileWidth && y < g.tileHeight;
    const Wide n = (static_cast<Wide>(tile) * g.tileHeight + y) * g.tileWidth + x;
    require(wrote == (valid && ref.pixelInside(n)));
    if (!wrote) {
        require(rom == ref.rom);
        return;
    }
    const Reference after{rom, ref.position, ref.codec};
    require(after.value(n) == (value & ((1 << bitsPerPixel(ref.codec)) - 1)));
    const std::vector<int>& offsets = pixelOffsets(ref.codec, ref.inUnit(n));
    for (std::size_t i = 0; i < rom.size(); ++i) {
        const Wide offset = static_cast<Wide>(i) - ref.unitStart(n);
        if (std::find(offsets.begin(), offsets.end(), offset) == offsets.end())
            require(rom[i] == ref.rom[i]);
    }
}

void checkWholeTile(const Reference& ref, const TileGeometry& g, std::int64_t tile)
{
    const bool inside = tileWhollyInside(ref.rom, ref.position, ref.codec, g, tile);
    if (tile < 0 || g.tileWidth <= 0 || g.tileHeight <= 0 || !isValidCodec(ref.codec)) {
        require(!inside);
        return;
    }
    const Wide pixels = static_cast<Wide>(g.tileWidth) * g.tileHeight;
    const Wide first = tile * pixels;
    if (pixels <= 256) {
        bool all = true;
        for (Wide n = first; n < first + pixels && all; ++n)
            all = ref.pixelInside(n);
        require(inside == all);
    } else if (inside) {
        require(ref.pixelInside(first) && ref.pixelInside(first + pixels - 1));
    }
}

void checkSwap(const Bytes& original, std::int64_t position, std::int32_t bytesPerTile, std::int64_t a,
               std::int64_t b)
{
    Bytes rom = original;
    const bool swapped = swapTiles(rom, position, bytesPerTile, a, b);
    const auto inside = [&](Wide start) {
        return start >= 0 && start + bytesPerTile <= static_cast<Wide>(original.size());
    };
    const Wide startA = position + static_cast<Wide>(a) * bytesPerTile;
    const Wide startB = position + static_cast<Wide>(b) * bytesPerTile;
    require(swapped == (bytesPerTile > 0 && inside(startA) && inside(startB)));
    if (!swapped) {
        require(rom == original);
        return;
    }
    Bytes expected = original;
    for (std::int32_t i = 0; i < bytesPerTile; ++i)
        std::swap(expected[static_cast<std::size_t>(startA + i)], expected[static_cast<std::size_t>(startB + i)]);
    require(rom == expected);
}

void checkGrid(FuzzedDataProvider& in, const TileGeometry& raw, std::int64_t tile)
{
    const TileGeometry g = clampedGeometry(raw);
    const std::int64_t tiles = tilesOnScreen(raw);
    const GridPoint origin = tileOrigin(raw, tile);
    if (tile >= 0 && tile < tiles) {
        // The tile's place as the picture lays blocks out.
        const std::int64_t perBlock = static_cast<std::int64_t>(g.blockWidth) * g.blockHeight;
        const std::int64_t block = tile / perBlock;
        const std::int64_t bx = tile % perBlock % g.blockWidth;
        const std::int64_t by = tile % perBlock / g.blockWidth;
        require(origin.x == g.tileWidth * ((block % 16) * g.blockWidth + bx));
        require(origin.y == g.tileHeight * ((block / 16) * g.blockHeight + by));
    }
    const GridRect frame = selectedTileFrame(raw, static_cast<std::int32_t>(tile));
    require(frame.width == 2 * g.tileWidth && frame.height == 2 * g.tileHeight);
    const GridRect blockFrame = markedBlockFrame(raw, in.ConsumeIntegral<int>());
    require(blockFrame.width > 0 && blockFrame.height > 0);

    const int x = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 2 * mapPixelWidth(raw) - 1) : in.ConsumeIntegral<int>();
    const int y = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 2 * mapPixelHeight(raw) - 1) : in.ConsumeIntegral<int>();
    const int block = blockUnderMouse(raw, x, y);
    require(block >= 0 && block < 256);
    const std::int32_t under = tileUnderMouse(raw, x, y);
    if (x >= 0 && y >= 0 && x < 2 * mapPixelWidth(raw) && y < 2 * mapPixelHeight(raw)) {
        require(under >= 0 && under < tiles);
        const GridPoint at = tileOrigin(raw, under);
        require(at.x <= x / 2 && x / 2 < at.x + g.tileWidth && at.y <= y / 2 && y / 2 < at.y + g.tileHeight);
    }

    Bitmap map(in.ConsumeIntegralInRange(0, 40), in.ConsumeIntegralInRange(0, 40), 0xFF112233u);
    Bitmap copied;
    copyTileFromMap(map, raw, tile, copied);
    require(copied.width == g.tileWidth && copied.height == g.tileHeight);

    const TileScrollRange range = tileMapScrollRange(in.ConsumeIntegral<std::int32_t>(), drawCodecValue(in), raw);
    require(range.maximum >= 0 && range.smallStep >= 0 && range.largeStep >= 0);
}

// A small map (16 x 16 one-pixel tiles) decoded and imported at any position.
void checkSmallMap(const Reference& ref)
{
    const TileGeometry g{1, 1, 1, 1};
    Palettes palettes;
    for (int i = 0; i < 16; ++i)
        palettes.sixteen[static_cast<std::size_t>(i)] = rgbColour(i * 16 + 1, 3, 5);
    palettes.four = {rgbColour(1, 2, 3), rgbColour(4, 5, 6), rgbColour(7, 8, 9), rgbColour(10, 11, 12)};
    for (int i = 0; i < 256; ++i)
        palettes.full[static_cast<std::size_t>(i)] = rgbColour(i, 7, 9);
    const ValuePixels pixels = valuePixels(ref.codec, palettes);
    Bitmap map;
    decodeTileMap(ref.rom, ref.position, ref.codec, g, palettes, map);
    require(map.width == 16 && map.height == 16);
    std::int64_t outside = 0;
    for (std::int64_t tile = 0; tile < 256; ++tile) {
        const GridPoint at = tileOrigin(g, tile);
        const bool inside = ref.pixelInside(tile);
        outside += inside ? 0 : 1;
        require(map.at(at.x, at.y) == (inside ? pixels[static_cast<std::size_t>(ref.value(tile))] : kBlackPixel));
    }

    Bytes rom = ref.rom;
    const TileMapImportResult result = importTileMapPicture(rom, ref.position, ref.codec, g, palettes, map);
    if (!isValidCodec(ref.codec))
        return;
    require(result.tilesOutsidePicture == 0 && result.tilesPartlyEncoded == 0);
    require(result.tilesEncoded == 256 - outside && result.pixelsPastEnd == outside);
    require(rom == ref.rom); // the picture of the image, imported, changes nothing
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const Bytes rom = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(0, 300));
    const auto romSize = static_cast<std::int64_t>(rom.size());
    const Codec codec = drawCodecValue(in);
    const Reference ref{rom, drawNumber(in, romSize), codec};
    const TileGeometry g{drawGeometryValue(in), drawGeometryValue(in), drawGeometryValue(in), drawGeometryValue(in)};
    const std::int64_t tile = drawNumber(in, romSize, static_cast<std::int64_t>(g.tileWidth) * g.tileHeight);

    checkStreamPixel(ref, drawNumber(in, romSize));
    checkWritePixel(ref, g, tile, in.ConsumeIntegralInRange(-1, 17), in.ConsumeIntegralInRange(-1, 17),
                    in.ConsumeIntegralInRange(0, 15));
    checkWholeTile(ref, g, tile);
    const std::int32_t bytesPerTile = in.ConsumeBool()   ? std::int32_t{1} << in.ConsumeIntegralInRange(0, 6)
                                      : in.ConsumeBool() ? in.ConsumeIntegralInRange(-1, 64)
                                                         : in.ConsumeIntegral<std::int32_t>();
    checkSwap(rom, ref.position, bytesPerTile, drawNumber(in, romSize, bytesPerTile), drawNumber(in, romSize, bytesPerTile));
    checkGrid(in, g, tile);
    checkSmallMap(ref);
    return 0;
}
