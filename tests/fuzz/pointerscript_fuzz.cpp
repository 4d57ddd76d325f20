// Pointer scripts: any table options, image, character table and script.
// An insertion is all or nothing and never writes outside its ranges and the
// pointer table; what it writes reads back as planned. The dump of a table
// reads back as a script, and the options file round-trips.
#include "fuzzinput.h"

#include "pointers/pointeroptions.h"
#include "pointers/pointerscript.h"

#include <algorithm>
#include <vector>

namespace {

struct Table {
    TableEntries entries;
    EntryMatcher matcher;
    ScriptCodes codes;
};

Table characterTable(std::string_view text)
{
    Table t;
    const TableReadResult read = readTableFile(text);
    if (read.table) {
        t.entries = read.table->entries;
        t.codes.lineBreak = read.table->lineBreakCode.value_or(0xFF);
        t.codes.end = read.table->endCode.value_or(0x00);
    }
    const FinishedTable finished = finishTableEntries(t.entries, t.codes.lineBreak.bytes[0], t.codes.end.bytes[0]);
    t.matcher = EntryMatcher(t.entries, finished.longestEntryLength);
    return t;
}

PointerTable pointerTable(FuzzInput& input)
{
    PointerTable t;
    t.position = input.inRange(-2, 300);
    t.count = input.inRange(0, 40);
    t.size = input.inRange(1, 5);
    t.stride = input.inRange(0, 6);
    t.bigEndian = input.flag();
    t.map = static_cast<PointerMap>(input.inRange(0, 3));
    t.base = input.flag() ? input.take<std::int32_t>() : input.inRange(-300, 300);
    t.header = input.inRange(0, 600);
    if (input.flag())
        t.bank = input.inRange(-1, 300);
    return t;
}

bool inside(std::size_t at, const std::vector<FreeRange>& ranges, const PointerTable& t)
{
    const auto a = static_cast<std::int64_t>(at);
    if (a >= t.position && a < t.position + (t.count - 1) * t.step() + t.size)
        return true;
    return std::any_of(ranges.begin(), ranges.end(), [a](const FreeRange& r) { return a >= r.from && a <= r.to; });
}

void checkInsert(const PointerTable& t, const Table& chars, std::vector<std::uint8_t> image,
                 const std::vector<FreeRange>& ranges, std::string_view script)
{
    const std::vector<std::uint8_t> before = image;
    const PointerInsertPlan plan = planPointerInsert(t, image.size(), script, chars.matcher, chars.codes, ranges);
    applyPointerInsert(t, image, plan);
    if (!plan.error.empty()) {
        FUZZ_CHECK(plan.strings.empty() && plan.targets.empty());
        FUZZ_CHECK(image == before);
        return;
    }
    for (std::size_t at = 0; at < image.size(); ++at)
        FUZZ_CHECK(image[at] == before[at] || inside(at, ranges, t));
    for (const PlacedString& s : plan.strings) {
        FUZZ_CHECK(!s.bytes.empty());
        FUZZ_CHECK(std::any_of(ranges.begin(), ranges.end(), [&s](const FreeRange& r) {
            return static_cast<std::int64_t>(s.offset) >= r.from &&
                   static_cast<std::int64_t>(s.offset + s.bytes.size()) - 1 <= r.to;
        }));
        FUZZ_CHECK(stringPlaceable(t, s.offset, s.bytes.size(), image.size()));
        FUZZ_CHECK(std::equal(s.bytes.begin(), s.bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(s.offset)));
    }
    const std::vector<PointerEntry> entries = readPointerTable(t, image);
    FUZZ_CHECK(entries.size() == plan.targets.size());
    for (const PointerEntry& e : entries)
        FUZZ_CHECK(e.target == plan.targets[e.index]);
    for (const RangeUse& use : plan.ranges)
        FUZZ_CHECK(use.used + use.left == static_cast<std::size_t>(use.range.to - use.range.from + 1));
}

void checkDump(const PointerTable& t, const Table& chars, const std::vector<std::uint8_t>& image)
{
    if (!pointerTableProblem(t, image.size()).empty())
        return;
    const PointerDump dump = dumpPointerScript(t, image, chars.matcher, chars.codes);
    FUZZ_CHECK(dump.error.empty() != dump.text.empty());
    if (dump.error.empty() && dump.warnings.empty())
        FUZZ_CHECK(readPointerScript(dump.text, static_cast<std::size_t>(t.count)).error.empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const PointerTable table = pointerTable(input);
    std::vector<FreeRange> ranges(static_cast<std::size_t>(input.inRange(0, 3)));
    for (FreeRange& r : ranges) {
        r.from = input.inRange(-2, 1100);
        r.to = r.from + input.inRange(-2, 300);
    }
    const std::string_view tableText = input.text(input.take<std::uint16_t>() % 2048);
    const std::span<const std::uint8_t> imageBytes = input.bytes(input.take<std::uint16_t>() % 1100);
    const std::string_view script = input.restText();

    const Table chars = characterTable(tableText);
    const std::vector<std::uint8_t> image(imageBytes.begin(), imageBytes.end());
    checkInsert(table, chars, image, ranges, script);
    checkDump(table, chars, image);

    const auto count = static_cast<std::size_t>(input.inRange(0, 50));
    const PointerScript read = readPointerScript(script, count);
    FUZZ_CHECK(read.error.empty() ? read.blocks.size() == count : read.blocks.empty());
    const PointerOptions options = readPointerOptions(script);
    FUZZ_CHECK(readPointerOptions(pointerOptionsText(options)) == options);
    return 0;
}
