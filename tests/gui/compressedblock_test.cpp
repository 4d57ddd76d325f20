// A compressed block opened in the windows, edited, written back into the
// ROM image and closed, on the real windows.
#include "apphelper.h"
#include "guitest.h"
#include "mouse.h"

#include "app/imagebox.h"
#include "compression/compress.h"
#include "text/dataf.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"

namespace {
using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kBlockAt = 0x100;
constexpr std::size_t kBlockSize = 512;

// An LZ77 stream of literals only, as a plain compressor writes it: any
// edit of its bytes fits back in.
Bytes literalStream(const Bytes& data)
{
    Bytes out{0x10, static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(data.size() >> 8), 0};
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i % 8 == 0)
            out.push_back(0);
        out.push_back(data[i]);
    }
    return out;
}

Bytes noise(std::size_t size, std::uint32_t seed)
{
    Bytes bytes(size);
    for (std::uint8_t& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(seed >> 24);
    }
    return bytes;
}

Bytes blockAt(const RomDocument& image) { return decompressBlock(image, kBlockAt).bytes; }

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

enum class Path { CloseBlock, Exit, Reload };
} // namespace

Q_DECLARE_METATYPE(Path)
Q_DECLARE_METATYPE(SaveChangesAnswer)

class CompressedBlockTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    QString romPath;

    SharedState& state() { return app->state(); }
    QString title() { return app->main->windowTitle(); }
    void trigger(const char* item) { app->main->action(item)->trigger(); }

    // A ROM of 0xFF bytes with `stream` at kBlockAt, opened, the data map's
    // selection on the block.
    void openRomWith(const Bytes& stream)
    {
        Bytes rom(16384, 0xFF);
        std::copy(stream.begin(), stream.end(), rom.begin() + kBlockAt);
        romPath = app->writeFile(QStringLiteral("game.nes"), rom);
        app->open(romPath);
        releaseMouse(app->find<ImageBox>(app->wb().forms.tileMapForm, "TileMap"), QPoint(1, 1));
        app->wb().forms.tileMapForm->moveTileMapScroll(0x400);
        app->wb().forms.dataForm->showSearchHit(kBlockAt);
    }
    void fillBlock(const Bytes& bytes)
    {
        state().rom.edit("Test", {{0, static_cast<std::int64_t>(bytes.size())}},
                         [&](std::span<std::uint8_t> b) { std::copy(bytes.begin(), bytes.end(), b.begin()); });
    }

private slots:
    void init() { app = std::make_unique<RunningApp>(); }
    void cleanup() { app.reset(); }

    void paintWriteBackUndoAndClose()
    {
        const Bytes data(kBlockSize, 0);
        openRomWith(literalStream(data));
        const RomBytes original = state().rom.bytes();
        trigger("OpenBlockItem");
        QCOMPARE(state().rom.bytes(), data);
        QVERIFY(title().endsWith(QStringLiteral("game.nes] LZ77 block at 00000100")));
        QCOMPARE(state().tileMapPosition, 0);
        QVERIFY(!app->main->action("OpenBlockItem")->isEnabled() && app->main->action("WriteBackItem")->isEnabled());

        // Painted in the tile editor: the block's own step and "*".
        ImageBox* tile = app->find<ImageBox>(app->wb().forms.tileEditForm, "Tile");
        pressMouse(tile, QPoint(8, 8));
        moveMouse(tile, QPoint(40, 8), Qt::LeftButton);
        releaseMouse(tile, QPoint(40, 8));
        const RomBytes painted = state().rom.bytes();
        QVERIFY(painted != data);
        QVERIFY(title().endsWith(QStringLiteral("00000100*")));
        trigger("UndoItem");
        QCOMPARE(state().rom.bytes(), data);
        trigger("RedoItem");
        QCOMPARE(state().rom.bytes(), painted);

        trigger("WriteBackItem");
        QCOMPARE(blockAt(state().romImage()), painted);
        QVERIFY(!state().rom.modified());
        QVERIFY(title().endsWith(QStringLiteral("game.nes]* LZ77 block at 00000100")));

        trigger("CloseBlockItem");
        QCOMPARE(app->dialogs.saveChangesQuestions, QStringList{});
        QCOMPARE(state().tileMapPosition, 0x400);
        QCOMPARE(state().selectedPosition(), int(kBlockAt));
        QVERIFY(title().endsWith(QStringLiteral("game.nes]*")));
        // The write back is one step of the ROM image.
        QCOMPARE(app->main->action("UndoItem")->text(), QStringLiteral("Undo Write Back"));
        trigger("UndoItem");
        QCOMPARE(state().rom.bytes(), original);
    }

    void refusalsChangeNothingAndTheRoomIsKept()
    {
        Bytes data(kBlockSize);
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<std::uint8_t>((i * 7) % 13);
        openRomWith(compressBlock(data, CompressionFormat::Lz10).bytes);
        // Nothing at the selected byte: the decoder's reason, no block.
        app->wb().forms.dataForm->showSearchHit(0);
        trigger("OpenBlockItem");
        QVERIFY(!state().openBlock);
        QVERIFY(app->dialogs.messages.value(0).startsWith(QStringLiteral("No compressed block can be opened at 00000000: ")));
        app->dialogs.messages.clear();
        app->wb().forms.dataForm->showSearchHit(kBlockAt);
        trigger("OpenBlockItem");
        const std::size_t room = state().openBlock->room();

        // Shorter, then as long as it was: the zeros the first left are free.
        fillBlock(Bytes(kBlockSize, 0));
        trigger("WriteBackItem");
        fillBlock(data);
        trigger("WriteBackItem");
        QCOMPARE(blockAt(state().romImage()), data);

        // Noise no longer fits: both sizes named, the image as it was.
        const RomBytes image = state().romImage().bytes();
        fillBlock(noise(kBlockSize, 7));
        trigger("WriteBackItem");
        QCOMPARE(app->dialogs.messages.size(), 1);
        QVERIFY(app->dialogs.messages[0].startsWith(QStringLiteral("The block no longer fits: it compresses to ")) &&
                app->dialogs.messages[0].contains(QStringLiteral("holds %1.").arg(room)));
        QCOMPARE(state().romImage().bytes(), image);
        QVERIFY(state().rom.modified());
    }

    void unwrittenChangesAreAskedAbout_data()
    {
        QTest::addColumn<Path>("path");
        QTest::addColumn<SaveChangesAnswer>("answer");
        QTest::addColumn<bool>("fits");
        const std::pair<const char*, Path> paths[] = {
            {"Close Block", Path::CloseBlock}, {"Exit", Path::Exit}, {"Reload", Path::Reload}};
        for (const auto& [name, path] : paths) {
            QTest::addRow("%s: Save writes back, then goes on", name) << path << SaveChangesAnswer::Save << true;
            QTest::addRow("%s: a refused write back goes nowhere", name) << path << SaveChangesAnswer::Save << false;
            QTest::addRow("%s: Discard goes on unwritten", name) << path << SaveChangesAnswer::Discard << true;
            QTest::addRow("%s: Cancel stays in the block", name) << path << SaveChangesAnswer::Cancel << true;
        }
    }
    void unwrittenChangesAreAskedAbout()
    {
        QFETCH(Path, path);
        QFETCH(SaveChangesAnswer, answer);
        QFETCH(bool, fits);
        const Bytes data(kBlockSize, 0);
        openRomWith(fits ? literalStream(data) : compressBlock(data, CompressionFormat::Lz10).bytes);
        const QByteArray file = fileBytes(romPath);
        trigger("OpenBlockItem");
        const Bytes edited = fits ? Bytes(kBlockSize, 0x5A) : noise(kBlockSize, 3);
        fillBlock(edited);
        app->dialogs.saveChangesAnswers.push_back(answer);

        trigger(path == Path::CloseBlock ? "CloseBlockItem" : path == Path::Exit ? "ExitItem" : "ReloadItem");

        QCOMPARE(app->dialogs.saveChangesQuestions,
                 QStringList{path == Path::CloseBlock
                                 ? QStringLiteral("Write the changes to the LZ77 block at 00000100 back into the ROM?")
                                 : QStringLiteral("Save changes to game.nes?")});
        const bool written = answer == SaveChangesAnswer::Save && fits;
        const bool goesOn = written || answer == SaveChangesAnswer::Discard;
        QCOMPARE(app->dialogs.messages.size(), fits ? 0 : 1);
        QCOMPARE(blockAt(state().romImage()), written ? edited : data);
        // Close Block writes back into the image only; the others save the file.
        QCOMPARE(fileBytes(romPath) == file, path == Path::CloseBlock || !written);
        if (path == Path::Exit)
            QCOMPARE(app->main->isVisible(), !goesOn);
        else
            QCOMPARE(bool(state().openBlock), !goesOn);
        if (path == Path::CloseBlock)
            QCOMPARE(state().romImage().modified(), written);
        if (path != Path::Exit && goesOn) // back where the windows stood in the ROM
            QCOMPARE(state().tileMapPosition, 0x400);
        if (!goesOn) { // the block open with its edit still unwritten
            QCOMPARE(state().rom.bytes(), edited);
            QVERIFY(state().rom.modified());
        }
    }
};

QUARN_GUI_TEST(compressedblock, CompressedBlockTest);
#include "compressedblock_test.moc"
