#include "search/searchpattern.h"

#include "app/numbers.h"

#include <array>

std::vector<std::uint8_t> hexPattern(std::string_view digits)
{
    std::string padded = digits.size() % 2 == 0 ? "" : "0";
    padded += digits;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(padded.size() / 2);
    for (std::size_t i = 0; i < padded.size(); i += 2) {
        bool error = false; // the caller has repaired the digits already
        bytes.push_back(static_cast<std::uint8_t>(HexToInt(std::string_view(padded).substr(i, 2), error)));
    }
    return bytes;
}

namespace {

// Per character, the highest code whose entry is exactly that character (-1:
// none). EntryMatcher::singleCharacterCode keeps the lowest, which the string
// bar wants; the search counts from the other end.
std::array<int, 256> highestSingleCharacterCodes(const TableEntries& entries)
{
    std::array<int, 256> codes;
    codes.fill(-1);
    for (std::size_t code = 0; code < entries.size(); ++code)
        if (entries[code].size() == 1)
            codes[static_cast<unsigned char>(entries[code][0])] = static_cast<int>(code);
    return codes;
}

TextPattern oneBytePerCharacterPattern(const TableEntries& entries, std::string_view text)
{
    const std::array<int, 256> codes = highestSingleCharacterCodes(entries);
    TextPattern pattern;
    pattern.bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int code = codes[static_cast<unsigned char>(text[i])];
        if (code < 0) {
            pattern.bytes.clear();
            pattern.characterWithoutCode = i;
            break;
        }
        pattern.bytes.push_back(static_cast<std::uint8_t>(code));
    }
    return pattern;
}

} // namespace

TextPattern tableTextPattern(const EntryMatcher& matcher, std::string_view text, bool oneBytePerCharacter)
{
    if (oneBytePerCharacter)
        return oneBytePerCharacterPattern(matcher.entries(), text);
    return {encodeString(matcher, text), std::nullopt};
}
