#include "search/searchform.h"

#include "app/forms.h"

TSearchForm::TSearchForm(Workbench& workbench, QWidget* parent) : QDialog(parent), wb_(workbench)
{
    setObjectName(QStringLiteral("SearchForm"));
    setWindowTitle(wb_.text("Search"));
}
