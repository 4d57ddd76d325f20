#pragma once
// A character table for the text subcommands, read and finished as Open
// Table does with a ROM loaded, and the code page its texts are shown in.
#include "app/codepage.h"
#include "text/chartable.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

struct LoadedTable {
    TableEntries entries;
    FinishedTable finished;
    std::uint8_t lineBreakCode = 0xFF;
    std::uint8_t endCode = 0x00;
};

// Failures are reported on `err` ("quarn-tool: PATH: why").
[[nodiscard]] std::optional<LoadedTable> loadTable(const std::string& path, const CodePage& codePage,
                                                   std::ostream& err);
[[nodiscard]] std::optional<CodePage> codePageFor(const std::string& name, std::ostream& err);
// Typed text (the terminal's) as 8-bit text of the code page; nothing after
// a message naming the first character the code page cannot hold, and where
// it stands in `what` ("text", "word").
[[nodiscard]] std::optional<std::string> inCodePage(const CodePage& codePage, const std::string& typed,
                                                    const char* what, std::ostream& err);
// 8-bit table text as the terminal's text.
std::string printable(const CodePage& codePage, std::string_view bytes);
