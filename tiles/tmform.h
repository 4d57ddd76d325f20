#pragma once
#include "tiles/codec.h"

#include <QWidget>

#include <cstdint>

class ImageBox;
class KeyStepScrollBar;
class QComboBox;
class QLabel;
class QMouseEvent;
class QPainter;
class QSpinBox;
class QToolButton;
class Workbench;

// The tile map window: a screenful of the ROM image decoded as tiles.
class Ttilemapform : public QWidget {
    Q_OBJECT
public:
    Ttilemapform(Workbench& workbench, QWidget* parent);

    // Drawing operations the other windows call.
    void redrawTileMap();
    void setTileMapPosition(std::int32_t offset);
    void setMarkedBlock(int number);
    void setCodec(Codec codec);
    void updateTileMapScrollRange();

    // Moves TMapScroll by program: the bar clamps the value and reacts only
    // when its position really changes.
    void moveTileMapScroll(std::int64_t position);
    // Shows a codec in Codecbox without running its change handler.
    void showCodecInBox(Codec codec);
    void enableControls();
    void focusScrollBar();
    void updateCaption();
    // The shift buttons move by one block: "Position -16" / "Position +16".
    void updateShiftHints();
    std::int32_t shiftAmount() const;
    // Screen pixels per picture pixel, 1..8; double size at every start.
    int zoom() const { return zoom_; }
    void setZoom(int zoom);
    // Thin lines between the tiles here and between the pixels of the tile
    // editor; Ctrl+Shift+G switches both.
    bool gridLinesShown() const { return gridLines_; }
    void setGridLines(bool shown);
    // A passing note in the status label, until the mouse next moves over the map.
    void showNote(const QString& text);

    // Handlers of the window's controls.
    void LeftBtnClick();
    void RightBtnClick();
    void MinusBtnClick();
    void PlusBtnClick();
    void TMapScrollChange(int position);
    void TileMapMouseDown(QMouseEvent* event);
    void TileMapMouseMove(QMouseEvent* event);
    void TileMapMouseUp(QMouseEvent* event);
    void TileMapDblClick(QMouseEvent* event);
    void TileMapWheel(int notches);
    void TileMapZoomWheel(int notches);
    void CodecboxChange(int index);
    void twidthChange(int value);
    void theightChange(int value);
    void tlwidthChange(int value);
    void tlheightChange(int value);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void paintTileMap(QPainter& painter, const QRect& exposed);
    void chooseScrollStep(int key, Qt::KeyboardModifiers modifiers);
    // After any change of tile or block size: picture, bitmap, window size.
    void applyGeometry();
    void updateMouseLabel();
    void drawGridLines(QPainter& painter, const QRect& exposed);
    // The picture's screen size at the current zoom, and the window after it.
    void resizePicture();

    Workbench& wb_;
    std::int32_t lastMouseX_ = 0;
    std::int32_t lastMouseY_ = 0;
    bool dragging_ = false;
    bool framesShown_ = false;
    int zoom_;
    bool gridLines_ = false;

    ImageBox* TileMap = nullptr;
    class FittingScrollArea* mapArea_ = nullptr;
    KeyStepScrollBar* TMapScroll = nullptr;
    QToolButton* LeftBtn = nullptr;
    QToolButton* RightBtn = nullptr;
    QToolButton* MinusBtn = nullptr;
    QToolButton* PlusBtn = nullptr;
    QComboBox* Codecbox = nullptr;
    QLabel* mbanklab = nullptr;
    QSpinBox* tlwidth = nullptr;
    QSpinBox* tlheight = nullptr;
    QSpinBox* twidth = nullptr;
    QSpinBox* theight = nullptr;
};
