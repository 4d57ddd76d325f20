#pragma once
#include "tiles/palette.h"
#include "tiles/palettestrip.h"
#include "tiles/tileops.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <optional>
#include <span>
#include <string>

class ImageBox;
class QMouseEvent;
class QToolButton;
class Workbench;

// The tile editor: the selected tile enlarged for painting, the whole-tile
// operations, and the active palette beside the grid with the two paint slots.
class Tteditform : public QWidget {
    Q_OBJECT
public:
    Tteditform(Workbench& workbench, QWidget* parent);

    // Step of the tile map redraw: takes the selected tile from the tile map
    // bitmap, refreshes the caption and the edit grid.
    void showSelectedTile();
    // Set codec: shows the palette of the new mode and resets both slots.
    void codecChanged();
    // Start-up: the default palettes, box 4 as foreground and box 1 as background.
    void installDefaultPalettes();
    void enableButtons();
    // Rotation needs a square tile that ends on a byte boundary.
    void updateRotateButtons();
    int zoomFactor() const;
    // Thin lines between the tile's pixels (Ctrl+Shift+G, with the tile map).
    void setGridLines(bool shown);
    bool gridLinesShown() const { return gridLines_; }
    QString tileCaption() const;

    // The palette display. Entries are 1..4 in 4-colour mode, 0..15 in
    // 16-colour mode, 0..255 in 256-colour mode; the mode follows the codec
    // at the time of the call.
    void setColour(int entry, Colour colour);
    void setFourColour(int entry, Colour colour);
    // An entry of the 16- or 256-colour palette, whichever the codec uses.
    void setStripColour(int entry, Colour colour);
    void selectForeground(int slot);
    void selectBackground(int slot);
    // The strip with its labels, slots unchanged.
    void repaintStrip();
    // The colour a slot paints with in the current mode.
    Colour paintColour(int slot) const;
    // What a colour box (1..4) and the strip show. The strip is one column
    // of 8 or 16 cells for the 3- and 4-bit codecs, rows of 16 cells for the
    // wider ones (16 x 16 cells for 8 bits).
    const QImage& boxPicture(int entry) const { return boxCanvas_[static_cast<std::size_t>(entry - 1)]; }
    const QImage& stripPicture() const { return stripCanvas_; }
    const PaletteStripLayout& stripLayout() const { return stripLayout_; }

    // Edit grid.
    void TileMouseDown(QMouseEvent* event);
    void TileMouseMove(QMouseEvent* event);
    void TileMouseUp(QMouseEvent* event);

    // The nine buttons.
    void MvLeftBtnClick() { transformTile(TileTransform::ShiftLeft); }
    void MvRightBtnClick() { transformTile(TileTransform::ShiftRight); }
    void MvUpBtnClick() { transformTile(TileTransform::ShiftUp); }
    void MvDownBtnClick() { transformTile(TileTransform::ShiftDown); }
    void FlipBtnClick() { transformTile(TileTransform::FlipHorizontal); }
    void Flip2BtnClick() { transformTile(TileTransform::FlipVertical); }
    void RotLeftBtnClick() { transformTile(TileTransform::RotateLeft); }
    void RotRightBtnClick() { transformTile(TileTransform::RotateRight); }
    void ClearBtnClick();

    // Palette controls: the four boxes share these, told apart by their tag 1..4.
    void Color1imClick(int tag);
    void Color1imContextPopup(int tag);
    void Color1imDblClick(int tag);
    void c16imMouseDown(Qt::MouseButton button, bool doubleClick, QPoint at);

private:
    void buildButtons(class QVBoxLayout* layout);
    QWidget* buildPalettePanel();
    void paintTile(class QPainter& painter, const QRect& exposed);
    // Whether the codec's palette shows as the strip rather than the boxes.
    bool stripMode() const;
    std::span<Colour> stripEntries() const;
    // The strip's cells for the codec; the panel widens for rows of 16.
    void layOutStrip();

    void selectForegroundBox(int box);
    void selectBackgroundBox(int box);
    void selectStripEntries(int foreground, int background);
    void fillBox(int box, Colour colour);
    void writeBoxLabel(int box, const QString& text, QPoint at);
    void writeStripLabel(const QString& text, int entry);
    void fillStripCell(int entry, Colour colour);

    // Paints the pixel under the pointer with a slot's colour and encodes it.
    void paintEditPixel(int slot);
    // Encodes the tile bitmap's pixel at the edit pixel into the ROM image:
    // `value`, or the value its colour stands for.
    void writeEditPixel(std::optional<int> value = std::nullopt);
    // The value a paint slot writes: the entry number, a box's number less one.
    int slotValue(int slot) const;
    // Sets and encodes every pixel of the tile: as `value`, or each as the
    // value its colour stands for.
    void setTilePixels(const Bitmap& tile, std::optional<int> value = std::nullopt);
    void transformTile(TileTransform transform);
    // After painting or an operation: what changed since the first pixel is
    // one undo step (the image's open step), and the map is shown again.
    void finishEdit();

    Workbench& wb_;
    ImageBox* tile_ = nullptr;
    bool gridLines_ = false;
    std::array<QToolButton*, 9> buttons_{};
    std::array<ImageBox*, 4> boxes_{};
    ImageBox* strip_ = nullptr;
    QWidget* palettePanel_ = nullptr;
    PaletteStripLayout stripLayout_;
    std::array<QImage, 4> boxCanvas_;
    QImage stripCanvas_;
    // Boxes 1..4 carrying the "FG" and "BG" labels; 0 while none does.
    int fgBox_ = 0;
    int bgBox_ = 0;
};
