#include "tiles/nespalette.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {
using Indices = std::optional<std::vector<int>>;

TEST(NesColourIndices, TypedTextReadsAsIndicesOrIsRefused)
{
    struct Case {
        const char* text;
        int most;
        Indices expected;
    };
    const Case cases[] = {
        {"0F 00 10 30", 4, std::vector<int>{0x0F, 0x00, 0x10, 0x30}},
        {"  $0f   1 3F ", 4, std::vector<int>{0x0F, 0x01, 0x3F}},
        {"3f", 1, std::vector<int>{0x3F}},
        {"", 4, std::nullopt},
        {"   ", 4, std::nullopt},
        {"40", 4, std::nullopt},   // past the 64 master colours
        {"0F0", 4, std::nullopt},  // three digits
        {"$", 4, std::nullopt},
        {"$$1", 4, std::nullopt},
        {"0G", 4, std::nullopt},
        {"0x1", 4, std::nullopt},
        {"01 02 03", 2, std::nullopt}, // more than asked for
        {"-1", 4, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseNesColourIndices(c.text, c.most), c.expected) << '"' << c.text << '"';
}

// Any indices written in any of the accepted spellings read back unchanged.
TEST(NesColourIndices, RandomSpellingsReadBack)
{
    std::mt19937 random(7);
    for (int run = 0; run < 500; ++run) {
        std::vector<int> indices(1 + random() % 16);
        std::string text;
        for (int& index : indices) {
            index = static_cast<int>(random() % 64);
            char field[8];
            const char* form = random() % 2 ? "%02X" : (random() % 2 ? "$%x" : "%x");
            std::snprintf(field, sizeof field, form, index);
            text += std::string(1 + random() % 3, ' ') + field;
        }
        EXPECT_EQ(parseNesColourIndices(text, 16), indices) << text;
        EXPECT_EQ(parseNesColourIndices(text, static_cast<int>(indices.size()) - 1), std::nullopt) << text;
    }
}
} // namespace
