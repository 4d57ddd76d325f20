#include "text/tiletable.h"

#include "support/tilesequence_reference.h"

#include "app/numbers.h"
#include "support/testdata.h"

#include <gtest/gtest.h>


namespace {

constexpr TileTableRules kOpen = TileTableRules::Open;
constexpr TileTableRules kReload = TileTableRules::Reload;

// "27510: 19=01023F 1A=0140": the address and the entries that are not "00";
// or the error.
std::string readAs(const std::string& file, TileTableRules rules)
{
    const TileTableReadResult read = readTileTableFile(file, rules);
    std::string text = read.incompatibleFormat ? "incompatible: " : "";
    if (!read.table)
        return text + read.error;
    text += hexText(static_cast<std::uint32_t>(read.table->address), 1) + ":";
    for (std::size_t code = 0; code < 256; ++code)
        if (read.table->entries[code] != "00")
            text += ' ' + hexText(static_cast<std::uint32_t>(code), 2) + "=" + read.table->entries[code];
    return text;
}

TEST(ReadTileTable, OpenAndReloadRules)
{
    const std::string notAnInteger = "'abc' is not a valid integer value";
    const std::string incompatible = "incompatible: Incompatible File Format!";
    const std::tuple<std::string, std::string, std::string> cases[] = {
        // file, read with Open, read with Reload
        {"H027510\r\n19=01023F\r\n1A=0140\r\n", "27510: 19=01023F 1A=0140", "27510: 19=01023F 1A=0140"},
        {"h1f\n1A=140\r4b=zz", "1F: 1A=0140 4B=zz", "1F: 1A=0140 4B=zz"},
        {"12\r\n0B=\r\n0c\r\n0DX\r\n4A=01\r\n4A=0203", "C: 0B=0B 0C=0C 0D=0D 4A=0203", "C: 0B=0B 0C=0C 0D=0D 4A=0203"},
        {"\r\n00=0102\r\n\r\n5\r\nZZ=01\r\n", "0: 00=0102", "0: 00=0102"},
        {"H\r\n0B:0102\r\n", "0:", "0: 0B=0102"},
        {"H12G\r\n19=01", "0: 19=01", incompatible},
        {"-5\r\n19=01", "0: 19=01", incompatible},
        {"abc\r\n19=01", notAnInteger, notAnInteger},
        {"", "0:", "0:"},
        {"\xEF\xBB\xBFH1F\r\n19=01", "1F: 19=01", "1F: 19=01"}, // a UTF-8 byte order mark
    };
    for (const auto& [file, open, reload] : cases) {
        EXPECT_EQ(readAs(file, kOpen), open) << file;
        EXPECT_EQ(readAs(file, kReload), reload) << file;
    }
}

TEST(TileTableWriteBack, ReadsBackAsTheSameEntries)
{
    std::mt19937 rng(11);
    TileTableEntries entries;
    for (std::string& entry : entries)
        for (std::size_t i = 2 + 2 * (rng() % 4); i > 0; --i)
            entry += static_cast<char>(' ' + rng() % 95); // any text but a line end
    const std::string text = tileTableWriteBackText(0x27510, entries);
    EXPECT_EQ(text.substr(0, 12), "H027510\r\n00=");
    EXPECT_TRUE(text.ends_with("\r\nFF=" + entries[255] + "\r\n"));
    for (TileTableRules rules : {kOpen, kReload}) {
        const TileTableReadResult read = readTileTableFile(text, rules);
        ASSERT_TRUE(read.table);
        EXPECT_EQ(read.table->entries, entries);
    }
}

TEST(TileSequenceBytes, OneBytePerPairOfCharacters)
{
    EXPECT_EQ(tileSequenceBytes("01023F"), (Bytes{0x01, 0x02, 0x3F}));
    EXPECT_EQ(tileSequenceBytes("0G41"), (Bytes{0x00, 0x41}));
    EXPECT_EQ(tileSequenceBytes("ab4"), (Bytes{0xAB}));
    EXPECT_EQ(tileSequenceBytes("4"), Bytes{});
}

// "19x3" for block 19 over 3 bytes, "-41" for the byte 41 unmatched.
std::string shown(const TileCode& c)
{
    std::string text = c.matched ? "" : "-";
    text += hexText(c.code, 2);
    return c.matched ? text + "x" + std::to_string(c.length) : text;
}

TEST(TileSequenceMatcher, AgreesWithTheTextComparisonOnRandomTables)
{
    std::mt19937 rng(5);
    // Mostly the digits of the bytes below, so that sequences do match.
    const std::string characters = "01AB23456789CDEFabcdefG=";
    for (int round = 0; round < 300; ++round) {
        TileTableEntries entries;
        for (std::string& entry : entries) {
            entry.resize(2 * (rng() % 6) + (rng() % 8 == 0)); // 0 to 5 bytes, some odd
            for (char& ch : entry)
                ch = characters[rng() % 10 == 0 ? rng() % characters.size() : rng() % 4];
        }
        if (round % 3 == 0)
            entries[0].resize(rng() % 9, '1'); // a length bar, matching or not
        const TileSequenceMatcher matcher(entries);
        Bytes bytes(rng() % 40 + 1);
        for (auto& b : bytes)
            b = std::array<std::uint8_t, 6>{0x00, 0x01, 0x10, 0x1A, 0xAB, 0xB0}[rng() % 6];
        for (std::size_t offset = 0; offset < bytes.size(); ++offset)
            ASSERT_EQ(shown(matcher.codeAt(bytes, offset)), shown(referenceCodeAt(entries, bytes, offset)))
                << "round " << round << " offset " << offset;
    }
}

TEST(TileSequenceMatcher, LongestThenHighestNumberNeverPastTheEnd)
{
    const std::tuple<std::string, Bytes, std::string> walks[] = {
        {"19=01023F\r\n1A=0140\r\n", {0x01, 0x02, 0x3F, 0x01, 0x40, 0x77}, "19x3 1Ax2 -77"},
        {"20=01\r\n21=0102\r\n", {0x01, 0x02, 0x01, 0x03}, "21x2 20x1 -03"},
        {"30=41\r\n31=41\r\n", {0x41}, "31x1"},
        {"00=0102\r\n05=41\r\n", {0x41, 0x03}, "-41 -03"},
        {"07=01023f\r\n08=0105\r\n", {0x01, 0x02, 0x3F, 0x01}, "-01 -02 -3F -01"},
        {"", {0x00, 0x01}, "FFx1 -01"},
    };
    for (const auto& [lines, bytes, expected] : walks) {
        const TileSequenceMatcher matcher(readTileTableFile("H0\r\n" + lines, kOpen).table.value().entries);
        std::string walk;
        for (std::size_t p = 0; p < bytes.size(); p += matcher.codeAt(bytes, p).length) {
            walk += walk.empty() ? "" : " ";
            walk += shown(matcher.codeAt(bytes, p));
        }
        EXPECT_EQ(walk, expected) << lines;
    }
    EXPECT_FALSE(TileSequenceMatcher().codeAt(Bytes{0x00}, 0).matched);
}

} // namespace
