#pragma once
// The search subcommands' arguments.
#include <cstdint>
#include <string>

// Every hit of one search: hexadecimal digits, table text or a relative
// search word (exactly one of them).
struct SearchCommand {
    enum class Mode { Hex, Text, Relative };
    std::string romPath;
    Mode mode = Mode::Hex;
    std::string pattern;   // the digits, the text or the word as typed
    std::string tablePath; // for table text
    bool oneBytePerCharacter = false;
    int interval = 0;
    std::int32_t from = 0; // forward searches: hits after this position
    std::string codePage = "windows-1252";
    bool operator==(const SearchCommand&) const = default;
};

// A first character table made from one line of a result file.
struct MakeTableCommand {
    std::string resultsPath;
    std::int32_t line = 1; // 1-based
    std::string outputPath;
    std::int32_t position = 0; // the tile map position of the table's first line
    bool bothCases = false;    // the other letter case's alphabet too
    bool operator==(const MakeTableCommand&) const = default;
};
