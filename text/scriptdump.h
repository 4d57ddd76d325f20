#pragma once
// Whole scripts as text files: a range of the image dumped through the
// character table, and an edited dump encoded back. Line breaks and string
// ends of the game become the dump's line structure and "{END}" markers.
#include "text/stringcodec.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The two codes with a fixed role in a script; either may be a sequence.
struct ScriptCodes {
    ByteCode lineBreak = 0xFF;
    ByteCode end = 0x00;
};

// Which bytes Extract Script covers for a typed start and end (end included).
struct ExtractRange {
    bool endBeforeStart = false; // the command refuses: "Error!"
    std::size_t offset = 0;
    std::size_t count = 0;       // bytes covered; 0 when the range lies outside the image
};

// The end is cut to the last byte of the image and a negative start to 0;
// a start past the end covers nothing.
[[nodiscard]] ExtractRange scriptExtractRange(std::int32_t start, std::int32_t end, std::size_t imageSize);

// The dump of `bytes`, lines ended by CR LF. The line-break code ends a line,
// the end code ends it with "{END}" and adds an empty line, any other code
// adds its entry; the pending line is always finished at the last byte.
// When both codes are the same, the code is a line break.
[[nodiscard]] std::string scriptDumpText(const TableEntries& entries, ScriptCodes codes,
                                         std::span<const std::uint8_t> bytes);
// The same through the whole table: each code is the longest sequence with
// an entry, and the end code shows its own entry ("{END}" or the table's
// end text). A sequence never runs past `bytes`.
[[nodiscard]] std::string scriptDumpText(const EntryMatcher& table, ScriptCodes codes,
                                         std::span<const std::uint8_t> bytes);

struct ScriptEncodeResult {
    std::vector<std::uint8_t> bytes;             // empty when a character is unmatched
    std::optional<UnmatchedCharacter> unmatched; // the first character no entry encodes
};

// The bytes Replace Script writes for the lines of a dump. Each line is
// encoded by longest match and followed by the line-break code, unless the
// last byte so far is the end code: then a non-empty line gets nothing more,
// and an empty one gets the line-break code only when it is the first line
// or follows another empty line. A character no entry matches stops the
// encoding: the script is written whole or not at all.
// `endCodeBeforeStart`: whether the bytes just before the script start are the
// end code (it counts as the last byte so far before anything is written).
[[nodiscard]] ScriptEncodeResult encodeScriptLines(const EntryMatcher& matcher, ScriptCodes codes,
                                                   const std::vector<std::string_view>& lines,
                                                   bool endCodeBeforeStart);

struct ReplaceResult {
    bool written = false;
    std::size_t needed = 0;    // bytes the script takes (0 when it cannot be encoded)
    std::size_t available = 0; // bytes from the start to the end of the image
    std::optional<UnmatchedCharacter> unmatched; // why it cannot be encoded
};

// Replace Script: encodes the dump file's text and writes it from `start`,
// or writes nothing at all when a character cannot be encoded or the script
// does not fit inside the image.
ReplaceResult replaceScript(std::span<std::uint8_t> image, std::int64_t start, const EntryMatcher& matcher,
                            ScriptCodes codes, std::string_view dumpFile);

// Why a replacement was refused, for the user.
[[nodiscard]] std::string scriptDoesNotFitMessage(std::int64_t start, const ReplaceResult& result);
