#include "app/codecfolders.h"
#include "app/codecwarning.h"
#include "app/forms.h"
#include "app/kvrmain.h"
#include "app/settings.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    // Before any window fills its codec box.
    const QStringList codecProblems = loadCodecFolders(standardCodecFolders());
    std::unique_ptr<TQuarnTileMapper> mainWindow = createApplicationWindows();

    const StartupArguments arguments = parseStartupArguments(QApplication::arguments().mid(1));
    QStringList problems = arguments.problems;
    Workbench& wb = mainWindow->workbench();
    wb.settings = std::make_unique<PersistedSettings>();
    wb.codePage = startupCodePage(*wb.settings, arguments.codePage, problems);
    for (const QString& problem : problems + codecProblems)
        std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());

    if (!arguments.romFile.isEmpty())
        mainWindow->setStartupFile(arguments.romFile);
    mainWindow->show();
    // Users who start the program from a desktop never see stderr.
    if (!problems.isEmpty())
        mainWindow->workbench().dialogs().showMessage(mainWindow.get(), problems.join(QLatin1Char('\n')));
    warnOfSkippedCodecFiles(wb, mainWindow.get(), codecProblems);
    return QApplication::exec();
}
