#include "text/stringcodec.h"

#include "support/testdata.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct Finished {
    TableEntries entries;
    std::uint8_t longest = 0;
    EntryMatcher matcher() const { return EntryMatcher(entries, longest); }
};

Finished finishedTable(const std::string& body)
{
    Finished f;
    f.entries = readTableFile("H0\r\n" + body).table.value().entries;
    f.longest = finishTableEntries(f.entries, 0xFF, 0x00).longestEntryLength;
    return f;
}

// The plain scan the matcher must agree with: every length from the longest
// down to 1, every code in ascending order.
std::optional<std::uint8_t> referenceMatch(const TableEntries& entries, std::size_t longest, std::string_view text,
                                           std::size_t offset)
{
    if (offset >= text.size())
        return std::nullopt;
    for (std::size_t length = longest; length >= 1; --length) {
        const std::string_view candidate = text.substr(offset, length);
        for (std::size_t code = 0; code < 256; ++code)
            if (entries[code] == candidate)
                return static_cast<std::uint8_t>(code);
    }
    return std::nullopt;
}

std::string randomText(std::mt19937& rng, std::string_view alphabet, std::size_t maxLength)
{
    std::string text(rng() % (maxLength + 1), ' ');
    for (char& ch : text)
        ch = alphabet[rng() % alphabet.size()];
    return text;
}

TEST(EntryMatcher, AgreesWithThePlainScanOnRandomTables)
{
    std::mt19937 rng(7);
    constexpr std::string_view alphabet = "abc{}^END01";
    for (int round = 0; round < 200; ++round) {
        TableEntries entries;
        for (std::string& entry : entries)
            entry = rng() % 4 ? randomText(rng, alphabet, 1 + round % 8) : std::string();
        // Some rounds are finished tables, others raw ones with a stale or
        // short longest length.
        std::uint8_t longest = static_cast<std::uint8_t>(rng() % 9);
        if (round % 2)
            longest = finishTableEntries(entries, static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()))
                          .longestEntryLength;
        const EntryMatcher matcher(entries, longest);
        for (int t = 0; t < 20; ++t) {
            const std::string text = randomText(rng, alphabet, 24);
            for (std::size_t offset = 0; offset <= text.size(); ++offset)
                ASSERT_EQ(matcher.match(text, offset), referenceMatch(entries, longest, text, offset))
                    << "round " << round << " text '" << text << "' offset " << offset;
        }
        for (int ch = 0; ch < 256; ++ch) {
            std::optional<std::uint8_t> expected;
            for (int code = 255; code >= 0; --code)
                if (entries[static_cast<std::size_t>(code)] == std::string(1, static_cast<char>(ch)))
                    expected = static_cast<std::uint8_t>(code);
            ASSERT_EQ(matcher.singleCharacterCode(static_cast<unsigned char>(ch)), expected);
        }
    }
}

TEST(EntryMatcher, LongestMatchThenLowestCode)
{
    const EntryMatcher m = finishedTable("61=A\r\n41=A\r\n8B=ab\r\n8A=abc\r\n64=d\r\n").matcher();
    EXPECT_EQ(m.match("A", 0), std::optional<std::uint8_t>(0x41));
    EXPECT_EQ(m.match("abcd", 0), std::optional<std::uint8_t>(0x8A));
    EXPECT_EQ(m.match("abcd", 3), std::optional<std::uint8_t>(0x64));
    EXPECT_EQ(m.match("xab", 1), std::optional<std::uint8_t>(0x8B)) << "text ends sooner";
    EXPECT_FALSE(m.match("abcd", 4).has_value());
    EXPECT_FALSE(m.match("B", 0).has_value()) << "compared case-sensitively";
    EXPECT_FALSE(EntryMatcher().match("A", 0).has_value());
}

TEST(DecodeBytes, ExactlyOneEntryPerByte)
{
    const Finished f = finishedTable("41=A\r\n20= \r\n8A=abc\r\n");
    EXPECT_EQ(decodeBytes(f.entries, Bytes{0x41, 0x20, 0x8A, 0x1F, 0xFF, 0x00, 0x41}), "A abc{1F}{^}{END}A");
    EXPECT_EQ(decodeBytes(f.entries, Bytes{}), "");
}

TEST(EncodeString, DecodedTextEncodesBackToTheSameCodes)
{
    const Finished f = finishedTable("41=A\r\n42=B\r\n20= \r\n8A=abc\r\n8B=ab\r\n");
    const Bytes bytes{0x41, 0x8A, 0x8B, 0x20, 0x1F, 0xFF, 0x42, 0x00};
    EXPECT_EQ(encodeString(f.matcher(), decodeBytes(f.entries, bytes)), bytes);
    EXPECT_TRUE(encodeStrict(f.matcher(), decodeBytes(f.entries, bytes)).ok());
}

TEST(EncodeString, UnmatchedCharactersAreDroppedOrReported)
{
    const EntryMatcher m = finishedTable("41=A\r\n42=B\r\n").matcher();
    EXPECT_EQ(encodeString(m, "AB?A"), (Bytes{0x41, 0x42, 0x41}));
    EXPECT_EQ(encodedLength(m, "AB?A"), 3u);
    const StrictEncodeResult strict = encodeStrict(m, "AB?A");
    EXPECT_EQ(strict.unmatchedOffset, std::optional<std::size_t>(2));
    EXPECT_EQ(strict.codes, (Bytes{0x41, 0x42}));
}

// Insert string into a 6-byte image of AA bytes at offset 1, as the string bar does.
struct InsertCase {
    const char* name;
    std::string table;
    std::string text;
    std::int32_t maxLength;
    bool characterOriented;
    Bytes expected;
    std::size_t covered;
    std::optional<std::size_t> unmatched = {};
};

TEST(InsertString, WritesWhatTheTextEncodesToOrNothing)
{
    const std::string ab = "41=A\r\n42=B\r\n43=C\r\n44=D\r\n45=E\r\n";
    const Bytes untouched(6, 0xAA);
    const std::vector<InsertCase> cases{
        {"longest match", "41=A\r\n42=B\r\n2A=AB\r\n", "ABA", 9, false, {0xAA, 0x2A, 0x41, 0xAA, 0xAA, 0xAA}, 2},
        {"end marker", "48=H\r\n49=I\r\n", "HI{END}", 9, false, {0xAA, 0x48, 0x49, 0x00, 0xAA, 0xAA}, 3},
        {"limit", ab, "ABCDE", 3, false, {0xAA, 0x41, 0x42, 0x43, 0xAA, 0xAA}, 3},
        {"cut at the end", ab, "ABCDE", 9, false, {0xAA, 0x41, 0x42, 0x43, 0x44, 0x45}, 5},
        {"by character, limit", ab, "ABCDE", 2, true, {0xAA, 0x41, 0x42, 0xAA, 0xAA, 0xAA}, 2},
        {"placeholder", "42=B\r\n", "{41}B", 9, false, {0xAA, 0x41, 0x42, 0xAA, 0xAA, 0xAA}, 2},
        // All or nothing: one character without a code refuses the whole text,
        // even past the limit.
        {"unmatched", ab, "A?B", 9, false, untouched, 0, 1},
        {"unmatched by character", ab, "A?B", 9, true, untouched, 0, 1},
        {"unmatched past the limit", ab, "ABC\xFC", 2, false, untouched, 0, 3},
        {"no entry by itself", "2A=AB\r\n", "AB", 9, true, untouched, 0, 0},
        {"placeholder of a code with text", "41=A\r\n", "{41}", 9, false, untouched, 0, 0},
    };
    for (const InsertCase& c : cases) {
        Bytes image = untouched;
        const Finished f = finishedTable(c.table);
        const InsertResult result = insertString(image, 1, c.maxLength, f.matcher(), c.text, c.characterOriented);
        EXPECT_EQ(result.covered, c.covered) << c.name;
        EXPECT_EQ(result.unmatchedOffset, c.unmatched) << c.name;
        EXPECT_EQ(image, c.expected) << c.name;
    }
}

TEST(InsertString, NeverWritesOutsideTheImage)
{
    const EntryMatcher m = finishedTable("41=A\r\n").matcher();
    for (std::int64_t start : {-1, 4, 5}) {
        for (bool byCharacter : {false, true}) {
            Bytes image(4, 0xAA);
            EXPECT_EQ(insertString(image, start, 9, m, "AAAA", byCharacter).covered, 0u);
            EXPECT_EQ(image, Bytes(4, 0xAA));
        }
    }
}

TEST(ExtractString, ExactlyMaximumLengthEntriesCutAtTheEnd)
{
    const Finished f = finishedTable("41=A\r\n");
    const Bytes image{0x00, 0x41, 0xFF, 0x7F};
    EXPECT_EQ(extractString(image, 0, 1, f.entries), "{END}");
    EXPECT_EQ(extractString(image, 1, 3, f.entries), "A{^}{7F}");
    EXPECT_EQ(extractString(image, 2, 960, f.entries), "{^}{7F}");
    EXPECT_EQ(extractString(image, 4, 2, f.entries), "");
    EXPECT_EQ(extractString(image, -1, 2, f.entries), "");
}

} // namespace
