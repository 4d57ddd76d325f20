// What keeping an import as an undo step adds to the import itself: the grid's
// bytes noted before, the changed runs found after, the step recorded.
#include "app/edithistory.h"
#include "tiles/bitmapimport.h"
#include "tiles/tilegrid.h"
#include "tiles/tilespan.h"

#include <benchmark/benchmark.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr Codec kCodec = Codec::Snes; // the most bytes per pixel

// Imports two pictures in turn; with range(0) = 1 each import is recorded as
// the window records it. range(1) = 1: the pictures differ in every byte they
// encode to (the most a step can hold); 0: in the first tile only, as after
// touching up one tile in a paint program.
void importWholeGrid(benchmark::State& state, const TileGeometry& g)
{
    const bool recorded = state.range(0) != 0;
    const bool everyByte = state.range(1) != 0;
    const StreamBytes grid = tileMapBytes(0, kCodec, g);
    const Palettes palettes = defaultPalettes();
    std::vector<std::uint8_t> rom(static_cast<std::size_t>(grid.length));
    std::array<Bitmap, 2> pictures;
    std::mt19937 rng(1);
    for (Bitmap& picture : pictures) {
        const StreamBytes changed = everyByte ? grid : tileBytes(0, kCodec, g, 0);
        for (std::int64_t i = 0; i < changed.length; ++i)
            rom[static_cast<std::size_t>(changed.offset + i)] = static_cast<std::uint8_t>(rng());
        decodeTileMap(rom, 0, kCodec, g, palettes, picture);
    }
    EditHistory history;
    std::size_t turn = 0;
    for (auto _ : state) {
        const Bitmap& picture = pictures[turn++ % 2];
        if (recorded) {
            EditSnapshot snapshot;
            snapshot.watch(rom, grid.offset, grid.length);
            importTileMapPicture(rom, 0, kCodec, g, palettes, picture);
            history.record(EditStep{"BMP1Import", snapshot.takeChanges(rom)});
        } else {
            importTileMapPicture(rom, 0, kCodec, g, palettes, picture);
        }
        benchmark::DoNotOptimize(rom.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::string(recorded ? "recorded" : "plain") + (everyByte ? ", every byte changes" : ", one tile changes"));
    state.SetBytesProcessed(state.iterations() * grid.length);
}

void BM_ImportDefaultGrid(benchmark::State& state) { importWholeGrid(state, {8, 8, 1, 1}); }
void BM_ImportLargestGrid(benchmark::State& state) { importWholeGrid(state, {16, 16, 16, 16}); }

} // namespace

BENCHMARK(BM_ImportDefaultGrid)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ImportLargestGrid)->ArgsProduct({{0, 1}, {1}})->Unit(benchmark::kMillisecond);
