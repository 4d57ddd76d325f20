// The code page table texts are shown through: 8-bit and keeping ASCII.
#include "app/codepage.h"

#include <gtest/gtest.h>

TEST(CodePage, OnlyAsciiCompatibleEightBitPagesAreAccepted)
{
    for (const char* name : {"windows-1252", "windows-1251", "ISO-8859-5", "KOI8-R", "IBM866"})
        EXPECT_TRUE(CodePage(QString::fromLatin1(name)).isValid()) << name;
    // Multi-byte pages would turn one table byte into no character or several,
    // and EBCDIC moves the digits the input boxes accept.
    for (const char* name : {"UTF-8", "UTF-16", "Shift_JIS", "IBM037", "no-such-page"})
        EXPECT_FALSE(CodePage(QString::fromLatin1(name)).isValid()) << name;
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
