#include "app/textlines.h"

std::vector<std::string_view> splitTextLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const char ch = text[i];
        if (ch != '\r' && ch != '\n') {
            ++i;
            continue;
        }
        lines.push_back(text.substr(start, i - start));
        i += (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

namespace {
std::string escapedByte(unsigned char byte)
{
    switch (byte) {
    case '\t':
        return "\\t";
    case '\r':
        return "\\r";
    case '\n':
        return "\\n";
    default:
        break;
    }
    if (byte >= 0x20 && byte != 0x7F)
        return std::string(1, static_cast<char>(byte));
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {'\\', 'x', kDigits[byte >> 4], kDigits[byte & 0xF]};
}
} // namespace

std::string quotedForMessage(std::string_view text, std::size_t limit)
{
    static constexpr std::string_view kCut = "...";
    std::string whole;
    for (const char c : text) {
        whole += escapedByte(static_cast<unsigned char>(c));
        if (whole.size() > limit)
            break;
    }
    if (whole.size() <= limit)
        return whole;
    // Whole escapes only: a cut never leaves half of one.
    std::string cut;
    for (const char c : text) {
        const std::string piece = escapedByte(static_cast<unsigned char>(c));
        if (cut.size() + piece.size() + kCut.size() > limit)
            break;
        cut += piece;
    }
    return cut.append(limit >= kCut.size() ? kCut : kCut.substr(0, limit));
}
