#include "search/srres.h"

#include "app/forms.h"

Tsearchresform::Tsearchresform(Workbench& workbench, QWidget* parent) : QWidget(parent, Qt::Window), wb_(workbench)
{
    setObjectName(QStringLiteral("searchresform"));
    setWindowTitle(wb_.text("SearchResult"));
}
