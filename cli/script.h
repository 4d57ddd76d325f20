#pragma once
// The dump and insert subcommands: whole scripts out of and into a ROM file,
// byte for byte as Extract Script and Replace Script.
#include "cli/scriptcommands.h"

#include <iosfwd>

// Each returns the process exit code; messages go to `err`.
int runDump(const DumpCommand& command, std::ostream& out, std::ostream& err);
int runInsert(const InsertCommand& command, std::ostream& out, std::ostream& err);
