#include "text/utf8.h"

#include <algorithm>

Utf8Character utf8CharacterAt(std::string_view text, std::size_t offset)
{
    if (offset >= text.size())
        return {};
    const auto lead = static_cast<unsigned char>(text[offset]);
    const Utf8Character single{lead, 1, lead < 0x80};
    if (lead < 0xC2 || lead > 0xF4)
        return single; // ASCII, a continuation byte, an overlong lead or beyond U+10FFFF
    const std::size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (offset + length > text.size())
        return single;
    char32_t value = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[offset + i]);
        if ((next & 0xC0) != 0x80)
            return single;
        value = (value << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    if (overlong || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
        return single;
    return {value, length, true};
}

std::size_t utf8CharacterCount(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t offset = 0; offset < text.size(); offset += utf8CharacterAt(text, offset).length)
        ++count;
    return count;
}

bool isValidUtf8(std::string_view text)
{
    for (std::size_t offset = 0; offset < text.size();) {
        const Utf8Character ch = utf8CharacterAt(text, offset);
        if (!ch.valid)
            return false;
        offset += ch.length;
    }
    return true;
}

void appendUtf8(std::string& text, char32_t ch)
{
    if (ch < 0x80) {
        text += static_cast<char>(ch);
    } else if (ch < 0x800) {
        text += static_cast<char>(0xC0 | (ch >> 6));
        text += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        text += static_cast<char>(0xE0 | (ch >> 12));
        text += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (ch >> 18));
        text += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

TextFileEncoding detectTextFileEncoding(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8ByteOrderMark))
        return {true, kUtf8ByteOrderMark.size()};
    const bool high = std::any_of(bytes.begin(), bytes.end(), [](char ch) { return (ch & 0x80) != 0; });
    return {high && isValidUtf8(bytes), 0};
}
