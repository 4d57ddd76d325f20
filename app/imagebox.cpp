#include "app/imagebox.h"

#include "tiles/tilegrid.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QWheelEvent>

ImageBox::ImageBox(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true); // moves without a button count, as the readouts need them
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageBox::setPictureSize(QSize size)
{
    setFixedSize(size);
}

void ImageBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (painter_)
        painter_(painter, event->rect());
    else
        painter.fillRect(event->rect(), Qt::black);
}

void ImageBox::mousePressEvent(QMouseEvent* event) { emit mousePressed(event); }
void ImageBox::mouseMoveEvent(QMouseEvent* event) { emit mouseMoved(event); }
void ImageBox::mouseReleaseEvent(QMouseEvent* event) { emit mouseReleased(event); }
void ImageBox::mouseDoubleClickEvent(QMouseEvent* event) { emit doubleClicked(event); }

QSize FittingScrollArea::sizeHint() const
{
    const int frame = 2 * frameWidth();
    if (!widget())
        return QScrollArea::sizeHint();
    return widget()->size() + QSize(frame, frame);
}

void ImageBox::wheelEvent(QWheelEvent* event)
{
    wheelAngle_ += event->angleDelta().y();
    const int notches = wheelAngle_ / 120;
    wheelAngle_ -= notches * 120;
    if (notches != 0) {
        if (event->modifiers() & Qt::ControlModifier)
            emit zoomWheelTurned(notches);
        else
            emit wheelTurned(notches);
    }
    event->accept();
}

void addZoomKeys(QWidget& window, std::function<int()> zoom, std::function<void(int)> setZoom)
{
    const auto bind = [&window](QKeyCombination keys, std::function<void()> action) {
        auto* shortcut = new QShortcut(QKeySequence(keys), &window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &window, std::move(action));
    };
    const auto larger = [zoom, setZoom] { setZoom(zoomedBy(zoom(), 1)); };
    // Ctrl+= is Ctrl++ without Shift on most keyboards; both zoom in.
    bind(Qt::CTRL | Qt::Key_Equal, larger);
    bind(Qt::CTRL | Qt::Key_Plus, larger);
    bind(Qt::CTRL | Qt::Key_Minus, [zoom, setZoom] { setZoom(zoomedBy(zoom(), -1)); });
    bind(Qt::CTRL | Qt::Key_0, [setZoom] { setZoom(kDefaultZoom); });
}
