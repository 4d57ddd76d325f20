#include "cli/romfile.h"

#include "app/romimage.h"

#include <QString>

#include <ostream>

std::optional<RomBytes> readToolFile(const std::string& path, const char* what, std::ostream& err,
                                                      OpenMode mode)
{
    FileReadResult file = readWholeFile(QString::fromLocal8Bit(path), mode);
    if (!file.ok()) {
        err << "quarn-tool: cannot read " << what << " '" << path << "': " << file.error.toStdString() << '\n';
        return std::nullopt;
    }
    return std::move(file.bytes);
}

std::optional<RomBytes> readRomAsOpened(const std::string& path, std::ostream& err)
{
    std::optional<RomBytes> file = readToolFile(path, "ROM", err);
    if (!file)
        return std::nullopt;
    return makeRomImage(std::move(*file), kMinimumLoadSize);
}
