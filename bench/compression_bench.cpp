// Compressed blocks: decompressing and compressing 4 MiB of tile-like data in
// each format, and scanning a 32 MiB ROM of noise, tiles, text and blocks.
// The LZ77 runs report their compressed size beside the greedy parse's
// (counters "bytes" and "greedy").
#include "compression/compress.h"
#include "compression/decompress.h"
#include "compression/scan.h"
#include "support/lzgreedy_reference.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr std::size_t kDataBytes = 4u << 20;
constexpr std::size_t kRomBytes = 32u << 20;

const std::vector<std::uint8_t>& tiles()
{
    static const std::vector<std::uint8_t> bytes = tileLikeBytes(kDataBytes, 21);
    return bytes;
}

const std::vector<std::uint8_t>& compressed(CompressionFormat format)
{
    static std::vector<std::uint8_t> blocks[kCompressionFormatCount];
    std::vector<std::uint8_t>& block = blocks[static_cast<int>(format)];
    if (block.empty())
        block = compressBlock(tiles(), format).bytes;
    return block;
}

void BM_Decompress(benchmark::State& state)
{
    const auto format = static_cast<CompressionFormat>(state.range(0));
    const std::vector<std::uint8_t>& block = compressed(format);
    for (auto _ : state)
        benchmark::DoNotOptimize(decompressBlock(block, 0).bytes.data());
    state.SetLabel(std::string(formatName(format)));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kDataBytes));
}
BENCHMARK(BM_Decompress)->DenseRange(0, kCompressionFormatCount - 1)->Unit(benchmark::kMillisecond);

void BM_Compress(benchmark::State& state)
{
    const auto format = static_cast<CompressionFormat>(state.range(0));
    const bool vramSafe = state.range(1) != 0;
    std::size_t size = 0;
    for (auto _ : state)
        size = compressBlock(tiles(), format, {vramSafe}).bytes.size();
    state.SetLabel(std::string(formatName(format)) + (vramSafe ? " vram-safe" : ""));
    state.counters["bytes"] = static_cast<double>(size);
    if (format == CompressionFormat::Lz10 || format == CompressionFormat::Lz11)
        state.counters["greedy"] =
            static_cast<double>(greedyLzReference(tiles(), format == CompressionFormat::Lz11, vramSafe).size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kDataBytes));
}
BENCHMARK(BM_Compress)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0}})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

// 1 MiB pieces in turn: noise (as already compressed data looks), tiles, text,
// and tiles compressed in each format at 4-byte boundaries.
const std::vector<std::uint8_t>& rom()
{
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> b;
        b.reserve(kRomBytes);
        std::mt19937 rng(5);
        const std::string line = "The castle gate is shut. Come back at 0800 with the key!\n";
        for (int piece = 0; b.size() < kRomBytes; ++piece) {
            const std::size_t end = std::min(kRomBytes, b.size() + (1u << 20));
            switch (piece % 4) {
            case 0:
                while (b.size() < end)
                    b.push_back(static_cast<std::uint8_t>(rng()));
                break;
            case 1: {
                const std::vector<std::uint8_t> t = tileLikeBytes(end - b.size(), static_cast<unsigned>(piece));
                b.insert(b.end(), t.begin(), t.end());
                break;
            }
            case 2:
                while (b.size() < end)
                    b.push_back(static_cast<std::uint8_t>(line[b.size() % line.size()]));
                break;
            default:
                for (int f = 0; b.size() < end; f = (f + 1) % kCompressionFormatCount) {
                    const std::vector<std::uint8_t> block = compressBlock(
                        tileLikeBytes(4096 + rng() % 16384, rng()), static_cast<CompressionFormat>(f)).bytes;
                    b.insert(b.end(), block.begin(), block.begin() + std::min(block.size(), end - b.size()));
                }
            }
        }
        return b;
    }();
    return bytes;
}

void BM_Scan32MiB(benchmark::State& state)
{
    const std::vector<std::uint8_t>& image = rom();
    std::size_t found = 0;
    for (auto _ : state)
        found = scanCompressedBlocks(image).size();
    state.counters["blocks"] = static_cast<double>(found);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_Scan32MiB)->Unit(benchmark::kMillisecond);

} // namespace
