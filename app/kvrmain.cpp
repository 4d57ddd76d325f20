#include "app/kvrmain.h"

#include "about/about.h"
#include "app/fileio.h"
#include "app/languageio.h"
#include "app/romimage.h"
#include "text/dataf.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"
#include "workspace/workspacef.h"

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QWindow>

TQuarnTileMapper::TQuarnTileMapper()
{
    setObjectName(QStringLiteral("QuarnTileMapper"));
    wb_.forms.mainForm = this;
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    // A narrow bar that cannot be resized or maximised.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(545, 124);
    setAcceptDrops(true);
    createMenus();
    createStringBar();
    updateUndoItems();
    // Ctrl+Z acts on the workspace's history while its window is active, so
    // the items follow the active window.
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &TQuarnTileMapper::updateUndoItems);
}

TQuarnTileMapper::~TQuarnTileMapper()
{
    // The windows closing below move the focus; this window is half gone by then.
    disconnect(qGuiApp, nullptr, this, nullptr);
}

QAction* TQuarnTileMapper::action(const char* name) const
{
    const auto found = actions_.find(QString::fromLatin1(name));
    if (found != actions_.end())
        return found->second;
    const auto menu = menus_.find(QString::fromLatin1(name));
    return menu != menus_.end() ? menu->second->menuAction() : nullptr;
}

void TQuarnTileMapper::showError(const QString& text)
{
    wb_.dialogs().showMessage(this, text);
}

// ---- start-up ------------------------------------------------------------------

void TQuarnTileMapper::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!started_) {
        started_ = true;
        FormShow();
    }
}

void TQuarnTileMapper::FormShow()
{
    SharedState& s = wb_.state;
    Forms& f = wb_.forms;
    if (wb_.languageFolder.isEmpty())
        wb_.languageFolder = languageFolderOfProgram();
    Stringinit();
    Languageinit(); // applies the stored language
    wb_.badNumberMessage = wb_.text("Errs"); // kept as it is now, whatever language comes later
    action("N30")->setChecked(integrationInstalled());
    s.geometry = TileGeometry{};
    s.cellGroupWidth = s.cellGroupHeight = 1;
    s.workspaceCursor = 0;
    s.lineBreakCode = 0xFF;
    s.endCode = 0x00;

    move(0, 0);
    defaultLayout();
    f.dataForm->show();
    f.tileMapForm->show();
    f.tileEditForm->show();

    s.romLoaded = false;
    s.tableLoaded = false;
    f.tileMapForm->setCodec(Codec::Nes);
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    s.tileBitmap.resize(8, 8);
    f.tileEditForm->installDefaultPalettes();
    s.dataMapWidth = s.dataMapHeight = 32;
    s.workspace.assign(static_cast<std::size_t>(s.dataMapWidth * s.dataMapHeight), 0);

    if (!startupFile_.isEmpty())
        LoadROMFile(startupFile_);
}

void TQuarnTileMapper::defaultLayout()
{
    Forms& f = wb_.forms;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    move(screen.topLeft());
    const QRect main = frameGeometry();
    const int w = main.width();
    const int h = main.height();
    const int left = main.left();
    const int top = main.top();

    f.tileMapForm->setMaximumSize(std::max(295, screen.width() - w - 5), std::max(363, screen.height() - 64));
    f.tileMapForm->move(left + w + 5, top);
    for (QWidget* below : {static_cast<QWidget*>(f.dataForm), static_cast<QWidget*>(f.workspaceForm)}) {
        below->setMaximumSize(std::max(below->minimumWidth(), screen.width()),
                              std::max(below->minimumHeight(), screen.height() - h - 69));
        below->move(left, top + h + 5);
    }
    f.tileEditForm->move(left + w + 5, top + f.tileMapForm->frameGeometry().height() + 5);
}

// ---- load, reload, save ------------------------------------------------------------

void TQuarnTileMapper::LoadROMFile(const QString& fileName)
{
    SharedState& s = wb_.state;
    Forms& f = wb_.forms;
    // The file is read before anything changes: a file that cannot be opened
    // leaves the image, its name and the codec as they were.
    FileReadResult file = readWholeFile(fileName, OpenMode::ReadWrite);
    if (!file.ok()) {
        showError(file.error);
        return;
    }
    s.clickGuard = true;
    if (QAction* font = action("vstrfont"))
        font->setChecked(false);
    s.romFileName = QFileInfo(fileName).absoluteFilePath().toStdString();
    const Codec codec = codecForFileName(s.romFileName);
    f.tileMapForm->showCodecInBox(codec);
    f.tileMapForm->setCodec(codec);

    s.rom = makeRomImage(std::move(file.bytes), kMinimumLoadSize);
    wb_.romHistory.clear();
    updateUndoItems();
    s.saved = 1;
    s.romLoaded = true;

    f.tileMapForm->moveTileMapScroll(0);
    f.tileMapForm->setTileMapPosition(0);
    f.tileMapForm->updateTileMapScrollRange();
    f.tileMapForm->moveTileMapScroll(0);

    f.dataForm->updateDataScrollRange();
    f.dataForm->moveDataScroll(0);
    // Through the scroll bar's handler, so the caption shows the new image
    // even when the bar already stood at 0.
    f.dataForm->setDataPosition(0);

    if (f.tileMapForm->isVisible())
        f.tileMapForm->focusScrollBar();
    enableAfterLoad();
    if (s.tableLoaded)
        finishTable();
}

void TQuarnTileMapper::enableAfterLoad()
{
    for (const char* name : {"TileMapMenu", "DataMapMenu", "ReloadItem", "SaveItem", "SaveASitem"})
        action(name)->setEnabled(true);
    wb_.forms.tileEditForm->enableButtons();
}

void TQuarnTileMapper::ReloadItemClick()
{
    SharedState& s = wb_.state;
    FileReadResult file = readWholeFile(QString::fromStdString(s.romFileName), OpenMode::ReadWrite);
    if (!file.ok()) {
        showError(file.error);
        return;
    }
    s.rom = makeRomImage(std::move(file.bytes), kMinimumReloadSize);
    wb_.romHistory.clear();
    updateUndoItems();
    // Position and ranges stay as they were; every reader stays inside the image.
    wb_.forms.tileMapForm->redrawTileMap();
    s.saved = 1;
    buildMainTitle();
}

void TQuarnTileMapper::SaveItemClick()
{
    SharedState& s = wb_.state;
    const QString error = writeWholeFile(QString::fromStdString(s.romFileName), s.rom);
    if (!error.isEmpty()) {
        showError(error);
        return;
    }
    s.saved = 1;
    buildMainTitle();
}


void TQuarnTileMapper::SaveASitemClick()
{
    const FileDialogOptions options = wb_.fileDialog("SaveROMTitle", "ROMFilter", "");
    const std::optional<QString> chosen = wb_.dialogs().saveFileName(this, options);
    if (!chosen)
        return;
    SharedState& s = wb_.state;
    // The new name is taken over only once the image has been written there.
    const QString error = writeWholeFile(*chosen, s.rom);
    if (!error.isEmpty()) {
        showError(error);
        return;
    }
    s.romFileName = QFileInfo(*chosen).absoluteFilePath().toStdString();
    s.saved = 1;
    buildMainTitle();
}

void TQuarnTileMapper::OpenItemClick()
{
    const std::optional<QString> chosen = wb_.dialogs().openFileName(this, wb_.fileDialog("OpenROMTitle", "ROMFilter", ".nes"));
    if (chosen)
        LoadROMFile(*chosen);
}

void TQuarnTileMapper::ExitItemClick()
{
    close();
}

void TQuarnTileMapper::buildMainTitle()
{
    const SharedState& s = wb_.state;
    QString title = QString::fromLatin1(kApplicationTitle);
    if (s.romLoaded || !s.romFileName.empty())
        title += QStringLiteral(" - [") + QString::fromStdString(s.romFileName) + QStringLiteral("]") +
                 (s.saved == 0 ? QStringLiteral("*") : QString());
    setWindowTitle(title);
}

// ---- dropped files ---------------------------------------------------------------

void TQuarnTileMapper::acceptFileDrag(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TQuarnTileMapper::handleFileDrop(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    // Only the first dropped file is opened.
    if (!urls.isEmpty() && urls.first().isLocalFile())
        LoadROMFile(urls.first().toLocalFile());
}

void TQuarnTileMapper::dragEnterEvent(QDragEnterEvent* event) { acceptFileDrag(event); }
void TQuarnTileMapper::dropEvent(QDropEvent* event) { handleFileDrop(event); }

// ---- tile map menu -----------------------------------------------------------------

void TQuarnTileMapper::N4Click() { wb_.forms.tileMapForm->LeftBtnClick(); }
void TQuarnTileMapper::N5Click() { wb_.forms.tileMapForm->RightBtnClick(); }
void TQuarnTileMapper::N6Click() { wb_.forms.tileMapForm->MinusBtnClick(); }
void TQuarnTileMapper::N7Click() { wb_.forms.tileMapForm->PlusBtnClick(); }

// ---- options menu ---------------------------------------------------------------------

void TQuarnTileMapper::toggleWindow(const char* itemName, QWidget* window)
{
    QAction* item = action(itemName);
    window->setVisible(item->isChecked());
}

void TQuarnTileMapper::N11Click() { toggleWindow("N11", wb_.forms.tileMapForm); }
void TQuarnTileMapper::N12Click() { toggleWindow("N12", wb_.forms.tileEditForm); }
void TQuarnTileMapper::N13Click() { toggleWindow("N13", wb_.forms.dataForm); }

void TQuarnTileMapper::N29Click()
{
    toggleWindow("N29", wb_.forms.workspaceForm);
    if (wb_.forms.workspaceForm->isVisible() && wb_.state.romLoaded)
        wb_.forms.workspaceForm->redraw();
}

bool TQuarnTileMapper::builtInFontChosen() const
{
    return action("vstrfont")->isChecked();
}

bool TQuarnTileMapper::workspaceSwitchedOn() const
{
    return action("N29")->isChecked();
}

void TQuarnTileMapper::N27Click() { defaultLayout(); }

void TQuarnTileMapper::optItmClick()
{
    // Windows closed with their own close button show unchecked.
    const Forms& f = wb_.forms;
    action("N11")->setChecked(f.tileMapForm->isVisible());
    action("N12")->setChecked(f.tileEditForm->isVisible());
    action("N13")->setChecked(f.dataForm->isVisible());
    action("N29")->setChecked(f.workspaceForm->isVisible());
}

void TQuarnTileMapper::AboutItemClick()
{
    wb_.forms.aboutForm->exec();
}
