#pragma once
// The readers that take a path get the fuzz input through one file of this
// process in the temporary folder, rewritten for every input.
#include <QDir>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <unistd.h>

class ScratchFile {
public:
    explicit ScratchFile(const char* extension)
        : path_(QDir(QDir::tempPath())
                    .filePath(QStringLiteral("quarn-fuzz-%1.%2").arg(getpid()).arg(QLatin1String(extension))))
    {
    }
    ~ScratchFile() { std::remove(path_.toLocal8Bit().constData()); }

    // The path of a file holding exactly `bytes`.
    const QString& holding(std::span<const std::uint8_t> bytes) const
    {
        std::FILE* file = std::fopen(path_.toLocal8Bit().constData(), "wb");
        if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
            std::perror("quarn-fuzz scratch file");
            std::abort();
        }
        std::fclose(file);
        return path_;
    }

private:
    QString path_;
};
