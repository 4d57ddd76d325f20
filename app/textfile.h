#pragma once
// Side files (tables, dumps, result files) as text: in memory it is UTF-8,
// on disk UTF-8 when the file is (see detectTextFileEncoding), otherwise the
// code page in force.
#include "app/codepage.h"

#include <string>
#include <string_view>

struct TextOfFile {
    std::string text; // UTF-8, without the byte order mark
    bool utf8 = false; // the file was UTF-8: text written for it is too
};

[[nodiscard]] TextOfFile textOfFile(std::string_view bytes, const CodePage& codePage);

// `text` (UTF-8) as the bytes of a file: as it is for a UTF-8 file (no byte
// order mark), else in the code page; a character the page cannot hold
// becomes '?' and clears `lossless`.
[[nodiscard]] std::string fileBytesOf(std::string_view text, bool utf8, const CodePage& codePage,
                                      bool* lossless = nullptr);

// A result file's bytes in the code page, the form result lines have in
// memory: a UTF-8 file is converted (a letter the page cannot hold becomes
// '?'), any other is taken as it is.
[[nodiscard]] std::string resultFileInCodePage(std::string_view bytes, const CodePage& codePage);
