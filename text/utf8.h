#pragma once
// UTF-8 as the text of tables, dumps and typed strings is kept in memory.
// Reading is lenient: a byte that starts no valid sequence counts as one
// character of its own, so 8-bit text handed in as it is never breaks a
// caller that walks characters.
#include <cstddef>
#include <string>
#include <string_view>

struct Utf8Character {
    char32_t value = 0;     // the byte itself for an invalid sequence
    std::size_t length = 0; // bytes it takes; 0 only at the end of the text
    bool valid = false;
};

// The character that starts at `offset`.
[[nodiscard]] Utf8Character utf8CharacterAt(std::string_view text, std::size_t offset);

// How many characters `text` holds, by the lenient rule above.
[[nodiscard]] std::size_t utf8CharacterCount(std::string_view text);

[[nodiscard]] bool isValidUtf8(std::string_view text);

void appendUtf8(std::string& text, char32_t character);

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// How a text file is to be read: as UTF-8 when it starts with the byte order
// mark, or when it is valid UTF-8 and holds at least one byte of 80h or more;
// otherwise in the code page in force. Plain ASCII is both, and stays with
// the code page.
struct TextFileEncoding {
    bool utf8 = false;
    std::size_t byteOrderMark = 0; // bytes of the mark to skip (0 or 3)
};
[[nodiscard]] TextFileEncoding detectTextFileEncoding(std::string_view bytes);
