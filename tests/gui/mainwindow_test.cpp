// The main window: start-up, menus, loading, saving and dropped files.
#include "apphelper.h"
#include "guitest.h"

#include "about/about.h"
#include "app/inputbox.h"
#include "search/searchform.h"
#include "search/srres.h"
#include "text/crtrd.h"
#include "text/dataf.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"
#include "workspace/workspacef.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

namespace {
QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QString appTitle() { return QString::fromLatin1(kApplicationTitle); }
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;

    QAction* item(const char* name) { return app->main->action(name); }
    QString title() { return app->main->windowTitle(); }
    QString romName() { return QString::fromStdString(app->state().rom.fileName()); }

private slots:
    void init() { app = std::make_unique<RunningApp>(); }
    void cleanup() { app.reset(); }

    void startupCreatesTheTenWindows()
    {
        const Forms& f = app->wb().forms;
        QVERIFY(f.mainForm && f.inputForm && f.aboutForm && f.searchForm && f.crtransForm && f.searchResForm &&
                f.tileMapForm && f.tileEditForm && f.dataForm && f.workspaceForm);
        QVERIFY(f.tileMapForm->isVisible() && f.tileEditForm->isVisible() && f.dataForm->isVisible());
        QVERIFY(!f.workspaceForm->isVisible() && !f.searchResForm->isVisible() && !f.inputForm->isVisible());
        QCOMPARE(title(), appTitle());
        QCOMPARE(app->main->size(), QSize(545, 124));
        QCOMPARE(app->state().codec, Codec::Nes);
        QCOMPARE(app->state().tileMap.picture().width, 128);
        QCOMPARE(app->state().tileBitmap.width, 8);
        QCOMPARE(app->state().palettes, defaultPalettes());
    }

    void menusCarryCaptionsShortcutsAndStartStates()
    {
        QCOMPARE(item("OpenItem")->text(), QStringLiteral("Open..."));
        QCOMPARE(item("OpenItem")->shortcut(), QKeySequence(Qt::Key_F3));
        QCOMPARE(item("SaveASitem")->text(), QStringLiteral("Save As..."));
        QCOMPARE(item("SaveASitem")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(item("N4")->text(), QStringLiteral("Move Left"));
        QCOMPARE(item("N7")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F12));
        QCOMPARE(item("N11")->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_A));
        QCOMPARE(item("GoTo1")->text(), QStringLiteral("Go to..."));
        QCOMPARE(item("BMP2")->text(), QStringLiteral("Save To BMP..."));
        QCOMPARE(item("English")->text(), QStringLiteral("English (Integrated)"));
        QCOMPARE(item("TileMapMenu")->text(), QStringLiteral("Tile Map"));
        QVERIFY(app->main->findChild<QMenuBar*>(QStringLiteral("MainMenu")));
        QCOMPARE(item("Language")->text(), QStringLiteral("Language"));
        for (const char* name : {"TileMapMenu", "DataMapMenu", "ReloadItem", "SaveItem", "SaveASitem"})
            QVERIFY2(!item(name)->isEnabled(), name);
        QVERIFY(item("N11")->isChecked() && item("N12")->isChecked() && item("N13")->isChecked());
        QVERIFY(!item("N29")->isChecked());
    }

    void shortFileLoadsGrownAndSavesWhole()
    {
        const QString path = app->writeFile(QStringLiteral("short.nes"), countingBytes(1000));
        app->open(path);
        QCOMPARE(app->state().romSize(), 16384);
        QCOMPARE(int(app->state().rom.bytes()[999]), 999 % 256);
        QCOMPARE(int(app->state().rom.bytes()[1000]), 0); // padding
        QCOMPARE(title(), appTitle() + " - [" + QFileInfo(path).absoluteFilePath() + "]");
        for (const char* name : {"TileMapMenu", "DataMapMenu", "ReloadItem", "SaveItem", "SaveASitem"})
            QVERIFY2(item(name)->isEnabled(), name);
        item("SaveItem")->trigger();
        QCOMPARE(fileBytes(path).size(), 16384);
        item("ReloadItem")->trigger();
        QCOMPARE(app->state().romSize(), 16384);
        QVERIFY(app->dialogs.messages.isEmpty());
    }

    void reloadOfAShorterFileGivesTheReloadMinimum()
    {
        const QString path = app->writeFile(QStringLiteral("big.nes"), countingBytes(40000));
        app->open(path);
        app->wb().forms.tileMapForm->moveTileMapScroll(30000);
        app->writeFile(QStringLiteral("big.nes"), countingBytes(3000));
        item("ReloadItem")->trigger();
        QCOMPARE(app->state().romSize(), 8192);
        // Position and ranges stay; the map past the end is drawn black.
        QCOMPARE(app->state().tileMapPosition, 30000);
        QCOMPARE(app->state().tileMap.picture().at(0, 0), kBlackPixel);
        QVERIFY(!title().endsWith('*'));
    }

    void failedOpenKeepsImageNameAndCodec()
    {
        const QString path = app->writeFile(QStringLiteral("first.nes"), countingBytes(16384));
        app->open(path);
        const RomBytes before = app->state().rom.bytes();
        app->open(app->dir.filePath(QStringLiteral("missing.gba")));
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("File not found")});
        QCOMPARE(romName(), QFileInfo(path).absoluteFilePath());
        QCOMPARE(app->state().codec, Codec::Nes);
        QCOMPARE(app->state().rom.bytes(), before);
        app->open(app->dir.path()); // a folder is no ROM
        QCOMPARE(app->dialogs.messages.last(), QStringLiteral("File access denied"));
        QCOMPARE(romName(), QFileInfo(path).absoluteFilePath());
    }

    void saveAsTakesTheNewNameOnlyWhenWritten()
    {
        const QString path = app->writeFile(QStringLiteral("a.nes"), countingBytes(16384));
        app->open(path);
        app->dialogs.saveAnswers.push_back(std::nullopt); // cancelled
        item("SaveASitem")->trigger();
        QCOMPARE(romName(), QFileInfo(path).absoluteFilePath());

        app->dialogs.saveAnswers.push_back(app->dir.filePath(QStringLiteral("no/such/folder/b.nes")));
        item("SaveASitem")->trigger();
        QCOMPARE(app->dialogs.messages.size(), 1);
        QCOMPARE(romName(), QFileInfo(path).absoluteFilePath());

        const QString copy = app->dir.filePath(QStringLiteral("copy.nes"));
        app->dialogs.saveAnswers.push_back(copy);
        item("SaveASitem")->trigger();
        QCOMPARE(romName(), QFileInfo(copy).absoluteFilePath());
        QCOMPARE(fileBytes(copy).size(), 16384);
        QCOMPARE(app->dialogs.lastSave.title, QStringLiteral("Save Rom"));
        // Save and Reload now use the new name.
        setRomByte(app->state(), 0, 0xAB);
        item("SaveItem")->trigger();
        QCOMPARE(quint8(fileBytes(copy).at(0)), quint8(0xAB));
        QCOMPARE(quint8(fileBytes(path).at(0)), quint8(0));
    }

    void saveKeepsPermissionsAndFailsWithoutHarm()
    {
        const QString path = app->writeFile(QStringLiteral("perm.nes"), countingBytes(16384));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        app->open(path);
        setRomByte(app->state(), 1, 0xCD);
        item("SaveItem")->trigger();
        QCOMPARE(QFileInfo(path).permissions() & 0x7777,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                     QFileDevice::WriteUser | QFileDevice::ReadGroup);
        QCOMPARE(quint8(fileBytes(path).at(1)), quint8(0xCD));
        // The folder is gone: Save reports it and the image stays loaded.
        QDir(app->dir.path()).removeRecursively();
        item("SaveItem")->trigger();
        QCOMPARE(app->dialogs.messages.size(), 1);
        QVERIFY(app->state().romLoaded);
    }

    void droppedFilesOpenOnlyTheFirst()
    {
        const QString first = app->writeFile(QStringLiteral("one.gb"), countingBytes(16384));
        const QString second = app->writeFile(QStringLiteral("two.nes"), countingBytes(16384));
        dropFiles(app->main.get(), {first, second, second});
        QCOMPARE(romName(), QFileInfo(first).absoluteFilePath());
        QCOMPARE(app->state().codec, Codec::GameBoy);
        dropFiles(app->wb().forms.dataForm, {second});
        QCOMPARE(romName(), QFileInfo(second).absoluteFilePath());
    }

    void secondLoadKeepsTheSelectedCell()
    {
        app->open(app->writeFile(QStringLiteral("one.nes"), countingBytes(16384)));
        app->state().selectedCell = 7;
        app->wb().forms.tileMapForm->moveTileMapScroll(100);
        app->open(app->writeFile(QStringLiteral("two.nes"), countingBytes(20000)));
        QCOMPARE(app->state().selectedCell, 7);
        QCOMPARE(app->state().tileMapPosition, 0);
        QCOMPARE(app->state().dataPosition, 0);
    }

    void commandLineFileOpensAtStartup()
    {
        app.reset();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("start.sms"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(20000, 'x'));
        file.close();
        auto main = createApplicationWindows();
        main->setStartupFile(path);
        main->show();
        QCOMPARE(main->workbench().state.romSize(), 20000);
        QCOMPARE(main->workbench().state.codec, Codec::Sms);
        QVERIFY(main->windowTitle().contains(QStringLiteral("start.sms")));
    }

    void optionsMenuShowsAndHidesToolWindows()
    {
        Ttilemapform* tileMap = app->wb().forms.tileMapForm;
        item("N11")->trigger(); // unchecks
        QVERIFY(!tileMap->isVisible());
        item("N11")->trigger();
        QVERIFY(tileMap->isVisible());
        tileMap->close(); // its own close button only hides it
        item("optItm")->menu()->popup(QPoint(0, 0));
        QVERIFY(!item("N11")->isChecked());
        item("optItm")->menu()->hide();
        item("N29")->trigger();
        QVERIFY(app->wb().forms.workspaceForm->isVisible());
    }

    void defaultLayoutPlacesToolWindowsBesideTheMainWindow()
    {
        item("N27")->trigger();
        const QRect main = app->main->frameGeometry();
        const Forms& f = app->wb().forms;
        QCOMPARE(f.tileMapForm->frameGeometry().left(), main.right() + 1 + 5);
        QCOMPARE(f.dataForm->frameGeometry().top(), main.bottom() + 1 + 5);
        QCOMPARE(f.tileEditForm->frameGeometry().left(), f.tileMapForm->frameGeometry().left());
    }
};

QUARN_GUI_TEST(mainwindow, MainWindowTest);
#include "mainwindow_test.moc"
