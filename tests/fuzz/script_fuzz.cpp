// Script dumps: any table, image and dump text. Replace Script writes the
// encoded lines whole or not at all, never outside the image; Extract Script
// covers only bytes of the image.
#include "fuzzinput.h"

#include "app/textlines.h"
#include "text/chartable.h"
#include "text/scriptdump.h"
#include "text/utf8.h"

#include <algorithm>
#include <vector>

namespace {

struct Script {
    TableEntries entries;
    std::vector<SequenceEntry> sequences;
    EntryMatcher matcher;
    ScriptCodes codes;
};

Script scriptTable(std::string_view tableText, ScriptCodes fallback)
{
    Script script;
    const TableReadResult read = readTableFile(tableText);
    std::string endText(kEndMarker);
    if (read.table) {
        script.entries = read.table->entries;
        script.sequences = read.table->sequences;
        endText = read.table->endText.value_or(endText);
    }
    script.codes.lineBreak = read.table ? read.table->lineBreakCode.value_or(fallback.lineBreak) : fallback.lineBreak;
    script.codes.end = read.table ? read.table->endCode.value_or(fallback.end) : fallback.end;
    const FinishedTable finished =
        finishTable(script.entries, script.sequences, script.codes.lineBreak, script.codes.end, endText);
    script.matcher = EntryMatcher(script.entries, finished.longestEntryLength, script.sequences);
    return script;
}

void checkReplace(const Script& script, std::vector<std::uint8_t> image, std::int64_t start, std::string_view dump)
{
    const std::vector<std::uint8_t> before = image;
    const ReplaceResult result = replaceScript(image, start, script.matcher, script.codes, dump);
    FUZZ_CHECK(image.size() == before.size());
    const bool startInside = start >= 0 && start < static_cast<std::int64_t>(image.size());
    FUZZ_CHECK(result.available == (startInside ? image.size() - static_cast<std::size_t>(start) : 0));
    FUZZ_CHECK(result.written == (!result.unmatched && startInside && result.needed <= result.available));
    if (!result.written) {
        FUZZ_CHECK(image == before);
        if (result.unmatched) {
            // The reported character is really in the dump, on that line.
            const std::vector<std::string_view> lines = splitTextLines(dump);
            FUZZ_CHECK(result.unmatched->line >= 1 && result.unmatched->line <= lines.size());
            const std::string_view line = lines[result.unmatched->line - 1];
            FUZZ_CHECK(result.unmatched->position >= 1 && result.unmatched->position <= utf8CharacterCount(line));
            std::size_t at = 0;
            for (std::size_t i = 1; i < result.unmatched->position; ++i)
                at += utf8CharacterAt(line, at).length;
            FUZZ_CHECK(line.substr(at).starts_with(result.unmatched->character));
            FUZZ_CHECK(!script.matcher.match(line, at));
        } else {
            FUZZ_CHECK(scriptDoesNotFitMessage(start, result).find("Nothing was written") != std::string::npos);
        }
        return;
    }
    const auto offset = static_cast<std::size_t>(start);
    const std::span<const std::uint8_t> endCode = script.codes.end.view();
    const bool endBefore = offset >= endCode.size() &&
                           std::equal(endCode.begin(), endCode.end(), before.begin() + static_cast<std::ptrdiff_t>(offset - endCode.size()));
    const std::vector<std::uint8_t> expected =
        encodeScriptLines(script.matcher, script.codes, splitTextLines(dump), endBefore).bytes;
    FUZZ_CHECK(expected.size() == result.needed);
    FUZZ_CHECK(std::equal(expected.begin(), expected.end(), image.begin() + static_cast<std::ptrdiff_t>(offset)));
    FUZZ_CHECK(std::equal(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(offset), image.begin()));
    const std::size_t after = offset + expected.size();
    FUZZ_CHECK(std::equal(before.begin() + static_cast<std::ptrdiff_t>(after), before.end(),
                          image.begin() + static_cast<std::ptrdiff_t>(after)));
}

void checkExtract(const Script& script, const std::vector<std::uint8_t>& image, std::int32_t start, std::int32_t end)
{
    const ExtractRange range = scriptExtractRange(start, end, image.size());
    FUZZ_CHECK(range.endBeforeStart == (end < start));
    FUZZ_CHECK(range.count == 0 || range.offset + range.count <= image.size());
    if (range.count == 0)
        return;
    FUZZ_CHECK(static_cast<std::int64_t>(range.offset) >= start &&
               static_cast<std::int64_t>(range.offset + range.count - 1) <= end);
    const std::span<const std::uint8_t> bytes(image.data() + range.offset, range.count);
    const std::string dump = scriptDumpText(script.matcher, script.codes, bytes);
    FUZZ_CHECK(dump.size() >= 2 && dump.ends_with("\r\n"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const ScriptCodes fallback{input.take<std::uint8_t>(), input.take<std::uint8_t>()};
    // Mostly near the image; sometimes anywhere at all.
    std::int64_t start = input.take<std::int16_t>();
    if (input.flag())
        start = input.take<std::int64_t>();
    const auto end = input.take<std::int32_t>();
    const std::string_view tableText = input.text(input.take<std::uint16_t>() % 4096);
    const std::span<const std::uint8_t> imageBytes = input.bytes(input.take<std::uint16_t>() % 1024);
    const std::string_view dump = input.restText();

    const Script script = scriptTable(tableText, fallback);
    const std::vector<std::uint8_t> image(imageBytes.begin(), imageBytes.end());
    checkReplace(script, image, start, dump);
    checkExtract(script, image, static_cast<std::int32_t>(start), end);
    return 0;
}
