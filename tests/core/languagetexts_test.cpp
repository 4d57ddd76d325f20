#include "app/languagetexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

namespace {

std::string lowerCase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return result;
}

// ---- The key table ---------------------------------------------------------

TEST(LanguageKeys, SectionsHold48ThenTheConstantsThen13KeysInFileOrder)
{
    const std::size_t count = kLanguageKeys.size();
    const std::size_t helpStart = count - 18;
    ASSERT_GE(count, 48u + 69u + 18u);
    const auto section = [](std::size_t i) { return kLanguageKeys[i].section; };
    for (std::size_t i = 0; i < 48; ++i)
        EXPECT_EQ(section(i), LanguageSection::Variable) << kLanguageKeys[i].key;
    for (std::size_t i = 48; i < helpStart; ++i)
        EXPECT_EQ(section(i), LanguageSection::Constant) << kLanguageKeys[i].key;
    for (std::size_t i = helpStart; i < count; ++i)
        EXPECT_EQ(section(i), LanguageSection::TblFormatInfo) << kLanguageKeys[i].key;

    EXPECT_EQ(kLanguageKeys.front().key, "Clear");
    EXPECT_EQ(kLanguageKeys[47].key, "InputFillByte");
    EXPECT_EQ(kLanguageKeys[48].key, "Filemenu");
    EXPECT_EQ(kLanguageKeys[110].key, "SaveKVRData");
    // The table format help: str1 to str18, last.
    for (std::size_t n = 1; n <= 18; ++n)
        EXPECT_EQ(kLanguageKeys[helpStart + n - 1].key, "str" + std::to_string(n));
}

TEST(LanguageKeys, NoKeyRepeatsEvenIgnoringLetterCase)
{
    // Language files compare key names without regard to case.
    std::set<std::string> seen;
    for (const LanguageKey& entry : kLanguageKeys)
        EXPECT_TRUE(seen.insert(lowerCase(entry.key)).second) << "repeated key " << entry.key;
}

TEST(LanguageKeys, EveryKeyHasABuiltInEnglishText)
{
    for (const LanguageKey& entry : kLanguageKeys)
        EXPECT_FALSE(entry.builtInEnglish.empty()) << entry.key;
}

// ---- Built-in English ------------------------------------------------------

struct EnglishCase {
    const char* key;
    const char* text;
};

const EnglishCase kEnglish[] = {
    {"Errs", "Non numeric value entered!!!"},
    {"Position", "Position"},
    {"SelPosition", "Selected position"},
    {"Ok", "OK"},
    {"AboutItem", "About"},
    {"Openitem", "Open"},
    {"Byte", "byte(s)."},
    {"NotFound", "Not Found!!!"},
    {"KVRWrongFileFormat", "Incompatible File Format!"},
    {"GoTo1Inputbx", "Go To Position On Tile Map:"},
    {"GoTo2Inputbx", "Go To Position:"},
    {"WSHint", "Shift to Copy, Ctrl to Exchange"},
    {"Filemenu", "ROM"},
    {"SaveASItem", "Save As..."},
    {"OpenROMTitle", "Open Rom"},
    {"SaveROMTitle", "Save Rom"},
    {"LenCount", "Character-Oriented String Length Counting"},
    {"FlipHoriz", "Horisontal Flip"},
    {"Find", "Search"},
    {"str1", "Tables"},
    {"str9", "code before \"=\" is the number of the tile/block on tile map (1 HEX-code)"},
    {"str10", "codes after \"=\" is the sequence of the bytes,"},
    {"str13", "Example:"},
    {"TBLFilter", "Table (*.tbl)|*.tbl|All Files (*.*)|*.*"},
    {"PALFilter", "KVR Palette (*.pal)|*.pal|Photoshop Palette (*.act)|*.act|All Files (*.*)|*.*"},
    {"KVRDataFilter", "Data Map File (*.kvr)|*.kvr"},
    {"ROMFilter",
     "All Formats|*.nes; *.gb; *.gbc; *.gba; *.ngp; *.bin; *.smc; *.fig; *.chr; *.sms; *.gg"
     "|NES ROM (*.nes)|*.nes|Game Boy ROM  (*.gb; *.gbc; *.gba)|*.gb; *.gbc; *.gba"
     "|NeoGeo PocketPC ROM (*.ngp)|*.ngp|SNES ROM (*.smc; *.fig)|*.smc; *.fig"
     "|Sega ROM (*.bin)|*.bin|SMS/SGG ROM (*.sms; *.gg)|*.sms; *.gg|All Files (*.*)|*.*"},
};

class BuiltInEnglish : public ::testing::TestWithParam<EnglishCase> {};

TEST_P(BuiltInEnglish, IsTheTextOfAFreshSet)
{
    const LanguageTexts texts;
    EXPECT_EQ(texts.text(GetParam().key), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Table, BuiltInEnglish, ::testing::ValuesIn(kEnglish),
                         [](const auto& info) { return std::string(info.param.key); });

TEST(LanguageTexts, RomFilterStartsWithAllFormats)
{
    const LanguageTexts texts;
    EXPECT_EQ(texts.text("ROMFilter").rfind("All Formats|*.nes; *.gb;", 0), 0u);
}

TEST(LanguageTexts, EveryKeyStartsAtItsBuiltInText)
{
    const LanguageTexts texts;
    for (const LanguageKey& entry : kLanguageKeys)
        EXPECT_EQ(texts.text(entry.key), entry.builtInEnglish) << entry.key;
}

// ---- Changing texts --------------------------------------------------------

TEST(LanguageTexts, SetReplacesOneTextOnly)
{
    LanguageTexts texts;
    ASSERT_TRUE(texts.set("Close", "Fermer"));
    EXPECT_EQ(texts.text("Close"), "Fermer");
    for (const LanguageKey& entry : kLanguageKeys) {
        if (entry.key == "Close")
            continue;
        EXPECT_EQ(texts.text(entry.key), entry.builtInEnglish) << entry.key;
    }
}

TEST(LanguageTexts, AnEmptyValueEmptiesTheText)
{
    LanguageTexts texts;
    ASSERT_TRUE(texts.set("Tile", ""));
    EXPECT_EQ(texts.text("Tile"), "");
}

TEST(LanguageTexts, UnknownKeyIsRefusedAndChangesNothing)
{
    LanguageTexts texts;
    EXPECT_FALSE(texts.set("NoSuchKey", "x"));
    EXPECT_FALSE(texts.set("", "x"));
    EXPECT_FALSE(texts.set("close", "x")) << "the table's own spelling is the key";
    for (const LanguageKey& entry : kLanguageKeys)
        EXPECT_EQ(texts.text(entry.key), entry.builtInEnglish) << entry.key;
    EXPECT_NE(texts.text("NoSuchKey"), "x");
}

TEST(LanguageTexts, UnknownKeyShowsItsNameInBraces)
{
    const LanguageTexts texts;
    EXPECT_EQ(texts.text("NoSuchKey"), "{NoSuchKey}");
}

TEST(LanguageTexts, SetBuiltInEnglishRestoresEveryText)
{
    LanguageTexts texts;
    for (const LanguageKey& entry : kLanguageKeys)
        ASSERT_TRUE(texts.set(entry.key, "translated " + std::string(entry.key)));
    EXPECT_EQ(texts.text("Errs"), "translated Errs");

    texts.setBuiltInEnglish();
    for (const LanguageKey& entry : kLanguageKeys)
        EXPECT_EQ(texts.text(entry.key), entry.builtInEnglish) << entry.key;
}

} // namespace
