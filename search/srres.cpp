#include "app/textfile.h"
#include "search/srres.h"

#include "app/fileio.h"
#include "app/forms.h"
#include "app/windowplace.h"
#include "search/results.h"
#include "search/resultlist.h"
#include "text/dataf.h"

#include <QAction>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

namespace {
FileDialogOptions resultFileDialog(bool save)
{
    return FileDialogOptions{QString(), QStringLiteral("*.rss|*.rss"), QStringLiteral(".rss"), save, {}};
}

std::span<const std::uint8_t> asBytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}
} // namespace

Tsearchresform::Tsearchresform(Workbench& workbench, QWidget* parent)
    // A tool window stays above the program's other windows.
    : QWidget(parent, Qt::Tool), wb_(workbench)
{
    setObjectName(QStringLiteral("searchresform"));
    setWindowTitle(wb_.text("SearchResult"));
    resize(409, 235);

    model_ = new ResultListModel(wb_.codePage, this);
    searchlist = new QListView(this);
    searchlist->setObjectName(QStringLiteral("searchlist"));
    searchlist->setModel(model_);
    searchlist->setUniformItemSizes(true);
    searchlist->setEditTriggers(QAbstractItemView::NoEditTriggers);
    searchlist->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(searchlist, &QListView::doubleClicked, this, &Tsearchresform::searchlistDblClick);

    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* result = menuBar_->addMenu(wb_.text("Result"));
    result->setObjectName(QStringLiteral("N1"));
    const QString dots = QStringLiteral("...");
    addItem(result, "N2", wb_.text("Load") + dots, QKeySequence(Qt::CTRL | Qt::Key_O), &Tsearchresform::N2Click);
    addItem(result, "N3", wb_.text("SaveItem") + dots, QKeySequence(Qt::CTRL | Qt::Key_S), &Tsearchresform::N3Click);
    addItem(result, "N10", wb_.text("Clear"), QKeySequence(Qt::CTRL | Qt::Key_Delete), &Tsearchresform::N10Click);
    result->addSeparator()->setObjectName(QStringLiteral("N5"));
    addItem(result, "N6", wb_.text("GoTo"), QKeySequence(), &Tsearchresform::N6Click);
    addItem(result, "N9", wb_.text("CreateTbl") + dots, QKeySequence(Qt::CTRL | Qt::Key_M), &Tsearchresform::N9Click);
    addItem(result, "N11", wb_.text("CreateTblBothCases") + dots, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M),
            &Tsearchresform::N11Click);
    QAction* close = menuBar_->addAction(wb_.text("Close"));
    close->setObjectName(QStringLiteral("N4"));
    connect(close, &QAction::triggered, this, &Tsearchresform::N4Click);

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PopupMenu1"));
    addItem(popup_, "N7", wb_.text("GoTo"), QKeySequence(), &Tsearchresform::N7Click);
    addItem(popup_, "N8", wb_.text("CreateTbl"), QKeySequence(), &Tsearchresform::N8Click);
    addItem(popup_, "N12", wb_.text("CreateTblBothCases"), QKeySequence(), &Tsearchresform::N11Click);
    searchlist->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(searchlist, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(searchlist->viewport()->mapToGlobal(at)); });

    // The list fills the window and follows its size.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(searchlist);
}

QAction* Tsearchresform::addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                                 void (Tsearchresform::*handler)())
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    // Shown in the menu; the window's key handling runs it (see event()).
    item->setShortcut(shortcut);
    item->setShortcutContext(Qt::WidgetShortcut);
    if (!shortcut.isEmpty())
        shortcutItems_.push_back(item);
    connect(item, &QAction::triggered, this, handler);
    return item;
}

bool Tsearchresform::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (QAction* item : shortcutItems_) {
            if (item->shortcut() != pressed)
                continue;
            // Claiming the override keeps the main menu's shortcut from
            // firing; the key press that follows runs the item.
            if (event->type() == QEvent::KeyPress)
                item->trigger();
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

QAction* Tsearchresform::action(const char* name) const
{
    return findChild<QAction*>(QString::fromLatin1(name));
}

const std::vector<std::string>& Tsearchresform::lines() const
{
    return model_->lines();
}

void Tsearchresform::showResults(std::vector<std::string> lines)
{
    model_->setLines(std::move(lines));
    showWindow();
}

void Tsearchresform::showWindow()
{
    if (!placed_) {
        placed_ = true;
        centreOnScreen(*this);
    }
    show();
    raise();
}

std::optional<std::string> Tsearchresform::selectedLine() const
{
    const QModelIndexList selected = searchlist->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    return model_->lines().at(static_cast<std::size_t>(selected.front().row()));
}

void Tsearchresform::goToSelectedLine()
{
    const std::optional<std::string> line = selectedLine();
    if (!line || line->empty())
        return;
    // The selected cell keeps its place in the window.
    if (const std::optional<std::int32_t> position = resultLinePosition(*line))
        wb_.forms.dataForm->moveDataScroll(*position);
}

void Tsearchresform::searchlistDblClick() { goToSelectedLine(); }
void Tsearchresform::N6Click() { goToSelectedLine(); }
void Tsearchresform::N7Click() { goToSelectedLine(); }
void Tsearchresform::N8Click() { makeTableFromSelectedLine(); }
void Tsearchresform::N9Click() { makeTableFromSelectedLine(); }

void Tsearchresform::N3Click()
{
    const std::optional<QString> chosen = wb_.dialogs().saveFileName(this, resultFileDialog(true));
    if (!chosen)
        return;
    const QString error = writeWholeFile(*chosen, asBytes(resultFileText(model_->lines())));
    if (!error.isEmpty())
        wb_.dialogs().showMessage(this, error);
}

void Tsearchresform::N2Click()
{
    const std::optional<QString> chosen = wb_.dialogs().openFileName(this, resultFileDialog(false));
    if (!chosen)
        return;
    const FileReadResult file = readWholeFile(*chosen);
    if (!file.ok()) {
        wb_.dialogs().showMessage(this, file.error); // the list stays as it was
        return;
    }
    // The list holds the words in the code page, as a relative search makes
    // them; a UTF-8 file is turned into it.
    model_->setLines(readResultFile(resultFileInCodePage(
        std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()), wb_.codePage)));
}

void Tsearchresform::N10Click()
{
    model_->setLines({});
}

void Tsearchresform::N4Click()
{
    hide(); // the list is kept
}

void Tsearchresform::N11Click()
{
    makeTableFromSelectedLine(true);
}

void Tsearchresform::makeTableFromSelectedLine(bool bothCases)
{
    const std::optional<std::string> line = selectedLine();
    if (!line)
        return;
    // A line that is no result line is refused before anything is asked.
    const TableFromResult table = tableFromResultLine(*line, wb_.state.tileMapPosition, bothCases);
    if (!table.text) {
        wb_.dialogs().showMessage(this, wb_.codePage.toUnicode(table.error)); // quotes the 8-bit line
        return;
    }
    // The table dialog is described per call, so the .rss dialogs keep their
    // own extension and filter whatever happens here.
    const std::optional<QString> chosen = wb_.dialogs().saveFileName(
        this, FileDialogOptions{QString(), QStringLiteral("*.tbl|*.tbl"), QStringLiteral(".tbl"), true, {}});
    if (!chosen)
        return;
    const QString error = writeWholeFile(*chosen, asBytes(*table.text));
    if (!error.isEmpty())
        wb_.dialogs().showMessage(this, error);
}
