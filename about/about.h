#pragma once
#include <QDialog>

class Workbench;

// The about box: title, credits and two links.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    TAboutForm(Workbench& workbench, QWidget* parent);
    void applyTexts();

private:
    Workbench& wb_;
    class QLabel* version_;
    class QLabel* thanks_;
    class QLabel* searcher_;
    class QLabel* modifiedBy_;
    class QLabel* links_;
    class QPushButton* close_;
};
