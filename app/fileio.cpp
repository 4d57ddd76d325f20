#include "app/fileio.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <limits>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

QString fileErrorText(int systemError)
{
    switch (systemError) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("File not found");
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EBUSY:
        return QStringLiteral("File access denied");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QStringLiteral("Disk full");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case ENAMETOOLONG:
    case EINVAL:
        return QStringLiteral("Invalid filename");
    default:
        return QStringLiteral("I/O error %1").arg(systemError);
    }
}

namespace {
// errno of the failing call, or a generic I/O error when the call set none.
int lastError(int fallback = EIO) { return errno != 0 ? errno : fallback; }

// Gives `bytes` room for `size` bytes and, for large files, asks for huge
// pages before the memory is first touched: a ROM of tens of MiB otherwise
// costs thousands of page faults, which dominate the time of an Open.
void reserveForFile(RomBytes& bytes, std::size_t size)
{
    bytes.reserve(size);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t kHugePage = RomAllocator<std::uint8_t>::kLargeBlock;
    if (size < kHugePage)
        return;
    // Large blocks start on a huge page; the advice covers the whole pages
    // the file fills, the tail is left to ordinary pages.
    const auto begin = reinterpret_cast<std::uintptr_t>(bytes.data());
    const std::uintptr_t alignedBegin = (begin + kHugePage - 1) / kHugePage * kHugePage;
    const std::uintptr_t end = (begin + size) / kHugePage * kHugePage;
    if (end > alignedBegin) // advice only; without huge pages the read just takes longer
        (void)madvise(reinterpret_cast<void*>(alignedBegin), end - alignedBegin, MADV_HUGEPAGE);
#endif
}
} // namespace

FileReadResult readWholeFile(const QString& path, OpenMode mode)
{
    FileReadResult result;
    if (path.isEmpty()) {
        result.error = fileErrorText(ENOENT);
        return result;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        result.error = fileErrorText(ENOENT);
        return result;
    }
    if (info.isDir()) {
        result.error = fileErrorText(EISDIR);
        return result;
    }
    QFile file(path);
    errno = 0;
    const QIODevice::OpenMode openMode = mode == OpenMode::ReadWrite
                                             ? (QIODevice::ReadWrite | QIODevice::ExistingOnly)
                                             : QIODevice::ReadOnly;
    if (!file.open(openMode)) {
        result.error = fileErrorText(lastError(EACCES));
        return result;
    }
    const qint64 size = file.size();
    if (size > std::numeric_limits<std::int32_t>::max()) {
        result.error = QStringLiteral("File is too large (more than 2 GiB)");
        return result;
    }
    reserveForFile(result.bytes, static_cast<std::size_t>(size));
    result.bytes.resize(static_cast<std::size_t>(size)); // left uninitialised: the read fills it
    qint64 done = 0;
    while (done < size) {
        errno = 0;
        const qint64 got = file.read(reinterpret_cast<char*>(result.bytes.data()) + done, size - done);
        if (got < 0) {
            result.error = fileErrorText(lastError());
            result.bytes.clear();
            return result;
        }
        if (got == 0)
            break; // the file shrank while being read
        done += got;
    }
    result.bytes.resize(static_cast<std::size_t>(done));
    return result;
}

QString writeWholeFile(const QString& path, std::span<const std::uint8_t> bytes)
{
    if (path.isEmpty())
        return fileErrorText(ENOENT);
    if (QFileInfo(path).isDir())
        return fileErrorText(EISDIR);
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return fileErrorText(lastError(EACCES));
    errno = 0;
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        const QString message = fileErrorText(lastError());
        file.cancelWriting();
        return message;
    }
    errno = 0;
    if (!file.commit())
        return fileErrorText(lastError());
    return {};
}
