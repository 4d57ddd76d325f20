#pragma once
#include <QWidget>

class Workbench;

// The list of relative search hits.
class Tsearchresform : public QWidget {
    Q_OBJECT
public:
    Tsearchresform(Workbench& workbench, QWidget* parent);

private:
    Workbench& wb_;
};
