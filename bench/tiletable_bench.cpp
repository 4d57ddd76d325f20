// Tile sequence matching over a data map grid, the work of every redraw,
// with the plain text comparison beside the index.
#include "app/numbers.h"
#include "text/tiletable.h"
#include "support/tilesequence_reference.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

// 256 random sequences of 1 to 4 bytes, as upper-case hexadecimal text.
// Block 00 stands for one byte, so that no length is barred.
TileTableEntries fullTable()
{
    std::mt19937 rng(3);
    TileTableEntries entries;
    for (std::size_t code = 0; code < entries.size(); ++code)
        for (std::size_t length = code == 0 ? 1 : 1 + rng() % 4; length > 0; --length)
            entries[code] += hexText(rng() % 256, 2);
    return entries;
}

// The table's sequences one after another with a random byte between some,
// so cells match sequences of every length and miss now and then.
std::vector<std::uint8_t> imageOf(const TileTableEntries& entries, std::size_t size)
{
    std::mt19937 rng(5);
    std::vector<std::uint8_t> image;
    while (image.size() < size) {
        const std::vector<std::uint8_t> sequence = tileSequenceBytes(entries[rng() % 256]);
        image.insert(image.end(), sequence.begin(), sequence.end());
        if (rng() % 4 == 0)
            image.push_back(static_cast<std::uint8_t>(rng()));
    }
    return image;
}

// The data map's walk over the cells of a square grid of side state.range(0),
// once per iteration: the code at p, then on by the bytes it covers.
template <class CodeAt>
void walkGrid(benchmark::State& state, std::size_t imageSize, CodeAt codeAt)
{
    const auto cells = static_cast<std::size_t>(state.range(0) * state.range(0));
    std::size_t matched = 0;
    for (auto _ : state) {
        matched = 0;
        for (std::size_t cell = 0, p = 0; cell < cells && p < imageSize; ++cell) {
            const TileCode code = codeAt(p);
            matched += code.matched;
            p += code.length;
        }
        benchmark::DoNotOptimize(matched);
    }
    // The same count on both sides shows both walks did the same work.
    state.counters["matched"] = static_cast<double>(matched);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * cells));
}

// Enough image for a grid of 4-byte sequences.
std::size_t imageSizeFor(const benchmark::State& state)
{
    return static_cast<std::size_t>(4 * state.range(0) * state.range(0));
}

void BM_TileGrid(benchmark::State& state)
{
    const TileTableEntries entries = fullTable();
    const std::vector<std::uint8_t> image = imageOf(entries, imageSizeFor(state));
    const TileSequenceMatcher matcher(entries);
    walkGrid(state, image.size(), [&](std::size_t p) { return matcher.codeAt(image, p); });
}

void BM_TileGridPlainScan(benchmark::State& state)
{
    const TileTableEntries entries = fullTable();
    const std::vector<std::uint8_t> image = imageOf(entries, imageSizeFor(state));
    walkGrid(state, image.size(), [&](std::size_t p) { return referenceCodeAt(entries, image, p); });
}

// Building the index, once per loaded or reloaded table.
void BM_TileTableIndex(benchmark::State& state)
{
    const TileTableEntries entries = fullTable();
    for (auto _ : state)
        benchmark::DoNotOptimize(TileSequenceMatcher(entries));
}

} // namespace

BENCHMARK(BM_TileGrid)->Arg(32)->Arg(256)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TileGridPlainScan)->Arg(32)->Arg(256)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TileTableIndex)->Unit(benchmark::kMicrosecond);
