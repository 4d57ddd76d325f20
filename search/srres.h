#pragma once
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class QAction;
class QListView;
class QMenu;
class QMenuBar;
class ResultListModel;
class Workbench;

// The list of relative search hits: go to a hit, keep the list in a .rss
// file, and make a first character table from a hit.
class Tsearchresform : public QWidget {
    Q_OBJECT
public:
    Tsearchresform(Workbench& workbench, QWidget* parent);

    // Replaces the list (a relative search) and shows the window.
    void showResults(std::vector<std::string> lines);
    // Shows the window without changing the list.
    void showWindow();
    const std::vector<std::string>& lines() const;
    QAction* action(const char* name) const;

    QListView* searchlist = nullptr;

    void searchlistDblClick();
    void N2Click();
    void N3Click();
    void N4Click();
    void N6Click();
    void N7Click();
    void N8Click();
    void N9Click();
    void N11Click(); // Create Table with both letter cases
    void N10Click();

protected:
    // The window's own shortcuts (Ctrl+O, Ctrl+S, Ctrl+M, Ctrl+Del) win over
    // the main menu's while it is active.
    bool event(QEvent* event) override;

private:
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut,
                     void (Tsearchresform::*handler)());
    // The selected line; nothing when no line is selected.
    std::optional<std::string> selectedLine() const;
    void goToSelectedLine();
    void makeTableFromSelectedLine(bool bothCases = false);

    Workbench& wb_;
    ResultListModel* model_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QMenu* popup_ = nullptr;
    std::vector<QAction*> shortcutItems_;
    bool placed_ = false;
};
