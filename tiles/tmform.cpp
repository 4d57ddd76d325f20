#include "tiles/tmform.h"

#include "app/forms.h"
#include "app/imagebox.h"
#include "app/keyscrollbar.h"
#include "app/kvrmain.h"
#include "app/numbers.h"
#include "app/windowplace.h"
#include "text/dataf.h"
#include "tiles/teditf.h"
#include "tiles/tilegrid.h"
#include "workspace/workspacef.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QString hex(std::int64_t value, int digits)
{
    return QString::fromStdString(hexText(static_cast<std::uint32_t>(value), digits));
}

QSpinBox* makeGeometryEdit(QWidget* parent, const char* name, int value)
{
    auto* edit = new QSpinBox(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setRange(1, 16);
    edit->setValue(value);
    edit->setFixedWidth(41);
    return edit;
}

QToolButton* makeFlatButton(QWidget* parent, const char* name)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setFixedSize(23, 22);
    button->setEnabled(false);
    return button;
}
} // namespace

Ttilemapform::Ttilemapform(Workbench& workbench, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), wb_(workbench),
      zoom_(kDefaultZoom)
{
    setObjectName(QStringLiteral("tilemapform"));
    setWindowTitle(wb_.text("TileMapForm"));
    setMinimumSize(295, 363);
    buildControls();
    addZoomKeys(*this, [this] { return zoom_; }, [this](int zoom) { setZoom(zoom); });
    // The grid key works from every window, so it lives on the main window,
    // which is shown as long as the program runs.
    auto* gridKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G), parent ? parent : this);
    gridKey->setContext(Qt::ApplicationShortcut);
    connect(gridKey, &QShortcut::activated, this, [this] { setGridLines(!gridLines_); });
}

void Ttilemapform::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 0, 3, 3);
    layout->setSpacing(2);

    auto* top = new QHBoxLayout;
    top->setSpacing(1);
    LeftBtn = makeFlatButton(this, "LeftBtn");
    LeftBtn->setArrowType(Qt::LeftArrow);
    RightBtn = makeFlatButton(this, "RightBtn");
    RightBtn->setArrowType(Qt::RightArrow);
    MinusBtn = makeFlatButton(this, "MinusBtn");
    MinusBtn->setText(QStringLiteral("-"));
    PlusBtn = makeFlatButton(this, "PlusBtn");
    PlusBtn->setText(QStringLiteral("+"));
    Codecbox = new QComboBox(this);
    Codecbox->setObjectName(QStringLiteral("Codecbox"));
    Codecbox->setFixedWidth(131);
    // The built-ins, then the codecs described in files: an item's index is its codec value.
    for (const Codec codec : allCodecs()) {
        const std::string_view name = codecName(codec);
        Codecbox->addItem(QString::fromUtf8(name.data(), static_cast<int>(name.size())));
    }
    Codecbox->setCurrentIndex(codecIndex(Codec::Nes));
    Codecbox->installEventFilter(this);
    for (QWidget* w : {static_cast<QWidget*>(LeftBtn), static_cast<QWidget*>(RightBtn),
                       static_cast<QWidget*>(MinusBtn), static_cast<QWidget*>(PlusBtn)})
        top->addWidget(w);
    top->addStretch();
    top->addWidget(Codecbox);
    layout->addLayout(top);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    TileMap = new ImageBox;
    TileMap->setObjectName(QStringLiteral("TileMap"));
    connect(TileMap, &ImageBox::wheelTurned, this, &Ttilemapform::TileMapWheel);
    connect(TileMap, &ImageBox::zoomWheelTurned, this, &Ttilemapform::TileMapZoomWheel);
    TileMap->setToolTip(wb_.text("TileMapHint"));
    TileMap->setPictureSize(QSize(256, 256));
    TileMap->setPainter([this](QPainter& p, const QRect& r) { paintTileMap(p, r); });
    mapArea_ = new FittingScrollArea(this);
    mapArea_->setFrameShape(QFrame::NoFrame);
    mapArea_->setWidget(TileMap);
    mapArea_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // TMapScroll is the map's only vertical bar; a horizontal one appears
    // only when the map is wider than the window may grow.
    mapArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TMapScroll = new KeyStepScrollBar(this);
    TMapScroll->setObjectName(QStringLiteral("TMapScroll"));
    TMapScroll->setFixedWidth(17);
    TMapScroll->setRange(0, 100);
    TMapScroll->setPageStep(10);
    TMapScroll->setEnabled(false);
    TMapScroll->setStepChooser([this](int key, Qt::KeyboardModifiers m) { chooseScrollStep(key, m); });
    middle->addWidget(mapArea_, 1);
    middle->addWidget(TMapScroll);
    layout->addLayout(middle, 1);

    mbanklab = new QLabel(wb_.text("Tile") + QStringLiteral(": 00 = 0"), this);
    mbanklab->setObjectName(QStringLiteral("mbanklab"));
    layout->addWidget(mbanklab);

    auto* bottom = new QHBoxLayout;
    tlwidth = makeGeometryEdit(this, "tlwidth", 1);
    tlheight = makeGeometryEdit(this, "tlheight", 1);
    twidth = makeGeometryEdit(this, "twidth", 8);
    theight = makeGeometryEdit(this, "theight", 8);
    bottom->addWidget(tlwidth);
    bottom->addWidget(tlheight);
    bottom->addStretch();
    bottom->addWidget(twidth);
    bottom->addWidget(theight);
    layout->addLayout(bottom);

    connect(LeftBtn, &QToolButton::clicked, this, &Ttilemapform::LeftBtnClick);
    connect(RightBtn, &QToolButton::clicked, this, &Ttilemapform::RightBtnClick);
    connect(MinusBtn, &QToolButton::clicked, this, &Ttilemapform::MinusBtnClick);
    connect(PlusBtn, &QToolButton::clicked, this, &Ttilemapform::PlusBtnClick);
    connect(TMapScroll, &QScrollBar::valueChanged, this, &Ttilemapform::TMapScrollChange);
    connect(TileMap, &ImageBox::mousePressed, this, &Ttilemapform::TileMapMouseDown);
    connect(TileMap, &ImageBox::mouseMoved, this, &Ttilemapform::TileMapMouseMove);
    connect(TileMap, &ImageBox::mouseReleased, this, &Ttilemapform::TileMapMouseUp);
    connect(TileMap, &ImageBox::doubleClicked, this, &Ttilemapform::TileMapDblClick);
    connect(Codecbox, &QComboBox::currentIndexChanged, this, &Ttilemapform::CodecboxChange);
    connect(twidth, &QSpinBox::valueChanged, this, &Ttilemapform::twidthChange);
    connect(theight, &QSpinBox::valueChanged, this, &Ttilemapform::theightChange);
    connect(tlwidth, &QSpinBox::valueChanged, this, &Ttilemapform::tlwidthChange);
    connect(tlheight, &QSpinBox::valueChanged, this, &Ttilemapform::tlheightChange);

    MinusBtn->setToolTip(wb_.text("Position") + QStringLiteral(" -1"));
    PlusBtn->setToolTip(wb_.text("Position") + QStringLiteral(" +1"));
    updateShiftHints();
    adjustSize();
}

// ---- drawing operations ----------------------------------------------------

void Ttilemapform::redrawTileMap()
{
    // Nothing is decoded here: each window decodes the blocks it shows when
    // it paints, so a step costs what is on screen, not the whole grid. Only
    // blocks whose bytes or look changed are decoded again; the frames are
    // drawn over the picture.
    wb_.state.tileMap.refresh(wb_.state.tileMapSource());
    framesShown_ = true;
    TileMap->update();
    wb_.forms.dataForm->applyGridSize();
    wb_.forms.dataForm->drawDataMap();
    wb_.forms.tileEditForm->showSelectedTile();
    if (wb_.forms.workspaceForm->isVisible())
        wb_.forms.workspaceForm->redraw();
}

void Ttilemapform::paintTileMap(QPainter& painter, const QRect& exposed)
{
    painter.fillRect(exposed, Qt::black);
    // The blocks under the exposed part, at `zoom` times their size on screen.
    const TileGeometry& geometry = wb_.state.geometry;
    const int zoom = zoom_;
    const int blockWidth = zoom * geometry.tileWidth * geometry.blockWidth;
    const int blockHeight = zoom * geometry.tileHeight * geometry.blockHeight;
    std::bitset<256> shown;
    for (int row = std::max(0, exposed.top() / blockHeight); row <= std::min(15, exposed.bottom() / blockHeight); ++row)
        for (int column = std::max(0, exposed.left() / blockWidth);
             column <= std::min(15, exposed.right() / blockWidth); ++column)
            shown.set(static_cast<std::size_t>(row * 16 + column));
    SharedState& s = wb_.state;
    const Bitmap& bitmap = s.tileMap.ensureBlocks(s.tileMapSource(), shown);
    // Only the exposed part of the bitmap is scaled.
    const QImage image(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width, bitmap.height,
                       bitmap.width * 4, QImage::Format_RGB32);
    const QRect source = QRect(exposed.left() / zoom, exposed.top() / zoom, exposed.width() / zoom + 2,
                               exposed.height() / zoom + 2)
                             .intersected(image.rect());
    if (!source.isEmpty())
        painter.drawImage(QRect(source.topLeft() * zoom, source.size() * zoom), image, source);
    if (gridLines_)
        drawGridLines(painter, exposed);
    if (!framesShown_)
        return;
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    const TileGeometry& g = wb_.state.geometry;
    for (const GridRect& frame : {markedBlockFrame(g, wb_.state.markedBlock, zoom),
                                  selectedTileFrame(g, wb_.state.selectedTile, zoom)})
        painter.drawRect(frame.left, frame.top, frame.width - 1, frame.height - 1);
}

void Ttilemapform::drawGridLines(QPainter& painter, const QRect& exposed)
{
    // One grey screen pixel at the left and top edge of every tile but the
    // first: the frames, drawn after, stay on top.
    const TileGeometry& g = wb_.state.geometry;
    const int tileWidth = zoom_ * g.tileWidth;
    const int tileHeight = zoom_ * g.tileHeight;
    const QRect map(QPoint(0, 0), TileMap->size());
    const QRect area = exposed.intersected(map);
    painter.setPen(QPen(QColor(96, 96, 96), 1));
    for (int x = (area.left() / tileWidth + 1) * tileWidth; x <= area.right(); x += tileWidth)
        painter.drawLine(x, area.top(), x, area.bottom());
    for (int y = (area.top() / tileHeight + 1) * tileHeight; y <= area.bottom(); y += tileHeight)
        painter.drawLine(area.left(), y, area.right(), y);
}

void Ttilemapform::setGridLines(bool shown)
{
    gridLines_ = shown;
    TileMap->update();
    wb_.forms.tileEditForm->setGridLines(shown);
}

void Ttilemapform::setZoom(int zoom)
{
    const int wanted = std::clamp(zoom, kSmallestZoom, kLargestZoom);
    if (wanted == zoom_)
        return;
    zoom_ = wanted;
    resizePicture();
    TileMap->update();
}

void Ttilemapform::resizePicture()
{
    const TileGeometry& g = wb_.state.geometry;
    TileMap->setPictureSize(QSize(zoom_ * mapPixelWidth(g), zoom_ * mapPixelHeight(g)));
    // The window follows the map, up to its largest size.
    mapArea_->updateGeometry();
    fitToContents(*this);
}

void Ttilemapform::updateCaption()
{
    setWindowTitle(wb_.text("TileMapForm") + QStringLiteral(" - [") + hex(wb_.state.tileMapPosition, 8) +
                   QStringLiteral(" / ") + hex(wb_.state.romSize(), 8) + QStringLiteral("]"));
}

void Ttilemapform::setTileMapPosition(std::int32_t offset)
{
    wb_.state.tileMapPosition = offset;
    wb_.forms.mainForm->buildMainTitle();
    updateCaption();
    redrawTileMap();
}

void Ttilemapform::setMarkedBlock(int number)
{
    if (!wb_.state.romLoaded)
        return;
    wb_.state.markedBlock = number;
    redrawTileMap();
}

void Ttilemapform::setCodec(Codec codec)
{
    SharedState& s = wb_.state;
    s.codec = codec;
    wb_.forms.tileEditForm->codecChanged();
    updateShiftHints();
    s.tileMap.refresh(s.tileMapSource());
    wb_.forms.tileEditForm->updateRotateButtons();
    if (s.romLoaded) {
        updateTileMapScrollRange();
        redrawTileMap();
    }
}

void Ttilemapform::updateTileMapScrollRange()
{
    const SharedState& s = wb_.state;
    const TileScrollRange range = tileMapScrollRange(s.romSize(), s.codec, s.geometry);
    // An image smaller than one screen scrolls nowhere rather than failing.
    TMapScroll->setMaximum(range.maximum);
    TMapScroll->setPageStep(range.largeStep);
    TMapScroll->setSingleStep(range.smallStep);
    enableControls();
}

void Ttilemapform::enableControls()
{
    for (QWidget* w : {static_cast<QWidget*>(TMapScroll), static_cast<QWidget*>(LeftBtn),
                       static_cast<QWidget*>(RightBtn), static_cast<QWidget*>(PlusBtn),
                       static_cast<QWidget*>(MinusBtn)})
        w->setEnabled(true);
}

void Ttilemapform::moveTileMapScroll(std::int64_t position)
{
    const std::int64_t clamped =
        std::clamp<std::int64_t>(position, TMapScroll->minimum(), TMapScroll->maximum());
    TMapScroll->setValue(static_cast<int>(clamped));
}

void Ttilemapform::showCodecInBox(Codec codec)
{
    const QSignalBlocker blocker(Codecbox);
    Codecbox->setCurrentIndex(codecIndex(codec));
}

void Ttilemapform::focusScrollBar()
{
    if (TMapScroll->isEnabled())
        TMapScroll->setFocus(Qt::OtherFocusReason);
}

std::int32_t Ttilemapform::shiftAmount() const
{
    return shiftHintNumber(wb_.state.codec, wb_.state.geometry);
}

void Ttilemapform::updateShiftHints()
{
    const QString number = QString::number(shiftAmount());
    LeftBtn->setToolTip(wb_.text("Position") + QStringLiteral(" -") + number);
    RightBtn->setToolTip(wb_.text("Position") + QStringLiteral(" +") + number);
}

// ---- buttons and scroll bar ------------------------------------------------

void Ttilemapform::LeftBtnClick()
{
    moveTileMapScroll(static_cast<std::int64_t>(wb_.state.tileMapPosition) - shiftAmount());
}

void Ttilemapform::RightBtnClick()
{
    moveTileMapScroll(static_cast<std::int64_t>(wb_.state.tileMapPosition) + shiftAmount());
}

void Ttilemapform::MinusBtnClick()
{
    moveTileMapScroll(static_cast<std::int64_t>(wb_.state.tileMapPosition) - 1);
}

void Ttilemapform::PlusBtnClick()
{
    moveTileMapScroll(static_cast<std::int64_t>(wb_.state.tileMapPosition) + 1);
}

void Ttilemapform::TMapScrollChange(int position)
{
    setTileMapPosition(position);
    updateTileMapScrollRange();
}

void Ttilemapform::TileMapWheel(int notches)
{
    // One row of blocks per notch, as the arrow keys move.
    const SharedState& s = wb_.state;
    if (s.romLoaded)
        moveTileMapScroll(static_cast<std::int64_t>(s.tileMapPosition) -
                          static_cast<std::int64_t>(notches) * tileMapKeyStep(s.codec, s.geometry, ScrollKey::Vertical));
}

void Ttilemapform::TileMapZoomWheel(int notches)
{
    setZoom(zoomedBy(zoom_, notches));
}

void Ttilemapform::chooseScrollStep(int key, Qt::KeyboardModifiers modifiers)
{
    const SharedState& s = wb_.state;
    ScrollKey kind;
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        const bool onlyCtrl = (modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier &&
                              QApplication::mouseButtons() == Qt::NoButton;
        kind = onlyCtrl ? ScrollKey::HorizontalFine : ScrollKey::Horizontal;
    } else if (key == Qt::Key_Up || key == Qt::Key_Down) {
        kind = ScrollKey::Vertical;
    } else {
        return;
    }
    TMapScroll->setSingleStep(tileMapKeyStep(s.codec, s.geometry, kind));
}

// ---- mouse -------------------------------------------------------------------

void Ttilemapform::updateMouseLabel()
{
    const TileGeometry& g = wb_.state.geometry;
    const int block = blockUnderMouse(g, lastMouseX_, lastMouseY_, zoom_);
    const std::int32_t tile = tileUnderMouse(g, lastMouseX_, lastMouseY_, zoom_);
    mbanklab->setText(wb_.text("Block") + QStringLiteral(": ") + hex(block, 2) + QStringLiteral(" = ") +
                      QString::number(block) + QStringLiteral("  ") + wb_.text("Tile") + QStringLiteral(": ") +
                      hex(tile, 4) + QStringLiteral(" = ") + QString::number(tile));
}

void Ttilemapform::showNote(const QString& text)
{
    mbanklab->setText(text);
}

void Ttilemapform::TileMapMouseMove(QMouseEvent* event)
{
    SharedState& s = wb_.state;
    if (s.clickGuard)
        return;
    lastMouseX_ = event->position().toPoint().x();
    lastMouseY_ = event->position().toPoint().y();
    if (s.romLoaded && !dragging_ && (event->buttons() & Qt::LeftButton) &&
        bytesPerTile(s.codec, s.geometry).has_value()) {
        dragging_ = true;
        return;
    }
    updateMouseLabel();
}

void Ttilemapform::TileMapMouseDown(QMouseEvent* event)
{
    // The press point is where the user clicked, even if no move reported
    // it (moves are swallowed while the click guard is set).
    lastMouseX_ = event->position().toPoint().x();
    lastMouseY_ = event->position().toPoint().y();
    const TileGeometry& g = wb_.state.geometry;
    wb_.state.selectedTile = tileUnderMouse(g, lastMouseX_, lastMouseY_, zoom_);
    setMarkedBlock(blockUnderMouse(g, lastMouseX_, lastMouseY_, zoom_));
    focusScrollBar();
}

void Ttilemapform::TileMapMouseUp(QMouseEvent* event)
{
    SharedState& s = wb_.state;
    if (dragging_) {
        const QPoint at = event->position().toPoint();
        const std::optional<std::int32_t> tileBytes = bytesPerTile(s.codec, s.geometry);
        const bool onMap = QRect(QPoint(0, 0), TileMap->size()).contains(at);
        const std::int32_t target = tileUnderMouse(s.geometry, at.x(), at.y(), zoom_);
        // Only tiles on the map and wholly inside the image are exchanged.
        bool swapped = false;
        if (onMap && tileBytes && target != s.selectedTile) {
            const std::int64_t from = s.tileMapPosition + static_cast<std::int64_t>(s.selectedTile) * *tileBytes;
            const std::int64_t to = s.tileMapPosition + static_cast<std::int64_t>(target) * *tileBytes;
            s.rom.edit("StepSwapTiles", {{from, *tileBytes}, {to, *tileBytes}}, [&](std::span<std::uint8_t> rom) {
                swapped = swapTiles(rom, s.tileMapPosition, *tileBytes, s.selectedTile, target);
            });
        }
        if (swapped) {
            s.selectedTile = target;
            focusScrollBar();
            setMarkedBlock(blockUnderMouse(s.geometry, at.x(), at.y(), zoom_));
        }
    }
    dragging_ = false;
    s.clickGuard = false;
}

void Ttilemapform::TileMapDblClick(QMouseEvent* event)
{
    SharedState& s = wb_.state;
    if (!s.romLoaded || event->button() != Qt::LeftButton)
        return;
    // The marked block as one byte, or with a tile table its sequence.
    const std::vector<std::uint8_t> bytes =
        s.tileTableLoaded ? tileSequenceBytes(s.tileTable[static_cast<std::size_t>(s.markedBlock & 0xFF)])
                          : std::vector<std::uint8_t>{static_cast<std::uint8_t>(s.markedBlock)};
    const bool toWorkspace = wb_.forms.mainForm->workspaceSwitchedOn();
    ByteDocument& target = toWorkspace ? static_cast<ByteDocument&>(s.workspace) : s.rom;
    const std::int64_t at = toWorkspace ? s.workspaceCursor : s.selectedPosition();
    // A sequence is written whole or not at all.
    if (at < 0 || at + static_cast<std::int64_t>(bytes.size()) > static_cast<std::int64_t>(target.size())) {
        wb_.dialogs().showMessage(
            this, wb_.text(toWorkspace ? "BlockPastWorkspaceEnd" : "BlockPastRomEnd")
                      .arg(QString::fromStdString(hexText(static_cast<std::uint32_t>(s.markedBlock), 2)))
                      .arg(bytes.size()));
        return;
    }
    const bool changed = target.edit("StepPlaceBlock", {{at, static_cast<std::int64_t>(bytes.size())}},
                                     [&](std::span<std::uint8_t> buffer) { std::copy(bytes.begin(), bytes.end(), buffer.begin() + at); });
    if (!changed)
        return;
    if (toWorkspace) {
        wb_.forms.workspaceForm->redraw();
        return;
    }
    updateCaption();
    wb_.forms.dataForm->drawDataMap();
}

// ---- codec box and geometry ----------------------------------------------------

bool Ttilemapform::eventFilter(QObject* watched, QEvent* event)
{
    // Typed characters never change the codec; only choosing an item does.
    if (watched == Codecbox && event->type() == QEvent::KeyPress &&
        !static_cast<QKeyEvent*>(event)->text().isEmpty() &&
        static_cast<QKeyEvent*>(event)->text().at(0).isPrint())
        return true;
    return QWidget::eventFilter(watched, event);
}

void Ttilemapform::CodecboxChange(int index)
{
    // The box lists the codecs in their own order; -1 is "nothing chosen".
    const std::optional<Codec> chosen = codecFromIndex(index);
    if (chosen && *chosen != wb_.state.codec)
        setCodec(*chosen);
}

void Ttilemapform::applyGeometry()
{
    SharedState& s = wb_.state;
    const TileGeometry& g = s.geometry;
    // Fewer tiles on the map now: the selection goes back to the first one.
    if (s.selectedTile >= tilesOnScreen(g))
        s.selectedTile = 0;
    s.tileMap.refresh(s.tileMapSource());
    framesShown_ = false;
    TileMap->update();
    updateShiftHints();
    wb_.forms.tileEditForm->updateRotateButtons();
    resizePicture();
    if (s.romLoaded) {
        updateTileMapScrollRange();
        redrawTileMap();
    }
}

void Ttilemapform::twidthChange(int value)
{
    wb_.state.geometry.tileWidth = value;
    applyGeometry();
}

void Ttilemapform::theightChange(int value)
{
    wb_.state.geometry.tileHeight = value;
    applyGeometry();
}

void Ttilemapform::tlwidthChange(int)
{
    TileGeometry& g = wb_.state.geometry;
    g.blockWidth = tlwidth->value();
    g.blockHeight = tlheight->value();
    g.tileWidth = twidth->value();
    g.tileHeight = theight->value();
    applyGeometry();
}

void Ttilemapform::tlheightChange(int value)
{
    tlwidthChange(value);
}
