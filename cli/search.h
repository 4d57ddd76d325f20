#pragma once
// The search and make-table subcommands: the search dialog and the result
// window's Create Table from the command line.
#include "cli/searchcommands.h"

#include <iosfwd>

// Each returns the process exit code; messages go to `err`.
int runSearch(const SearchCommand& command, std::ostream& out, std::ostream& err);
int runMakeTable(const MakeTableCommand& command, std::ostream& out, std::ostream& err);
