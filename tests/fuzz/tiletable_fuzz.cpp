// Tile tables: any bytes as a table file, read as Open and as Reload do. A
// table read is written back and read again unchanged, and the indexed
// lookup agrees with the plain scan at every offset of some bytes.
#include "fuzzinput.h"

#include "support/tilesequence_reference.h"
#include "text/tiletable.h"

#include <vector>

namespace {

void checkWriteBack(const TileTableFile& table)
{
    const std::string text = tileTableWriteBackText(table.address, table.entries);
    for (TileTableRules rules : {TileTableRules::Open, TileTableRules::Reload}) {
        const TileTableReadResult again = readTileTableFile(text, rules);
        FUZZ_CHECK(again.table && !again.incompatibleFormat);
        FUZZ_CHECK(again.table->address == table.address);
        FUZZ_CHECK(again.table->entries == table.entries);
    }
}

void checkLookup(const TileTableEntries& entries, std::span<const std::uint8_t> bytes)
{
    const TileSequenceMatcher matcher(entries);
    for (std::size_t offset = 0; offset < bytes.size(); ++offset) {
        const TileCode code = matcher.codeAt(bytes, offset);
        const TileCode expected = referenceCodeAt(entries, bytes, offset);
        FUZZ_CHECK(code.code == expected.code && code.length == expected.length && code.matched == expected.matched);
        FUZZ_CHECK(code.length >= 1 && offset + code.length <= bytes.size());
        if (code.matched)
            FUZZ_CHECK(tileSequenceBytes(entries[code.code]) ==
                       std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                                                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + code.length)));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    // The first bytes are also the bytes the lookup runs over.
    const std::span<const std::uint8_t> scanned(data, std::min<std::size_t>(size, 64));
    const TileTableRules rules = input.flag() ? TileTableRules::Reload : TileTableRules::Open;
    const TileTableReadResult read = readTileTableFile(input.restText(), rules);
    FUZZ_CHECK(read.table.has_value() == read.error.empty());
    FUZZ_CHECK(read.error.size() <= kLongestQuotingMessage);
    FUZZ_CHECK(!read.incompatibleFormat || (rules == TileTableRules::Reload && !read.table));
    if (!read.table)
        return 0;
    for (const std::string& entry : read.table->entries)
        FUZZ_CHECK(!entry.empty() && entry.size() % 2 == 0);
    checkWriteBack(*read.table);
    checkLookup(read.table->entries, scanned);
    return 0;
}
