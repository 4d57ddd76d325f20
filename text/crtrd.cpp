#include "text/crtrd.h"

#include "app/forms.h"

Tcrtransform::Tcrtransform(Workbench& workbench, QWidget* parent) : QDialog(parent), wb_(workbench)
{
    setObjectName(QStringLiteral("crtransform"));
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
}
