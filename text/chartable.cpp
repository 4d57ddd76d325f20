#include "text/chartable.h"

#include "app/numbers.h"
#include "app/textlines.h"
#include "text/utf8.h"

#include <algorithm>
#include <limits>
#include <map>

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

namespace {

// "*XX" .. "*XXXXXXXX" and "/XX" .. "/XXXXXXXX"; "/XX=text" names the end
// code and its text. False when the line is none of these.
bool readCodeLine(std::string_view line, TableFile& table)
{
    if (line.empty() || (line[0] != '*' && line[0] != '/'))
        return false;
    const std::size_t sign = line[0] == '/' ? line.find('=') : std::string_view::npos;
    const std::string_view digits = sign == std::string_view::npos ? line.substr(1) : line.substr(1, sign - 1);
    const std::optional<ByteCode> code = ByteCode::fromHex(digits);
    if (!code)
        return false;
    if (line[0] == '*') {
        table.lineBreakCode = *code;
        return true;
    }
    table.endCode = *code;
    table.endText.reset();
    if (sign != std::string_view::npos && sign + 1 < line.size())
        table.endText = std::string(line.substr(sign + 1));
    return true;
}

std::string tooLongMessage(std::size_t lineNumber, std::string_view codeHex)
{
    return "Line " + std::to_string(lineNumber) + ": the entry of code " + std::string(codeHex) + " is longer than " +
           std::to_string(kLongestTableEntry) + " characters";
}

} // namespace

TableReadResult readTableFile(std::string_view bytes)
{
    std::vector<std::string_view> lines = splitTextLines(bytes);
    if (lines.empty())
        lines.emplace_back(); // an empty file is one empty address line
    TableReadResult result;
    TableFile table;
    const std::optional<std::int32_t> address = tableAddress(lines.front());
    table.address = address.value_or(0);
    table.addressLine = address.has_value();
    std::map<ByteCode, std::string> sequences;
    for (std::size_t i = table.addressLine ? 1 : 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (readCodeLine(line, table)) {
            if (table.endText && utf8CharacterCount(*table.endText) > kLongestTableEntry) {
                result.error = tooLongMessage(i + 1, table.endCode->hex());
                return result;
            }
            continue;
        }
        // "XX=text", or "XXXX=text" .. "XXXXXXXX=text" for a longer code.
        const std::size_t sign = line.find('=', 2);
        if (sign == std::string_view::npos || sign + 1 >= line.size())
            continue;
        const std::optional<ByteCode> code = sign == 2 || sign == 4 || sign == 6 || sign == 8
                                                 ? ByteCode::fromHex(line.substr(0, sign))
                                                 : std::nullopt;
        if (!code)
            continue;
        const std::string_view text = line.substr(sign + 1);
        if (utf8CharacterCount(text) > kLongestTableEntry) {
            result.error = tooLongMessage(i + 1, code->hex());
            return result;
        }
        if (code->size == 1)
            table.entries[code->bytes[0]] = std::string(text);
        else
            sequences[*code] = std::string(text);
    }
    for (auto& [code, text] : sequences)
        table.sequences.push_back({code, std::move(text)});
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

std::string tableWriteBackText(std::int32_t tileMapPosition, const TableEntries& entries,
                               std::span<const SequenceEntry> sequences)
{
    std::string text = addressLine(hexText(static_cast<std::uint32_t>(tileMapPosition), 6));
    appendCodeLines(text, entries);
    for (const SequenceEntry& entry : sequences) {
        text += entry.code.hex();
        text += '=';
        text += entry.text;
        text += kCrLf;
    }
    return text;
}

std::string codePlaceholder(std::uint8_t code)
{
    std::string placeholder = "{";
    placeholder += hexText(code, 2);
    placeholder += '}';
    return placeholder;
}

std::optional<ByteCode> ByteCode::fromHex(std::string_view digits)
{
    if (digits.empty() || digits.size() % 2 != 0 || digits.size() > 2 * kLongestCode)
        return std::nullopt;
    ByteCode code;
    code.size = static_cast<std::uint8_t>(digits.size() / 2);
    for (std::size_t i = 0; i < code.size; ++i) {
        const std::optional<std::uint8_t> byte = hexCode(digits.substr(2 * i, 2));
        if (!byte)
            return std::nullopt;
        code.bytes[i] = *byte;
    }
    return code;
}

std::string ByteCode::hex() const
{
    std::string text;
    for (std::uint8_t byte : view())
        text += hexText(byte, 2);
    return text;
}

bool ByteCode::operator<(const ByteCode& other) const
{
    if (size != other.size)
        return size < other.size;
    return std::lexicographical_compare(view().begin(), view().end(), other.view().begin(), other.view().end());
}

void CharacterSet::set(char32_t ch)
{
    if (ch < 256) {
        low_.set(ch);
        return;
    }
    const auto at = std::lower_bound(higher_.begin(), higher_.end(), ch);
    if (at == higher_.end() || *at != ch)
        higher_.insert(at, ch);
}

bool CharacterSet::test(char32_t ch) const
{
    if (ch < 256)
        return low_.test(ch);
    return std::binary_search(higher_.begin(), higher_.end(), ch);
}

void CharacterSet::add(std::string_view text)
{
    for (std::size_t offset = 0; offset < text.size();) {
        const Utf8Character ch = utf8CharacterAt(text, offset);
        set(ch.value);
        offset += ch.length;
    }
}

FinishedTable finishTable(TableEntries& entries, std::vector<SequenceEntry>& sequences, ByteCode lineBreakCode,
                          ByteCode endCode, std::string_view endText)
{
    for (std::size_t code = 0; code < entries.size(); ++code)
        if (entries[code].empty())
            entries[code] = codePlaceholder(static_cast<std::uint8_t>(code));
    // The end code is set last, so it wins when both codes are the same.
    const auto mark = [&](ByteCode code, std::string_view text) {
        if (code.size == 1) {
            entries[code.bytes[0]] = std::string(text);
            return;
        }
        const auto at = std::lower_bound(sequences.begin(), sequences.end(), code,
                                         [](const SequenceEntry& e, const ByteCode& c) { return e.code < c; });
        if (at != sequences.end() && at->code == code)
            at->text = std::string(text);
        else
            sequences.insert(at, {code, std::string(text)});
    };
    mark(lineBreakCode, kLineBreakMarker);
    mark(endCode, endText.empty() ? kEndMarker : endText);

    FinishedTable finished;
    finished.charSet.set(8);
    finished.charSet.set(13);
    std::size_t longest = 0;
    const auto count = [&](const std::string& entry) {
        finished.charSet.add(entry);
        longest = std::max(longest, utf8CharacterCount(entry));
    };
    std::for_each(entries.begin(), entries.end(), count);
    for (const SequenceEntry& entry : sequences)
        count(entry.text);
    // The reader refuses longer entries; the count is 8 bits wide.
    finished.longestEntryLength = static_cast<std::uint8_t>(std::min(longest, kLongestTableEntry));
    return finished;
}

FinishedTable finishTableEntries(TableEntries& entries, std::uint8_t lineBreakCode, std::uint8_t endCode)
{
    std::vector<SequenceEntry> none;
    return finishTable(entries, none, lineBreakCode, endCode);
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
