#pragma once
#include <QDialog>

class Workbench;

// The script extract and replace dialog.
class Tcrtransform : public QDialog {
    Q_OBJECT
public:
    Tcrtransform(Workbench& workbench, QWidget* parent);

private:
    Workbench& wb_;
};
