#pragma once
// quarn-tool's command line on CLI11: every subcommand with its options.
#include "cli/args.h"

#include <CLI/CLI.hpp>

#include <optional>

// Registers every subcommand on `app`. The subcommand the user picks stores
// its parsed command in `chosen` once all its options are read.
void addSubcommands(CLI::App& app, std::optional<Command>& chosen);
