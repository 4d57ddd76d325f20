// Palette files: any bytes as a .pal (text) or .act (binary) file for either
// palette size (4, 16 or 256 entries). What is read is written back and read again unchanged.
#include "fuzzinput.h"

#include "tiles/palettefile.h"

#include <algorithm>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t choice = input.take<std::uint8_t>();
    const PaletteFileForm form = (choice & 1) ? PaletteFileForm::Binary : PaletteFileForm::Text;
    constexpr PaletteMode kModes[] = {PaletteMode::FourColour, PaletteMode::SixteenColour,
                                      PaletteMode::TwoFiftySixColour, PaletteMode::FourColour};
    const int count = paletteEntryCount(kModes[(choice >> 1) & 3]);
    const std::span<const std::uint8_t> bytes = input.rest();

    const PaletteReadResult read = readPaletteFile(bytes, form, count);
    FUZZ_CHECK(read.colours.size() <= static_cast<std::size_t>(count));
    FUZZ_CHECK(read.ok() == (read.colours.size() == static_cast<std::size_t>(count)));
    FUZZ_CHECK(read.error.size() <= kLongestQuotingMessage);
    for (Colour colour : read.colours)
        FUZZ_CHECK(colour <= 0xFFFFFFu);
    if (form == PaletteFileForm::Binary)
        FUZZ_CHECK(read.ok() == (bytes.size() >= 3 * static_cast<std::size_t>(count)));

    // Entries read before a failure are as good as a whole file's.
    const std::vector<std::uint8_t> written = writePaletteFile(read.colours, form);
    if (form == PaletteFileForm::Binary)
        FUZZ_CHECK(written.size() == std::max<std::size_t>(256, 3 * read.colours.size()));
    const PaletteReadResult again = readPaletteFile(written, form, static_cast<int>(read.colours.size()));
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.colours == read.colours);
    return 0;
}
