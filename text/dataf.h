#pragma once
#include "text/codecells.h"
#include "text/datagrid.h"

#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

class ImageBox;
class KeyStepScrollBar;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QPainter;
class QSpinBox;
class QToolButton;
class Workbench;

// The data map window: the ROM image as a grid of codes, one byte per cell,
// drawn with the tile map's blocks or with the character table.
class Tdataform : public QWidget {
    Q_OBJECT
public:
    Tdataform(Workbench& workbench, QWidget* parent);

    // Steps of the redraw chain.
    // Re-applies the width and height typed into WidthEdit and HeightEdit.
    void applyGridSize();
    void drawDataMap();
    void updateDataScrollRange();
    // Moves DataScroll by program: the bar clamps the value and its change
    // handler runs only when the position really changes.
    void moveDataScroll(std::int64_t position);

    // Shows a search hit: the scroll bar takes the focus and the position,
    // the hit's cell is selected and its code's block marked.
    void showSearchHit(std::int64_t position);

    // The change handler of DataScroll; Go To, search and loading reach it
    // through the scroll bar.
    void setDataPosition(std::int32_t position);
    // "Data Map - [position / image size]".
    void updateCaption();
    void setSelectedCell(std::int32_t cell);
    void setDataMapWidth(int cells);
    void setDataMapHeight(int rows);
    // A data map file's grid, typed into the spin edits as a user would;
    // the cell groups go back to 1 x 1 first when asked.
    void takeGrid(int width, int height, bool resetGroups);

    // The character a cell shows with the built-in font switched on: empty
    // for cells past the end of the image and for empty table entries. A
    // code of several bytes shows in its first cell; the cells it covers
    // after that show kContinuationMark.
    QString cellCharacter(std::int32_t cell) const;
    static constexpr QChar kContinuationMark = QChar(0x00B7);
    // The code a cell shows: a byte or a tile table block; -1 past the end.
    int cellCode(std::int32_t cell) const;

    // Screen pixels per picture pixel, 1..8; double size at every start.
    int zoom() const { return zoom_; }
    void setZoom(int zoom);

    // Handlers of the window's controls.
    void DataScrollChange(int position);
    void Image1MouseDown(QMouseEvent* event);
    void Image2MouseDown(QMouseEvent* event);
    void dLeftBtnClick();
    void dRightBtnClick();
    void DataMapMouseDown(QMouseEvent* event);
    void DataMapMouseMove(QMouseEvent* event);
    void DataMapMouseUp(QMouseEvent* event);
    void DataMapClick();
    void DataMapWheel(int notches);
    void DataMapZoomWheel(int notches);
    void hexedChange(const QString& text);
    void BlockWidthChange(int value);
    void BlockHeightChange(int value);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showRoundedGridSize(QSpinBox* edit, int typed, int blockSize, int used);
    void buildControls();
    CellGrid grid() const;
    void paintDataMap(QPainter& painter, const QRect& exposed);
    void resizePicture();
    void afterGridChange();
    void chooseScrollStep(int key);
    bool hexedKeyPress(class QKeyEvent* event);
    void showSelectedByte();
    // The code a cell stands for; nothing past the end of the image.
    std::optional<std::uint8_t> byteAt(std::int64_t offset) const;
    // Marks the block of the selected byte's code in the tile map.
    void markSelectedCode(bool selectTile);
    void showPosition(QLabel* label, const char* key, std::int64_t offset);
    void redrawWorkspaceIfShown();

    Workbench& wb_;
    std::int32_t lastMouseX_ = 0;
    std::int32_t lastMouseY_ = 0;
    bool shiftClick_ = false;
    bool pressedOnMap_ = false;
    int zoom_ = kDefaultZoom;
    int hexedTag_ = 1; // 0 while the program sets the byte editor's text
    // Codes of the last drawing, one per cell; -1 past the end of the image.
    std::vector<int> cellCodes_;
    // With codes of several bytes in the table: per cell, the cell where the
    // code covering it starts (-1: a one-byte code), and the start cells'
    // entries. Empty when no code of the table has several bytes.
    std::vector<std::int32_t> sequenceStart_;
    std::vector<QString> sequenceText_;
    void readSequenceCells();
    CellGrid drawnGrid_;
    GlyphSheet glyphs_;

    QWidget* Panel1 = nullptr;
    QWidget* otherpan = nullptr;
    ImageBox* DataMap = nullptr;
    class FittingScrollArea* mapArea_ = nullptr;
    KeyStepScrollBar* DataScroll = nullptr;
    ImageBox* Image1 = nullptr;
    ImageBox* Image2 = nullptr;
    ImageBox* Image3 = nullptr;
    QToolButton* dLeftBtn = nullptr;
    QToolButton* dRightBtn = nullptr;
    QSpinBox* WidthEdit = nullptr;
    QSpinBox* HeightEdit = nullptr;
    QSpinBox* BlockWidth = nullptr;
    QSpinBox* BlockHeight = nullptr;
    QLineEdit* hexed = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* SignL = nullptr;
};
