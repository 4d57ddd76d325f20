#pragma once
#include <QDialog>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class Workbench;

// The search dialog: hexadecimal, relative and table-text search. Created
// once; its fields, mode and interval stay between searches.
class TSearchForm : public QDialog {
    Q_OBJECT
public:
    TSearchForm(Workbench& workbench, QWidget* parent);

    // Shows the dialog through the dialog seam; whether a search was asked for.
    bool execute();
    // Open Table makes table-text search available for the rest of the run.
    void enableTableText();
    int interval() const;

    QLabel* hexfl = nullptr;
    QRadioButton* f1 = nullptr;
    QLineEdit* hexfed = nullptr;
    QLabel* rsl = nullptr;
    QRadioButton* f2 = nullptr;
    QLineEdit* tfed = nullptr;
    QLabel* tfl = nullptr;
    QRadioButton* f3 = nullptr;
    QLineEdit* ntsed = nullptr;
    QPushButton* FindBtn = nullptr;
    QPushButton* CnBtn = nullptr;
    QLabel* intLab = nullptr;
    QSpinBox* intervalspin = nullptr;

    void FindBtnClick();
    void CnBtnClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void hexfedChange(const QString& text);
    void ntsedChange(const QString& text);
    bool hexfedKeyPress(class QKeyEvent* event);
    bool ntsedKeyPress(class QKeyEvent* event);
    bool inTableCharSet(QChar ch) const;

    Workbench& wb_;
    bool confirmed_ = false;
};
