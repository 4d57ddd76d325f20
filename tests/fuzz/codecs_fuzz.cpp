// The built-in codecs at any position and geometry over any image: the whole-map
// and block-by-block decodes agree with single-pixel reads, a pixel written
// reads back and changes only its own unit, and import writes what the
// picture shows, inside its screen only.
#include "fuzzinput.h"

#include "support/testdata.h"
#include "tiles/bitmapimport.h"
#include "tiles/codecs.h"

#include <algorithm>
#include <bitset>
#include <vector>

namespace {

struct Case {
    Codec codec = Codec::OneBpp;
    TileGeometry geometry;
    std::int64_t position = 0;
    Palettes palettes = distinctPalettes();
    ValuePixels colours{};
    int width = 0;  // of the map, single size
    int height = 0;
};

// Stream pixel shown at (x, y) of the map, worked out from the screen
// arrangement independently of the decoder's tile cursor.
std::int64_t streamPixelAt(const TileGeometry& g, int x, int y)
{
    const int column = x / g.tileWidth;
    const int row = y / g.tileHeight;
    const std::int64_t block = (row / g.blockHeight) * 16 + column / g.blockWidth;
    const std::int64_t inBlock = (row % g.blockHeight) * g.blockWidth + column % g.blockWidth;
    const std::int64_t tile = block * g.blockWidth * g.blockHeight + inBlock;
    return (tile * g.tileHeight + y % g.tileHeight) * g.tileWidth + x % g.tileWidth;
}

std::uint32_t expectedPixel(const Case& c, std::span<const std::uint8_t> rom, int x, int y)
{
    const std::optional<int> value = streamPixelValue(rom, c.position, c.codec, streamPixelAt(c.geometry, x, y));
    return value ? c.colours[static_cast<std::size_t>(*value)] : kBlackPixel;
}

// Every pixel of small maps; a spread of pixels of large ones, which take
// too long to compare whole at every input.
template <typename Check>
void forCheckedPixels(const Case& c, Check check)
{
    const std::int64_t total = static_cast<std::int64_t>(c.width) * c.height;
    const std::int64_t step = total <= (1 << 18) ? 1 : 97;
    for (std::int64_t i = 0; i < total; i += step)
        check(static_cast<int>(i % c.width), static_cast<int>(i / c.width));
}

void checkDecode(const Case& c, std::span<const std::uint8_t> rom, const std::bitset<256>& blocks, Bitmap& map)
{
    decodeTileMap(rom, c.position, c.codec, c.geometry, c.palettes, map);
    FUZZ_CHECK(map.width == c.width && map.height == c.height);
    forCheckedPixels(c, [&](int x, int y) { FUZZ_CHECK(map.at(x, y) == expectedPixel(c, rom, x, y)); });

    constexpr std::uint32_t untouched = 0x12345678u;
    Bitmap part(c.width, c.height, untouched);
    decodeTileMapBlocks(rom, c.position, c.codec, c.geometry, c.palettes, blocks, part);
    const int blockWidth = c.geometry.tileWidth * c.geometry.blockWidth;
    const int blockHeight = c.geometry.tileHeight * c.geometry.blockHeight;
    forCheckedPixels(c, [&](int x, int y) {
        const bool drawn = blocks.test(static_cast<std::size_t>((y / blockHeight) * 16 + x / blockWidth));
        // A unit shared with a chosen block may redraw its neighbours too,
        // but only as the whole decode draws them.
        FUZZ_CHECK(part.at(x, y) == map.at(x, y) || (!drawn && part.at(x, y) == untouched));
    });
}

// Bytes of the units that hold the map's pixels.
bool insideScreen(const Case& c, std::size_t offset)
{
    const std::int64_t units = (static_cast<std::int64_t>(c.width) * c.height + unitPixels(c.codec) - 1) / unitPixels(c.codec);
    // Wide enough for any position.
    const __int128 first = c.position;
    const __int128 at = offset;
    return at >= first && at < first + units * unitBytes(c.codec);
}

void checkPixelWrites(const Case& c, std::vector<std::uint8_t> rom, FuzzInput& input)
{
    const int tiles = 256 * c.geometry.blockWidth * c.geometry.blockHeight;
    for (int edit = input.inRange(0, 8); edit > 0; --edit) {
        const std::int64_t tile = input.inRange(-2, tiles + 64);
        const int x = input.inRange(-1, 16);
        const int y = input.inRange(-1, 16);
        const int value = input.inRange(0, 255) & ((1 << bitsPerPixel(c.codec)) - 1);
        const std::vector<std::uint8_t> before = rom;
        const bool written = writeTilePixel(rom, c.position, c.codec, c.geometry, tile, x, y, value);
        const bool inTile = tile >= 0 && x >= 0 && y >= 0 && x < c.geometry.tileWidth && y < c.geometry.tileHeight;
        const std::int64_t n = (tile * c.geometry.tileHeight + y) * c.geometry.tileWidth + x;
        FUZZ_CHECK(written == (inTile && streamPixelValue(before, c.position, c.codec, n).has_value()));
        if (!written) {
            FUZZ_CHECK(rom == before);
            continue;
        }
        FUZZ_CHECK(streamPixelValue(rom, c.position, c.codec, n) == value);
        const std::int64_t unitStart = c.position + (n / unitPixels(c.codec)) * unitBytes(c.codec);
        for (std::size_t i = 0; i < rom.size(); ++i) {
            const auto at = static_cast<std::int64_t>(i);
            if (at < unitStart || at >= unitStart + unitBytes(c.codec))
                FUZZ_CHECK(rom[i] == before[i]);
        }
    }
}

void checkImport(const Case& c, std::vector<std::uint8_t> rom, const Bitmap& map, FuzzInput& input)
{
    const int tiles = 256 * c.geometry.blockWidth * c.geometry.blockHeight;
    // The map's own picture encodes to the very bytes it was decoded from.
    std::vector<std::uint8_t> same = rom;
    const TileMapImportResult whole = importTileMapPicture(same, c.position, c.codec, c.geometry, c.palettes, map);
    FUZZ_CHECK(same == rom);
    FUZZ_CHECK(whole.tilesOutsidePicture == 0 && whole.tilesEncoded <= tiles);

    // A cut-down, repainted picture: its whole tiles are written, nothing else.
    Bitmap picture(input.inRange(0, c.width), input.inRange(0, c.height));
    const std::uint8_t seed = input.take<std::uint8_t>();
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.set(x, y, (x + y + seed) % 7 == 0 ? c.colours[static_cast<std::size_t>((x * 3 + y + seed) % (1 << bitsPerPixel(c.codec)))]
                                                      : map.at(x, y));
    const std::vector<std::uint8_t> before = rom;
    const TileMapImportResult result =
        importTileMapPicture(rom, c.position, c.codec, c.geometry, c.palettes, picture);
    FUZZ_CHECK(result.tilesEncoded + result.tilesOutsidePicture <= tiles);
    for (std::size_t i = 0; i < rom.size(); ++i)
        if (!insideScreen(c, i))
            FUZZ_CHECK(rom[i] == before[i]);

    Bitmap after;
    decodeTileMap(rom, c.position, c.codec, c.geometry, c.palettes, after);
    const int tw = c.geometry.tileWidth;
    const int th = c.geometry.tileHeight;
    forCheckedPixels(c, [&](int x, int y) {
        const bool tileInPicture = (x / tw + 1) * tw <= picture.width && (y / th + 1) * th <= picture.height;
        if (!tileInPicture || after.at(x, y) == kBlackPixel) {
            FUZZ_CHECK(after.at(x, y) == map.at(x, y));
            return;
        }
        const int value = colourToValue(c.codec, c.palettes, pixelToColour(picture.at(x, y)));
        FUZZ_CHECK(after.at(x, y) == c.colours[static_cast<std::size_t>(value)]);
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    Case c;
    c.codec = kAllCodecs[static_cast<std::size_t>(input.inRange(0, kCodecCount - 1))];
    c.geometry = {input.inRange(1, 16), input.inRange(1, 16), input.inRange(1, 16), input.inRange(1, 16)};
    // Any geometry, but maps of at most 2^18 pixels keep the checks quick:
    // the biggest ones differ from those only in their numbers.
    TileGeometry& g = c.geometry;
    while (g.tileWidth * g.tileHeight * g.blockWidth * g.blockHeight > 1024)
        (g.blockWidth >= g.blockHeight ? g.blockWidth : g.blockHeight) /= 2;
    // Mostly near the image; sometimes anywhere at all.
    c.position = input.take<std::int16_t>();
    if ((input.take<std::uint8_t>() & 7) == 0)
        c.position = input.take<std::int64_t>();
    c.colours = valuePixels(c.codec, c.palettes);
    c.width = c.geometry.tileWidth * 16 * c.geometry.blockWidth;
    c.height = c.geometry.tileHeight * 16 * c.geometry.blockHeight;
    std::bitset<256> blocks;
    for (int word = 0; word < 4; ++word)
        blocks |= std::bitset<256>(input.take<std::uint64_t>()) << (64 * word);
    const std::span<const std::uint8_t> editBytes = input.bytes(64);
    FuzzInput edits(editBytes.data(), editBytes.size());
    const std::span<const std::uint8_t> romBytes = input.rest();
    const std::vector<std::uint8_t> rom(romBytes.begin(), romBytes.end());

    Bitmap map;
    checkDecode(c, rom, blocks, map);
    checkPixelWrites(c, rom, edits);
    checkImport(c, rom, map, edits);
    return 0;
}
