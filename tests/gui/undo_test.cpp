// Undo and redo driven through the keys and the ROM menu, on the real windows.
#include "apphelper.h"
#include "guitest.h"
#include "mouse.h"

#include "app/imagebox.h"
#include "text/dataf.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"
#include "workspace/workspacef.h"

#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

namespace {
using Bytes = std::vector<std::uint8_t>;
QPoint editPixel(int x, int y) { return {x * 32 + 8, y * 32 + 8}; } // 8 x 8 tiles show 32 times
} // namespace

class UndoTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    Tteditform* editor = nullptr;
    ImageBox* grid = nullptr;

    SharedState& state() { return app->state(); }
    QAction* undoItem() { return app->main->action("UndoItem"); }
    QAction* redoItem() { return app->main->action("RedoItem"); }
    static void activate(QWidget* window)
    {
        window->activateWindow();
        QTRY_VERIFY(QGuiApplication::focusWindow() == window->windowHandle());
    }
    // Keys typed into `target` while its window is the active one.
    static void press(QWidget* target, QKeyCombination keys)
    {
        activate(target->window());
        QTest::keyClick(target, keys.key(), keys.keyboardModifiers());
    }

    // Opens a ROM and spends the release that clears the load's click guard.
    void openReady(const Bytes& bytes)
    {
        app->open(app->writeFile(QStringLiteral("game.nes"), bytes));
        releaseMouse(grid, QPoint(1, 1));
    }
    void paintStroke()
    {
        pressMouse(grid, editPixel(0, 0));
        moveMouse(grid, editPixel(1, 0), Qt::LeftButton);
        moveMouse(grid, editPixel(2, 1), Qt::LeftButton);
        releaseMouse(grid, editPixel(2, 1));
    }

private slots:
    void init()
    {
        app = std::make_unique<RunningApp>();
        editor = app->wb().forms.tileEditForm;
        grid = app->find<ImageBox>(editor, "Tile");
        QVERIFY(editor && grid);
    }
    void cleanup() { app.reset(); }

    void stepsUndoAndRedoByKeysFromAnyWindow()
    {
        openReady(Bytes(16384, 0));
        QVERIFY(!undoItem()->isEnabled() && !redoItem()->isEnabled());
        const RomBytes original = state().rom.bytes();
        const Bitmap originalTile = state().tileBitmap;
        paintStroke();
        const RomBytes painted = state().rom.bytes();
        QVERIFY(painted != original);
        QCOMPARE(undoItem()->text(), QStringLiteral("Undo Paint"));
        app->main->SaveItemClick(); // Save keeps the history

        // A typed byte is a step of its own; the byte field hands the keys on.
        auto* hexed = app->find<QLineEdit>(app->wb().forms.dataForm, "hexed");
        activate(hexed->window());
        QTest::mouseClick(hexed, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3)); // selects the byte's digits
        QTest::keyClicks(hexed, QStringLiteral("A5"));
        QVERIFY(hexed->hasFocus());
        QCOMPARE(undoItem()->text(), QStringLiteral("Undo Edit Byte"));
        press(hexed, Qt::CTRL | Qt::Key_Z);
        QCOMPARE(state().rom.bytes(), painted);

        press(editor, Qt::CTRL | Qt::Key_Z);
        QCOMPARE(state().rom.bytes(), original);
        QVERIFY(state().tileBitmap == originalTile); // the editor shows it at once
        QVERIFY(app->main->windowTitle().endsWith('*'));
        QVERIFY(!undoItem()->isEnabled());
        QCOMPARE(redoItem()->text(), QStringLiteral("Redo Paint"));

        press(app->wb().forms.tileMapForm, Qt::CTRL | Qt::Key_Y);
        QCOMPARE(state().rom.bytes(), painted);
        undoItem()->trigger();
        press(editor, Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QCOMPARE(state().rom.bytes(), painted);

        // Reload reads the saved file and forgets the history.
        app->main->action("ReloadItem")->trigger();
        QVERIFY(!undoItem()->isEnabled() && !redoItem()->isEnabled());
        QCOMPARE(undoItem()->text(), QStringLiteral("Undo"));
    }

    void aStrokeHeldAcrossALoadLeavesNoWriteUnrecorded()
    {
        openReady(Bytes(16384, 0));
        pressMouse(grid, editPixel(0, 0));
        app->open(app->writeFile(QStringLiteral("other.nes"), countingBytes(16384))); // F3 with the button held
        releaseMouse(grid, editPixel(0, 0)); // ends the load's click
        const RomBytes opened = state().rom;
        paintStroke();
        QVERIFY(state().rom.bytes() != opened);
        undoItem()->trigger();
        QCOMPARE(state().rom.bytes(), opened);
    }

    void aStrokeHeldAcrossOpenOrSaveCountsAsAChange()
    {
        openReady(Bytes(16384, 0));
        // Open with the button held: the painted pixel is asked about.
        pressMouse(grid, editPixel(0, 0));
        const RomBytes painted = state().rom.bytes();
        QVERIFY(painted != RomBytes(16384, 0));
        app->dialogs.saveChangesAnswers.push_back(SaveChangesAnswer::Cancel);
        app->open(app->writeFile(QStringLiteral("other.nes"), countingBytes(16384)));
        QCOMPARE(app->dialogs.saveChangesQuestions.size(), 1);
        QCOMPARE(state().rom.bytes(), painted);
        releaseMouse(grid, editPixel(0, 0));
        // Saved in the middle of the next stroke: undoing it is a change.
        pressMouse(grid, editPixel(1, 0));
        app->main->SaveItemClick();
        moveMouse(grid, editPixel(2, 0), Qt::LeftButton);
        releaseMouse(grid, editPixel(2, 0));
        undoItem()->trigger();
        undoItem()->trigger();
        QVERIFY(state().rom.modified());
        QVERIFY(app->main->windowTitle().endsWith(QLatin1Char('*')));
        undoItem()->trigger();
        QCOMPARE(state().rom.bytes(), RomBytes(16384, 0));
        QCOMPARE(app->dialogs.unexpected, 0);
    }

    void theWorkspaceUndoesItsOwnWritesWhileItIsActive()
    {
        openReady(countingBytes(16384));
        app->main->action("N29")->trigger(); // shows the workspace
        Tworkspaceform* ws = app->wb().forms.workspaceForm;
        QVERIFY(ws->isVisible());
        const RomBytes empty = state().workspace.bytes();
        app->find<QToolButton>(ws, "getBtn")->click();
        QVERIFY(state().workspace.bytes() != empty);
        paintStroke(); // a ROM step besides

        activate(ws);
        QCOMPARE(undoItem()->text(), QStringLiteral("Undo Get Data From Rom"));
        const RomBytes painted = state().rom.bytes();
        press(ws, Qt::CTRL | Qt::Key_Z);
        QCOMPARE(state().workspace.bytes(), empty);
        QCOMPARE(state().rom.bytes(), painted);
        QVERIFY(!undoItem()->isEnabled());

        activate(editor);
        QCOMPARE(undoItem()->text(), QStringLiteral("Undo Paint"));
    }

    void aNewGridSizeEmptiesTheWorkspaceHistory()
    {
        openReady(countingBytes(16384));
        app->main->action("N29")->trigger();
        Tworkspaceform* ws = app->wb().forms.workspaceForm;
        app->find<QToolButton>(ws, "getBtn")->click();
        auto* width = app->find<QSpinBox>(app->wb().forms.dataForm, "WidthEdit");
        width->setValue(16);
        activate(ws);
        QVERIFY(!undoItem()->isEnabled());
        const RomBytes cells = state().workspace.bytes();
        press(ws, Qt::CTRL | Qt::Key_Z);
        width->setValue(32);
        press(ws, Qt::CTRL | Qt::Key_Y); // no step recorded on the old grid comes back
        QVERIFY(std::equal(cells.begin(), cells.end(), state().workspace.bytes().begin()));
        QVERIFY(!redoItem()->isEnabled());
    }
};

QUARN_GUI_TEST(undo, UndoTest);
#include "undo_test.moc"
