// The palette controls of the tile editor and the Palette menu.
#include "apphelper.h"
#include "guitest.h"
#include "mouse.h"

#include "app/imagebox.h"
#include "tiles/colourformat.h"
#include "tiles/palettefile.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"

#include <QComboBox>

namespace {
using Bytes = std::vector<std::uint8_t>;

QColor qColour(Colour c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

// Pixels of `picture` inside `area` that have exactly colour `c`.
int countColour(const QImage& picture, Colour c, QRect area)
{
    int count = 0;
    area = area.intersected(picture.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += QColor(picture.pixel(x, y)) == qColour(c) ? 1 : 0;
    return count;
}

bool plain(const QImage& picture, Colour c)
{
    return countColour(picture, c, picture.rect()) == picture.width() * picture.height();
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

Bytes toBytes(const QByteArray& text) { return Bytes(text.begin(), text.end()); }
} // namespace

class PalettesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    Tteditform* editor = nullptr;

    SharedState& state() { return app->state(); }
    Palettes& palettes() { return app->state().palettes; }
    ImageBox* box(int n) { return app->find<ImageBox>(editor, QStringLiteral("Color%1im").arg(n).toLatin1().constData()); }
    ImageBox* strip() { return app->find<ImageBox>(editor, "c16im"); }
    void setCodec(Codec codec)
    {
        app->find<QComboBox>(app->wb().forms.tileMapForm, "Codecbox")->setCurrentIndex(codecIndex(codec));
    }
    // Centre of strip cell `entry`.
    static QPoint cell(int entry) { return {15, entry * 16 + 8}; }
    void loadPalette(const QString& name, const Bytes& bytes)
    {
        app->dialogs.openAnswers.push_back(app->writeFile(name, bytes));
        app->main->action("N1")->trigger();
    }
    void expectPaletteDialog(const FileDialogOptions& options, const char* title)
    {
        QCOMPARE(options.title, QString::fromLatin1(title));
        QCOMPARE(options.filter,
                 QStringLiteral("KVR Palette (*.pal)|*.pal|Photoshop Palette (*.act)|*.act|All Files (*.*)|*.*"));
        QCOMPARE(options.defaultExtension, QStringLiteral(".pal"));
    }

private slots:
    void init()
    {
        app = std::make_unique<RunningApp>();
        editor = app->wb().forms.tileEditForm;
        QVERIFY(editor && strip());
        for (int n = 1; n <= 4; ++n)
            QVERIFY(box(n));
    }
    void cleanup() { app.reset(); }

    void startupShowsTheFourBoxesWithTheirLabels()
    {
        QCOMPARE(palettes(), defaultPalettes());
        QCOMPARE(state().foregroundSlot, std::uint8_t(4));
        QCOMPARE(state().backgroundSlot, std::uint8_t(1));
        for (int n = 1; n <= 4; ++n) {
            QVERIFY(box(n)->isVisible());
            QCOMPARE(box(n)->size(), QSize(30, 30));
            QCOMPARE(box(n)->mapTo(editor, QPoint(0, 0)), QPoint(257, 24 + 30 * (n - 1)));
        }
        QVERIFY(!strip()->isVisible());
        const Colour peach = rgbColour(255, 200, 184);
        // "FG" on box 4 in the complement of its colour, straight on the box.
        const QImage fg = editor->boxPicture(4);
        QCOMPARE(QColor(fg.pixel(0, 0)), qColour(peach));
        QVERIFY(countColour(fg, rgbColour(0, 55, 71), QRect(5, 1, 25, 13)) > 5);
        QCOMPARE(countColour(fg, 0xFFFFFF, QRect(5, 1, 25, 13)), 0);
        QVERIFY(plain(editor->boxPicture(2), palettes().fourEntry(2)));
        QVERIFY(plain(editor->boxPicture(3), palettes().fourEntry(3)));
        // "BG" on the black box is white and readable.
        QVERIFY(countColour(editor->boxPicture(1), 0xFFFFFF, QRect(5, 14, 25, 14)) > 5);
    }

    void clicksChooseTheSlotsAndMoveTheLabels()
    {
        clickMouse(box(2), QPoint(15, 15));
        QCOMPARE(state().foregroundSlot, std::uint8_t(2));
        QVERIFY(plain(editor->boxPicture(4), palettes().fourEntry(4)));
        const Colour label2 = labelColour(palettes().fourEntry(2));
        QVERIFY(countColour(editor->boxPicture(2), label2, QRect(5, 1, 25, 13)) > 5);

        clickMouse(box(3), QPoint(15, 15), Qt::RightButton);
        QCOMPARE(state().backgroundSlot, std::uint8_t(3));
        QVERIFY(plain(editor->boxPicture(1), palettes().fourEntry(1)));
        const QImage backgroundOnly = editor->boxPicture(3);
        QVERIFY(!plain(backgroundOnly, palettes().fourEntry(3)));

        // The background box chosen as foreground carries both labels...
        clickMouse(box(3), QPoint(15, 15));
        QCOMPARE(state().foregroundSlot, std::uint8_t(3));
        QVERIFY(editor->boxPicture(3) != backgroundOnly);
        QVERIFY(plain(editor->boxPicture(2), palettes().fourEntry(2)));
        // ...and keeps "BG" alone when the foreground moves on.
        clickMouse(box(4), QPoint(15, 15));
        QCOMPARE(editor->boxPicture(3), backgroundOnly);
        QCOMPARE(state().backgroundSlot, std::uint8_t(3));
    }

    void labelColoursFollowTheBoxColour()
    {
        app->dialogs.colourAnswers.push_back(rgbColour(255, 255, 255));
        doubleClickMouse(box(1), QPoint(15, 15)); // box 1 is now foreground and background
        QCOMPARE(palettes().fourEntry(1), rgbColour(255, 255, 255));
        QVERIFY(countColour(editor->boxPicture(1), 0x000000, editor->boxPicture(1).rect()) > 10);
    }

    void codecChangesSwitchTheControlsAndResetTheSlots()
    {
        const Palettes before = palettes();
        setCodec(Codec::Snes);
        for (int n = 1; n <= 4; ++n)
            QVERIFY(!box(n)->isVisible());
        QVERIFY(strip()->isVisible());
        QCOMPARE(strip()->size(), QSize(30, 256));
        QCOMPARE(state().foregroundSlot, std::uint8_t(15));
        QCOMPARE(state().backgroundSlot, std::uint8_t(0));
        const QImage shown = editor->stripPicture();
        QCOMPARE(QColor(shown.pixel(0, 16 * 12)), qColour(palettes().sixteen[12]));
        QVERIFY(countColour(shown, 0x000000, QRect(10, 16 * 15, 20, 16)) > 3); // "F"
        QVERIFY(countColour(shown, 0xFFFFFF, QRect(10, 0, 20, 16)) > 3);       // "B" on white
        QVERIFY(plain(shown.copy(0, 16 * 7, 30, 16), palettes().sixteen[7]));

        setCodec(Codec::OneBpp);
        QVERIFY(box(1)->isVisible() && box(2)->isVisible());
        QVERIFY(!box(3)->isVisible() && !box(4)->isVisible() && !strip()->isVisible());
        QCOMPARE(state().foregroundSlot, std::uint8_t(2));
        QCOMPARE(state().backgroundSlot, std::uint8_t(1));

        setCodec(Codec::Linear);
        for (int n = 1; n <= 4; ++n)
            QVERIFY(box(n)->isVisible());
        QCOMPARE(state().foregroundSlot, std::uint8_t(4));
        QCOMPARE(palettes(), before);
    }

    void stripClicksAndTheColourDialog()
    {
        app->open(app->writeFile(QStringLiteral("all9.gba"), Bytes(16384, 0x99))); // every pixel value 9
        QVERIFY(strip()->isVisible());
        pressMouse(strip(), cell(3), Qt::RightButton);
        QCOMPARE(state().backgroundSlot, std::uint8_t(3));
        QCOMPARE(app->dialogs.unexpected, 0); // no dialog for a right click

        const Palettes before = palettes();
        app->dialogs.colourAnswers.push_back(std::nullopt);
        doubleClickMouse(strip(), cell(7));
        QCOMPARE(state().foregroundSlot, std::uint8_t(7)); // even when cancelled
        QCOMPARE(palettes(), before);

        app->dialogs.colourAnswers.push_back(rgbColour(1, 2, 3));
        doubleClickMouse(strip(), cell(9));
        QCOMPARE(palettes().sixteen[9], rgbColour(1, 2, 3));
        QCOMPARE(state().foregroundSlot, std::uint8_t(9));
        QCOMPARE(state().tileMap.picture().at(0, 0), colourToPixel(rgbColour(1, 2, 3)));
        QCOMPARE(QColor(editor->stripPicture().pixel(0, 16 * 9)), QColor(1, 2, 3));
        QCOMPARE(app->dialogs.unexpected, 0);

        pressMouse(strip(), cell(9), Qt::RightButton);
        QVERIFY(countColour(editor->stripPicture(), 0x000000, QRect(8, 16 * 9, 22, 16)) > 5); // "BF"
    }

    void boxDoubleClickSetsTheColourAndRedraws()
    {
        app->open(app->writeFile(QStringLiteral("zero.nes"), Bytes(16384, 0)));
        app->dialogs.colourAnswers.push_back(rgbColour(10, 20, 30));
        doubleClickMouse(box(1), QPoint(15, 15));
        QCOMPARE(palettes().fourEntry(1), rgbColour(10, 20, 30));
        QCOMPARE(state().foregroundSlot, std::uint8_t(1));
        QCOMPARE(QColor(editor->boxPicture(1).pixel(0, 0)), QColor(10, 20, 30));
        QCOMPARE(state().tileMap.picture().at(0, 0), colourToPixel(rgbColour(10, 20, 30)));

        app->dialogs.colourAnswers.push_back(std::nullopt);
        doubleClickMouse(box(2), QPoint(15, 15));
        QCOMPARE(palettes().fourEntry(2), defaultFourColourPalette()[1]);
    }

    void restoreLeavesTheOtherPaletteAlone()
    {
        const Colour mine = rgbColour(9, 8, 7);
        setCodec(Codec::Snes);
        app->dialogs.colourAnswers = {mine, mine};
        doubleClickMouse(strip(), cell(2));
        doubleClickMouse(strip(), cell(6));
        setCodec(Codec::Nes);
        app->dialogs.colourAnswers.push_back(mine);
        doubleClickMouse(box(3), QPoint(15, 15));
        clickMouse(box(4), QPoint(15, 15)); // the foreground label back on box 4

        app->main->action("Restore1")->trigger(); // 4-colour mode
        QCOMPARE(palettes().four, defaultFourColourPalette());
        QCOMPARE(palettes().sixteen[2], mine);
        QCOMPARE(palettes().sixteen[6], defaultSixteenColourPalette()[6]);
        QVERIFY(plain(editor->boxPicture(3), defaultFourColourPalette()[2]));
        QVERIFY(!plain(editor->boxPicture(4), defaultFourColourPalette()[3])); // its "FG" is back

        app->dialogs.colourAnswers.push_back(mine);
        doubleClickMouse(box(2), QPoint(15, 15));
        setCodec(Codec::Gba);
        app->main->action("Restore1")->trigger(); // 16-colour mode
        QCOMPARE(palettes().sixteen, defaultSixteenColourPalette());
        QCOMPARE(palettes().fourEntry(2), mine);
        QCOMPARE(QColor(editor->stripPicture().pixel(0, 16 * 2)), qColour(defaultSixteenColourPalette()[2]));
    }

    void savedFilesInBothFormsAndModes()
    {
        const QString pal = app->dir.filePath(QStringLiteral("four.pal"));
        app->dialogs.saveAnswers.push_back(pal);
        app->main->action("N2")->trigger();
        expectPaletteDialog(app->dialogs.lastSave, "Save Palette");
        QVERIFY(app->dialogs.lastSave.confirmOverwrite);
        QCOMPARE(fileBytes(pal), QByteArray("0 0 0\r\n160 48 0\r\n216 73 96\r\n255 200 184\r\n"));

        setCodec(Codec::Snes);
        const QString act = app->dir.filePath(QStringLiteral("sixteen.ACT"));
        app->dialogs.saveAnswers.push_back(act);
        app->main->action("N2")->trigger();
        const QByteArray binary = fileBytes(act);
        QCOMPARE(binary.size(), 256);
        QCOMPARE(toBytes(binary), writePaletteBinary(defaultSixteenColourPalette()));
        QCOMPARE(static_cast<std::uint8_t>(binary[45]), 160); // entry 15 is red 160

        app->dialogs.saveAnswers.push_back(std::nullopt);
        app->main->action("N2")->trigger(); // cancelled: nothing
        QVERIFY(app->dialogs.messages.isEmpty());
    }

    void loadingTextAndBinaryFiles()
    {
        loadPalette(QStringLiteral("odd.pal"), toBytes("300 -1 7\n1 2 3\n4 5 6\n7 8 9\n"));
        expectPaletteDialog(app->dialogs.lastOpen, "Open Palette");
        QVERIFY(app->dialogs.messages.isEmpty());
        QCOMPARE(palettes().fourEntry(1), rgbColour(44, 255, 7));
        QCOMPARE(palettes().fourEntry(4), rgbColour(7, 8, 9));
        QCOMPARE(QColor(editor->boxPicture(4).pixel(0, 0)), QColor(7, 8, 9));

        // ".act" inside the name makes it binary; a 768-byte table is fine.
        setCodec(Codec::Snes);
        Bytes table(768);
        for (std::size_t i = 0; i < table.size(); ++i)
            table[i] = static_cast<std::uint8_t>(i);
        loadPalette(QStringLiteral("palette.act.txt"), table);
        QVERIFY(app->dialogs.messages.isEmpty());
        QCOMPARE(palettes().sixteen[15], rgbColour(45, 46, 47));
        QCOMPARE(palettes().fourEntry(1), rgbColour(44, 255, 7)); // the other palette stays
    }

    void badFilesKeepWhatWasReadAndDoNotRedraw()
    {
        app->open(app->writeFile(QStringLiteral("zero.gba"), Bytes(16384, 0))); // every pixel entry 0
        const Bitmap shown = state().tileMap.picture();
        const Palettes before = palettes();

        // A four-line file in 16-colour mode fails on the fifth line.
        loadPalette(QStringLiteral("four.pal"), toBytes("11 12 13\r\n1 2 3\r\n4 5 6\r\n7 8 9\r\n"));
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("'' is not a valid integer value")});
        QCOMPARE(palettes().sixteen[0], rgbColour(11, 12, 13));
        QCOMPARE(palettes().sixteen[3], rgbColour(7, 8, 9));
        for (std::size_t i = 4; i < 16; ++i)
            QCOMPARE(palettes().sixteen[i], before.sixteen[i]);
        QCOMPARE(state().tileMap.picture(), shown); // no redraw
        QCOMPARE(QColor(editor->stripPicture().pixel(0, 0)), QColor(11, 12, 13));

        app->dialogs.messages.clear();
        loadPalette(QStringLiteral("short.act"), Bytes(20, 0x42));
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("Read beyond end of file")});
        QCOMPARE(palettes().sixteen[5], rgbColour(0x42, 0x42, 0x42));
        QCOMPARE(palettes().sixteen[6], before.sixteen[6]);

        app->dialogs.messages.clear();
        const Palettes now = palettes();
        app->dialogs.openAnswers.push_back(app->dir.filePath(QStringLiteral("missing.pal")));
        app->main->action("N1")->trigger();
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("File not found")});
        QCOMPARE(palettes(), now);
    }

    void aShortFourColourBinaryFileSetsItsWholeTriplets()
    {
        loadPalette(QStringLiteral("short.act"), Bytes{1, 2, 3, 4, 5, 6, 7, 8});
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("Read beyond end of file")});
        QCOMPARE(palettes().fourEntry(1), rgbColour(1, 2, 3));
        QCOMPARE(palettes().fourEntry(2), rgbColour(4, 5, 6));
        QCOMPARE(palettes().fourEntry(3), defaultFourColourPalette()[2]);
    }

    // Read From ROM and Write To ROM in the three palette modes; the colours
    // themselves are the core's (its own tests), here the wiring and undo.
    void paletteReadFromAndWrittenToTheRom()
    {
        const std::vector<std::tuple<Codec, const char*, const char*, std::int64_t>> runs{
            {Codec::Snes, "H1F0", "BGR555", 0x1F0}, {Codec::Nes, "12345", "nes", 12345},
            {Codec::Gba8, "H3E00", "bgr555", 0x3E00}};
        for (const auto& [codec, offset, formatName, at] : runs) {
            app.reset();
            app = std::make_unique<RunningApp>();
            editor = app->wb().forms.tileEditForm;
            QAction* read = app->main->action("ReadPalItem");
            QAction* write = app->main->action("WritePalItem");
            QVERIFY(!read->isEnabled() && !write->isEnabled());
            Bytes rom(16384, 0);
            for (std::size_t i = 0; i < 32; ++i)
                rom[static_cast<std::size_t>(at) + i] = static_cast<std::uint8_t>(i * 0x35 + 0x91);
            app->open(app->writeFile(QStringLiteral("game.bin"), rom));
            setCodec(codec);
            const PaletteMode mode = paletteModeFor(codec);
            const bool sixteen = mode != PaletteMode::FourColour; // the strip, not the boxes
            const int count = paletteEntryCount(mode);
            auto inUse = [&] {
                const std::span<const Colour> entries = paletteEntries(palettes(), mode);
                return std::vector<Colour>(entries.begin(), entries.end());
            };
            auto romBytes = [&] { return Bytes(state().rom.bytes().begin(), state().rom.bytes().end()); };
            const ColourFormat format = *parseColourFormat(QString::fromLatin1(formatName).toLower().toStdString());

            // One byte past the end and an unknown format: a message each, nothing changes.
            const Palettes before = palettes();
            const QString pastEnd = QString::number(16384 - count * bytesPerColour(format) + 1);
            for (const auto& [where, name] : {std::pair{pastEnd, formatName}, std::pair{QString::fromLatin1(offset), "vga"}}) {
                app->dialogs.inputAnswers = {where, QString::fromLatin1(name)};
                read->trigger();
            }
            QCOMPARE(app->dialogs.messages.size(), 2);
            QCOMPARE(palettes(), before);
            QVERIFY(!write->isEnabled());

            app->dialogs.messages.clear();
            app->dialogs.inputAnswers = {QString::fromLatin1(offset), QString::fromLatin1(formatName)};
            read->trigger();
            const std::vector<Colour> expected = readColours(rom, at, count, format).colours;
            QCOMPARE(inUse(), expected);
            QCOMPARE(state().tileMap.picture().at(0, 0), colourToPixel(expected[0]));
            QVERIFY(app->dialogs.messages.isEmpty() && write->isEnabled());

            app->dialogs.colourAnswers.push_back(rgbColour(250, 3, 131)); // held by no format exactly
            doubleClickMouse(sixteen ? strip() : box(1), sixteen ? cell(0) : QPoint(15, 15));
            Bytes written = rom;
            QVERIFY(writeColours(written, at, inUse(), format).empty() && written != rom);
            write->trigger();
            QCOMPARE(romBytes(), written);
            QCOMPARE(app->main->action("UndoItem")->text(), QStringLiteral("Undo Write To ROM"));
            app->main->action("UndoItem")->trigger();
            QCOMPARE(romBytes(), rom);
        }
    }
};

QUARN_GUI_TEST(palettes, PalettesTest);
#include "palettes_test.moc"
