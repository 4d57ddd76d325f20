#include "app/imagebox.h"

#include <QWheelEvent>

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

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
    if (notches != 0)
        emit wheelTurned(notches);
    event->accept();
}
