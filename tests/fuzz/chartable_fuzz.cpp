// Character tables: any bytes as a .tbl file, 8-bit, UTF-8 or cut-off UTF-8,
// with codes of one to four bytes. A table read is written back and read
// again unchanged, and every entry of the finished table encodes to one code
// that decodes to the same text.
#include "fuzzinput.h"

#include "text/chartable.h"
#include "text/stringcodec.h"
#include "text/utf8.h"

namespace {

void checkWriteBack(const TableFile& table)
{
    const TableReadResult again = readTableFile(tableWriteBackText(table.address, table.entries, table.sequences));
    FUZZ_CHECK(again.table && again.error.empty());
    FUZZ_CHECK(again.table->address == table.address);
    FUZZ_CHECK(again.table->entries == table.entries);
    FUZZ_CHECK(again.table->sequences == table.sequences);
    // The write-back leaves the line-break and end codes to the table in force.
    FUZZ_CHECK(!again.table->lineBreakCode && !again.table->endCode);
}

void checkEveryEntryDecodesBack(TableEntries entries, std::vector<SequenceEntry> sequences, const TableFile& table)
{
    const ByteCode lineBreak = table.lineBreakCode.value_or(0xFF);
    const ByteCode end = table.endCode.value_or(0x00);
    const FinishedTable finished =
        finishTable(entries, sequences, lineBreak, end, table.endText.value_or(std::string(kEndMarker)));
    const EntryMatcher matcher(entries, finished.longestEntryLength, sequences);
    std::vector<SequenceEntry> all(sequences);
    for (int code = 0; code < 256; ++code)
        all.push_back({static_cast<std::uint8_t>(code), entries[static_cast<std::size_t>(code)]});
    for (const SequenceEntry& entry : all) {
        FUZZ_CHECK(!entry.text.empty() && utf8CharacterCount(entry.text) <= kLongestTableEntry);
        for (std::size_t at = 0; at < entry.text.size();) {
            const Utf8Character ch = utf8CharacterAt(entry.text, at);
            FUZZ_CHECK(ch.length > 0 && finished.charSet.test(ch.value));
            at += ch.length;
        }
        // The entry itself is the longest match at its start: another code
        // may win only with the very same text.
        const StrictEncodeResult encoded = encodeStrict(matcher, entry.text);
        FUZZ_CHECK(encoded.ok() && encoded.lastCode && encoded.codes.size() == encoded.lastCode->size);
        FUZZ_CHECK(decodeBytes(matcher, encoded.codes) == entry.text);
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
        FUZZ_CHECK(utf8CharacterCount(entry) <= kLongestTableEntry && entry.find_first_of("\r\n") == std::string::npos);
    for (const SequenceEntry& entry : read.table->sequences)
        FUZZ_CHECK(entry.code.size >= 2 && entry.code.size <= kLongestCode && !entry.text.empty());
    // Reading as UTF-8 is decided on the whole file; walking it by
    // characters always moves on and never leaves it.
    const TextFileEncoding encoding = detectTextFileEncoding(bytes);
    FUZZ_CHECK(!encoding.utf8 || encoding.byteOrderMark > 0 || isValidUtf8(bytes));
    FUZZ_CHECK(utf8CharacterCount(bytes) <= bytes.size());
    checkWriteBack(*read.table);
    checkEveryEntryDecodesBack(read.table->entries, read.table->sequences, *read.table);
    return 0;
}
