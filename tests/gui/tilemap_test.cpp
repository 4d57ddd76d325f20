// The tile map window driven through its real controls.
#include "apphelper.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QWheelEvent>
#include "guitest.h"
#include "mouse.h"

#include "app/imagebox.h"
#include "text/dataf.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"

#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolButton>

class TileMapTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    Ttilemapform* form = nullptr;
    QScrollBar* scroll = nullptr;
    ImageBox* map = nullptr;

    template <typename T>
    T* child(const char* name) { return app->find<T>(form, name); }

    // A NES image of 16384 counting bytes, opened through the menu.
    void openCountingRom(std::size_t size = 16384, const char* name = "game.nes")
    {
        app->open(app->writeFile(QString::fromLatin1(name), countingBytes(size)));
    }
    // Centre of block `block` with the default geometry (16 x 16 screen pixels).
    static QPoint blockCentre(int block) { return {(block % 16) * 16 + 8, (block / 16) * 16 + 8}; }

private slots:
    void init()
    {
        app = std::make_unique<RunningApp>();
        form = app->wb().forms.tileMapForm;
        scroll = child<QScrollBar>("TMapScroll");
        map = child<ImageBox>("TileMap");
        QVERIFY(form && scroll && map);
    }
    void cleanup() { app.reset(); }

    void beforeLoadEverythingWaits()
    {
        QVERIFY(!scroll->isEnabled());
        for (const char* name : {"LeftBtn", "RightBtn", "MinusBtn", "PlusBtn"})
            QVERIFY(!child<QToolButton>(name)->isEnabled());
        QCOMPARE(child<QComboBox>("Codecbox")->currentText(), QStringLiteral("2BPP NES"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Tile Map"));
        QCOMPARE(child<QLabel>("mbanklab")->text(), QStringLiteral("Tile: 00 = 0"));
        QCOMPARE(map->size(), QSize(256, 256));
        QCOMPARE(form->minimumSize(), QSize(295, 363));
    }

    void loadSetsRangeCaptionsAndHints()
    {
        openCountingRom();
        QCOMPARE(form->windowTitle(), QStringLiteral("Tile Map - [00000000 / 00004000]"));
        QCOMPARE(scroll->minimum(), 0);
        QCOMPARE(scroll->maximum(), 12288);
        QCOMPARE(scroll->pageStep(), 4096);
        QCOMPARE(scroll->singleStep(), 256);
        QVERIFY(scroll->isEnabled());
        QCOMPARE(child<QToolButton>("LeftBtn")->toolTip(), QStringLiteral("Position -16"));
        QCOMPARE(child<QToolButton>("RightBtn")->toolTip(), QStringLiteral("Position +16"));
        QCOMPARE(child<QToolButton>("MinusBtn")->toolTip(), QStringLiteral("Position -1"));
        QCOMPARE(child<QToolButton>("PlusBtn")->toolTip(), QStringLiteral("Position +1"));
        QVERIFY(app->dialogs.messages.isEmpty());
    }

    void buttonsAndMenuItemsMoveThePosition()
    {
        openCountingRom();
        child<QToolButton>("RightBtn")->click();
        QCOMPARE(app->state().tileMapPosition, 16);
        child<QToolButton>("PlusBtn")->click();
        QCOMPARE(app->state().tileMapPosition, 17);
        app->main->action("N6")->trigger();
        QCOMPARE(app->state().tileMapPosition, 16);
        app->main->action("N4")->trigger();
        QCOMPARE(app->state().tileMapPosition, 0);
        child<QToolButton>("LeftBtn")->click(); // clamps at the start
        QCOMPARE(app->state().tileMapPosition, 0);
        app->main->action("N5")->trigger();
        app->main->action("N7")->trigger();
        QCOMPARE(app->state().tileMapPosition, 17);
        QCOMPARE(form->windowTitle(), QStringLiteral("Tile Map - [00000011 / 00004000]"));
        scroll->setValue(20000); // the bar clamps to the last full screen
        QCOMPARE(app->state().tileMapPosition, 12288);
    }

    void arrowKeysUseTheirOwnSteps()
    {
        openCountingRom();
        scroll->setFocus();
        QTest::keyClick(scroll, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(app->state().tileMapPosition, 1);
        QTest::keyClick(scroll, Qt::Key_Right);
        QCOMPARE(app->state().tileMapPosition, 17);
        QTest::keyClick(scroll, Qt::Key_Down);
        QCOMPARE(app->state().tileMapPosition, 17 + 256);
        QTest::keyClick(scroll, Qt::Key_Up);
        QTest::keyClick(scroll, Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(app->state().tileMapPosition, 16);
        QTest::keyClick(scroll, Qt::Key_PageDown);
        QCOMPARE(app->state().tileMapPosition, 16 + 4096);
        // Ctrl with Shift is not the fine step.
        QTest::keyClick(scroll, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(app->state().tileMapPosition, 4096);
        // The range update after the move restores the scroll bar's own step.
        QCOMPARE(scroll->singleStep(), 256);
    }

    void codecBoxChangesHintsAndRange()
    {
        openCountingRom();
        auto* box = child<QComboBox>("Codecbox");
        box->setCurrentIndex(5);
        QCOMPARE(app->state().codec, Codec::Snes);
        QCOMPARE(child<QToolButton>("LeftBtn")->toolTip(), QStringLiteral("Position -32"));
        QCOMPARE(scroll->maximum(), 16384 - 8192);
        box->setCurrentIndex(0);
        QCOMPARE(child<QToolButton>("RightBtn")->toolTip(), QStringLiteral("Position +8"));
        QTest::keyClicks(box, QStringLiteral("4")); // typing never picks a codec
        QCOMPARE(app->state().codec, Codec::OneBpp);
    }

    void extensionChoosesTheCodec()
    {
        openCountingRom(16384, "game.Gbc");
        QCOMPARE(app->state().codec, Codec::GameBoy);
        QCOMPARE(child<QComboBox>("Codecbox")->currentText(), QStringLiteral("2BPP GB"));
        openCountingRom(16384, "game.GG");
        QCOMPARE(app->state().codec, Codec::Sms);
        openCountingRom(16384, "noextension");
        QCOMPARE(app->state().codec, Codec::OneBpp);
    }

    void decodedColoursComeFromTheDefaultPalette()
    {
        std::vector<std::uint8_t> bytes(16384, 0);
        bytes[0] = 0x80;
        bytes[8] = 0x80; // NES pixel (0,0) of tile 0 has value 3
        app->open(app->writeFile(QStringLiteral("one.nes"), bytes));
        const Bitmap& bitmap = app->state().tileMap.picture();
        QCOMPARE(bitmap.width, 128);
        QCOMPARE(bitmap.at(0, 0), colourToPixel(rgbColour(255, 200, 184)));
        QCOMPARE(bitmap.at(1, 0), colourToPixel(rgbColour(0, 0, 0)));
        // The picture on screen is the bitmap at twice its size.
        const QImage shown = map->grab().toImage();
        QCOMPARE(QColor(shown.pixel(1, 1)), QColor(255, 200, 184));
        QCOMPARE(QColor(shown.pixel(3, 3)), QColor(0, 0, 0));
        QCOMPARE(QColor(shown.pixel(0, 5)), QColor(255, 255, 255)); // the frame of the selected tile
    }

    void smallImageScrollsNowhereAndShowsBlackPastTheEnd()
    {
        openCountingRom(1000, "small.smc"); // 4-bit codec, grown to 16384 bytes
        child<QSpinBox>("twidth")->setValue(16);
        child<QSpinBox>("theight")->setValue(16); // a screen is now 32768 bytes
        QVERIFY(app->dialogs.messages.isEmpty());
        QCOMPARE(scroll->maximum(), 0);
        QCOMPARE(app->state().tileMap.picture().width, 256);
        // Tiles 0..127 are the image; tile 128 onward lies past its end.
        const Bitmap& bitmap = app->state().tileMap.picture();
        QCOMPARE(bitmap.at(0, 8 * 16), kBlackPixel);
        QCOMPARE(bitmap.at(255, 255), kBlackPixel);
        QCOMPARE(app->state().romSize(), 16384);
    }

    void pressSelectsTileAndMarksBlock()
    {
        openCountingRom();
        clickMouse(map, blockCentre(18)); // first release only clears the load's click guard
        clickMouse(map, blockCentre(18));
        QCOMPARE(app->state().selectedTile, 18);
        QCOMPARE(app->state().markedBlock, 18);
        moveMouse(map, blockCentre(0x1F));
        QCOMPARE(child<QLabel>("mbanklab")->text(), QStringLiteral("Block: 1F = 31  Tile: 001F = 31"));
    }

    void clickGuardSwallowsMovesUntilRelease()
    {
        openCountingRom();
        moveMouse(map, blockCentre(0x21));
        QCOMPARE(child<QLabel>("mbanklab")->text(), QStringLiteral("Tile: 00 = 0"));
        releaseMouse(map, blockCentre(0x21));
        moveMouse(map, blockCentre(0x21));
        QCOMPARE(child<QLabel>("mbanklab")->text(), QStringLiteral("Block: 21 = 33  Tile: 0021 = 33"));
    }

    void dragSwapsTwoTilesAndMarksTheImageChanged()
    {
        openCountingRom();
        clickMouse(map, blockCentre(0));
        pressMouse(map, blockCentre(3));
        moveMouse(map, blockCentre(4), Qt::LeftButton);
        releaseMouse(map, blockCentre(5));
        const RomBytes& rom = app->state().rom.bytes();
        for (int i = 0; i < 16; ++i) {
            QCOMPARE(int(rom[48 + i]), 80 + i);
            QCOMPARE(int(rom[80 + i]), 48 + i);
        }
        QCOMPARE(int(rom[64]), 64); // the tile in between stays
        QCOMPARE(app->state().selectedTile, 5);
        QVERIFY(app->main->windowTitle().endsWith('*'));
    }

    void dragOffTheMapOrPastTheImageChangesNothing()
    {
        openCountingRom();
        clickMouse(map, blockCentre(0));
        const RomBytes before = app->state().rom.bytes();
        pressMouse(map, blockCentre(3));
        moveMouse(map, blockCentre(4), Qt::LeftButton);
        releaseMouse(map, QPoint(-40, -40));
        QCOMPARE(app->state().rom.bytes(), before);
        // Near the end of the image the last tiles on screen lie past it.
        app->wb().forms.tileMapForm->setTileMapPosition(16384 - 32);
        pressMouse(map, blockCentre(0));
        moveMouse(map, blockCentre(1), Qt::LeftButton);
        releaseMouse(map, blockCentre(200));
        QCOMPARE(app->state().rom.bytes(), before);
    }

    void doubleClickWritesTheBlockNumberAtTheSelectedPosition()
    {
        openCountingRom();
        clickMouse(map, blockCentre(0));
        app->state().selectedCell = 5;
        doubleClickMouse(map, blockCentre(0x41));
        QCOMPARE(int(app->state().rom.bytes()[5]), 0x41);
        QVERIFY(app->main->windowTitle().endsWith('*')); // at once
        // The data map keeps the selection inside its grid.
        app->state().selectedCell = 20000;
        doubleClickMouse(map, blockCentre(0x42));
        QCOMPARE(app->state().selectedCell, 1023);
        QCOMPARE(int(app->state().rom.bytes()[1023]), 0x42);
        // Near the end of the image the selection stays on its last byte.
        app->wb().forms.dataForm->moveDataScroll(16384);
        app->state().selectedCell = 1023;
        doubleClickMouse(map, blockCentre(0x43));
        QCOMPARE(int(app->state().rom.bytes()[16383]), 0x43);
    }

    void blockGeometryLaysTilesOutByBlocks()
    {
        openCountingRom();
        child<QSpinBox>("tlwidth")->setValue(2);
        child<QSpinBox>("tlheight")->setValue(2);
        QCOMPARE(map->size(), QSize(512, 512));
        QCOMPARE(scroll->pageStep(), 16384);
        QCOMPARE(scroll->singleStep(), 1024);
        QCOMPARE(child<QToolButton>("RightBtn")->toolTip(), QStringLiteral("Position +64"));
        // Block 1 starts with stream tile 4.
        clickMouse(map, QPoint(40, 8));
        clickMouse(map, QPoint(40, 8));
        QCOMPARE(app->state().selectedTile, 4);
        QCOMPARE(app->state().markedBlock, 1);
        child<QSpinBox>("tlwidth")->setValue(4);
        child<QSpinBox>("tlheight")->setValue(4);
        QCOMPARE(scroll->pageStep(), 16384);
        QCOMPARE(scroll->singleStep(), 1024);
    }

    void tileSizeFollowsTheSpinEdits()
    {
        openCountingRom();
        child<QSpinBox>("twidth")->setValue(16);
        QCOMPARE(app->state().geometry.tileWidth, 16);
        QCOMPARE(map->size(), QSize(512, 256));
        QCOMPARE(app->state().tileMap.picture().width, 256);
        QCOMPARE(child<QToolButton>("RightBtn")->toolTip(), QStringLiteral("Position +32"));
    }

    void onlyTheLeftButtonDoubleClickWrites()
    {
        openCountingRom();
        clickMouse(map, blockCentre(0));
        const RomBytes before = app->state().rom.bytes();
        clickMouse(map, blockCentre(0x12), Qt::RightButton);
        sendMouse(map, QEvent::MouseButtonDblClick, blockCentre(0x12), Qt::RightButton, Qt::RightButton);
        releaseMouse(map, blockCentre(0x12), Qt::RightButton);
        QCOMPARE(app->state().rom.bytes(), before);
        QVERIFY(!app->state().rom.modified());
    }

    void mouseWheelMovesRowsLikeTheArrowKeys()
    {
        openCountingRom(65536);
        // One notch is one row of 16 blocks of one 16-byte tile; a
        // high-resolution wheel adds up to whole notches.
        for (const int delta : {-120, -60, -60, 120}) {
            QWheelEvent wheel(QPointF(5, 5), map->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(map, &wheel);
        }
        QCOMPARE(app->state().tileMapPosition, 256);
    }

    void windowGrowsWithTheMapAndKeepsOneVerticalBar()
    {
        openCountingRom(1 << 20);
        const QSize before = form->size();
        child<QSpinBox>("tlwidth")->setValue(2);
        child<QSpinBox>("tlheight")->setValue(2);
        QVERIFY(form->width() > before.width() || form->width() == form->maximumWidth());
        QVERIFY(form->height() > before.height() || form->height() == form->maximumHeight());
        for (const QScrollArea* area : form->findChildren<QScrollArea*>())
            QVERIFY(!area->verticalScrollBar()->isVisible());
    }
    void zoomFollowsKeysAndWheelAndMapsPressesAtEveryZoom()
    {
        openCountingRom();
        clickMouse(map, blockCentre(0)); // the first release clears the load's click guard
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(form, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(form->zoom(), 1);
        auto* label = child<QLabel>("mbanklab");
        for (int zoom = 1; zoom <= 8; ++zoom) {
            QCOMPARE(map->size(), QSize(128 * zoom, 128 * zoom));
            // The last screen pixel of tile 25h and the first of tile 26h beside it.
            clickMouse(map, QPoint(6 * 8 * zoom - 1, 3 * 8 * zoom - 1));
            QCOMPARE(app->state().selectedTile, 0x25);
            QCOMPARE(app->state().markedBlock, 0x25);
            moveMouse(map, QPoint(6 * 8 * zoom, 2 * 8 * zoom));
            QCOMPARE(label->text(), QStringLiteral("Block: 26 = 38  Tile: 0026 = 38"));
            QTest::keyClick(form, Qt::Key_Equal, Qt::ControlModifier);
        }
        QCOMPARE(form->zoom(), 8);
        QTest::keyClick(form, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(map->size(), QSize(256, 256));
        // Ctrl with the wheel zooms and leaves the position alone.
        QWheelEvent wheel(QPointF(5, 5), map->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(map, &wheel);
        QCOMPARE(form->zoom(), 3);
        QCOMPARE(app->state().tileMapPosition, 0);
    }

    void windowsShareOneDecodedMapAndMovingTheFrameKeepsIt()
    {
        std::vector<std::uint8_t> bytes(16384, 0);
        bytes[1] = 0x37;
        app->open(app->writeFile(QStringLiteral("zero.nes"), bytes));
        const DecodedTileMap& cache = app->state().tileMap;
        form->hide();
        app->wb().forms.tileMapForm->setTileMapPosition(16); // every block out of date
        // Without the map on screen only what the data map's cells and the
        // tile editor's tile name is decoded.
        app->wb().forms.dataForm->grab();
        QVERIFY(cache.holds(0) && cache.holds(0x37));
        QVERIFY(!cache.holds(0x36) && !cache.holds(0x38));

        form->show();
        map->grab();
        const std::uint64_t decoded = cache.blocksDecoded();
        clickMouse(map, blockCentre(0x21));
        QCOMPARE(app->state().markedBlock, 0x21);
        const QImage shown = map->grab().toImage();
        app->wb().forms.dataForm->grab();
        app->wb().forms.tileEditForm->grab();
        QCOMPARE(cache.blocksDecoded(), decoded);
        QCOMPARE(QColor(shown.pixel(16, 32)), QColor(Qt::white)); // the frame, drawn over the picture
    }

    void gridKeyDrawsLinesInTheMapAndTheTileEditor()
    {
        openCountingRom();
        const QColor grey(96, 96, 96);
        ImageBox* tile = app->find<ImageBox>(app->wb().forms.tileEditForm, "Tile");
        // Tile boundaries of the map (x = 32) and pixel boundaries of the
        // 8 x 8 tile in the editor (32 screen pixels per tile pixel).
        const auto linesShown = [&] {
            return map->grab().toImage().pixelColor(32, 100) == grey && tile->grab().toImage().pixelColor(32, 100) == grey;
        };
        QVERIFY(!linesShown());
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form, Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(linesShown());
        QTest::keyClick(form, Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!linesShown());
    }
};

QUARN_GUI_TEST(tilemap, TileMapTest);
#include "tilemap_test.moc"
