#include "text/chartable.h"

#include "app/numbers.h"
#include "app/textlines.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Two hexadecimal characters as a code; nothing when they are not hexadecimal.
std::optional<std::uint8_t> hexCode(std::string_view twoCharacters)
{
    bool error = false;
    const std::int32_t value = HexToInt(twoCharacters, error);
    if (error)
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

std::string addressLine(std::string_view hexAddress)
{
    std::string line = "H";
    line += hexAddress;
    line += kCrLf;
    return line;
}

// The lines "XX=" + entry, codes from 00.
void appendCodeLines(std::string& text, std::span<const std::string> entries)
{
    for (std::size_t code = 0; code < entries.size(); ++code) {
        text += hexText(static_cast<std::uint32_t>(code), 2);
        text += '=';
        text += entries[code];
        text += kCrLf;
    }
}

} // namespace

std::optional<std::int32_t> tableAddress(std::string_view firstLine)
{
    if (firstLine.empty())
        return 0;
    if (firstLine.front() == 'H' || firstLine.front() == 'h') {
        bool error = false;
        const std::int32_t value = HexToInt(firstLine.substr(1), error);
        return error ? 0 : value;
    }
    const std::optional<std::int32_t> value = parseDecimalInteger(firstLine);
    if (!value)
        return std::nullopt;
    return std::max<std::int32_t>(*value, 0);
}

std::string notAnIntegerMessage(std::string_view firstLine)
{
    std::string message = "'";
    message += quotedForMessage(firstLine);
    message += "' is not a valid integer value";
    return message;
}

TableReadResult readTableFile(std::string_view bytes)
{
    std::vector<std::string_view> lines = splitTextLines(bytes);
    if (lines.empty())
        lines.emplace_back(); // an empty file is one empty address line
    TableReadResult result;
    const std::optional<std::int32_t> address = tableAddress(lines.front());
    if (!address) {
        result.error = notAnIntegerMessage(lines.front());
        return result;
    }
    TableFile table;
    table.address = *address;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.size() == 3 && (line[0] == '*' || line[0] == '/')) {
            // Two characters that are not hexadecimal set nothing.
            if (const std::optional<std::uint8_t> code = hexCode(line.substr(1)))
                (line[0] == '*' ? table.lineBreakCode : table.endCode) = *code;
            continue;
        }
        if (line.size() <= 3 || line[2] != '=')
            continue;
        const std::optional<std::uint8_t> code = hexCode(line.substr(0, 2));
        if (!code)
            continue;
        const std::string_view text = line.substr(3);
        if (text.size() > kLongestTableEntry) {
            result.error = "Line ";
            result.error += std::to_string(i + 1) + ": the entry of code " + hexText(*code, 2) +
                            " is longer than " + std::to_string(kLongestTableEntry) + " characters";
            return result;
        }
        table.entries[*code] = std::string(text);
    }
    result.table = std::move(table);
    return result;
}

std::string newTableText(std::string_view hexAddress, std::span<const std::string> entries)
{
    std::string text = addressLine(hexAddress);
    appendCodeLines(text, entries);
    text += "*FF";
    text += kCrLf;
    text += "/00";
    text += kCrLf;
    return text;
}

std::string tableTemplateText(std::int32_t tileMapPosition)
{
    return newTableText(hexText(static_cast<std::uint32_t>(tileMapPosition), 6), TableEntries{});
}

std::string tableWriteBackText(std::int32_t tileMapPosition, const TableEntries& entries)
{
    std::string text = addressLine(hexText(static_cast<std::uint32_t>(tileMapPosition), 6));
    appendCodeLines(text, entries);
    return text;
}

std::string codePlaceholder(std::uint8_t code)
{
    std::string placeholder = "{";
    placeholder += hexText(code, 2);
    placeholder += '}';
    return placeholder;
}

FinishedTable finishTableEntries(TableEntries& entries, std::uint8_t lineBreakCode, std::uint8_t endCode)
{
    for (std::size_t code = 0; code < entries.size(); ++code)
        if (entries[code].empty())
            entries[code] = codePlaceholder(static_cast<std::uint8_t>(code));
    // The end code is set last, so it wins when both codes are the same.
    entries[lineBreakCode] = "{^}";
    entries[endCode] = "{END}";

    FinishedTable finished;
    finished.charSet.set(8);
    finished.charSet.set(13);
    std::size_t longest = 0;
    for (const std::string& entry : entries) {
        for (char ch : entry)
            finished.charSet.set(static_cast<unsigned char>(ch));
        longest = std::max(longest, entry.size());
    }
    // The reader refuses longer entries; the count is 8 bits wide.
    finished.longestEntryLength = static_cast<std::uint8_t>(std::min(longest, kLongestTableEntry));
    return finished;
}

std::string tableFormatsHelpText(const TableHelpTexts& str)
{
    const std::string lf = "\n";
    const std::string cr = "\r";
    const std::string tab = "\t";
    const std::string next = lf + cr + tab; // the usual separator between lines
    return str[0] + lf + cr + lf + cr +
           str[1] + next +
           str[2] + next +
           str[3] + lf + cr +
           str[4] + cr + lf + tab +
           "H020010" + next +
           "0B=shi+" + next +
           "0C=su" + lf + cr + lf + cr +
           str[5] + next +
           str[6] + next +
           str[7] + next +
           str[8] + next +
           str[9] + next +
           str[10] + next +
           str[11] + lf + cr +
           str[12] + cr + lf + tab +
           "H027510" + next +
           "19=01023F" + next +
           "1A=0140";
}
