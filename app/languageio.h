#pragma once
// Language files on disk: the "lang" folder beside the program and reading
// one file through the Qt code page converters.
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

// The "lang" folder in the folder of the running program.
[[nodiscard]] QString languageFolderBesideProgram();
