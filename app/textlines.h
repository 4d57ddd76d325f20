#pragma once
// Lines of a side file read as text. CR LF, lone LF and lone CR all end a
// line, so files edited on any system read alike.
#include <string_view>
#include <vector>

// A final line end does not start another line; an empty text has no lines.
[[nodiscard]] std::vector<std::string_view> splitTextLines(std::string_view text);
