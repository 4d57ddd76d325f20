#pragma once
// Strings through a character table: bytes to text, and text back to codes
// by repeated longest match. One implementation for the string bar, the
// script commands, the table-text search and quarn-tool.
#include "text/chartable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The longest-match lookup over one table, indexed once so that encoding
// does not compare every entry at every length for every character.
//
// The result is the plain scan's: for each length from the longest entry
// length down to 1, the first code (in ascending order) whose entry equals
// the text there, cut to that length. Empty entries and entries longer than
// the longest entry length never match.
class EntryMatcher {
public:
    EntryMatcher() = default; // matches nothing
    EntryMatcher(const TableEntries& entries, std::uint8_t longestEntryLength);

    // The code whose entry matches `text` at `offset` (0-based); nothing when
    // no entry matches there or the offset lies outside the text.
    [[nodiscard]] std::optional<std::uint8_t> match(std::string_view text, std::size_t offset) const;
    // The lowest code whose entry is exactly the one character `ch`.
    [[nodiscard]] std::optional<std::uint8_t> singleCharacterCode(unsigned char ch) const;

    const std::string& entry(std::uint8_t code) const { return entries_[code]; }
    const TableEntries& entries() const { return entries_; }

private:
    struct Candidate {
        std::uint8_t code;
        std::uint8_t length;
    };
    TableEntries entries_;
    // Per first character: the entries that can match, longest first and,
    // among equal texts, only the lowest code.
    std::array<std::vector<Candidate>, 256> byFirstCharacter_;
    std::array<std::int16_t, 256> singleCharacter_{}; // -1: none
};

// Each byte replaced by its entry: exactly bytes.size() entries in a row.
[[nodiscard]] std::string decodeBytes(const TableEntries& entries, std::span<const std::uint8_t> bytes);

inline constexpr std::size_t kNoCodeLimit = std::numeric_limits<std::size_t>::max();

// The codes of `text` by repeated longest match, at most `limit` of them.
// A character no entry matches is dropped.
[[nodiscard]] std::vector<std::uint8_t> encodeString(const EntryMatcher& matcher, std::string_view text,
                                                     std::size_t limit = kNoCodeLimit);

// How many codes encodeString would give without a limit.
[[nodiscard]] std::size_t encodedLength(const EntryMatcher& matcher, std::string_view text);

struct StrictEncodeResult {
    std::vector<std::uint8_t> codes;
    // 0-based offset of the first character no entry matches; the codes
    // before it are kept.
    std::optional<std::size_t> unmatchedOffset;

    bool ok() const { return !unmatchedOffset.has_value(); }
};

// Like encodeString, but stops at the first character nothing matches.
[[nodiscard]] StrictEncodeResult encodeStrict(const EntryMatcher& matcher, std::string_view text);

// Where a text or script cannot be encoded: its first character that no
// entry matches. Text is written all or nothing, so this is what the user
// is told instead.
struct UnmatchedCharacter {
    std::size_t line = 0;     // 1-based line of a script; 0 for a single text
    std::size_t position = 0; // 1-based character position in the line or text
    char character = 0;
    bool operator==(const UnmatchedCharacter&) const = default;
};

// "no table entry matches the character 'x' at position 3 of line 2", the
// character shown as `shownCharacter` (the code page's text for it).
[[nodiscard]] std::string unmatchedCharacterMessage(const UnmatchedCharacter& where,
                                                    std::string_view shownCharacter);

// Character-oriented counting: one byte per character, the lowest code whose
// entry is exactly that character; nothing where no entry is. At most
// `limit` characters.
[[nodiscard]] std::vector<std::optional<std::uint8_t>>
encodeCharacters(const EntryMatcher& matcher, std::string_view text, std::size_t limit = kNoCodeLimit);

// How a string range lies in the image: from `start`, at most `length`
// bytes, cut at the end of the image. Empty when start is outside it.
struct ByteRange {
    std::size_t offset = 0;
    std::size_t length = 0;
};
[[nodiscard]] ByteRange rangeInImage(std::int64_t start, std::int64_t length, std::size_t imageSize);

struct InsertResult {
    std::size_t covered = 0; // bytes written
    // 0-based offset of the first character of the text that no entry
    // encodes; nothing is written then.
    std::optional<std::size_t> unmatchedOffset;
};

// Insert string: the codes of `text` written at `start`, at most `maxLength`
// bytes and never past the end of the image. Longest match, or one byte per
// character with `characterOriented` (the code whose entry is exactly that
// character). All or nothing: when any character of the whole text has no
// code, nothing is written. Nothing else is written either.
InsertResult insertString(std::span<std::uint8_t> image, std::int64_t start, std::int32_t maxLength,
                         const EntryMatcher& matcher, std::string_view text, bool characterOriented);

// Extract string: `maxLength` entries from `start`, cut at the end of the image.
[[nodiscard]] std::string extractString(std::span<const std::uint8_t> image, std::int64_t start,
                                        std::int32_t maxLength, const TableEntries& entries);
