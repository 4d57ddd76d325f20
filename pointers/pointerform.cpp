#include "pointers/pointerform.h"

#include "app/fileio.h"
#include "app/kvrmain.h"
#include "app/numbers.h"
#include "app/textfile.h"
#include "pointers/pointerscript.h"
#include "text/dataf.h"
#include "tiles/tmform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int kLongestShownString = 256; // bytes of a string the list decodes

// FNV-1a over what the list shows, so that redrawing an unchanged list is skipped.
struct Fingerprint {
    std::uint64_t value = 14695981039346656037ULL;
    void add(std::span<const std::uint8_t> bytes)
    {
        for (std::uint8_t b : bytes)
            value = (value ^ b) * 1099511628211ULL;
    }
    void add(std::string_view text) { add({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}); }
};

QString hexQ(std::uint32_t value, int digits) { return QString::fromStdString(hexText(value, digits)); }

std::string_view asText(const FileReadResult& file)
{
    return {reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()};
}

std::span<const std::uint8_t> asBytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

Tpointerform::Tpointerform(Workbench& workbench, QWidget* parent) : QWidget(parent, Qt::Tool), wb_(workbench)
{
    setObjectName(QStringLiteral("pointerform"));
    buildControls();
    applyTexts();
    showOptions(PointerOptions{});
    resize(560, 520);
}

void Tpointerform::buildControls()
{
    auto* grid = new QGridLayout(this);
    const auto addField = [this, grid](const char* labelName, QWidget* field, int row, int column) {
        grid->addWidget(named(new QLabel(this), labelName), row, column);
        grid->addWidget(field, row, column + 1);
    };
    PtrPosEdit = named(new QLineEdit(this), "PtrPosEdit");
    PtrCountEdit = named(new QLineEdit(this), "PtrCountEdit");
    PtrSizeBox = named(new QComboBox(this), "PtrSizeBox");
    PtrSizeBox->addItems({QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    PtrStrideEdit = named(new QLineEdit(this), "PtrStrideEdit");
    PtrMapBox = named(new QComboBox(this), "PtrMapBox");
    for (PointerMap map : {PointerMap::Linear, PointerMap::LoRom, PointerMap::HiRom, PointerMap::GameBoy})
        PtrMapBox->addItem(QString::fromLatin1(pointerMapName(map).data(), static_cast<int>(pointerMapName(map).size())));
    PtrBaseEdit = named(new QLineEdit(this), "PtrBaseEdit");
    PtrHeaderEdit = named(new QLineEdit(this), "PtrHeaderEdit");
    PtrBankEdit = named(new QLineEdit(this), "PtrBankEdit");
    PtrBigEndianBox = named(new QCheckBox(this), "PtrBigEndianBox");
    PtrSpaceEdit = named(new QLineEdit(this), "PtrSpaceEdit");
    addField("PtrPosLabel", PtrPosEdit, 0, 0);
    addField("PtrCountLabel", PtrCountEdit, 0, 2);
    addField("PtrSizeLabel", PtrSizeBox, 1, 0);
    addField("PtrStrideLabel", PtrStrideEdit, 1, 2);
    addField("PtrMapLabel", PtrMapBox, 2, 0);
    addField("PtrBaseLabel", PtrBaseEdit, 2, 2);
    addField("PtrHeaderLabel", PtrHeaderEdit, 3, 0);
    addField("PtrBankLabel", PtrBankEdit, 3, 2);
    grid->addWidget(PtrBigEndianBox, 4, 1);
    addField("PtrSpaceLabel", PtrSpaceEdit, 5, 0);
    grid->addWidget(PtrSpaceEdit, 5, 1, 1, 3);

    auto* buttons = new QHBoxLayout;
    FindBtn = named(new QPushButton(this), "FindBtn");
    DumpBtn = named(new QPushButton(this), "DumpBtn");
    InsertBtn = named(new QPushButton(this), "InsertBtn");
    buttons->addWidget(FindBtn);
    buttons->addWidget(DumpBtn);
    buttons->addWidget(InsertBtn);
    grid->addLayout(buttons, 6, 0, 1, 4);

    PtrList = named(new QTreeWidget(this), "PtrList");
    PtrList->setRootIsDecorated(false);
    PtrList->setColumnCount(5);
    PtrList->setUniformRowHeights(true);
    grid->addWidget(PtrList, 7, 0, 1, 4);
    FoundList = named(new QListWidget(this), "FoundList");
    FoundList->setMaximumHeight(80);
    grid->addWidget(FoundList, 8, 0, 1, 4);
    PtrStatus = named(new QLabel(this), "PtrStatus");
    PtrStatus->setWordWrap(true);
    PtrStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(PtrStatus, 9, 0, 1, 4);

    for (QLineEdit* edit : {PtrPosEdit, PtrCountEdit, PtrStrideEdit, PtrBaseEdit, PtrHeaderEdit, PtrBankEdit,
                            PtrSpaceEdit})
        connect(edit, &QLineEdit::editingFinished, this, &Tpointerform::optionsEdited);
    connect(PtrSizeBox, &QComboBox::currentIndexChanged, this, &Tpointerform::optionsEdited);
    connect(PtrMapBox, &QComboBox::currentIndexChanged, this, &Tpointerform::optionsEdited);
    connect(PtrBigEndianBox, &QCheckBox::toggled, this, &Tpointerform::optionsEdited);
    connect(PtrList, &QTreeWidget::itemDoubleClicked, this, &Tpointerform::PtrListDblClick);
    connect(FoundList, &QListWidget::itemDoubleClicked, this, &Tpointerform::FoundListDblClick);
    connect(FindBtn, &QPushButton::clicked, this, &Tpointerform::FindBtnClick);
    connect(DumpBtn, &QPushButton::clicked, this, &Tpointerform::DumpBtnClick);
    connect(InsertBtn, &QPushButton::clicked, this, &Tpointerform::InsertBtnClick);
}

void Tpointerform::applyTexts()
{
    const auto t = [this](const char* key) { return wb_.text(key); };
    setWindowTitle(t("PointerTable"));
    const std::pair<const char*, const char*> labels[] = {
        {"PtrPosLabel", "PtrPosition"}, {"PtrCountLabel", "PtrCount"}, {"PtrSizeLabel", "PtrSize"},
        {"PtrStrideLabel", "PtrStride"}, {"PtrMapLabel", "PtrMap"},    {"PtrBaseLabel", "PtrBase"},
        {"PtrHeaderLabel", "PtrHeader"}, {"PtrBankLabel", "PtrBank"},  {"PtrSpaceLabel", "PtrSpace"}};
    for (const auto& [name, key] : labels)
        findChild<QLabel*>(QString::fromLatin1(name))->setText(t(key) + QStringLiteral(":"));
    PtrBigEndianBox->setText(t("PtrBigEndian"));
    FindBtn->setText(t("FindPointers"));
    DumpBtn->setText(t("PtrDump") + QStringLiteral("..."));
    InsertBtn->setText(t("PtrInsert") + QStringLiteral("..."));
    PtrList->setHeaderLabels(t("PtrColumns").split(QLatin1Char('|')));
}

void Tpointerform::showOptions(const PointerOptions& o)
{
    showing_ = true;
    const PointerTable& t = o.table;
    PtrPosEdit->setText(QString::fromStdString(signedNumberText(t.position)));
    PtrCountEdit->setText(QString::number(t.count));
    PtrSizeBox->setCurrentText(QString::number(t.size));
    PtrStrideEdit->setText(QString::number(t.stride));
    PtrMapBox->setCurrentIndex(static_cast<int>(t.map));
    PtrBaseEdit->setText(QString::fromStdString(signedNumberText(t.base)));
    PtrHeaderEdit->setText(QString::number(t.header));
    PtrBankEdit->setText(t.bank ? QString::fromStdString(signedNumberText(*t.bank)) : QString());
    PtrBigEndianBox->setChecked(t.bigEndian);
    PtrSpaceEdit->setText(QString::fromStdString(o.space));
    showing_ = false;
}

std::optional<PointerOptions> Tpointerform::fieldOptions()
{
    PointerOptions o;
    PointerTable& t = o.table;
    const auto number = [](const QLineEdit* edit) { return parseSignedNumber(edit->text().trimmed().toStdString()); };
    const std::optional<std::int64_t> position = number(PtrPosEdit), count = number(PtrCountEdit),
                                      stride = number(PtrStrideEdit), base = number(PtrBaseEdit),
                                      header = number(PtrHeaderEdit), bank = number(PtrBankEdit);
    const bool noBank = PtrBankEdit->text().trimmed().isEmpty();
    if (!position || !count || !stride || !base || !header || (!bank && !noBank)) {
        PtrStatus->setText(wb_.badNumberMessage);
        return std::nullopt;
    }
    t.position = *position;
    t.count = *count;
    t.size = PtrSizeBox->currentText().toInt();
    t.stride = *stride;
    t.map = static_cast<PointerMap>(PtrMapBox->currentIndex());
    t.base = *base;
    t.header = *header;
    if (!noBank)
        t.bank = *bank;
    t.bigEndian = PtrBigEndianBox->isChecked();
    o.space = PtrSpaceEdit->text().toStdString();
    return o;
}

std::optional<PointerTable> Tpointerform::checkedTable()
{
    const std::optional<PointerOptions> options = fieldOptions();
    if (!options || !wb_.state.romLoaded)
        return std::nullopt;
    const std::string problem = pointerTableProblem(options->table, wb_.state.rom.size());
    if (!problem.empty()) {
        PtrStatus->setText(QString::fromStdString(problem));
        return std::nullopt;
    }
    return options->table;
}

QString Tpointerform::optionsFileName() const
{
    const QFileInfo rom(QString::fromStdString(wb_.state.rom.fileName()));
    return rom.path() + QLatin1Char('/') + rom.completeBaseName() + QStringLiteral(".ptr");
}

void Tpointerform::optionsEdited()
{
    if (showing_)
        return;
    const std::optional<PointerOptions> options = fieldOptions();
    if (options && wb_.state.romLoaded) {
        const QString error = writeWholeFile(optionsFileName(), asBytes(pointerOptionsText(*options)));
        if (!error.isEmpty())
            PtrStatus->setText(error);
    }
    refreshList();
}

void Tpointerform::imageChanged()
{
    const SharedState& s = wb_.state;
    // Another ROM: its own options, if it has a file of them.
    if (s.romLoaded && s.rom.fileName() != optionsRom_) {
        optionsRom_ = s.rom.fileName();
        const FileReadResult file = readWholeFile(optionsFileName());
        showOptions(file.ok() ? readPointerOptions(asText(file)) : PointerOptions{});
        FoundList->clear();
    }
    if (isVisible())
        refreshList();
}

void Tpointerform::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    imageChanged();
}

void Tpointerform::refreshList()
{
    const std::optional<PointerTable> table = checkedTable();
    if (!table) {
        PtrList->clear();
        shown_.reset();
        return;
    }
    const SharedState& s = wb_.state;
    const std::vector<PointerEntry> entries = readPointerTable(*table, s.rom);
    // Each entry's string: at most so many bytes, through the end code.
    std::vector<std::span<const std::uint8_t>> strings(entries.size());
    Fingerprint print;
    print.add(pointerOptionsText({*table, {}}));
    for (const std::string& entry : s.charTable)
        print.add(entry);
    print.add(std::string_view(s.tableLoaded ? "t" : "-"));
    for (const PointerEntry& e : entries) {
        print.add(hexText(e.stored, 8));
        if (!e.target)
            continue;
        strings[e.index] = pointerStringAt(s.rom, *e.target, s.endCode, kLongestShownString);
        print.add(strings[e.index]);
    }
    if (shown_ == print.value)
        return;
    shown_ = print.value;
    PtrList->clear();
    PtrStatus->clear();
    QList<QTreeWidgetItem*> items;
    for (const PointerEntry& e : entries) {
        const QString text = e.target && s.tableLoaded
                                 ? QString::fromStdString(decodeBytes(s.tableMatcher, strings[e.index]))
                                 : QString();
        items << new QTreeWidgetItem(QStringList{
            QString::number(e.index), hexQ(static_cast<std::uint32_t>(e.position), 8), hexQ(e.stored, table->size * 2),
            e.target ? hexQ(static_cast<std::uint32_t>(*e.target), 8) : QStringLiteral("--------"), text});
    }
    PtrList->addTopLevelItems(items);
}

void Tpointerform::PtrListDblClick()
{
    const QTreeWidgetItem* item = PtrList->currentItem();
    bool ok = false;
    const std::uint32_t target = item ? item->text(3).toUInt(&ok, 16) : 0;
    if (ok)
        wb_.forms.dataForm->showSearchHit(target);
}

void Tpointerform::FoundListDblClick()
{
    const QListWidgetItem* item = FoundList->currentItem();
    bool ok = false;
    const std::uint32_t position = item ? item->text().toUInt(&ok, 16) : 0;
    if (ok)
        wb_.forms.dataForm->showSearchHit(position);
}

void Tpointerform::FindBtnClick()
{
    FoundList->clear();
    const std::optional<PointerOptions> options = fieldOptions();
    const SharedState& s = wb_.state;
    if (!options || !s.romLoaded)
        return;
    const std::vector<std::size_t> hits = findPointers(options->table, s.rom, s.selectedPosition());
    for (std::size_t at : hits)
        FoundList->addItem(hexQ(static_cast<std::uint32_t>(at), 8));
    PtrStatus->setText(hits.empty() ? wb_.text("NotFound")
                                    : wb_.text("PtrFound") + QStringLiteral(": ") + QString::number(hits.size()));
}

void Tpointerform::DumpBtnClick()
{
    const SharedState& s = wb_.state;
    if (!s.tableLoaded) {
        wb_.dialogs().showMessage(this, wb_.text("PtrNoTable"));
        return;
    }
    const std::optional<PointerTable> table = checkedTable();
    if (!table)
        return;
    const PointerDump dump = dumpPointerScript(*table, s.rom, s.tableMatcher, {s.lineBreakCode, s.endCode});
    if (!dump.error.empty()) {
        wb_.dialogs().showMessage(this, QString::fromStdString(dump.error));
        return;
    }
    const std::optional<QString> fileName =
        wb_.dialogs().saveFileName(this, wb_.fileDialog("PtrDumpTitle", "PtrScriptFilter", ".txt"));
    if (!fileName)
        return;
    const QString error = writeWholeFile(*fileName, asBytes(fileBytesOf(dump.text, s.tableUtf8, wb_.codePage)));
    if (!error.isEmpty()) {
        wb_.dialogs().showMessage(this, error);
        return;
    }
    QStringList warnings;
    for (const std::string& warning : dump.warnings)
        warnings << QString::fromStdString(warning);
    PtrStatus->setText(warnings.join(QLatin1Char('\n')));
}

void Tpointerform::InsertBtnClick()
{
    SharedState& s = wb_.state;
    if (!s.tableLoaded) {
        wb_.dialogs().showMessage(this, wb_.text("PtrNoTable"));
        return;
    }
    const std::optional<PointerOptions> options = fieldOptions();
    const std::optional<PointerTable> table = checkedTable();
    if (!options || !table)
        return;
    std::vector<FreeRange> ranges;
    for (const QString& word : QString::fromStdString(options->space)
                                   .split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts)) {
        const std::optional<FreeRange> range = parseFreeRange(word.toStdString());
        if (!range) {
            wb_.dialogs().showMessage(this, wb_.badNumberMessage + QStringLiteral(" (") + word + QStringLiteral(")"));
            return;
        }
        ranges.push_back(*range);
    }
    const std::optional<QString> fileName =
        wb_.dialogs().openFileName(this, wb_.fileDialog("PtrInsertTitle", "PtrScriptFilter", ".txt"));
    if (!fileName)
        return;
    const FileReadResult file = readWholeFile(*fileName);
    if (!file.ok()) {
        wb_.dialogs().showMessage(this, file.error);
        return;
    }
    const PointerInsertPlan plan =
        planPointerInsert(*table, s.rom.size(), textOfFile(asText(file), wb_.codePage).text, s.tableMatcher, {s.lineBreakCode, s.endCode}, ranges);
    if (!plan.error.empty()) {
        wb_.dialogs().showMessage(this, QString::fromStdString(plan.error));
        return;
    }
    writeIntoImage(*table, plan);
    PtrStatus->setText(QString::fromStdString(rangeUseText(plan.ranges)).trimmed());
}

void Tpointerform::writeIntoImage(const PointerTable& table, const PointerInsertPlan& plan)
{
    SharedState& s = wb_.state;
    // The step may touch the table's entries and the free-space ranges only.
    std::vector<EditRange> ranges{{table.position, (table.count - 1) * table.step() + table.size}};
    for (const RangeUse& use : plan.ranges)
        ranges.push_back({use.range.from, use.range.to - use.range.from + 1});
    if (!s.rom.edit("PointerTable", ranges, [&](std::span<std::uint8_t> rom) { applyPointerInsert(table, rom, plan); }))
        return;
    // The redraw chain ends here again, with the list.
    wb_.forms.tileMapForm->setTileMapPosition(s.tileMapPosition);
}

void TQuarnTileMapper::N31Click()
{
    Tpointerform* form = wb_.forms.pointerForm;
    form->show();
    form->raise();
    form->activateWindow();
}
