#pragma once
// Whole-file reads and atomic whole-file writes, with the messages users see.
#include "app/romimage.h"

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

struct FileReadResult {
    RomBytes bytes;
    QString error; // empty on success

    bool ok() const { return error.isEmpty(); }
};

enum class OpenMode { ReadOnly, ReadWrite };

// Why `path` cannot be written over: a folder, or something that is not a
// regular file (a named pipe, device or socket), which a replacement would
// silently turn into a file. Empty when it is a regular file or does not exist.
[[nodiscard]] QString refuseNonRegularFile(const QString& path);

// Why nothing can be written at `path` because the folder it names does not
// exist (or is no folder); empty when the folder is there.
[[nodiscard]] QString refuseMissingFolder(const QString& path);

// Reads a whole file. With ReadWrite the file must also be writable, as a
// ROM is opened to be saved back; a file that cannot be opened so fails.
[[nodiscard]] FileReadResult readWholeFile(const QString& path, OpenMode mode = OpenMode::ReadOnly);

// Replaces the file with `bytes` through a temporary file in the same folder,
// keeping the old file's permissions; on failure the old file is untouched.
// Returns the error message, empty on success.
[[nodiscard]] QString writeWholeFile(const QString& path, std::span<const std::uint8_t> bytes);

// The message for a failed file operation, from the system's error number:
// "File not found", "File access denied", "Disk full", ...
QString fileErrorText(int systemError);
