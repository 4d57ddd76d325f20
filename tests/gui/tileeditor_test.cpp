// The tile editor driven through its grid, its buttons and the Clear Tile item.
#include "apphelper.h"
#include "guitest.h"
#include "mouse.h"

#include "app/imagebox.h"
#include "tiles/teditf.h"
#include "tiles/tileops.h"
#include "tiles/tmform.h"

#include <QComboBox>
#include <QSpinBox>
#include <QToolButton>

namespace {
using Bytes = std::vector<std::uint8_t>;

const char* const kButtonNames[] = {"MvLeftBtn", "MvRightBtn", "MvUpBtn",     "MvDownBtn", "FlipBtn",
                                    "Flip2Btn",  "RotLeftBtn", "RotRightBtn", "ClearBtn"};
} // namespace

class TileEditorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    Tteditform* editor = nullptr;
    ImageBox* grid = nullptr;

    QToolButton* button(const char* name) { return app->find<QToolButton>(editor, name); }
    SharedState& state() { return app->state(); }
    bool titleMarked() { return app->main->windowTitle().endsWith('*'); }

    void openRom(const Bytes& bytes, const char* name = "game.nes")
    {
        app->open(app->writeFile(QString::fromLatin1(name), bytes));
    }
    // Opens the ROM and spends the release that clears the load's click guard.
    void openReady(const Bytes& bytes, const char* name = "game.nes")
    {
        openRom(bytes, name);
        releaseMouse(grid, QPoint(1, 1));
        QVERIFY(!state().clickGuard);
    }
    // Selects a tile as a press on the map does, so the editor shows it.
    void selectTile(std::int32_t tile)
    {
        state().selectedTile = tile;
        app->wb().forms.tileMapForm->redrawTileMap();
    }
    void setTileSize(int width, int height)
    {
        QSpinBox* w = app->find<QSpinBox>(app->wb().forms.tileMapForm, "twidth");
        QSpinBox* h = app->find<QSpinBox>(app->wb().forms.tileMapForm, "theight");
        w->setValue(width);
        h->setValue(height);
    }
    // Clicks a button `times` times and checks the tile after the first click.
    void clickAndCheck(const char* name, TileTransform transform, int times)
    {
        const RomBytes before = state().rom.bytes();
        const Bitmap tileBefore = state().tileBitmap;
        button(name)->click();
        QCOMPARE(state().tileBitmap, transformedTile(tileBefore, transform, 0));
        QVERIFY(state().rom.bytes() != before);
        for (int i = 1; i < times; ++i)
            button(name)->click();
        QCOMPARE(state().rom.bytes(), before);
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

    void beforeLoadEverythingIsDisabledAndIgnored()
    {
        QCOMPARE(editor->windowTitle(), QStringLiteral("Tile Editor"));
        for (const char* name : kButtonNames)
            QVERIFY2(!button(name)->isEnabled(), name);
        QCOMPARE(button("MvLeftBtn")->toolTip(), QStringLiteral("Shift Left"));
        QCOMPARE(button("FlipBtn")->toolTip(), QStringLiteral("Horisontal Flip"));
        QCOMPARE(grid->size(), QSize(256, 256));
        QCOMPARE(grid->mapTo(editor, QPoint(0, 0)).x(), 0);
        const Bitmap tile = state().tileBitmap;
        clickMouse(grid, QPoint(100, 40));
        editor->ClearBtnClick();
        editor->MvLeftBtnClick();
        QVERIFY(state().rom.empty());
        QCOMPARE(state().tileBitmap, tile);
    }

    void loadEnablesTheButtonsAndTheCaptionFollowsTheTile()
    {
        openRom(Bytes(16384, 0));
        for (const char* name : kButtonNames)
            QVERIFY2(button(name)->isEnabled(), name);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Tile #0000 - [8x8]:[00000000]+0bit"));
        state().selectedTile = 10;
        app->wb().forms.tileMapForm->setTileMapPosition(0x100);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Tile #000A - [8x8]:[000001A0]+0bit"));
    }

    void rotationNeedsASquareTileOfWholeBytes()
    {
        openRom(Bytes(16384, 0), "game.chr"); // 1BPP
        setTileSize(5, 5);
        QVERIFY(!button("RotLeftBtn")->isEnabled());
        QVERIFY(!button("RotRightBtn")->isEnabled());
        QVERIFY(button("FlipBtn")->isEnabled());
        setTileSize(4, 4); // 16 bits
        QVERIFY(button("RotLeftBtn")->isEnabled());
        QVERIFY(button("RotRightBtn")->isEnabled());
        setTileSize(3, 3); // 9 bits
        QVERIFY(!button("RotRightBtn")->isEnabled());
    }

    void clickGuardSwallowsTheFirstClickAfterLoad()
    {
        openRom(Bytes(16384, 0));
        QVERIFY(state().clickGuard);
        moveMouse(grid, QPoint(100, 40), Qt::LeftButton);
        pressMouse(grid, QPoint(100, 40));
        QCOMPARE(state().rom.bytes(), Bytes(16384, 0));
        releaseMouse(grid, QPoint(100, 40));
        QVERIFY(!state().clickGuard);
        QVERIFY(!state().rom.modified()); // that release changes nothing
        QVERIFY(!titleMarked());
        pressMouse(grid, QPoint(100, 40));
        QVERIFY(state().rom.bytes() != Bytes(16384, 0));
    }

    void paintingWritesTheBitsAtOnceAndReleaseShowsThem()
    {
        openReady(Bytes(16384, 0));
        // 8 x 8 tiles: zoom 32, so screen point (100, 40) is tile pixel (3, 1).
        QCOMPARE(editor->zoomFactor(), 32);
        moveMouse(grid, QPoint(100, 40));
        pressMouse(grid, QPoint(100, 40));
        // Foreground box 4 is value 3: bit 4 of row 1 in both NES planes.
        Bytes expected(16384, 0);
        expected[1] = 0x10;
        expected[9] = 0x10;
        QCOMPARE(state().rom.bytes(), expected);
        QVERIFY(!state().rom.modified());
        QCOMPARE(state().tileMap.picture().at(3, 1), kBlackPixel); // not redrawn yet
        QCOMPARE(state().tileBitmap.at(3, 1), colourToPixel(state().palettes.fourEntry(4)));

        moveMouse(grid, QPoint(132, 40), Qt::LeftButton); // dragging paints (4, 1)
        expected[1] = expected[9] = 0x18;
        QCOMPARE(state().rom.bytes(), expected);

        releaseMouse(grid, QPoint(132, 40));
        QVERIFY(state().rom.modified());
        QVERIFY(titleMarked());
        QCOMPARE(state().tileMap.picture().at(3, 1), colourToPixel(state().palettes.fourEntry(4)));
        QCOMPARE(state().tileMap.picture().at(4, 1), colourToPixel(state().palettes.fourEntry(4)));
    }

    void rightButtonPaintsTheBackgroundAlsoWithTheLeft()
    {
        openReady(Bytes(16384, 0xFF)); // every pixel value 3
        moveMouse(grid, QPoint(10, 10), Qt::LeftButton | Qt::RightButton);
        QCOMPARE(int(state().rom.bytes()[0]), 0x7F); // background box 1 is value 0
        QCOMPARE(int(state().rom.bytes()[8]), 0x7F);
        moveMouse(grid, QPoint(40, 10), Qt::RightButton);
        QCOMPARE(int(state().rom.bytes()[0]), 0x3F);
        moveMouse(grid, QPoint(72, 10), Qt::NoButton);
        moveMouse(grid, QPoint(72, 10), Qt::MiddleButton);
        QCOMPARE(int(state().rom.bytes()[0]), 0x3F);
        pressMouse(grid, QPoint(104, 10), Qt::RightButton);
        QCOMPARE(int(state().rom.bytes()[0]), 0x2F);
        QCOMPARE(int(state().rom.bytes()[8]), 0x2F);
    }

    void aPressOutsideASmallTileWritesNothingAndTheReleaseChangesNothing()
    {
        openReady(Bytes(16384, 0));
        setTileSize(5, 5);
        QCOMPARE(editor->zoomFactor(), 48); // the tile covers 240 x 240
        moveMouse(grid, QPoint(250, 10));
        pressMouse(grid, QPoint(250, 10));
        moveMouse(grid, QPoint(10, 245), Qt::LeftButton);
        QCOMPARE(state().rom.bytes(), Bytes(16384, 0));
        releaseMouse(grid, QPoint(10, 245));
        QVERIFY(!state().rom.modified());
        QVERIFY(!titleMarked());
        QVERIFY(!state().rom.canUndo());
        QCOMPARE(state().rom.bytes(), Bytes(16384, 0));
        // Inside it, (239, 239) is tile pixel (4, 4): stream pixel 24, unit row 3, column 0.
        clickMouse(grid, QPoint(239, 239));
        QCOMPARE(int(state().rom.bytes()[3]), 0x80);
        QCOMPARE(int(state().rom.bytes()[11]), 0x80);
    }

    void repeatedOperationsRestoreTheTile()
    {
        Bytes rom = countingBytes(16384);
        rom[0] = 0x35; // a tile that no mirror or turn maps onto itself
        openReady(rom);
        selectTile(0);
        clickAndCheck("MvLeftBtn", TileTransform::ShiftLeft, 8);
        clickAndCheck("MvRightBtn", TileTransform::ShiftRight, 8);
        clickAndCheck("MvUpBtn", TileTransform::ShiftUp, 8);
        clickAndCheck("MvDownBtn", TileTransform::ShiftDown, 8);
        clickAndCheck("RotLeftBtn", TileTransform::RotateLeft, 4);
        clickAndCheck("RotRightBtn", TileTransform::RotateRight, 4);
        clickAndCheck("FlipBtn", TileTransform::FlipHorizontal, 2);
        clickAndCheck("Flip2Btn", TileTransform::FlipVertical, 2);
        QVERIFY(state().rom.modified());
        QVERIFY(titleMarked());
    }

    void operationsWorkOnTheSelectedTileOnly()
    {
        openReady(countingBytes(16384));
        selectTile(3); // bytes 48..63
        button("FlipBtn")->click();
        const Bytes counting = countingBytes(16384);
        for (std::size_t i = 0; i < counting.size(); ++i)
            if (i < 48 || i >= 64)
                QCOMPARE(int(state().rom.bytes()[i]), int(counting[i]));
        QVERIFY(!std::equal(counting.begin() + 48, counting.begin() + 64, state().rom.bytes().begin() + 48));
    }

    void rotatingAWideTileBringsInTheBackgroundColour()
    {
        setTileSize(8, 4); // before the load: loading enables both rotate buttons anyway
        openReady(Bytes(16384, 0xFF));
        QVERIFY(button("RotRightBtn")->isEnabled());
        button("RotRightBtn")->click();
        // new(x, y) = old(y, 7 - x): for x < 4 that lies below the 4-row tile.
        const std::uint32_t background = colourToPixel(state().palettes.fourEntry(1));
        const std::uint32_t foreground = colourToPixel(state().palettes.fourEntry(4));
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x)
                QCOMPARE(state().tileBitmap.at(x, y), x < 4 ? background : foreground);
        // 8 x 4 tiles of 2 bits are half a NES unit: rows 0..3 of bytes 0..3 and 8..11.
        for (int i : {0, 1, 2, 3, 8, 9, 10, 11})
            QCOMPARE(int(state().rom.bytes()[static_cast<std::size_t>(i)]), 0x0F);
        QCOMPARE(int(state().rom.bytes()[4]), 0xFF);
    }

    void clearWritesValueZeroWithTheDefaultSlots()
    {
        openReady(Bytes(16384, 0xFF));
        button("ClearBtn")->click();
        for (std::size_t i = 0; i < 16; ++i)
            QCOMPARE(int(state().rom.bytes()[i]), 0);
        QCOMPARE(int(state().rom.bytes()[16]), 0xFF);
        QVERIFY(titleMarked());

        // 4-bit codec, background entry 0, through the tile map menu.
        app->find<QComboBox>(app->wb().forms.tileMapForm, "Codecbox")->setCurrentIndex(5);
        selectTile(1); // bytes 32..63
        app->main->action("N8")->trigger();
        for (std::size_t i = 32; i < 64; ++i)
            QCOMPARE(int(state().rom.bytes()[i]), 0);
        QCOMPARE(int(state().rom.bytes()[64]), 0xFF);
    }

    void paintingInSixteenColourModeUsesTheStrip()
    {
        openReady(Bytes(16384, 0), "game.gba"); // 4BPP GBA
        QCOMPARE(state().foregroundSlot, std::uint8_t(15));
        clickMouse(grid, QPoint(40, 5)); // pixel (1, 0): the high nibble of byte 0
        QCOMPARE(int(state().rom.bytes()[0]), 0xF0);
        QCOMPARE(state().tileMap.picture().at(1, 0), colourToPixel(state().palettes.sixteen[15]));
    }

    void transformsRefuseTilesThatLeaveTheImage()
    {
        Bytes bytes(16384, 0xFF);
        openReady(bytes);
        setTileSize(3, 3);
        app->wb().forms.tileMapForm->moveTileMapScroll(1 << 30); // the last screen runs past the end
        selectTile(227);
        const RomBytes before = state().rom.bytes();
        button("Flip2Btn")->click();
        button("Flip2Btn")->click();
        QCOMPARE(state().rom.bytes(), before);
        QCOMPARE(app->dialogs.messages.size(), 2);
        // A tile well inside still flips.
        selectTile(0);
        button("FlipBtn")->click();
        QCOMPARE(app->dialogs.messages.size(), 2);
    }

    void selectionOffTheMapAfterAGeometryChangeGoesBackToTheFirstTile()
    {
        Bytes bytes(65536);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i);
        openReady(bytes);
        QSpinBox* blockWidth = app->find<QSpinBox>(app->wb().forms.tileMapForm, "tlwidth");
        QSpinBox* blockHeight = app->find<QSpinBox>(app->wb().forms.tileMapForm, "tlheight");
        blockWidth->setValue(2);
        blockHeight->setValue(2);
        selectTile(1023);
        blockWidth->setValue(1);
        blockHeight->setValue(1);
        QCOMPARE(state().selectedTile, 0);
        const RomBytes before = state().rom.bytes();
        button("FlipBtn")->click();
        button("FlipBtn")->click();
        QCOMPARE(state().rom.bytes(), before);
    }
};

QUARN_GUI_TEST(tileeditor, TileEditorTest);
#include "tileeditor_test.moc"
