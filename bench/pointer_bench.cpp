// Insert Pointers on a whole game's text: 10,000 strings encoded, shared,
// placed into 4 MiB of free space and every entry written. Beside it, the
// dump of the same table and a plain copy of the same bytes, to compare.
#include "pointers/pointerscript.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t kStrings = 10000;
constexpr std::int64_t kFreeFrom = 0x100000;
constexpr std::int64_t kFreeBytes = 0x400000;

struct Setup {
    TableEntries entries;
    EntryMatcher matcher;
    ScriptCodes codes;
    PointerTable table;
    std::string script;
    std::vector<std::uint8_t> image = std::vector<std::uint8_t>(kFreeFrom + kFreeBytes);
    std::vector<FreeRange> space{{kFreeFrom, kFreeFrom + kFreeBytes - 1}};
    std::size_t scriptBytes = 0; // the encoded size of all strings
};

// Letters A..Z, strings of 10 to 60 of them, one in eight repeating an earlier one.
Setup setup(PointerMap map, int size)
{
    Setup s;
    for (int c = 'A'; c <= 'Z'; ++c)
        s.entries[static_cast<std::size_t>(c)] = std::string(1, static_cast<char>(c));
    s.entries[' '] = " ";
    const FinishedTable finished = finishTableEntries(s.entries, s.codes.lineBreak.bytes[0], s.codes.end.bytes[0]);
    s.matcher = EntryMatcher(s.entries, finished.longestEntryLength);
    s.table.map = map;
    s.table.size = size;
    s.table.count = kStrings;
    std::mt19937 rng(7);
    std::vector<std::string> texts;
    for (std::int64_t n = 0; n < kStrings; ++n) {
        std::string text;
        if (n > 0 && rng() % 8 == 0) {
            text = texts[rng() % texts.size()];
        } else {
            text.resize(10 + rng() % 51);
            for (char& ch : text)
                ch = static_cast<char>(rng() % 9 == 0 ? ' ' : 'A' + rng() % 26);
        }
        s.script += "#POINTER " + std::to_string(n) + "\r\n" + text + "{END}\r\n\r\n";
        s.scriptBytes += text.size() + 1;
        texts.push_back(std::move(text));
    }
    return s;
}

void insertPointers(benchmark::State& state, PointerMap map, int size)
{
    Setup s = setup(map, size);
    for (auto _ : state) {
        const PointerInsertPlan plan =
            planPointerInsert(s.table, s.image.size(), s.script, s.matcher, s.codes, s.space);
        if (!plan.error.empty())
            state.SkipWithError(plan.error.c_str());
        applyPointerInsert(s.table, s.image, plan);
        benchmark::DoNotOptimize(s.image.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.scriptBytes));
}

void BM_InsertPointersLinear(benchmark::State& state) { insertPointers(state, PointerMap::Linear, 4); }
void BM_InsertPointersLoRom(benchmark::State& state) { insertPointers(state, PointerMap::LoRom, 3); }

// The dump of the table the insertion writes: decoding the same strings.
void BM_DumpPointers(benchmark::State& state)
{
    Setup s = setup(PointerMap::Linear, 4);
    const PointerInsertPlan plan = planPointerInsert(s.table, s.image.size(), s.script, s.matcher, s.codes, s.space);
    applyPointerInsert(s.table, s.image, plan);
    for (auto _ : state) {
        const PointerDump dump = dumpPointerScript(s.table, s.image, s.matcher, s.codes);
        benchmark::DoNotOptimize(dump.text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.scriptBytes));
}

// The floor: copying the script's bytes once.
void BM_CopyScriptBytes(benchmark::State& state)
{
    Setup s = setup(PointerMap::Linear, 4);
    for (auto _ : state) {
        std::memcpy(s.image.data() + kFreeFrom, s.script.data(), std::min(s.script.size(), std::size_t(kFreeBytes)));
        benchmark::DoNotOptimize(s.image.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.script.size()));
}

} // namespace

BENCHMARK(BM_InsertPointersLinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertPointersLoRom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DumpPointers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyScriptBytes)->Unit(benchmark::kMillisecond);
