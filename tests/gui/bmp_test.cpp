// Save To BMP and Load From BMP through the tile map menu and scripted dialogs.
#include "apphelper.h"
#include "guitest.h"
#include "mouse.h"

#include "app/imagebox.h"
#include "tiles/tmform.h"

#include <QImage>
#include <QLabel>
#include <QSpinBox>
#include <QtEndian>

namespace {
using Bytes = std::vector<std::uint8_t>;

const QString kBitmapFilter = QStringLiteral("Bitmap (*.bmp)|*.bmp|PNG image (*.png)|*.png");

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

int littleEndian16(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(bytes.constData()) + at);
}

} // namespace

class BmpTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    ImageBox* map = nullptr;

    SharedState& state() { return app->state(); }
    void openRom(const Bytes& bytes)
    {
        app->open(app->writeFile(QStringLiteral("game.nes"), bytes));
        releaseMouse(map, QPoint(1, 1)); // the load's click guard
    }
    QString exportTo(const QString& name)
    {
        const QString path = app->dir.filePath(name);
        app->dialogs.saveAnswers.push_back(path);
        app->main->action("BMP2")->trigger();
        return path;
    }
    void importFrom(const QString& path)
    {
        app->dialogs.openAnswers.push_back(path);
        app->main->action("BMP1")->trigger();
    }
    QString writeImage(const QImage& image, const QString& name, const char* format)
    {
        const QString path = app->dir.filePath(name);
        if (!image.save(path, format))
            qWarning("could not write %s", qPrintable(path));
        return path;
    }
    // Overwrites the first `count` bytes of the image, so an import has to restore them.
    // The first `count` colours of the 4-colour palette as a colour table.
    QList<QRgb> paletteTable(int count)
    {
        QList<QRgb> table;
        for (int n = 1; n <= count; ++n) {
            const Colour c = state().palettes.fourEntry(n);
            table << qRgb(redOf(c), greenOf(c), blueOf(c));
        }
        return table;
    }
    void wipe(std::size_t count)
    {
        state().rom.edit("Wipe", {{0, static_cast<std::int64_t>(count)}},
                         [&](std::span<std::uint8_t> rom) { std::fill_n(rom.begin(), count, std::uint8_t(0)); });
    }
    Bytes testRom() const
    {
        Bytes rom = countingBytes(16384);
        for (std::size_t i = 0; i < rom.size(); i += 3)
            rom[i] = static_cast<std::uint8_t>(rom[i] * 7 + 1);
        return rom;
    }

private slots:
    void init()
    {
        app = std::make_unique<RunningApp>();
        map = app->find<ImageBox>(app->wb().forms.tileMapForm, "TileMap");
        QVERIFY(map);
    }
    void cleanup() { app.reset(); }

    void exportThenImportRestoresEveryByte()
    {
        openRom(testRom());
        app->find<QSpinBox>(app->wb().forms.tileMapForm, "tlwidth")->setValue(2); // 2 x 1 blocks
        clickMouse(map, QPoint(40, 40)); // block 33 (32 x 16 screen pixels each), its first tile
        const std::int32_t selected = state().selectedTile;
        const std::int32_t marked = state().markedBlock;
        QCOMPARE(selected, 66);
        QCOMPARE(marked, 33);

        const QString path = exportTo(QStringLiteral("map.bmp"));
        QCOMPARE(app->dialogs.lastSave.title, QStringLiteral("Save To BMP"));
        QCOMPARE(app->dialogs.lastSave.filter, kBitmapFilter);
        QCOMPARE(app->dialogs.lastSave.defaultExtension, QStringLiteral(".bmp"));
        const QByteArray bmp = fileBytes(path);
        QVERIFY(bmp.startsWith("BM"));
        QCOMPARE(littleEndian16(bmp, 28), 24);
        QCOMPARE(littleEndian16(bmp, 18), 256);
        QCOMPARE(littleEndian16(bmp, 22), 128);
        QVERIFY(!app->main->windowTitle().endsWith('*'));

        const RomBytes original = state().rom.bytes();
        wipe(8192); // one screen of 2 x 1 blocks
        importFrom(path);
        QCOMPARE(app->dialogs.lastOpen.title, QStringLiteral("Load From BMP"));
        QCOMPARE(app->dialogs.lastOpen.filter, kBitmapFilter);
        QVERIFY(state().rom.bytes() == original);
        QVERIFY(state().rom.modified());
        QVERIFY(app->main->windowTitle().endsWith('*'));
        QCOMPARE(state().selectedTile, selected);
        QCOMPARE(state().markedBlock, marked);
        QCOMPARE(state().tileMap.picture().width, 256);
        QVERIFY(app->dialogs.messages.isEmpty());

        // The palette commands show their own dialogs again.
        app->dialogs.openAnswers.push_back(std::nullopt);
        app->main->action("N1")->trigger();
        app->dialogs.saveAnswers.push_back(std::nullopt);
        app->main->action("N2")->trigger();
        for (const FileDialogOptions* options : {&app->dialogs.lastOpen, &app->dialogs.lastSave}) {
            QCOMPARE(options->filter, app->wb().text("PALFilter"));
            QCOMPARE(options->defaultExtension, QStringLiteral(".pal"));
        }
        QCOMPARE(app->dialogs.lastOpen.title, QStringLiteral("Open Palette"));
        QCOMPARE(app->dialogs.lastSave.title, QStringLiteral("Save Palette"));
    }

    void indexedAndPngPicturesImportLikeTrueColour()
    {
        openRom(testRom());
        const RomBytes original = state().rom.bytes();
        const QImage trueColour(exportTo(QStringLiteral("map.bmp")));
        QVERIFY(!trueColour.isNull());
        QList<QRgb> table = paletteTable(4);
        // Qt writes the smallest depth the colour table allows: 4 bits for
        // four colours, 8 bits once unused colours fill the table beyond 16.
        const QString fourBit =
            writeImage(trueColour.convertToFormat(QImage::Format_Indexed8, table), QStringLiteral("map4.bmp"), "BMP");
        QCOMPARE(littleEndian16(fileBytes(fourBit), 28), 4);
        for (int grey = 1; grey <= 40; ++grey)
            table << qRgb(grey, grey, grey + 1);
        const QImage indexed = trueColour.convertToFormat(QImage::Format_Indexed8, table);
        const QString eightBit = writeImage(indexed, QStringLiteral("map8.bmp"), "BMP");
        QCOMPARE(littleEndian16(fileBytes(eightBit), 28), 8);
        const QString indexedPng = writeImage(indexed, QStringLiteral("map8.png"), "PNG");
        const QString png = exportTo(QStringLiteral("map.png"));
        QVERIFY(fileBytes(png).startsWith("\x89PNG"));

        for (const QString& path : {fourBit, eightBit, indexedPng, png}) {
            wipe(4096);
            importFrom(path);
            QVERIFY2(state().rom.bytes() == original, qPrintable(path));
        }
        QVERIFY(app->dialogs.messages.isEmpty());
    }

    void aOneBitPictureImportsForTheOneBitCodec()
    {
        app->open(app->writeFile(QStringLiteral("font.chr"), testRom())); // "1BPP"
        const RomBytes original = state().rom.bytes();
        const QImage trueColour(exportTo(QStringLiteral("map.bmp")));
        const QString oneBit = writeImage(trueColour.convertToFormat(QImage::Format_Mono, paletteTable(2)),
                                          QStringLiteral("map1.bmp"), "BMP");
        QCOMPARE(littleEndian16(fileBytes(oneBit), 28), 1);
        wipe(2048);
        importFrom(oneBit);
        QVERIFY(state().rom.bytes() == original);
    }

    void aSmallerPictureLeavesTheTilesOutsideItAlone()
    {
        openRom(testRom());
        const RomBytes original = state().rom.bytes();
        const QImage full(exportTo(QStringLiteral("map.bmp")));
        // 60 x 20 pixels hold tiles 0..6 and 16..22 whole; the rest only in part or not at all.
        const QString small = writeImage(full.copy(0, 0, 60, 20), QStringLiteral("small.bmp"), "BMP");
        wipe(4096);
        importFrom(small);
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("The picture is 60 x 20, the tile map 128 x 128: "
                                                                   "only the top left part that both cover was read.")});
        for (int tile = 0; tile < 256; ++tile) {
            const bool covered = tile % 16 < 7 && tile / 16 < 2;
            for (int i = 0; i < 16; ++i) {
                const auto at = static_cast<std::size_t>(tile * 16 + i);
                QCOMPARE(int(state().rom.bytes()[at]), covered ? int(original[at]) : 0);
            }
        }
    }

    void driftedColoursAreCountedInTheStatusLabelWithoutABox()
    {
        openRom(testRom());
        auto* label = app->find<QLabel>(app->wb().forms.tileMapForm, "mbanklab");
        QImage picture(exportTo(QStringLiteral("map.bmp")));
        importFrom(app->dir.filePath(QStringLiteral("map.bmp")));
        QCOMPARE(label->text(), QStringLiteral("Tile: 00 = 0")); // nothing to tell
        // Five pixels one step of blue off their palette colour.
        for (int x = 0; x < 5; ++x)
            picture.setPixel(x, 3, picture.pixel(x, 3) ^ 1u);
        importFrom(writeImage(picture, QStringLiteral("drifted.bmp"), "BMP"));
        QCOMPARE(label->text(), QStringLiteral("Pixels in no palette colour: 5"));
        QVERIFY(app->dialogs.messages.isEmpty());
        QVERIFY(state().rom.modified());
    }

    void anInvalidFileChangesNothing()
    {
        openRom(testRom());
        const RomBytes original = state().rom.bytes();
        const Bitmap shown = state().tileMap.picture();
        importFrom(app->writeFile(QStringLiteral("notes.bmp"), Bytes{'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'}));
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("Bitmap image is not valid")});
        QVERIFY(state().rom.bytes() == original);
        QCOMPARE(state().tileMap.picture(), shown);
        QVERIFY(!state().rom.modified());
        QVERIFY(!app->main->windowTitle().endsWith('*'));

        app->dialogs.messages.clear();
        app->dialogs.openAnswers.push_back(std::nullopt);
        app->main->action("BMP1")->trigger(); // cancelled
        app->dialogs.saveAnswers.push_back(std::nullopt);
        app->main->action("BMP2")->trigger();
        QVERIFY(app->dialogs.messages.isEmpty());
        QVERIFY(!state().rom.modified());
    }
};

QUARN_GUI_TEST(bmp, BmpTest);
#include "bmp_test.moc"
