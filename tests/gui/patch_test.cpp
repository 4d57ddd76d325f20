// Create Patch and Apply Patch of the ROM menu, through the dialog seam.
#include "apphelper.h"
#include "guitest.h"

#include "patch/patchresult.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

Bytes readBack(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    return Bytes(bytes.begin(), bytes.end());
}
Bytes bytesOf(const RomBytes& bytes) { return Bytes(bytes.begin(), bytes.end()); }
} // namespace

class PatchTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    Bytes original = countingBytes(16384);
    Bytes translated;

    SharedState& state() { return app->state(); }
    QAction* item(const char* name) { return app->main->action(name); }
    QString patchFor(const Bytes& from, const Bytes& to, PatchFormat format, const char* name)
    {
        return app->writeFile(QString::fromLatin1(name), bytesOf(makePatch(format, from, to).bytes));
    }
    void applyPatchFile(const QString& path)
    {
        app->dialogs.openAnswers.push_back(path);
        item("ApplyPatchItem")->trigger();
    }

private slots:
    void init()
    {
        app = std::make_unique<RunningApp>();
        translated = original;
        for (std::size_t i = 0x1000; i < 0x1040; ++i)
            translated[i] = 0x41;
        std::copy_n(original.begin() + 0x2000, 0x300, translated.begin() + 0x3000);
    }
    void cleanup() { app.reset(); }

    void createPatchComparesTheImageWithTheOriginal()
    {
        QVERIFY(!item("CreatePatchItem")->isEnabled() && !item("ApplyPatchItem")->isEnabled());
        const QString originalPath = app->writeFile(QStringLiteral("original.nes"), original);
        app->open(app->writeFile(QStringLiteral("game.nes"), translated));
        QVERIFY(item("CreatePatchItem")->isEnabled() && item("ApplyPatchItem")->isEnabled());
        for (const char* name : {"t.ips", "t.bps"}) {
            const QString patchPath = app->dir.filePath(QString::fromLatin1(name));
            app->dialogs.openAnswers.push_back(originalPath);
            app->dialogs.saveAnswers.push_back(patchPath);
            item("CreatePatchItem")->trigger();
            QCOMPARE(app->dialogs.lastSave.filter, app->wb().text("PatchFilter"));
            const Bytes patch = readBack(patchPath);
            QCOMPARE(patchFormatOf(patch), patchFormatForFileName(name));
            const PatchResult applied = applyPatch(original, patch);
            QVERIFY2(applied.ok(), applied.error.c_str());
            QVERIFY(bytesOf(applied.bytes) == translated);
        }
        QVERIFY(app->dialogs.messages.isEmpty());
        QCOMPARE(app->dialogs.unexpected, 0);
    }

    void applyPatchIsOneStepUndoneAndRedone()
    {
        app->open(app->writeFile(QStringLiteral("game.nes"), original));
        applyPatchFile(patchFor(original, translated, PatchFormat::Bps, "t.bps"));
        QVERIFY(state().rom == translated);
        QVERIFY(app->main->windowTitle().endsWith(QLatin1Char('*')));
        QCOMPARE(item("UndoItem")->text(), QStringLiteral("Undo Apply Patch"));
        item("UndoItem")->trigger();
        QVERIFY(state().rom == original);
        QVERIFY(!item("UndoItem")->isEnabled());
        item("RedoItem")->trigger();
        QVERIFY(state().rom == translated);
        QVERIFY(app->dialogs.messages.isEmpty());
    }

    void patchesThatDoNotFitChangeNothing()
    {
        app->open(app->writeFile(QStringLiteral("game.nes"), original));
        Bytes other = original;
        other[5] = 0xEE;
        Bytes longer = translated;
        longer.resize(20000, 0xFF);
        applyPatchFile(patchFor(other, translated, PatchFormat::Bps, "other.bps"));
        applyPatchFile(patchFor(original, longer, PatchFormat::Ips, "longer.ips"));
        applyPatchFile(app->writeFile(QStringLiteral("cut.ips"), {'P', 'A', 'T', 'C', 'H', 0, 0}));
        const QStringList expected{
            QStringLiteral("This patch is for a ROM of 16384 bytes with CRC32 %1; ROM has 16384 bytes, CRC32 %2")
                .arg(crc32Of(other), 8, 16, QLatin1Char('0'))
                .arg(crc32Of(original), 8, 16, QLatin1Char('0')),
            app->wb().text("PatchResizes").arg(20000).arg(16384),
            app->wb().text("PatchRefused") + QStringLiteral(": ")};
        QCOMPARE(app->dialogs.messages.size(), 3);
        QCOMPARE(app->dialogs.messages[0].toUpper(), expected[0].toUpper());
        QCOMPARE(app->dialogs.messages[1], expected[1]);
        QVERIFY(app->dialogs.messages[2].startsWith(expected[2]));
        QVERIFY(state().rom == original);
        QVERIFY(!item("UndoItem")->isEnabled());
        QVERIFY(!app->main->windowTitle().endsWith(QLatin1Char('*')));
    }
};

QUARN_GUI_TEST(patch, PatchTest);
#include "patch_test.moc"
