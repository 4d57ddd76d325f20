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
#include <unordered_map>
#include <vector>

// A code found for a text: its bytes and how many bytes of the text its
// entry takes.
struct TextMatch {
    ByteCode code;
    std::size_t textLength = 0;
};

// A code read from the image: the longest sequence with an entry there, else
// the one byte (every byte has an entry once the table is finished).
struct ImageMatch {
    ByteCode code;
    const std::string* text = nullptr; // the entry; never null
};

// The table in use, indexed once both ways: the longest-match lookup of
// text that encoding repeats, and the longest-sequence lookup of bytes that
// decoding repeats.
//
// Encoding: the longest entry that equals the text there wins; among equal
// texts the one-byte codes in ascending order come first, then the longer
// codes (shorter first, then ascending). For one-byte codes only this is the
// plain scan: for each length from the longest entry length down to 1, the
// first code whose entry equals the text there. Empty entries and entries
// longer than the longest entry length (in characters) never match.
class EntryMatcher {
public:
    EntryMatcher() = default; // matches nothing, decodes through empty entries
    EntryMatcher(const TableEntries& entries, std::uint8_t longestEntryLength,
                 std::span<const SequenceEntry> sequences = {});

    // The code whose entry matches `text` at `offset` (0-based byte offset);
    // nothing when no entry matches there or the offset lies outside the text.
    [[nodiscard]] std::optional<TextMatch> matchAt(std::string_view text, std::size_t offset) const;
    [[nodiscard]] std::optional<ByteCode> match(std::string_view text, std::size_t offset) const;
    // The first code (in the order above) whose entry is exactly the one
    // character `ch`.
    [[nodiscard]] std::optional<ByteCode> singleCharacterCode(char32_t ch) const;

    // The code that starts at `offset` of `bytes` (offset inside them).
    [[nodiscard]] ImageMatch decodeAt(std::span<const std::uint8_t> bytes, std::size_t offset) const;

    const std::string& entry(std::uint8_t code) const { return entries_[code]; }
    const TableEntries& entries() const { return entries_; }
    const std::vector<SequenceEntry>& sequences() const { return sequences_; }
    bool hasSequences() const { return !sequences_.empty(); }

private:
    struct TransparentHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    TableEntries entries_;
    std::vector<SequenceEntry> sequences_; // ascending
    // Encoding: every text that can match, with its first code; and per
    // first byte of a text, the lengths (in bytes) entries have, longest first.
    // Texts of up to 8 bytes sit in an open-addressing table keyed by their
    // bytes, which a lookup reads as one number; longer ones in byText_.
    struct ShortSlot {
        std::uint64_t bytes = 0;
        std::uint8_t length = 0; // 0: free
        ByteCode code;
    };
    std::vector<ShortSlot> shortTexts_; // a power of two long, at most half full
    int shortShift_ = 64;
    bool addShortText(std::string_view text, ByteCode code);
    const ShortSlot* findShortText(std::uint64_t bytes, std::uint8_t length) const;
    std::unordered_map<std::string, ByteCode, TransparentHash, std::equal_to<>> byText_;
    std::array<std::vector<std::uint16_t>, 256> lengthsByFirstByte_;
    std::unordered_map<char32_t, ByteCode> singleCharacter_;
    // Decoding: per first byte, which sequence lengths start with it (bit n:
    // n bytes), and the sequence of each code, as an index into sequences_.
    std::array<std::uint8_t, 256> sequenceLengths_{};
    std::vector<std::int32_t> twoByte_; // 65536 entries when any code has 2 bytes
    std::unordered_map<std::uint64_t, std::int32_t> longer_; // 3 and 4 bytes, keyed by bytes and length
};

// Each code of `bytes` replaced by its entry, longest sequence first.
[[nodiscard]] std::string decodeBytes(const EntryMatcher& table, std::span<const std::uint8_t> bytes);

// Each byte replaced by its one-byte entry: exactly bytes.size() entries in a row.
[[nodiscard]] std::string decodeBytes(const TableEntries& entries, std::span<const std::uint8_t> bytes);

inline constexpr std::size_t kNoCodeLimit = std::numeric_limits<std::size_t>::max();

// The bytes of the codes of `text` by repeated longest match, at most
// `limit` codes. A character no entry matches is dropped.
[[nodiscard]] std::vector<std::uint8_t> encodeString(const EntryMatcher& matcher, std::string_view text,
                                                     std::size_t limit = kNoCodeLimit);

// How many codes encodeString would give without a limit.
[[nodiscard]] std::size_t encodedLength(const EntryMatcher& matcher, std::string_view text);

struct StrictEncodeResult {
    std::vector<std::uint8_t> codes; // the bytes of the codes, one after another
    std::optional<ByteCode> lastCode;
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
    std::string character;    // that character, UTF-8
    bool operator==(const UnmatchedCharacter&) const = default;
};

// Where the character at byte `offset` of `text` stands; `line` as given.
[[nodiscard]] UnmatchedCharacter unmatchedAt(std::string_view text, std::size_t offset, std::size_t line = 0);

// "no table entry matches the character 'x' at position 3 of line 2", the
// character shown as `shownCharacter` (the terminal's or window's text for it).
[[nodiscard]] std::string unmatchedCharacterMessage(const UnmatchedCharacter& where,
                                                    std::string_view shownCharacter);

// Character-oriented counting: one code per character, the first code whose
// entry is exactly that character; nothing where no entry is. At most
// `limit` characters.
[[nodiscard]] std::vector<std::optional<ByteCode>>
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
// bytes (whole codes only) and never past the end of the image. Longest match, or one byte per
// character with `characterOriented` (the code whose entry is exactly that
// character). All or nothing: when any character of the whole text has no
// code, nothing is written. Nothing else is written either.
InsertResult insertString(std::span<std::uint8_t> image, std::int64_t start, std::int32_t maxLength,
                         const EntryMatcher& matcher, std::string_view text, bool characterOriented);

// Extract string: the entries of the `maxLength` bytes from `start`, cut at
// the end of the image; a sequence that would run past them is not taken.
[[nodiscard]] std::string extractString(std::span<const std::uint8_t> image, std::int64_t start,
                                        std::int32_t maxLength, const EntryMatcher& table);
// The same through one-byte entries only.
[[nodiscard]] std::string extractString(std::span<const std::uint8_t> image, std::int64_t start,
                                        std::int32_t maxLength, const TableEntries& entries);
