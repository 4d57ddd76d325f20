#pragma once
// Files as quarn-tool's commands read them.
#include "app/fileio.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// A whole file; nothing after "quarn-tool: cannot read WHAT 'PATH': why" on `err`.
[[nodiscard]] std::optional<RomBytes> readToolFile(const std::string& path, const char* what,
                                                                    std::ostream& err,
                                                                    OpenMode mode = OpenMode::ReadOnly);

// The ROM as the program holds it after Open: a short file is grown with
// zero bytes to the smallest image size.
[[nodiscard]] std::optional<RomBytes> readRomAsOpened(const std::string& path, std::ostream& err);
