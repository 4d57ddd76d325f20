#include "app/fileio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/mman.h>
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

// Why a file of this type is not read or replaced; empty for a regular file.
QString fileTypeError(const QString& path, mode_t type)
{
    if (S_ISREG(type))
        return {};
    if (S_ISDIR(type))
        return fileErrorText(EISDIR);
    const char* kind = S_ISFIFO(type)                     ? "a named pipe"
                       : (S_ISCHR(type) || S_ISBLK(type)) ? "a device"
                       : S_ISSOCK(type)                   ? "a socket"
                                                          : "something else";
    return QStringLiteral("'%1' is %2, not a regular file").arg(path, QLatin1String(kind));
}

// A descriptor of a regular file, closed unless handed on.
class RegularFile {
public:
    RegularFile() = default;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile()
    {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }

    // Opens without blocking, so a named pipe with no writer cannot stall the
    // open; the type is checked before (nothing else is opened at all, as
    // opening a device can have effects) and again on the opened descriptor,
    // in case the name was swapped in between.
    QString open(const QString& path, OpenMode mode)
    {
        if (path.isEmpty())
            return fileErrorText(ENOENT);
        const QByteArray name = QFile::encodeName(path);
        struct stat status {};
        if (::stat(name.constData(), &status) != 0)
            return fileErrorText(lastError(ENOENT));
        if (QString error = fileTypeError(path, status.st_mode); !error.isEmpty())
            return error;
        const int access = mode == OpenMode::ReadWrite ? O_RDWR : O_RDONLY;
        errno = 0;
        descriptor_ = ::open(name.constData(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (descriptor_ < 0)
            return fileErrorText(lastError(EACCES));
        if (::fstat(descriptor_, &status) != 0)
            return fileErrorText(lastError());
        if (QString error = fileTypeError(path, status.st_mode); !error.isEmpty())
            return error;
        const int flags = ::fcntl(descriptor_, F_GETFL);
        if (flags < 0 || ::fcntl(descriptor_, F_SETFL, flags & ~O_NONBLOCK) != 0)
            return fileErrorText(lastError());
        return {};
    }

    // Gives the descriptor to `file`, which closes it.
    bool handTo(QFile& file, QIODevice::OpenMode mode)
    {
        if (!file.open(descriptor_, mode, QFileDevice::AutoCloseHandle))
            return false;
        descriptor_ = -1;
        return true;
    }

private:
    int descriptor_ = -1;
};
} // namespace

QString refuseNonRegularFile(const QString& path)
{
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {}; // nothing there yet: the writer creates a regular file or reports why not
    return fileTypeError(path, status.st_mode);
}

QString refuseMissingFolder(const QString& path)
{
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (folder.isDir())
        return {};
    const QString name = QDir::toNativeSeparators(folder.filePath());
    return folder.exists() ? QStringLiteral("'%1' is not a folder").arg(name)
                           : QStringLiteral("The folder '%1' does not exist").arg(name);
}

FileReadResult readWholeFile(const QString& path, OpenMode mode)
{
    FileReadResult result;
    RegularFile regular;
    if (QString error = regular.open(path, mode); !error.isEmpty()) {
        result.error = error;
        return result;
    }
    QFile file(path);
    errno = 0;
    const QIODevice::OpenMode openMode = mode == OpenMode::ReadWrite
                                             ? (QIODevice::ReadWrite | QIODevice::ExistingOnly)
                                             : QIODevice::ReadOnly;
    if (!regular.handTo(file, openMode)) {
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
    if (QString error = refuseNonRegularFile(path); !error.isEmpty())
        return error;
    if (QString error = refuseMissingFolder(path); !error.isEmpty())
        return error;
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
