// Searching a whole 32 MiB image, next to one memchr pass over the same bytes
// (for a byte that is not there), the floor any full scan is measured against.
#include "search/results.h"
#include "search/search.h"
#include "search/searchpattern.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

constexpr std::size_t kImageBytes = 32u << 20;

// Random bytes without 0x5A, so memchr for it reads the whole image.
const std::vector<std::uint8_t>& image()
{
    static const std::vector<std::uint8_t> bytes = [] {
        std::mt19937 rng(7);
        std::vector<std::uint8_t> b(kImageBytes);
        for (auto& byte : b) {
            byte = static_cast<std::uint8_t>(rng());
            if (byte == 0x5A)
                byte = 0x5B;
        }
        return b;
    }();
    return bytes;
}

void BM_MemchrPass(benchmark::State& state)
{
    const std::vector<std::uint8_t>& bytes = image();
    for (auto _ : state)
        benchmark::DoNotOptimize(std::memchr(bytes.data(), 0x5A, bytes.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_RelativeSearch(benchmark::State& state, const char* word)
{
    const std::vector<std::uint8_t>& bytes = image();
    std::size_t hits = 0;
    for (auto _ : state) {
        const RelativeSearchResult result = relativeSearch(bytes, word, 0);
        hits = result.hits.size();
        benchmark::DoNotOptimize(result.hits.data());
    }
    state.counters["hits"] = static_cast<double>(hits);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_ForwardHexSearchNotPresent(benchmark::State& state)
{
    const std::vector<std::uint8_t>& bytes = image();
    const std::vector<std::uint8_t> pattern = hexPattern("C35A17"); // 5A never occurs
    for (auto _ : state)
        benchmark::DoNotOptimize(findForward(bytes, 0, pattern, 0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

// What the result window is handed after a 2-letter search: every hit's line.
void BM_RelativeSearchWithResultLines(benchmark::State& state)
{
    const std::vector<std::uint8_t>& bytes = image();
    for (auto _ : state) {
        const RelativeSearchResult result = relativeSearch(bytes, "no", 0);
        std::vector<std::string> lines;
        lines.reserve(result.hits.size());
        for (const std::size_t hit : result.hits)
            lines.push_back(resultLine(bytes, hit, "no"));
        benchmark::DoNotOptimize(lines.data());
    }
}

} // namespace

BENCHMARK(BM_MemchrPass)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RelativeSearch, SixLetters, "Quarns")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RelativeSearch, TwoLetters, "no")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RelativeSearchWithResultLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ForwardHexSearchNotPresent)->Unit(benchmark::kMillisecond);
