// Encoding a script through a full table and dumping a range, the work of
// Replace Script and Extract Script on a whole game's text.
#include "text/scriptdump.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kScriptBytes = 1 << 20;

struct Table {
    TableEntries entries;
    std::uint8_t longest = 0;
};

// 256 entries of 1 to 8 letters, finished as a loaded table is.
Table fullTable()
{
    std::mt19937 rng(3);
    const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    Table t;
    for (std::string& entry : t.entries) {
        entry.resize(1 + rng() % 8);
        for (char& ch : entry)
            ch = letters[rng() % letters.size()];
    }
    t.longest = finishTableEntries(t.entries, 0xFF, 0x00).longestEntryLength;
    return t;
}

std::vector<std::uint8_t> randomBytes(std::size_t size)
{
    std::mt19937 rng(5);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(rng());
    return bytes;
}

// A script text of at least `size` characters made of the table's entries.
std::string scriptText(const Table& t, std::size_t size)
{
    std::string text;
    std::mt19937 rng(9);
    while (text.size() < size)
        text += t.entries[rng() % 256];
    return text;
}

// The lookup as a plain scan of every entry at every length, for comparison.
std::size_t plainScanEncode(const Table& t, std::string_view text)
{
    std::size_t codes = 0;
    std::size_t offset = 0;
    while (offset < text.size()) {
        std::size_t advance = 1;
        for (std::size_t length = t.longest; length >= 1 && advance == 1; --length) {
            const std::string_view candidate = text.substr(offset, length);
            for (const std::string& entry : t.entries)
                if (entry == candidate) {
                    advance = entry.size();
                    ++codes;
                    break;
                }
        }
        offset += advance;
    }
    return codes;
}

void BM_EncodeScript(benchmark::State& state)
{
    const Table t = fullTable();
    const EntryMatcher matcher(t.entries, t.longest);
    const std::string text = scriptText(t, kScriptBytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeString(matcher, text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_EncodeScriptPlainScan(benchmark::State& state)
{
    const Table t = fullTable();
    const std::string text = scriptText(t, kScriptBytes / 16);
    for (auto _ : state)
        benchmark::DoNotOptimize(plainScanEncode(t, text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_DumpScript(benchmark::State& state)
{
    const Table t = fullTable();
    const std::vector<std::uint8_t> bytes = randomBytes(kScriptBytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(scriptDumpText(t.entries, {0xFF, 0x00}, bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_ReplaceScript(benchmark::State& state)
{
    const Table t = fullTable();
    const EntryMatcher matcher(t.entries, t.longest);
    const std::string dump = scriptDumpText(t.entries, {0xFF, 0x00}, randomBytes(kScriptBytes));
    std::vector<std::uint8_t> image(4 * kScriptBytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(replaceScript(image, 0, matcher, {0xFF, 0x00}, dump));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * dump.size()));
}

} // namespace

BENCHMARK(BM_EncodeScript)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeScriptPlainScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DumpScript)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceScript)->Unit(benchmark::kMillisecond);
