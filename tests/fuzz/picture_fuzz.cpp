// Pictures through the import path: any bytes as the BMP or PNG file Load
// From BMP and quarn-tool import read, encoded into a ROM image at a
// position and geometry picked from the bytes. Only the screen's bytes may
// change, and the counts tell what was written.
#include "fuzzinput.h"
#include "scratchfile.h"

#include "support/testdata.h"
#include "tiles/bitmapimport.h"
#include "tiles/bitmapio.h"
#include "tiles/tilegrid.h"

#include <vector>

namespace {

// The settings come from a hash, so that every byte stays the picture's.
std::uint64_t fnv1a(std::span<const std::uint8_t> bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::uint8_t byte : bytes)
        hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

struct Settings {
    Codec codec;
    TileGeometry geometry;
    std::vector<std::uint8_t> rom;
    std::int64_t position;
};

Settings settingsFor(std::uint64_t hash)
{
    const auto take = [&hash](int count) {
        const int value = static_cast<int>(hash % static_cast<std::uint64_t>(count));
        hash /= static_cast<std::uint64_t>(count);
        return value;
    };
    Settings s;
    s.codec = kAllCodecs[static_cast<std::size_t>(take(kCodecCount))];
    s.geometry = {1 + take(16), 1 + take(16), 1 + take(2), 1 + take(2)};
    s.rom = randomBytes(static_cast<std::size_t>(take(4) * 1500), static_cast<unsigned>(take(1000)));
    s.position = take(2048) - 1024;
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ScratchFile scratch("bmp");
    const BitmapReadResult read = readBitmapFile(scratch.holding({data, size}));
    FUZZ_CHECK(read.bitmap.has_value() == read.error.isEmpty());
    if (!read.bitmap) {
        FUZZ_CHECK(read.error == QStringLiteral("Bitmap image is not valid"));
        return 0;
    }
    const Bitmap& picture = *read.bitmap;
    FUZZ_CHECK(picture.width > 0 && picture.height > 0);
    FUZZ_CHECK(picture.pixels.size() == static_cast<std::size_t>(picture.width) * picture.height);

    Settings s = settingsFor(fnv1a({data, size}));
    const std::vector<std::uint8_t> before = s.rom;
    const TileMapImportResult result =
        importTileMapPicture(s.rom, s.position, s.codec, s.geometry, distinctPalettes(), picture);
    const std::int64_t tiles = tilesOnScreen(s.geometry);
    const std::int64_t written = result.tilesEncoded + result.tilesPartlyEncoded;
    FUZZ_CHECK(written + result.tilesOutsidePicture <= tiles);

    // The units that hold the screen's pixels, cut to the image.
    const std::int64_t pixels = static_cast<std::int64_t>(mapPixelWidth(s.geometry)) * mapPixelHeight(s.geometry);
    const std::int64_t screenEnd = s.position + (pixels + unitPixels(s.codec) - 1) / unitPixels(s.codec) * unitBytes(s.codec);
    const auto romSize = static_cast<std::int64_t>(s.rom.size());
    for (std::int64_t i = 0; i < romSize; ++i)
        if (i < s.position || i >= screenEnd)
            FUZZ_CHECK(s.rom[static_cast<std::size_t>(i)] == before[static_cast<std::size_t>(i)]);
    // Nothing can be written when the screen lies wholly outside the image:
    // then no tile counts as written, not even in part.
    if (screenEnd <= 0 || s.position >= romSize)
        FUZZ_CHECK(written == 0);
    if (written == 0)
        FUZZ_CHECK(s.rom == before);
    return 0;
}
