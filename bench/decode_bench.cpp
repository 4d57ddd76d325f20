// Time to decode a whole tile map screen, the work of every scroll step.
#include "tiles/codecs.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

void decodeWholeMap(benchmark::State& state, const TileGeometry& g)
{
    const int codec = static_cast<int>(state.range(0));
    const std::int64_t pixels =
        256LL * g.blockWidth * g.blockHeight * g.tileWidth * g.tileHeight;
    const auto bytes = static_cast<std::size_t>(pixels / 64 * unitBytes(codec));
    std::vector<std::uint8_t> rom(bytes);
    std::mt19937 rng(1);
    for (auto& b : rom)
        b = static_cast<std::uint8_t>(rng());
    const Palettes palettes = defaultPalettes();
    Bitmap map;
    // Sized and touched once outside the timing, as the fill below is: the
    // program reuses its picture, and first-touch page faults are no decoding.
    decodeTileMap(rom, 0, codec, g, palettes, map);
    for (auto _ : state) {
        decodeTileMap(rom, 0, codec, g, palettes, map);
        benchmark::DoNotOptimize(map.pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::string(kCodecs[static_cast<std::size_t>(codec)].name));
    state.SetItemsProcessed(state.iterations() * pixels);
}

void BM_DecodeDefaultGrid(benchmark::State& state) { decodeWholeMap(state, {8, 8, 1, 1}); }
void BM_DecodeLargestGrid(benchmark::State& state) { decodeWholeMap(state, {16, 16, 16, 16}); }

// The floor for a whole-map decode: writing every pixel of the same picture once.
void BM_FillLargestGrid(benchmark::State& state)
{
    Bitmap map(16 * 16 * 16, 16 * 16 * 16);
    std::uint32_t colour = kBlackPixel;
    for (auto _ : state) {
        std::fill(map.pixels.begin(), map.pixels.end(), ++colour);
        benchmark::DoNotOptimize(map.pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(map.pixels.size()));
}

} // namespace

BENCHMARK(BM_DecodeDefaultGrid)->DenseRange(0, kCodecCount - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillLargestGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeLargestGrid)->DenseRange(0, kCodecCount - 1)->Unit(benchmark::kMillisecond);
