// .codec files: any bytes as a file's text. A refusal names a line of the
// file; a description read is usable, and written out it reads back the same.
#include "fuzzinput.h"

#include "app/textlines.h"
#include "tiles/codecfile.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CodecFileResult read = parseCodecFile(text);
    if (!read.description) {
        const auto lines = std::max<std::size_t>(splitTextLines(text).size(), 1);
        FUZZ_CHECK(read.line >= 1 && static_cast<std::size_t>(read.line) <= lines);
        FUZZ_CHECK(read.error.size() <= 400); // quotes are cut short
        FUZZ_CHECK(read.error.starts_with("line " + std::to_string(read.line) + ": "));
        return 0;
    }
    FUZZ_CHECK(read.error.empty() && read.line == 0);
    const CodecDescription& d = *read.description;
    FUZZ_CHECK(descriptionProblem(d).empty());
    const CodecFileResult again = parseCodecFile(writeCodecFile(d));
    FUZZ_CHECK(again.description == d);
    return 0;
}
