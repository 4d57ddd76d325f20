#include "app/forms.h"
#include "app/kvrmain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    std::unique_ptr<TQuarnTileMapper> mainWindow = createApplicationWindows();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        mainWindow->setStartupFile(arguments.at(1));
    mainWindow->show();
    return QApplication::exec();
}
