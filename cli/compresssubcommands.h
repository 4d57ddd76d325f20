#pragma once
// Registers the compressed-block subcommands and the --compressed-at option
// of the map commands.
#include "cli/args.h"

#include <CLI/CLI.hpp>

#include <optional>

void addCompressSubcommands(CLI::App& app, std::optional<Command>& chosen);

// --compressed-at P: the command works on the block decompressed from P;
// `at` stays -1 without it.
CLI::Option* addCompressedAtOption(CLI::App& sub, std::int32_t& at);
