#pragma once
#include <QWidget>

#include <array>

class ImageBox;
class QToolButton;
class Workbench;

// The tile editor: the selected tile enlarged.
class Tteditform : public QWidget {
    Q_OBJECT
public:
    Tteditform(Workbench& workbench, QWidget* parent);

    // Step of the tile map redraw: takes the selected tile from the tile map
    // bitmap, refreshes the caption and the edit grid.
    void showSelectedTile();
    // Set codec: the foreground and background slots follow the palette mode.
    void codecChanged();
    void enableButtons();
    // Rotation needs a square tile that ends on a byte boundary.
    void updateRotateButtons();
    int zoomFactor() const;
    QString tileCaption() const;

private:
    void paintTile(class QPainter& painter, const QRect& exposed);

    Workbench& wb_;
    ImageBox* tile_ = nullptr;
    std::array<QToolButton*, 9> buttons_{};
};
