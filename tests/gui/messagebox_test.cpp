// The message box takes the room its title and its lines need.
#include "guitest.h"

#include "app/languagetexts.h"
#include "app/messagebox.h"
#include "app/sharedstate.h"
#include "text/chartable.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

class MessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void takesTheRoomItNeeds_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wraps");
        QTest::addColumn<int>("lines");
        LanguageTexts texts;
        TableHelpTexts pieces;
        for (std::size_t i = 0; i < pieces.size(); ++i)
            pieces[i] = texts.text("str" + std::to_string(i + 1));
        const QString appTitle = QString::fromLatin1(kApplicationTitle);
        QTest::newRow("short text") << appTitle << QStringLiteral("Not Found!!!") << false << 1;
        QTest::newRow("table help") << appTitle << QString::fromStdString(tableFormatsHelpText(pieces)) << false << 21;
        QTest::newRow("long title") << appTitle.repeated(3) << QStringLiteral("OK\r\n?") << false << 2;
        QTest::newRow("line wider than the screen")
            << appTitle << QStringLiteral("word ").repeated(400) << true << 1;
    }

    void takesTheRoomItNeeds()
    {
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(bool, wraps);
        QFETCH(int, lines);
        MessageForm box(nullptr, title, text);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QLabel* label = box.textLabel();
        // One break per line end, whether it is LF, CR LF or LF CR.
        QCOMPARE(label->text().split(QLatin1Char('\n')).size(), lines);
        QVERIFY(!label->text().contains(QLatin1Char('\r')));
        QCOMPARE(label->wordWrap(), wraps);
        QVERIFY(box.width() >= MessageForm::titleRoom(title, box.font()));
        if (!wraps) {
            // Every line whole: the label is as wide as its widest line.
            QVERIFY2(label->width() >= label->sizeHint().width(),
                     qPrintable(QStringLiteral("%1 < %2").arg(label->width()).arg(label->sizeHint().width())));
        } else {
            QVERIFY(box.width() <= QGuiApplication::primaryScreen()->availableGeometry().width());
            QVERIFY(label->height() >= label->heightForWidth(label->width()));
        }
    }

    void keysCloseIt()
    {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space}) {
            MessageForm box(nullptr, QStringLiteral("t"), QStringLiteral("text"));
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            // The OK button has the focus, so Space presses it.
            QWidget* focused = box.focusWidget();
            QVERIFY(qobject_cast<QPushButton*>(focused));
            QTest::keyClick(focused, key);
            QTRY_VERIFY(!box.isVisible());
        }
    }
};

QUARN_GUI_TEST(messagebox, MessageBoxTest);
#include "messagebox_test.moc"
