#pragma once
// A character table for the text subcommands, read and finished as Open
// Table does with a ROM loaded, and the code page for files without UTF-8.
#include "app/codepage.h"
#include "text/chartable.h"
#include "text/stringcodec.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

struct LoadedTable {
    TableEntries entries; // UTF-8
    std::vector<SequenceEntry> sequences;
    FinishedTable finished;
    ByteCode lineBreakCode = 0xFF;
    ByteCode endCode = 0x00;
    bool utf8 = false;    // the file was UTF-8, so dumps made with it are too
    EntryMatcher matcher; // over the finished table
};

// Failures are reported on `err` ("quarn-tool: PATH: why").
[[nodiscard]] std::optional<LoadedTable> loadTable(const std::string& path, const CodePage& codePage,
                                                   std::ostream& err);
[[nodiscard]] std::optional<CodePage> codePageFor(const std::string& name, std::ostream& err);
// Typed text (the terminal's) as bytes of the code page; nothing after a
// message naming the first character the code page cannot hold, and where
// it stands in `what` ("word").
[[nodiscard]] std::optional<std::string> inCodePage(const CodePage& codePage, const std::string& typed,
                                                    const char* what, std::ostream& err);
// Typed text (the terminal's) as UTF-8, the form table texts have in memory.
[[nodiscard]] std::string typedText(const std::string& typed);
// Table text (UTF-8) as the terminal's text.
std::string printable(const CodePage& codePage, std::string_view text);
