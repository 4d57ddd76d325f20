#pragma once
// The decode and encode subcommands: ROM bytes to table text and back.
#include "cli/args.h"

#include <iosfwd>

// Messages go to `err`; each returns the process exit code.
int runDecode(const DecodeCommand& command, std::ostream& out, std::ostream& err);
int runEncode(const EncodeCommand& command, std::ostream& out, std::ostream& err);
