// The Pointer Table window driven through its fields, buttons and lists.
#include "apphelper.h"
#include "guitest.h"

#include "pointers/pointerform.h"
#include "text/dataf.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

namespace {
std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Two entries at h10, both pointing at "AB" and the end code at h100.
std::vector<std::uint8_t> gameRom()
{
    std::vector<std::uint8_t> rom(16384);
    rom[0x10] = rom[0x12] = 0x00;
    rom[0x11] = rom[0x13] = 0x01;
    rom[0x100] = 0x41;
    rom[0x101] = 0x42;
    return rom;
}
} // namespace

class PointersTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    Tpointerform* form() { return app->wb().forms.pointerForm; }
    SharedState& state() { return app->state(); }
    std::uint16_t entry(std::size_t at) { return static_cast<std::uint16_t>(state().rom[at] | state().rom[at + 1] << 8); }

    void type(QLineEdit* edit, const QString& text)
    {
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QStringList row(int index)
    {
        QStringList texts;
        const QTreeWidgetItem* item = form()->PtrList->topLevelItem(index);
        for (int c = 0; item && c < 5; ++c)
            texts << item->text(c);
        return texts;
    }
    void openGame()
    {
        app->open(app->writeFile(QStringLiteral("game.nes"), gameRom()));
        app->dialogs.openAnswers.push_back(app->writeFile(QStringLiteral("game.tbl"), bytesOf("H0\r\n41=A\r\n42=B\r\n43=C\r\n")));
        app->main->action("OpenTblItem")->trigger();
        app->main->action("N31")->trigger();
        type(form()->PtrPosEdit, QStringLiteral("H10"));
        type(form()->PtrCountEdit, QStringLiteral("2"));
    }

private slots:
    void init() { app = std::make_unique<RunningApp>(); }
    void cleanup() { app.reset(); }

    void listFollowsTheImageAndLeadsToTargets()
    {
        openGame();
        QVERIFY(form()->isVisible());
        QCOMPARE(form()->windowTitle(), QStringLiteral("Pointer Table"));
        QCOMPARE(form()->PtrList->topLevelItemCount(), 2);
        QCOMPARE(row(1), (QStringList{"1", "00000012", "0100", "00000100", "AB{END}"}));

        // A string inserted with the string bar shows in the list at once.
        app->dialogs.inputAnswers.push_back(QStringLiteral("H100"));
        app->main->action("GoTo2")->trigger();
        app->main->SpinEdit1->setValue(1);
        app->main->DataEdit->setText(QStringLiteral("C"));
        app->main->action("PutString1")->trigger();
        QCOMPARE(row(0).last(), QStringLiteral("CB{END}"));

        // Big-endian, the same bytes read h0001: another target.
        form()->PtrBigEndianBox->setChecked(true);
        QCOMPARE(row(0)[3], QStringLiteral("00000001"));
        form()->PtrBigEndianBox->setChecked(false);
        type(form()->PtrBaseEdit, QStringLiteral("H4000")); // values h0100 now lie before the image
        QCOMPARE(row(0)[3], QStringLiteral("--------"));
        type(form()->PtrBaseEdit, QStringLiteral("0"));

        // Double click on an entry: the data map selects its target.
        app->dialogs.inputAnswers.push_back(QStringLiteral("H3000"));
        app->main->action("GoTo2")->trigger();
        QTreeWidgetItem* item = form()->PtrList->topLevelItem(1);
        form()->PtrList->setCurrentItem(item);
        const QRect rect = form()->PtrList->visualItemRect(item);
        QTest::mouseClick(form()->PtrList->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(form()->PtrList->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(state().selectedPosition(), 0x100);

        QTest::mouseClick(form()->FindBtn, Qt::LeftButton);
        QCOMPARE(form()->FoundList->count(), 2);
        QCOMPARE(form()->FoundList->item(1)->text(), QStringLiteral("00000012"));

        type(form()->PtrCountEdit, QStringLiteral("9000")); // runs past the end
        QCOMPARE(form()->PtrList->topLevelItemCount(), 0);
        QVERIFY(form()->PtrStatus->text().contains(QStringLiteral("runs past the end")));
    }

    void dumpInsertUndoAndKeptOptions()
    {
        openGame();
        const QString dump = app->dir.filePath(QStringLiteral("game.txt"));
        app->dialogs.saveAnswers.push_back(dump);
        QTest::mouseClick(form()->DumpBtn, Qt::LeftButton);
        QCOMPARE(fileBytes(dump), QByteArray("#POINTER 0\r\nAB{END}\r\n\r\n#POINTER 1 = 0\r\n"));

        type(form()->PtrSpaceEdit, QStringLiteral("H200-H20F"));
        const RomBytes before = state().rom;
        app->dialogs.openAnswers.push_back(
            app->writeFile(QStringLiteral("bad.txt"), bytesOf("#POINTER 0\r\nAxB{END}\r\n#POINTER 1 = 0\r\n")));
        QTest::mouseClick(form()->InsertBtn, Qt::LeftButton);
        QVERIFY(app->dialogs.messages.last().contains(QStringLiteral("line 2")));
        QVERIFY(state().rom.bytes() == before);

        app->dialogs.openAnswers.push_back(
            app->writeFile(QStringLiteral("new.txt"), bytesOf("#POINTER 0\r\nABC{END}\r\n#POINTER 1\r\nCAB{END}\r\n")));
        QTest::mouseClick(form()->InsertBtn, Qt::LeftButton);
        QCOMPARE(entry(0x10), std::uint16_t(0x200));
        QCOMPARE(entry(0x12), std::uint16_t(0x204));
        QCOMPARE(row(1).last(), QStringLiteral("CAB{END}"));
        QVERIFY(app->main->windowTitle().endsWith(QLatin1Char('*')));
        QCOMPARE(form()->PtrStatus->text(), QStringLiteral("00000200-0000020F: used 8 byte(s), left 8 byte(s)"));

        app->main->action("UndoItem")->trigger(); // one step takes it all back
        QVERIFY(state().rom.bytes() == before);
        QCOMPARE(row(1).last(), QStringLiteral("AB{END}"));

        // The options stay with the ROM: another ROM has its own, this one gets them back.
        QVERIFY(fileBytes(app->dir.filePath(QStringLiteral("game.ptr"))).contains("space=H200-H20F"));
        app->open(app->writeFile(QStringLiteral("other.nes"), gameRom()));
        QCOMPARE(form()->PtrPosEdit->text(), QStringLiteral("H0"));
        app->open(app->dir.filePath(QStringLiteral("game.nes")));
        QCOMPARE(form()->PtrPosEdit->text(), QStringLiteral("H10"));
        QCOMPARE(form()->PtrSpaceEdit->text(), QStringLiteral("H200-H20F"));
    }
};

QUARN_GUI_TEST(pointers, PointersTest);
#include "pointers_test.moc"
