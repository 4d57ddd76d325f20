#include "app/languageio.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A prefix with the program in bin/ and, as each case asks, a "lang" folder
// beside it and one where the installed program keeps it.
TEST(LanguageFolder, BesideTheProgramFirstThenTheInstalledOne)
{
    struct Case {
        const char* name;
        bool beside;
        bool installed;
        bool expectInstalled;
    };
    const Case cases[] = {
        {"none", false, false, false},
        {"only beside", true, false, false},
        {"only installed", false, true, true},
        {"both", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir prefix;
        ASSERT_TRUE(prefix.isValid());
        const QDir bin(prefix.filePath(QStringLiteral("bin")));
        ASSERT_TRUE(QDir().mkpath(bin.path()));
        const QString beside = bin.filePath(QStringLiteral("lang"));
        const QString installed = QDir::cleanPath(bin.filePath(installedLanguageFolder()));
        ASSERT_TRUE(installed.startsWith(prefix.path() + QLatin1Char('/'))) << installed.toStdString();
        if (c.beside) {
            ASSERT_TRUE(QDir().mkpath(beside));
        }
        if (c.installed) {
            ASSERT_TRUE(QDir().mkpath(installed));
        }
        EXPECT_EQ(languageFolderFor(bin.path()).toStdString(),
                  (c.expectInstalled ? installed : beside).toStdString());
    }
}

} // namespace
