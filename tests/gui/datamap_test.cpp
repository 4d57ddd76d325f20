// The data map window driven through its real controls and menu items.
#include "apphelper.h"
#include "guitest.h"
#include "mouse.h"

#include "app/imagebox.h"
#include "text/dataf.h"
#include "tiles/tmform.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QSpinBox>
#include <QUrl>

class DataMapTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    Tdataform* form = nullptr;
    ImageBox* map = nullptr;
    QScrollBar* scroll = nullptr;
    QLineEdit* hexed = nullptr;

    template <typename T>
    T* child(const char* name) { return app->find<T>(form, name); }
    QString label(const char* name) { return child<QLabel>(name)->text(); }
    SharedState& state() { return app->state(); }
    std::uint8_t romByte(std::int64_t at) { return state().rom.bytes()[static_cast<std::size_t>(at)]; }

    QString openCountingRom(std::size_t size = 16384, const char* name = "game.nes")
    {
        const QString path = app->writeFile(QString::fromLatin1(name), countingBytes(size));
        app->open(path);
        return path;
    }
    // Centre of a cell of a plain grid of 16 x 16 pixel cells.
    QPoint cellCentre(int cell) const
    {
        const int width = app->state().dataMapWidth;
        return {(cell % width) * 16 + 8, (cell / width) * 16 + 8};
    }
    void shiftClick(QPoint at)
    {
        sendMouse(map, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, Qt::ShiftModifier);
        sendMouse(map, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
        sendMouse(map, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
    }
    // A click on the byte editor selects its text, so typed digits replace it.
    void clickAndTypeIntoHexed(const QString& keys)
    {
        QTest::mouseClick(hexed, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QCOMPARE(hexed->selectedText(), hexed->text());
        QTest::keyClicks(hexed, keys);
    }
    QImage shownGrid() { return map->grab().toImage(); }
    static bool cellIsBlack(const QImage& image, QRect cell)
    {
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (QColor(image.pixel(x, y)) != QColor(Qt::black))
                    return false;
        return true;
    }

private slots:
    void init()
    {
        app = std::make_unique<RunningApp>();
        form = app->wb().forms.dataForm;
        map = child<ImageBox>("DataMap");
        scroll = child<QScrollBar>("DataScroll");
        hexed = child<QLineEdit>("hexed");
        QVERIFY(form && map && scroll && hexed);
    }
    void cleanup() { app.reset(); }

    void beforeLoadTheGridWaits()
    {
        QCOMPARE(map->size(), QSize(512, 512));
        QCOMPARE(child<QSpinBox>("WidthEdit")->value(), 32);
        QCOMPARE(child<QSpinBox>("HeightEdit")->value(), 32);
        QCOMPARE(form->minimumSize(), QSize(512, 546));
        QCOMPARE(form->windowTitle(), QStringLiteral("Data Map"));
        QVERIFY(!scroll->isEnabled());
        QVERIFY(!hexed->isEnabled());
        QCOMPARE(hexed->text(), QStringLiteral("00"));
        QCOMPARE(label("Label1"), QStringLiteral("Position: 00000000"));
        QCOMPARE(label("Label2"), QStringLiteral("Selected position: 00000000"));
        QCOMPARE(label("Label5"), QStringLiteral("00=0"));
        QCOMPARE(label("SignL"), QStringLiteral("= 0"));
        // The arrow images and the grid do nothing yet.
        pressMouse(child<ImageBox>("Image1"), QPoint(8, 12));
        clickMouse(map, cellCentre(5));
        QCOMPARE(state().dataPosition, 0);
        QCOMPARE(state().selectedCell, 0);
    }

    void loadSetsRangeCaptionAndValueFields()
    {
        openCountingRom(0x40000);
        QCOMPARE(form->windowTitle(), QStringLiteral("Data Map - [00000000 / 00040000]"));
        QVERIFY(scroll->isEnabled() && hexed->isEnabled());
        QCOMPARE(scroll->minimum(), 0);
        QCOMPARE(scroll->maximum(), 0x40000 - 1024);
        QCOMPARE(scroll->pageStep(), 1024);
        QCOMPARE(scroll->singleStep(), 32);
        form->moveDataScroll(0x1F400);
        QCOMPARE(form->windowTitle(), QStringLiteral("Data Map - [0001F400 / 00040000]"));
        QCOMPARE(state().dataPosition, 0x1F400);
        form->moveDataScroll(0x7FFFFFFF); // clamped to the last full grid
        QCOMPARE(state().dataPosition, 0x40000 - 1024);
        QCOMPARE(hexed->text(), QStringLiteral("00"));
        QCOMPARE(label("Label2"), QStringLiteral("Selected position: 0003FC00"));
    }

    void clickSelectsTheCellAndMarksItsBlock()
    {
        openCountingRom();
        form->moveDataScroll(0x100);
        clickMouse(map, cellCentre(33));
        QCOMPARE(state().selectedCell, 33);
        QCOMPARE(state().markedBlock, 0x21);
        QCOMPARE(state().selectedTile, 0x21);
        QCOMPARE(label("Label1"), QStringLiteral("Position: 00000121"));
        QCOMPARE(label("Label2"), QStringLiteral("Selected position: 00000121"));
        QCOMPARE(hexed->text(), QStringLiteral("21"));
        QCOMPARE(label("SignL"), QStringLiteral("= 33"));
        QCOMPARE(form->focusWidget(), static_cast<QWidget*>(scroll));
        // The selection frame is drawn around the cell.
        const QImage shown = shownGrid();
        QCOMPARE(QColor(shown.pixel(16, 20)), QColor(Qt::white));
        QCOMPARE(QColor(shown.pixel(31, 20)), QColor(Qt::white));

        // With 2 x 2 tile blocks a cell is a whole block, and the tile editor
        // shows the block's first tile.
        app->find<QSpinBox>(app->wb().forms.tileMapForm, "tlwidth")->setValue(2);
        app->find<QSpinBox>(app->wb().forms.tileMapForm, "tlheight")->setValue(2);
        QCOMPARE(map->size(), QSize(32 * 32, 32 * 32));
        clickMouse(map, QPoint(32 + 5, 5));
        QCOMPARE(state().selectedCell, 1);
        QCOMPARE(state().markedBlock, 1);
        QCOMPARE(state().selectedTile, 4);
    }

    void zoomScalesTheGridTheClicksAndTheReadouts()
    {
        openCountingRom();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form, Qt::Key_Minus, Qt::ControlModifier);
        for (int zoom = 1; zoom <= 8; ++zoom) {
            QCOMPARE(form->zoom(), zoom);
            QCOMPARE(map->size(), QSize(32 * 8 * zoom, 32 * 8 * zoom));
            // The last screen pixel of cell 33 (column 1, row 1) and the readout of cell 34 beside it.
            clickMouse(map, QPoint(2 * 8 * zoom - 1, 2 * 8 * zoom - 1));
            QCOMPARE(state().selectedCell, 33);
            QCOMPARE(state().markedBlock, 0x21);
            moveMouse(map, QPoint(2 * 8 * zoom, 8 * zoom));
            QCOMPARE(label("Label5"), QStringLiteral("22=34"));
            // The window grows with the grid up to its largest size.
            QVERIFY(form->width() <= form->maximumWidth() && form->height() <= form->maximumHeight());
            QTest::keyClick(form, Qt::Key_Equal, Qt::ControlModifier);
        }
        QCOMPARE(form->zoom(), 8);
        QTest::keyClick(form, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(map->size(), QSize(512, 512));
        // Each window keeps its own zoom.
        QCOMPARE(app->wb().forms.tileMapForm->zoom(), 2);
    }

    void mouseReadoutShowsTheByteUnderThePointer()
    {
        openCountingRom();
        moveMouse(map, cellCentre(0x4A));
        QCOMPARE(label("Label5"), QStringLiteral("4A=74"));
        QCOMPARE(label("Label1"), QStringLiteral("Position: 0000004A"));
    }

    void tileModeDrawsBlocksAtTwiceTheirSize()
    {
        openCountingRom();
        form->moveDataScroll(0x30); // cell 2 shows code 0x32
        const QImage shown = shownGrid();
        const Bitmap& bitmap = state().tileMap.picture();
        const int blockLeft = (0x32 % 16) * 8;
        const int blockTop = (0x32 / 16) * 8;
        bool anyColour = false;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const QColor expected(QRgb(bitmap.at(blockLeft + x, blockTop + y)));
                QCOMPARE(QColor(shown.pixel(2 * 16 + 2 * x + 1, 2 * y + 1)), expected);
                anyColour = anyColour || expected != QColor(Qt::black);
            }
        QVERIFY(anyColour);
    }

    void typingPairsWritesConsecutiveBytes()
    {
        openCountingRom();
        clickMouse(map, cellCentre(0x100));
        QCOMPARE(state().selectedPosition(), 0x100);
        clickAndTypeIntoHexed(QStringLiteral("4142"));
        QCOMPARE(romByte(0x100), 0x41);
        QCOMPARE(romByte(0x101), 0x42);
        QCOMPARE(state().selectedPosition(), 0x102);
        QCOMPARE(label("Label1"), QStringLiteral("Position: 00000102"));
        QCOMPARE(hexed->text(), QStringLiteral("02"));
        QCOMPARE(hexed->selectedText(), QStringLiteral("02"));
        QCOMPARE(state().markedBlock, 0x02);
        QVERIFY(state().rom.modified()); // like every write
        // Letters are upper-cased; other characters are dropped. The written
        // byte's successor is selected, so typing goes straight on.
        QTest::keyClicks(hexed, QStringLiteral("xa-G;b"));
        QCOMPARE(romByte(0x102), 0xAB);
        QCOMPARE(state().selectedPosition(), 0x103);
        // One digit alone writes nothing.
        QTest::keyClicks(hexed, QStringLiteral("7"));
        QCOMPARE(romByte(0x103), 0x03);
        QCOMPARE(hexed->text(), QStringLiteral("7"));
        QTest::keyClick(hexed, Qt::Key_Backspace);
        QTest::keyClicks(hexed, QStringLiteral("0c"));
        QCOMPARE(romByte(0x103), 0x0C);
    }

    void typingAtTheLastByteKeepsTheSelection()
    {
        openCountingRom();
        form->moveDataScroll(16384);
        QCOMPARE(state().dataPosition, 16384 - 1024);
        clickMouse(map, cellCentre(1023));
        clickAndTypeIntoHexed(QStringLiteral("7F"));
        QCOMPARE(romByte(16383), 0x7F);
        QCOMPARE(state().selectedCell, 1023);
        QCOMPARE(state().dataPosition, 16384 - 1024);
        QCOMPARE(state().romSize(), 16384);
    }

    void typingAtTheLastCellScrollsOneByte()
    {
        openCountingRom();
        clickMouse(map, cellCentre(1023));
        clickAndTypeIntoHexed(QStringLiteral("11"));
        QCOMPARE(romByte(1023), 0x11);
        QCOMPARE(state().dataPosition, 1);
        QCOMPARE(state().selectedCell, 1023);
        QCOMPARE(state().selectedPosition(), 1024);
        QCOMPARE(hexed->text(), QStringLiteral("00"));
        QTest::keyClicks(hexed, QStringLiteral("22"));
        QCOMPARE(romByte(1024), 0x22);
        QCOMPARE(state().dataPosition, 2);
    }

    void shiftClickSetsTheMaximumStringLength()
    {
        openCountingRom();
        clickMouse(map, cellCentre(5));
        shiftClick(cellCentre(14));
        QCOMPARE(state().maxStringLength, 10);
        QCOMPARE(app->find<QSpinBox>(app->main.get(), "SpinEdit1")->value(), 10);
        QCOMPARE(state().selectedCell, 5);
        // A Shift-click before the selection selects that cell instead.
        shiftClick(cellCentre(2));
        QCOMPARE(state().selectedCell, 2);
        QCOMPARE(state().maxStringLength, 10);
    }

    void clearFillsTheStringRange()
    {
        openCountingRom();
        clickMouse(map, cellCentre(0x10));
        shiftClick(cellCentre(0x13)); // maximum length 4
        app->dialogs.inputAnswers.push_back(QStringLiteral("300"));
        app->main->action("N28")->trigger();
        QCOMPARE(app->dialogs.lastInput.prompt, QStringLiteral("Enter Filling Byte"));
        QCOMPARE(app->dialogs.lastInput.maxLength, 3);
        QVERIFY(app->dialogs.lastInput.allowed.test('7') && !app->dialogs.lastInput.allowed.test('A'));
        for (int at = 0x10; at < 0x14; ++at)
            QCOMPARE(romByte(at), 0x2C);
        QCOMPARE(romByte(0x0F), 0x0F);
        QCOMPARE(romByte(0x14), 0x14);
        QCOMPARE(hexed->text(), QStringLiteral("2C")); // the redraw reached the data map

        // A cancelled box and a pasted non-number write nothing.
        app->dialogs.inputAnswers.push_back(std::nullopt);
        app->main->action("N28")->trigger();
        app->dialogs.inputAnswers.push_back(QStringLiteral("1x"));
        app->main->action("N28")->trigger();
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("'1x' is not a valid integer value")});
        QCOMPARE(romByte(0x10), 0x2C);
    }

    void clearStopsAtTheEndOfTheImage()
    {
        openCountingRom();
        form->moveDataScroll(16384);
        clickMouse(map, cellCentre(1020));
        shiftClick(cellCentre(1023));
        app->find<QSpinBox>(app->main.get(), "SpinEdit1")->setValue(50);
        app->dialogs.inputAnswers.push_back(QStringLiteral("7"));
        app->main->action("N28")->trigger();
        QCOMPARE(state().romSize(), 16384);
        for (int at = 16380; at < 16384; ++at)
            QCOMPARE(romByte(at), 7);
        QCOMPARE(romByte(16379), static_cast<std::uint8_t>(16379));
    }

    void arrowImagesAndMenuItemsMoveThePosition()
    {
        openCountingRom();
        auto* upDown = child<ImageBox>("Image1");
        auto* leftRight = child<ImageBox>("Image2");
        QCOMPARE(upDown->toolTip(), QStringLiteral("Up/Down"));
        QCOMPARE(leftRight->toolTip(), QStringLiteral("Left/Right"));
        pressMouse(upDown, QPoint(8, 12));
        QCOMPARE(state().dataPosition, 32);
        pressMouse(upDown, QPoint(8, 3));
        QCOMPARE(state().dataPosition, 0);
        pressMouse(upDown, QPoint(8, 3)); // clamps at the start
        QCOMPARE(state().dataPosition, 0);
        pressMouse(leftRight, QPoint(12, 8));
        QCOMPARE(state().dataPosition, 1);
        pressMouse(leftRight, QPoint(3, 8));
        QCOMPARE(state().dataPosition, 0);
        app->main->action("N10")->trigger();
        app->main->action("N10")->trigger();
        QCOMPARE(state().dataPosition, 2);
        app->main->action("N9")->trigger();
        QCOMPARE(state().dataPosition, 1);
        QCOMPARE(form->windowTitle(), QStringLiteral("Data Map - [00000001 / 00004000]"));
    }

    void keysOnDataScrollUseTheirOwnSteps()
    {
        openCountingRom();
        scroll->setFocus();
        QTest::keyClick(scroll, Qt::Key_Right);
        QCOMPARE(state().dataPosition, 1);
        QTest::keyClick(scroll, Qt::Key_Down);
        QCOMPARE(state().dataPosition, 33);
        QTest::keyClick(scroll, Qt::Key_PageDown);
        QCOMPARE(state().dataPosition, 33 + 1024);
        QTest::keyClick(scroll, Qt::Key_Left);
        QCOMPARE(state().dataPosition, 32 + 1024);
        QTest::keyClick(scroll, Qt::Key_Up);
        QTest::keyClick(scroll, Qt::Key_PageUp);
        QCOMPARE(state().dataPosition, 0);
        QCOMPARE(scroll->singleStep(), 32);
    }

    void smallImageScrollsNowhereAndShowsBlackPastTheEnd()
    {
        const QString path = openCountingRom(20000);
        child<QSpinBox>("WidthEdit")->setValue(100);
        child<QSpinBox>("HeightEdit")->setValue(100);
        QCOMPARE(map->size(), QSize(1600, 1600));
        QCOMPARE(scroll->maximum(), 10000);
        form->moveDataScroll(5000);
        app->writeFile(QStringLiteral("game.nes"), countingBytes(5000));
        app->main->action("ReloadItem")->trigger();
        QCOMPARE(state().romSize(), 8192);
        QCOMPARE(scroll->maximum(), 0);
        QCOMPARE(state().dataPosition, 0);
        QCOMPARE(form->windowTitle(), QStringLiteral("Data Map - [00000000 / 00002000]"));

        const QImage shown = shownGrid();
        const int pastEnd = 9000; // row 90, column 0
        QVERIFY(cellIsBlack(shown, QRect(0, 90 * 16, 16, 16)));
        QVERIFY(!cellIsBlack(shown, QRect(16 * 81, 0, 16, 16))); // cell 81, code 0x51
        // Nothing is read or selected past the end of the image.
        moveMouse(map, QPoint(8, 90 * 16 + 8));
        QCOMPARE(label("Label5"), QString());
        clickMouse(map, QPoint(8, 1 * 16 + 8));
        QCOMPARE(state().selectedCell, 100);
        clickMouse(map, QPoint(8, 90 * 16 + 8));
        QCOMPARE(state().selectedCell, 100);
        QCOMPARE(form->cellCharacter(pastEnd), QString());
        // The last byte of the image keeps the selection when typed over.
        clickMouse(map, QPoint(91 * 16 + 8, 81 * 16 + 8)); // cell 8191
        QCOMPARE(state().selectedCell, 8191);
        clickAndTypeIntoHexed(QStringLiteral("EE"));
        QCOMPARE(romByte(8191), 0xEE);
        QCOMPARE(state().selectedCell, 8191);
    }

    void cellGroupsFitTheGridAndMapClicks()
    {
        openCountingRom();
        auto* width = child<QSpinBox>("WidthEdit");
        child<QSpinBox>("BlockWidth")->setValue(3);
        QCOMPARE(width->value(), 30);
        QCOMPARE(state().dataMapWidth, 30);
        QCOMPARE(map->width(), 480);
        child<QSpinBox>("BlockWidth")->setValue(1);
        width->setValue(8);
        child<QSpinBox>("BlockWidth")->setValue(16);
        QCOMPARE(width->value(), 16);

        // 2 x 2 groups on a 4-wide grid.
        child<QSpinBox>("BlockWidth")->setValue(2);
        child<QSpinBox>("BlockHeight")->setValue(2);
        width->setValue(4);
        child<QSpinBox>("HeightEdit")->setValue(4);
        clickMouse(map, QPoint(2 * 16 + 5, 5));
        QCOMPARE(state().selectedCell, 4);
        clickMouse(map, QPoint(5, 2 * 16 + 5));
        QCOMPARE(state().selectedCell, 8);
        clickMouse(map, QPoint(16 + 5, 16 + 5));
        QCOMPARE(state().selectedCell, 3);
        // Group frame around the top-left square and a cell frame inside it.
        const QImage shown = shownGrid();
        QCOMPARE(QColor(shown.pixel(0, 5)), QColor(Qt::white));
        QCOMPARE(QColor(shown.pixel(31, 5)), QColor(Qt::white));
        QCOMPARE(QColor(shown.pixel(16, 20)), QColor(Qt::white));

        // With 4-tile blocks a row holds at most 64 cells.
        child<QSpinBox>("BlockWidth")->setValue(1);
        app->find<QSpinBox>(app->wb().forms.tileMapForm, "tlwidth")->setValue(4);
        width->setValue(100);
        QCOMPARE(state().dataMapWidth, 64);
    }

    // A UTF-8 table with two-byte codes: the first cell of a code shows its
    // kana, the next a dimmed dot; a click on the dot selects the first byte.
    void twoByteCodesShowInTheirFirstCell()
    {
        openCountingRom(); // byte n at offset n
        app->dialogs.openAnswers.push_back(app->writeFile(
            QStringLiteral("kana.tbl"), {'4', '1', '4', '2', '=', 0xE3, 0x81, 0x82, '\r', '\n'}));
        app->main->action("OpenTblItem")->trigger();
        app->main->action("vstrfont")->trigger();
        form->moveDataScroll(0x40);
        QCOMPARE(form->cellCharacter(0), QStringLiteral("{")); // {40}
        QCOMPARE(form->cellCharacter(1), QStringLiteral("\u3042"));
        QCOMPARE(form->cellCharacter(2), QString(Tdataform::kContinuationMark));
        QCOMPARE(form->cellCharacter(3), QStringLiteral("{"));
        QVERIFY(!cellIsBlack(shownGrid(), QRect(2 * 16, 0, 16, 16)));
        clickMouse(map, cellCentre(2));
        QCOMPARE(state().selectedCell, 1);
        // Without the built-in font every cell stays a byte of its own.
        app->main->action("vstrfont")->trigger();
        clickMouse(map, cellCentre(2));
        QCOMPARE(state().selectedCell, 2);
    }

    void builtInFontShowsTableCharacters()
    {
        openCountingRom();
        QAction* font = app->main->action("vstrfont");
        font->trigger();
        QVERIFY(font->isChecked());
        QCOMPARE(form->cellCharacter(0x41), QStringLiteral("A"));
        state().charTable[0x0B] = "shi+";
        state().tableLoaded = true;
        form->drawDataMap();
        QCOMPARE(form->cellCharacter(0x0B), QStringLiteral("s"));
        QCOMPARE(form->cellCharacter(0x0C), QString()); // entry still empty
        const QImage shown = shownGrid();
        const QRect cell11(11 * 16, 0, 16, 16);
        QVERIFY(!cellIsBlack(shown, cell11));
        QVERIFY(cellIsBlack(shown, QRect(12 * 16, 0, 16, 16)));
        bool grey = false;
        for (int y = cell11.top(); y <= cell11.bottom(); ++y)
            for (int x = cell11.left(); x <= cell11.right(); ++x)
                grey = grey || QColor(shown.pixel(x, y)) == QColor(0xD0, 0xD0, 0xD0);
        QVERIFY(grey);
        font->trigger();
        QVERIFY(!font->isChecked());
        // Loading an image switches the built-in font off.
        font->trigger();
        openCountingRom();
        QVERIFY(!font->isChecked());
    }

    void droppedFileOpens()
    {
        const QString path = app->writeFile(QStringLiteral("dropped.gb"), countingBytes(16384));
        dropFiles(form, {path});
        QVERIFY(state().romLoaded);
        QCOMPARE(QString::fromStdString(state().rom.fileName()), QFileInfo(path).absoluteFilePath());
        QCOMPARE(form->windowTitle(), QStringLiteral("Data Map - [00000000 / 00004000]"));
    }

    void onlyTheLeftButtonSelectsACell()
    {
        openCountingRom();
        clickMouse(map, cellCentre(5), Qt::RightButton);
        clickMouse(map, cellCentre(6), Qt::MiddleButton);
        QCOMPARE(state().selectedCell, 0);
        clickMouse(map, cellCentre(7));
        QCOMPARE(state().selectedCell, 7);
    }

    void longShiftClickShowsTheLengthInForce()
    {
        openCountingRom();
        shiftClick(cellCentre(1023)); // 1024 cells, more than the 960 the length allows
        QCOMPARE(state().maxStringLength, 960);
        QCOMPARE(app->main->MaxLenLab->text(), QStringLiteral("Maximal Length: 960 = h03C0"));
    }

    void sizeRoundedToWholeGroupsShowsInItsSpinEdit()
    {
        openCountingRom();
        child<QSpinBox>("BlockWidth")->setValue(3);
        QCOMPARE(state().dataMapWidth, 30);
        child<QSpinBox>("WidthEdit")->setValue(31);
        QCOMPARE(state().dataMapWidth, 30);
        QCOMPARE(child<QSpinBox>("WidthEdit")->value(), 30);
    }
};

QUARN_GUI_TEST(datamap, DataMapTest);
#include "datamap_test.moc"
