#pragma once
#include "text/codecells.h"
#include "text/datagrid.h"
#include "text/stringcodec.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class FittingScrollArea;
class ImageBox;
class QLabel;
class QMouseEvent;
class QPainter;
class QToolButton;
class Workbench;

// The workspace: a scratch buffer of one data map's worth of bytes, drawn as
// the tile map's blocks, taken from and put back into the ROM image,
// rearranged by dragging cells and kept in data map files (.kvr).
class Tworkspaceform : public QWidget {
    Q_OBJECT
public:
    Tworkspaceform(Workbench& workbench, QWidget* parent);

    // Draw workspace: every cell from the buffer, then the two frames.
    void redraw();
    // The code a cell shows, -1 past the buffer (for tests and the readouts).
    int cellCode(std::int32_t cell) const;

    QToolButton* getBtn = nullptr;
    QToolButton* putBtn = nullptr;
    QToolButton* openBtn = nullptr;
    QToolButton* saveBtn = nullptr;
    QLabel* wshint = nullptr;
    QLabel* wsundermouse = nullptr;
    QLabel* wsselected = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    ImageBox* workspace = nullptr;

    void getBtnClick();
    void putBtnClick();
    void openBtnClick();
    void saveBtnClick();
    void workspaceMouseDown(QMouseEvent* event);
    void workspaceMouseMove(QMouseEvent* event);
    void workspaceMouseUp(QMouseEvent* event);

private:
    CellGrid grid() const;
    // The bytes of the ROM image that Get and Put exchange with the buffer.
    ByteRange romRange() const;
    void paintWorkspace(QPainter& painter, const QRect& exposed);
    void resizePicture();
    std::optional<std::int32_t> cellUnder(QPoint at) const;
    // Selects a cell: the cursor, the readouts, the selected tile and the
    // marked block of its code.
    void selectCell(std::int32_t cell);
    QString byteLabel(std::int32_t cell) const;
    QString positionLabel(const char* key, std::int32_t cell) const;

    Workbench& wb_;
    FittingScrollArea* area_ = nullptr;
    std::vector<int> codes_; // one per cell, -1 past the end of the buffer
    CellGrid drawnGrid_;
    GlyphSheet glyphs_;
    bool dragging_ = false;
    bool shift_ = false;
    bool ctrl_ = false;
};
