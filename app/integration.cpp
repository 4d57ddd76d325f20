// Options > Integration With Explorer: on a freedesktop desktop a desktop
// entry puts the program into the file manager's "Open with" menu.
#include "app/desktopentry.h"
#include "app/fileio.h"
#include "app/kvrmain.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace {
QString applicationsFolder()
{
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    const QString base = !dataHome.isEmpty() && QDir::isAbsolutePath(dataHome)
                             ? dataHome
                             : QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/applications");
}

QString entryPath()
{
    return applicationsFolder() + QStringLiteral("/quarn-tile-mapper-open-with.desktop");
}

std::string programPath()
{
    return QCoreApplication::applicationFilePath().toStdString();
}

// Lets the desktop see the change at once; a desktop without the tool is fine.
void refreshDesktopDatabase()
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!tool.isEmpty())
        QProcess::execute(tool, {applicationsFolder()});
}
} // namespace

bool integrationInstalled()
{
    const FileReadResult file = readWholeFile(entryPath());
    if (!file.ok())
        return false;
    // An entry left behind by the program at another path does not count.
    return desktopEntryRunsProgram(
        std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()), programPath());
}

void TQuarnTileMapper::N30Click()
{
    // The item is checkable: the check mark has already flipped.
    setIntegration(action("N30")->isChecked());
}

void TQuarnTileMapper::setIntegration(bool on)
{
    const QString path = entryPath();
    if (!on) {
        if (QFile::exists(path) && !QFile::remove(path))
            showError(wb_.text("CannotRemove").arg(path));
        refreshDesktopDatabase();
        return;
    }
    const std::string text =
        desktopEntryText(wb_.text("regopenkey").toStdString() + " Quarn Tile Mapper", programPath());
    QString error;
    if (!QDir().mkpath(applicationsFolder()))
        error = wb_.text("CannotCreateFolder");
    else
        error = writeWholeFile(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    if (!error.isEmpty()) {
        showError(path + QStringLiteral(": ") + error);
        return;
    }
    refreshDesktopDatabase();
}
