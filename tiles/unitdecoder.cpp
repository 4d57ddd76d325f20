#include "tiles/unitdecoder.h"

#include "tiles/codecdescription.h"
#include "tiles/codeclayout.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Values of 8 consecutive pixels, pixel i in the i-th byte in memory
// (built with bit_cast, so whatever the host's byte order).
using Lanes = std::uint64_t;
using Table = std::array<Lanes, 256>;

// What each bit of one byte gives one group: lane * 8 + value bit, or -1.
using BitTargets = std::array<std::int8_t, 8>;

// More distinct tables than this would not stay in cache; the bits of
// further bytes are read one at a time instead.
constexpr std::size_t kMaxTables = 64;

struct TableRead {
    const Lanes* table;
    std::uint16_t byte;
    std::uint16_t group;
};

struct LooseBit {
    std::uint16_t byte;
    std::uint16_t pixel;
    std::uint8_t bit;
    std::uint8_t valueBit;
};

struct CompiledUnit {
    int groups = 0;
    std::vector<Table> tables;
    std::vector<TableRead> reads; // in byte order
    std::vector<LooseBit> loose;
};

Table makeTable(const BitTargets& targets)
{
    Table table{};
    for (int v = 0; v < 256; ++v) {
        std::array<std::uint8_t, 8> lanes{};
        for (int b = 0; b < 8; ++b) {
            const int target = targets[static_cast<std::size_t>(b)];
            if (target >= 0 && ((v >> b) & 1))
                lanes[static_cast<std::size_t>(target / 8)] |= static_cast<std::uint8_t>(1u << (target % 8));
        }
        table[static_cast<std::size_t>(v)] = std::bit_cast<Lanes>(lanes);
    }
    return table;
}

std::unique_ptr<CompiledUnit> compile(Codec codec)
{
    auto unit = std::make_unique<CompiledUnit>();
    const int width = unitWidth(codec);
    const int pixels = unitPixels(codec);
    unit->groups = (pixels + 7) / 8;
    // (byte, group) -> what each of the byte's bits gives that group.
    std::map<std::pair<int, int>, BitTargets> byteGroups;
    for (int n = 0; n < pixels; ++n) {
        const PixelBits p = pixelBits(codec, n / width, n % width);
        for (int i = 0; i < p.count; ++i) {
            const BitRef ref = p.refs[static_cast<std::size_t>(i)];
            auto [it, added] = byteGroups.try_emplace({ref.offset, n / 8});
            if (added)
                it->second.fill(-1);
            it->second[static_cast<std::size_t>(ref.bit)] = static_cast<std::int8_t>((n % 8) * 8 + i);
        }
    }
    // Bytes laid out alike (the same plane of every row, say) share a table.
    std::map<BitTargets, std::size_t> tableOf;
    std::vector<std::pair<std::size_t, std::pair<int, int>>> reads;
    for (const auto& [at, targets] : byteGroups) {
        auto found = tableOf.find(targets);
        if (found == tableOf.end() && unit->tables.size() < kMaxTables) {
            found = tableOf.emplace(targets, unit->tables.size()).first;
            unit->tables.push_back(makeTable(targets));
        }
        if (found != tableOf.end()) {
            reads.push_back({found->second, at});
            continue;
        }
        for (int b = 0; b < 8; ++b) {
            const int target = targets[static_cast<std::size_t>(b)];
            if (target >= 0)
                unit->loose.push_back({static_cast<std::uint16_t>(at.first),
                                       static_cast<std::uint16_t>(at.second * 8 + target / 8),
                                       static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(target % 8)});
        }
    }
    // The tables no longer move, so the reads may point into them.
    for (const auto& [table, at] : reads)
        unit->reads.push_back({unit->tables[table].data(), static_cast<std::uint16_t>(at.first),
                               static_cast<std::uint16_t>(at.second)});
    return unit;
}

// One compiled unit per codec value, built on first use. Only codecs that
// exist are compiled, so a value given a description later is never stale.
const CompiledUnit& compiledUnit(Codec codec)
{
    static const CompiledUnit none;
    if (!isValidCodec(codec))
        return none;
    static std::array<std::once_flag, kMaxCodecValue + 1> once;
    static std::array<std::unique_ptr<CompiledUnit>, kMaxCodecValue + 1> units;
    const auto i = static_cast<std::size_t>(codecIndex(codec));
    std::call_once(once[i], [&] { units[i] = compile(codec); });
    return *units[i];
}

} // namespace

void decodeUnitByTables(Codec codec, const std::uint8_t* unit, std::uint8_t* values)
{
    const CompiledUnit& compiled = compiledUnit(codec);
    std::array<Lanes, kMaxUnitPixels / 8> groups;
    std::fill_n(groups.begin(), compiled.groups, Lanes{0});
    for (const TableRead& read : compiled.reads)
        groups[read.group] |= read.table[unit[read.byte]];
    std::memcpy(values, groups.data(), static_cast<std::size_t>(compiled.groups) * sizeof(Lanes));
    for (const LooseBit& b : compiled.loose)
        values[b.pixel] = static_cast<std::uint8_t>(values[b.pixel] | (((unit[b.byte] >> b.bit) & 1) << b.valueBit));
}
