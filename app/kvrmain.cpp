#include "app/kvrmain.h"

#include "about/about.h"
#include "app/fileio.h"
#include "app/languageio.h"
#include "app/romimage.h"
#include "app/windowplace.h"
#include "text/dataf.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"
#include "workspace/workspacef.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSessionManager>
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
    // The title's "*" and the Undo and Redo items follow every change of the
    // documents at once; what the windows show is redrawn by each command.
    wb_.state.rom.setChangeListener([this] {
        buildMainTitle();
        updateUndoItems();
    });
    wb_.state.workspace.setChangeListener([this] { updateUndoItems(); });
#ifndef QT_NO_SESSIONMANAGER
    // Logging out asks like closing the window, while the session lets it.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &TQuarnTileMapper::commitData);
#endif
}

TQuarnTileMapper::~TQuarnTileMapper()
{
    // The windows closing below move the focus; this window is half gone by then.
    disconnect(qGuiApp, nullptr, this, nullptr);
    wb_.state.rom.setChangeListener({});
    wb_.state.workspace.setChangeListener({});
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

    defaultLayout();
    f.dataForm->show();
    f.tileMapForm->show();
    f.tileEditForm->show();
    // A window manager decides the frames only once the windows are mapped.
    whenOnScreen({this, f.dataForm, f.tileMapForm, f.tileEditForm}, [this] { defaultLayout(); });

    s.romLoaded = false;
    s.tableLoaded = false;
    f.tileMapForm->setCodec(Codec::Nes);
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    s.tileBitmap.resize(8, 8);
    f.tileEditForm->installDefaultPalettes();
    s.dataMapWidth = s.dataMapHeight = 32;
    s.workspace.resize(static_cast<std::size_t>(s.dataMapWidth * s.dataMapHeight));

    if (!startupFile_.isEmpty())
        LoadROMFile(startupFile_);
}

void TQuarnTileMapper::defaultLayout()
{
    placeWindowsByDefault(wb_.forms);
}

// ---- load, reload, save ------------------------------------------------------------

void TQuarnTileMapper::LoadROMFile(const QString& fileName)
{
    SharedState& s = wb_.state;
    Forms& f = wb_.forms;
    // Asked before the file is read: saving may write the very file opened.
    if (!mayDiscardChanges())
        return;
    // The file is read before anything changes: a file that cannot be opened
    // leaves the image, its name and the codec as they were.
    FileReadResult file = readWholeFile(fileName, OpenMode::ReadWrite);
    if (!file.ok()) {
        showError(file.error);
        return;
    }
    // An open block goes with the image it came from; the question above
    // has covered it.
    if (std::unique_ptr<OpenBlock> block = std::move(s.openBlock))
        block->close(s.rom);
    s.clickGuard = true;
    if (QAction* font = action("vstrfont"))
        font->setChecked(false);
    const std::string name = QFileInfo(fileName).absoluteFilePath().toStdString();
    const Codec codec = codecForFileName(name);
    f.tileMapForm->showCodecInBox(codec);
    f.tileMapForm->setCodec(codec);

    s.romLoaded = true;
    s.rom.open(makeRomImage(std::move(file.bytes), kMinimumLoadSize), name);

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
    for (const char* name : {"TileMapMenu", "DataMapMenu", "ReloadItem", "SaveItem", "SaveASitem",
                             "CreatePatchItem", "ApplyPatchItem", "ReadPalItem"})
        action(name)->setEnabled(true);
    enableBlockItems();
    wb_.forms.tileEditForm->enableButtons();
}

void TQuarnTileMapper::ReloadItemClick()
{
    SharedState& s = wb_.state;
    if (!mayDiscardChanges())
        return;
    FileReadResult file = readWholeFile(QString::fromStdString(s.romImage().fileName()), OpenMode::ReadWrite);
    if (!file.ok()) {
        showError(file.error);
        return;
    }
    // The file replaces the ROM image, so an open block closes first and the
    // windows stand where they stood in the image.
    leaveBlock();
    s.rom.reset(makeRomImage(std::move(file.bytes), kMinimumReloadSize));
    // Position and ranges stay as they were; every reader stays inside the
    // image. The captions show the new size.
    wb_.forms.tileMapForm->redrawTileMap();
    wb_.forms.tileMapForm->updateCaption();
    wb_.forms.dataForm->updateCaption();
    buildMainTitle();
}

void TQuarnTileMapper::SaveItemClick()
{
    saveRom();
}

bool TQuarnTileMapper::saveRom()
{
    SharedState& s = wb_.state;
    // The file holds the image with the open block in it: the block is
    // written back first, and a block that no longer fits saves nothing.
    if (!writeBackBlock())
        return false;
    RomDocument& image = s.openBlock ? s.openBlock->image() : s.rom;
    const QString error = writeWholeFile(QString::fromStdString(image.fileName()), image);
    if (!error.isEmpty()) {
        showError(error);
        return false;
    }
    image.markSaved();
    buildMainTitle();
    return true;
}

bool TQuarnTileMapper::mayDiscardChanges()
{
    SharedState& s = wb_.state;
    // A paint stroke under way has written its pixels: it is a change like
    // any other, and what Save writes or Cancel keeps. An open block counts
    // as part of the image: Save writes it back first.
    s.rom.endStep();
    if (!s.romLoaded || !s.unsavedChanges())
        return true;
    const QString name = QFileInfo(QString::fromStdString(s.romImage().fileName())).fileName();
    const SaveChangesQuestion question{wb_.text("SaveChanges").arg(name), wb_.text("SaveItem"), wb_.text("Discard"),
                                       wb_.text("Cancel")};
    switch (wb_.dialogs().askSaveChanges(this, question)) {
    case SaveChangesAnswer::Save:
        return saveRom();
    case SaveChangesAnswer::Discard:
        return true;
    case SaveChangesAnswer::Cancel:
        break;
    }
    return false;
}

void TQuarnTileMapper::closeEvent(QCloseEvent* event)
{
    // The close that ends a logout already answered for this very state
    // does not ask again.
    const bool answered = discardAgreedAt_ && *discardAgreedAt_ == wb_.state.rom.history().position();
    if (answered || mayDiscardChanges())
        event->accept();
    else
        event->ignore();
}

#ifndef QT_NO_SESSIONMANAGER
void TQuarnTileMapper::commitData(QSessionManager& manager)
{
    // Without leave to ask, the session ends as the user chose; a later
    // close event asks again if the program is still running.
    if (!manager.allowsInteraction())
        return;
    const bool goOn = mayDiscardChanges();
    manager.release();
    if (goOn)
        discardAgreedAt_ = wb_.state.rom.history().position();
    else
        manager.cancel();
}
#endif


void TQuarnTileMapper::SaveASitemClick()
{
    const FileDialogOptions options = wb_.fileDialog("SaveROMTitle", "ROMFilter", "");
    const std::optional<QString> chosen = wb_.dialogs().saveFileName(this, options);
    if (!chosen)
        return;
    SharedState& s = wb_.state;
    if (!writeBackBlock())
        return;
    RomDocument& image = s.openBlock ? s.openBlock->image() : s.rom;
    // The new name is taken over only once the image has been written there.
    const QString error = writeWholeFile(*chosen, image);
    if (!error.isEmpty()) {
        showError(error);
        return;
    }
    const std::string name = QFileInfo(*chosen).absoluteFilePath().toStdString();
    image.savedAs(name);
    if (s.openBlock) // the block's document goes by its image's name
        s.rom.savedAs(name);
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
    const RomDocument& image = s.romImage();
    QString title = QString::fromLatin1(kApplicationTitle);
    if (s.romLoaded || !image.fileName().empty())
        title += QStringLiteral(" - [") + QString::fromStdString(image.fileName()) + QStringLiteral("]") +
                 (image.modified() ? QStringLiteral("*") : QString());
    // "... - [game.gba] LZ77 block at 001A2B40*": the block's own "*" says
    // what is not written back yet.
    if (s.openBlock)
        title += QLatin1Char(' ') + openBlockName() + (s.rom.modified() ? QStringLiteral("*") : QString());
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
