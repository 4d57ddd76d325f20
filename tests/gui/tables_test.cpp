// The character table commands of the Tables menu, driven through the menu.
#include "apphelper.h"
#include "guitest.h"

#include "tiles/tmform.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

namespace {
std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::string fileText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QStringList crLfLines(const std::string& text)
{
    QStringList lines = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

const char* const kHex = "0123456789ABCDEF";
std::string hex2(int code) { return {kHex[code / 16], kHex[code % 16]}; }
} // namespace

class TablesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;

    SharedState& state() { return app->state(); }
    QAction* item(const char* name) { return app->main->action(name); }
    QString label() { return app->main->TBLnamel->text(); }
    // Entries are UTF-8 in memory.
    QString entry(int code) { return QString::fromStdString(state().charTable[static_cast<std::size_t>(code)]); }
    int lineBreakCode() { return state().lineBreakCode.bytes[0]; }
    int endCode() { return state().endCode.bytes[0]; }
    int longestEntryLength() { return state().longestEntryLength; }

    void openRom(std::size_t size = 16384)
    {
        app->open(app->writeFile(QStringLiteral("game.nes"), countingBytes(size)));
        QVERIFY(state().romLoaded);
    }
    QString writeTable(const QString& name, const std::string& text) { return app->writeFile(name, bytesOf(text)); }
    void openTable(const QString& path)
    {
        app->dialogs.openAnswers.push_back(path);
        item("OpenTblItem")->trigger();
    }
    QString tableLabel(const QString& path)
    {
        return QStringLiteral("Table: ") + QFileInfo(path).absoluteFilePath();
    }

private slots:
    void init() { app = std::make_unique<RunningApp>(); }
    void cleanup() { app.reset(); }

    void startsWithNoTable()
    {
        QCOMPARE(label(), QStringLiteral("Table:"));
        QVERIFY(!item("Rldtblitem")->isEnabled());
        QVERIFY(item("MkTmplItem")->isEnabled());
        QVERIFY(item("OpenTblItem")->isEnabled());
        QVERIFY(!state().tableLoaded);
        QCOMPARE(lineBreakCode(), 0xFF);
        QCOMPARE(endCode(), 0x00);
    }

    // ---- Create Table ------------------------------------------------------------------

    void createTableWritesTheTemplateAtTheTileMapPosition()
    {
        openRom(0x40000);
        app->wb().forms.tileMapForm->moveTileMapScroll(0x1F400);
        QCOMPARE(state().tileMapPosition, 0x1F400);
        const QString path = app->dir.filePath(QStringLiteral("new.tbl"));
        app->dialogs.saveAnswers.push_back(path);
        item("MkTmplItem")->trigger();

        std::string expected = "H01F400\r\n";
        for (int code = 0; code < 256; ++code)
            expected += hex2(code) + "=\r\n";
        expected += "*FF\r\n/00\r\n";
        QCOMPARE(QString::fromStdString(fileText(path)), QString::fromStdString(expected));
        QCOMPARE(app->dialogs.lastSave.title, QStringLiteral("Save Table"));
        QCOMPARE(app->dialogs.lastSave.filter, QStringLiteral("Table (*.tbl)|*.tbl|All Files (*.*)|*.*"));
        QCOMPARE(app->dialogs.lastSave.defaultExtension, QStringLiteral(".tbl"));
        QVERIFY(app->dialogs.lastSave.confirmOverwrite);
        // Written, not loaded.
        QVERIFY(!state().tableLoaded);
        QCOMPARE(label(), QStringLiteral("Table:"));
        QVERIFY(!item("Rldtblitem")->isEnabled());
    }

    void createTableWithoutRomAndCancelled()
    {
        const QString path = app->dir.filePath(QStringLiteral("empty.tbl"));
        app->dialogs.saveAnswers.push_back(std::nullopt);
        item("MkTmplItem")->trigger();
        QVERIFY(!QFileInfo::exists(path));
        app->dialogs.saveAnswers.push_back(path);
        item("MkTmplItem")->trigger();
        QCOMPARE(crLfLines(fileText(path)).first(), QStringLiteral("H000000"));
        QCOMPARE(crLfLines(fileText(path)).size(), 259);
        QVERIFY(app->dialogs.messages.isEmpty());
    }

    // ---- Open Table --------------------------------------------------------------------------

    void openTableMovesTheTileMapAndFinishesTheTable()
    {
        openRom();
        const QString path = writeTable(QStringLiteral("game.tbl"), "H001000\r\n41=A\r\n20= \r\n8A=abc\r\n*0A\r\n");
        openTable(path);
        QCOMPARE(app->dialogs.lastOpen.title, QStringLiteral("Open Table"));
        QCOMPARE(app->dialogs.lastOpen.defaultExtension, QStringLiteral(".tbl"));
        QCOMPARE(app->dialogs.lastOpen.filter, QStringLiteral("Table (*.tbl)|*.tbl|All Files (*.*)|*.*"));
        QVERIFY(app->dialogs.messages.isEmpty());

        QCOMPARE(state().tileMapPosition, 0x1000);
        QVERIFY(state().tableLoaded);
        QCOMPARE(state().tableFileName, QFileInfo(path).absoluteFilePath().toStdString());
        QCOMPARE(label(), tableLabel(path));
        QVERIFY(item("Rldtblitem")->isEnabled());

        QCOMPARE(entry(0x41), QStringLiteral("A"));
        QCOMPARE(entry(0x20), QStringLiteral(" "));
        QCOMPARE(entry(0x8A), QStringLiteral("abc"));
        QCOMPARE(entry(0x42), QStringLiteral("{42}"));
        QCOMPARE(entry(0x0A), QStringLiteral("{^}"));
        QCOMPARE(entry(0x00), QStringLiteral("{END}"));
        QCOMPARE(entry(0xFF), QStringLiteral("{FF}"));
        QCOMPARE(lineBreakCode(), 0x0A);
        QCOMPARE(longestEntryLength(), 5);
        for (unsigned char ch : std::string("\b\rA abc{}^END0123456789F"))
            QVERIFY2(state().tableCharSet.test(ch), std::string(1, static_cast<char>(ch)).c_str());
        QVERIFY(!state().tableCharSet.test('Z'));
        QVERIFY(app->main->DataEdit->text().isEmpty());
    }

    void addressIsClampedByTheTileMapScrollBar()
    {
        openRom();
        openTable(writeTable(QStringLiteral("far.tbl"), "HFFFFFF\r\n41=A\r\n"));
        QCOMPARE(state().tileMapPosition, 12288);
        openTable(writeTable(QStringLiteral("negative.tbl"), "HFFFFFFFF\r\n41=A\r\n"));
        QCOMPARE(state().tileMapPosition, 0);
    }

    void tableOpenedBeforeTheRomIsFinishedByTheLoad()
    {
        const QString path = writeTable(QStringLiteral("early.tbl"), "H000100\r\n41=A\r\n");
        openTable(path);
        QVERIFY(state().tableLoaded);
        QCOMPARE(label(), tableLabel(path));
        QVERIFY(item("Rldtblitem")->isEnabled());
        QCOMPARE(entry(0x41), QStringLiteral("A"));
        QCOMPARE(entry(0x42), QString()); // not finished without a ROM
        QCOMPARE(longestEntryLength(), 0);

        openRom();
        QCOMPARE(entry(0x42), QStringLiteral("{42}"));
        QCOMPARE(entry(0x00), QStringLiteral("{END}"));
        QCOMPARE(longestEntryLength(), 5);
        QCOMPARE(state().tileMapPosition, 0); // loading a ROM does not go to the table address
    }

    void cancelledOpenChangesNothing()
    {
        app->dialogs.openAnswers.push_back(std::nullopt);
        item("OpenTblItem")->trigger();
        QVERIFY(!state().tableLoaded);
        QVERIFY(state().tableFileName.empty());
        QCOMPARE(label(), QStringLiteral("Table:"));
        QVERIFY(!item("Rldtblitem")->isEnabled());
    }

    // A first line that is no address is an ordinary line of a table at
    // address 0; the code page in force reads a file that is not UTF-8.
    void firstLineWithoutAddressAndCodePages()
    {
        openRom();
        app->wb().forms.tileMapForm->moveTileMapScroll(0x100);
        app->wb().codePage = CodePage(QStringLiteral("windows-1251"));
        openTable(writeTable(QStringLiteral("plain.tbl"), "41=\xC0\xC1\r\n42=B\r\n*0B\r\n"));
        QCOMPARE(app->dialogs.messages, QStringList());
        QCOMPARE(state().tileMapPosition, 0);
        QCOMPARE(entry(0x41), QString(QChar(0x0410)) + QChar(0x0411));
        QCOMPARE(entry(0x42), QStringLiteral("B"));
        QCOMPARE(lineBreakCode(), 0x0B);
        // The same letters in UTF-8 read alike whatever the code page.
        openTable(writeTable(QStringLiteral("utf8.tbl"), "H0\r\n41=\xD0\x90\xD0\x91\r\n"));
        QCOMPARE(entry(0x41), QString(QChar(0x0410)) + QChar(0x0411));
    }

    void tooLongEntryRefusesTheWholeFile()
    {
        openRom();
        openTable(writeTable(QStringLiteral("good.tbl"), "H0\r\n41=A\r\n"));
        openTable(writeTable(QStringLiteral("long.tbl"), "H000100\r\n*0A\r\n42=" + std::string(256, 'x') + "\r\n"));
        QCOMPARE(app->dialogs.messages,
                 QStringList{QStringLiteral("Line 3: the entry of code 42 is longer than 255 characters")});
        QCOMPARE(entry(0x41), QStringLiteral("A"));
        QCOMPARE(entry(0x42), QStringLiteral("{42}"));
        QCOMPARE(lineBreakCode(), 0xFF);
        QCOMPARE(state().tileMapPosition, 0);
    }

    void unreadableFileIsReported()
    {
        openTable(app->dir.filePath(QStringLiteral("gone.tbl")));
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("File not found")});
        QVERIFY(!state().tableLoaded);
        QCOMPARE(label(), QStringLiteral("Table:"));
    }

    void codesAreKeptAcrossLoads()
    {
        openRom();
        openTable(writeTable(QStringLiteral("first.tbl"), "H0\r\n*0A\r\n/0B\r\n"));
        openTable(writeTable(QStringLiteral("second.tbl"), "H0\r\n41=A\r\n0A=newline\r\n"));
        QCOMPARE(lineBreakCode(), 0x0A);
        QCOMPARE(endCode(), 0x0B);
        QCOMPARE(entry(0x0A), QStringLiteral("{^}"));
        QCOMPARE(entry(0x0B), QStringLiteral("{END}"));
        QCOMPARE(entry(0x00), QStringLiteral("{00}"));
        QCOMPARE(entry(0xFF), QStringLiteral("{FF}"));
        QCOMPARE(entry(0x41), QStringLiteral("A"));
    }

    void sameCodeForBothMarkersIsTheEnd()
    {
        openRom();
        openTable(writeTable(QStringLiteral("same.tbl"), "H0\r\n*05\r\n/05\r\n05=x\r\n"));
        QCOMPARE(entry(0x05), QStringLiteral("{END}"));
        QCOMPARE(entry(0xFF), QStringLiteral("{FF}"));
    }

    // ---- Reload Table ---------------------------------------------------------------------------

    void reloadAfterDeleteRecreatesTheFile()
    {
        openRom();
        const QString path = writeTable(QStringLiteral("lost.tbl"), "H000000\r\n41=A\r\n3D==\r\n*FE\r\n");
        openTable(path);
        app->wb().forms.tileMapForm->moveTileMapScroll(0x200);
        QVERIFY(QFile::remove(path));
        const auto before = state().charTable;

        item("Rldtblitem")->trigger();
        QVERIFY(app->dialogs.messages.isEmpty());
        const QStringList lines = crLfLines(fileText(path));
        QCOMPARE(lines.size(), 257);
        QCOMPARE(lines.at(0), QStringLiteral("H000200"));
        QCOMPARE(lines.at(1), QStringLiteral("00={END}"));
        QCOMPARE(lines.at(0x3E), QStringLiteral("3D=="));
        QCOMPARE(lines.at(0x42), QStringLiteral("41=A"));
        QCOMPARE(lines.at(0xFF), QStringLiteral("FE={^}"));
        QCOMPARE(lines.at(0x100), QStringLiteral("FF={FF}"));
        QCOMPARE(state().tileMapPosition, 0x200);
        QCOMPARE(lineBreakCode(), 0xFE);
        QVERIFY(state().charTable == before);
        QCOMPARE(label(), tableLabel(path));

        // The recreated file opens like any other.
        app->wb().forms.tileMapForm->moveTileMapScroll(0);
        openTable(path);
        QCOMPARE(state().tileMapPosition, 0x200);
        QVERIFY(state().charTable == before);
        QVERIFY(app->dialogs.messages.isEmpty());
    }

    void reloadReadsTheEditedFile()
    {
        openRom();
        const QString path = writeTable(QStringLiteral("edit.tbl"), "H0\r\n41=A\r\n");
        openTable(path);
        writeTable(QStringLiteral("edit.tbl"), "H000100\n41=B\n");
        item("Rldtblitem")->trigger();
        QCOMPARE(entry(0x41), QStringLiteral("B"));
        QCOMPARE(state().tileMapPosition, 0x100);
        QCOMPARE(label(), tableLabel(path));
    }

    // ---- help ------------------------------------------------------------------------------------

    void tableFormatsHelpIsExact()
    {
        item("N3")->trigger();
        const QString expected = QStringLiteral(
            "Tables\n\r\n\r"
            "Character Table:\n\r\t"
            "first line is the address of tile map in ROM;\n\r\t"
            "other lines are indicates the characters.\n\r"
            "Example:\r\n\t"
            "H020010\n\r\t"
            "0B=shi+\n\r\t"
            "0C=su\n\r\n\r"
            "Tile Table:\n\r\t"
            "first line is the address of tile map in ROM;\n\r\t"
            "other lines are indicates the tiles/blocks for each element\n\r\t"
            "code before \"=\" is the number of the tile/block on tile map (1 HEX-code)\n\r\t"
            "codes after \"=\" is the sequence of the bytes,\n\r\t"
            "represents that tile/block (length of the sequence\n\r\t"
            "is limited just by the imagination of the user).\n\r"
            "Example:\r\n\t"
            "H027510\n\r\t"
            "19=01023F\n\r\t"
            "1A=0140");
        // The forms read besides follow it.
        QCOMPARE(app->dialogs.messages.size(), 1);
        QVERIFY(app->dialogs.messages.first().startsWith(expected + QStringLiteral("\n\r\n\r")));
        QVERIFY(app->dialogs.messages.first().endsWith(QStringLiteral("*0D0A\n\r\t/FF=<end>")));
        QCOMPARE(item("N3")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F1));

        // The pieces follow the language.
        QVERIFY(app->wb().texts.set("str1", "Tabellen"));
        item("N3")->trigger();
        QVERIFY(app->dialogs.messages.last().startsWith(QStringLiteral("Tabellen\n\r\n\rCharacter Table:")));
    }
};

QUARN_GUI_TEST(tables, TablesTest);
#include "tables_test.moc"
