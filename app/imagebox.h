#pragma once
// A picture control: draws through a callback and reports the mouse, like the
// image controls the windows are built from.
#include <QScrollArea>
#include <QWidget>

#include <functional>

class ImageBox : public QWidget {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter&, const QRect& exposed)>;

    explicit ImageBox(QWidget* parent = nullptr);
    void setPainter(Painter painter) { painter_ = std::move(painter); }
    // Fixed size of the picture in screen pixels.
    void setPictureSize(QSize size);

signals:
    void mousePressed(QMouseEvent* event);
    void mouseMoved(QMouseEvent* event);
    void mouseReleased(QMouseEvent* event);
    void doubleClicked(QMouseEvent* event);
    // Whole notches of the mouse wheel, positive away from the user.
    void wheelTurned(int notches);
    // The same with Ctrl held: the picture's zoom, not its position.
    void zoomWheelTurned(int notches);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    Painter painter_;
    int wheelAngle_ = 0; // eighths of a degree not yet a whole notch (high-resolution wheels)
};

// Ctrl+= (and Ctrl++), Ctrl+- and Ctrl+0 while `window` is active: one zoom
// step larger, one smaller, and back to double size.
void addZoomKeys(QWidget& window, std::function<int()> zoom, std::function<void(int)> setZoom);

// A scroll area that asks for the whole size of its picture; the window's
// maximum size decides when scroll bars appear.
class FittingScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {32, 32}; }
};
