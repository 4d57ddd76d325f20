// Palettes read from any bytes of an image in every console colour format:
// a read is whole or refused, never past the image; what is read is what the
// format holds, so writing it back changes no byte and reads the same.
#include "fuzzinput.h"

#include "tiles/colourformat.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const auto format = static_cast<ColourFormat>(input.inRange(0, 4));
    const int count = input.inRange(0, 300);
    const std::int64_t offset = static_cast<std::int64_t>(input.take<std::int16_t>());
    const std::span<const std::uint8_t> rest = input.rest();
    const std::vector<std::uint8_t> image(rest.begin(), rest.end());

    const ColourReadResult read = readColours(image, offset, count, format);
    const std::int64_t end = offset + static_cast<std::int64_t>(count) * bytesPerColour(format);
    const bool fits = offset >= 0 && end <= static_cast<std::int64_t>(image.size());
    FUZZ_CHECK(read.ok() == fits);
    if (!read.ok()) {
        FUZZ_CHECK(read.colours.empty());
        std::vector<std::uint8_t> copy = image;
        const std::vector<Colour> some(static_cast<std::size_t>(count));
        FUZZ_CHECK(!writeColours(copy, offset, some, format).empty());
        FUZZ_CHECK(copy == image); // a refused write touches nothing
        return 0;
    }
    FUZZ_CHECK(read.colours.size() == static_cast<std::size_t>(count));
    std::vector<std::uint8_t> written = image;
    for (const Colour& colour : read.colours)
        FUZZ_CHECK(nearestHeldColour(format, colour) == colour);
    FUZZ_CHECK(writeColours(written, offset, read.colours, format).empty());
    const ColourReadResult again = readColours(written, offset, count, format);
    FUZZ_CHECK(again.ok() && again.colours == read.colours);
    // Formats with a single encoding per colour give the bytes back too.
    if (format != ColourFormat::Nes)
        FUZZ_CHECK(written == image);
    return 0;
}
