#pragma once
#include <QDialog>

class Workbench;

// The search dialog.
class TSearchForm : public QDialog {
    Q_OBJECT
public:
    TSearchForm(Workbench& workbench, QWidget* parent);

private:
    Workbench& wb_;
};
