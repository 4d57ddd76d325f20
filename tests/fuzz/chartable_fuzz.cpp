// Character tables: any bytes as a .tbl file. A table read is written back
// and read again unchanged, and every entry of the finished table encodes
// to one code that decodes to the same text.
#include "fuzzinput.h"

#include "text/chartable.h"
#include "text/stringcodec.h"

namespace {

void checkWriteBack(const TableFile& table)
{
    const TableReadResult again = readTableFile(tableWriteBackText(table.address, table.entries));
    FUZZ_CHECK(again.table && again.error.empty());
    FUZZ_CHECK(again.table->address == table.address);
    FUZZ_CHECK(again.table->entries == table.entries);
    // The write-back leaves the line-break and end codes to the table in force.
    FUZZ_CHECK(!again.table->lineBreakCode && !again.table->endCode);
}

void checkEveryEntryDecodesBack(TableEntries entries, const TableFile& table)
{
    const std::uint8_t lineBreak = table.lineBreakCode.value_or(0xFF);
    const std::uint8_t end = table.endCode.value_or(0x00);
    const FinishedTable finished = finishTableEntries(entries, lineBreak, end);
    FUZZ_CHECK(entries[end] == "{END}");
    const EntryMatcher matcher(entries, finished.longestEntryLength);
    for (int code = 0; code < 256; ++code) {
        const std::string& entry = entries[static_cast<std::size_t>(code)];
        FUZZ_CHECK(!entry.empty() && entry.size() <= kLongestTableEntry);
        for (char ch : entry)
            FUZZ_CHECK(finished.charSet.test(static_cast<unsigned char>(ch)));
        // The entry itself is the longest match at its start: another code
        // may win only with the very same text, and only a lower one.
        const StrictEncodeResult encoded = encodeStrict(matcher, entry);
        FUZZ_CHECK(encoded.ok() && encoded.codes.size() == 1);
        FUZZ_CHECK(encoded.codes[0] <= code);
        FUZZ_CHECK(decodeBytes(entries, encoded.codes) == entry);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TableReadResult read = readTableFile(bytes);
    FUZZ_CHECK(read.table.has_value() == read.error.empty());
    FUZZ_CHECK(read.error.size() <= kLongestQuotingMessage);
    if (!read.table)
        return 0;
    for (const std::string& entry : read.table->entries)
        FUZZ_CHECK(entry.size() <= kLongestTableEntry && entry.find_first_of("\r\n") == std::string::npos);
    checkWriteBack(*read.table);
    checkEveryEntryDecodesBack(read.table->entries, *read.table);
    return 0;
}
