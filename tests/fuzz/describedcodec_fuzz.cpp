// Described codecs: a layout built from the input decodes through its lookup
// tables exactly as its bits say, reading only the unit's bytes (ASan); a
// described copy of a built-in decodes and writes exactly as the built-in;
// and whole maps of described codecs agree with single-pixel reads while
// reading only inside the image.
#include "fuzzinput.h"

#include "support/describedcopies.h"
#include "support/testdata.h"
#include "tiles/codecdescription.h"
#include "tiles/codecs.h"
#include "tiles/unitdecoder.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// A valid layout: sizes from the input, each pixel bit at a distinct place
// picked by a shuffle the input drives.
CodecDescription layoutFrom(FuzzInput& input)
{
    CodecDescription d;
    d.name = "fuzzed";
    d.bitsPerPixel = input.inRange(1, kMaxDescribedBits);
    d.width = input.inRange(1, kMaxUnitSide);
    d.height = input.inRange(1, kMaxUnitSide);
    const int bits = d.width * d.height * d.bitsPerPixel;
    d.bytes = std::min(kMaxUnitBytes, (bits + 7) / 8 + input.inRange(0, 40));
    std::vector<int> places(static_cast<std::size_t>(d.bytes) * 8);
    std::iota(places.begin(), places.end(), 0);
    for (int i = 0; i < bits; ++i) {
        const int j = i + input.inRange(0, static_cast<int>(places.size()) - 1 - i);
        std::swap(places[static_cast<std::size_t>(i)], places[static_cast<std::size_t>(j)]);
        d.bits.push_back({places[static_cast<std::size_t>(i)] / 8, places[static_cast<std::size_t>(i)] % 8});
    }
    return d;
}

void checkTables(const CodecDescription& d, std::span<const std::uint8_t> bytes)
{
    FUZZ_CHECK(descriptionProblem(d).empty());
    // Exactly the unit's bytes, so a read past them is an ASan report.
    std::vector<std::uint8_t> unit(bytes.begin(), bytes.begin() + std::min<std::size_t>(bytes.size(), d.bytes));
    unit.resize(static_cast<std::size_t>(d.bytes), 0xA5);
    std::vector<std::uint8_t> values(kMaxUnitPixels, 0xEE);
    UnitTables(d).decode(unit.data(), values.data());
    const auto bits = static_cast<std::size_t>(d.bitsPerPixel);
    for (std::size_t n = 0; n < static_cast<std::size_t>(d.width * d.height); ++n) {
        int expected = 0;
        for (std::size_t i = 0; i < bits; ++i) {
            const CodecBit& at = d.bits[n * bits + i];
            expected |= ((unit[static_cast<std::size_t>(at.byte)] >> at.bit) & 1) << i;
        }
        FUZZ_CHECK(values[n] == expected);
    }
}

// Random layouts of every shape, registered once: the map decoders and
// writers only take registered codecs.
const std::vector<Codec>& registeredLayouts()
{
    static const std::vector<Codec> codecs = [] {
        std::vector<Codec> added;
        for (int i = 0; i < 24; ++i) {
            std::vector<std::uint8_t> seed(4096);
            std::uint32_t state = 2654435761u * static_cast<std::uint32_t>(i + 1);
            for (auto& b : seed)
                b = static_cast<std::uint8_t>((state = state * 1664525u + 1013904223u) >> 24);
            FuzzInput input(seed.data(), seed.size());
            CodecDescription d = layoutFrom(input);
            d.name = "fuzzed layout " + std::to_string(i);
            std::string error;
            if (const auto codec = addDescribedCodec(d, error))
                added.push_back(*codec);
        }
        return added;
    }();
    return codecs;
}

std::uint32_t referencePixel(std::span<const std::uint8_t> rom, std::int64_t position, Codec codec,
                             const TileGeometry& g, const ValuePixels& colours, int x, int y)
{
    const int column = x / g.tileWidth;
    const int row = y / g.tileHeight;
    const std::int64_t block = (row / g.blockHeight) * 16 + column / g.blockWidth;
    const std::int64_t inBlock = (row % g.blockHeight) * g.blockWidth + column % g.blockWidth;
    const std::int64_t tile = block * g.blockWidth * g.blockHeight + inBlock;
    const std::int64_t n = (tile * g.tileHeight + y % g.tileHeight) * g.tileWidth + x % g.tileWidth;
    const std::optional<int> value = streamPixelValue(rom, position, codec, n);
    return value ? colours[static_cast<std::size_t>(*value)] : kBlackPixel;
}

void checkMaps(FuzzInput& input, std::span<const std::uint8_t> romBytes)
{
    const Palettes palettes = distinctPalettes();
    // Small maps keep every input quick.
    TileGeometry g{input.inRange(1, 16), input.inRange(1, 16), 1, 1};
    const std::int64_t position = input.take<std::int16_t>();
    const std::vector<std::uint8_t> rom(romBytes.begin(), romBytes.end());

    const Codec builtIn = kAllCodecs[static_cast<std::size_t>(input.inRange(0, kCodecCount - 1))];
    const Codec copy = describedCopy(builtIn);
    FUZZ_CHECK(!isBuiltInCodec(copy));
    Bitmap expected;
    Bitmap described;
    decodeTileMap(rom, position, builtIn, g, palettes, expected);
    decodeTileMap(rom, position, copy, g, palettes, described);
    FUZZ_CHECK(described == expected);
    std::vector<std::uint8_t> byBuiltIn = rom;
    std::vector<std::uint8_t> byCopy = rom;
    for (int edit = input.inRange(0, 4); edit > 0; --edit) {
        const std::int64_t tile = input.inRange(-1, 300);
        const int x = input.inRange(-1, 16);
        const int y = input.inRange(-1, 16);
        const int value = input.inRange(0, 255);
        FUZZ_CHECK(writeTilePixel(byBuiltIn, position, builtIn, g, tile, x, y, value) ==
                   writeTilePixel(byCopy, position, copy, g, tile, x, y, value));
    }
    FUZZ_CHECK(byBuiltIn == byCopy);

    const std::vector<Codec>& layouts = registeredLayouts();
    const Codec codec = layouts[static_cast<std::size_t>(input.inRange(0, static_cast<int>(layouts.size()) - 1))];
    const ValuePixels colours = valuePixels(codec, palettes);
    Bitmap map;
    decodeTileMap(rom, position, codec, g, palettes, map);
    for (int y = 0; y < map.height; ++y)
        for (int x = 0; x < map.width; ++x)
            FUZZ_CHECK(map.at(x, y) == referencePixel(rom, position, codec, g, colours, x, y));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const CodecDescription layout = layoutFrom(input);
    checkTables(layout, input.bytes(static_cast<std::size_t>(layout.bytes)));
    const std::span<const std::uint8_t> mapSettings = input.bytes(16);
    FuzzInput settings(mapSettings.data(), mapSettings.size());
    checkMaps(settings, input.rest());
    return 0;
}
