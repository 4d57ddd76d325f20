#include "app/fileio.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

// Failure messages show the text, not the bytes of the object.
static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes patternBytes(std::size_t size, unsigned seed = 1)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 31 + seed * 17) ^ (i >> 8));
    return bytes;
}

fs::path pathOf(const QString& path) { return fs::path(path.toStdString()); }

void writeRaw(const QString& path, const Bytes& bytes)
{
    std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path.toStdString();
}

Bytes readRaw(const QString& path)
{
    std::ifstream in(pathOf(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> namesIn(const QString& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(pathOf(folder)))
        names.push_back(entry.path().filename().string());
    return names;
}

// Permission bits mean nothing to root, so tests that rely on them say so.
bool runningAsRoot() { return ::geteuid() == 0; }

class FileIo : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString file(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

// ---- Reading ---------------------------------------------------------------

TEST_F(FileIo, WrittenBytesReadBackExactly)
{
    // Small files, and large ones whose memory is read with huge pages advised,
    // at sizes that do not end on a page.
    for (const std::size_t size : {std::size_t{70000}, std::size_t{(5u << 20) + 4099}}) {
        SCOPED_TRACE(size);
        const Bytes bytes = patternBytes(size);
        const QString path = file("game.nes");
        ASSERT_EQ(writeWholeFile(path, bytes), QString());
        EXPECT_EQ(readRaw(path), bytes) << "the file on disk";

        for (OpenMode mode : {OpenMode::ReadOnly, OpenMode::ReadWrite}) {
            const FileReadResult read = readWholeFile(path, mode);
            EXPECT_TRUE(read.ok()) << read.error.toStdString();
            EXPECT_TRUE(std::ranges::equal(read.bytes, bytes));
        }
    }
}

TEST_F(FileIo, EveryByteValueSurvives)
{
    Bytes bytes(256);
    for (int i = 0; i < 256; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    const QString path = file("all.bin");
    writeRaw(path, bytes);
    EXPECT_EQ(readWholeFile(path).bytes, bytes);
}

TEST_F(FileIo, EmptyFileReadsAsNoBytes)
{
    const QString path = file("empty.gb");
    writeRaw(path, {});
    const FileReadResult read = readWholeFile(path, OpenMode::ReadWrite);
    EXPECT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_TRUE(read.bytes.empty());
}

TEST_F(FileIo, MissingFileIsNotFound)
{
    for (OpenMode mode : {OpenMode::ReadOnly, OpenMode::ReadWrite}) {
        const FileReadResult read = readWholeFile(file("missing.nes"), mode);
        EXPECT_EQ(read.error, "File not found");
        EXPECT_TRUE(read.bytes.empty());
    }
    EXPECT_FALSE(fs::exists(pathOf(file("missing.nes")))) << "reading creates nothing";
    EXPECT_EQ(readWholeFile(QString()).error, "File not found");
    EXPECT_EQ(readWholeFile(file("no/such/folder/game.nes")).error, "File not found");
}

TEST_F(FileIo, FolderCannotBeReadAsAFile)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("roms"));
    for (OpenMode mode : {OpenMode::ReadOnly, OpenMode::ReadWrite}) {
        const FileReadResult read = readWholeFile(file("roms"), mode);
        EXPECT_EQ(read.error, "File access denied");
        EXPECT_TRUE(read.bytes.empty());
    }
}

TEST_F(FileIo, ReadOnlyFileOpensForReadingButNotForReadAndWrite)
{
    if (runningAsRoot())
        GTEST_SKIP() << "root may write any file";
    const QString path = file("locked.nes");
    writeRaw(path, patternBytes(100));
    fs::permissions(pathOf(path), fs::perms::owner_read);

    EXPECT_TRUE(readWholeFile(path, OpenMode::ReadOnly).ok());
    const FileReadResult read = readWholeFile(path, OpenMode::ReadWrite);
    EXPECT_EQ(read.error, "File access denied");
    EXPECT_TRUE(read.bytes.empty());
}

TEST_F(FileIo, UnreadableFileIsAccessDenied)
{
    if (runningAsRoot())
        GTEST_SKIP() << "root may read any file";
    const QString path = file("secret.nes");
    writeRaw(path, patternBytes(100));
    fs::permissions(pathOf(path), fs::perms::none);
    EXPECT_EQ(readWholeFile(path).error, "File access denied");
}

// Runs `read` on its own thread and gives up after a few seconds, so a read
// that blocks fails the test instead of hanging it. A reader stuck on the
// pipe is released by opening its other end.
template <typename Read>
std::optional<FileReadResult> readWithin(const QString& fifo, Read read)
{
    std::promise<FileReadResult> done;
    std::future<FileReadResult> result = done.get_future();
    std::thread reader([&] { done.set_value(read()); });
    const bool finished = result.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!finished) {
        const int writer = ::open(fifo.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    reader.join();
    if (!finished)
        return std::nullopt;
    return result.get();
}

TEST_F(FileIo, NamedPipeIsRefusedAtOnceAndKept)
{
    const QString fifo = file("game.nes");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString expected = "'" + fifo + "' is a named pipe, not a regular file";
    for (OpenMode mode : {OpenMode::ReadOnly, OpenMode::ReadWrite}) {
        const std::optional<FileReadResult> read = readWithin(fifo, [&] { return readWholeFile(fifo, mode); });
        ASSERT_TRUE(read.has_value()) << "reading a named pipe blocked";
        EXPECT_EQ(read->error, expected);
    }
    EXPECT_EQ(writeWholeFile(fifo, patternBytes(16)), expected);
    EXPECT_TRUE(fs::is_fifo(pathOf(fifo))) << "the pipe was replaced";
}

TEST_F(FileIo, DeviceIsNeitherReadNorReplaced)
{
    const QString device = QStringLiteral("/dev/null");
    const QString expected = "'/dev/null' is a device, not a regular file";
    EXPECT_EQ(readWholeFile(device).error, expected);
    EXPECT_EQ(writeWholeFile(device, patternBytes(4)), expected);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// ---- Writing ---------------------------------------------------------------

TEST_F(FileIo, WritingNothingMakesAnEmptyFile)
{
    const QString path = file("empty.bin");
    ASSERT_EQ(writeWholeFile(path, {}), QString());
    ASSERT_TRUE(fs::exists(pathOf(path)));
    EXPECT_EQ(fs::file_size(pathOf(path)), 0u);
}

TEST_F(FileIo, ReplacingAFileLeavesOnlyTheNewBytes)
{
    const QString path = file("game.smc");
    writeRaw(path, patternBytes(5000, 1));
    const Bytes shorter = patternBytes(3000, 2);
    ASSERT_EQ(writeWholeFile(path, shorter), QString());
    EXPECT_EQ(readRaw(path), shorter) << "no tail of the old file";
}

TEST_F(FileIo, ReplacingAFileKeepsItsPermissions)
{
    const QString path = file("game.gba");
    writeRaw(path, patternBytes(64, 1));
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read; // 0640
    fs::permissions(pathOf(path), mode);

    const Bytes bytes = patternBytes(128, 2);
    ASSERT_EQ(writeWholeFile(path, bytes), QString());
    EXPECT_EQ(fs::status(pathOf(path)).permissions() & fs::perms::mask, mode);
    EXPECT_EQ(readRaw(path), bytes);
}

TEST_F(FileIo, WritingLeavesNoTemporaryFileBehind)
{
    const QString path = file("game.nes");
    writeRaw(path, patternBytes(10));
    ASSERT_EQ(writeWholeFile(path, patternBytes(20)), QString());
    ASSERT_EQ(writeWholeFile(file("other.nes"), patternBytes(20)), QString());
    auto names = namesIn(dir.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"game.nes", "other.nes"}));
}

TEST_F(FileIo, WritingIntoAMissingFolderFailsAndCreatesNothing)
{
    const QString path = file("missing/game.nes");
    const QString error = writeWholeFile(path, patternBytes(16));
    EXPECT_EQ(error, "The folder '" + file("missing") + "' does not exist");
    EXPECT_FALSE(fs::exists(pathOf(file("missing"))));
    EXPECT_TRUE(namesIn(dir.path()).empty());
}

TEST_F(FileIo, WritingBelowARegularFileFailsAndKeepsThatFile)
{
    const QString parent = file("game.nes");
    const Bytes old = patternBytes(32);
    writeRaw(parent, old);
    EXPECT_EQ(writeWholeFile(parent + "/child.bin", patternBytes(16)), "'" + parent + "' is not a folder");
    EXPECT_EQ(readRaw(parent), old);
}

TEST_F(FileIo, WritingOverAFolderIsRefusedAndTheFolderStays)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("roms"));
    const QString inside = file("roms/keep.nes");
    const Bytes old = patternBytes(32);
    writeRaw(inside, old);

    EXPECT_EQ(writeWholeFile(file("roms"), patternBytes(16)), "File access denied");
    EXPECT_TRUE(fs::is_directory(pathOf(file("roms"))));
    EXPECT_EQ(readRaw(inside), old);
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"roms"}));
}

TEST_F(FileIo, FailedReplacementLeavesTheOldFileUntouched)
{
    if (runningAsRoot())
        GTEST_SKIP() << "root may write into a read-only folder";
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    const QString path = file("locked/game.nes");
    const Bytes old = patternBytes(300, 1);
    writeRaw(path, old);
    fs::permissions(pathOf(file("locked")), fs::perms::owner_read | fs::perms::owner_exec);

    EXPECT_EQ(writeWholeFile(path, patternBytes(100, 2)), "File access denied");
    EXPECT_EQ(readRaw(path), old);
    EXPECT_EQ(namesIn(file("locked")), (std::vector<std::string>{"game.nes"}));
    fs::permissions(pathOf(file("locked")), fs::perms::owner_all); // so the folder can be removed
}

// ---- Messages --------------------------------------------------------------

struct ErrorCase {
    int error;
    const char* text;
};

const ErrorCase kErrorTexts[] = {
    {ENOENT, "File not found"},
    {ENOTDIR, "File not found"},
    {EACCES, "File access denied"},
    {EPERM, "File access denied"},
    {EROFS, "File access denied"},
    {EISDIR, "File access denied"},
    {EBUSY, "File access denied"},
    {ENOSPC, "Disk full"},
    {EDQUOT, "Disk full"},
    {EFBIG, "Disk full"},
    {EMFILE, "Too many open files"},
    {ENFILE, "Too many open files"},
    {ENAMETOOLONG, "Invalid filename"},
    {EINVAL, "Invalid filename"},
};

class FileErrorText : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(FileErrorText, NamesTheFailure)
{
    EXPECT_EQ(fileErrorText(GetParam().error), GetParam().text) << "errno " << GetParam().error;
}

INSTANTIATE_TEST_SUITE_P(Table, FileErrorText, ::testing::ValuesIn(kErrorTexts));

TEST(FileErrorText, OtherErrorsShowTheirNumber)
{
    EXPECT_EQ(fileErrorText(EIO), QString::fromStdString("I/O error " + std::to_string(EIO)));
    EXPECT_EQ(fileErrorText(9999), "I/O error 9999");
}

} // namespace
