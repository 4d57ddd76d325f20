// "Save changes to NAME?" before anything gives up a modified image: the end
// of the program, Open, Reload and a dropped file, with each answer.
#include "apphelper.h"
#include "guitest.h"

#include "text/dataf.h"
#include "tiles/tmform.h"

#include <QDir>
#include <QFileInfo>

namespace {
enum class Path { Exit, CloseButton, Open, Reload, DropOnMain, DropOnDataMap };
// What the test answers; SaveFails answers Save where the file cannot be written.
enum class Answer { None, Save, Discard, Cancel, SaveFails };

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
} // namespace

Q_DECLARE_METATYPE(Path)
Q_DECLARE_METATYPE(Answer)

class SaveChangesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;

    SharedState& state() { return app->state(); }
    bool titleMarked() { return app->main->windowTitle().endsWith(QLatin1Char('*')); }

private slots:
    void init() { app = std::make_unique<RunningApp>(); }
    void cleanup() { app.reset(); }

    void discardingAsksFirst_data()
    {
        QTest::addColumn<Path>("path");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<Answer>("answer");
        const std::pair<const char*, Path> paths[] = {
            {"F10", Path::Exit},       {"close button", Path::CloseButton}, {"Open", Path::Open},
            {"Reload", Path::Reload}, {"drop on main", Path::DropOnMain},  {"drop on data map", Path::DropOnDataMap}};
        for (const auto& [name, path] : paths) {
            QTest::addRow("%s: unmodified asks nothing", name) << path << false << Answer::None;
            QTest::addRow("%s: Save writes, then goes on", name) << path << true << Answer::Save;
            QTest::addRow("%s: Discard goes on unwritten", name) << path << true << Answer::Discard;
            QTest::addRow("%s: Cancel leaves all as it was", name) << path << true << Answer::Cancel;
            QTest::addRow("%s: a failing save cancels", name) << path << true << Answer::SaveFails;
        }
    }
    void discardingAsksFirst()
    {
        QFETCH(Path, path);
        QFETCH(bool, modified);
        QFETCH(Answer, answer);
        // The ROM in a folder of its own, which a failing save removes.
        QVERIFY(QDir(app->dir.path()).mkdir(QStringLiteral("roms")));
        const QByteArray original(16384, '\x11');
        const QString rom = app->writeFile(QStringLiteral("roms/game.nes"),
                                           std::vector<std::uint8_t>(original.begin(), original.end()));
        const QString other = app->writeFile(QStringLiteral("other.gb"), countingBytes(16384));
        app->open(rom);
        if (modified)
            setRomByte(state(), 5, 0x99);
        QCOMPARE(titleMarked(), modified);
        if (answer == Answer::SaveFails)
            QVERIFY(QDir(app->dir.filePath(QStringLiteral("roms"))).removeRecursively());
        if (answer != Answer::None)
            app->dialogs.saveChangesAnswers.push_back(
                answer == Answer::Discard ? SaveChangesAnswer::Discard
                : answer == Answer::Cancel ? SaveChangesAnswer::Cancel
                                           : SaveChangesAnswer::Save);

        switch (path) {
        case Path::Exit:
            app->main->action("ExitItem")->trigger();
            break;
        case Path::CloseButton:
            app->main->close();
            break;
        case Path::Open:
            app->open(other);
            break;
        case Path::Reload:
            app->main->action("ReloadItem")->trigger();
            break;
        case Path::DropOnMain:
            dropFiles(app->main.get(), {other});
            break;
        case Path::DropOnDataMap:
            dropFiles(app->wb().forms.dataForm, {other});
            break;
        }

        QCOMPARE(app->dialogs.unexpected, 0);
        QCOMPARE(app->dialogs.saveChangesQuestions,
                 modified ? QStringList{QStringLiteral("Save changes to game.nes?")} : QStringList{});
        const bool goesOn = answer == Answer::None || answer == Answer::Save || answer == Answer::Discard;
        QCOMPARE(app->dialogs.messages.size(), answer == Answer::SaveFails ? 1 : 0);
        if (answer != Answer::SaveFails)
            QCOMPARE(fileBytes(rom).at(5), answer == Answer::Save ? '\x99' : '\x11');

        const bool closing = path == Path::Exit || path == Path::CloseButton;
        if (closing)
            QCOMPARE(app->main->isVisible(), !goesOn);
        else if (path == Path::Reload)
            QCOMPARE(int(state().rom.bytes()[5]), answer == Answer::Save || !goesOn ? 0x99 : 0x11);
        else
            QCOMPARE(QString::fromStdString(state().rom.fileName()),
                     QFileInfo(goesOn ? other : rom).absoluteFilePath());
        if (!goesOn) {
            // Cancel: the edit, its undo step and the "*" are all still there.
            QCOMPARE(int(state().rom.bytes()[5]), 0x99);
            QVERIFY(state().rom.canUndo());
            QVERIFY(titleMarked());
        } else if (!closing) {
            QVERIFY(!titleMarked());
        }
    }

    void undoBackToTheSavedPointClearsTheMark()
    {
        const QString rom = app->writeFile(QStringLiteral("game.nes"), countingBytes(16384));
        app->open(rom);
        setRomByte(state(), 1, 0x40);
        app->main->action("SaveItem")->trigger();
        QVERIFY(!titleMarked());
        app->main->action("UndoItem")->trigger();
        QVERIFY(titleMarked()); // the file holds the edit, the image no longer
        app->main->action("RedoItem")->trigger();
        QVERIFY(!titleMarked());
        // Nothing modified: no question.
        app->main->action("ReloadItem")->trigger();
        QVERIFY(app->dialogs.saveChangesQuestions.isEmpty());
        QCOMPARE(int(state().rom.bytes()[1]), 0x40);
    }

    void reloadShowsTheNewSizeInTheCaptions()
    {
        const QString rom = app->writeFile(QStringLiteral("game.nes"), countingBytes(40000));
        app->open(rom);
        QVERIFY(app->wb().forms.tileMapForm->windowTitle().endsWith(QStringLiteral("/ 00009C40]")));
        app->writeFile(QStringLiteral("game.nes"), countingBytes(3000));
        app->main->action("ReloadItem")->trigger();
        QVERIFY(app->wb().forms.tileMapForm->windowTitle().endsWith(QStringLiteral("/ 00002000]")));
        QVERIFY(app->wb().forms.dataForm->windowTitle().endsWith(QStringLiteral("/ 00002000]")));
    }
};

QUARN_GUI_TEST(savechanges, SaveChangesTest);
#include "savechanges_test.moc"
