#include "app/inputbox.h"

#include "app/forms.h"

TInputForm::TInputForm(Workbench& workbench, QWidget* parent) : QDialog(parent), wb_(workbench)
{
    setObjectName(QStringLiteral("InputForm"));
    setWindowTitle(QString::fromLatin1(kApplicationTitle));
    setFixedSize(303, 76);
}
