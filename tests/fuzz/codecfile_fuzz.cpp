// .codec files: any bytes as a file's text. A refusal names a line of the
// file; a description read is usable, and written out it reads back the same.
#include "fuzzinput.h"

#include "tiles/codecfile.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CodecFileResult read = parseCodecFile(text);
    if (!read.description) {
        const auto lines = std::count(text.begin(), text.end(), '\n') + 1;
        FUZZ_CHECK(read.line >= 1 && read.line <= lines);
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
