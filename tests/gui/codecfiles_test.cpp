// Codec files in the user's folder as the program starts: the good ones join
// the codecs, the bad ones make one warning after the main window shows.
#include "app/codecfolders.h"
#include "app/codecwarning.h"
#include "apphelper.h"
#include "guitest.h"
#include "tiles/codec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class CodecFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dataHome;

    void write(const QString& path, const QByteArray& text)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(text), text.size());
    }

private slots:
    void init() { qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit()); }
    void cleanup() { qunsetenv("XDG_DATA_HOME"); }

    void badFilesGiveOneWarningAfterTheWindowShows()
    {
        const QDir folder(dataHome.filePath(QStringLiteral("quarn-tile-mapper/codecs")));
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        write(folder.filePath("good.codec"),
              "name = GUI test codec\nbits per pixel = 1\ntile bytes = 8\nbyte = y\nbit = x\n");
        write(folder.filePath("bad1.codec"), "name = Half a codec\n");
        write(folder.filePath("bad2.codec"),
              "name = 2BPP NES\nbits per pixel = 1\ntile bytes = 8\nbyte = y\nbit = x\n");

        const QStringList problems = loadCodecFolders(standardCodecFolders());
        RunningApp app;
        warnOfSkippedCodecFiles(app.wb(), app.main.get(), problems);
        QCOMPARE(app.dialogs.messages.size(), 1);
        const QString message = app.dialogs.messages.front();
        QVERIFY2(message.startsWith(app.wb().text("CodecFilesSkipped") + QLatin1Char('\n')), qPrintable(message));
        QVERIFY2(message.contains(folder.filePath("bad1.codec") +
                                  ": line 1: the file does not give bits per pixel"),
                 qPrintable(message));
        QVERIFY2(message.contains(folder.filePath("bad2.codec") + ": a codec named \"2BPP NES\" exists already"),
                 qPrintable(message));
        QVERIFY(!message.contains(QStringLiteral("good.codec")));
        QVERIFY(codecByName("GUI test codec"));

        warnOfSkippedCodecFiles(app.wb(), app.main.get(), {});
        QCOMPARE(app.dialogs.messages.size(), 1);
    }
};

QUARN_GUI_TEST(codecfiles, CodecFilesTest);
#include "codecfiles_test.moc"
