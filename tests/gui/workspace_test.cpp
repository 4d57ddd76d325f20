// Tile tables through the Tables menu, the tile map's double click, and the
// workspace window driven through its buttons, mouse and dialogs.
#include "apphelper.h"
#include "guitest.h"
#include "mouse.h"

#include "app/imagebox.h"
#include "text/dataf.h"
#include "tiles/tmform.h"
#include "workspace/workspacef.h"

#include <QLabel>
#include <QSpinBox>
#include <QToolButton>

namespace {
std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }
const std::string kExampleTable = "H0\r\n19=01023F\r\n1A=0140\r\n";
QPoint blockCentre(int block) { return {(block % 16) * 16 + 8, (block / 16) * 16 + 8}; }
// Cells of the default 8 x 8 tiles, 1 x 1 blocks, are 16 x 16 on screen.
QPoint cellCentre(int cell) { return {(cell % 32) * 16 + 8, (cell / 32) * 16 + 8}; }
} // namespace

class WorkspaceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;

    SharedState& state() { return app->state(); }
    QAction* item(const char* name) { return app->main->action(name); }
    Tdataform& dataMap() { return *app->wb().forms.dataForm; }
    Tworkspaceform& ws() { return *app->wb().forms.workspaceForm; }
    ImageBox* tileMap() { return app->find<ImageBox>(app->wb().forms.tileMapForm, "TileMap"); }

    void openRom(std::vector<std::uint8_t> bytes)
    {
        bytes.resize(16384);
        app->open(app->writeFile(QStringLiteral("game.nes"), bytes));
    }
    void openTileTable(const QString& path)
    {
        app->dialogs.openAnswers.push_back(path);
        item("ottnl")->trigger();
    }
    void drag(int from, int to, Qt::KeyboardModifiers keys)
    {
        moveMouse(ws().workspace, cellCentre(from));
        pressMouse(ws().workspace, cellCentre(from));
        sendMouse(ws().workspace, QEvent::MouseMove, cellCentre(to), Qt::NoButton, Qt::LeftButton, keys);
        sendMouse(ws().workspace, QEvent::MouseButtonRelease, cellCentre(to), Qt::LeftButton, Qt::NoButton, keys);
    }

private slots:
    void init() { app = std::make_unique<RunningApp>(); }
    void cleanup() { app.reset(); }

    void tileTableShowsSequencesAsBlocks()
    {
        openRom({0x01, 0x02, 0x3F, 0x01, 0x40, 0x77});
        const QString path = app->writeFile(QStringLiteral("font.tbl"), bytesOf(kExampleTable));
        openTileTable(path);
        QCOMPARE(app->main->Label4->text(), QStringLiteral("Tile Table: ") + QFileInfo(path).absoluteFilePath());
        QVERIFY(item("rttbl")->isEnabled() && item("cttbl")->isEnabled());
        QCOMPARE(dataMap().cellCode(0), 0x19);
        QCOMPARE(dataMap().cellCode(1), 0x1A);
        QCOMPARE(dataMap().cellCode(2), 0x77);
        QCOMPARE(state().markedBlock, 0x19);

        // Reload with the file gone writes the table back; a bad address
        // line is refused and the table in use stays.
        QFile::remove(path);
        item("rttbl")->trigger();
        QVERIFY(QFile::exists(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("H12G\r\n19=77\r\n");
        file.close();
        item("rttbl")->trigger();
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("Incompatible File Format!")});
        QCOMPARE(dataMap().cellCode(0), 0x19);

        item("cttbl")->trigger();
        QCOMPARE(app->main->Label4->text(), QStringLiteral("Tile Table:"));
        QVERIFY(!item("rttbl")->isEnabled() && !item("cttbl")->isEnabled());
        QCOMPARE(dataMap().cellCode(0), 0x01);
        QCOMPARE(state().markedBlock, 0x01);
    }

    void doubleClickWritesTheSequenceWholeOrNotAtAll()
    {
        openRom({});
        openTileTable(app->writeFile(QStringLiteral("font.tbl"), bytesOf(kExampleTable)));
        state().selectedCell = 8;
        doubleClickMouse(tileMap(), blockCentre(0x19));
        QCOMPARE(std::vector<std::uint8_t>(state().rom.bytes().begin() + 8, state().rom.bytes().begin() + 12),
                 (std::vector<std::uint8_t>{0x01, 0x02, 0x3F, 0x00}));
        dataMap().moveDataScroll(16384);
        state().selectedCell = 1022; // two bytes left: the three of block 19 do not fit
        const RomBytes before = state().rom.bytes();
        doubleClickMouse(tileMap(), blockCentre(0x19));
        QVERIFY(state().rom.bytes() == before);
        QCOMPARE(app->dialogs.messages.size(), 1);

        // With the workspace switched on the sequence goes into the buffer.
        item("N29")->trigger();
        state().workspaceCursor = 3;
        doubleClickMouse(tileMap(), blockCentre(0x1A));
        QCOMPARE(state().workspace[3], std::uint8_t(0x01));
        QCOMPARE(state().workspace[4], std::uint8_t(0x40));
        QVERIFY(state().rom.bytes() == before);
    }

    void getDragAndPut()
    {
        openRom(countingBytes(16384));
        item("N29")->trigger();
        ws().getBtn->click();
        QCOMPARE(state().workspace[5], std::uint8_t(5));
        QCOMPARE(ws().cellCode(9), 9);
        drag(5, 9, Qt::NoModifier); // move
        QCOMPARE(int(state().workspace[5]), 0);
        QCOMPARE(int(state().workspace[9]), 5);
        QCOMPARE(state().workspaceCursor, 9);
        QCOMPARE(state().markedBlock, 5);
        drag(9, 6, Qt::ControlModifier); // exchange
        QCOMPARE(int(state().workspace[9]), 6);
        QCOMPARE(int(state().workspace[6]), 5);
        drag(6, 7, Qt::ShiftModifier); // copy
        QCOMPARE(int(state().workspace[6]), 5);
        QCOMPARE(int(state().workspace[7]), 5);
        QCOMPARE(ws().findChild<QLabel*>(QStringLiteral("wsselected"))->text(), QStringLiteral("05=5"));
        ws().putBtn->click();
        QCOMPARE(int(state().rom.bytes()[7]), 5);
        QCOMPARE(int(state().rom.bytes()[9]), 6);
    }

    void saveAndLoadDataMapFiles()
    {
        openRom(countingBytes(16384));
        ws().getBtn->click();
        const QString typed = app->dir.filePath(QStringLiteral("level.txt"));
        app->dialogs.saveAnswers.push_back(typed);
        ws().saveBtn->click();
        QFile saved(app->dir.filePath(QStringLiteral("level.kvr"))); // the extension is always .kvr
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QCOMPARE(bytes.size(), 1026);
        QVERIFY(bytes.startsWith("\x1F\x1F\x00\x01"));

        // A 16 x 64 grid; with 2 x 2 cell groups still set it loads with 1 x 1.
        std::vector<std::uint8_t> file{0x0F, 0x3F};
        for (int i = 0; i < 1024; ++i)
            file.push_back(static_cast<std::uint8_t>(255 - i % 256));
        app->find<QSpinBox>(&dataMap(), "BlockWidth")->setValue(2);
        app->find<QSpinBox>(&dataMap(), "BlockHeight")->setValue(3);
        app->dialogs.openAnswers.push_back(app->writeFile(QStringLiteral("tall.kvr"), file));
        ws().openBtn->click();
        QCOMPARE(state().dataMapWidth, 16);
        QCOMPARE(state().dataMapHeight, 64);
        QCOMPARE(state().cellGroupHeight, 1);
        QCOMPARE(int(state().workspace[0]), 255);
        QCOMPARE(app->dialogs.messages.size(), 1);

        file.pop_back();
        app->dialogs.openAnswers.push_back(app->writeFile(QStringLiteral("short.kvr"), file));
        ws().openBtn->click();
        QCOMPARE(app->dialogs.messages.last(), QStringLiteral("Incompatible File Format!"));
        QCOMPARE(state().dataMapWidth, 16);
    }
};

QUARN_GUI_TEST(workspace, WorkspaceTest);
#include "workspace_test.moc"
