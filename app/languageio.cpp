#include "app/languageio.h"

#include "app/fileio.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

LanguageFileRead readLanguageFile(const QString& path, const CodePage& inForce)
{
    const FileReadResult read = readWholeFile(path);
    if (!read.ok())
        return {std::nullopt, read.error};
    const std::string_view bytes(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size());

    const std::string inForceName = inForce.name().toStdString();
    const TextDecoder decode = [&](std::string_view text, std::string_view codePage) -> std::optional<std::string> {
        // The page in force is used as it is, even one CodePage only emulates.
        const CodePage page = codePage == inForceName ? inForce : CodePage(QString::fromUtf8(codePage));
        if (!page.isValid() && codePage != inForceName)
            return std::nullopt;
        return page.toUnicode(text).toStdString();
    };
    LanguageFileRead result{parseLanguageFile(bytes, decode, inForceName), {}};
    if (!result.file) {
        const std::string encoding = languageFileEncoding(bytes, inForceName);
        result.error = QStringLiteral("Unknown code page \"%1\"").arg(QString::fromStdString(encoding));
    }
    return result;
}

QStringList languageFilePaths(const QString& langFolder)
{
    const QDir folder(langFolder);
    std::vector<std::string> names;
    for (const QString& name : folder.entryList({QStringLiteral("*.lng")}, QDir::Files))
        names.push_back(name.toStdString());
    QStringList paths;
    for (const std::string& name : sortedLanguageFileNames(std::move(names)))
        paths.append(folder.filePath(QString::fromStdString(name)));
    return paths;
}

QString installedLanguageFolder()
{
    return QStringLiteral(QUARN_INSTALLED_LANG_FOLDER);
}

QString languageFolderFor(const QString& programFolder)
{
    const QDir program(programFolder);
    const QString beside = program.filePath(QStringLiteral("lang"));
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed = QDir::cleanPath(program.filePath(installedLanguageFolder()));
    return QFileInfo(installed).isDir() ? installed : beside;
}

QString languageFolderOfProgram()
{
    return languageFolderFor(QCoreApplication::applicationDirPath());
}
