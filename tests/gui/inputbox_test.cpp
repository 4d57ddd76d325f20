// The input box driven by keys while it runs modally, and Go To on both maps.
#include "apphelper.h"
#include "guitest.h"

#include "app/inputbox.h"
#include "tiles/tmform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <functional>

namespace {
// The scripted answers for files and messages, but the real input box.
class RealInputBox final : public Dialogs {
public:
    explicit RealInputBox(ScriptedDialogs& script) : script_(script) {}
    std::optional<QString> openFileName(QWidget* parent, const FileDialogOptions& options) override
    {
        return script_.openFileName(parent, options);
    }
    std::optional<QString> saveFileName(QWidget* parent, const FileDialogOptions& options) override
    {
        return script_.saveFileName(parent, options);
    }
    void showMessage(QWidget* parent, const QString& text) override { script_.showMessage(parent, text); }
    std::optional<Colour> chooseColour(QWidget* parent, Colour initial) override
    {
        return script_.chooseColour(parent, initial);
    }
    std::optional<QString> inputBox(TInputForm& box, const InputRequest& request) override
    {
        return box.query(request);
    }
    void runModal(QDialog& dialog) override { script_.runModal(dialog); }
    SaveChangesAnswer askSaveChanges(QWidget* parent, const SaveChangesQuestion& question) override
    {
        return script_.askSaveChanges(parent, question);
    }

private:
    ScriptedDialogs& script_;
};

InputRequest goToRequest() { return {QStringLiteral("Title"), QStringLiteral("Where?"), goToCharacters(), 10}; }

QString appTitle() { return QString::fromLatin1(kApplicationTitle); }

// What query() gave, in a form test failures can print.
QString shown(const std::optional<QString>& answer) { return answer.value_or(QStringLiteral("<not confirmed>")); }
} // namespace

class InputBoxTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    std::unique_ptr<RealInputBox> realBox;
    TInputForm* box = nullptr;

    // Runs `steps` once the modal box shows. Whatever they leave open is
    // cancelled afterwards, so a failing step cannot hang the test.
    void whenShown(std::function<void()> steps)
    {
        QTimer::singleShot(0, box, [this, steps] {
            steps();
            if (box->isVisible())
                box->reject();
        });
    }
    void type(const QString& keys) { QTest::keyClicks(box->ifEdit, keys); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(box->ifEdit, key, modifiers);
    }
    void useRealBox() { app->wb().setDialogs(realBox.get()); }
    void openCountingRom() { app->open(app->writeFile(QStringLiteral("game.nes"), countingBytes(16384))); }
    std::int32_t tilePosition() { return app->state().tileMapPosition; }
    std::int32_t dataPosition() { return app->state().dataPosition; }

private slots:
    void init()
    {
        app = std::make_unique<RunningApp>();
        realBox = std::make_unique<RealInputBox>(app->dialogs);
        box = app->wb().forms.inputForm;
        QVERIFY(box);
    }
    void cleanup()
    {
        app.reset();
        realBox.reset();
    }

    // ---- the box itself -------------------------------------------------------------

    void layoutCaptionsAndNoDefaultButton()
    {
        QCOMPARE(box->size(), QSize(303, 76));
        QCOMPARE(box->ifLabel->pos(), QPoint(8, 8));
        QCOMPARE(box->ifEdit->pos(), QPoint(8, 24));
        QCOMPARE(box->ifEdit->width(), 289);
        QCOMPARE(box->ifOKbtn->geometry(), QRect(8, 48, 75, 25));
        QCOMPARE(box->ifCnclbtn->geometry(), QRect(88, 48, 75, 25));
        QCOMPARE(box->ifOKbtn->text(), QStringLiteral("OK"));
        QCOMPARE(box->ifCnclbtn->text(), QStringLiteral("Cancel"));
        for (QPushButton* button : {box->ifOKbtn, box->ifCnclbtn}) {
            QVERIFY(!button->autoDefault());
            QVERIFY(!button->isDefault());
        }
        QString caption, prompt;
        QPoint centre;
        bool modal = false;
        whenShown([&] {
            caption = box->windowTitle();
            prompt = box->ifLabel->text();
            centre = box->frameGeometry().center();
            modal = box->isModal();
        });
        QVERIFY(!box->query(goToRequest()));
        QCOMPARE(caption, QStringLiteral("Title"));
        QCOMPARE(prompt, QStringLiteral("Where?"));
        QVERIFY(modal);
        const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
        QVERIFY2((centre - screenCentre).manhattanLength() <= 1, "centred on the screen");
    }

    // A preset answer is offered selected, OK ready: Enter takes it, typing replaces it.
    void presetTextIsOfferedSelected()
    {
        InputRequest request = goToRequest();
        request.text = QStringLiteral("H10");
        bool selected = false, ready = false;
        whenShown([&] {
            selected = box->ifEdit->selectedText() == QStringLiteral("H10");
            ready = box->ifOKbtn->isEnabled();
            press(Qt::Key_Return);
        });
        QCOMPARE(shown(box->query(request)), QStringLiteral("H10"));
        QVERIFY(selected && ready);
        whenShown([&] {
            type(QStringLiteral("20"));
            press(Qt::Key_Return);
        });
        QCOMPARE(shown(box->query(request)), QStringLiteral("20"));
        whenShown([&] { ready = box->ifOKbtn->isEnabled(); });
        QVERIFY(!box->query(goToRequest()));
        QVERIFY(!ready); // no preset: empty, as before
    }

    void onlyAllowedCharactersCanBeTyped()
    {
        QString afterBadKeys, afterGoodKeys;
        bool okAfterBadKeys = true, okAfterGoodKeys = false;
        whenShown([&] {
            type(QStringLiteral("x$- Gg.+"));
            afterBadKeys = box->ifEdit->text();
            okAfterBadKeys = box->ifOKbtn->isEnabled();
            type(QStringLiteral("h1fAH"));
            afterGoodKeys = box->ifEdit->text();
            okAfterGoodKeys = box->ifOKbtn->isEnabled();
            press(Qt::Key_Return);
        });
        const std::optional<QString> answer = box->query(goToRequest());
        QCOMPARE(afterBadKeys, QString());
        QVERIFY(!okAfterBadKeys);
        QCOMPARE(afterGoodKeys, QStringLiteral("h1fAH"));
        QVERIFY(okAfterGoodKeys);
        QCOMPARE(shown(answer), QStringLiteral("h1fAH"));
        QVERIFY(box->confirmed());
    }

    void enterOnAnEmptyFieldDoesNothing()
    {
        bool openAfterEnter = false, openAfterBackspace = false, okAfterBackspace = true;
        whenShown([&] {
            press(Qt::Key_Return);
            openAfterEnter = box->isVisible();
            type(QStringLiteral("5"));
            press(Qt::Key_Backspace);
            okAfterBackspace = box->ifOKbtn->isEnabled();
            press(Qt::Key_Enter);
            openAfterBackspace = box->isVisible();
            type(QStringLiteral("7"));
            press(Qt::Key_Enter); // the keypad key confirms as well
        });
        QCOMPARE(shown(box->query(goToRequest())), QStringLiteral("7"));
        QVERIFY(openAfterEnter);
        QVERIFY(!okAfterBackspace);
        QVERIFY(openAfterBackspace);
    }

    void okButtonConfirmsAndTheNextCallStartsEmpty()
    {
        whenShown([&] {
            type(QStringLiteral("12"));
            QTest::mouseClick(box->ifOKbtn, Qt::LeftButton);
        });
        QCOMPARE(shown(box->query(goToRequest())), QStringLiteral("12"));
        QString startText = QStringLiteral("not read");
        bool okAtStart = true;
        whenShown([&] {
            startText = box->ifEdit->text();
            okAtStart = box->ifOKbtn->isEnabled();
        });
        QVERIFY(!box->query(goToRequest()));
        QCOMPARE(startText, QString());
        QVERIFY(!okAtStart);
        QVERIFY(!box->confirmed());
    }

    void cancelCloseBoxAndEscape()
    {
        useRealBox();
        bool openAfterEscape = false;
        whenShown([&] {
            type(QStringLiteral("12"));
            press(Qt::Key_Escape);
            openAfterEscape = box->isVisible();
            QTest::mouseClick(box->ifCnclbtn, Qt::LeftButton);
        });
        QCOMPARE(InputBoxQuery(app->wb(), appTitle(), QStringLiteral("?"), goToCharacters(), 10), QStringLiteral("0"));
        QVERIFY(openAfterEscape);
        QVERIFY(!InputBoxConfirmed(app->wb()));

        whenShown([&] {
            type(QStringLiteral("12"));
            box->close();
        });
        QCOMPARE(InputBoxQuery(app->wb(), appTitle(), QStringLiteral("?"), goToCharacters(), 10), QStringLiteral("0"));
        QVERIFY(!InputBoxConfirmed(app->wb()));

        // A typed 0 is told from a cancelled box by the confirmed flag.
        whenShown([&] {
            type(QStringLiteral("0"));
            press(Qt::Key_Return);
        });
        QCOMPARE(InputBoxQuery(app->wb(), appTitle(), QStringLiteral("?"), goToCharacters(), 10), QStringLiteral("0"));
        QVERIFY(InputBoxConfirmed(app->wb()));
    }

    void maximumLength()
    {
        whenShown([&] {
            type(QStringLiteral("123456789012"));
            press(Qt::Key_Return);
        });
        QCOMPARE(shown(box->query(goToRequest())), QStringLiteral("1234567890"));

        // The fill byte box: three decimal digits.
        whenShown([&] {
            type(QStringLiteral("2a5F59"));
            press(Qt::Key_Return);
        });
        QCOMPARE(shown(box->query({appTitle(), QStringLiteral("Fill"), fillByteCharacters(), 3})), QStringLiteral("255"));
    }

    void pastedCharactersOutsideTheSetAreDropped()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("x3$-"));
        QString pasted;
        int caret = -1;
        whenShown([&] {
            type(QStringLiteral("12"));
            press(Qt::Key_Home);
            press(Qt::Key_V, Qt::ControlModifier);
            pasted = box->ifEdit->text();
            caret = box->ifEdit->cursorPosition();
            type(QStringLiteral("4"));
            press(Qt::Key_Return);
        });
        const std::optional<QString> answer = box->query(goToRequest());
        if (QGuiApplication::clipboard()->text() != QStringLiteral("x3$-"))
            QSKIP("this platform has no clipboard");
        QCOMPARE(pasted, QStringLiteral("312"));
        QCOMPARE(caret, 1);
        QCOMPARE(shown(answer), QStringLiteral("3412"));
    }

    // ---- Go To --------------------------------------------------------------------------

    void goToThroughTheRealBox()
    {
        openCountingRom();
        useRealBox();
        whenShown([&] {
            type(QStringLiteral("x$h1f- "));
            press(Qt::Key_Return);
        });
        app->main->action("GoTo1")->trigger();
        QCOMPARE(tilePosition(), 31);
        QCOMPARE(dataPosition(), 0);
        QVERIFY(app->dialogs.messages.isEmpty());
    }

    void goToTileMap_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("badNumber");
        // Every row starts at position 100.
        QTest::newRow("h1f") << "h1f" << 31 << false;
        QTest::newRow("H100") << "H100" << 256 << false;
        QTest::newRow("256") << "256" << 256 << false;
        QTest::newRow("H0") << "H0" << 0 << false;
        QTest::newRow("0") << "0" << 0 << false;
        QTest::newRow("unaligned") << "4097" << 4097 << false;
        QTest::newRow("HFFFFFFFF clamps to 0") << "HFFFFFFFF" << 0 << false;
        QTest::newRow("past the end") << "99999999" << 12288 << false;
        QTest::newRow("largest") << "2147483647" << 12288 << false;
        QTest::newRow("empty") << "" << 100 << false;
        QTest::newRow("H alone") << "H" << 100 << true;
        QTest::newRow("H and nine digits") << "H123456789" << 100 << true;
        QTest::newRow("4294967295") << "4294967295" << 100 << true;
        QTest::newRow("2147483648") << "2147483648" << 100 << true;
        QTest::newRow("pasted letters") << "1G" << 100 << true;
    }

    void goToTileMap()
    {
        QFETCH(QString, answer);
        QFETCH(int, position);
        QFETCH(bool, badNumber);
        openCountingRom();
        app->wb().forms.tileMapForm->moveTileMapScroll(100);
        QCOMPARE(tilePosition(), 100);
        app->dialogs.inputAnswers.push_back(answer);
        app->main->action("GoTo1")->trigger();
        QCOMPARE(tilePosition(), position);
        QCOMPARE(dataPosition(), 0);
        const InputRequest& asked = app->dialogs.lastInput;
        QCOMPARE(asked.caption, appTitle());
        QCOMPARE(asked.prompt, QStringLiteral("Go To Position On Tile Map:"));
        QCOMPARE(asked.maxLength, 10);
        QVERIFY(asked.allowed == goToCharacters());
        QCOMPARE(app->dialogs.messages,
                 badNumber ? QStringList{QStringLiteral("Non numeric value entered!!!")} : QStringList{});
    }

    void goToDataMap()
    {
        openCountingRom();
        app->wb().forms.tileMapForm->moveTileMapScroll(100);
        app->dialogs.inputAnswers.push_back(QStringLiteral("h1f"));
        app->main->action("GoTo2")->trigger();
        QCOMPARE(dataPosition(), 31);
        QCOMPARE(tilePosition(), 100);
        QCOMPARE(app->dialogs.lastInput.prompt, QStringLiteral("Go To Position:"));
        QCOMPARE(app->dialogs.lastInput.maxLength, 10);

        app->dialogs.inputAnswers.push_back(QStringLiteral("H"));
        app->main->action("GoTo2")->trigger();
        QCOMPARE(dataPosition(), 31);
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("Non numeric value entered!!!")});
    }

    void cancelLeavesBothPositions()
    {
        openCountingRom();
        app->wb().forms.tileMapForm->moveTileMapScroll(100);
        app->dialogs.inputAnswers.push_back(std::nullopt);
        app->dialogs.inputAnswers.push_back(std::nullopt);
        app->main->action("GoTo1")->trigger();
        app->main->action("GoTo2")->trigger();
        QCOMPARE(tilePosition(), 100);
        QCOMPARE(dataPosition(), 0);
        QVERIFY(app->dialogs.messages.isEmpty());
        QCOMPARE(app->dialogs.unexpected, 0);
    }

    void badNumberMessageIsTheOneOfStartUp()
    {
        openCountingRom();
        QVERIFY(app->wb().texts.set("Errs", "A later language"));
        app->dialogs.inputAnswers.push_back(QStringLiteral("H"));
        app->main->action("GoTo1")->trigger();
        QCOMPARE(app->dialogs.messages, QStringList{QStringLiteral("Non numeric value entered!!!")});
    }
};

QUARN_GUI_TEST(inputbox, InputBoxTest);
#include "inputbox_test.moc"
