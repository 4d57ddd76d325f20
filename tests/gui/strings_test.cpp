// The string bar and the script commands, driven through their widgets,
// menus and the dialog seam.
#include "apphelper.h"
#include "guitest.h"

#include "text/crtrd.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace {
std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const std::string kTable = "H0\r\n41=A\r\n42=B\r\n43=C\r\n2A=AB\r\n";
} // namespace

class StringsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;

    SharedState& state() { return app->state(); }
    TQuarnTileMapper& main() { return *app->main; }
    QAction* item(const char* name) { return main().action(name); }
    std::vector<std::uint8_t> romAt(std::size_t offset, std::size_t count)
    {
        return {state().rom.bytes().begin() + static_cast<std::ptrdiff_t>(offset),
                state().rom.bytes().begin() + static_cast<std::ptrdiff_t>(offset + count)};
    }
    void openRom() { app->open(app->writeFile(QStringLiteral("game.nes"), countingBytes(16384))); }
    void openTable()
    {
        app->dialogs.openAnswers.push_back(app->writeFile(QStringLiteral("game.tbl"), bytesOf(kTable)));
        item("OpenTblItem")->trigger();
    }
    void selectPosition(const char* hex)
    {
        app->dialogs.inputAnswers.push_back(QString::fromLatin1(hex));
        item("GoTo2")->trigger();
    }
    // Runs a script command whose dialog gets `start` (and `end`), then OK.
    void runScript(const char* command, const QString& start, const QString& end = {})
    {
        app->dialogs.drive<Tcrtransform>([start, end](Tcrtransform& d) {
            d.LabeledEdit1->setText(start);
            if (!end.isEmpty())
                d.Edit1->setText(end);
            QTest::mouseClick(d.Button1, Qt::LeftButton);
        });
        item(command)->trigger();
    }

private slots:
    void init() { app = std::make_unique<RunningApp>(); }
    void cleanup() { app.reset(); }

    void controlsWaitForAFinishedTable()
    {
        const std::vector<const char*> strings{"Getstring1", "PutString1"};
        openTable(); // no ROM yet: nothing is finished
        QVERIFY(!main().DataEdit->isEnabled() && !main().GetBtn->isEnabled() && !item("Getstring1")->isEnabled());
        openRom(); // finishes the table, but the script commands wait for Open Table
        QVERIFY(main().DataEdit->isEnabled() && main().PasteBtn->isEnabled() && item("PutString1")->isEnabled());
        QVERIFY(!item("N20")->isEnabled() && !item("N24")->isEnabled());
        openTable();
        QVERIFY(item("N20")->isEnabled() && item("N24")->isEnabled());
    }

    void extractTypeAndPaste()
    {
        openRom();
        openTable();
        selectPosition("H40");
        main().SpinEdit1->setValue(4);
        QTest::mouseClick(main().GetBtn, Qt::LeftButton);
        QCOMPARE(main().DataEdit->text(), QStringLiteral("{40}ABC"));
        QCOMPARE(main().LenLab->text(), QStringLiteral("Length: 3 = h0003"));

        main().DataEdit->clear();
        QTest::keyClicks(main().DataEdit, QStringLiteral("Ax?zBA")); // x, ? and z are in no entry
        QCOMPARE(main().DataEdit->text(), QStringLiteral("ABA"));
        QCOMPARE(main().LenLab->text(), QStringLiteral("Length: 2 = h0002"));
        QTest::keyClick(main().DataEdit, Qt::Key_Return);
        QCOMPARE(romAt(0x40, 4), (std::vector<std::uint8_t>{0x2A, 0x41, 0x42, 0x43}));
        QVERIFY2(main().windowTitle().endsWith(QLatin1Char('*')), "insertion marks the image changed");
    }

    void pastedTextIsWrittenAllOrNothing()
    {
        openRom();
        openTable();
        selectPosition("H50");
        main().SpinEdit1->setValue(3);
        main().DataEdit->setText(QStringLiteral("A?B")); // pasted text is not filtered
        QCOMPARE(main().LenLab->text(), QStringLiteral("Length: 2 = h0002"));
        item("PutString1")->trigger();
        item("LCnt")->trigger();
        QCOMPARE(main().LenLab->text(), QStringLiteral("Length: 3 = h0003"));
        item("PutString1")->trigger();
        const QString refused = QStringLiteral(
            "No table entry matches the character \"?\" at position 2 of the text. Nothing was written.");
        QCOMPARE(app->dialogs.messages, (QStringList{refused, refused}));
        main().DataEdit->setText(QStringLiteral("B\u0416")); // no windows-1252 character
        item("PutString1")->trigger();
        QCOMPARE(app->dialogs.messages.last(), QStringLiteral("No table entry matches the character \"\u0416\" at "
                                                              "position 2 of the text. Nothing was written."));
        QCOMPARE(romAt(0x50, 3), (std::vector<std::uint8_t>{0x50, 0x51, 0x52}));
        main().DataEdit->setText(QStringLiteral("BA"));
        item("PutString1")->trigger();
        QCOMPARE(romAt(0x50, 3), (std::vector<std::uint8_t>{0x42, 0x41, 0x52}));
    }

    void stringRangeIsCutAtTheEndOfTheImage()
    {
        openRom();
        openTable();
        selectPosition("H4000");
        state().selectedCell = 1023; // the last byte of the image
        main().SpinEdit1->setValue(960);
        item("Getstring1")->trigger();
        QCOMPARE(main().DataEdit->text(), QStringLiteral("{^}"));
        main().DataEdit->setText(QStringLiteral("ABCABC"));
        QTest::mouseClick(main().PasteBtn, Qt::LeftButton);
        QCOMPARE(state().rom.bytes().size(), std::size_t(16384));
        QCOMPARE(state().rom.bytes().back(), std::uint8_t(0x2A));
    }

    void extractScriptWritesTheDump()
    {
        openRom();
        openTable();
        selectPosition("H1F0");
        setRomByte(state(), 0x1F2, 0xFF);
        setRomByte(state(), 0x1F4, 0x00);
        const QString dump = app->dir.filePath(QStringLiteral("out.txt"));
        app->dialogs.saveAnswers.push_back(dump);
        app->dialogs.drive<Tcrtransform>([](Tcrtransform& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Extract Script"));
            QCOMPARE(d.LabeledEdit1->text(), QStringLiteral("h000001F0"));
            QCOMPARE(d.Edit1->text(), QStringLiteral("h000001F0"));
            QVERIFY(d.Label1->isVisible() && !d.RadioButton1->isVisible());
            d.LabeledEdit1->clear();
            QTest::keyClicks(d.LabeledEdit1, QStringLiteral("h1Fx0-")); // x and - are dropped
            d.Edit1->setText(QStringLiteral("H1F5"));
            QTest::mouseClick(d.Button1, Qt::LeftButton);
        });
        item("N20")->trigger();
        QCOMPARE(app->dialogs.lastSave.fileName, QStringLiteral("dump_h1F0.txt"));
        QCOMPARE(app->dialogs.lastSave.filter, QStringLiteral("Text|*.txt"));
        QCOMPARE(fileBytes(dump), QByteArray("{F0}{F1}\r\n{F3}{END}\r\n\r\n{F5}\r\n"));
        QCOMPARE(app->dialogs.messages.last(), QStringLiteral("Extracted 6 byte(s)."));

        app->dialogs.saveAnswers.push_back(dump);
        runScript("N20", QStringLiteral("h3FFF"), QStringLiteral("99999999")); // cut at the last byte
        QCOMPARE(app->dialogs.messages.last(), QStringLiteral("Extracted 1 byte(s)."));
        app->dialogs.saveAnswers.push_back(dump);
        runScript("N20", QStringLiteral("h10"), QStringLiteral("h0F"));
        QCOMPARE(app->dialogs.messages.last(), QStringLiteral("Error!"));
        QCOMPARE(fileBytes(dump), QByteArray());
        QCOMPARE(app->dialogs.unexpected, 0);
    }

    void replaceScriptWritesAllOrNothing()
    {
        openRom();
        openTable();
        const QString dump = app->writeFile(QStringLiteral("in.txt"), bytesOf("A{END}\r\n\r\nB"));
        app->dialogs.openAnswers.push_back(dump);
        runScript("N24", QStringLiteral("h100"));
        QCOMPARE(romAt(0x100, 5), (std::vector<std::uint8_t>{0x41, 0x00, 0x42, 0xFF, 0x04}));
        QVERIFY(main().windowTitle().endsWith(QLatin1Char('*')));
        item("UndoItem")->trigger(); // back to the bytes as opened
        QVERIFY(!main().windowTitle().endsWith(QLatin1Char('*')));
        item("RedoItem")->trigger();
        QVERIFY(main().windowTitle().endsWith(QLatin1Char('*')));

        const RomBytes before = state().rom.bytes();
        app->dialogs.openAnswers.push_back(dump);
        runScript("N24", QStringLiteral("h3FFE")); // needs 4 bytes, 2 left
        QVERIFY(app->dialogs.messages.last().contains(QStringLiteral("needs 4 byte(s)")));
        app->dialogs.openAnswers.push_back(app->writeFile(QStringLiteral("bad.txt"), bytesOf("AB\r\nA?B\r\n")));
        runScript("N24", QStringLiteral("h0"));
        QCOMPARE(app->dialogs.messages.last(), QStringLiteral("No table entry matches the character \"?\" at "
                                                              "position 2 of line 2. Nothing was written."));
        app->dialogs.openAnswers.push_back(app->dir.filePath(QStringLiteral("missing.txt")));
        runScript("N24", QStringLiteral("h0"));
        QCOMPARE(app->dialogs.messages.last(), QStringLiteral("File not found"));
        QVERIFY(state().rom.bytes() == before);
    }

    // A UTF-8 Japanese table with two-byte codes through the string bar and
    // Replace Script; its dump is UTF-8 too.
    void japaneseTableWithTwoByteCodes()
    {
        openRom();
        app->dialogs.openAnswers.push_back(app->writeFile(
            QStringLiteral("kana.tbl"), bytesOf("\xEF\xBB\xBF" "8140=\xE3\x81\x82\r\n8141=\xE3\x81\x84\r\n41=A\r\n")));
        item("OpenTblItem")->trigger();
        setRomByte(state(), 0x200, 0x81), setRomByte(state(), 0x201, 0x41), setRomByte(state(), 0x202, 0x41);
        selectPosition("H200");
        main().SpinEdit1->setValue(3);
        QTest::mouseClick(main().GetBtn, Qt::LeftButton);
        QCOMPARE(main().DataEdit->text(), QStringLiteral("\u3044A"));
        main().DataEdit->clear();
        for (const QChar ch : QStringLiteral("A\u3042x\u30A2")) // x and katakana are in no entry
            QTest::sendKeyEvent(QTest::Click, main().DataEdit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QCOMPARE(main().DataEdit->text(), QStringLiteral("A\u3042"));
        QTest::keyClick(main().DataEdit, Qt::Key_Return);
        QCOMPARE(romAt(0x200, 3), (std::vector<std::uint8_t>{0x41, 0x81, 0x40}));

        app->dialogs.openAnswers.push_back(
            app->writeFile(QStringLiteral("in.txt"), bytesOf("\xE3\x81\x82" "A\xE3\x81\x84{END}\r\n")));
        runScript("N24", QStringLiteral("h300"));
        QCOMPARE(app->dialogs.messages, QStringList());
        QCOMPARE(romAt(0x300, 6), (std::vector<std::uint8_t>{0x81, 0x40, 0x41, 0x81, 0x41, 0x00}));
        const QString dump = app->dir.filePath(QStringLiteral("out.txt"));
        app->dialogs.saveAnswers.push_back(dump);
        runScript("N20", QStringLiteral("h300"), QStringLiteral("h305"));
        QCOMPARE(fileBytes(dump), QByteArray("\xE3\x81\x82" "A\xE3\x81\x84{END}\r\n\r\n"));
        QCOMPARE(app->dialogs.unexpected, 0);
    }

    void dialogNumbersAndCancel()
    {
        openRom();
        openTable();
        state().scriptStart = 7;
        // A bad decimal stops OK with the dialog open; a bad hexadecimal
        // number keeps the old value and goes on; a cancelled file dialog
        // keeps the dialog open.
        app->dialogs.drive<Tcrtransform>([this](Tcrtransform& d) {
            d.LabeledEdit1->setText(QStringLiteral("12AB"));
            QTest::mouseClick(d.Button1, Qt::LeftButton);
            QVERIFY(d.isVisible());
            QCOMPARE(app->dialogs.messages.size(), 1);
            d.LabeledEdit1->setText(QStringLiteral("H"));
            app->dialogs.saveAnswers.push_back(std::nullopt);
            QTest::mouseClick(d.Button1, Qt::LeftButton);
            QCOMPARE(app->dialogs.messages.size(), 2);
            QVERIFY(d.isVisible());
            QTest::mouseClick(d.Button2, Qt::LeftButton);
        });
        item("N20")->trigger();
        QCOMPARE(app->dialogs.messages, QStringList(2, QStringLiteral("Non numeric value entered!!!")));
        QCOMPARE(state().scriptStart, 7);
        QVERIFY(app->dialogs.saveAnswers.empty());
    }
};

QUARN_GUI_TEST(strings, StringsTest);
#include "strings_test.moc"
