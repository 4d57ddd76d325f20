#pragma once
// The Pointer Table window: a table's entries through the character table,
// where values point at the data map's selected byte, and a table's strings
// dumped to a pointer script and put back into free space.
#include "pointers/pointeroptions.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class Workbench;
struct PointerInsertPlan;

class Tpointerform : public QWidget {
    Q_OBJECT
public:
    Tpointerform(Workbench& workbench, QWidget* parent);

    // The end of the redraw chain: the image, or the ROM, may have changed.
    void imageChanged();
    void applyTexts();
    // The options as the fields hold them; nothing (and the reason in the
    // status line) when one does not read.
    std::optional<PointerOptions> fieldOptions();

    void PtrListDblClick();
    void FoundListDblClick();
    void FindBtnClick();
    void DumpBtnClick();
    void InsertBtnClick();

    QLineEdit* PtrPosEdit = nullptr;
    QLineEdit* PtrCountEdit = nullptr;
    QComboBox* PtrSizeBox = nullptr;
    QLineEdit* PtrStrideEdit = nullptr;
    QCheckBox* PtrBigEndianBox = nullptr;
    QComboBox* PtrMapBox = nullptr;
    QLineEdit* PtrBaseEdit = nullptr;
    QLineEdit* PtrHeaderEdit = nullptr;
    QLineEdit* PtrBankEdit = nullptr;
    QLineEdit* PtrSpaceEdit = nullptr;
    QPushButton* FindBtn = nullptr;
    QPushButton* DumpBtn = nullptr;
    QPushButton* InsertBtn = nullptr;
    QTreeWidget* PtrList = nullptr;
    QListWidget* FoundList = nullptr;
    QLabel* PtrStatus = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void showOptions(const PointerOptions& options);
    // A field was changed by the user: keep the options and list anew.
    void optionsEdited();
    void refreshList();
    // The one place the window writes into the image, as one undo step.
    void writeIntoImage(const PointerTable& table, const PointerInsertPlan& plan);
    QString optionsFileName() const;
    std::optional<PointerTable> checkedTable();

    Workbench& wb_;
    std::string optionsRom_; // the ROM whose options the fields hold
    bool showing_ = false;   // fields being filled by the program
    std::optional<std::uint64_t> shown_; // fingerprint of what the list shows
};
