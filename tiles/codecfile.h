#pragma once
// .codec files: a tile format described in text, either by formulas for
// where each pixel bit lies or by a table listing every bit. The format is
// documented in the README's "Codec files" section; examples/codecs holds
// the built-in formats written as files.
#include "tiles/codecdescription.h"

#include <optional>
#include <string>
#include <string_view>

struct CodecFileResult {
    std::optional<CodecDescription> description;
    std::string error; // "line 4: ...", empty when the file was read
    int line = 0;      // the line the error names; 0 when read
};

// Reads a whole file's text. Anything else than a usable description that
// passes descriptionProblem is refused with the line at fault.
[[nodiscard]] CodecFileResult parseCodecFile(std::string_view text);

// The description in the table form, which parseCodecFile reads back to an
// equal description. A name is written trimmed, control characters as
// blanks, since a name cannot hold line breaks or surrounding blanks.
[[nodiscard]] std::string writeCodecFile(const CodecDescription& description);
