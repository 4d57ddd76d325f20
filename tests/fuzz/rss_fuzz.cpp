// Search result files (.rss): any bytes. The lines read are written back and
// read again unchanged; every line either names a position that reads back
// or is refused; a table made from a line is a table file that reads back
// with the hit's first letter at the hit's first byte.
#include "fuzzinput.h"

#include "app/numbers.h"
#include "search/results.h"
#include "text/chartable.h"

namespace {

void checkPosition(std::string_view line)
{
    const std::optional<std::int32_t> position = resultLinePosition(line);
    if (!position)
        return;
    // The line as the result window writes it for that position reads the same.
    const std::string_view after = line.substr(std::min(line.find(' '), line.size()));
    const std::string rewritten = hexText(static_cast<std::uint32_t>(*position), 8) + std::string(after);
    if (after.empty())
        FUZZ_CHECK(*position == 0);
    else
        FUZZ_CHECK(resultLinePosition(rewritten) == position);
}

void checkTable(std::string_view line, std::int32_t tileMapPosition)
{
    const TableFromResult made = tableFromResultLine(line, tileMapPosition);
    FUZZ_CHECK(made.text.has_value() == made.error.empty());
    FUZZ_CHECK(made.error.size() <= kLongestQuotingMessage);
    if (!made.text)
        return;
    const TableReadResult table = readTableFile(*made.text);
    FUZZ_CHECK(table.table.has_value());
    FUZZ_CHECK(table.table->address == tileMapPosition);
    FUZZ_CHECK(table.table->lineBreakCode == 0xFF && table.table->endCode == 0x00);
    // Letters stand at consecutive codes, each one more than the last.
    int previous = -1;
    for (int code = 0; code < 256; ++code) {
        const std::string& entry = table.table->entries[static_cast<std::size_t>(code)];
        if (entry.empty())
            continue;
        FUZZ_CHECK(entry.size() == 1);
        if (previous >= 0) {
            FUZZ_CHECK(previous == code - 1);
            FUZZ_CHECK(static_cast<unsigned char>(entry[0]) ==
                       static_cast<unsigned char>(table.table->entries[static_cast<std::size_t>(previous)][0]) + 1);
        }
        previous = code;
    }
    // The hit's first byte, after "=", stands for the word's first letter
    // whenever the table gives letters at all.
    const std::string_view rest = line.substr(line.find(' ') + 1);
    bool error = false;
    const std::int32_t firstByte = HexToInt(rest.substr(rest.find('=') + 1, 2), error);
    FUZZ_CHECK(!error);
    if (previous >= 0)
        FUZZ_CHECK(table.table->entries[static_cast<std::size_t>(firstByte)] == std::string(1, rest[0]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const auto tileMapPosition = input.take<std::int32_t>();
    const std::vector<std::string> lines = readResultFile(input.restText());
    for (const std::string& line : lines)
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(readResultFile(resultFileText(lines)) == lines);
    for (const std::string& line : lines) {
        checkPosition(line);
        checkTable(line, tileMapPosition);
    }
    return 0;
}
