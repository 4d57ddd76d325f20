#pragma once
#include <QWidget>

class Workbench;

// The workspace: a scratch buffer of bytes shown like the data map.
class Tworkspaceform : public QWidget {
    Q_OBJECT
public:
    Tworkspaceform(Workbench& workbench, QWidget* parent);
    void redraw();

private:
    Workbench& wb_;
};
