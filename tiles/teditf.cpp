#include "tiles/teditf.h"

#include "app/forms.h"
#include "app/imagebox.h"
#include "app/numbers.h"
#include "tiles/bitmapio.h"
#include "tiles/palettefile.h"
#include "tiles/tilegrid.h"
#include "tiles/tilespan.h"
#include "tiles/tmform.h"

#include <QMouseEvent>
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
    void (Tteditform::*handler)();
};
const std::array<ButtonSpec, 9> kButtons{{
    {"MvLeftBtn", "MoveLeft", Qt::LeftArrow, "", &Tteditform::MvLeftBtnClick},
    {"MvRightBtn", "MoveRight", Qt::RightArrow, "", &Tteditform::MvRightBtnClick},
    {"MvUpBtn", "MoveUp", Qt::UpArrow, "", &Tteditform::MvUpBtnClick},
    {"MvDownBtn", "MoveDown", Qt::DownArrow, "", &Tteditform::MvDownBtnClick},
    {"FlipBtn", "FlipHoriz", Qt::NoArrow, "\u2194", &Tteditform::FlipBtnClick},
    {"Flip2Btn", "FlipVert", Qt::NoArrow, "\u2195", &Tteditform::Flip2BtnClick},
    {"RotLeftBtn", "RotateLeft", Qt::NoArrow, "\u21BA", &Tteditform::RotLeftBtnClick},
    {"RotRightBtn", "RotateRight", Qt::NoArrow, "\u21BB", &Tteditform::RotRightBtnClick},
    {"ClearBtn", "Clear", Qt::NoArrow, "\u2715", &Tteditform::ClearBtnClick},
}};
constexpr int kRotateLeftButton = 6;
constexpr int kRotateRightButton = 7;

constexpr int kBoxSize = 30;
constexpr int kGridSize = 256;
// "FG"/"BG" are 10 points on the 96-dpi screens the palette was laid out
// for; the strip's labels use the smaller default picture font.
constexpr int kBoxLabelPixels = 13;
constexpr int kStripLabelPixels = 11;

QColor qColour(Colour c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

Colour colourOf(QRgb pixel) { return rgbColour(qRed(pixel), qGreen(pixel), qBlue(pixel)); }

// Grid pixel under a pointer coordinate; left of or above the grid is -1.
int gridPixel(int coordinate, int zoom) { return coordinate < 0 ? -1 : coordinate / zoom; }

// Labels are written without smoothing, so each of their pixels has exactly
// the label colour, on an opaque white background like the original brush.
// Box labels stand straight on the box colour, in its complement, so they
// read on every box (on an opaque white patch a white label would vanish on
// the black box); strip labels keep their white patch.
void drawLabel(QImage& canvas, const QString& text, QPoint at, QColor colour, int pixelSize, bool opaque)
{
    QFont font;
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    const QRect area(at, QSize(metrics.horizontalAdvance(text), metrics.height()));
    QPainter painter(&canvas);
    if (opaque)
        painter.fillRect(area, Qt::white);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, text);
}

// The language key of an operation's button hint, which names its undo step.
const char* transformKey(TileTransform transform)
{
    switch (transform) {
    case TileTransform::ShiftLeft: return "MoveLeft";
    case TileTransform::ShiftRight: return "MoveRight";
    case TileTransform::ShiftUp: return "MoveUp";
    case TileTransform::ShiftDown: return "MoveDown";
    case TileTransform::FlipHorizontal: return "FlipHoriz";
    case TileTransform::FlipVertical: return "FlipVert";
    case TileTransform::RotateLeft: return "RotateLeft";
    case TileTransform::RotateRight: return "RotateRight";
    }
    return "";
}
} // namespace

Tteditform::Tteditform(Workbench& workbench, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), wb_(workbench)
{
    setObjectName(QStringLiteral("teditform"));
    setWindowTitle(wb_.text("TileEdForm"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    // The window is as large as its contents and cannot be resized.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    buildButtons(layout);

    auto* gridRow = new QHBoxLayout;
    gridRow->setSpacing(1); // the palette starts at x = 257
    tile_ = new ImageBox(this);
    tile_->setObjectName(QStringLiteral("Tile"));
    tile_->setPictureSize(QSize(kGridSize, kGridSize));
    tile_->setPainter([this](QPainter& p, const QRect& r) { paintTile(p, r); });
    tile_->setToolTip(wb_.text("GridHint"));
    connect(tile_, &ImageBox::mousePressed, this, &Tteditform::TileMouseDown);
    connect(tile_, &ImageBox::mouseMoved, this, &Tteditform::TileMouseMove);
    connect(tile_, &ImageBox::mouseReleased, this, &Tteditform::TileMouseUp);
    // The second press of a quick double click paints like any press.
    connect(tile_, &ImageBox::doubleClicked, this, &Tteditform::TileMouseDown);
    gridRow->addWidget(tile_, 0, Qt::AlignTop);
    gridRow->addWidget(buildPalettePanel(), 0, Qt::AlignTop);
    layout->addLayout(gridRow);
}

void Tteditform::buildButtons(QVBoxLayout* layout)
{
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
        connect(button, &QToolButton::clicked, this, kButtons[i].handler);
        buttons_[i] = button;
        buttonRow->addWidget(button);
    }
    buttonRow->addStretch();
    layout->addLayout(buttonRow);
}

QWidget* Tteditform::buildPalettePanel()
{
    auto* panel = new QWidget(this);
    panel->setFixedSize(kBoxSize, kGridSize);
    palettePanel_ = panel;
    const Palettes& palettes = wb_.state.palettes;
    for (int n = 1; n <= 4; ++n) {
        auto* box = new ImageBox(panel);
        box->setObjectName(QStringLiteral("Color%1im").arg(n));
        box->setProperty("Tag", n);
        box->setPictureSize(QSize(kBoxSize, kBoxSize));
        box->move(0, kBoxSize * (n - 1));
        QImage& canvas = boxCanvas_[static_cast<std::size_t>(n - 1)];
        canvas = QImage(kBoxSize, kBoxSize, QImage::Format_RGB32);
        canvas.fill(qColour(palettes.fourEntry(n)));
        box->setPainter([&canvas](QPainter& p, const QRect&) { p.drawImage(0, 0, canvas); });
        connect(box, &ImageBox::mouseReleased, this, [this, box, n](QMouseEvent* event) {
            // A click is a release over the box that was pressed.
            if (!box->rect().contains(event->position().toPoint()))
                return;
            if (event->button() == Qt::LeftButton)
                Color1imClick(n);
            else if (event->button() == Qt::RightButton)
                Color1imContextPopup(n);
        });
        connect(box, &ImageBox::doubleClicked, this, [this, n](QMouseEvent* event) {
            if (event->button() == Qt::LeftButton)
                Color1imDblClick(n);
        });
        boxes_[static_cast<std::size_t>(n - 1)] = box;
    }

    strip_ = new ImageBox(panel);
    strip_->setObjectName(QStringLiteral("c16im"));
    strip_->setPictureSize(QSize(kBoxSize, kGridSize));
    stripCanvas_ = QImage(kBoxSize, kGridSize, QImage::Format_RGB32);
    stripCanvas_.fill(Qt::black);
    strip_->setPainter([this](QPainter& p, const QRect&) { p.drawImage(0, 0, stripCanvas_); });
    connect(strip_, &ImageBox::mousePressed, this, [this](QMouseEvent* event) {
        c16imMouseDown(event->button(), false, event->position().toPoint());
    });
    connect(strip_, &ImageBox::doubleClicked, this, [this](QMouseEvent* event) {
        c16imMouseDown(event->button(), true, event->position().toPoint());
    });
    strip_->hide();
    return panel;
}

// ---- the tile --------------------------------------------------------------

int Tteditform::zoomFactor() const
{
    const TileGeometry& g = wb_.state.geometry;
    return (16 / std::max(g.tileWidth, g.tileHeight)) * 16;
}

QString Tteditform::tileCaption() const
{
    const SharedState& s = wb_.state;
    const TileGeometry& g = s.geometry;
    // Bits the image gives each stream pixel: the bits per pixel for most
    // codecs, 16 for Mode 7 with its map bytes between the pixels.
    const std::int64_t bits = static_cast<std::int64_t>(s.selectedTile) * g.tileWidth * g.tileHeight *
                              unitBytes(s.codec) * 8 / std::max(1, unitPixels(s.codec));
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
    const Bitmap& map = s.tileMap.ensureBlock(
        s.tileMapSource(), s.selectedTile / std::max(1, s.geometry.blockWidth * s.geometry.blockHeight));
    copyTileFromMap(map, s.geometry, s.selectedTile, s.tileBitmap);
    setWindowTitle(tileCaption());
    tile_->update();
}

void Tteditform::paintTile(QPainter& painter, const QRect& exposed)
{
    painter.fillRect(exposed, Qt::black);
    const Bitmap& tile = wb_.state.tileBitmap;
    const int zoom = zoomFactor();
    painter.drawImage(QRect(0, 0, tile.width * zoom, tile.height * zoom), bitmapToImage(tile));
    if (!gridLines_)
        return;
    // Between the pixels only: the tile's outer edge needs no line.
    painter.setPen(QPen(QColor(96, 96, 96), 1));
    for (int x = 1; x < tile.width; ++x)
        painter.drawLine(x * zoom, 0, x * zoom, tile.height * zoom - 1);
    for (int y = 1; y < tile.height; ++y)
        painter.drawLine(0, y * zoom, tile.width * zoom - 1, y * zoom);
}

void Tteditform::setGridLines(bool shown)
{
    gridLines_ = shown;
    tile_->update();
}

void Tteditform::enableButtons()
{
    for (QToolButton* button : buttons_)
        button->setEnabled(true);
}

void Tteditform::updateRotateButtons()
{
    // Before the first ROM every button stays disabled; loading enables all nine.
    if (!wb_.state.romLoaded)
        return;
    const TileGeometry& g = wb_.state.geometry;
    const bool square = g.tileWidth == g.tileHeight && bytesPerTile(wb_.state.codec, g).has_value();
    buttons_[kRotateLeftButton]->setEnabled(square);
    buttons_[kRotateRightButton]->setEnabled(square);
}

// ---- painting ----------------------------------------------------------------

void Tteditform::writeEditPixel(std::optional<int> value)
{
    SharedState& s = wb_.state;
    const int x = s.editPixelX;
    const int y = s.editPixelY;
    if (!s.tileBitmap.contains(x, y))
        return;
    if (!value)
        value = colourToValue(s.codec, s.palettes, pixelToColour(s.tileBitmap.at(x, y)));
    // Joins the step under way: the stroke or the operation.
    s.rom.beginStep("StepPaint");
    const StreamBytes bytes = tileBytes(s.tileMapPosition, s.codec, s.geometry, s.selectedTile);
    s.rom.edit("StepPaint", {{bytes.offset, bytes.length}}, [&](std::span<std::uint8_t> rom) {
        writeTilePixel(rom, s.tileMapPosition, s.codec, s.geometry, s.selectedTile, x, y, *value);
    });
}

void Tteditform::paintEditPixel(int slot)
{
    SharedState& s = wb_.state;
    if (!s.tileBitmap.contains(s.editPixelX, s.editPixelY))
        return; // the black part of the grid
    s.tileBitmap.set(s.editPixelX, s.editPixelY, colourToPixel(paintColour(slot)));
    tile_->update();
    writeEditPixel(slotValue(slot));
}

void Tteditform::TileMouseMove(QMouseEvent* event)
{
    SharedState& s = wb_.state;
    if (s.clickGuard)
        return;
    const QPoint at = event->position().toPoint();
    s.editPixelX = gridPixel(at.x(), zoomFactor());
    s.editPixelY = gridPixel(at.y(), zoomFactor());
    const Qt::MouseButtons held = event->buttons();
    if (!s.romLoaded || !(held & (Qt::LeftButton | Qt::RightButton)))
        return;
    paintEditPixel((held & Qt::RightButton) ? s.backgroundSlot : s.foregroundSlot);
}

void Tteditform::TileMouseDown(QMouseEvent* event)
{
    SharedState& s = wb_.state;
    if (s.clickGuard || !s.romLoaded)
        return;
    // The pixel under the press itself, also when no move came before it.
    const QPoint at = event->position().toPoint();
    s.editPixelX = gridPixel(at.x(), zoomFactor());
    s.editPixelY = gridPixel(at.y(), zoomFactor());
    paintEditPixel(event->button() == Qt::LeftButton ? s.foregroundSlot : s.backgroundSlot);
}

void Tteditform::TileMouseUp(QMouseEvent*)
{
    SharedState& s = wb_.state;
    if (s.clickGuard) {
        // The release that ends a load's click changes nothing. A stroke
        // begun on the image before the load went with that image: the
        // document's reset dropped its step.
        s.clickGuard = false;
        return;
    }
    if (s.romLoaded)
        finishEdit();
}

void Tteditform::finishEdit()
{
    SharedState& s = wb_.state;
    // A release after a press that painted nothing, or elsewhere, changes nothing.
    if (!s.rom.stepOpen())
        return;
    s.rom.endStep();
    // Changed or not, the map and the tile show what the image holds: a pixel
    // past the end of the image shows as painted until now.
    wb_.forms.tileMapForm->setTileMapPosition(s.tileMapPosition);
}

// ---- operations --------------------------------------------------------------

int Tteditform::slotValue(int slot) const
{
    // The slot's own value, also when another entry has the same colour.
    return stripMode() ? slot : slot - 1;
}

void Tteditform::setTilePixels(const Bitmap& tile, std::optional<int> value)
{
    // Every pixel is set and encoded, changed or not.
    SharedState& s = wb_.state;
    for (int y = 0; y < tile.height; ++y)
        for (int x = 0; x < tile.width; ++x) {
            s.editPixelX = x;
            s.editPixelY = y;
            if (s.tileBitmap.contains(x, y))
                s.tileBitmap.set(x, y, tile.at(x, y));
            writeEditPixel(value);
        }
}

void Tteditform::transformTile(TileTransform transform)
{
    SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    // Every pixel moves somewhere else: a tile that is off the map or runs
    // past the end of the image would bring in pixels that were never read.
    if (s.selectedTile >= tilesOnScreen(s.geometry) ||
        !tileWhollyInside(s.rom, s.tileMapPosition, s.codec, s.geometry, s.selectedTile)) {
        wb_.dialogs().showMessage(this, wb_.text("TilePastRomEnd"));
        return;
    }
    // Rotating a tile that is not square brings in pixels from outside it;
    // they take the colour a right click would paint.
    const std::uint32_t outside = colourToPixel(paintColour(s.backgroundSlot));
    s.rom.beginStep(transformKey(transform));
    setTilePixels(transformedTile(s.tileBitmap, transform, outside));
    finishEdit();
}

void Tteditform::ClearBtnClick()
{
    SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    s.rom.beginStep("ClearTile");
    setTilePixels(clearedTile(s.tileBitmap.width, s.tileBitmap.height, colourToPixel(paintColour(s.backgroundSlot))),
                  slotValue(s.backgroundSlot));
    finishEdit();
}

// ---- palette display -------------------------------------------------------------

bool Tteditform::stripMode() const
{
    return paletteModeFor(wb_.state.codec) != PaletteMode::FourColour;
}

std::span<Colour> Tteditform::stripEntries() const
{
    // The 16-colour palette for the 3- and 4-bit codecs, the 256 for the wider ones.
    return paletteEntries(wb_.state.palettes, paletteModeFor(wb_.state.codec));
}

Colour Tteditform::paintColour(int slot) const
{
    const Palettes& p = wb_.state.palettes;
    if (stripMode())
        return stripEntries()[static_cast<std::size_t>(std::clamp(slot, 0, stripLayout_.entries() - 1))];
    return p.fourEntry(std::clamp(slot, 1, 4));
}

void Tteditform::fillBox(int box, Colour colour)
{
    boxCanvas_[static_cast<std::size_t>(box - 1)].fill(qColour(colour));
    boxes_[static_cast<std::size_t>(box - 1)]->update();
}

void Tteditform::writeBoxLabel(int box, const QString& text, QPoint at)
{
    QImage& canvas = boxCanvas_[static_cast<std::size_t>(box - 1)];
    // The label colour comes from the box's corner, which the label never covers.
    const Colour label = labelColour(colourOf(canvas.pixel(0, 0)));
    drawLabel(canvas, text, at, qColour(label), kBoxLabelPixels, false);
    boxes_[static_cast<std::size_t>(box - 1)]->update();
}

void Tteditform::writeStripLabel(const QString& text, int entry)
{
    const PaletteStripLayout& l = stripLayout_;
    // At 10 (8 for "BF") in the 30-pixel cells, scaled down in the narrow ones.
    const int x = (text.size() > 1 ? 8 : 10) * l.cellWidth / kBoxSize;
    QImage cell(l.cellWidth, l.cellHeight, QImage::Format_RGB32);
    {
        QPainter painter(&cell);
        painter.drawImage(0, 0, stripCanvas_, l.cellX(entry), l.cellY(entry), l.cellWidth, l.cellHeight);
    }
    // Drawn in a copy of the cell, so that a label never spills into the next one.
    drawLabel(cell, text, QPoint(x, 0), Qt::black, kStripLabelPixels, true);
    QPainter(&stripCanvas_).drawImage(l.cellX(entry), l.cellY(entry), cell);
    strip_->update();
}

void Tteditform::fillStripCell(int entry, Colour colour)
{
    const PaletteStripLayout& l = stripLayout_;
    QPainter(&stripCanvas_).fillRect(l.cellX(entry), l.cellY(entry), l.cellWidth, l.cellHeight, qColour(colour));
}

void Tteditform::setFourColour(int entry, Colour colour)
{
    if (entry < 1 || entry > 4)
        return;
    wb_.state.palettes.setFourEntry(entry, colour);
    fillBox(entry, colour);
    // Filling erased the box's labels; selecting again writes them back.
    if (entry == fgBox_)
        selectForegroundBox(entry);
    if (entry == bgBox_)
        selectBackgroundBox(entry);
}

void Tteditform::setStripColour(int entry, Colour colour)
{
    const std::span<Colour> entries = stripEntries();
    if (entry < 0 || entry >= static_cast<int>(entries.size()))
        return;
    entries[static_cast<std::size_t>(entry)] = colour;
    // The 3-bit codec shows the first 8 of the 16 entries; the rest are kept.
    if (entry >= stripLayout_.entries())
        return;
    fillStripCell(entry, colour);
    SharedState& s = wb_.state;
    const bool foreground = entry == s.foregroundSlot;
    const bool background = entry == s.backgroundSlot;
    if (foreground && background)
        writeStripLabel(QStringLiteral("BF"), entry);
    else if (foreground)
        writeStripLabel(QStringLiteral("F"), entry);
    else if (background)
        writeStripLabel(QStringLiteral("B"), entry);
    strip_->update();
}

void Tteditform::setColour(int entry, Colour colour)
{
    if (stripMode())
        setStripColour(entry, colour);
    else
        setFourColour(entry, colour);
}

void Tteditform::selectForegroundBox(int box)
{
    if (box < 1 || box > 4)
        return;
    SharedState& s = wb_.state;
    if (fgBox_ != 0 && fgBox_ != bgBox_)
        fillBox(fgBox_, s.palettes.fourEntry(fgBox_));
    // Leaving a box that carried both labels: its "BG" must be written again.
    const bool rewriteBackground = fgBox_ != 0 && fgBox_ == bgBox_ && box != s.foregroundSlot;
    s.foregroundSlot = static_cast<std::uint8_t>(box);
    fgBox_ = box;
    writeBoxLabel(box, QStringLiteral("FG"), QPoint(5, 1));
    if (rewriteBackground)
        selectBackgroundBox(s.backgroundSlot);
}

void Tteditform::selectBackgroundBox(int box)
{
    if (box < 1 || box > 4)
        return;
    SharedState& s = wb_.state;
    if (bgBox_ != 0 && bgBox_ != fgBox_)
        fillBox(bgBox_, s.palettes.fourEntry(bgBox_));
    const bool rewriteForeground = bgBox_ != 0 && fgBox_ == bgBox_ && box != s.backgroundSlot;
    s.backgroundSlot = static_cast<std::uint8_t>(box);
    bgBox_ = box;
    writeBoxLabel(box, QStringLiteral("BG"), QPoint(5, 14));
    if (rewriteForeground)
        selectForegroundBox(s.foregroundSlot);
}

void Tteditform::selectStripEntries(int foreground, int background)
{
    SharedState& s = wb_.state;
    const int last = stripLayout_.entries() - 1;
    s.foregroundSlot = static_cast<std::uint8_t>(std::clamp(foreground, 0, last));
    s.backgroundSlot = static_cast<std::uint8_t>(std::clamp(background, 0, last));
    const std::span<Colour> entries = stripEntries();
    for (int j = 0; j <= last; ++j)
        fillStripCell(j, entries[static_cast<std::size_t>(j)]);
    if (s.foregroundSlot != s.backgroundSlot) {
        writeStripLabel(QStringLiteral("B"), s.backgroundSlot);
        writeStripLabel(QStringLiteral("F"), s.foregroundSlot);
    } else {
        writeStripLabel(QStringLiteral("BF"), s.foregroundSlot);
    }
    strip_->update();
}

void Tteditform::repaintStrip()
{
    selectStripEntries(wb_.state.foregroundSlot, wb_.state.backgroundSlot);
}

void Tteditform::selectForeground(int slot)
{
    if (stripMode())
        selectStripEntries(slot, wb_.state.backgroundSlot);
    else
        selectForegroundBox(slot);
}

void Tteditform::selectBackground(int slot)
{
    if (stripMode())
        selectStripEntries(wb_.state.foregroundSlot, slot);
    else
        selectBackgroundBox(slot);
}

void Tteditform::layOutStrip()
{
    stripLayout_ = paletteStripLayout(wb_.state.codec);
    const QSize size(stripLayout_.width(), stripLayout_.height());
    if (stripCanvas_.size() != size) {
        stripCanvas_ = QImage(size, QImage::Format_RGB32);
        stripCanvas_.fill(Qt::black);
        strip_->setPictureSize(size);
        palettePanel_->setFixedSize(std::max(kBoxSize, size.width()), kGridSize);
        layout()->activate(); // the window takes its new width now, not at the next event
    }
}

void Tteditform::codecChanged()
{
    const Codec codec = wb_.state.codec;
    const Palettes& p = wb_.state.palettes;
    if (stripMode()) {
        for (ImageBox* box : boxes_)
            box->hide();
        layOutStrip();
        strip_->show();
        selectForeground(stripLayout_.entries() - 1);
        selectBackground(0);
        return;
    }
    strip_->hide();
    palettePanel_->setFixedSize(kBoxSize, kGridSize);
    layout()->activate();
    // The 1-bit codec has two colours only.
    const int shown = bitsPerPixel(codec) == 1 ? 2 : 4;
    for (int n = 1; n <= 4; ++n)
        boxes_[static_cast<std::size_t>(n - 1)]->setVisible(n <= shown);
    selectForeground(shown);
    selectBackground(1);
    for (int n = 1; n <= shown; ++n)
        setFourColour(n, p.fourEntry(n));
}

void Tteditform::installDefaultPalettes()
{
    SharedState& s = wb_.state;
    fgBox_ = 0;
    bgBox_ = 0;
    const auto& four = defaultFourColourPalette();
    for (int n = 1; n <= 4; ++n)
        setFourColour(n, four[static_cast<std::size_t>(n - 1)]);
    s.palettes.sixteen = defaultSixteenColourPalette();
    s.palettes.full = defaultTwoFiftySixColourPalette();
    selectForegroundBox(4);
    selectBackgroundBox(1);
}

// ---- palette mouse handlers ----------------------------------------------------------

void Tteditform::Color1imClick(int tag)
{
    selectForeground(tag);
}

void Tteditform::Color1imContextPopup(int tag)
{
    selectBackground(tag);
}

void Tteditform::Color1imDblClick(int tag)
{
    SharedState& s = wb_.state;
    if (const std::optional<Colour> chosen = wb_.dialogs().chooseColour(this, s.palettes.fourEntry(tag)))
        setFourColour(tag, *chosen);
    if (s.romLoaded)
        wb_.forms.tileMapForm->redrawTileMap();
}

void Tteditform::c16imMouseDown(Qt::MouseButton button, bool doubleClick, QPoint at)
{
    SharedState& s = wb_.state;
    const int entry = stripLayout_.entryAt(at.x(), at.y());
    if (button != Qt::LeftButton) {
        selectBackground(entry);
        return;
    }
    if (doubleClick) {
        Colour& colour = stripEntries()[static_cast<std::size_t>(entry)];
        if (const std::optional<Colour> chosen = wb_.dialogs().chooseColour(this, colour)) {
            colour = *chosen;
            if (s.romLoaded)
                wb_.forms.tileMapForm->redrawTileMap();
        }
    }
    selectForeground(entry);
}
