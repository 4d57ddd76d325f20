#include "app/windowplace.h"

#include "app/forms.h"
#include "app/kvrmain.h"
#include "text/dataf.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"
#include "workspace/workspacef.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

void centreOnScreen(QWidget& window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->geometry().center());
    window.move(frame.topLeft());
}

void fitToContents(QWidget& window)
{
    if (window.layout())
        window.layout()->activate();
    window.resize(window.sizeHint().expandedTo(window.minimumSize()).boundedTo(window.maximumSize()));
}

namespace {
// The frame the window manager put around a window; none is known before
// the window is first mapped. The platform window asks the window manager
// itself, where the widget's own copy may lag behind the first map.
QMargins frameOf(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

// Lets a window grow to at most the room from `topLeft` (its frame's corner)
// to the far edges of `area`, never below its own smallest size.
void limitToRoom(QWidget& window, const QRect& area, QPoint topLeft)
{
    const QMargins frame = frameOf(window);
    const int width = area.right() + 1 - topLeft.x() - frame.left() - frame.right();
    const int height = area.bottom() + 1 - topLeft.y() - frame.top() - frame.bottom();
    window.setMaximumSize(std::max(window.minimumWidth(), width), std::max(window.minimumHeight(), height));
}

// Puts a window's frame corner at `topLeft`. Once the window exists on the
// screen its platform window places the frame itself: the widget's own copy
// of the frame may still be empty right after the first map.
void moveFrameTo(QWidget& window, QPoint topLeft)
{
    if (QWindow* handle = window.windowHandle())
        handle->setFramePosition(topLeft);
    else
        window.move(topLeft);
}
} // namespace

QSize frameSizeOf(const QWidget& window)
{
    return window.size().grownBy(frameOf(window));
}

void placeWindowsByDefault(const Forms& forms)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QWidget& main = *forms.mainForm;
    moveFrameTo(main, area.topLeft());
    const QSize mainFrame = frameSizeOf(main);

    // Right of the main window: the tile map, the tile editor under it.
    QWidget& tileMap = *forms.tileMapForm;
    const QPoint right(area.left() + mainFrame.width() + 5, area.top());
    limitToRoom(tileMap, area, right);
    moveFrameTo(tileMap, right);
    moveFrameTo(*forms.tileEditForm, right + QPoint(0, frameSizeOf(tileMap).height() + 5));

    // The data map and the workspace share the place below the main window.
    const QPoint below(area.left(), area.top() + mainFrame.height() + 5);
    for (QWidget* window : {static_cast<QWidget*>(forms.dataForm), static_cast<QWidget*>(forms.workspaceForm)}) {
        limitToRoom(*window, area, below);
        moveFrameTo(*window, below);
    }
}

namespace {
// Watches the platform windows of a few widgets for their first exposure.
class OnScreenWatch final : public QObject {
public:
    OnScreenWatch(const std::vector<QWidget*>& windows, std::function<void()> done)
        : done_(std::move(done))
    {
        for (QWidget* window : windows) {
            windows_.emplace_back(window);
            if (QWindow* handle = window->windowHandle())
                handle->installEventFilter(this);
        }
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && !finished_)
            checkAll();
        return false;
    }

    void checkAll()
    {
        for (const QPointer<QWidget>& window : windows_) {
            if (!window)
                continue;
            const QWindow* handle = window->windowHandle();
            if (!handle || !handle->isExposed())
                return;
        }
        finished_ = true;
        // After the expose has been handled: the move and frame events the
        // window manager sent with it are in by then.
        QTimer::singleShot(0, this, [this] {
            done_();
            deleteLater();
        });
    }

private:
    std::vector<QPointer<QWidget>> windows_;
    std::function<void()> done_;
    bool finished_ = false;
};
} // namespace

void whenOnScreen(const std::vector<QWidget*>& windows, std::function<void()> done)
{
    if (windows.empty())
        return;
    auto* watch = new OnScreenWatch(windows, std::move(done));
    watch->setParent(windows.front());
    watch->checkAll();
}
