// Time to open a large ROM the way the program's Open does, beside `cat`'s
// way of reading the same cached file: read() into one small reused buffer.
#include "app/fileio.h"
#include "app/romimage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <random>
#include <vector>

namespace {

constexpr qint64 kRomSize = 64LL << 20;

// One 64 MiB file for the whole run, written once so it sits in the page cache.
const QString& romPath()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("big.bin"));
        std::vector<char> bytes(static_cast<std::size_t>(kRomSize));
        std::mt19937 rng(7);
        for (auto& b : bytes)
            b = static_cast<char>(rng());
        QFile file(p);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), kRomSize) != kRomSize)
            qFatal("cannot write the bench file");
        return p;
    }();
    return path;
}

void BM_OpenRom(benchmark::State& state)
{
    const QString& path = romPath();
    for (auto _ : state) {
        FileReadResult file = readWholeFile(path, OpenMode::ReadWrite);
        auto rom = makeRomImage(std::move(file.bytes), kMinimumLoadSize);
        benchmark::DoNotOptimize(rom.data());
    }
    state.SetBytesProcessed(state.iterations() * kRomSize);
}

void BM_CatRead(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(romPath());
    std::vector<char> buffer(128 * 1024);
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_RDONLY);
        while (::read(fd, buffer.data(), buffer.size()) > 0)
            benchmark::DoNotOptimize(buffer.data());
        ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * kRomSize);
}

} // namespace

BENCHMARK(BM_CatRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenRom)->Unit(benchmark::kMillisecond);
