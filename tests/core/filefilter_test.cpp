#include "app/filefilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct FilterCase {
    const char* name;
    const char* windows;
    const char* qt;
};

const FilterCase kFilters[] = {
    // The four filters of the language texts.
    {"Tables", "Table (*.tbl)|*.tbl|All Files (*.*)|*.*", "Table (*.tbl);;All Files (*)"},
    {"Palettes", "KVR Palette (*.pal)|*.pal|Photoshop Palette (*.act)|*.act|All Files (*.*)|*.*",
     "KVR Palette (*.pal);;Photoshop Palette (*.act);;All Files (*)"},
    {"Roms",
     "All Formats|*.nes; *.gb; *.gbc; *.gba; *.ngp; *.bin; *.smc; *.fig; *.chr; *.sms; *.gg"
     "|NES ROM (*.nes)|*.nes"
     "|Game Boy ROM  (*.gb; *.gbc; *.gba)|*.gb; *.gbc; *.gba"
     "|NeoGeo PocketPC ROM (*.ngp)|*.ngp"
     "|SNES ROM (*.smc; *.fig)|*.smc; *.fig"
     "|Sega ROM (*.bin)|*.bin"
     "|SMS/SGG ROM (*.sms; *.gg)|*.sms; *.gg"
     "|All Files (*.*)|*.*",
     "All Formats (*.nes *.gb *.gbc *.gba *.ngp *.bin *.smc *.fig *.chr *.sms *.gg)"
     ";;NES ROM (*.nes)"
     ";;Game Boy ROM (*.gb *.gbc *.gba)"
     ";;NeoGeo PocketPC ROM (*.ngp)"
     ";;SNES ROM (*.smc *.fig)"
     ";;Sega ROM (*.bin)"
     ";;SMS/SGG ROM (*.sms *.gg)"
     ";;All Files (*)"},
    {"DataMaps", "Data Map File (*.kvr)|*.kvr", "Data Map File (*.kvr)"},
    // The bitmap dialogs' own filter.
    {"Bitmaps", "Bitmap (*.bmp)|*.bmp", "Bitmap (*.bmp)"},
    // A description without patterns of its own gets the list added.
    {"BareDescription", "Everything|*.*", "Everything (*)"},
    // "*.*" inside a list, patterns without blanks, empty patterns between ";".
    {"MixedList", "Mixed|*.nes;*.*", "Mixed (*.nes *)"},
    {"EmptyPatterns", "Odd|*.a;;*.b; ;", "Odd (*.a *.b)"},
    // Parentheses that do not end the description are part of it.
    {"InnerParentheses", "Dumps (raw) files|*.raw", "Dumps (raw) files (*.raw)"},
    // A description given without its patterns is dropped.
    {"DanglingDescription", "Table (*.tbl)|*.tbl|Orphan", "Table (*.tbl)"},
    {"Empty", "", ""},
};

class QtFileFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(QtFileFilter, ConvertsPairsToQtEntries)
{
    EXPECT_EQ(qtFileFilter(GetParam().windows), GetParam().qt);
}

INSTANTIATE_TEST_SUITE_P(Table, QtFileFilter, ::testing::ValuesIn(kFilters),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(QtFileFilter, EveryEntryEndsInExactlyOnePatternList)
{
    // Qt takes the patterns from the last "(...)" of an entry: a second
    // parenthesised list would hide the real patterns.
    const std::string qt = qtFileFilter(
        "Game Boy ROM  (*.gb; *.gbc; *.gba)|*.gb; *.gbc; *.gba|SNES ROM (*.smc; *.fig)|*.smc; *.fig");
    std::size_t start = 0;
    int entries = 0;
    while (start <= qt.size()) {
        const std::size_t end = std::min(qt.find(";;", start), qt.size());
        const std::string entry = qt.substr(start, end - start);
        SCOPED_TRACE(entry);
        EXPECT_EQ(std::count(entry.begin(), entry.end(), '('), 1);
        EXPECT_EQ(entry.back(), ')');
        EXPECT_EQ(entry.find(';'), std::string::npos) << "patterns are separated by blanks";
        ++entries;
        start = end + 2;
    }
    EXPECT_EQ(entries, 2);
}

TEST(SuffixWithoutDot, DropsOnlyTheLeadingDot)
{
    EXPECT_EQ(suffixWithoutDot(".nes"), "nes");
    EXPECT_EQ(suffixWithoutDot(".bmp"), "bmp");
    EXPECT_EQ(suffixWithoutDot("nes"), "nes");
    EXPECT_EQ(suffixWithoutDot(".tar.gz"), "tar.gz");
    EXPECT_EQ(suffixWithoutDot("."), "");
    EXPECT_EQ(suffixWithoutDot(""), "");
}

} // namespace
