// The 256-colour palette and the codecs that use it: the codec box, the tile
// map's colours, the tile editor's 16 x 16 cells, 8-bit indexed pictures and
// the NES master palette in every palette size.
#include "apphelper.h"
#include "guitest.h"
#include "mouse.h"

#include "app/imagebox.h"
#include "tiles/codecdescription.h"
#include "tiles/colourformat.h"
#include "tiles/palettefile.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"

#include <QComboBox>
#include <QImageReader>
#include <QToolButton>

namespace {
using Bytes = std::vector<std::uint8_t>;

QRgb qPixel(Colour c) { return colourToPixel(c); }

// 256 colours no two alike, so that every byte survives a trip through a picture.
std::vector<Colour> distinctColours()
{
    std::vector<Colour> colours;
    for (int i = 0; i < 256; ++i)
        colours.push_back(rgbColour(i, 255 - i, (i * 37) % 256));
    return colours;
}

// A described 8-bit codec: pixel x, y is byte 8 y + x, as in "8BPP GBA".
CodecDescription linearEightBit()
{
    CodecDescription d;
    d.name = "TEST 8BPP LINEAR";
    d.bitsPerPixel = 8;
    d.bytes = 64;
    for (int pixel = 0; pixel < 64; ++pixel)
        for (int bit = 0; bit < 8; ++bit)
            d.bits.push_back({pixel, bit});
    return d;
}
} // namespace

class EightBitTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    Tteditform* editor = nullptr;
    std::optional<Codec> described;

    SharedState& state() { return app->state(); }
    Palettes& palettes() { return app->state().palettes; }
    ImageBox* strip() { return app->find<ImageBox>(editor, "c16im"); }
    ImageBox* grid() { return app->find<ImageBox>(editor, "Tile"); }
    QComboBox* codecBox() { return app->find<QComboBox>(app->wb().forms.tileMapForm, "Codecbox"); }
    void setCodec(Codec codec) { codecBox()->setCurrentIndex(codecIndex(codec)); }
    Bytes romBytes() { return Bytes(state().rom.bytes().begin(), state().rom.bytes().end()); }
    // Opens the bytes in `codec`; the release clears the guard on the first click.
    void openRom(const Bytes& bytes, Codec codec, const char* name = "game.bin")
    {
        app->open(app->writeFile(QString::fromLatin1(name), bytes));
        setCodec(codec);
        releaseMouse(grid(), QPoint(1, 1));
    }
    QPoint cellCentre(int entry)
    {
        const PaletteStripLayout& l = editor->stripLayout();
        return {l.cellX(entry) + l.cellWidth / 2, l.cellY(entry) + l.cellHeight / 2};
    }
    void loadPalette(const QString& name, const Bytes& bytes)
    {
        app->dialogs.openAnswers.push_back(app->writeFile(name, bytes));
        app->main->action("N1")->trigger();
    }

private slots:
    void initTestCase()
    {
        // Before any window is built, as codec files are read at start-up.
        std::string error;
        described = addDescribedCodec(linearEightBit(), error);
        QVERIFY2(described.has_value(), error.c_str());
    }
    void init()
    {
        app = std::make_unique<RunningApp>();
        editor = app->wb().forms.tileEditForm;
    }
    void cleanup() { app.reset(); }

    void codecBoxListsTheBuiltInsThenTheDescribedCodecs()
    {
        const std::vector<Codec> codecs = allCodecs();
        QCOMPARE(codecBox()->count(), static_cast<int>(codecs.size()));
        for (const Codec codec : codecs)
            QCOMPARE(codecBox()->itemText(codecIndex(codec)), QString::fromStdString(std::string(codecName(codec))));
        setCodec(*described);
        QCOMPARE(state().codec, *described);
    }

    // Every 8-bit codec shows each pixel in the 256-colour entry of its byte;
    // in these two the byte of pixel x, y of the first tile is byte 8 y + x.
    void eightBitMapsShowTheEntryOfEachByte()
    {
        const Bytes rom = countingBytes(16384);
        for (const Codec codec : {Codec::Gba8, *described}) {
            openRom(rom, codec);
            palettes().full[rom[9]] = rgbColour(1, 2, 3);
            app->wb().forms.tileMapForm->redrawTileMap();
            const Bitmap& map = state().tileMap.ensureWhole(state().tileMapSource());
            for (const auto& [x, y] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{7, 3}, std::pair{5, 7}})
                QCOMPARE(map.at(x, y), qPixel(palettes().full[rom[static_cast<std::size_t>(8 * y + x)]]));
            // Tile 1 follows at x = 8.
            QCOMPARE(map.at(10, 2), qPixel(palettes().full[rom[64 + 2 * 8 + 2]]));
            QCOMPARE(map.at(1, 1), qPixel(rgbColour(1, 2, 3)));
        }
    }

    // The strip's cells and slots for 3-, 4- and 8-bit codecs.
    void stripCellsFollowTheCodecsBits()
    {
        struct Run {
            Codec codec;
            QSize cells; // columns x rows
            QSize cell;
        };
        for (const Run& run : {Run{Codec::Snes3, {1, 8}, {30, 32}}, Run{Codec::Snes, {1, 16}, {30, 16}},
                               Run{Codec::Snes8, {16, 16}, {16, 16}}}) {
            setCodec(run.codec);
            const PaletteStripLayout& l = editor->stripLayout();
            QCOMPARE(QSize(l.columns, l.rows), run.cells);
            QCOMPARE(QSize(l.cellWidth, l.cellHeight), run.cell);
            QVERIFY(strip()->isVisible());
            QCOMPARE(strip()->size(), QSize(l.width(), 256));
            QCOMPARE(strip()->mapTo(editor, QPoint(l.width(), 0)).x(), editor->width()); // the window widened
            QCOMPARE(int(state().foregroundSlot), l.entries() - 1);
            QCOMPARE(int(state().backgroundSlot), 0);
            const std::span<const Colour> entries = paletteEntries(palettes(), paletteModeFor(run.codec));
            const QImage shown = editor->stripPicture();
            for (int entry = 1; entry < l.entries() - 1; entry += 3) // no label in these cells
                QCOMPARE(shown.pixel(l.cellX(entry), l.cellY(entry)), qPixel(entries[static_cast<std::size_t>(entry)]));
        }
        setCodec(Codec::Nes);
        QVERIFY(!strip()->isVisible());
        QCOMPARE(int(state().foregroundSlot), 4);
    }

    // Entry 16 of the default palette is black like entry 0: painting with it
    // still writes 16, the slot's own value.
    void paintingWritesTheSlotsValue()
    {
        openRom(Bytes(16384, 0), Codec::Gba8);
        clickMouse(strip(), cellCentre(200));
        pressMouse(strip(), cellCentre(16), Qt::RightButton);
        QCOMPARE(int(state().foregroundSlot), 200);
        QCOMPARE(int(state().backgroundSlot), 16);
        QCOMPARE(palettes().full[16], palettes().full[0]);
        pressMouse(grid(), QPoint(16, 16));             // pixel 0, 0
        releaseMouse(grid(), QPoint(16, 16));
        pressMouse(grid(), QPoint(48, 16), Qt::RightButton); // pixel 1, 0
        releaseMouse(grid(), QPoint(48, 16), Qt::RightButton);
        Bytes expected(16384, 0);
        expected[0] = 200;
        expected[1] = 16;
        QCOMPARE(romBytes(), expected);
        clickMouse(strip(), cellCentre(16), Qt::RightButton);
        app->find<QToolButton>(editor, "ClearBtn")->click(); // the whole tile in the background entry
        std::fill(expected.begin(), expected.begin() + 64, 16);
        QCOMPARE(romBytes(), expected);

        app->dialogs.colourAnswers.push_back(rgbColour(7, 7, 7));
        doubleClickMouse(strip(), cellCentre(255));
        QCOMPARE(palettes().full[255], rgbColour(7, 7, 7));
        QCOMPARE(int(state().foregroundSlot), 255);
        QCOMPARE(editor->stripPicture().pixel(cellCentre(255).x(), 255 / 16 * 16 + 15), qPixel(rgbColour(7, 7, 7)));
    }

    // Save To BMP in an 8-bit codec writes an 8-bit indexed picture with the
    // palette as its colour table; loading it into another image restores
    // every byte. A 4-bit codec still writes true colour.
    void eightBitPicturesAreIndexedAndComeBack()
    {
        const Bytes rom = countingBytes(16384); // exactly one screen of 8-bit tiles, every value
        const std::vector<Colour> colours = distinctColours();
        for (const char* name : {"map.bmp", "map.png"}) {
            app.reset();
            app = std::make_unique<RunningApp>();
            editor = app->wb().forms.tileEditForm;
            openRom(rom, Codec::Gba8);
            loadPalette(QStringLiteral("distinct.act"), writePaletteBinary(colours));
            QVERIFY(app->dialogs.messages.isEmpty());
            QCOMPARE(std::vector<Colour>(palettes().full.begin(), palettes().full.end()), colours);

            const QString picture = app->dir.filePath(QString::fromLatin1(name));
            app->dialogs.saveAnswers.push_back(picture);
            app->main->action("BMP2")->trigger();
            QImageReader reader(picture);
            const QImage image = reader.read();
            QCOMPARE(image.format(), QImage::Format_Indexed8);
            QCOMPARE(image.colorCount(), 256);
            for (int i = 0; i < 256; ++i)
                QCOMPARE(image.color(i), qPixel(colours[static_cast<std::size_t>(i)]));
            QCOMPARE(int(image.pixelIndex(3, 1)), int(rom[8 + 3]));

            openRom(Bytes(16384, 0), Codec::Gba8, "zero.bin");
            app->dialogs.openAnswers.push_back(picture);
            app->main->action("BMP1")->trigger();
            QVERIFY(app->dialogs.messages.isEmpty());
            QCOMPARE(romBytes(), rom);
        }
        setCodec(Codec::Gba);
        const QString trueColour = app->dir.filePath(QStringLiteral("four.bmp"));
        app->dialogs.saveAnswers.push_back(trueColour);
        app->main->action("BMP2")->trigger();
        QCOMPARE(QImageReader(trueColour).read().format(), QImage::Format_RGB32);
    }

    // The 256-colour palette takes the 64 master colours without a question;
    // the smaller ones take the indices typed, offered a grey ramp first.
    void nesMasterPaletteInEveryPaletteSize()
    {
        const auto& nes = nesMasterPalette();
        setCodec(Codec::Gba8);
        const Palettes before = palettes();
        app->main->action("NesPalItem")->trigger();
        QCOMPARE(app->dialogs.unexpected, 0);
        QVERIFY(std::equal(nes.begin(), nes.end(), palettes().full.begin()));
        QVERIFY(std::equal(palettes().full.begin() + 64, palettes().full.end(), before.full.begin() + 64));
        QCOMPARE(editor->stripPicture().pixel(cellCentre(0x21)), qPixel(nes[0x21]));

        struct Run {
            Codec codec;
            const char* offered;
            const char* typed;
            std::vector<int> indices; // the entries they set, from the first
        };
        const std::vector<Run> runs{
            {Codec::Nes, "0F 00 10 30", "$0f 1 3F 20", {0x0F, 0x01, 0x3F, 0x20}},
            {Codec::Snes, "0F 00 10 30 11 12 13 14 15 16 17 18 19 1A 1B 1C", "16 2a", {0x16, 0x2A}},
        };
        for (const Run& run : runs) {
            setCodec(run.codec);
            const PaletteMode mode = paletteModeFor(run.codec);
            const std::vector<Colour> old(paletteEntries(palettes(), mode).begin(), paletteEntries(palettes(), mode).end());
            // Refused: a message and nothing changes. Cancelled: nothing at all.
            for (const QString& bad : {QStringLiteral("40"), QStringLiteral("0F 0F 0F 0F 0F 0F 0F 0F 0F 0F 0F 0F 0F 0F 0F 0F 0F")}) {
                app->dialogs.messages.clear();
                app->dialogs.inputAnswers.push_back(bad);
                app->main->action("NesPalItem")->trigger();
                QCOMPARE(app->dialogs.messages.size(), 1);
                QVERIFY(app->dialogs.messages[0].startsWith(QLatin1Char('\'') + bad + QLatin1Char('\'')));
            }
            app->dialogs.inputAnswers.push_back(std::nullopt);
            app->main->action("NesPalItem")->trigger();
            QCOMPARE(std::vector<Colour>(paletteEntries(palettes(), mode).begin(), paletteEntries(palettes(), mode).end()), old);

            app->dialogs.inputAnswers.push_back(QString::fromLatin1(run.typed));
            app->main->action("NesPalItem")->trigger();
            QCOMPARE(app->dialogs.lastInput.text, QString::fromLatin1(run.offered));
            const std::span<const Colour> now = paletteEntries(palettes(), mode);
            for (std::size_t i = 0; i < now.size(); ++i)
                QCOMPARE(now[i], i < run.indices.size() ? nes[static_cast<std::size_t>(run.indices[i])] : old[i]);
        }
        QCOMPARE(QColor(editor->stripPicture().pixel(0, 0)), QColor(qPixel(nes[0x16])));
    }
};

QUARN_GUI_TEST(eightbit, EightBitTest);
#include "eightbit_test.moc"
