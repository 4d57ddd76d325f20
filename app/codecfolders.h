#pragma once
// The .codec files the programs read as they start: each file's format is
// added to the codec list after the built-in ones.
#include <QString>
#include <QStringList>

// Larger files are refused unread; the largest tile (32 x 32 pixels of 8
// bits) written as a table takes well under a tenth of this.
inline constexpr qint64 kMaxCodecFileBytes = 1 << 20;

// The "codecs" folder beside the program, then the user's own
// (~/.local/share/quarn-tile-mapper/codecs on Linux). Needs a QCoreApplication.
[[nodiscard]] QStringList standardCodecFolders();

// Adds the codec of every *.codec file in `folders`, folder by folder and in
// file name order within one, so the codec list's order never depends on
// the file system. A file that cannot be read or used, or whose name is
// taken, is skipped; the messages say why, one per file, as
// "FILE: line N: ...". A missing folder is no problem.
[[nodiscard]] QStringList loadCodecFolders(const QStringList& folders);
