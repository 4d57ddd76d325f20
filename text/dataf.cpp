#include "text/dataf.h"

#include "app/forms.h"
#include "app/imagebox.h"
#include "app/keyscrollbar.h"
#include "app/kvrmain.h"
#include "app/numbers.h"
#include "app/windowplace.h"
#include "pointers/pointerform.h"
#include "text/codecells.h"
#include "workspace/codemap.h"
#include "tiles/tmform.h"
#include "workspace/workspacef.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kArrowImageSize = 16;

QString hex(std::int64_t value, int digits)
{
    return QString::fromStdString(hexText(static_cast<std::uint32_t>(value), digits));
}

bool isUpperHexDigit(QChar ch)
{
    return (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || (ch >= QLatin1Char('A') && ch <= QLatin1Char('F'));
}

QFont smallFont()
{
    return QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
}


QSpinBox* makeSizeEdit(QWidget* parent, const char* name, int maximum, int value)
{
    auto* edit = new QSpinBox(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setRange(1, maximum);
    edit->setValue(value);
    return edit;
}

// A small filled arrow from `back` to `tip`.
void drawArrow(QPainter& painter, QPointF tip, QPointF back)
{
    const QPointF along = tip - back;
    const QPointF across(-along.y() / 2, along.x() / 2);
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(back + across);
    path.lineTo(back - across);
    path.closeSubpath();
    painter.fillPath(path, Qt::black);
}

ImageBox* makeGlyphImage(QWidget* parent, const char* name, std::function<void(QPainter&)> glyph)
{
    auto* image = new ImageBox(parent);
    image->setObjectName(QString::fromLatin1(name));
    image->setPictureSize(QSize(kArrowImageSize, kArrowImageSize));
    image->setPainter([glyph = std::move(glyph)](QPainter& painter, const QRect& exposed) {
        painter.fillRect(exposed, QApplication::palette().color(QPalette::Window));
        painter.setRenderHint(QPainter::Antialiasing);
        glyph(painter);
    });
    return image;
}
} // namespace

Tdataform::Tdataform(Workbench& workbench, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), wb_(workbench)
{
    setObjectName(QStringLiteral("dataform"));
    setWindowTitle(wb_.text("DataForm"));
    setMinimumSize(512, 546);
    setMaximumSize(1024, 768);
    setAcceptDrops(true);
    buildControls();
    addZoomKeys(*this, [this] { return zoom_; }, [this](int zoom) { setZoom(zoom); });
}

void Tdataform::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    // Panel1: the grid in a scroll area and DataScroll beside it.
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* panel = new QHBoxLayout(Panel1);
    panel->setContentsMargins(0, 0, 0, 0);
    panel->setSpacing(0);
    DataMap = new ImageBox;
    DataMap->setObjectName(QStringLiteral("DataMap"));
    DataMap->setPainter([this](QPainter& p, const QRect& r) { paintDataMap(p, r); });
    DataMap->setToolTip(wb_.text("ZoomHint"));
    mapArea_ = new FittingScrollArea(Panel1);
    mapArea_->setFrameShape(QFrame::NoFrame);
    mapArea_->setWidget(DataMap);
    mapArea_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    DataScroll = new KeyStepScrollBar(Panel1);
    DataScroll->setObjectName(QStringLiteral("DataScroll"));
    DataScroll->setFixedWidth(17);
    DataScroll->setRange(0, 0);
    DataScroll->setPageStep(960);
    DataScroll->setSingleStep(32);
    DataScroll->setEnabled(false);
    DataScroll->setStepChooser([this](int key, Qt::KeyboardModifiers) { chooseScrollStep(key); });
    // DataScroll runs beside the grid, no longer than the grid is high.
    auto* scrollColumn = new QVBoxLayout;
    scrollColumn->setContentsMargins(0, 0, 0, 0);
    scrollColumn->addWidget(DataScroll, 1);
    scrollColumn->addStretch(0);
    panel->addWidget(mapArea_, 1);
    panel->addLayout(scrollColumn);
    layout->addWidget(Panel1, 1);

    // otherpan: the arrow images, the sizes, the byte editor and readouts.
    otherpan = new QWidget(this);
    otherpan->setObjectName(QStringLiteral("otherpan"));
    auto* controls = new QVBoxLayout(otherpan);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->setSpacing(2);
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    Image1 = makeGlyphImage(otherpan, "Image1", [](QPainter& p) {
        drawArrow(p, {8, 0.5}, {8, 6.5});
        drawArrow(p, {8, 15.5}, {8, 9.5});
    });
    Image1->setToolTip(wb_.text("UpDown"));
    Image2 = makeGlyphImage(otherpan, "Image2", [](QPainter& p) {
        drawArrow(p, {0.5, 8}, {6.5, 8});
        drawArrow(p, {15.5, 8}, {9.5, 8});
    });
    Image2->setToolTip(wb_.text("LeftRight"));
    Image3 = makeGlyphImage(otherpan, "Image3", [](QPainter& p) {
        p.setPen(QPen(Qt::black, 1));
        for (int i = 2; i <= 14; i += 4) {
            p.drawLine(QPointF(2, i), QPointF(14, i));
            p.drawLine(QPointF(i, 2), QPointF(i, 14));
        }
    });
    dLeftBtn = new QToolButton(otherpan);
    dLeftBtn->setObjectName(QStringLiteral("dLeftBtn"));
    dLeftBtn->setToolTip(wb_.text("Position") + QStringLiteral(" -1"));
    dRightBtn = new QToolButton(otherpan);
    dRightBtn->setObjectName(QStringLiteral("dRightBtn"));
    dRightBtn->setToolTip(wb_.text("Position") + QStringLiteral(" +1"));
    for (QToolButton* button : {dLeftBtn, dRightBtn}) {
        button->setEnabled(false);
        button->setVisible(false); // reached through the menu items Shift Left / Shift Right
    }
    WidthEdit = makeSizeEdit(otherpan, "WidthEdit", kMaxGridCells, 32);
    HeightEdit = makeSizeEdit(otherpan, "HeightEdit", kMaxGridCells, 32);
    BlockWidth = makeSizeEdit(otherpan, "BlockWidth", kMaxCellGroupSide, 1);
    BlockHeight = makeSizeEdit(otherpan, "BlockHeight", kMaxCellGroupSide, 1);
    hexed = new QLineEdit(QStringLiteral("00"), otherpan);
    hexed->setObjectName(QStringLiteral("hexed"));
    hexed->setMaxLength(2);
    hexed->setFixedWidth(hexed->fontMetrics().horizontalAdvance(QStringLiteral("WWW")) + 8);
    hexed->setEnabled(false);
    QPalette idle = hexed->palette();
    idle.setColor(QPalette::Base, idle.color(QPalette::Button));
    hexed->setPalette(idle);
    hexed->installEventFilter(this);
    SignL = new QLabel(QStringLiteral("= 0"), otherpan);
    SignL->setObjectName(QStringLiteral("SignL"));
    SignL->setMinimumWidth(SignL->fontMetrics().horizontalAdvance(QStringLiteral("= 000")));
    Label5 = new QLabel(QStringLiteral("00=0"), otherpan);
    Label5->setObjectName(QStringLiteral("Label5"));
    QFont bold = Label5->font();
    bold.setBold(true);
    Label5->setFont(bold);
    Label5->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(QStringLiteral("FF=255")));
    for (QWidget* w : std::initializer_list<QWidget*>{Image1, Image2, Image3, dLeftBtn, dRightBtn, WidthEdit,
                                                      HeightEdit, BlockWidth, BlockHeight})
        row->addWidget(w);
    row->addStretch();
    for (QWidget* w : std::initializer_list<QWidget*>{hexed, SignL, Label5})
        row->addWidget(w);
    controls->addLayout(row);

    auto* readouts = new QHBoxLayout;
    readouts->setSpacing(16);
    Label1 = new QLabel(wb_.text("Position") + QStringLiteral(": 00000000"), otherpan);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(wb_.text("SelPosition") + QStringLiteral(": 00000000"), otherpan);
    Label2->setObjectName(QStringLiteral("Label2"));
    for (QLabel* label : {Label1, Label2}) {
        label->setFont(smallFont());
        readouts->addWidget(label);
    }
    readouts->addStretch();
    controls->addLayout(readouts);
    layout->addWidget(otherpan);

    connect(DataScroll, &QScrollBar::valueChanged, this, &Tdataform::DataScrollChange);
    connect(DataMap, &ImageBox::mousePressed, this, &Tdataform::DataMapMouseDown);
    connect(DataMap, &ImageBox::mouseMoved, this, &Tdataform::DataMapMouseMove);
    connect(DataMap, &ImageBox::mouseReleased, this, &Tdataform::DataMapMouseUp);
    connect(DataMap, &ImageBox::wheelTurned, this, &Tdataform::DataMapWheel);
    connect(DataMap, &ImageBox::zoomWheelTurned, this, &Tdataform::DataMapZoomWheel);
    connect(Image1, &ImageBox::mousePressed, this, &Tdataform::Image1MouseDown);
    connect(Image2, &ImageBox::mousePressed, this, &Tdataform::Image2MouseDown);
    connect(dLeftBtn, &QToolButton::clicked, this, &Tdataform::dLeftBtnClick);
    connect(dRightBtn, &QToolButton::clicked, this, &Tdataform::dRightBtnClick);
    connect(WidthEdit, &QSpinBox::valueChanged, this, &Tdataform::setDataMapWidth);
    connect(HeightEdit, &QSpinBox::valueChanged, this, &Tdataform::setDataMapHeight);
    connect(BlockWidth, &QSpinBox::valueChanged, this, &Tdataform::BlockWidthChange);
    connect(BlockHeight, &QSpinBox::valueChanged, this, &Tdataform::BlockHeightChange);
    connect(hexed, &QLineEdit::textChanged, this, &Tdataform::hexedChange);

    setDataMapWidth(WidthEdit->value());
    setDataMapHeight(HeightEdit->value());
}

CellGrid Tdataform::grid() const
{
    const SharedState& s = wb_.state;
    return CellGrid{s.dataMapWidth, s.dataMapHeight, s.cellGroupWidth, s.cellGroupHeight};
}

std::optional<std::uint8_t> Tdataform::byteAt(std::int64_t offset) const
{
    const SharedState& s = wb_.state;
    if (!s.romLoaded || offset < 0 || offset >= s.romSize())
        return std::nullopt;
    return s.rom[static_cast<std::size_t>(offset)];
}

void Tdataform::showPosition(QLabel* label, const char* key, std::int64_t offset)
{
    label->setText(wb_.text(key) + QStringLiteral(": ") + hex(offset, 8));
}

void Tdataform::redrawWorkspaceIfShown()
{
    if (wb_.forms.workspaceForm && wb_.forms.workspaceForm->isVisible())
        wb_.forms.workspaceForm->redraw();
}

// ---- drawing -------------------------------------------------------------------

void Tdataform::drawDataMap()
{
    SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    const CellGrid g = grid();
    // One code per cell: a byte, or a tile table sequence of several bytes.
    // Cells past the end of the image stay black.
    cellCodes_ = readCellCodes(s.rom, static_cast<std::size_t>(std::max(0, s.dataPosition)),
                               static_cast<std::size_t>(g.cellCount()), s.tileTableInUse());
    drawnGrid_ = g;
    readSequenceCells();

    if (s.selectedCell >= g.cellCount())
        s.selectedCell = g.cellCount() - 1;
    // The selection stays on a byte of the image, also when the image is
    // smaller than the grid.
    if (s.selectedPosition() >= s.romSize())
        s.selectedCell = std::max(0, s.romSize() - 1 - s.dataPosition);
    if (s.selectedCell < 0)
        s.selectedCell = 0;
    DataMap->update();
    showSelectedByte();
    // Every change of the image passes here, also those that skip the tile map.
    if (wb_.forms.pointerForm)
        wb_.forms.pointerForm->imageChanged();
}

void Tdataform::readSequenceCells()
{
    const SharedState& s = wb_.state;
    sequenceStart_.clear();
    sequenceText_.clear();
    // A tile table gives each cell a code of its own already.
    if (!s.tableLoaded || !s.tableMatcher.hasSequences() || s.tileTableLoaded || s.dataPosition < 0)
        return;
    const std::span<const std::uint8_t> bytes =
        std::span<const std::uint8_t>(s.rom).subspan(std::min<std::size_t>(s.rom.size(), static_cast<std::size_t>(s.dataPosition)));
    const std::size_t cells = std::min(cellCodes_.size(), bytes.size());
    sequenceStart_.assign(cellCodes_.size(), -1);
    sequenceText_.assign(cellCodes_.size(), QString());
    // Decoding starts at the first cell shown; a sequence never runs past
    // the image.
    for (std::size_t cell = 0; cell < cells;) {
        const ImageMatch code = s.tableMatcher.decodeAt(bytes, cell);
        if (code.code.size > 1) {
            sequenceText_[cell] = firstCharacter(*code.text);
            for (std::size_t k = 0; k < code.code.size && cell + k < sequenceStart_.size(); ++k)
                sequenceStart_[cell + k] = static_cast<std::int32_t>(cell);
        }
        cell += code.code.size;
    }
}

void Tdataform::showSelectedByte()
{
    const std::optional<std::uint8_t> byte = byteAt(wb_.state.selectedPosition());
    SignL->setText(QStringLiteral("= ") + (byte ? QString::number(*byte) : QString()));
    hexedTag_ = 0;
    hexed->setText(byte ? hex(*byte, 2) : QString());
    hexedTag_ = 1;
}

void Tdataform::paintDataMap(QPainter& painter, const QRect& exposed)
{
    painter.fillRect(exposed, Qt::black);
    if (cellCodes_.empty())
        return;
    const TileGeometry& tiles = wb_.state.geometry;
    const int w = cellPixelWidth(tiles, zoom_);
    const int h = cellPixelHeight(tiles, zoom_);
    const CodeCellPainter cells(wb_, wb_.forms.mainForm && wb_.forms.mainForm->builtInFontChosen(), &glyphs_);
    cells.begin(painter);
    for (std::int32_t n = 0; n < drawnGrid_.cellCount(); ++n) {
        const CellPlace place = cellPlace(drawnGrid_, n);
        const QRect cell(place.column * w, place.row * h, w, h);
        const int code = cellCodes_[static_cast<std::size_t>(n)];
        if (code < 0 || !cell.intersects(exposed))
            continue;
        if (cells.textMode() && !sequenceStart_.empty() && sequenceStart_[static_cast<std::size_t>(n)] >= 0)
            cells.paintSequenceCell(painter, cell, sequenceStart_[static_cast<std::size_t>(n)] == n
                                                       ? sequenceText_[static_cast<std::size_t>(n)]
                                                       : QString());
        else
            cells.paint(painter, cell, code);
    }

    const std::int32_t selected = wb_.state.selectedCell;
    if (selected < 0 || selected >= drawnGrid_.cellCount())
        return;
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    std::vector<GridRect> frames{groupFrame(drawnGrid_, tiles, selected, zoom_)};
    if (drawnGrid_.groupWidth * drawnGrid_.groupHeight > 1)
        frames.push_back(cellFrame(drawnGrid_, tiles, selected, zoom_));
    for (const GridRect& frame : frames)
        painter.drawRect(frame.left, frame.top, frame.width - 1, frame.height - 1);
}

int Tdataform::cellCode(std::int32_t cell) const
{
    if (cell < 0 || cell >= static_cast<std::int32_t>(cellCodes_.size()))
        return -1;
    return cellCodes_[static_cast<std::size_t>(cell)];
}

QString Tdataform::cellCharacter(std::int32_t cell) const
{
    const int code = cellCode(cell);
    if (code >= 0 && !sequenceStart_.empty() && sequenceStart_[static_cast<std::size_t>(cell)] >= 0)
        return sequenceStart_[static_cast<std::size_t>(cell)] == cell ? sequenceText_[static_cast<std::size_t>(cell)]
                                                                      : QString(kContinuationMark);
    return code < 0 ? QString() : CodeCellPainter(wb_, true).character(code);
}

// ---- position and scrolling --------------------------------------------------------

void Tdataform::updateCaption()
{
    const SharedState& s = wb_.state;
    setWindowTitle(wb_.text("DataForm") + QStringLiteral(" - [") + hex(s.dataPosition, 8) + QStringLiteral(" / ") +
                   hex(s.romSize(), 8) + QStringLiteral("]"));
}

void Tdataform::setDataPosition(std::int32_t position)
{
    SharedState& s = wb_.state;
    s.dataPosition = position;
    updateCaption();
    showPosition(Label1, "Position", s.selectedPosition());
    updateDataScrollRange();
    drawDataMap();
    showPosition(Label2, "SelPosition", s.selectedPosition());
}

void Tdataform::DataScrollChange(int position)
{
    setDataPosition(position);
}

void Tdataform::updateDataScrollRange()
{
    const DataScrollRange range = dataScrollRange(wb_.state.romSize(), grid());
    DataScroll->setMaximum(range.maximum);
    DataScroll->setPageStep(range.largeStep);
    DataScroll->setSingleStep(range.smallStep);
    for (QWidget* w : std::initializer_list<QWidget*>{DataScroll, dLeftBtn, dRightBtn, hexed})
        w->setEnabled(true);
    hexed->setPalette(QPalette());
}

void Tdataform::moveDataScroll(std::int64_t position)
{
    const std::int64_t clamped = std::clamp<std::int64_t>(position, DataScroll->minimum(), DataScroll->maximum());
    DataScroll->setValue(static_cast<int>(clamped));
}

void Tdataform::DataMapWheel(int notches)
{
    // One row of cells per notch, as the arrow keys move.
    const SharedState& s = wb_.state;
    if (s.romLoaded)
        moveDataScroll(static_cast<std::int64_t>(s.dataPosition) -
                       static_cast<std::int64_t>(notches) * dataScrollKeyStep(grid(), DataScrollKey::Vertical));
}

void Tdataform::DataMapZoomWheel(int notches)
{
    setZoom(zoomedBy(zoom_, notches));
}

void Tdataform::setZoom(int zoom)
{
    const int wanted = std::clamp(zoom, kSmallestZoom, kLargestZoom);
    if (wanted == zoom_)
        return;
    zoom_ = wanted;
    resizePicture();
    DataMap->update();
}

void Tdataform::chooseScrollStep(int key)
{
    if (key == Qt::Key_Left || key == Qt::Key_Right)
        DataScroll->setSingleStep(dataScrollKeyStep(grid(), DataScrollKey::Horizontal));
    else if (key == Qt::Key_Up || key == Qt::Key_Down)
        DataScroll->setSingleStep(dataScrollKeyStep(grid(), DataScrollKey::Vertical));
}

void Tdataform::Image1MouseDown(QMouseEvent* event)
{
    const SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    const bool upperHalf = event->position().y() < kArrowImageSize / 2;
    moveDataScroll(static_cast<std::int64_t>(s.dataPosition) + (upperHalf ? -s.dataMapWidth : s.dataMapWidth));
}

void Tdataform::Image2MouseDown(QMouseEvent* event)
{
    const SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    const bool leftHalf = event->position().x() < kArrowImageSize / 2;
    moveDataScroll(static_cast<std::int64_t>(s.dataPosition) + (leftHalf ? -1 : 1));
}

void Tdataform::dLeftBtnClick()
{
    if (wb_.state.romLoaded)
        moveDataScroll(static_cast<std::int64_t>(wb_.state.dataPosition) - 1);
}

void Tdataform::dRightBtnClick()
{
    if (wb_.state.romLoaded)
        moveDataScroll(static_cast<std::int64_t>(wb_.state.dataPosition) + 1);
}

void Tdataform::showSearchHit(std::int64_t position)
{
    SharedState& s = wb_.state;
    if (!s.romLoaded || position < 0 || position >= s.romSize())
        return;
    DataScroll->setFocus(Qt::OtherFocusReason);
    moveDataScroll(position);
    // Within the last screenful the bar stops short, so the hit lies further in.
    setSelectedCell(static_cast<std::int32_t>(position - s.dataPosition));
    Label1->setText(wb_.text("Position") + QStringLiteral(": ") + hex(s.selectedPosition(), 6));
    markSelectedCode(false);
}

void Tdataform::setSelectedCell(std::int32_t cell)
{
    if (!wb_.state.romLoaded)
        return;
    wb_.state.selectedCell = cell;
    drawDataMap();
}

// ---- mouse -------------------------------------------------------------------------

void Tdataform::DataMapMouseMove(QMouseEvent* event)
{
    const SharedState& s = wb_.state;
    lastMouseX_ = event->position().toPoint().x();
    lastMouseY_ = event->position().toPoint().y();
    shiftClick_ = event->modifiers().testFlag(Qt::ShiftModifier);
    if (!s.romLoaded)
        return;
    const std::optional<std::int32_t> cell = cellUnderPixel(grid(), s.geometry, lastMouseX_, lastMouseY_, zoom_);
    if (!cell)
        return;
    const std::int64_t offset = static_cast<std::int64_t>(s.dataPosition) + *cell;
    // Cells past the end of the image have no value to show.
    const std::optional<std::uint8_t> byte = byteAt(offset);
    Label5->setText(byte ? hex(*byte, 2) + QStringLiteral("=") + QString::number(*byte) : QString());
    showPosition(Label1, "Position", offset);
}

void Tdataform::DataMapMouseDown(QMouseEvent* event)
{
    // The press is a mouse position too: a click without a move before it
    // still acts on the cell under the pointer.
    lastMouseX_ = event->position().toPoint().x();
    lastMouseY_ = event->position().toPoint().y();
    shiftClick_ = event->modifiers().testFlag(Qt::ShiftModifier);
    // Only the left button clicks a cell.
    pressedOnMap_ = event->button() == Qt::LeftButton;
}

void Tdataform::DataMapMouseUp(QMouseEvent* event)
{
    // A click is a press and a release on the grid.
    const bool click = pressedOnMap_ && DataMap->rect().contains(event->position().toPoint());
    pressedOnMap_ = false;
    if (click)
        DataMapClick();
}

void Tdataform::DataMapClick()
{
    SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    DataScroll->setFocus(Qt::MouseFocusReason);
    const std::optional<std::int32_t> cell = cellUnderPixel(grid(), s.geometry, lastMouseX_, lastMouseY_, zoom_);
    if (!cell)
        return;
    if (shiftClick_ && *cell > s.selectedCell) {
        wb_.forms.mainForm->showMaxStringLength(*cell - s.selectedCell + 1);
        return;
    }
    // Cells past the end of the image hold no byte to select.
    if (!byteAt(static_cast<std::int64_t>(s.dataPosition) + *cell))
        return;
    s.selectedCell = *cell;
    // Any cell of a code of several bytes selects its first byte.
    const bool textMode = wb_.forms.mainForm && wb_.forms.mainForm->builtInFontChosen();
    if (textMode && static_cast<std::size_t>(*cell) < sequenceStart_.size() && sequenceStart_[static_cast<std::size_t>(*cell)] >= 0)
        s.selectedCell = sequenceStart_[static_cast<std::size_t>(*cell)];
    showPosition(Label1, "Position", s.selectedPosition());
    showPosition(Label2, "SelPosition", s.selectedPosition());
    markSelectedCode(true);
}

void Tdataform::markSelectedCode(bool selectTile)
{
    SharedState& s = wb_.state;
    if (!byteAt(s.selectedPosition()))
        return;
    // With a tile table the sequence starting there names the block.
    const std::optional<std::uint8_t> code = s.cellCode(s.rom, static_cast<std::size_t>(s.selectedPosition())).code;
    // A click also shows the first tile of the code's block in the tile editor.
    if (selectTile)
        s.selectedTile = s.geometry.blockWidth * s.geometry.blockHeight * *code;
    wb_.forms.tileMapForm->setMarkedBlock(*code);
}

// ---- byte editor --------------------------------------------------------------------

bool Tdataform::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == hexed) {
        if (event->type() == QEvent::KeyPress)
            return hexedKeyPress(static_cast<QKeyEvent*>(event));
        // Undo and Redo of the field's two digits would write a byte of their
        // own; the keys undo the ROM image's last step instead.
        if (event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
                event->ignore();
                return true;
            }
        }
        // A click selects the whole byte, so two typed digits replace it.
        if (event->type() == QEvent::MouseButtonRelease && hexed->isEnabled()) {
            hexed->event(event);
            hexed->selectAll();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool Tdataform::hexedKeyPress(QKeyEvent* event)
{
    const QString text = event->text();
    // Cursor keys and the window's own keys (focus change, default button).
    if (text.isEmpty())
        return false;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return false;
    default:
        break;
    }
    const QChar ch = text.at(0).toUpper();
    if (ch == QChar(8))
        return false;
    if (isUpperHexDigit(ch) && text.size() == 1 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        hexed->insert(QString(ch));
    return true; // every other character is dropped
}

void Tdataform::hexedChange(const QString& text)
{
    if (hexedTag_ != 1)
        return;
    SharedState& s = wb_.state;
    QString cleaned = text.left(2).toUpper();
    for (QChar& ch : cleaned) {
        if (!isUpperHexDigit(ch))
            ch = QLatin1Char('0');
    }
    if (cleaned != text) {
        hexedTag_ = 0;
        hexed->setText(cleaned);
        hexedTag_ = 1;
    }
    if (cleaned.size() != 2 || !s.romLoaded)
        return;
    const std::int64_t at = s.selectedPosition();
    if (!byteAt(at))
        return;
    bool error = false;
    const auto value = static_cast<std::uint8_t>(HexToInt(cleaned.toStdString(), error));
    s.rom.edit("StepEditByte", {{at, 1}}, [&](std::span<std::uint8_t> rom) { rom[static_cast<std::size_t>(at)] = value; });
    // The last byte of the image keeps the selection; otherwise it moves on.
    if (at + 1 < s.romSize())
        ++s.selectedCell;
    showPosition(Label1, "Position", s.selectedPosition());
    if (s.selectedCell >= grid().cellCount()) {
        // Past the last cell the grid scrolls one byte and the selection
        // stays on the last cell.
        s.selectedCell = grid().cellCount() - 1;
        moveDataScroll(static_cast<std::int64_t>(s.dataPosition) + 1);
    }
    markSelectedCode(false);
    hexed->selectAll();
}

// ---- grid size and cell groups ---------------------------------------------------------

void Tdataform::resizePicture()
{
    const SharedState& s = wb_.state;
    const QSize picture(cellPixelWidth(s.geometry, zoom_) * s.dataMapWidth,
                        cellPixelHeight(s.geometry, zoom_) * s.dataMapHeight);
    DataMap->setPictureSize(picture);
    DataScroll->setMaximumHeight(picture.height());
    // The window follows the grid up to its maximum size; the scroll area
    // takes over beyond it.
    mapArea_->updateGeometry();
    fitToContents(*this);
}

void Tdataform::afterGridChange()
{
    SharedState& s = wb_.state;
    // A new size empties the workspace's history: its steps name cells of the old grid.
    s.workspace.resize(static_cast<std::size_t>(s.dataMapWidth) * static_cast<std::size_t>(s.dataMapHeight));
    resizePicture();
    if (s.romLoaded) {
        updateDataScrollRange();
        drawDataMap();
        redrawWorkspaceIfShown();
    }
}

// A size rounded to whole cell groups is shown in its spin edit; the limit of
// 256 tiles per row or column is not (the edit keeps what was typed then).
void Tdataform::showRoundedGridSize(QSpinBox* edit, int typed, int blockSize, int used)
{
    if (typed == used || typed <= 0 || typed * blockSize > 256 || edit->value() == used)
        return;
    const QSignalBlocker blocker(edit);
    edit->setValue(used);
}

void Tdataform::setDataMapWidth(int cells)
{
    SharedState& s = wb_.state;
    s.dataMapWidth = clampGridWidth(cells, s.geometry.blockWidth, s.cellGroupWidth);
    showRoundedGridSize(WidthEdit, cells, s.geometry.blockWidth, s.dataMapWidth);
    afterGridChange();
}

void Tdataform::setDataMapHeight(int rows)
{
    SharedState& s = wb_.state;
    s.dataMapHeight = clampGridHeight(rows, s.geometry.blockHeight, s.cellGroupHeight);
    showRoundedGridSize(HeightEdit, rows, s.geometry.blockHeight, s.dataMapHeight);
    afterGridChange();
}

void Tdataform::applyGridSize()
{
    // Every redraw of the tile map comes here; the grid work (picture size,
    // scroll range, a drawing) is only done when the geometry changed it.
    const SharedState& s = wb_.state;
    const int width = clampGridWidth(WidthEdit->value(), s.geometry.blockWidth, s.cellGroupWidth);
    const int height = clampGridHeight(HeightEdit->value(), s.geometry.blockHeight, s.cellGroupHeight);
    const QSize picture(cellPixelWidth(s.geometry, zoom_) * width, cellPixelHeight(s.geometry, zoom_) * height);
    if (width == s.dataMapWidth && height == s.dataMapHeight && picture == DataMap->size()) {
        // The image may have changed size (Reload) while the grid did not.
        if (s.romLoaded)
            updateDataScrollRange();
        return;
    }
    setDataMapWidth(WidthEdit->value());
    setDataMapHeight(HeightEdit->value());
}

void Tdataform::takeGrid(int width, int height, bool resetGroups)
{
    if (resetGroups) {
        BlockWidth->setValue(1);
        BlockHeight->setValue(1);
    }
    WidthEdit->setValue(width);
    HeightEdit->setValue(height);
}

void Tdataform::BlockWidthChange(int value)
{
    SharedState& s = wb_.state;
    s.cellGroupWidth = value;
    const int fitted = fitGridToGroup(s.dataMapWidth, value);
    if (WidthEdit->value() != fitted)
        WidthEdit->setValue(fitted); // its change handler applies the width
    else
        setDataMapWidth(fitted);
    if (s.romLoaded) {
        drawDataMap();
        redrawWorkspaceIfShown();
    }
}

void Tdataform::BlockHeightChange(int value)
{
    SharedState& s = wb_.state;
    s.cellGroupHeight = value;
    const int fitted = fitGridToGroup(s.dataMapHeight, value);
    if (HeightEdit->value() != fitted)
        HeightEdit->setValue(fitted);
    else
        setDataMapHeight(fitted);
    if (s.romLoaded) {
        drawDataMap();
        redrawWorkspaceIfShown();
    }
}

// ---- dropped files --------------------------------------------------------------------

void Tdataform::dragEnterEvent(QDragEnterEvent* event)
{
    wb_.forms.mainForm->acceptFileDrag(event);
}

void Tdataform::dropEvent(QDropEvent* event)
{
    // Files dropped here are opened exactly as on the main window.
    wb_.forms.mainForm->handleFileDrop(event);
}
