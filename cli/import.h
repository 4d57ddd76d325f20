#pragma once
// The import subcommand: a picture of the tile map encoded back into the ROM file.
#include "cli/args.h"

#include <iosfwd>

// Reads the ROM and the picture, encodes the picture at the position and
// replaces the ROM file atomically. The file keeps its size: what lies past
// its end is not written. Notes go to `out`, errors to `err` (and then the
// file is untouched); returns the process exit code.
int runImport(const ImportCommand& command, std::ostream& out, std::ostream& err);
