#pragma once
#include "app/forms.h"

#include <QMainWindow>

#include <map>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QMenu;

// The main window: menus, the shared state, loading and saving.
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
    QAction* action(const char* name) const;

    void acceptFileDrag(QDragEnterEvent* event);
    void handleFileDrop(QDropEvent* event);

    // Menu commands.
    void OpenItemClick();
    void ReloadItemClick();
    void SaveItemClick();
    void SaveASitemClick();
    void ExitItemClick();
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

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormShow();
    void createMenus();
    QMenu* addMenu(const char* name, const QString& caption);
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                     void (TQuarnTileMapper::*handler)() = nullptr);
    void showError(const QString& text);
    void enableAfterLoad();
    FileDialogOptions romDialogOptions(const char* titleKey) const;
    void toggleWindow(const char* itemName, QWidget* window);

    Workbench wb_;
    bool started_ = false;
    QString startupFile_;
    std::map<QString, QAction*> actions_;
    std::map<QString, QMenu*> menus_;
};
