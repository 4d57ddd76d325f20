#pragma once
// What a search looks for, as bytes: typed hexadecimal, or text through the
// open character table.
#include "text/stringcodec.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Hexadecimal digits as bytes, pairs from the left; an odd count reads as if
// a "0" came first ("ABC" is 0A BC). The caller passes digits only.
[[nodiscard]] std::vector<std::uint8_t> hexPattern(std::string_view digits);

struct TextPattern {
    std::vector<std::uint8_t> bytes;
    // One-code-per-character mode: 0-based index of the first character that
    // is no entry by itself; bytes empty then.
    std::optional<std::size_t> characterWithoutCode;
};

// Table text (UTF-8) as bytes: by longest match (unmatched characters add
// nothing), or one code per character, the highest code whose entry is
// exactly that character (one-byte codes before longer ones).
[[nodiscard]] TextPattern tableTextPattern(const EntryMatcher& matcher, std::string_view text,
                                           bool oneBytePerCharacter);
