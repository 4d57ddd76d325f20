#include "text/chartable.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using Entries = std::map<int, std::string>;

// The entries a read left non-empty.
Entries definedEntries(const TableFile& table)
{
    Entries defined;
    for (int code = 0; code < 256; ++code)
        if (!table.entries[static_cast<std::size_t>(code)].empty())
            defined[code] = table.entries[static_cast<std::size_t>(code)];
    return defined;
}

TableFile readOk(const std::string& text)
{
    TableReadResult read = readTableFile(text);
    EXPECT_TRUE(read.table.has_value()) << read.error;
    EXPECT_TRUE(read.error.empty());
    return read.table.value_or(TableFile{});
}

// ---- the lines after the address ---------------------------------------------

struct LinesCase {
    const char* name;
    std::string body; // the lines after "H0\r\n"
    Entries entries;
    std::optional<std::uint8_t> lineBreakCode;
    std::optional<std::uint8_t> endCode;
};

const LinesCase kLines[] = {
    {"NoLines", "", {}, {}, {}},
    {"SimpleEntries", "41=A\r\n42=B\r\n", {{0x41, "A"}, {0x42, "B"}}, {}, {}},
    {"SameTextAtTwoCodes", "41=A\r\n61=A\r\n", {{0x41, "A"}, {0x61, "A"}}, {}, {}},
    {"LowerCaseCode", "4a=j\r\nfF=last\r\n", {{0x4A, "j"}, {0xFF, "last"}}, {}, {}},
    {"OneBlankIsAnEntry", "20= \r\n", {{0x20, " "}}, {}, {}},
    {"EqualsSignAfterTheFirst", "3D==\r\n", {{0x3D, "="}}, {}, {}},
    {"EverythingAfterTheSignIsKept", "41=a=b {c} \r\n", {{0x41, "a=b {c} "}}, {}, {}},
    {"LaterLineReplacesEarlier", "41=A\r\n41=B\r\n", {{0x41, "B"}}, {}, {}},
    {"LinesInAnyOrder", "FF=z\r\n00=a\r\n", {{0x00, "a"}, {0xFF, "z"}}, {}, {}},
    {"NothingAfterTheSign", "41=\r\n", {}, {}, {}},
    {"MissingSign", "41A\r\n41 A\r\n", {}, {}, {}},
    {"OneDigitCode", "1=A\r\n", {}, {}, {}},
    {"ThreeDigitCode", "041=A\r\n", {}, {}, {}},
    {"BlankAndCommentLines", "\r\n; codes of the menu\r\n  \r\n41=A\r\n", {{0x41, "A"}}, {}, {}},
    {"BadCodeDoesNotStopLaterLines", "ZZ=x\r\n41=A\r\n", {{0x41, "A"}}, {}, {}},
    {"SignedCodeIsNoCode", "+1=x\r\n-1=y\r\n", {}, {}, {}},
    {"MarkerLines", "*FE\r\n/01\r\n", {}, 0xFE, 0x01},
    {"LowerCaseMarkers", "*ff\r\n/0a\r\n", {}, 0xFF, 0x0A},
    {"LastMarkerWins", "*01\r\n*02\r\n/03\r\n/04\r\n", {}, 0x02, 0x04},
    {"MarkerWithABlankIsAnIgnoredEntryLine", "*FF \r\n/00 \r\n", {}, {}, {}},
    {"MarkerWithoutHexSetsNothing", "*G0\r\n/ZZ\r\n*-1\r\n", {}, {}, {}},
    {"ShortMarkerSetsNothing", "*F\r\n/\r\n", {}, {}, {}},
    {"MarkerTextsAsEntries", "2A=*\r\n2F=/\r\n", {{0x2A, "*"}, {0x2F, "/"}}, {}, {}},
    {"MarkersDoNotTouchEntries", "FF=z\r\n*FF\r\n", {{0xFF, "z"}}, 0xFF, {}},
    {"LoneLineFeeds", "41=A\n42=B\n", {{0x41, "A"}, {0x42, "B"}}, {}, {}},
    {"LoneCarriageReturns", "41=A\r42=B\r*10\r", {{0x41, "A"}, {0x42, "B"}}, 0x10, {}},
    {"MixedLineEnds", "41=A\n\r42=B\r\n43=C\r44=D", {{0x41, "A"}, {0x42, "B"}, {0x43, "C"}, {0x44, "D"}}, {}, {}},
    {"NoFinalLineEnd", "41=A\r\n/05", {{0x41, "A"}}, {}, 0x05},
    {"EightBitText", "80=\xC0\xE9\r\n", {{0x80, "\xC0\xE9"}}, {}, {}},
    {"LongestAllowedEntry", "41=" + std::string(255, 'x') + "\r\n", {{0x41, std::string(255, 'x')}}, {}, {}},
    {"LongCommentIsIgnored", std::string(1000, ';') + "\r\n41=A\r\n", {{0x41, "A"}}, {}, {}},
};

class ReadTableLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(ReadTableLines, ClassifiesEachLineByItself)
{
    const LinesCase& c = GetParam();
    const TableFile table = readOk("H0\r\n" + c.body);
    EXPECT_EQ(definedEntries(table), c.entries);
    EXPECT_EQ(table.lineBreakCode, c.lineBreakCode);
    EXPECT_EQ(table.endCode, c.endCode);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadTableLines, ::testing::ValuesIn(kLines),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the address line -------------------------------------------------------------

struct AddressCase {
    const char* line;
    std::optional<std::int32_t> address; // nothing: the load fails
};

const AddressCase kAddresses[] = {
    {"H020010", 0x20010},
    {"h1f400", 0x1F400},
    {"H0", 0},
    {"H", 0},
    {"HFFFFFFFF", -1},        // the tile map scroll bar clamps it
    {"HZZ", 0},               // a bad hexadecimal number is address 0
    {"H123456789", 0},
    {"H 10", 0},
    {"", 0},                  // an empty first line is address 0
    {"256", 256},
    {"+7", 7},
    {"2147483647", 2147483647},
    {"-5", 0},                // negative is address 0
    {"-2147483648", 0},
    {"2147483648", std::nullopt},
    {"abc", std::nullopt},
    {"12a", std::nullopt},
    {" 5", std::nullopt},     // lines are not trimmed
    {"5 ", std::nullopt},
    {"-", std::nullopt},
    {"41=A", std::nullopt},
    {"$10", std::nullopt},
};

class TableAddressLine : public ::testing::TestWithParam<AddressCase> {};

// A first line that is no address is an ordinary line of a table at address 0.
TEST_P(TableAddressLine, HexAfterHOrSignedDecimal)
{
    const AddressCase& c = GetParam();
    EXPECT_EQ(tableAddress(c.line), c.address) << '"' << c.line << '"';
    const TableReadResult read = readTableFile(std::string(c.line) + "\r\n42=B\r\n");
    ASSERT_TRUE(read.table.has_value()) << read.error;
    EXPECT_EQ(read.table->address, c.address.value_or(0));
    EXPECT_EQ(read.table->addressLine, c.address.has_value());
    EXPECT_EQ(read.table->entries[0x41], c.line == std::string_view("41=A") ? "A" : "");
    EXPECT_EQ(read.table->entries[0x42], "B");
}

INSTANTIATE_TEST_SUITE_P(Table, TableAddressLine, ::testing::ValuesIn(kAddresses));

TEST(ReadTableFile, AnEmptyFileIsAddressZeroWithNoEntries)
{
    const TableFile table = readOk("");
    EXPECT_EQ(table.address, 0);
    EXPECT_TRUE(definedEntries(table).empty());
}

TEST(ReadTableFile, FirstLineEndsAtALoneCarriageReturnToo)
{
    EXPECT_EQ(readOk("H10\r41=A").address, 0x10);
    EXPECT_EQ(readOk("H10\n41=A").address, 0x10);
    EXPECT_EQ(readOk("H10").address, 0x10);
}

TEST(ReadTableFile, AnEntryOver255CharactersRefusesTheLoadNamingItsLine)
{
    const TableReadResult read = readTableFile("H0\r\n*01\r\n41=A\r\n42=" + std::string(256, 'x') + "\r\n43=C\r\n");
    EXPECT_FALSE(read.table.has_value());
    EXPECT_EQ(read.error, "Line 4: the entry of code 42 is longer than 255 characters");
}

TEST(ReadTableFile, LineNumbersCountEveryKindOfLineEnd)
{
    const TableReadResult read = readTableFile("H0\n\r\r\n" + std::string("0A=") + std::string(300, 'y'));
    EXPECT_EQ(read.error, "Line 4: the entry of code 0A is longer than 255 characters");
}

// ---- template and write-back ---------------------------------------------------------

std::vector<std::string> crLfLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(TableTemplate, AddressThen256EmptyCodesThenTheMarkers)
{
    const std::vector<std::string> lines = crLfLines(tableTemplateText(0x1F400));
    ASSERT_EQ(lines.size(), 259u);
    EXPECT_EQ(lines.front(), "H01F400");
    EXPECT_EQ(lines[1], "00=");
    EXPECT_EQ(lines[0x1F + 1], "1F=");
    EXPECT_EQ(lines[0xAB + 1], "AB=");
    EXPECT_EQ(lines[256], "FF=");
    EXPECT_EQ(lines[257], "*FF");
    EXPECT_EQ(lines[258], "/00");
}

TEST(TableTemplate, AddressHasAtLeastSixDigits)
{
    EXPECT_EQ(crLfLines(tableTemplateText(0)).front(), "H000000");
    EXPECT_EQ(crLfLines(tableTemplateText(0x1234567)).front(), "H1234567");
}

TEST(TableTemplate, ReadsBackAsNoEntriesAndTheDefaultMarkers)
{
    const TableFile table = readOk(tableTemplateText(0x1F400));
    EXPECT_EQ(table.address, 0x1F400);
    EXPECT_TRUE(definedEntries(table).empty());
    EXPECT_EQ(table.lineBreakCode, std::optional<std::uint8_t>(0xFF));
    EXPECT_EQ(table.endCode, std::optional<std::uint8_t>(0x00));
}

TEST(TableWriteBack, FinishedTableReadsBackEntryForEntryWithoutMarkers)
{
    TableEntries entries;
    entries[0x41] = "A";
    entries[0x20] = " ";
    entries[0x3D] = "=";
    (void)finishTableEntries(entries, 0xFE, 0x01);
    const std::string text = tableWriteBackText(0x200, entries);
    const std::vector<std::string> lines = crLfLines(text);
    ASSERT_EQ(lines.size(), 257u);
    EXPECT_EQ(lines[0], "H000200");
    EXPECT_EQ(lines[1], "00={00}");
    EXPECT_EQ(lines[0x02], "01={END}");
    EXPECT_EQ(lines[0xFF], "FE={^}");
    EXPECT_EQ(lines[0x42], "41=A");

    const TableFile table = readOk(text);
    EXPECT_EQ(table.address, 0x200);
    EXPECT_EQ(table.entries, entries);
    EXPECT_FALSE(table.lineBreakCode.has_value());
    EXPECT_FALSE(table.endCode.has_value());
}

// ---- finish table -------------------------------------------------------------------------

TEST(FinishTable, AddressOnlyFileGetsEveryPlaceholderAndBothMarkers)
{
    TableFile table = readOk("H0");
    const FinishedTable finished = finishTableEntries(table.entries, 0xFF, 0x00);
    EXPECT_EQ(table.entries[0x00], "{END}");
    EXPECT_EQ(table.entries[0xFF], "{^}");
    for (int code = 1; code < 255; ++code) {
        const std::string hex = std::string(1, "0123456789ABCDEF"[code / 16]) + "0123456789ABCDEF"[code % 16];
        EXPECT_EQ(table.entries[static_cast<std::size_t>(code)], "{" + hex + "}");
    }
    EXPECT_EQ(finished.longestEntryLength, 5);
}

TEST(FinishTable, MarkersOverwriteFileTextAndTheEndCodeWinsATie)
{
    TableEntries entries;
    entries[0x0A] = "newline";
    entries[0x41] = "A";
    (void)finishTableEntries(entries, 0x0A, 0x0A);
    EXPECT_EQ(entries[0x0A], "{END}");
    EXPECT_EQ(entries[0x41], "A");
    EXPECT_EQ(entries[0xFF], "{FF}") << "FF is an ordinary code when it is not the line-break code";
}

TEST(FinishTable, CharacterSetAndLongestEntry)
{
    TableEntries entries;
    entries[0x41] = "A";
    entries[0x80] = "\xE9t\xE9";
    entries[0x81] = "longer one";
    const FinishedTable finished = finishTableEntries(entries, 0xFF, 0x00);
    EXPECT_EQ(finished.longestEntryLength, 10);
    CharacterSet expected;
    for (unsigned char ch : std::string("\b\r{}^ENDA\xE9tlonger 0123456789ABCDEF"))
        expected.set(ch);
    EXPECT_EQ(finished.charSet, expected);
}

// ---- help text ------------------------------------------------------------------------------

TEST(TableFormatsHelp, PiecesAndSeparatorsInOrder)
{
    const TableHelpTexts str{"s1", "s2", "s3", "s4", "s5", "s6", "s7", "s8", "s9", "s10", "s11", "s12", "s13"};
    EXPECT_EQ(tableFormatsHelpText(str),
              "s1\n\r\n\r"
              "s2\n\r\t"
              "s3\n\r\t"
              "s4\n\r"
              "s5\r\n\t"
              "H020010\n\r\t"
              "0B=shi+\n\r\t"
              "0C=su\n\r\n\r"
              "s6\n\r\t"
              "s7\n\r\t"
              "s8\n\r\t"
              "s9\n\r\t"
              "s10\n\r\t"
              "s11\n\r\t"
              "s12\n\r"
              "s13\r\n\t"
              "H027510\n\r\t"
              "19=01023F\n\r\t"
              "1A=0140");
}

} // namespace
