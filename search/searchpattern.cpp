#include "search/searchpattern.h"

#include "app/numbers.h"

#include "text/utf8.h"

#include <unordered_map>

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

// Per character, the highest one-byte code whose entry is exactly that
// character, else the highest longer code. EntryMatcher::singleCharacterCode
// keeps the lowest, which the string bar wants; the search counts from the
// other end.
std::unordered_map<char32_t, ByteCode> highestSingleCharacterCodes(const EntryMatcher& matcher)
{
    std::unordered_map<char32_t, ByteCode> codes;
    const auto take = [&](const std::string& entry, ByteCode code) {
        const Utf8Character ch = utf8CharacterAt(entry, 0);
        if (!entry.empty() && ch.length == entry.size())
            codes[ch.value] = code;
    };
    for (auto it = matcher.sequences().rbegin(); it != matcher.sequences().rend(); ++it)
        take(it->text, it->code);
    for (std::size_t code = 0; code < matcher.entries().size(); ++code)
        take(matcher.entries()[code], static_cast<std::uint8_t>(code));
    return codes;
}

TextPattern oneBytePerCharacterPattern(const EntryMatcher& matcher, std::string_view text)
{
    const std::unordered_map<char32_t, ByteCode> codes = highestSingleCharacterCodes(matcher);
    TextPattern pattern;
    pattern.bytes.reserve(text.size());
    for (std::size_t offset = 0, i = 0; offset < text.size(); ++i) {
        const Utf8Character ch = utf8CharacterAt(text, offset);
        const auto code = codes.find(ch.value);
        if (code == codes.end()) {
            pattern.bytes.clear();
            pattern.characterWithoutCode = i;
            break;
        }
        pattern.bytes.insert(pattern.bytes.end(), code->second.view().begin(), code->second.view().end());
        offset += ch.length;
    }
    return pattern;
}

} // namespace

TextPattern tableTextPattern(const EntryMatcher& matcher, std::string_view text, bool oneBytePerCharacter)
{
    if (oneBytePerCharacter)
        return oneBytePerCharacterPattern(matcher, text);
    return {encodeString(matcher, text), std::nullopt};
}
