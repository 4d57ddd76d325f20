#include "app/settings.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Failure messages show the text, not the bytes of the object.
static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

class SettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("KVR_1_5.ini")); }
    void writeRaw(const QString& key, const QVariant& value)
    {
        QSettings raw(file(), QSettings::IniFormat);
        raw.setValue(key, value);
    }
};

TEST_F(SettingsTest, LanguageIsZeroWhenMissingOrNotAPositiveNumber)
{
    EXPECT_EQ(PersistedSettings(file()).language(), 0);
    for (const char* stored : {"abc", "", "-2", "1.5"}) {
        SCOPED_TRACE(stored);
        writeRaw(QStringLiteral("Language"), QString::fromLatin1(stored));
        EXPECT_EQ(PersistedSettings(file()).language(), 0);
    }
    writeRaw(QStringLiteral("Language"), QStringLiteral("3"));
    EXPECT_EQ(PersistedSettings(file()).language(), 3);
}

TEST_F(SettingsTest, LanguageIsStoredAsDecimalTextBesideTheCodePage)
{
    {
        PersistedSettings settings(file());
        settings.setLanguage(2);
        settings.setCodePageName(QStringLiteral("windows-1251"));
    }
    QSettings raw(file(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("Language")).toString(), QStringLiteral("2"));
    EXPECT_EQ(raw.value(QStringLiteral("CodePage")).toString(), QStringLiteral("windows-1251"));
    EXPECT_EQ(PersistedSettings(file()).language(), 2);
}

TEST_F(SettingsTest, ValidRequestedCodePageIsUsedAndRemembered)
{
    PersistedSettings settings(file());
    QStringList problems;
    const CodePage chosen = startupCodePage(settings, QStringLiteral("windows-1251"), problems);
    EXPECT_EQ(chosen.name(), QStringLiteral("windows-1251"));
    EXPECT_EQ(chosen.toUnicode("\xC0"), QString(QChar(0x0410)));
    EXPECT_TRUE(problems.isEmpty());
    EXPECT_EQ(settings.codePageName(), QStringLiteral("windows-1251"));
    // The next start without the option keeps it.
    EXPECT_EQ(startupCodePage(settings, std::nullopt, problems).name(), QStringLiteral("windows-1251"));
}

TEST_F(SettingsTest, UnknownCodePageIsReportedAndTheStoredOneKept)
{
    PersistedSettings settings(file());
    settings.setCodePageName(QStringLiteral("windows-1251"));
    QStringList problems;
    const CodePage chosen = startupCodePage(settings, QStringLiteral("no-such-page"), problems);
    EXPECT_EQ(chosen.name(), QStringLiteral("windows-1251"));
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems.front().contains(QStringLiteral("no-such-page")));
    EXPECT_EQ(settings.codePageName(), QStringLiteral("windows-1251"));
}

TEST_F(SettingsTest, WithNothingUsableStoredTheDefaultIsWindows1252)
{
    PersistedSettings settings(file());
    QStringList problems;
    EXPECT_EQ(startupCodePage(settings, std::nullopt, problems).name(), QStringLiteral("windows-1252"));
    settings.setCodePageName(QStringLiteral("edited-by-hand"));
    EXPECT_EQ(startupCodePage(settings, std::nullopt, problems).name(), QStringLiteral("windows-1252"));
    EXPECT_EQ(startupCodePage(settings, QStringLiteral("bogus"), problems).name(), QStringLiteral("windows-1252"));
    EXPECT_EQ(problems.size(), 1);
}

// ---- command line -------------------------------------------------------------------------

StartupArguments parse(std::initializer_list<const char*> words)
{
    QStringList list;
    for (const char* word : words)
        list << QString::fromUtf8(word);
    return parseStartupArguments(list);
}

TEST(StartupArguments, RomIsTheFirstArgumentThatIsNoOption)
{
    EXPECT_EQ(parse({}).romFile, QString());
    EXPECT_EQ(parse({"game.nes"}).romFile, QStringLiteral("game.nes"));
    StartupArguments both = parse({"--codepage", "windows-1251", "game.nes", "other.nes"});
    EXPECT_EQ(both.romFile, QStringLiteral("game.nes"));
    EXPECT_EQ(both.codePage, std::optional<QString>(QStringLiteral("windows-1251")));
    EXPECT_TRUE(both.problems.isEmpty());
    EXPECT_EQ(parse({"game.nes", "--codepage=koi8-r"}).codePage, std::optional<QString>(QStringLiteral("koi8-r")));
    EXPECT_EQ(parse({"--", "--odd-name.nes"}).romFile, QStringLiteral("--odd-name.nes"));
}

TEST(StartupArguments, MissingNameAndUnknownOptionsAreReported)
{
    const StartupArguments missing = parse({"game.nes", "--codepage"});
    EXPECT_EQ(missing.romFile, QStringLiteral("game.nes"));
    EXPECT_FALSE(missing.codePage.has_value());
    EXPECT_EQ(missing.problems.size(), 1);
    const StartupArguments unknown = parse({"--colour", "game.nes"});
    EXPECT_EQ(unknown.romFile, QStringLiteral("game.nes"));
    EXPECT_EQ(unknown.problems.size(), 1);
}

} // namespace
