#include "search/results.h"

#include "text/chartable.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(ResultLine, PositionWordAndConsecutiveBytesCutAtTheImageEnd)
{
    const std::vector<std::uint8_t> image = {0x0A, 0x27, 0x24, 0x2B, 0x2B, 0x2E, 0xFF};
    EXPECT_EQ(resultLine(image, 1, "HELLO"), "00000001 HELLO=27242B2B2E");
    EXPECT_EQ(resultLine(image, 5, "Hi x"), "00000005 Hi x=2EFF");
    EXPECT_EQ(resultLine(image, 7, "ab"), "00000007 ab=");
    EXPECT_EQ(resultLine({}, 0xABCDEF12, "ab"), "ABCDEF12 ab=");
}

TEST(ResultFile, LinesEndInCrLfAndReadBackAsTheyWere)
{
    const std::vector<std::string> lines = {"0001F400 HELLO=2724", "", "  odd = line ", std::string(5000, 'x')};
    const std::string text = resultFileText(lines);
    EXPECT_EQ(text.substr(0, 21), "0001F400 HELLO=2724\r\n");
    EXPECT_EQ(readResultFile(text), lines);
    EXPECT_EQ(readResultFile("a\nb\rc\r\n\r\nd"), (std::vector<std::string>{"a", "b", "c", "", "d"}));
}

TEST(ResultLinePosition, HexadecimalBeforeTheFirstBlank)
{
    const std::map<std::string, std::optional<std::int32_t>> cases = {
        {"", std::nullopt},           {"0001F400 HELLO=27", 0x1F400}, {"1f 2 3", 0x1F},
        {"HELLO", 0},                 {" A=41", 0},                   {"FFFFFFFF x", -1},
        {"123456789 x", std::nullopt}, {"00G1 x", std::nullopt}};
    for (const auto& [line, position] : cases)
        EXPECT_EQ(resultLinePosition(line), position) << line;
}

TEST(TableFromResult, TheHitsAlphabetFromItsFirstByte)
{
    struct Case {
        std::string line;
        unsigned firstCode;        // of the alphabet's first letter
        unsigned char firstLetter;
        unsigned letters;          // 0: the alphabet would run past FF
    };
    for (const Case& c : std::vector<Case>{{"0001F400 HELLO=2724", 0x20, 'A', 26},
                                           {"0 hello=07", 0x00, 'a', 26},
                                           {"0 \xC1\xC2=81", 0x80, 0xC0, 32},
                                           {"0 \xFF=FF", 0xE0, 0xE0, 32},
                                           {"0 A=E6", 0xE6, 'A', 26},
                                           {"0 A=E7", 0xE7, 'A', 0},
                                           {"0 Zebra=03", 0xEA, 'A', 0},
                                           {"0 Hi=03", 0xFC, 'A', 0}}) {
        TableEntries expected;
        for (unsigned i = 0; i < c.letters; ++i)
            expected[c.firstCode + i] = std::string(1, static_cast<char>(c.firstLetter + i));
        const TableFromResult table = tableFromResultLine(c.line, 0x2F00);
        EXPECT_EQ(table.text, newTableText("00002F00", expected)) << c.line;
        EXPECT_TRUE(table.error.empty());
    }
}

// With both cases, the other alphabet starts from that case's first letter
// in the word; words of one case, or whose other alphabet would wrap, give
// the one-case table.
TEST(TableFromResult, BothCasesFromTheOtherCasesFirstLetter)
{
    struct Case {
        std::string line;
        unsigned upperCode, lowerCode; // codes of A and a; 0x100: none
    };
    for (const Case& c : std::vector<Case>{{"0 Hello=2744", 0x20, 0x40},
                                           {"0 hELLO=0727", 0x23, 0x00},  // E at 27
                                           {"0 HELLO=2724", 0x20, 0x100},
                                           {"0 Hz=2702", 0x20, 0x100},   // z at 02: a would lie below 00
                                           {"0 Hi=27", 0x20, 0x100}}) {  // the line has no byte for i
        TableEntries expected;
        for (unsigned i = 0; i < 26; ++i) {
            if (c.upperCode < 0x100)
                expected[c.upperCode + i] = std::string(1, static_cast<char>('A' + i));
            if (c.lowerCode < 0x100)
                expected[c.lowerCode + i] = std::string(1, static_cast<char>('a' + i));
        }
        EXPECT_EQ(tableFromResultLine(c.line, 0, true).text, newTableText("00000000", expected)) << c.line;
    }
    EXPECT_EQ(tableFromResultLine("0 Hello=2744", 0).text, tableFromResultLine("0 HELLO=27", 0).text);
}

TEST(TableFromResult, NoAlphabetGivesOnlyTheAddressAndMarkersAndBadLinesAnError)
{
    EXPECT_EQ(tableFromResultLine("00000000 1ABC=31", -1).text, "HFFFFFFFF\r\n*FF\r\n/00\r\n");
    for (const std::string line : {"", "HELLO=27", "0 HELLO", "0 =41", "0 A=4", "0 A=", "0 A=G1", "0 A=-1"}) {
        const TableFromResult table = tableFromResultLine(line, 0);
        EXPECT_FALSE(table.text.has_value()) << line;
        EXPECT_FALSE(table.error.empty()) << line;
    }
}

} // namespace
