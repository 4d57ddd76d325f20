#pragma once
// The script subcommands' arguments.
#include <cstdint>
#include <string>

// Writes the dump Extract Script writes for a range (both ends included).
struct DumpCommand {
    std::string romPath;
    std::string tablePath;
    std::int32_t from = 0;
    std::int32_t to = 0;
    std::string outputPath; // empty: standard output
    std::string codePage = "windows-1252";
    bool operator==(const DumpCommand&) const = default;
};

// Writes a dump into the ROM file as Replace Script does.
struct InsertCommand {
    std::string romPath;
    std::string dumpPath;
    std::string tablePath;
    std::int32_t at = 0;
    std::string codePage = "windows-1252";
    bool operator==(const InsertCommand&) const = default;
};
