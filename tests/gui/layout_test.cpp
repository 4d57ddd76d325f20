// Where the windows stand at start and after Set Windows By Default, judged
// by their frames. ctest runs this on Xvfb under openbox
// (with_window_manager.sh), where the frames are the window manager's.
#include "apphelper.h"
#include "guitest.h"

#include "text/dataf.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace {
struct Placed {
    const char* name;
    QWidget* window;
};

QRect frameOf(QWidget* window) { return window->windowHandle()->frameGeometry(); }

QString describe(const std::vector<Placed>& windows)
{
    QString text;
    for (const Placed& p : windows) {
        const QRect r = frameOf(p.window);
        text += QStringLiteral(" %1 %2,%3 %4x%5;").arg(QLatin1String(p.name)).arg(r.x()).arg(r.y()).arg(r.width()).arg(
            r.height());
    }
    return text;
}

// What is wrong with the default layout, or nothing.
QString layoutFault(const std::vector<Placed>& windows, const QRect& area)
{
    for (const Placed& p : windows)
        if (!p.window->windowHandle() || !p.window->windowHandle()->isExposed())
            return QStringLiteral("%1 is not on the screen").arg(QLatin1String(p.name));
    const QRect main = frameOf(windows[0].window);
    if (main.topLeft() != area.topLeft())
        return QStringLiteral("the main window is not at the top left");
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (!area.contains(frameOf(windows[i].window)))
            return QStringLiteral("%1 reaches out of the screen").arg(QLatin1String(windows[i].name));
        for (std::size_t j = i + 1; j < windows.size(); ++j)
            if (frameOf(windows[i].window).intersects(frameOf(windows[j].window)))
                return QStringLiteral("%1 and %2 overlap").arg(QLatin1String(windows[i].name),
                                                              QLatin1String(windows[j].name));
    }
    // Beside and below, 5 pixels apart: nothing of a frame is lost or doubled.
    const QRect tileMap = frameOf(windows[1].window);
    const QRect tileEditor = frameOf(windows[2].window);
    const QRect dataMap = frameOf(windows[3].window);
    if (tileMap.topLeft() != QPoint(main.right() + 6, main.top()) ||
        tileEditor.topLeft() != QPoint(tileMap.left(), tileMap.bottom() + 6) ||
        dataMap.topLeft() != QPoint(main.left(), main.bottom() + 6))
        return QStringLiteral("the windows are not 5 pixels apart");
    return {};
}
} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningApp> app;
    QRect area;

    std::vector<Placed> shown()
    {
        const Forms& f = app->wb().forms;
        return {{"main window", f.mainForm}, {"tile map", f.tileMapForm}, {"tile editor", f.tileEditForm},
                {"data map", f.dataForm}};
    }
    bool laidOut() { return layoutFault(shown(), area).isEmpty(); }

private slots:
    void init()
    {
        area = QGuiApplication::primaryScreen()->availableGeometry();
        if (area.width() < 1024 || area.height() < 740)
            QSKIP("the default layout needs a screen of at least 1024 x 768");
        app = std::make_unique<RunningApp>();
    }
    void cleanup() { app.reset(); }

    void startLayoutCountsFrames()
    {
        QTRY_VERIFY2_WITH_TIMEOUT(laidOut(), qPrintable(layoutFault(shown(), area) + describe(shown())), 10000);
        // And it stays so: no late move of the window manager's undoes it.
        QTest::qWait(500);
        QVERIFY2(laidOut(), qPrintable(layoutFault(shown(), area) + describe(shown())));
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            // The window manager decorated the windows: the frames were real.
            QVERIFY(app->main->windowHandle()->frameMargins().top() > 0);
        }
    }

    void setWindowsByDefaultRestoresTheLayout()
    {
        QTRY_VERIFY_WITH_TIMEOUT(laidOut(), 10000);
        std::vector<QRect> before;
        for (const Placed& p : shown())
            before.push_back(frameOf(p.window));
        int offset = 0;
        for (const Placed& p : shown()) {
            offset += 40;
            p.window->move(area.topLeft() + QPoint(offset, offset));
        }
        QTRY_COMPARE_WITH_TIMEOUT(frameOf(app->main.get()).topLeft(), area.topLeft() + QPoint(40, 40), 10000);

        QAction* item = app->main->action("N27");
        QCOMPARE(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F12));
        item->trigger();
        QTRY_VERIFY2_WITH_TIMEOUT(laidOut(), qPrintable(layoutFault(shown(), area) + describe(shown())), 10000);
        for (std::size_t i = 0; i < before.size(); ++i)
            QCOMPARE(frameOf(shown()[i].window), before[i]);
    }
};

QUARN_GUI_TEST(layout, LayoutTest);
#include "layout_test.moc"
