// Time to decode a whole tile map screen, the work of every scroll step.
#include "tiles/codecs.h"
#include "tiles/picturerows.h"

#include "support/describedcopies.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

namespace {

// Codec `codec` (a built-in, or a described copy of one with `described`).
void decodeWholeMap(benchmark::State& state, const TileGeometry& g, bool described = false)
{
    const Codec builtIn = kAllCodecs[static_cast<std::size_t>(state.range(0))];
    const Codec codec = described ? describedCopy(builtIn) : builtIn;
    const std::int64_t pixels =
        256LL * g.blockWidth * g.blockHeight * g.tileWidth * g.tileHeight;
    const auto bytes = static_cast<std::size_t>(pixels / unitPixels(codec) * unitBytes(codec));
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
    state.SetLabel(std::string(codecName(codec)));
    state.SetItemsProcessed(state.iterations() * pixels);
}

void BM_DecodeDefaultGrid(benchmark::State& state) { decodeWholeMap(state, {8, 8, 1, 1}); }
void BM_DecodeLargestGrid(benchmark::State& state) { decodeWholeMap(state, {16, 16, 16, 16}); }
// The same through a described copy of each built-in: the general
// table-driven unit decoder beside the built-in's own path.
void BM_DecodeLargestGridDescribed(benchmark::State& state) { decodeWholeMap(state, {16, 16, 16, 16}, true); }

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

// The largest grid through each way of writing the rows (argument 1: 0 for
// table lookups only, 1 for vector rows where the processor has them), to
// compare the paths side by side; 2 is AVX2 rows without AVX-512.
void BM_DecodeLargestGridRows(benchmark::State& state)
{
    const Codec codec = kAllCodecs[static_cast<std::size_t>(state.range(0))];
    const TileGeometry g{16, 16, 16, 16};
    const std::int64_t pixels = 256LL * 16 * 16 * 16 * 16;
    std::vector<std::uint8_t> rom(static_cast<std::size_t>(pixels / unitPixels(codec) * unitBytes(codec)));
    std::mt19937 rng(1);
    for (auto& b : rom)
        b = static_cast<std::uint8_t>(rng());
    std::array<std::uint32_t, kPictureRowColours> colours{};
    for (std::size_t i = 0; i < colours.size(); ++i)
        colours[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 0x0F0F0F);
    Bitmap map(16 * 16 * 16, 16 * 16 * 16);
    const PictureRowOptions options{kStreamingPictureBytes, state.range(1) != 0, state.range(1) == 1};
    for (auto _ : state) {
        decodeMapByPictureRows(rom, 0, codec, g, colours.data(), map, options);
        benchmark::DoNotOptimize(map.pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::string(codecName(codec)));
    state.SetItemsProcessed(state.iterations() * pixels);
}

} // namespace

BENCHMARK(BM_DecodeDefaultGrid)->DenseRange(0, kCodecCount - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillLargestGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeLargestGrid)->DenseRange(0, kCodecCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeLargestGridDescribed)->DenseRange(0, kCodecCount - 1)->Unit(benchmark::kMillisecond);
// Only the first ten codecs decode by picture rows.
BENCHMARK(BM_DecodeLargestGridRows)->ArgsProduct({benchmark::CreateDenseRange(0, 9, 1), {0, 1, 2}})->Unit(benchmark::kMillisecond);
