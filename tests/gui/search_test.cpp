// The search dialog and the result window, driven through their widgets,
// menus and the dialog seam.
#include "apphelper.h"
#include "guitest.h"

#include "search/searchform.h"
#include "search/srres.h"
#include "text/dataf.h"

#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QSpinBox>

namespace {
std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
} // namespace

class SearchTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;

    SharedState& state() { return app->state(); }
    QAction* item(const char* name) { return app->main->action(name); }
    Tsearchresform& results() { return *app->wb().forms.searchResForm; }
    QString positionLabel() { return app->find<QLabel>(app->wb().forms.dataForm, "Label1")->text(); }

    void openRom(std::vector<std::uint8_t> bytes)
    {
        bytes.resize(16384);
        app->open(app->writeFile(QStringLiteral("game.nes"), bytes));
    }
    // One search: the driver fills the dialog and confirms it.
    void search(std::function<void(TSearchForm&)> fill)
    {
        app->dialogs.drive<TSearchForm>([fill](TSearchForm& d) { fill(d); });
        item("SearchItem")->trigger();
    }
    void hexSearch(const QString& digits)
    {
        search([digits](TSearchForm& d) {
            QCOMPARE(d.focusWidget(), d.hexfed);
            d.hexfed->setText(digits);
            QTest::keyClick(d.hexfed, Qt::Key_Return);
        });
    }
    void selectResult(int row)
    {
        results().searchlist->setCurrentIndex(results().searchlist->model()->index(row, 0));
    }

private slots:
    void init() { app = std::make_unique<RunningApp>(); }
    void cleanup() { app.reset(); }

    void forwardSearchVisitsSuccessiveHits()
    {
        std::vector<std::uint8_t> rom(16384);
        for (std::size_t at : {0x0, 0x100, 0x300, 0x3F10})
            rom[at] = 0x41, rom[at + 2] = 0x42; // 41 xx 42: found with interval 1
        openRom(rom);
        search([](TSearchForm& d) {
            d.intervalspin->setValue(1);
            d.hexfed->setText(QStringLiteral("4142"));
            QTest::mouseClick(d.FindBtn, Qt::LeftButton);
        });
        QCOMPARE(state().dataPosition, 0x100); // the hit at the data position never counts
        QCOMPARE(state().selectedCell, 0);
        QCOMPARE(positionLabel(), QStringLiteral("Position: 000100"));
        hexSearch(QStringLiteral("4142"));
        QCOMPARE(state().dataPosition, 0x300);
        // In the last screenful the bar stops short and the cell moves instead.
        hexSearch(QStringLiteral("4142"));
        QCOMPARE(state().dataPosition, 16384 - 1024);
        QCOMPARE(state().selectedPosition(), 0x3F10);
        // The next search starts at the data position again and finds it again.
        hexSearch(QStringLiteral("4142"));
        QCOMPARE(state().selectedPosition(), 0x3F10);
        QVERIFY(app->dialogs.messages.isEmpty());
        hexSearch(QStringLiteral("4241"));
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("Not Found!!!")});
        QCOMPARE(state().selectedPosition(), 0x3F10);
    }

    void fieldsRepairWhatIsTyped()
    {
        openRom({});
        search([](TSearchForm& d) {
            QTest::keyClicks(d.hexfed, QStringLiteral("a1g-"));
            QCOMPARE(d.hexfed->text(), QStringLiteral("A1"));
            d.hexfed->setText(QStringLiteral("b1z"));
            QCOMPARE(d.hexfed->text(), QStringLiteral("010"));
            QVERIFY(!d.f3->isEnabled() && !d.ntsed->isEnabled());
            QTest::mouseClick(d.tfed, Qt::LeftButton);
            QVERIFY(d.f2->isChecked());
            d.intervalspin->clear();
            QCOMPARE(d.interval(), 0);
            QTest::mouseClick(d.CnBtn, Qt::LeftButton);
        });
        QCOMPARE(state().dataPosition, 0);
        QVERIFY(!results().isVisible());
    }

    void relativeSearchFillsTheResultWindow()
    {
        std::vector<std::uint8_t> rom(16384, 0x33);
        const std::vector<std::uint8_t> word{0x10, 0x11, 0x12, 0x7F, 0x80, 0x81, 0xFE, 0xFF, 0x00};
        std::copy(word.begin(), word.end(), rom.begin() + 0x50);
        openRom(rom);
        search([](TSearchForm& d) {
            QTest::mouseClick(d.f2, Qt::LeftButton);
            QTest::keyClicks(d.tfed, QStringLiteral("abc"));
            QTest::keyClick(d.tfed, Qt::Key_Return);
        });
        QVERIFY(results().isVisible());
        const std::vector<std::string> expected{"00000050 abc=101112", "00000053 abc=7F8081"};
        QVERIFY(results().lines() == expected);

        // Go to, save, clear, load, and Ctrl+S belongs to the result window.
        selectResult(1);
        results().action("N6")->trigger();
        QCOMPARE(state().dataPosition, 0x53);
        const QString saved = app->dir.filePath(QStringLiteral("hits.rss"));
        app->dialogs.saveAnswers.push_back(saved);
        QTest::keyClick(results().searchlist, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(app->dialogs.lastSave.defaultExtension, QStringLiteral(".rss"));
        QCOMPARE(fileBytes(saved), QByteArray("00000050 abc=101112\r\n00000053 abc=7F8081\r\n"));
        results().action("N10")->trigger();
        QVERIFY(results().lines().empty());
        app->dialogs.openAnswers.push_back(saved);
        results().action("N2")->trigger();
        QVERIFY(results().lines() == expected);
        results().action("N4")->trigger();
        QVERIFY(!results().isVisible());
        item("N25")->trigger();
        QVERIFY(results().isVisible() && results().lines() == expected);
    }

    void relativeSearchTakesTheShownIntervalAndRefusesForeignLetters()
    {
        std::vector<std::uint8_t> rom(16384, 0x33);
        rom[0x40] = 0x10, rom[0x42] = 0x11; // AB with interval 1
        rom[0x80] = 0x20, rom[0x81] = 0x21; // AB with interval 0
        openRom(rom);
        const auto relative = [](TSearchForm& d, const QString& word) {
            QTest::mouseClick(d.f2, Qt::LeftButton);
            d.tfed->setText(word);
            QTest::mouseClick(d.FindBtn, Qt::LeftButton);
        };
        search([&](TSearchForm& d) {
            d.intervalspin->setValue(1);
            relative(d, QStringLiteral("AB"));
        });
        QVERIFY(results().lines() == std::vector<std::string>{"00000040 AB=1033"});
        // Emptied, then the focus leaves for the button: the field said 0.
        search([&](TSearchForm& d) {
            d.intervalspin->setFocus();
            d.intervalspin->selectAll();
            QTest::keyClick(d.intervalspin, Qt::Key_Backspace);
            relative(d, QStringLiteral("AB"));
        });
        QVERIFY(results().lines() == std::vector<std::string>{"00000080 AB=2021"});
        // Letters windows-1252 cannot hold: a message and no search.
        search([&](TSearchForm& d) { relative(d, QStringLiteral("Al\u043Eha")); });
        QCOMPARE(app->dialogs.messages,
                 QStringList{QStringLiteral("The code page windows-1252 cannot hold the letter \"\u043E\" at "
                                            "position 3 of the word. Nothing was searched.")});
        QVERIFY(results().lines() == std::vector<std::string>{"00000080 AB=2021"});
    }

    void tableFromAResultLine()
    {
        openRom({});
        app->dialogs.openAnswers.push_back(
            app->writeFile(QStringLiteral("hand.rss"), bytesOf("00000010 HELLO=2724\r\nnot a result line\r\n")));
        results().action("N2")->trigger();
        results().showWindow();
        const QString table = app->dir.filePath(QStringLiteral("first.tbl"));
        selectResult(0);
        app->dialogs.saveAnswers.push_back(std::nullopt); // cancelled: nothing written
        results().action("N9")->trigger();
        QVERIFY(!QFile::exists(table));
        app->dialogs.saveAnswers.push_back(table);
        results().action("N8")->trigger();
        QCOMPARE(app->dialogs.lastSave.defaultExtension, QStringLiteral(".tbl"));
        const QByteArray text = fileBytes(table);
        QVERIFY(text.startsWith("H00000000\r\n00=\r\n"));
        QVERIFY(text.contains("\r\n20=A\r\n") && text.contains("\r\n39=Z\r\n3A=\r\n"));
        QVERIFY(text.endsWith("FF=\r\n*FF\r\n/00\r\n"));

        selectResult(1);
        results().action("N9")->trigger();
        QCOMPARE(app->dialogs.messages.size(), 1);
        QCOMPARE(app->dialogs.unexpected, 0);
    }

    // The second item also lays the other case from its first letter; a UTF-8
    // result file reads in the code page.
    void tableOfBothCasesFromAResultLine()
    {
        openRom({});
        app->dialogs.openAnswers.push_back(
            app->writeFile(QStringLiteral("both.rss"), bytesOf("\xEF\xBB\xBF" "00000010 Hello=2744\r\n")));
        results().action("N2")->trigger();
        QVERIFY(results().lines() == std::vector<std::string>{"00000010 Hello=2744"});
        results().showWindow();
        selectResult(0);
        const QString table = app->dir.filePath(QStringLiteral("both.tbl"));
        app->dialogs.saveAnswers.push_back(table);
        results().action("N11")->trigger();
        const QByteArray text = fileBytes(table);
        QVERIFY(text.contains("\r\n20=A\r\n") && text.contains("\r\n40=a\r\n") && text.contains("\r\n59=z\r\n"));
        QCOMPARE(results().action("N11")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
    }

    void tableTextSearch()
    {
        std::vector<std::uint8_t> rom(16384);
        rom[0x200] = 0x2A, rom[0x201] = 0x43;
        openRom(rom);
        app->dialogs.openAnswers.push_back(
            app->writeFile(QStringLiteral("t.tbl"), bytesOf("H0\r\n41=A\r\n42=B\r\n43=C\r\n2A=AB\r\n")));
        item("OpenTblItem")->trigger();
        search([](TSearchForm& d) {
            QVERIFY(d.f3->isEnabled());
            QTest::mouseClick(d.ntsed, Qt::LeftButton);
            QVERIFY(d.f3->isChecked());
            QTest::keyClicks(d.ntsed, QStringLiteral("AxBC")); // x is in no entry
            QCOMPARE(d.ntsed->text(), QStringLiteral("ABC"));
            QTest::keyClick(d.ntsed, Qt::Key_Enter);
        });
        QCOMPARE(state().selectedPosition(), 0x200);
        // One byte per character: AB is no single character's entry, so
        // "ABC" searches for 41 42 43, which is not there.
        item("LCnt")->trigger();
        search([](TSearchForm& d) { QTest::keyClick(d.ntsed, Qt::Key_Enter); });
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("Not Found!!!")});
        search([](TSearchForm& d) {
            d.ntsed->setText(QStringLiteral("{END}"));
            QTest::keyClick(d.ntsed, Qt::Key_Enter);
        });
        QCOMPARE(app->dialogs.messages.size(), 2);
        QVERIFY(app->dialogs.messages.last().contains(QStringLiteral("by itself")));
    }
};

QUARN_GUI_TEST(search, SearchTest);
#include "search_test.moc"
