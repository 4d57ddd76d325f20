#pragma once
#include "app/forms.h"

#include <QMainWindow>

#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QDragEnterEvent;
class QDropEvent;
class QKeyEvent;
class QMenu;
class ByteDocument;
class QCloseEvent;
class QSessionManager;
struct ImagePlace;

// Whether this program's "Open with" desktop entry is in place.
bool integrationInstalled();

// The main window: menus, the shared state, loading and saving.
enum class ColourFormat;

class TQuarnTileMapper : public QMainWindow {
    Q_OBJECT
public:
    TQuarnTileMapper();
    ~TQuarnTileMapper() override;

    Workbench& workbench() { return wb_; }
    // The file named on the command line, opened at the end of start-up.
    void setStartupFile(const QString& fileName) { startupFile_ = fileName; }

    // load ROM
    void LoadROMFile(const QString& fileName);
    void buildMainTitle();
    void defaultLayout();
    bool workspaceSwitchedOn() const;
    // Options > Use Built-in Font: cells show table characters.
    bool builtInFontChosen() const;
    QAction* action(const char* name) const;

    void acceptFileDrag(QDragEnterEvent* event);
    void handleFileDrop(QDropEvent* event);

    // Menu commands.
    void OpenItemClick();
    void ReloadItemClick();
    void SaveItemClick();
    // Save's rules: the image to its file; false (with the error shown) when
    // it could not be written.
    bool saveRom();
    // Before a modified image is given up (Open, Reload, a drop, the end of
    // the program): asks "Save changes to NAME?". True when the caller may go
    // on: nothing was modified, the user discarded, or the save succeeded.
    bool mayDiscardChanges();
    void SaveASitemClick();
    void ExitItemClick();
    // Patches (patch/patchmenu.cpp).
    void CreatePatchClick();
    void ApplyPatchClick();
    // Undo and Redo (app/undomenu.cpp): the workspace's own history while
    // the workspace window is the active one, the ROM image's otherwise.
    void UndoItemClick();
    void RedoItemClick();
    // Enables and captions the two items for the history they would act on.
    void updateUndoItems();
    void N4Click();
    void N5Click();
    void N6Click();
    void N7Click();
    void N11Click();
    void N12Click();
    void N13Click();
    void N29Click();
    void N27Click();
    void optItmClick();
    void AboutItemClick();

    // Palette menu and tile map menu (tiles/palettemenu.cpp, tiles/bmpexchange.cpp).
    void Restore1Click();
    void N1Click();
    void N2Click();
    void ReadPalClick();
    void WritePalClick();
    void NesPalClick();
    void N8Click();
    void BMP1Click();
    void BMP2Click();

    // Go To (app/gotomenu.cpp).
    void GoTo1Click();
    void GoTo2Click();

    // Tables menu and table help (text/tablemenu.cpp).
    void MkTmplItemClick();
    void OpenTblItemClick();
    void RldtblitemClick();
    void N3Click();
    // Prepares a loaded table for use: placeholders, the two fixed codes,
    // the table character set and the longest entry length.
    void finishTable();
    void setTableNameLabel();

    // Tile tables (text/tiletablemenu.cpp).
    void ottnlClick();
    void rttblClick();
    void cttblClick();

    // Data map menu (text/datamenu.cpp).
    void N9Click();
    void N10Click();
    void N28Click();
    void vstrfontClick();

    // Languages (app/languagemenu.cpp).
    void Stringinit();
    void Languageinit();
    // 0: the built-in English; n: the n-th language file.
    void EnglishClick(int language);
    void Languageapply();

    // Integration with the desktop's "Open with" (app/integration.cpp).
    void N30Click();
    void setIntegration(bool on);

    // The string bar (app/stringbar.cpp): maximum string length from the
    // spin edit or a Shift-click, extract and insert.
    void showMaxStringLength(int length);
    void GetBtnClick();
    void Getstring1Click();
    void PasteBtnClick();
    void PutString1Click();
    void LCntClick();
    void DataEditChange();
    // Enables the string controls once a table is finished.
    void enableStringControls();

    // Search (search/searchmenu.cpp).
    void SearchItemClick();
    void N25Click();
    void relativeSearchFor(const std::string& word, int interval);

    // Script commands (text/scriptmenu.cpp).
    void N20Click();
    void N24Click();
    // The Pointer Table window (pointers/pointerform.cpp).
    void N31Click();

    // Compressed blocks (app/blockmenu.cpp). While one is open the windows
    // show and edit its decompressed bytes; the ROM image waits aside.
    void OpenBlockClick();
    void WriteBackClick();
    void CloseBlockClick();
    // Recompresses the open block into the ROM image as one step of its
    // history; false (with a message) when it no longer fits. True when no
    // block is open or it has nothing new.
    bool writeBackBlock();
    // Close Block's question when the block has changes not written back
    // (Write Back, Discard, Cancel): true when the block may be closed.
    bool mayCloseBlock();
    // Returns the windows to the ROM image where they stood, without asking.
    void leaveBlock();
    // The title's part after the file name: "LZ77 block at 001A2B40".
    QString openBlockName() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    void createMenus();
    QMenu* addMenu(const char* name, const QString& caption);
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                     void (TQuarnTileMapper::*handler)() = nullptr);
    void showError(const QString& text);
    void enableAfterLoad();
    // Items that depend on whether a block is open.
    void enableBlockItems();
    // Every window shows the current image from `place`.
    void showImageAt(const ImagePlace& place);
    void toggleWindow(const char* itemName, QWidget* window);
    void createStringBar();
    // The string field's key filter: true when the key is dropped.
    bool DataEditKeyPress(QKeyEvent* event);
    bool characterOrientedCounting() const;
    // The document Undo and Redo act on: the workspace's while its window is
    // the active one, the ROM image's otherwise.
    ByteDocument& activeDocument();
#ifndef QT_NO_SESSIONMANAGER
    void commitData(QSessionManager& manager);
#endif
    void stepHistory(bool back);
    QString undoCaption(const char* key, const std::string& stepName) const;

    Workbench wb_;
    bool started_ = false;
    QString startupFile_;
    // The image's history position at which a logout was let go on.
    std::optional<std::uint64_t> discardAgreedAt_;
    std::map<QString, QAction*> actions_;
    std::map<QString, QMenu*> menus_;
    QStringList languageFiles_; // the "*.lng" files, read once at start
    // Where the palette in use was last read from the ROM, and in which
    // colour format; Write To ROM puts it back there.
    struct RomPalettePlace {
        std::int64_t offset = 0;
        ColourFormat format{};
    };
    std::optional<RomPalettePlace> romPalette_;

public:
    // The string bar and the table labels of the main window.
    QPushButton* GetBtn = nullptr;
    QPushButton* PasteBtn = nullptr;
    QLabel* LenLab = nullptr;
    QLabel* MaxLenLab = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QLineEdit* DataEdit = nullptr;
    QLabel* TBLnamel = nullptr;
    QLabel* Label4 = nullptr;
};
