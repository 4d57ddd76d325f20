#include "tiles/teditf.h"

#include "app/forms.h"
#include "app/imagebox.h"
#include "app/numbers.h"
#include "tiles/bitmapio.h"
#include "tiles/tilegrid.h"

#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
struct ButtonSpec {
    const char* name;
    const char* hintKey;
    Qt::ArrowType arrow;
    const char* text;
};
constexpr std::array<ButtonSpec, 9> kButtons{{
    {"MvLeftBtn", "MoveLeft", Qt::LeftArrow, ""},
    {"MvRightBtn", "MoveRight", Qt::RightArrow, ""},
    {"MvUpBtn", "MoveUp", Qt::UpArrow, ""},
    {"MvDownBtn", "MoveDown", Qt::DownArrow, ""},
    {"FlipBtn", "FlipHoriz", Qt::NoArrow, "\u2194"},
    {"Flip2Btn", "FlipVert", Qt::NoArrow, "\u2195"},
    {"RotLeftBtn", "RotateLeft", Qt::NoArrow, "\u21BA"},
    {"RotRightBtn", "RotateRight", Qt::NoArrow, "\u21BB"},
    {"ClearBtn", "Clear", Qt::NoArrow, "\u2715"},
}};
} // namespace

Tteditform::Tteditform(Workbench& workbench, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), wb_(workbench)
{
    setObjectName(QStringLiteral("teditform"));
    setWindowTitle(wb_.text("TileEdForm"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->setSpacing(1);
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(kButtons[i].name));
        button->setAutoRaise(true);
        button->setFixedSize(23, 22);
        if (kButtons[i].arrow != Qt::NoArrow)
            button->setArrowType(kButtons[i].arrow);
        else
            button->setText(QString::fromUtf8(kButtons[i].text));
        button->setToolTip(wb_.text(kButtons[i].hintKey));
        button->setEnabled(false);
        buttons_[i] = button;
        buttonRow->addWidget(button);
    }
    buttonRow->addStretch();
    layout->addLayout(buttonRow);

    auto* gridRow = new QHBoxLayout;
    tile_ = new ImageBox(this);
    tile_->setObjectName(QStringLiteral("Tile"));
    tile_->setPictureSize(QSize(256, 256));
    tile_->setPainter([this](QPainter& p, const QRect& r) { paintTile(p, r); });
    gridRow->addWidget(tile_);
    gridRow->addSpacing(34); // room for the palette beside the grid
    gridRow->addStretch();
    layout->addLayout(gridRow);
    layout->addStretch();
}

int Tteditform::zoomFactor() const
{
    const TileGeometry& g = wb_.state.geometry;
    return (16 / std::max(g.tileWidth, g.tileHeight)) * 16;
}

QString Tteditform::tileCaption() const
{
    const SharedState& s = wb_.state;
    const TileGeometry& g = s.geometry;
    const std::int64_t bits =
        static_cast<std::int64_t>(s.selectedTile) * g.tileWidth * g.tileHeight * bitsPerPixel(s.codec);
    const std::int64_t offset = s.tileMapPosition + bits / 8;
    return QStringLiteral("Tile #%1 - [%2x%3]:[%4]+%5bit")
        .arg(QString::fromStdString(hexText(static_cast<std::uint32_t>(s.selectedTile), 4)))
        .arg(g.tileWidth)
        .arg(g.tileHeight)
        .arg(QString::fromStdString(hexText(static_cast<std::uint32_t>(offset), 8)))
        .arg(bits % 8);
}

void Tteditform::showSelectedTile()
{
    SharedState& s = wb_.state;
    copyTileFromMap(s.tileMapBitmap, s.geometry, s.selectedTile, s.tileBitmap);
    setWindowTitle(tileCaption());
    tile_->update();
}

void Tteditform::paintTile(QPainter& painter, const QRect& exposed)
{
    painter.fillRect(exposed, Qt::black);
    const Bitmap& tile = wb_.state.tileBitmap;
    const int zoom = zoomFactor();
    painter.drawImage(QRect(0, 0, tile.width * zoom, tile.height * zoom), bitmapToImage(tile));
}

void Tteditform::codecChanged()
{
    SharedState& s = wb_.state;
    if (s.codec == 0) {
        s.foregroundSlot = 2;
        s.backgroundSlot = 1;
    } else if (s.codec <= 4) {
        s.foregroundSlot = 4;
        s.backgroundSlot = 1;
    } else {
        s.foregroundSlot = 15;
        s.backgroundSlot = 0;
    }
}

void Tteditform::enableButtons()
{
    for (QToolButton* button : buttons_)
        button->setEnabled(true);
}

void Tteditform::updateRotateButtons()
{
    const TileGeometry& g = wb_.state.geometry;
    const bool square = g.tileWidth == g.tileHeight &&
                        (bitsPerPixel(wb_.state.codec) * g.tileWidth * g.tileHeight) % 8 == 0;
    buttons_[6]->setEnabled(square);
    buttons_[7]->setEnabled(square);
}
