#include "text/dataf.h"

#include "app/forms.h"
#include "app/kvrmain.h"

#include <QDragEnterEvent>
#include <QDropEvent>

Tdataform::Tdataform(Workbench& workbench, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), wb_(workbench)
{
    setObjectName(QStringLiteral("dataform"));
    setWindowTitle(wb_.text("DataForm"));
    setMinimumSize(512, 546);
    setAcceptDrops(true);
}

void Tdataform::applyGridSize() {}
void Tdataform::drawDataMap() {}
void Tdataform::updateDataScrollRange() {}

void Tdataform::moveDataScroll(int position)
{
    wb_.state.dataPosition = position;
}

void Tdataform::dragEnterEvent(QDragEnterEvent* event)
{
    wb_.forms.mainForm->acceptFileDrag(event);
}

void Tdataform::dropEvent(QDropEvent* event)
{
    // Files dropped here are opened exactly as on the main window.
    wb_.forms.mainForm->handleFileDrop(event);
}
