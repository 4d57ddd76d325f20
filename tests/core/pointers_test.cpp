#include "pointers/pointerscript.h"

#include <gtest/gtest.h>

#include "app/textlines.h"

#include <random>
#include <set>

namespace {

PointerTable tableOf(PointerMap map, int size = 2, std::int64_t header = 0, std::int64_t base = 0)
{
    PointerTable t;
    t.map = map;
    t.size = size;
    t.header = header;
    t.base = base;
    return t;
}

TEST(PointerMapping, OffsetsAndValuesBothWays)
{
    struct Case {
        PointerMap map;
        std::int64_t header, base, offset;
        std::uint32_t value;
    };
    const Case cases[] = {
        {PointerMap::Linear, 0, 0, 0x1234, 0x1234},
        {PointerMap::Linear, 0, 0x7FF0, 0x10, 0x8000},
        {PointerMap::Linear, 0, -0x10, 0x10, 0},
        {PointerMap::LoRom, 0, 0, 0, 0x008000},
        {PointerMap::LoRom, 0, 0, 0x7FFF, 0x00FFFF},
        {PointerMap::LoRom, 0, 0, 0x8000, 0x018000},
        {PointerMap::LoRom, 0x200, 0, 0x8200, 0x018000},
        {PointerMap::HiRom, 0, 0, 0, 0xC00000},
        {PointerMap::HiRom, 0, 0, 0x1FFFF, 0xC1FFFF},
        {PointerMap::GameBoy, 0, 0, 0x3FFF, 0x3FFF},
        {PointerMap::GameBoy, 0, 0, 0x4000, 0x014000},
        {PointerMap::GameBoy, 0, 0, 0x7FFF, 0x017FFF},
        {PointerMap::GameBoy, 0, 0, 0x8000, 0x024000},
    };
    for (const Case& c : cases) {
        const PointerTable t = tableOf(c.map, 4, c.header, c.base);
        SCOPED_TRACE(std::string(pointerMapName(c.map)) + " offset " + std::to_string(c.offset));
        EXPECT_EQ(offsetToValue(t, c.offset), c.value);
        EXPECT_EQ(valueToOffset(t, c.value, 0x100000), static_cast<std::size_t>(c.offset));
    }
}

TEST(PointerMapping, ValuesThatMapNowhere)
{
    EXPECT_FALSE(offsetToValue(tableOf(PointerMap::LoRom, 2, 0x200), 0x1FF));       // inside the header
    EXPECT_FALSE(offsetToValue(tableOf(PointerMap::Linear, 2, 0, -0x20), 0x10));    // negative value
    EXPECT_FALSE(valueToOffset(tableOf(PointerMap::LoRom), 0x017FFF, 0x100000));    // not ROM in a LoROM bank
    EXPECT_FALSE(valueToOffset(tableOf(PointerMap::HiRom), 0xBFFFFF, 0x100000));
    EXPECT_FALSE(valueToOffset(tableOf(PointerMap::GameBoy), 0x018000, 0x100000));
    EXPECT_FALSE(valueToOffset(tableOf(PointerMap::Linear), 0x100000, 0x100000));  // past the end
    EXPECT_EQ(valueToOffset(tableOf(PointerMap::GameBoy), 0x051234, 0x100000), 0x1234u); // the fixed bank
}

TEST(PointerMapping, ShortEntriesTakeTheBankOfTheTable)
{
    std::vector<std::uint8_t> image(0x40000);
    PointerTable t = tableOf(PointerMap::LoRom);
    t.position = 0x12000; // bank 2
    image[0x12000] = 0x34;
    image[0x12001] = 0x92;
    EXPECT_EQ(readPointerTable(t, image)[0].target, 0x11234u);
    t.bank = 0;
    EXPECT_EQ(readPointerTable(t, image)[0].target, 0x1234u);
    t.bigEndian = true;
    EXPECT_EQ(readPointerTable(t, image)[0].stored, 0x3492u);
}

TEST(PointerTableCheck, RefusesTablesThatDoNotFit)
{
    struct Case {
        std::int64_t position, count;
        int size;
        std::int64_t stride;
        bool ok;
    };
    const Case cases[] = {{0, 1, 2, 0, true},   {14, 1, 2, 0, true},  {15, 1, 2, 0, false}, {0, 0, 2, 0, false},
                          {-1, 1, 2, 0, false}, {0, 1, 5, 0, false},  {0, 1, 1, 0, false},  {0, 2, 4, 3, false},
                          {0, 3, 2, 7, true},   {0, 3, 2, 8, false}};
    for (const Case& c : cases) {
        PointerTable t;
        t.position = c.position;
        t.count = c.count;
        t.size = c.size;
        t.stride = c.stride;
        EXPECT_EQ(pointerTableProblem(t, 16).empty(), c.ok) << c.position << " " << c.count << " " << c.size;
    }
}

TEST(FindPointers, EveryPositionHoldingTheValue)
{
    std::vector<std::uint8_t> image(64);
    image[3] = 0x20, image[4] = 0x80;  // little-endian h8020 at 3
    image[40] = 0x80, image[41] = 0x20; // big-endian at 40
    PointerTable t = tableOf(PointerMap::Linear, 2, 0, 0x8000);
    EXPECT_EQ(findPointers(t, image, 0x20), (std::vector<std::size_t>{3}));
    t.bigEndian = true;
    EXPECT_EQ(findPointers(t, image, 0x20), (std::vector<std::size_t>{40}));
}

// A table of letters: 41..5A are A..Z, FF a line break, 00 the end code.
struct Letters {
    TableEntries entries;
    EntryMatcher matcher;
    ScriptCodes codes;
    Letters()
    {
        for (int c = 'A'; c <= 'Z'; ++c)
            entries[static_cast<std::size_t>(c)] = std::string(1, static_cast<char>(c));
        const FinishedTable finished = finishTableEntries(entries, codes.lineBreak.bytes[0], codes.end.bytes[0]);
        matcher = EntryMatcher(entries, finished.longestEntryLength);
    }
};

std::vector<std::uint8_t> randomString(std::mt19937& rng)
{
    std::vector<std::uint8_t> s(1 + rng() % 12);
    for (auto& b : s)
        b = rng() % 6 == 0 ? 0xFF : static_cast<std::uint8_t>('A' + rng() % 26);
    s.push_back(0);
    return s;
}

std::vector<std::uint8_t> stringAtTarget(const std::vector<std::uint8_t>& image, std::size_t at)
{
    std::vector<std::uint8_t> s;
    while (at < image.size() && (s.empty() || s.back() != 0))
        s.push_back(image[at++]);
    return s;
}

TEST(PointerScript, DumpAndInsertRoundTripsOnRandomImages)
{
    const Letters letters;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 rng(seed);
        std::vector<std::uint8_t> image(0x4000);
        PointerTable t = tableOf(PointerMap::Linear, 2, 0, 0x8000);
        t.count = 1 + rng() % 40;
        t.stride = 2 + rng() % 2;
        std::vector<std::vector<std::uint8_t>> strings;
        std::size_t at = 0x200;
        for (std::int64_t n = 0; n < t.count; ++n) {
            // Now and then an entry shares the string of an earlier one.
            if (n > 0 && rng() % 4 == 0) {
                const std::size_t m = rng() % static_cast<std::size_t>(n);
                writeEntryBytes(image, static_cast<std::size_t>(n * t.step()), 2, false,
                                readEntryBytes(image, static_cast<std::size_t>(m * t.step()), 2, false));
                strings.push_back(strings[m]);
                continue;
            }
            strings.push_back(randomString(rng));
            std::copy(strings.back().begin(), strings.back().end(), image.begin() + static_cast<std::ptrdiff_t>(at));
            writeEntryBytes(image, static_cast<std::size_t>(n * t.step()), 2, false, 0x8000 + static_cast<std::uint32_t>(at));
            at += strings.back().size();
        }
        const PointerDump dump = dumpPointerScript(t, image, letters.matcher, letters.codes);
        ASSERT_TRUE(dump.error.empty()) << dump.error;

        // Unchanged text: every entry reads back its own string from the new place.
        std::vector<std::uint8_t> moved = image;
        const PointerInsertPlan plan =
            planPointerInsert(t, image.size(), dump.text, letters.matcher, letters.codes, {{0x2000, 0x3FFF}});
        ASSERT_TRUE(plan.error.empty()) << plan.error;
        applyPointerInsert(t, moved, plan);
        const std::vector<PointerEntry> entries = readPointerTable(t, moved);
        std::set<std::size_t> distinctTargets;
        for (const PointerEntry& e : entries) {
            ASSERT_TRUE(e.target && *e.target >= 0x2000) << seed;
            EXPECT_EQ(stringAtTarget(moved, *e.target), strings[e.index]) << "seed " << seed << " entry " << e.index;
            distinctTargets.insert(*e.target);
        }
        EXPECT_EQ(distinctTargets.size(), std::set(strings.begin(), strings.end()).size()); // stored once
        EXPECT_TRUE(std::equal(image.begin() + static_cast<std::ptrdiff_t>(t.count * t.step()),
                               image.begin() + 0x2000, moved.begin() + static_cast<std::ptrdiff_t>(t.count * t.step())));

        // Longer text: each string grows by "QQ" and lands in the extra space.
        std::string longer;
        for (std::string_view line : splitTextLines(dump.text)) {
            std::string l(line);
            if (l.ends_with("{END}"))
                l.insert(l.size() - 5, "QQ");
            longer += l + "\r\n";
        }
        std::vector<std::uint8_t> grown = image;
        const PointerInsertPlan bigger =
            planPointerInsert(t, image.size(), longer, letters.matcher, letters.codes, {{0x2000, 0x3FFF}});
        ASSERT_TRUE(bigger.error.empty()) << bigger.error;
        applyPointerInsert(t, grown, bigger);
        for (const PointerEntry& e : readPointerTable(t, grown)) {
            std::vector<std::uint8_t> expected = strings[e.index];
            expected.insert(expected.end() - 1, {'Q', 'Q'});
            EXPECT_EQ(stringAtTarget(grown, *e.target), expected);
        }
    }
}

TEST(PointerScript, SameAsAndBankBoundaries)
{
    const Letters letters;
    PointerTable t = tableOf(PointerMap::LoRom, 3);
    t.count = 3;
    const std::string script = "; a comment\r\n#POINTER 0\r\nABCDEF{END}\r\n\r\n#POINTER 1 = 0\r\n"
                               "#POINTER 2\r\nABCDEFGH{END}\r\n";
    // 12 bytes of free space on each side of the bank boundary at h8000.
    std::vector<std::uint8_t> image(0x10000, 0xEE);
    const PointerInsertPlan plan =
        planPointerInsert(t, image.size(), script, letters.matcher, letters.codes, {{0x7FF4, 0x800B}});
    ASSERT_TRUE(plan.error.empty()) << plan.error;
    applyPointerInsert(t, image, plan);
    const std::vector<PointerEntry> entries = readPointerTable(t, image);
    EXPECT_EQ(entries[0].target, entries[1].target);
    for (const PointerEntry& e : entries)
        EXPECT_EQ(*e.target < 0x8000, stringAtTarget(image, *e.target).size() + *e.target <= 0x8000);
    EXPECT_EQ(plan.ranges[0].used, 16u);
    EXPECT_EQ(plan.ranges[0].left, 8u);
    EXPECT_EQ(image[0x7FF3], 0xEE);
    EXPECT_EQ(image[0x800C], 0xEE);

    // Two strings of 9 bytes do not fit in two pieces of 12 and 12 minus the first.
    const PointerInsertPlan tooBig = planPointerInsert(
        t, image.size(), "#POINTER 0\r\nABCDEFGHIJKLM{END}\r\n#POINTER 1\r\nZYXWVUTSRQPON{END}\r\n#POINTER 2 = 0\r\n",
        letters.matcher, letters.codes, {{0x7FF4, 0x800B}});
    EXPECT_NE(tooBig.error.find("need 28 byte(s), the free space has 24"), std::string::npos) << tooBig.error;
    EXPECT_TRUE(tooBig.strings.empty());
}

TEST(PointerScript, RefusalsNameTheLine)
{
    const Letters letters;
    PointerTable t;
    t.count = 2;
    struct Case {
        std::string script;
        std::vector<FreeRange> ranges;
        std::string message;
    };
    const std::vector<FreeRange> space{{0x100, 0x1FF}};
    const Case cases[] = {
        {"", space, "no #POINTER line"},
        {"; nothing\r\n", space, "no #POINTER line"},
        {"AB\r\n#POINTER 0\r\n", space, "line 1: text before"},
        {"#POINTER 0\r\nA{END}\r\n#POINTER 0\r\nB{END}\r\n", space, "line 3: entry 0 already has a block at line 1"},
        {"#POINTER 0\r\nA{END}\r\n#POINTER 99999999999999999999\r\n", space, "line 3: entry beyond is outside"},
        {"#POINTER 0\r\nA{END}\r\n#POINTER 2\r\n", space, "line 3: entry 2 is outside the table (entries 0 .. 1)"},
        {"#POINTER 0\r\nA{END}\r\n", space, "entry 1 has no block"},
        {"#POINTER 0\r\nA{END}\r\n#POINTER 1 = 1\r\n", space, "line 3: entry 1 has no text of its own"},
        {"#POINTER 0 = 1\r\n#POINTER 1 = 0\r\n", space, "has no text of its own"},
        {"#POINTER 0\r\nA{END}\r\n#POINTER 1 = 0\r\nB\r\n", space, "line 4: '#POINTER 1 = 0' takes no text"},
        {"#POINTER x\r\n", space, "line 1: expected"},
        {"#POINTER 0\r\nAb{END}\r\n#POINTER 1 = 0\r\n", space, "line 2: no table entry encodes the character 'b' at position 2"},
        {"#POINTER 0\r\n#POINTER 1 = 0\r\n", space, "line 1: entry 0 has no text"},
        {"#POINTER 0\r\nA{END}\r\n#POINTER 1 = 0\r\n", {{0x1FF, 0x200}}, "reaches past the end"},
        {"#POINTER 0\r\nA{END}\r\n#POINTER 1 = 0\r\n", {{0x2, 0x10}}, "overlaps the pointer table"},
        {"#POINTER 0\r\nA{END}\r\n#POINTER 1 = 0\r\n", {{0x10, 0x20}, {0x20, 0x30}}, "overlap"},
        {"#POINTER 0\r\nA{END}\r\n#POINTER 1 = 0\r\n", {{0x30, 0x20}}, "is not a range"},
    };
    for (const Case& c : cases) {
        const PointerInsertPlan plan = planPointerInsert(t, 0x200, c.script, letters.matcher, letters.codes, c.ranges);
        EXPECT_NE(plan.error.find(c.message), std::string::npos) << c.script << " -> " << plan.error;
        EXPECT_TRUE(plan.strings.empty() && plan.targets.empty());
    }
}

TEST(PointerScript, DumpMarksSharedTargetsAndRefusesOutsideOnes)
{
    const Letters letters;
    std::vector<std::uint8_t> image{0x04, 0x00, 0x04, 0x00, 'H', 'I', 0xFF, 'A', 0x00, 'B'};
    PointerTable t;
    t.count = 2;
    PointerDump dump = dumpPointerScript(t, image, letters.matcher, letters.codes);
    EXPECT_EQ(dump.text, "#POINTER 0\r\nHI\r\nA{END}\r\n\r\n#POINTER 1 = 0\r\n");
    image[2] = 0x09; // the last byte: dumped to the end of the image
    EXPECT_EQ(dumpPointerScript(t, image, letters.matcher, letters.codes).text,
              "#POINTER 0\r\nHI\r\nA{END}\r\n\r\n#POINTER 1\r\nB\r\n");
    image[2] = 0x0A;
    dump = dumpPointerScript(t, image, letters.matcher, letters.codes);
    EXPECT_EQ(dump.error, "entry 1 at h00000002 holds h000A, which maps outside the image");
    EXPECT_TRUE(dump.text.empty());
}

TEST(PointerScript, FreeRangesInTheProgramsNumberForms)
{
    EXPECT_EQ(parseFreeRange("H100-H1FF"), (FreeRange{0x100, 0x1FF}));
    EXPECT_EQ(parseFreeRange("256-h1ff"), (FreeRange{256, 0x1FF}));
    EXPECT_FALSE(parseFreeRange("H100"));
    EXPECT_FALSE(parseFreeRange("H100-"));
    EXPECT_FALSE(parseFreeRange("x-1"));
}

} // namespace

#include "cli/args.h"

namespace {

TEST(PointerArguments, EveryOptionReachesTheTable)
{
    const ParseResult result = parseArguments(
        {"insert-pointers", "r.smc", "s.txt", "-t", "t.tbl", "--pointers", "H10", "--count", "3", "--size", "3",
         "--stride", "4", "--map", "lorom", "--base", "-16", "--header", "512", "--bank", "2", "--big-endian",
         "--space", "H100-H1FF", "--space", "512-600"});
    ASSERT_TRUE(result.command) << result.error;
    const auto& command = std::get<PointerCommand>(*result.command);
    PointerTable expected{0x10, 3, 3, 4, true, PointerMap::LoRom, -16, 512, 2};
    EXPECT_EQ(command.table, expected);
    EXPECT_EQ(command.spaces, (std::vector<FreeRange>{{0x100, 0x1FF}, {512, 600}}));
    EXPECT_EQ(command.kind, PointerCommand::Kind::Insert);
    EXPECT_EQ(std::get<PointerCommand>(*parseArguments({"find-pointers", "r", "--to", "h20"}).command).to, 0x20);

    const std::vector<std::vector<std::string>> refused{
        {"pointers", "r", "--pointers", "0", "--count", "0"},
        {"pointers", "r", "--pointers", "-1", "--count", "1"},
        {"pointers", "r", "--pointers", "0", "--count", "1", "--size", "5"},
        {"pointers", "r", "--pointers", "0", "--count", "1", "--map", "snes"},
        {"insert-pointers", "r", "s", "-t", "t", "--pointers", "0", "--count", "1", "--space", "H100"},
        {"dump-pointers", "r", "--pointers", "0", "--count", "1"}, // no table
    };
    for (const auto& args : refused) {
        const ParseResult bad = parseArguments(args);
        EXPECT_FALSE(bad.command) << args[2];
        EXPECT_EQ(bad.exitCode, kExitUsage);
    }
}

} // namespace

// Two-byte codes, a two-byte end code with its own text and UTF-8 entries:
// the dump decodes the sequences, ends each string at the whole end code,
// and an edited dump is written back as whole sequences.
TEST(PointerScript, MultiByteCodesAndEndTokenRoundTrip)
{
    TableEntries entries;
    entries['A'] = "A";
    entries['B'] = "B";
    std::vector<SequenceEntry> sequences{{*ByteCode::fromHex("8140"), "\xE3\x81\x82"},
                                         {*ByteCode::fromHex("FFFF"), "<end>"}};
    const ByteCode end = *ByteCode::fromHex("FFFF");
    const FinishedTable finished = finishTable(entries, sequences, 0x0A, end, "<end>");
    const EntryMatcher matcher(entries, finished.longestEntryLength, sequences);
    const ScriptCodes codes{0x0A, end};

    std::vector<std::uint8_t> image(0x100, 0x00);
    const PointerTable t{.position = 0, .count = 1};
    writeEntryBytes(image, 0, 2, false, 0x10);
    // "A", a kana, a lone FF (no entry) and the end sequence.
    const std::vector<std::uint8_t> string{'A', 0x81, 0x40, 0xFF, 'B', 0xFF, 0xFF};
    std::copy(string.begin(), string.end(), image.begin() + 0x10);
    EXPECT_EQ(pointerStringAt(image, 0x10, end).size(), string.size());

    const PointerDump dump = dumpPointerScript(t, image, matcher, codes);
    ASSERT_TRUE(dump.error.empty()) << dump.error;
    EXPECT_EQ(dump.text, "#POINTER 0\r\nA\xE3\x81\x82{FF}B<end>\r\n\r\n");

    std::string edited = dump.text;
    edited.replace(edited.find("A\xE3"), 1, "\xE3\x81\x82\xE3\x81\x82");
    const PointerInsertPlan plan = planPointerInsert(t, image.size(), edited, matcher, codes, {{0x80, 0xFF}});
    ASSERT_TRUE(plan.error.empty()) << plan.error;
    applyPointerInsert(t, image, plan);
    const std::vector<PointerEntry> read = readPointerTable(t, image);
    ASSERT_TRUE(read[0].target);
    const std::span<const std::uint8_t> moved = pointerStringAt(image, *read[0].target, end);
    EXPECT_EQ(std::vector<std::uint8_t>(moved.begin(), moved.end()),
              (std::vector<std::uint8_t>{0x81, 0x40, 0x81, 0x40, 0x81, 0x40, 0xFF, 'B', 0xFF, 0xFF}));
}
