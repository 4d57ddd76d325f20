#pragma once
// Character tables: which text each code stands for. Reading and writing
// .tbl text, preparing a read table for use. A code is one byte, or a
// sequence of 2 to 4 bytes. Entry texts are UTF-8 (the caller turns a file
// in an 8-bit code page into it), compared byte for byte; 8-bit text handed
// in as it is still reads and compares as before, one character per byte.
#include <algorithm>
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

inline constexpr std::size_t kLongestCode = 4;

// A code of 1 to 4 bytes, in the order they stand in the image. A single
// byte converts to it, so one-byte codes read as before.
struct ByteCode {
    std::array<std::uint8_t, kLongestCode> bytes{};
    std::uint8_t size = 1;

    ByteCode() = default;
    ByteCode(std::uint8_t byte) : bytes{byte, 0, 0, 0} {} // NOLINT: a byte is a code
    // 2, 4, 6 or 8 hexadecimal digits; nothing for anything else.
    static std::optional<ByteCode> fromHex(std::string_view digits);

    std::span<const std::uint8_t> view() const { return {bytes.data(), size}; }
    std::string hex() const; // upper case, two digits a byte
    bool operator==(const ByteCode& other) const
    {
        return size == other.size && std::equal(view().begin(), view().end(), other.view().begin());
    }
    // Shorter codes first, then by their bytes.
    bool operator<(const ByteCode& other) const;
};

// The entry of a code of 2 to 4 bytes.
struct SequenceEntry {
    ByteCode code;
    std::string text;
    bool operator==(const SequenceEntry&) const = default;
};

// What one .tbl file says.
struct TableFile {
    std::int32_t address = 0; // tile map position of line 1, or 0 without one
    bool addressLine = true;  // false: the first line was read as an ordinary line
    TableEntries entries;     // one-byte codes no line defines stay empty
    std::vector<SequenceEntry> sequences; // longer codes, one each, ascending
    std::optional<ByteCode> lineBreakCode; // last valid "*" line, if any
    std::optional<ByteCode> endCode;       // last valid "/" line, if any
    std::optional<std::string> endText;    // "/XX=text": shown instead of {END}
};

struct TableReadResult {
    std::optional<TableFile> table;
    // Set exactly when `table` is empty. May quote a line of the file, so it
    // is 8-bit text like the entries.
    std::string error;
};

// Parses a whole .tbl file. CR LF, lone LF and lone CR all end a line.
// A first line that is no address ("H" and hexadecimal, a decimal number or
// empty) gives address 0 and is read as an ordinary line. Fails on an entry
// longer than 255 characters (the message names its line); nothing is
// half-applied then.
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
// lines "XX=" + entry, then one line per longer code. No "*" or "/" line:
// the codes in force stay as they are.
std::string tableWriteBackText(std::int32_t tileMapPosition, const TableEntries& entries,
                               std::span<const SequenceEntry> sequences = {});

// "{1F}" for code 1F.
std::string codePlaceholder(std::uint8_t code);

// The characters a table's entries hold (any Unicode character).
class CharacterSet {
public:
    void set(char32_t ch);
    [[nodiscard]] bool test(char32_t ch) const;
    // Every character of the UTF-8 text.
    void add(std::string_view text);
    bool operator==(const CharacterSet&) const = default;

private:
    std::bitset<256> low_;          // U+0000 .. U+00FF
    std::vector<char32_t> higher_;  // sorted
};

struct FinishedTable {
    CharacterSet charSet;               // backspace, CR and every entry character
    std::uint8_t longestEntryLength = 0; // in characters
};

inline constexpr std::string_view kLineBreakMarker = "{^}";
inline constexpr std::string_view kEndMarker = "{END}";

// Makes a read table usable: every empty entry gets its placeholder, the
// line-break code becomes "{^}" and then the end code `endText` ("{END}"
// unless the table names its own). Codes of several bytes get or replace
// their sequence entry for that; `sequences` are in ascending order (as the
// reader gives them) and stay so.
FinishedTable finishTable(TableEntries& entries, std::vector<SequenceEntry>& sequences, ByteCode lineBreakCode,
                          ByteCode endCode, std::string_view endText = kEndMarker);
// The same for a table of one-byte codes only.
FinishedTable finishTableEntries(TableEntries& entries, std::uint8_t lineBreakCode, std::uint8_t endCode);

// The pieces of the table formats help: str1 .. str13 of the current language.
using TableHelpTexts = std::array<std::string, 13>;

// The table formats help message, with its exact LF CR separators.
std::string tableFormatsHelpText(const TableHelpTexts& str);
