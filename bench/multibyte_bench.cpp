// A Japanese script through a table of 8,000 two-byte codes and 256 one-byte
// codes: decoding a 1 MiB range (Extract Script, decode) and encoding its
// text back (Replace Script, insert).
#include "text/scriptdump.h"
#include "text/utf8.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kScriptBytes = 1 << 20;

struct Table {
    TableEntries entries;
    std::vector<SequenceEntry> sequences;
    EntryMatcher matcher;
};

// One-byte codes are ASCII letters and kana, two-byte codes 8140.. are one
// or two CJK ideographs each, all texts distinct.
Table japaneseTable()
{
    Table t;
    for (std::size_t code = 0; code < 256; ++code) {
        t.entries[code].clear();
        appendUtf8(t.entries[code], code < 0x80 ? static_cast<char32_t>(code) : 0x3040 + static_cast<char32_t>(code));
    }
    for (std::size_t i = 0; i < 8000; ++i) {
        ByteCode code;
        code.size = 2;
        code.bytes[0] = static_cast<std::uint8_t>(0x81 + i / 188);
        code.bytes[1] = static_cast<std::uint8_t>(0x40 + i % 188);
        std::string text;
        appendUtf8(text, 0x4E00 + static_cast<char32_t>(i));
        if (i % 3 == 0)
            appendUtf8(text, 0x9000 + static_cast<char32_t>(i));
        t.sequences.push_back({code, text});
    }
    const FinishedTable finished = finishTable(t.entries, t.sequences, 0x0A, 0x00);
    t.matcher = EntryMatcher(t.entries, finished.longestEntryLength, t.sequences);
    return t;
}

// A script of two-byte codes with some one-byte ones between them.
std::vector<std::uint8_t> script(const Table& t)
{
    std::mt19937 rng(7);
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < kScriptBytes) {
        if (rng() % 4 == 0) {
            bytes.push_back(static_cast<std::uint8_t>(0x41 + rng() % 26));
            continue;
        }
        const ByteCode& code = t.sequences[rng() % t.sequences.size()].code;
        bytes.insert(bytes.end(), code.view().begin(), code.view().end());
    }
    bytes.resize(kScriptBytes);
    return bytes;
}

void BM_DecodeTwoByteScript(benchmark::State& state)
{
    const Table t = japaneseTable();
    const std::vector<std::uint8_t> bytes = script(t);
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeBytes(t.matcher, bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kScriptBytes));
}
BENCHMARK(BM_DecodeTwoByteScript)->Unit(benchmark::kMillisecond);

void BM_EncodeTwoByteScript(benchmark::State& state)
{
    const Table t = japaneseTable();
    const std::string text = decodeBytes(t.matcher, std::span<const std::uint8_t>(script(t)));
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeString(t.matcher, text));
    // Measured as the script's bytes written, like the decode above.
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kScriptBytes));
}
BENCHMARK(BM_EncodeTwoByteScript)->Unit(benchmark::kMillisecond);

void BM_DumpTwoByteScript(benchmark::State& state)
{
    const Table t = japaneseTable();
    const std::vector<std::uint8_t> bytes = script(t);
    for (auto _ : state)
        benchmark::DoNotOptimize(scriptDumpText(t.matcher, {0x0A, 0x00}, bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kScriptBytes));
}
BENCHMARK(BM_DumpTwoByteScript)->Unit(benchmark::kMillisecond);

} // namespace
