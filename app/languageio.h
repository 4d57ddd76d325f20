#pragma once
// Language files on disk: where the "lang" folder is, and reading one file
// through the Qt code page converters.
#include "app/codepage.h"
#include "app/languagefile.h"

#include <QString>
#include <QStringList>

#include <optional>

struct LanguageFileRead {
    std::optional<LanguageFile> file;
    QString error; // the message to show when `file` is empty
};

// An 8-bit file without a "codepage" of its own is read in `inForce`.
[[nodiscard]] LanguageFileRead readLanguageFile(const QString& path, const CodePage& inForce);

// Full paths of the "*.lng" files in `langFolder`, in language menu order;
// none when the folder is missing.
[[nodiscard]] QStringList languageFilePaths(const QString& langFolder);

// Where an installed copy keeps "lang", relative to the program's folder
// (../share/quarn-tile-mapper/lang under the usual prefix).
[[nodiscard]] QString installedLanguageFolder();

// The "lang" folder of a program in `programFolder`: the one beside it (a
// build tree or an unpacked copy) when that exists, else the installed one
// when that exists, else the one beside it.
[[nodiscard]] QString languageFolderFor(const QString& programFolder);

// The "lang" folder of the running program.
[[nodiscard]] QString languageFolderOfProgram();
