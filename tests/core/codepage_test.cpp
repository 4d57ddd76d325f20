// The code page table texts are shown through: 8-bit and keeping ASCII.
#include "app/codepage.h"

#include <gtest/gtest.h>

TEST(CodePage, OnlyAsciiCompatiblePagesAreAccepted)
{
    for (const char* name : {"windows-1252", "windows-1251", "ISO-8859-5", "KOI8-R", "IBM866"}) {
        EXPECT_TRUE(CodePage(QString::fromLatin1(name)).isValid()) << name;
        EXPECT_TRUE(CodePage(QString::fromLatin1(name)).isEightBit()) << name;
    }
    for (const char* name : {"UTF-8", "Shift_JIS", "EUC-JP", "GBK", "Big5", "EUC-KR"}) {
        EXPECT_TRUE(CodePage(QString::fromLatin1(name)).isValid()) << name;
        EXPECT_FALSE(CodePage(QString::fromLatin1(name)).isEightBit()) << name;
    }
    // UTF-16 and EBCDIC move the digits the input boxes accept.
    for (const char* name : {"UTF-16", "IBM037", "no-such-page"})
        EXPECT_FALSE(CodePage(QString::fromLatin1(name)).isValid()) << name;
}

TEST(CodePage, MultiByteAndEveryEightBitByteRoundTrip)
{
    const CodePage japanese(QStringLiteral("Shift_JIS"));
    const QString kana = QString::fromUtf8("カナA");
    bool lossless = false;
    const std::string bytes = japanese.fromUnicode(kana, &lossless);
    EXPECT_TRUE(lossless);
    EXPECT_EQ(bytes, "\x83\x4A\x83\x69\x41");
    EXPECT_EQ(japanese.toUnicode(bytes), kana);
    EXPECT_EQ(japanese.firstCharacterNotHeld(QString::fromUtf8("ア\u0416")), std::nullopt);
    EXPECT_EQ(japanese.firstCharacterNotHeld(QString::fromUtf8("ア\U0001F600")), 1);
    // Bytes an 8-bit page leaves undefined still come back as themselves.
    for (const char* name : {"windows-1252", "windows-1251"}) {
        const CodePage page{QString::fromLatin1(name)};
        std::string all;
        for (int b = 0; b < 256; ++b)
            all += static_cast<char>(b);
        EXPECT_EQ(page.fromUnicode(page.toUnicode(all), &lossless), all) << name;
        EXPECT_TRUE(lossless) << name;
    }
}

TEST(CodePage, BytesRoundTripThroughTheChosenPage)
{
    const CodePage cyrillic(QStringLiteral("windows-1251"));
    const std::string bytes = "\xC0\xE1\x20\x41";
    EXPECT_EQ(cyrillic.toUnicode(bytes), QString::fromUtf8("Аб A"));
    bool lossless = false;
    EXPECT_EQ(cyrillic.fromUnicode(QString::fromUtf8("Аб A"), &lossless), bytes);
    EXPECT_TRUE(lossless);
    CodePage western;
    EXPECT_EQ(western.name(), QStringLiteral("windows-1252"));
    western.fromUnicode(QString::fromUtf8("Ж"), &lossless);
    EXPECT_FALSE(lossless);
}
