#include "text/tiletable.h"

#include "app/numbers.h"
#include "app/textlines.h"
#include "text/utf8.h"
#include "text/chartable.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace {

struct AddressLine {
    std::optional<std::int32_t> value; // nothing: the line is no number
    bool incompatible = false;
};

// Reload reads line 1 like Open, except that a bad hexadecimal number or a
// negative one marks a file of another format instead of meaning 0.
AddressLine reloadAddress(std::string_view line)
{
    if (line.empty())
        return {0};
    if (line.front() == 'H' || line.front() == 'h') {
        bool error = false;
        const std::int32_t value = HexToInt(line.substr(1), error);
        return error ? AddressLine{std::nullopt, true} : AddressLine{value};
    }
    const std::optional<std::int32_t> value = parseDecimalInteger(line);
    if (value && *value < 0)
        return {std::nullopt, true};
    return {value};
}

// The block number of characters 1-2; nothing when they are not hexadecimal.
// A line of fewer than two characters holds no number (an empty line would
// otherwise read as 00).
std::optional<std::uint8_t> lineCode(std::string_view line)
{
    if (line.size() < 2)
        return std::nullopt;
    bool error = false;
    const std::int32_t value = HexToInt(line.substr(0, 2), error);
    if (error)
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

// Whole bytes: an odd text gets its leading "0" (so "140" is 01 40).
std::string evenLengthText(std::string_view text)
{
    std::string even = text.size() % 2 ? "0" : "";
    even += text;
    return even;
}

// One line after the address. A short line makes the block stand for its
// own number; a longer one gives the text from character 4 on, which Open
// only takes after an "=".
void applyEntryLine(TileTableEntries& entries, std::string_view line, TileTableRules rules)
{
    const std::optional<std::uint8_t> code = lineCode(line);
    if (!code)
        return;
    if (line.size() <= 3)
        entries[*code] = hexText(*code, 2);
    else if (rules == TileTableRules::Reload || line[2] == '=')
        entries[*code] = evenLengthText(line.substr(3));
}

bool isUpperCaseHexDigit(char ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F');
}

// Only such an entry can equal the upper-case hexadecimal text of some bytes.
bool canEverMatch(const std::string& entry)
{
    return !entry.empty() && entry.size() % 2 == 0 && std::all_of(entry.begin(), entry.end(), isUpperCaseHexDigit);
}

} // namespace

TileTableReadResult readTileTableFile(std::string_view bytes, TileTableRules rules)
{
    // Hexadecimal digits read alike in any encoding; only a UTF-8 byte order
    // mark, which editors put before them, is skipped.
    if (bytes.starts_with(kUtf8ByteOrderMark))
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
    std::vector<std::string_view> lines = splitTextLines(bytes);
    if (lines.empty())
        lines.emplace_back(); // an empty file is one empty address line
    TileTableReadResult result;
    const AddressLine address =
        rules == TileTableRules::Open ? AddressLine{tableAddress(lines.front())} : reloadAddress(lines.front());
    if (address.incompatible) {
        result.incompatibleFormat = true;
        result.error = kIncompatibleTileTableMessage;
        return result;
    }
    if (!address.value) {
        result.error = notAnIntegerMessage(lines.front());
        return result;
    }
    TileTableFile table;
    table.address = *address.value;
    table.entries.fill("00");
    for (std::size_t i = 1; i < lines.size(); ++i)
        applyEntryLine(table.entries, lines[i], rules);
    result.table = std::move(table);
    return result;
}

std::string tileTableWriteBackText(std::int32_t tileMapPosition, const TileTableEntries& entries)
{
    // The same address line and "XX=" lines as a character table's write-back.
    return tableWriteBackText(tileMapPosition, entries);
}

std::vector<std::uint8_t> tileSequenceBytes(std::string_view entry)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(entry.size() / 2);
    for (std::size_t i = 0; i + 1 < entry.size(); i += 2) {
        bool error = false;
        const std::int32_t value = HexToInt(entry.substr(i, 2), error);
        bytes.push_back(error ? 0 : static_cast<std::uint8_t>(value));
    }
    return bytes;
}

TileSequenceMatcher::TileSequenceMatcher(const TileTableEntries& entries)
{
    // The plain scan never takes a sequence whose text is shorter than the
    // entry of block 00, whatever that entry holds.
    const std::size_t shortestLength = (entries[0].size() + 1) / 2;
    for (std::size_t code = 0; code < entries.size(); ++code) {
        if (!canEverMatch(entries[code]))
            continue;
        const std::vector<std::uint8_t> sequence = tileSequenceBytes(entries[code]);
        if (sequence.size() < shortestLength)
            continue;
        candidates_.push_back({static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint32_t>(sequence.size()),
                               static_cast<std::uint8_t>(code)});
        pool_.insert(pool_.end(), sequence.begin(), sequence.end());
    }
    // Within a first byte the first candidate that fits is the plain scan's
    // answer: the longest, and the highest number among equally long ones.
    const auto order = [this](const Candidate& c) { return std::tuple(pool_[c.start], -std::int64_t{c.length}, -c.code); };
    std::sort(candidates_.begin(), candidates_.end(),
              [&order](const Candidate& a, const Candidate& b) { return order(a) < order(b); });
    for (const Candidate& c : candidates_)
        ++firstOf_[pool_[c.start] + 1u];
    for (std::size_t b = 1; b < firstOf_.size(); ++b)
        firstOf_[b] += firstOf_[b - 1];
}

TileCode TileSequenceMatcher::codeAt(std::span<const std::uint8_t> bytes, std::size_t offset) const
{
    if (offset >= bytes.size())
        return {};
    const std::uint8_t first = bytes[offset];
    const std::size_t left = bytes.size() - offset;
    for (std::uint32_t i = firstOf_[first]; i < firstOf_[first + 1u]; ++i) {
        const Candidate& c = candidates_[i];
        // The first byte is equal by grouping; a sequence past the end never matches.
        if (c.length <= left && std::memcmp(&pool_[c.start] + 1, &bytes[offset] + 1, c.length - 1) == 0)
            return {c.code, c.length, true};
    }
    return {first, 1, false};
}
