#include "workspace/workspacef.h"

#include "app/fileio.h"
#include "app/forms.h"
#include "app/imagebox.h"
#include "app/kvrmain.h"
#include "app/numbers.h"
#include "text/codecells.h"
#include "text/dataf.h"
#include "tiles/tmform.h"
#include "workspace/codemap.h"
#include "workspace/workspacebuffer.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QToolButton* makeButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    return button;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}
} // namespace

Tworkspaceform::Tworkspaceform(Workbench& workbench, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), wb_(workbench)
{
    setObjectName(QStringLiteral("workspaceform"));
    setWindowTitle(wb_.text("WorkSpaceForm"));
    setMinimumSize(528, 573);

    getBtn = makeButton(this, "getBtn", QStyle::SP_ArrowDown, wb_.text("GetFromROM"));
    putBtn = makeButton(this, "putBtn", QStyle::SP_ArrowUp, wb_.text("PutIntoROM"));
    openBtn = makeButton(this, "openBtn", QStyle::SP_DialogOpenButton, wb_.text("Load"));
    saveBtn = makeButton(this, "saveBtn", QStyle::SP_DialogSaveButton, wb_.text("SaveItem"));
    wshint = makeLabel(this, "wshint", QString());
    wsundermouse = makeLabel(this, "wsundermouse", QStringLiteral("00=0"));
    wsselected = makeLabel(this, "wsselected", QStringLiteral("00=0"));
    wsselected->setToolTip(wb_.text("SelPosition"));
    Label1 = makeLabel(this, "Label1", positionLabel("Position", 0));
    Label2 = makeLabel(this, "Label2", positionLabel("SelPosition", 0));

    workspace = new ImageBox;
    workspace->setObjectName(QStringLiteral("workspace"));
    workspace->setMouseTracking(true);
    workspace->setPainter([this](QPainter& p, const QRect& exposed) { paintWorkspace(p, exposed); });
    // The window scrolls when the grid is larger than the screen.
    area_ = new FittingScrollArea(this);
    area_->setWidget(workspace);
    area_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{getBtn, putBtn, openBtn, saveBtn, wshint})
        buttons->addWidget(w);
    buttons->addStretch();
    buttons->addWidget(wsundermouse);
    buttons->addWidget(wsselected);
    auto* readouts = new QHBoxLayout;
    readouts->addWidget(Label1);
    readouts->addWidget(Label2);
    readouts->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(area_, 1);
    layout->addLayout(readouts);

    connect(getBtn, &QToolButton::clicked, this, &Tworkspaceform::getBtnClick);
    connect(putBtn, &QToolButton::clicked, this, &Tworkspaceform::putBtnClick);
    connect(openBtn, &QToolButton::clicked, this, &Tworkspaceform::openBtnClick);
    connect(saveBtn, &QToolButton::clicked, this, &Tworkspaceform::saveBtnClick);
    connect(workspace, &ImageBox::mousePressed, this, &Tworkspaceform::workspaceMouseDown);
    connect(workspace, &ImageBox::mouseMoved, this, &Tworkspaceform::workspaceMouseMove);
    connect(workspace, &ImageBox::mouseReleased, this, &Tworkspaceform::workspaceMouseUp);
    resizePicture();
}

CellGrid Tworkspaceform::grid() const
{
    const SharedState& s = wb_.state;
    return CellGrid{s.dataMapWidth, s.dataMapHeight, s.cellGroupWidth, s.cellGroupHeight};
}

void Tworkspaceform::resizePicture()
{
    // The same size as the data map's picture.
    const CellGrid g = grid();
    workspace->setPictureSize(
        QSize(g.width * cellPixelWidth(wb_.state.geometry), g.height * cellPixelHeight(wb_.state.geometry)));
}

int Tworkspaceform::cellCode(std::int32_t cell) const
{
    if (cell < 0 || cell >= static_cast<std::int32_t>(codes_.size()))
        return -1;
    return codes_[static_cast<std::size_t>(cell)];
}

void Tworkspaceform::redraw()
{
    SharedState& s = wb_.state;
    const CellGrid g = grid();
    resizePicture();
    // Element by element through the buffer; a tile table sequence covers
    // several bytes, so the cells may end before the buffer does.
    codes_ = readCellCodes(s.workspace, 0, static_cast<std::size_t>(g.cellCount()), s.tileTableInUse());
    drawnGrid_ = g;
    if (s.workspaceCursor >= g.cellCount())
        s.workspaceCursor = g.cellCount() - 1;
    workspace->update();
}

void Tworkspaceform::paintWorkspace(QPainter& painter, const QRect& exposed)
{
    painter.fillRect(exposed, Qt::black);
    const TileGeometry& tiles = wb_.state.geometry;
    const int w = cellPixelWidth(tiles);
    const int h = cellPixelHeight(tiles);
    const CodeCellPainter cells(wb_, wb_.forms.mainForm && wb_.forms.mainForm->builtInFontChosen(), &glyphs_);
    cells.begin(painter);
    for (std::int32_t n = 0; n < drawnGrid_.cellCount() && n < static_cast<std::int32_t>(codes_.size()); ++n) {
        const CellPlace place = cellPlace(drawnGrid_, n);
        const QRect cell(place.column * w, place.row * h, w, h);
        if (codes_[static_cast<std::size_t>(n)] >= 0 && cell.intersects(exposed))
            cells.paint(painter, cell, codes_[static_cast<std::size_t>(n)]);
    }
    const std::int32_t cursor = wb_.state.workspaceCursor;
    if (cursor < 0 || cursor >= drawnGrid_.cellCount())
        return;
    // The group frame and the cell frame; with 1 x 1 groups they coincide.
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(Qt::NoBrush);
    for (const GridRect& frame : {groupFrame(drawnGrid_, tiles, cursor), cellFrame(drawnGrid_, tiles, cursor)})
        painter.drawRect(frame.left, frame.top, frame.width - 1, frame.height - 1);
}

QString Tworkspaceform::byteLabel(std::int32_t cell) const
{
    const ByteDocument& buffer = wb_.state.workspace;
    if (cell < 0 || cell >= static_cast<std::int32_t>(buffer.size()))
        return {};
    const std::uint8_t byte = buffer[static_cast<std::size_t>(cell)];
    return QString::fromStdString(hexText(byte, 2)) + QStringLiteral("=") + QString::number(byte);
}

QString Tworkspaceform::positionLabel(const char* key, std::int32_t cell) const
{
    return wb_.text(key) + QStringLiteral(": ") +
           QString::fromStdString(hexText(static_cast<std::uint32_t>(cell), 8));
}

std::optional<std::int32_t> Tworkspaceform::cellUnder(QPoint at) const
{
    return cellUnderPixel(grid(), wb_.state.geometry, at.x(), at.y());
}

ByteRange Tworkspaceform::romRange() const
{
    // The data position never lets the grid run past the end of the image;
    // a grid larger than the whole image takes what there is.
    const SharedState& s = wb_.state;
    return rangeInImage(s.dataPosition, static_cast<std::int64_t>(s.workspace.size()), s.rom.size());
}

void Tworkspaceform::getBtnClick()
{
    SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    const ByteRange range = romRange();
    s.workspace.edit("GetFromROM", {{0, static_cast<std::int64_t>(range.length)}}, [&](std::span<std::uint8_t> cells) {
        std::copy_n(s.rom.begin() + static_cast<std::ptrdiff_t>(range.offset), range.length, cells.begin());
    });
    redraw();
}

void Tworkspaceform::putBtnClick()
{
    SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    const ByteRange range = romRange();
    s.rom.edit("PutIntoROM", {{static_cast<std::int64_t>(range.offset), static_cast<std::int64_t>(range.length)}},
               [&](std::span<std::uint8_t> rom) {
                   std::copy_n(s.workspace.begin(), range.length, rom.begin() + static_cast<std::ptrdiff_t>(range.offset));
               });
    wb_.forms.dataForm->drawDataMap();
}

void Tworkspaceform::openBtnClick()
{
    SharedState& s = wb_.state;
    FileDialogOptions options = wb_.fileDialog("OpenKVRData", "KVRDataFilter", ".kvr");
    options.fileName = QFileInfo(QString::fromStdString(s.rom.fileName())).absolutePath() + QDir::separator();
    const std::optional<QString> chosen = wb_.dialogs().openFileName(this, options);
    if (!chosen)
        return;
    const FileReadResult file = readWholeFile(*chosen);
    if (!file.ok()) {
        wb_.dialogs().showMessage(this, file.error);
        return;
    }
    const std::optional<DataMapFile> map = readDataMapFile(file.bytes);
    if (!map) {
        wb_.dialogs().showMessage(this, wb_.text("KVRWrongFileFormat"));
        return;
    }
    // Cell groups that do not divide the file's grid would round it; the
    // file's grid wins and the groups go back to 1 x 1.
    const bool resetGroups = map->width % s.cellGroupWidth != 0 || map->height % s.cellGroupHeight != 0;
    wb_.forms.dataForm->takeGrid(map->width, map->height, resetGroups);
    // The grid size is a view setting, not an edit: the step covers the cells.
    s.workspace.edit("Load", {{0, static_cast<std::int64_t>(s.workspace.size())}}, [&](std::span<std::uint8_t> cells) {
        std::copy_n(map->cells.begin(), std::min(map->cells.size(), cells.size()), cells.begin());
    });
    redraw();
    QStringList notes;
    if (resetGroups)
        notes << wb_.text("CellGroupsReset")
                     .arg(map->width)
                     .arg(map->height);
    if (s.dataMapWidth != map->width || s.dataMapHeight != map->height)
        notes << wb_.text("GridTooLarge")
                     .arg(map->width)
                     .arg(map->height)
                     .arg(s.workspace.size())
                     .arg(s.dataMapWidth)
                     .arg(s.dataMapHeight);
    if (!notes.isEmpty())
        wb_.dialogs().showMessage(this, notes.join(QLatin1Char('\n')));
}

void Tworkspaceform::saveBtnClick()
{
    const SharedState& s = wb_.state;
    FileDialogOptions options = wb_.fileDialog("SaveKVRData", "KVRDataFilter", ".kvr");
    options.confirmOverwrite = false;
    options.fileName = QFileInfo(QString::fromStdString(s.rom.fileName())).absolutePath() + QDir::separator();
    const std::optional<QString> chosen = wb_.dialogs().saveFileName(this, options);
    if (!chosen)
        return;
    // The extension is always .kvr, whatever was typed.
    const QFileInfo typed(*chosen);
    const QString path = typed.dir().filePath(typed.completeBaseName() + QStringLiteral(".kvr"));
    const QString error = writeWholeFile(path, dataMapFileBytes(s.dataMapWidth, s.dataMapHeight, s.workspace));
    if (!error.isEmpty())
        wb_.dialogs().showMessage(this, error);
}

void Tworkspaceform::workspaceMouseMove(QMouseEvent* event)
{
    dragging_ = event->buttons().testFlag(Qt::LeftButton);
    shift_ = event->modifiers().testFlag(Qt::ShiftModifier);
    ctrl_ = event->modifiers().testFlag(Qt::ControlModifier);
    if (!wb_.state.romLoaded)
        return;
    const std::optional<std::int32_t> cell = cellUnder(event->position().toPoint());
    if (!cell)
        return;
    wsundermouse->setText(byteLabel(*cell));
    Label1->setText(positionLabel("Position", *cell));
    if (dragging_)
        wshint->setText(wb_.text("WSHint"));
}

void Tworkspaceform::workspaceMouseDown(QMouseEvent* event)
{
    if (!wb_.state.romLoaded)
        return;
    if (const std::optional<std::int32_t> cell = cellUnder(event->position().toPoint()))
        selectCell(*cell);
}

void Tworkspaceform::selectCell(std::int32_t cell)
{
    SharedState& s = wb_.state;
    if (cell < 0 || cell >= static_cast<std::int32_t>(s.workspace.size()))
        return;
    s.workspaceCursor = cell;
    Label1->setText(positionLabel("Position", cell));
    Label2->setText(positionLabel("SelPosition", cell));
    wsselected->setText(byteLabel(cell));
    const int code = s.cellCode(s.workspace, static_cast<std::size_t>(cell)).code;
    s.selectedTile = s.geometry.blockWidth * s.geometry.blockHeight * code;
    // Redraws the tile map, the tile editor and, through them, this window.
    wb_.forms.tileMapForm->setMarkedBlock(code);
}

void Tworkspaceform::workspaceMouseUp(QMouseEvent* event)
{
    SharedState& s = wb_.state;
    if (dragging_) {
        const std::optional<std::int32_t> target = cellUnder(event->position().toPoint());
        const DragKeys keys{event->modifiers().testFlag(Qt::ShiftModifier),
                            event->modifiers().testFlag(Qt::ControlModifier)};
        bool dropped = false;
        if (target)
            s.workspace.edit("StepDragCell", {{s.workspaceCursor, 1}, {*target, 1}}, [&](std::span<std::uint8_t> cells) {
                dropped = dropWorkspaceCell(cells, static_cast<std::size_t>(s.workspaceCursor),
                                            static_cast<std::size_t>(*target), keys);
            });
        if (dropped)
            selectCell(*target);
        wshint->clear();
    }
    dragging_ = false;
}
