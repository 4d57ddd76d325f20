#pragma once
// Lines of a side file read as text. CR LF, lone LF and lone CR all end a
// line, so files edited on any system read alike.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A final line end does not start another line; an empty text has no lines.
[[nodiscard]] std::vector<std::string_view> splitTextLines(std::string_view text);

// A piece of a file as an error message quotes it: control bytes written as
// \t, \r, \n or \xHH, and cut to at most `limit` characters ending in "..."
// so that a binary file opened by mistake cannot fill the screen.
[[nodiscard]] std::string quotedForMessage(std::string_view text, std::size_t limit = 60);
