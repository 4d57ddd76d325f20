#include "workspace/workspacef.h"

#include "app/forms.h"

Tworkspaceform::Tworkspaceform(Workbench& workbench, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), wb_(workbench)
{
    setObjectName(QStringLiteral("workspaceform"));
    setWindowTitle(wb_.text("WorkSpaceForm"));
    setMinimumSize(528, 573);
}

// The workspace grid comes with the workspace buffer commands.
void Tworkspaceform::redraw() {}
