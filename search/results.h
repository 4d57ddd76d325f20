#pragma once
// Relative search hits as text: the result lines, the .rss file that keeps
// them, going to a hit, and a table made from a hit.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// "0001F400 HELLO=27242B2B2E": the position as 8 hexadecimal digits, the
// word, "=" and the word's length in image bytes from the position on
// (consecutive, whatever the interval; cut at the end of the image).
[[nodiscard]] std::string resultLine(std::span<const std::uint8_t> image, std::size_t position,
                                     std::string_view word);

// The .rss file: each line ended by CR LF, no header.
[[nodiscard]] std::string resultFileText(const std::vector<std::string>& lines);

// The lines of an .rss file, whatever their line ends; any text is kept.
[[nodiscard]] std::vector<std::string> readResultFile(std::string_view bytes);

// The position a result line names: the hexadecimal text before the first
// blank (none is 0). Nothing for an empty line or a bad number.
[[nodiscard]] std::optional<std::int32_t> resultLinePosition(std::string_view line);

struct TableFromResult {
    std::optional<std::string> text; // the .tbl file's bytes
    std::string error;               // set exactly when text is empty
};

// A table that gives the hit's alphabet its codes: the hit's first byte is
// the word's first letter, the rest of A-Z, a-z, C0-DF or E0-FF follow. A word
// that starts outside those alphabets gives a table with no code lines; an
// alphabet that would run past FF gives all codes empty. With `bothCases`, a
// word with letters of both cases ("Hello") gives the other case's alphabet
// too, laid from its first letter in the word and that letter's byte in the
// line (the hit's bytes are consecutive, so this holds for interval 0).
[[nodiscard]] TableFromResult tableFromResultLine(std::string_view line, std::int32_t tileMapPosition,
                                                  bool bothCases = false);
