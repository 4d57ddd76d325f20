// Tables in any language: UTF-8 text files, codes of several bytes, end
// tokens and files without an address line.
#include "text/scriptdump.h"
#include "text/utf8.h"

#include "app/textlines.h"
#include "support/testdata.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

TEST(TextFileEncoding, Utf8ByMarkOrByValidHighBytes)
{
    struct Case {
        std::string_view bytes;
        bool utf8;
        std::size_t mark;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF" "41=A", true, 3},          // byte order mark
        {"\xEF\xBB\xBF", true, 3},                 // a mark without text
        {"41=\xC3\xBC", true, 0},                  // valid UTF-8 with a high byte
        {"41=\xE3\x81\x82", true, 0},              // kana
        {"41=A\r\n42=B", false, 0},                // ASCII stays with the code page
        {"41=\xFC", false, 0},                     // 8-bit text
        {"41=\xC3\xBC\xFC", false, 0},             // valid, then not
        {"41=\xE3\x81", false, 0},                 // cut-off sequence
        {"41=\xC0\xAF", false, 0},                 // overlong
        {"41=\xED\xA0\x80", false, 0},             // surrogate
        {"41=\xF4\x90\x80\x80", false, 0},         // past U+10FFFF
        {"\xEF\xBB", false, 0},                    // half a mark
    };
    for (const Case& c : cases) {
        const TextFileEncoding found = detectTextFileEncoding(c.bytes);
        EXPECT_EQ(found.utf8, c.utf8) << testing::PrintToString(c.bytes);
        EXPECT_EQ(found.byteOrderMark, c.mark) << testing::PrintToString(c.bytes);
    }
    // 8-bit text that happens to be valid UTF-8 is read as UTF-8: "Ã¼" in
    // Windows-1252 is the bytes of "ü".
    EXPECT_TRUE(detectTextFileEncoding("41=\xC3\xBC").utf8);
    EXPECT_EQ(utf8CharacterCount("a\xC3\xBC\xE3\x81\x82\xFC"), 4u);
}

TEST(ReadTableFile, CommunityForms)
{
    const TableReadResult read = readTableFile("0B=shi+\r\n"     // no address line
                                               "6C6C=LL\r\n"     // two bytes
                                               "818283=\xE3\x81\x82\r\n"
                                               "8182838485=x\r\n" // five bytes: ignored
                                               "6C6=x\r\n"        // odd digits: ignored
                                               "6c6d=\r\n"        // no text: ignored
                                               "*0D0A\r\n"
                                               "/FFFF=<end>\r\n");
    ASSERT_TRUE(read.table) << read.error;
    const TableFile& t = *read.table;
    EXPECT_FALSE(t.addressLine);
    EXPECT_EQ(t.address, 0);
    EXPECT_EQ(t.entries[0x0B], "shi+");
    EXPECT_EQ(t.sequences, (std::vector<SequenceEntry>{{*ByteCode::fromHex("6C6C"), "LL"},
                                                       {*ByteCode::fromHex("818283"), "\xE3\x81\x82"}}));
    EXPECT_EQ(t.lineBreakCode, ByteCode::fromHex("0D0A"));
    EXPECT_EQ(t.endCode, ByteCode::fromHex("FFFF"));
    EXPECT_EQ(t.endText, "<end>");
    // "/XX" alone keeps {END}; a line ending in a blank is still no code line.
    const TableFile plain = *readTableFile("H10\r\n/00=<e>\r\n/01\r\n*FF \r\n").table;
    EXPECT_EQ(plain.endCode, ByteCode(0x01));
    EXPECT_FALSE(plain.endText);
    EXPECT_FALSE(plain.lineBreakCode);
    // An entry of 255 characters is fine in any script; 256 are not.
    std::string kana255;
    for (int i = 0; i < 255; ++i)
        kana255 += "\xE3\x81\x82";
    EXPECT_TRUE(readTableFile("H0\r\n8000=" + kana255).table);
    EXPECT_EQ(readTableFile("H0\r\n8000=" + kana255 + "x").error,
              "Line 2: the entry of code 8000 is longer than 255 characters");
}

// ---- random tables against a slow reference -------------------------------------------------

struct RandomTable {
    TableEntries entries;
    std::vector<SequenceEntry> sequences;
    ScriptCodes codes;
    EntryMatcher matcher;
};

// Codes drawn from a few first bytes, so sequences overlap and nest; texts
// from a few characters of several scripts, so they share prefixes.
RandomTable randomTable(std::mt19937& rng)
{
    const std::vector<std::string> pieces{"a", "b", "ab", "\xC3\xBC", "\xE3\x81\x82", "\xE3\x81\x84", "\xE4\xB8\x80", "{"};
    const auto text = [&] {
        std::string t;
        for (std::size_t n = 1 + rng() % 3; n > 0; --n)
            t += pieces[rng() % pieces.size()];
        return t;
    };
    RandomTable t;
    std::map<ByteCode, std::string> sequences;
    for (int i = 0; i < 40; ++i) {
        ByteCode code;
        code.size = static_cast<std::uint8_t>(1 + rng() % 4);
        for (std::size_t b = 0; b < code.size; ++b)
            code.bytes[b] = static_cast<std::uint8_t>(0x80 + rng() % 4);
        if (code.size == 1)
            t.entries[code.bytes[0]] = text();
        else
            sequences[code] = text();
    }
    for (auto& [code, text] : sequences)
        t.sequences.push_back({code, text});
    t.codes = {ByteCode::fromHex(rng() % 2 ? "FF" : "8081").value(), ByteCode::fromHex(rng() % 2 ? "00" : "8283").value()};
    const FinishedTable finished = finishTable(t.entries, t.sequences, t.codes.lineBreak, t.codes.end, "<e>");
    t.matcher = EntryMatcher(t.entries, finished.longestEntryLength, t.sequences);
    return t;
}

// Every code of the table in tie order: one-byte codes ascending, then the rest.
std::vector<SequenceEntry> allCodes(const RandomTable& t)
{
    std::vector<SequenceEntry> all;
    for (int code = 0; code < 256; ++code)
        all.push_back({static_cast<std::uint8_t>(code), t.entries[static_cast<std::size_t>(code)]});
    all.insert(all.end(), t.sequences.begin(), t.sequences.end());
    return all;
}

std::string referenceDecode(const RandomTable& t, const Bytes& bytes)
{
    std::string text;
    for (std::size_t i = 0; i < bytes.size();) {
        const SequenceEntry* best = nullptr;
        for (const SequenceEntry& e : t.sequences)
            if (i + e.code.size <= bytes.size() && std::equal(e.code.view().begin(), e.code.view().end(), bytes.begin() + static_cast<std::ptrdiff_t>(i)) &&
                (!best || e.code.size > best->code.size))
                best = &e;
        text += best ? best->text : t.entries[bytes[i]];
        i += best ? best->code.size : 1;
    }
    return text;
}

std::optional<Bytes> referenceEncode(const RandomTable& t, std::string_view text)
{
    const std::vector<SequenceEntry> all = allCodes(t);
    Bytes bytes;
    for (std::size_t i = 0; i < text.size();) {
        const SequenceEntry* best = nullptr;
        for (const SequenceEntry& e : all)
            if (text.substr(i).starts_with(e.text) && (!best || e.text.size() > best->text.size()))
                best = &e;
        if (!best)
            return std::nullopt;
        bytes.insert(bytes.end(), best->code.view().begin(), best->code.view().end());
        i += best->text.size();
    }
    return bytes;
}

TEST(MultiByteTable, DecodeAndEncodeAgreeWithTheReference)
{
    std::mt19937 rng(20);
    for (int round = 0; round < 200; ++round) {
        const RandomTable t = randomTable(rng);
        Bytes rom = randomBytes(64, static_cast<unsigned>(round));
        for (std::uint8_t& b : rom)
            if (rng() % 4)
                b = static_cast<std::uint8_t>(0x80 + rng() % 4);
        const std::string text = decodeBytes(t.matcher, rom);
        ASSERT_EQ(text, referenceDecode(t, rom)) << "round " << round;
        const StrictEncodeResult encoded = encodeStrict(t.matcher, text);
        const std::optional<Bytes> expected = referenceEncode(t, text);
        ASSERT_EQ(encoded.ok(), expected.has_value()) << "round " << round;
        if (expected)
            ASSERT_EQ(encoded.codes, *expected) << "round " << round;
        // Every entry encodes to one code that decodes to its text.
        for (const SequenceEntry& e : allCodes(t)) {
            const Bytes bytes = encodeString(t.matcher, e.text);
            ASSERT_EQ(decodeBytes(t.matcher, bytes), e.text) << "round " << round;
        }
    }
}

TEST(MultiByteTable, DumpRoundTripWithSequenceCodesAndEndToken)
{
    // The end token is shown and read back as the end code.
    TableFile file = *readTableFile("41=A\r\n8140=\xE3\x81\x82\r\n*FFFE\r\n/00=<end>\r\n").table;
    const FinishedTable finished =
        finishTable(file.entries, file.sequences, *file.lineBreakCode, *file.endCode, *file.endText);
    const EntryMatcher matcher(file.entries, finished.longestEntryLength, file.sequences);
    const ScriptCodes codes{*file.lineBreakCode, *file.endCode};
    const Bytes rom{0x41, 0x81, 0x40, 0xFF, 0xFE, 0x81, 0x00, 0x41, 0xFF};
    const std::string dump = scriptDumpText(matcher, codes, rom);
    EXPECT_EQ(dump, "A\xE3\x81\x82\r\n{81}<end>\r\n\r\nA{FF}\r\n");
    const Bytes back = encodeScriptLines(matcher, codes, splitTextLines(dump), false).bytes;
    EXPECT_EQ(back, (Bytes{0x41, 0x81, 0x40, 0xFF, 0xFE, 0x81, 0x00, 0x41, 0xFF, 0xFF, 0xFE}));
    // A character outside the table is named whole, by its character position.
    const ScriptEncodeResult refused = encodeScriptLines(matcher, codes, {"A\xE3\x81\x82\xE3\x81\x84"}, false);
    EXPECT_EQ(refused.unmatched, (UnmatchedCharacter{1, 3, "\xE3\x81\x84"}));
}

TEST(MultiByteTable, InsertWritesWholeCodesOnly)
{
    TableFile file = *readTableFile("41=A\r\n8140=\xE3\x81\x82\r\n").table;
    const FinishedTable finished = finishTable(file.entries, file.sequences, 0xFF, 0x00);
    const EntryMatcher matcher(file.entries, finished.longestEntryLength, file.sequences);
    for (const bool characterOriented : {false, true}) {
        Bytes image(6, 0xAA);
        const InsertResult result = insertString(image, 1, 4, matcher, "A\xE3\x81\x82\xE3\x81\x82", characterOriented);
        EXPECT_EQ(result.covered, 3u);
        EXPECT_EQ(image, (Bytes{0xAA, 0x41, 0x81, 0x40, 0xAA, 0xAA}));
        EXPECT_EQ(extractString(image, 1, 3, matcher), "A\xE3\x81\x82");
        EXPECT_EQ(extractString(image, 1, 2, matcher), "A{81}"); // a sequence cut by the length
    }
}

} // namespace
