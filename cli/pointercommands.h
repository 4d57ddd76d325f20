#pragma once
// The pointer table subcommands: pointers, find-pointers, dump-pointers and
// insert-pointers. Their arguments, their registration on the command line
// (cli/pointerargs.cpp) and their runner (cli/pointercommands.cpp).
#include "pointers/pointerscript.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

struct PointerCommand {
    enum class Kind { List, Find, Dump, Insert };
    Kind kind = Kind::List;
    std::string romPath;
    std::string tablePath;  // the character table; List without one prints no text
    std::string scriptPath; // Insert
    std::string outputPath; // Dump; empty: standard output
    std::string codePage = "windows-1252";
    PointerTable table;
    std::int64_t to = 0;    // Find
    std::vector<FreeRange> spaces; // Insert
    bool operator==(const PointerCommand&) const = default;
};

// Registers the four subcommands; the one picked is handed to `chosen`.
template <typename Command>
void addPointerCommands(CLI::App& app, std::optional<Command>& chosen);

// The process exit code; results on `out`, messages on `err`.
int runPointerCommand(const PointerCommand& command, std::ostream& out, std::ostream& err);
