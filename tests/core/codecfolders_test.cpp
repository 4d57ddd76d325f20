// Codec files loaded from folders as the programs start, and the codecs they
// add on quarn-tool's command line. Adds to the one codec registry of the
// process, so the names are this test's own.
#include "app/codecfolders.h"
#include "cli/argforms.h"
#include "cli/tool.h"
#include "tiles/codecs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray codecFile(const char* name)
{
    return QByteArray("name = ") + name + "\nbits per pixel = 2\ntile bytes = 16\nbyte = 2*y + p\nbit = 7 - x\n";
}

TEST(CodecFolders, LoadInFolderAndNameOrderSkippingBadFiles)
{
    QTemporaryDir first, second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    const QDir a(first.path()), b(second.path());
    writeFile(a.filePath("b.codec"), codecFile("Loaded B"));
    writeFile(a.filePath("a.codec"), codecFile("Loaded A"));
    writeFile(a.filePath("c.codec"), "name = Loaded C\nwidth = 40\n");
    writeFile(a.filePath("d.codec"), codecFile("Loaded A"));
    writeFile(a.filePath("e.codec"), QByteArray(kMaxCodecFileBytes + 1, '#'));
    writeFile(a.filePath("notes.txt"), "not a codec");
    ASSERT_TRUE(a.mkdir("folder.codec"));
    writeFile(b.filePath("a.codec"), codecFile("Loaded Z"));
    const int before = static_cast<int>(allCodecs().size());

    const QStringList problems =
        loadCodecFolders({a.path(), a.filePath("missing"), b.path(), a.path() + QStringLiteral("/.")});
    ASSERT_EQ(problems.size(), 3) << problems.join('\n').toStdString();
    EXPECT_EQ(problems[0], a.filePath("c.codec") + ": line 2: width must be a number from 1 to 32, not '40'");
    EXPECT_EQ(problems[1], a.filePath("d.codec") + ": a codec named \"Loaded A\" exists already");
    EXPECT_EQ(problems[2], a.filePath("e.codec") + ": the file is larger than 1048576 bytes");

    const std::vector<Codec> codecs = allCodecs();
    ASSERT_EQ(static_cast<int>(codecs.size()), before + 3);
    EXPECT_EQ(codecName(codecs[codecs.size() - 3]), "Loaded A");
    EXPECT_EQ(codecName(codecs[codecs.size() - 2]), "Loaded B");
    EXPECT_EQ(codecName(codecs[codecs.size() - 1]), "Loaded Z");

    // On the command line by name in any letter case, never by index.
    EXPECT_EQ(parseCodecArgument("LOADED b"), codecs[codecs.size() - 2]);
    EXPECT_FALSE(parseCodecArgument(std::to_string(codecIndex(codecs.back()))));
    std::ostringstream out, err;
    ASSERT_EQ(runTool({"--help"}, out, err), 0);
    EXPECT_NE(out.str().find("\n  Loaded A\n  Loaded B\n  Loaded Z\n"), std::string::npos) << out.str();
    const QString picture = a.filePath("map.bmp");
    EXPECT_EQ(runTool({"render", a.filePath("b.codec").toStdString(), "--codec", "loaded z", "-o",
                       picture.toStdString()},
                      out, err),
              0)
        << err.str();
    EXPECT_TRUE(QFile::exists(picture));
}

} // namespace
