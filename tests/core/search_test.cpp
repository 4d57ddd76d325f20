#include "search/search.h"
#include "search/searchpattern.h"
#include "support/testdata.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

TEST(SearchPattern, HexDigitsAndTableTextAsBytes)
{
    for (const auto& [digits, bytes] : std::vector<std::pair<std::string, Bytes>>{
             {"", {}}, {"1", {0x01}}, {"ABC", {0x0A, 0xBC}}, {"00FF7f", {0x00, 0xFF, 0x7F}}})
        EXPECT_EQ(hexPattern(digits), bytes) << digits;

    // "A" twice: longest match takes the lowest code, one byte per character the highest.
    const TableEntries entries = readTableFile("H0\n10=A\n20=A\n30=AB\n40=B").table->entries;
    const EntryMatcher matcher(entries, 2);
    struct Case {
        std::string text;
        bool oneBytePerCharacter;
        Bytes bytes;
        std::optional<std::size_t> characterWithoutCode;
    };
    for (const Case& c : std::vector<Case>{{"ABxA", false, {0x30, 0x10}, {}},
                                           {"ABA", true, {0x20, 0x40, 0x20}, {}},
                                           {"ABxA", true, {}, 2},
                                           {"", true, {}, {}}}) {
        const TextPattern pattern = tableTextPattern(matcher, c.text, c.oneBytePerCharacter);
        EXPECT_EQ(pattern.bytes, c.bytes) << c.text;
        EXPECT_EQ(pattern.characterWithoutCode, c.characterWithoutCode) << c.text;
    }
}

// Runs of 00, FF or 40 as in real ROMs, each followed by a few bytes of 40..44,
// so that words match often.
Bytes romLikeBytes(std::size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes bytes;
    while (bytes.size() < size) {
        bytes.insert(bytes.end(), 1 + rng() % 200, std::array<std::uint8_t, 3>{0x00, 0xFF, 0x40}[rng() % 3]);
        for (auto few = rng() % 40; few > 0; --few)
            bytes.push_back(static_cast<std::uint8_t>(0x40 + rng() % 5));
    }
    bytes.resize(size);
    return bytes;
}

// Every position where `word` lies with `step` between its bytes: byte for
// byte, or (relative) as far apart as its letters, as plain integers.
std::vector<std::size_t> plainHits(const Bytes& image, const Bytes& word, std::size_t step, bool relative)
{
    std::vector<std::size_t> hits;
    for (std::size_t p = 0; p + (word.size() - 1) * step < image.size(); ++p) {
        bool all = true;
        for (std::size_t j = 0; j < word.size(); ++j)
            all = all && word[j] - image[p + j * step] == (relative ? word[0] - image[p] : 0);
        if (all)
            hits.push_back(p);
    }
    return hits;
}

TEST(FindForward, EdgeCases)
{
    const Bytes image = {0xAA, 0xBB, 0x00, 0xAA, 0xBB, 0xAA, 0x00, 0xBB};
    struct Case {
        std::int64_t start;
        Bytes pattern;
        int interval;
        std::optional<std::size_t> hit;
    };
    for (const Case& c : std::vector<Case>{{0, {0xAA, 0xBB}, 0, 3},   // the start itself never counts
                                           {3, {0xAA, 0xBB}, 0, std::nullopt},
                                           {0, {0xAA, 0xBB}, 1, 5},   // AA . BB, at the last possible place
                                           {0, {0x00, 0xBB}, 4, 2},
                                           {0, {0x00, 0xBB}, 5, std::nullopt}, // 00 at 2 would end past the image
                                           {0, {}, 0, std::nullopt},
                                           {-1, {0xAA}, 0, std::nullopt},
                                           {8, {0xAA}, 0, std::nullopt},
                                           {1, {0xAA}, -4, 3}})
        EXPECT_EQ(findForward(image, c.start, c.pattern, c.interval), c.hit) << c.start << " " << c.interval;
}

TEST(FindForward, SuccessiveSearchesVisitEveryOccurrenceAsAPlainScanDoes)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        const Bytes image = romLikeBytes(3000, seed);
        std::mt19937 rng(seed);
        const auto step = static_cast<std::size_t>(rng() % 3 + 1);
        Bytes pattern(1 + rng() % 4);
        for (auto& b : pattern)
            b = image[rng() % 40]; // mostly 00, FF or 40..44, so occurrences are many
        std::vector<std::size_t> visited;
        for (auto hit = findForward(image, 0, pattern, static_cast<int>(step - 1)); hit && visited.size() < 3000;
             hit = findForward(image, static_cast<std::int64_t>(*hit), pattern, static_cast<int>(step - 1)))
            visited.push_back(*hit);
        std::vector<std::size_t> expected = plainHits(image, pattern, step, false);
        std::erase(expected, 0); // the first start
        ASSERT_EQ(visited, expected) << "seed " << seed;
    }
}

TEST(RelativeSearch, FindsWhatAPlainScanFindsOnRandomAndRomLikeData)
{
    std::size_t totalHits = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        Bytes image = seed % 3 == 0 ? randomBytes(5000, seed) : romLikeBytes(5000, seed);
        std::mt19937 rng(seed);
        std::string word(2 + rng() % 7, 'A');
        for (char& letter : word) // a small alphabet, repeated letters, and now and then a far one
            letter = static_cast<char>(rng() % 8 == 0 ? rng() % 256 : 'A' + rng() % 3);
        const auto step = static_cast<std::size_t>(1 + rng() % 4);
        const std::size_t span = (word.size() - 1) * step;
        // Shifted copies, some wrapping past FF, one at the last possible place.
        for (std::size_t copy = 0; copy < 30; ++copy) {
            const std::size_t at = copy == 0 ? image.size() - 1 - span : rng() % (image.size() - span);
            const auto shift = static_cast<std::uint8_t>(rng());
            for (std::size_t j = 0; j < word.size(); ++j)
                image[at + j * step] = static_cast<std::uint8_t>(word[j] + shift);
        }
        const std::vector<std::size_t> expected = plainHits(image, Bytes(word.begin(), word.end()), step, true);
        const RelativeSearchResult result = relativeSearch(image, word, static_cast<int>(step - 1));
        ASSERT_EQ(result.hits, expected) << "seed " << seed;
        EXPECT_FALSE(result.wordTooLong);
        totalHits += expected.size();
    }
    EXPECT_GT(totalHits, 1000u); // the comparison saw plenty of hits
}

TEST(RelativeSearch, PlainIntegerDistancesWordLengthsAndTheLastPosition)
{
    const Bytes image = {0x10, 0x11, 0x12, 0x7F, 0x80, 0x81, 0xFE, 0xFF, 0x00, 0x61, 0x62};
    EXPECT_EQ(relativeSearch(image, "ABC", 0).hits, (std::vector<std::size_t>{0, 3})); // FE FF 00 wraps
    EXPECT_EQ(relativeSearch(image, "AB", 0).hits, (std::vector<std::size_t>{0, 1, 3, 4, 6, 9}));
    EXPECT_EQ(relativeSearch(image, "ab", -1).hits, relativeSearch(image, "AB", 0).hits);
    EXPECT_TRUE(relativeSearch(image, "A", 0).hits.empty());

    const Bytes zeros(1000, 0x00); // inside a run every position up to the last possible one
    EXPECT_EQ(relativeSearch(zeros, "XX", 99).hits.size(), 900u);
    EXPECT_FALSE(relativeSearch(zeros, std::string(255, 'x'), 0).wordTooLong);
    const RelativeSearchResult tooLong = relativeSearch(zeros, std::string(256, 'x'), 0);
    EXPECT_TRUE(tooLong.wordTooLong);
    EXPECT_TRUE(tooLong.hits.empty());
}

} // namespace
