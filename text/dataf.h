#pragma once
#include <QWidget>

class Workbench;

// The data map window: the ROM image as a grid of codes.
class Tdataform : public QWidget {
    Q_OBJECT
public:
    Tdataform(Workbench& workbench, QWidget* parent);

    // Steps of the redraw chain; the grid itself is drawn once this window
    // shows codes, until then they only keep the calls in place.
    void applyGridSize();
    void drawDataMap();
    void updateDataScrollRange();
    void moveDataScroll(int position);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    Workbench& wb_;
};
