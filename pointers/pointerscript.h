#pragma once
// Pointer scripts: the strings of a pointer table dumped as text, one block
// per entry, and an edited script put back: the strings placed anew into
// free space and every entry pointed at its string.
#include "pointers/pointertable.h"
#include "text/scriptdump.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct PointerDump {
    std::string text;                  // empty when `error` is set
    std::string error;
    std::vector<std::string> warnings; // lines that will read back as something else
};

// "#POINTER n" and the dump of the entry's string, from its target through
// the first end code (or to the end of the image); "#POINTER n = m" for an
// entry whose target an earlier entry m has. Refused when an entry points
// outside the image. The table must be one pointerTableProblem accepts.
[[nodiscard]] PointerDump dumpPointerScript(const PointerTable& table, std::span<const std::uint8_t> image,
                                            const EntryMatcher& entries, ScriptCodes codes);

// The string at `target` through its end code (a sequence of one to four
// bytes), at most `longest` bytes, or to the end of the image without one.
[[nodiscard]] std::span<const std::uint8_t> pointerStringAt(std::span<const std::uint8_t> image, std::size_t target,
                                                            const ByteCode& end,
                                                            std::size_t longest = SIZE_MAX);

// One entry's block in a script.
struct PointerBlock {
    bool present = false;
    std::size_t line = 0;          // of its "#POINTER" line, from 1
    std::optional<std::size_t> sameAs; // "#POINTER n = m"
    std::vector<std::string_view> lines; // its text, comments left out
    std::vector<std::size_t> lineNumbers;
};

struct PointerScript {
    std::vector<PointerBlock> blocks; // one per entry of the table
    std::string error;                // set: nothing else is usable
};

// Reads a script for a table of `entryCount` entries. Every entry needs a
// block; "= m" must name an entry with text of its own.
[[nodiscard]] PointerScript readPointerScript(std::string_view text, std::size_t entryCount);

// A free-space range, both ends included.
struct FreeRange {
    std::int64_t from = 0;
    std::int64_t to = 0;
    bool operator==(const FreeRange&) const = default;
};

// "FROM-TO" in the number forms of the program (H1F00 or decimal).
[[nodiscard]] std::optional<FreeRange> parseFreeRange(std::string_view text);

struct RangeUse {
    FreeRange range;
    std::size_t used = 0;
    std::size_t left = 0;
};

struct PlacedString {
    std::size_t offset = 0;
    std::vector<std::uint8_t> bytes;
};

// Everything an insertion writes, worked out before anything is written.
struct PointerInsertPlan {
    std::vector<PlacedString> strings; // each distinct string once
    std::vector<std::size_t> targets;  // per entry
    std::vector<RangeUse> ranges;
    std::string error; // set: nothing is to be written
};

// Encodes every block by the Replace Script rules (a character no entry
// encodes is refused with its line), stores equal strings once and places
// them into the ranges, never across a bank or an entry's window. All or
// nothing: with an error the plan holds nothing to write.
[[nodiscard]] PointerInsertPlan planPointerInsert(const PointerTable& table, std::size_t imageSize,
                                                  std::string_view script, const EntryMatcher& matcher,
                                                  ScriptCodes codes, const std::vector<FreeRange>& ranges);

// Writes a plan's strings and every entry of the table.
void applyPointerInsert(const PointerTable& table, std::span<std::uint8_t> image, const PointerInsertPlan& plan);

// "used U byte(s), left L byte(s)" per range, one line each.
[[nodiscard]] std::string rangeUseText(const std::vector<RangeUse>& ranges);
