#include "app/languagefile.h"

#include "app/textlines.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// ASCII only: names are ASCII, and other bytes may be half of a character.
char asciiLower(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

std::string asciiLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char ch) { return asciiLower(ch); });
    return lower;
}

std::string_view withoutEnclosingQuotes(std::string_view value)
{
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
        return value.substr(1, value.size() - 2);
    return value;
}

// Cuts UTF-8 text after `maxCharacters` code points.
std::string cutToCharacters(std::string_view utf8, std::size_t maxCharacters)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80;
        if (startsCharacter && ++characters > maxCharacters)
            return std::string(utf8.substr(0, i));
    }
    return std::string(utf8);
}

// Lower-case section name -> lower-case key name -> value, trimmed and unquoted.
using Entries = std::map<std::string, std::string, std::less<>>;
using Sections = std::map<std::string, Entries, std::less<>>;

Sections readSections(std::string_view text)
{
    Sections sections;
    Entries* current = nullptr; // entries before the first section belong nowhere
    for (std::string_view line : splitTextLines(text)) {
        line = trimBlanks(line);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const auto close = line.find(']');
            current = close == std::string_view::npos
                          ? nullptr
                          : &sections[asciiLower(trimBlanks(line.substr(1, close - 1)))];
            continue;
        }
        const auto equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos)
            continue;
        const std::string_view key = trimBlanks(line.substr(0, equals));
        if (!key.empty())
            current->emplace(asciiLower(key), withoutEnclosingQuotes(trimBlanks(line.substr(equals + 1))));
    }
    return sections;
}

const std::string* findEntry(const Sections& sections, std::string_view section, std::string_view key)
{
    const auto foundSection = sections.find(asciiLower(section));
    if (foundSection == sections.end())
        return nullptr;
    const auto foundKey = foundSection->second.find(asciiLower(key));
    return foundKey == foundSection->second.end() ? nullptr : &foundKey->second;
}

std::string_view sectionName(LanguageSection section)
{
    switch (section) {
    case LanguageSection::Variable: return "Variable";
    case LanguageSection::Constant: return "Constant";
    case LanguageSection::TblFormatInfo: return "TblFormatInfo";
    }
    return {};
}

// A byte order mark is no text in either encoding: a file that starts with
// one but is not valid UTF-8 is still read in a code page, without it.
std::string_view withoutByteOrderMark(std::string_view bytes)
{
    return bytes.starts_with(kUtf8ByteOrderMark) ? bytes.substr(kUtf8ByteOrderMark.size()) : bytes;
}

} // namespace

std::string languageFileEncoding(std::string_view bytes, std::string_view codePageInForce)
{
    if (isValidUtf8(bytes))
        return std::string(kUtf8Encoding);
    // Names and the code page are ASCII, so the undecoded bytes tell them.
    // The sections outlive the entry found in them.
    const Sections sections = readSections(withoutByteOrderMark(bytes));
    const std::string* named = findEntry(sections, "KVR_Language", "codepage");
    return (named != nullptr && !named->empty()) ? *named : std::string(codePageInForce);
}

std::optional<LanguageFile> parseLanguageFile(std::string_view bytes, const TextDecoder& decode,
                                              std::string_view codePageInForce)
{
    const std::string encoding = languageFileEncoding(bytes, codePageInForce);
    std::string text;
    if (encoding == kUtf8Encoding) {
        text = withoutByteOrderMark(bytes);
    } else {
        std::optional<std::string> decoded = decode(withoutByteOrderMark(bytes), encoding);
        if (!decoded)
            return std::nullopt;
        text = std::move(*decoded);
    }

    const Sections sections = readSections(text);
    LanguageFile file;
    if (const std::string* name = findEntry(sections, "KVR_Language", "language"))
        file.name = cutToCharacters(*name, kMaxLanguageValueLength);
    for (const LanguageKey& entry : kLanguageKeys) {
        if (const std::string* value = findEntry(sections, sectionName(entry.section), entry.key))
            file.texts.emplace(std::string(entry.key), cutToCharacters(*value, kMaxLanguageValueLength));
    }
    return file;
}

void applyLanguage(LanguageTexts& texts, const LanguageFile& file)
{
    for (const auto& [key, text] : file.texts)
        texts.set(key, text);
}

std::vector<std::string> sortedLanguageFileNames(std::vector<std::string> names)
{
    // Names equal but for case keep a fixed order between them.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string lowerA = asciiLower(a);
        const std::string lowerB = asciiLower(b);
        return lowerA != lowerB ? lowerA < lowerB : a < b;
    });
    return names;
}

int storedLanguageIndex(std::optional<std::string_view> stored, std::size_t fileCount)
{
    if (!stored)
        return 0;
    const std::string_view digits = trimBlanks(*stored);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
        return 0;
    unsigned long long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value > fileCount)
        return 0;
    return static_cast<int>(value);
}
