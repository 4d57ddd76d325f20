#pragma once
// Character tables: which text each byte value stands for. Reading and
// writing .tbl text, preparing a read table for use, and the longest-match
// lookup the encoders share. Entry texts are 8-bit byte strings, compared
// byte for byte; how they look on screen is the caller's business.
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using TableEntries = std::array<std::string, 256>;

// An entry line can hold at most this many characters: the longest entry
// length is an 8-bit count.
inline constexpr std::size_t kLongestTableEntry = 255;

// What one .tbl file says.
struct TableFile {
    std::int32_t address = 0; // tile map position of line 1
    TableEntries entries;     // codes no line defines stay empty
    std::optional<std::uint8_t> lineBreakCode; // last valid "*" line, if any
    std::optional<std::uint8_t> endCode;       // last valid "/" line, if any
};

struct TableReadResult {
    std::optional<TableFile> table;
    // Set exactly when `table` is empty. May quote a line of the file, so it
    // is 8-bit text like the entries.
    std::string error;
};

// Parses a whole .tbl file. CR LF, lone LF and lone CR all end a line.
// Fails on a first line that is no number, and on an entry longer than 255
// characters (the message names its line); nothing is half-applied then.
[[nodiscard]] TableReadResult readTableFile(std::string_view bytes);

// The address of line 1: "H" or "h" and hexadecimal (a bad number gives 0),
// else a signed decimal (a negative one gives 0); an empty line is 0.
// Nothing for any other text.
[[nodiscard]] std::optional<std::int32_t> tableAddress(std::string_view firstLine);

// "'%s' is not a valid integer value" for a first line.
std::string notAnIntegerMessage(std::string_view firstLine);

// A new table file as Create Table and a search hit make it: "H" +
// `hexAddress`, one line "XX=" + entry per element of `entries` (codes from 00;
// an empty span writes no code lines), then "*FF" and "/00", each ended by
// CR LF.
[[nodiscard]] std::string newTableText(std::string_view hexAddress, std::span<const std::string> entries);

// The Create Table template for a tile map position: the address line, the
// 256 lines "00=" to "FF=", then "*FF" and "/00", each ended by CR LF.
std::string tableTemplateText(std::int32_t tileMapPosition);

// The table in memory written back as a file: the address line and the 256
// lines "XX=" + entry. No "*" or "/" line: the codes in force stay as they are.
std::string tableWriteBackText(std::int32_t tileMapPosition, const TableEntries& entries);

// "{1F}" for code 1F.
std::string codePlaceholder(std::uint8_t code);

struct FinishedTable {
    std::bitset<256> charSet;           // backspace, CR and every entry character
    std::uint8_t longestEntryLength = 0;
};

// Makes a read table usable: every empty entry gets its placeholder, the
// line-break code becomes "{^}" and then the end code "{END}".
FinishedTable finishTableEntries(TableEntries& entries, std::uint8_t lineBreakCode, std::uint8_t endCode);

// The pieces of the table formats help: str1 .. str13 of the current language.
using TableHelpTexts = std::array<std::string, 13>;

// The table formats help message, with its exact LF CR separators.
std::string tableFormatsHelpText(const TableHelpTexts& str);
