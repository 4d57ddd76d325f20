#include "app/codecfolders.h"

#include "tiles/codec.h"
#include "tiles/codecfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

// The file's text, or the message why there is none.
std::optional<QByteArray> readCodecFile(const QString& path, QString& problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
        return std::nullopt;
    }
    // Read one byte past the limit rather than trusting the size the file
    // system reports.
    QByteArray text = file.read(kMaxCodecFileBytes + 1);
    if (text.size() > kMaxCodecFileBytes) {
        problem = QStringLiteral("the file is larger than %1 bytes").arg(kMaxCodecFileBytes);
        return std::nullopt;
    }
    return text;
}

QString addCodecFile(const QString& path)
{
    QString problem;
    const std::optional<QByteArray> text = readCodecFile(path, problem);
    if (!text)
        return problem;
    const CodecFileResult parsed =
        parseCodecFile(std::string_view(text->constData(), static_cast<std::size_t>(text->size())));
    if (!parsed.description)
        return QString::fromStdString(parsed.error);
    std::string error;
    if (!addDescribedCodec(*parsed.description, error))
        return QString::fromStdString(error);
    return {};
}

} // namespace

QStringList standardCodecFolders()
{
    const QString generic = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QStringList folders{QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("codecs"))};
    // Not the application data folder: the program's name there carries its
    // version, and a user's codecs should outlive an upgrade.
    if (!generic.isEmpty())
        folders.append(QDir(generic).filePath(QStringLiteral("quarn-tile-mapper/codecs")));
    return folders;
}

QStringList loadCodecFolders(const QStringList& folders)
{
    QStringList problems;
    QStringList seen;
    for (const QString& folder : folders) {
        // The same folder named twice would only report every name as taken.
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (canonical.isEmpty() || seen.contains(canonical))
            continue;
        seen.append(canonical);
        QDir dir(folder);
        // Files only: no folder, device or named pipe, whose read could block.
        QStringList names = dir.entryList({QStringLiteral("*.codec")}, QDir::Files | QDir::Readable | QDir::Hidden);
        std::sort(names.begin(), names.end());
        for (const QString& name : names) {
            const QString path = dir.filePath(name);
            if (const QString problem = addCodecFile(path); !problem.isEmpty())
                problems.append(QDir::toNativeSeparators(path) + QStringLiteral(": ") + problem);
        }
    }
    return problems;
}
