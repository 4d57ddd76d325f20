#include "search/results.h"

#include "app/numbers.h"
#include "app/textlines.h"
#include "text/chartable.h"

#include <algorithm>
#include <array>

std::string resultLine(std::span<const std::uint8_t> image, std::size_t position, std::string_view word)
{
    std::string line = hexText(static_cast<std::uint32_t>(position), 8);
    line += ' ';
    line += word;
    line += '=';
    const std::size_t from = std::min(position, image.size()); // never past the image
    for (std::uint8_t byte : image.subspan(from, std::min(word.size(), image.size() - from)))
        line += hexText(byte, 2);
    return line;
}

std::string resultFileText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> readResultFile(std::string_view bytes)
{
    const std::vector<std::string_view> lines = splitTextLines(bytes);
    return {lines.begin(), lines.end()};
}

std::optional<std::int32_t> resultLinePosition(std::string_view line)
{
    if (line.empty())
        return std::nullopt;
    const std::size_t blank = line.find(' ');
    bool error = false;
    const std::int32_t position = HexToInt(blank == std::string_view::npos ? "" : line.substr(0, blank), error);
    if (error)
        return std::nullopt;
    return position;
}

namespace {

struct Alphabet {
    unsigned first;
    unsigned length;
};
constexpr std::array<Alphabet, 4> kAlphabets = {{{'A', 26}, {'a', 26}, {0xC0, 32}, {0xE0, 32}}};

const Alphabet* alphabetOf(unsigned char letter)
{
    for (const Alphabet& alphabet : kAlphabets)
        if (letter >= alphabet.first && letter < alphabet.first + alphabet.length)
            return &alphabet;
    return nullptr;
}

// Codes s to s + length - 1 get the alphabet's letters; an alphabet that
// would wrap past FF gets none.
TableEntries alphabetEntries(const Alphabet& alphabet, unsigned char firstLetter, unsigned firstByte)
{
    const unsigned s = (firstByte - (firstLetter - alphabet.first)) % 256;
    const unsigned e = (s + alphabet.length - 1) % 256;
    TableEntries entries;
    for (unsigned code = s; code <= e && s <= e; ++code)
        entries[code] = std::string(1, static_cast<char>(alphabet.first + (code - s)));
    return entries;
}

// The alphabet of the other letter case: A-Z and a-z, C0-DF and E0-FF.
Alphabet otherCase(const Alphabet& alphabet)
{
    const std::size_t index = static_cast<std::size_t>(&alphabet - kAlphabets.data());
    return kAlphabets[index ^ 1];
}

// The other case's alphabet too, laid from its first letter in the word and
// that letter's byte in the hit; codes the first alphabet has are kept.
void addOtherCase(TableEntries& entries, const Alphabet& alphabet, std::string_view word, std::string_view hexBytes)
{
    const Alphabet other = otherCase(alphabet);
    for (std::size_t j = 0; j < word.size(); ++j) {
        const auto letter = static_cast<unsigned char>(word[j]);
        if (letter < other.first || letter >= other.first + other.length)
            continue;
        bool error = false;
        const std::int32_t byte = 2 * j + 2 <= hexBytes.size() ? HexToInt(hexBytes.substr(2 * j, 2), error) : -1;
        if (byte < 0 || error)
            return;
        const TableEntries more = alphabetEntries(other, letter, static_cast<unsigned>(byte));
        for (std::size_t code = 0; code < entries.size(); ++code)
            if (entries[code].empty())
                entries[code] = more[code];
        return;
    }
}

TableFromResult notAResultLine(std::string_view line)
{
    TableFromResult result;
    result.error.append("'").append(quotedForMessage(line)).append("' is not a search result line");
    return result;
}

} // namespace

TableFromResult tableFromResultLine(std::string_view line, std::int32_t tileMapPosition, bool bothCases)
{
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos)
        return notAResultLine(line);
    const std::string_view rest = line.substr(blank + 1);
    const std::size_t equals = rest.find('=');
    if (equals == std::string_view::npos || equals == 0 || rest.size() - equals - 1 < 2)
        return notAResultLine(line);
    bool error = false;
    const std::int32_t firstByte = HexToInt(rest.substr(equals + 1, 2), error);
    if (error)
        return notAResultLine(line);

    const std::string address = hexText(static_cast<std::uint32_t>(tileMapPosition), 8);
    const auto firstLetter = static_cast<unsigned char>(rest.front());
    const Alphabet* alphabet = alphabetOf(firstLetter);
    if (!alphabet)
        return {newTableText(address, {}), {}};
    TableEntries entries = alphabetEntries(*alphabet, firstLetter, static_cast<unsigned>(firstByte));
    if (bothCases)
        addOtherCase(entries, *alphabet, rest.substr(0, equals), rest.substr(equals + 1));
    return {newTableText(address, entries), {}};
}
