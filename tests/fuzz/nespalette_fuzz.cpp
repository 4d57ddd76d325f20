// NES colour indices typed as hex bytes: any text is read as 1 to `most`
// indices below 64 or refused, and the indices written back read the same.
#include "fuzzinput.h"

#include "tiles/nespalette.h"

#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const int most = input.inRange(0, 20);
    const std::span<const std::uint8_t> rest = input.rest();
    const std::string_view text(reinterpret_cast<const char*>(rest.data()), rest.size());

    const std::optional<std::vector<int>> indices = parseNesColourIndices(text, most);
    if (!indices)
        return 0;
    FUZZ_CHECK(!indices->empty() && static_cast<int>(indices->size()) <= most);
    std::string written;
    for (const int index : *indices) {
        FUZZ_CHECK(index >= 0 && index < 64);
        char field[4];
        std::snprintf(field, sizeof field, "%02X", index);
        written += std::string(field) + ' ';
    }
    FUZZ_CHECK(parseNesColourIndices(written, most) == indices);
    FUZZ_CHECK(nesColours(*indices).size() == indices->size());
    return 0;
}
