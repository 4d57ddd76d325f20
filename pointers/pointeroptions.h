#pragma once
// The options of the Pointer Table window, kept in NAME.ptr beside the ROM:
// one "key=value" line per option, numbers in the program's forms.
#include "pointers/pointertable.h"

#include <string>
#include <string_view>

struct PointerOptions {
    PointerTable table;
    std::string space; // free-space ranges as typed: "H8000-H8FFF H9000-H90FF"
    bool operator==(const PointerOptions&) const = default;
};

// The file's text, CR LF lines.
[[nodiscard]] std::string pointerOptionsText(const PointerOptions& options);
// Reads what it can: unknown keys and values that do not read keep the defaults.
[[nodiscard]] PointerOptions readPointerOptions(std::string_view text);

// A number as the program types it, with "-" in front for a negative one.
[[nodiscard]] std::optional<std::int64_t> parseSignedNumber(std::string_view text);
[[nodiscard]] std::string signedNumberText(std::int64_t value);
