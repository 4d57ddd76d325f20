#include "text/scriptdump.h"

#include "app/numbers.h"
#include "app/textlines.h"
#include "support/testdata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

namespace {

const ScriptCodes kDefaultCodes{0xFF, 0x00};

struct Table {
    TableEntries entries;
    EntryMatcher matcher;
};

Table finishedTable(const std::string& body, ScriptCodes codes = kDefaultCodes)
{
    Table t;
    t.entries = readTableFile("H0\r\n" + body).table.value().entries;
    const FinishedTable finished = finishTableEntries(t.entries, codes.lineBreak.bytes[0], codes.end.bytes[0]);
    t.matcher = EntryMatcher(t.entries, finished.longestEntryLength);
    return t;
}

TEST(ScriptDump, LinesFollowLineBreaksAndStringEnds)
{
    struct Case {
        const char* name;
        Bytes bytes;
        ScriptCodes codes;
        std::string dump;
    };
    const std::vector<Case> cases{
        {"example", {0x41, 0x42, 0xFF, 0x41, 0x00, 0x42, 0x42, 0x00}, kDefaultCodes,
         "AB\r\nA{END}\r\n\r\nBB{END}\r\n\r\n"},
        {"one ordinary byte", {0x41}, kDefaultCodes, "A\r\n"},
        {"ends with the line break", {0x41, 0xFF}, kDefaultCodes, "A\r\n{END}\r\n\r\n"},
        {"line break alone", {0xFF}, kDefaultCodes, "\r\n{END}\r\n\r\n"},
        {"placeholder", {0x7F, 0x41}, kDefaultCodes, "{7F}A\r\n"},
        {"equal codes break the line", {0x41, 0x05, 0x42}, {0x05, 0x05}, "A\r\nB\r\n"},
        {"nothing", {}, kDefaultCodes, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scriptDumpText(finishedTable("41=A\r\n42=B\r\n", c.codes).entries, c.codes, c.bytes), c.dump)
            << c.name;
}

TEST(ScriptDump, ReplaceWritesLineBreaksExceptAfterStringEnds)
{
    struct Case {
        const char* name;
        std::vector<std::string_view> lines;
        bool endCodeBefore;
        Bytes bytes;
        std::optional<UnmatchedCharacter> unmatched;
    };
    const std::vector<Case> cases{
        {"string end then line", {"A{END}", "", "B"}, false, {0x41, 0x00, 0x42, 0xFF}, {}},
        {"first line empty", {""}, false, {0xFF}, {}},
        {"first line empty after an end code", {""}, true, {0xFF}, {}},
        {"two empty lines after a string end", {"A{END}", "", ""}, false, {0x41, 0x00, 0xFF}, {}},
        {"string end before the start", {"A"}, true, {0x41, 0xFF}, {}},
        {"no lines", {}, false, {}, {}},
        // All or nothing: the first character no entry matches, by line and position.
        {"unmatched after matched lines", {"AB", "", "BA?B", "?"}, false, {}, UnmatchedCharacter{3, 3, "?"}},
        {"unmatched first character", {"\xFC"}, true, {}, UnmatchedCharacter{1, 1, "\xFC"}},
        {"brace that starts no marker", {"A{EN"}, false, {}, UnmatchedCharacter{1, 2, "{"}},
    };
    const Table t = finishedTable("41=A\r\n42=B\r\n");
    for (const Case& c : cases) {
        const ScriptEncodeResult result = encodeScriptLines(t.matcher, kDefaultCodes, c.lines, c.endCodeBefore);
        EXPECT_EQ(result.bytes, c.bytes) << c.name;
        EXPECT_EQ(result.unmatched, c.unmatched) << c.name;
    }
    EXPECT_EQ(unmatchedCharacterMessage({3, 7, "x"}, "x"), "no table entry matches the character 'x' at position 7 of line 3");
    EXPECT_EQ(unmatchedCharacterMessage({0, 2, "x"}, "x"), "no table entry matches the character 'x' at position 2");
}

TEST(ScriptDump, ExtractRangeIsCutToTheImage)
{
    struct Case {
        std::int32_t start, end;
        bool endBeforeStart;
        std::size_t offset, count;
    };
    const std::vector<Case> cases{
        {0, 0, false, 0, 1},      {16, 31, false, 16, 16},  {16, 99, false, 16, 48},
        {64, 70, false, 0, 0},    {5, 4, true, 0, 0},       {-8, 3, false, 0, 4},
        {INT32_MIN, -1, false, 0, 0}, {63, INT32_MAX, false, 63, 1},
    };
    for (const Case& c : cases) {
        const ExtractRange range = scriptExtractRange(c.start, c.end, 64);
        EXPECT_EQ(range.endBeforeStart, c.endBeforeStart) << c.start << ".." << c.end;
        EXPECT_EQ(range.offset, c.offset) << c.start << ".." << c.end;
        EXPECT_EQ(range.count, c.count) << c.start << ".." << c.end;
    }
}

TEST(ScriptDump, ReplaceWritesAllOrNothing)
{
    const Table t = finishedTable("41=A\r\n");
    for (const std::string_view unencodable : {"AAA\r\nAA\xFC", "A\r\nAA\xFC\r\nA"}) {
        Bytes image(8, 0xAA);
        const ReplaceResult result = replaceScript(image, 0, t.matcher, kDefaultCodes, unencodable);
        EXPECT_FALSE(result.written);
        EXPECT_EQ(result.unmatched, (UnmatchedCharacter{2, 3, "\xFC"})) << unencodable;
        EXPECT_EQ(image, Bytes(8, 0xAA));
    }
    const std::string dump = "AAA\r\nA\r\n"; // 6 bytes with the line breaks
    for (const std::int64_t start : {-1LL, 3LL, 8LL, 1LL << 40}) {
        Bytes image(8, 0xAA);
        const ReplaceResult result = replaceScript(image, start, t.matcher, kDefaultCodes, dump);
        EXPECT_FALSE(result.written) << start;
        EXPECT_EQ(result.needed, 6u);
        EXPECT_EQ(image, Bytes(8, 0xAA)) << start;
    }
    Bytes image(8, 0xAA);
    ASSERT_TRUE(replaceScript(image, 2, t.matcher, kDefaultCodes, dump).written);
    EXPECT_EQ(image, (Bytes{0xAA, 0xAA, 0x41, 0x41, 0x41, 0xFF, 0x41, 0xFF}));
    EXPECT_EQ(scriptDoesNotFitMessage(3, {false, 6, 5}),
              "The script needs 6 byte(s) from h00000003, but only 5 byte(s) are left there in the image. "
              "Nothing was written.");
}

TEST(ScriptDump, ReplaceReadsEveryLineEnd)
{
    const Table t = finishedTable("41=A\r\n42=B\r\n");
    for (const std::string_view dump : {"A\r\nB", "A\nB\n", "A\rB\r"}) {
        Bytes image(4, 0xAA);
        ASSERT_TRUE(replaceScript(image, 0, t.matcher, kDefaultCodes, dump).written);
        EXPECT_EQ(image, (Bytes{0x41, 0xFF, 0x42, 0xFF}));
    }
}

// Dumping a range and writing the dump back gives the same bytes, plus one
// line break after a final ordinary code or one end code after a final line
// break.
TEST(ScriptDump, RoundTripOnRandomImagesAndTables)
{
    std::mt19937 rng(11);
    const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,!?'";
    for (int round = 0; round < 300; ++round) {
        const auto lineBreak = static_cast<std::uint8_t>(rng());
        auto end = static_cast<std::uint8_t>(rng());
        if (lineBreak == end)
            ++end;
        const ScriptCodes codes{lineBreak, end};
        std::string body;
        std::string shuffled = letters;
        std::shuffle(shuffled.begin(), shuffled.end(), rng);
        // Distinct one-character entries for some codes; the rest become
        // placeholders, so every dump reads back unambiguously.
        for (std::size_t i = 0; i < shuffled.size(); ++i)
            body += hexText(static_cast<std::uint32_t>(rng() % 256), 2) + "=" + shuffled[i] + "\r\n";
        const Table t = finishedTable(body, codes);
        // Bytes drawn mostly from the two fixed codes and a few others, so
        // runs of breaks and ends are common.
        Bytes image = randomBytes(1 + rng() % 40, static_cast<unsigned>(round));
        for (std::uint8_t& b : image)
            if (rng() % 3 == 0)
                b = rng() % 2 ? lineBreak : end;
        const bool endCodeBefore = rng() % 2;
        const std::string dump = scriptDumpText(t.entries, codes, image);
        Bytes expected = image;
        if (image.back() == lineBreak)
            expected.push_back(end);
        else if (image.back() != end)
            expected.push_back(lineBreak);
        ASSERT_EQ(encodeScriptLines(t.matcher, codes, splitTextLines(dump), endCodeBefore).bytes, expected)
            << "round " << round << "\n" << dump;
    }
}

} // namespace
