#pragma once
#include <QDialog>

class Workbench;

// The modal box that asks for one short value.
class TInputForm : public QDialog {
    Q_OBJECT
public:
    TInputForm(Workbench& workbench, QWidget* parent);

private:
    Workbench& wb_;
};
