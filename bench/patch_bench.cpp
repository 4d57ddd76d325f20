// Making and applying a BPS patch for a 32 MiB ROM with 1 % of its bytes
// changed in clusters and one 64 KiB block moved, beside the tools people
// compare with on the same pair in the same run: `xdelta3 -e -9 -s` for
// making (Debian's xdelta3; the bench skips it when the program is missing)
// and `cp` of the ROM for applying. Both run through the shell, so each of
// their times holds one process start (about a millisecond).
#include "patch/bps.h"
#include "support/patchpairs.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Pair {
    Bytes original;
    Bytes modified;
    RomBytes patch;
    fs::path folder;
    std::string path(const char* name) const { return (folder / name).string(); }
};

void writeFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        std::abort();
    std::fclose(file);
}

RomBytes readFile(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        std::abort();
    std::fseek(file, 0, SEEK_END);
    RomBytes bytes(static_cast<std::size_t>(std::ftell(file)));
    std::fseek(file, 0, SEEK_SET);
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        std::abort();
    std::fclose(file);
    return bytes;
}

const Pair& pair()
{
    static const Pair made = [] {
        Pair p;
        std::mt19937 rng(2026);
        p.original = romLikeBytes(std::size_t{32} << 20, rng);
        p.modified = modifiedCopy(p.original, PairShape{0.01, 1, 64 * 1024, 0}, rng);
        p.patch = makeBpsPatch(p.original, p.modified).bytes;
        p.folder = fs::temp_directory_path() / ("quarn-patch-bench-" + std::to_string(::getpid()));
        fs::create_directories(p.folder);
        writeFile(p.path("original.bin"), p.original);
        writeFile(p.path("modified.bin"), p.modified);
        writeFile(p.path("patch.bps"), p.patch);
        std::atexit([] { fs::remove_all(pair().folder); });
        return p;
    }();
    return made;
}

void shell(benchmark::State& state, const std::string& command)
{
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError(("failed: " + command).c_str());
            return;
        }
}

void BM_MakeBps(benchmark::State& state)
{
    const Pair& p = pair();
    std::size_t size = 0;
    for (auto _ : state)
        size = makeBpsPatch(p.original, p.modified).bytes.size();
    state.counters["patch_bytes"] = static_cast<double>(size);
}

void BM_Xdelta3Make(benchmark::State& state)
{
    const Pair& p = pair();
    shell(state, "xdelta3 -e -9 -f -s '" + p.path("original.bin") + "' '" + p.path("modified.bin") + "' '" +
                     p.path("patch.vcdiff") + "'");
    state.counters["patch_bytes"] = static_cast<double>(fs::file_size(p.path("patch.vcdiff")));
}

void BM_ApplyBps(benchmark::State& state)
{
    const Pair& p = pair();
    for (auto _ : state)
        benchmark::DoNotOptimize(applyBpsPatch(p.original, p.patch).bytes.data());
}

// What apply-patch does: both files read, the result written.
void BM_ApplyBpsFiles(benchmark::State& state)
{
    const Pair& p = pair();
    for (auto _ : state) {
        const RomBytes rom = readFile(p.path("original.bin"));
        const RomBytes patch = readFile(p.path("patch.bps"));
        writeFile(p.path("patched.bin"), applyBpsPatch(rom, patch).bytes);
    }
}

void BM_CopyRom(benchmark::State& state)
{
    const Pair& p = pair();
    shell(state, "cp '" + p.path("original.bin") + "' '" + p.path("copy.bin") + "'");
}

} // namespace

BENCHMARK(BM_MakeBps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Xdelta3Make)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ApplyBps)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ApplyBpsFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyRom)->Unit(benchmark::kMillisecond)->UseRealTime();
