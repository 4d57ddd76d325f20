#include "tiles/unitdecoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace {

// What each bit of one byte gives one group: lane * 8 + value bit, or -1.
using BitTargets = std::array<std::int8_t, 8>;

// More distinct tables than this would not stay in cache; the bits of
// further bytes are read one at a time instead.
constexpr std::size_t kMaxTables = 64;

// Lane i is the i-th byte in memory (bit_cast), whatever the host's byte order.
std::array<std::uint64_t, 256> makeTable(const BitTargets& targets)
{
    std::array<std::uint64_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
        std::array<std::uint8_t, 8> lanes{};
        for (int b = 0; b < 8; ++b) {
            const int target = targets[static_cast<std::size_t>(b)];
            if (target >= 0 && ((v >> b) & 1))
                lanes[static_cast<std::size_t>(target / 8)] |= static_cast<std::uint8_t>(1u << (target % 8));
        }
        table[static_cast<std::size_t>(v)] = std::bit_cast<std::uint64_t>(lanes);
    }
    return table;
}

} // namespace

UnitTables::UnitTables(const CodecDescription& layout)
{
    const int pixels = layout.width * layout.height;
    const auto bits = static_cast<std::size_t>(layout.bitsPerPixel);
    groups_ = (pixels + 7) / 8;
    // (byte, group) -> what each of the byte's bits gives that group.
    std::map<std::pair<int, int>, BitTargets> byteGroups;
    for (std::size_t i = 0; i < layout.bits.size(); ++i) {
        const CodecBit& at = layout.bits[i];
        const auto n = static_cast<int>(i / bits);
        auto [it, added] = byteGroups.try_emplace({at.byte, n / 8});
        if (added)
            it->second.fill(-1);
        it->second[static_cast<std::size_t>(at.bit)] = static_cast<std::int8_t>((n % 8) * 8 + static_cast<int>(i % bits));
    }
    // Bytes laid out alike (the same plane of every row, say) share a table.
    std::map<BitTargets, std::size_t> tableOf;
    std::vector<std::pair<std::size_t, std::pair<int, int>>> reads;
    for (const auto& [at, targets] : byteGroups) {
        auto found = tableOf.find(targets);
        if (found == tableOf.end() && tables_.size() < kMaxTables) {
            found = tableOf.emplace(targets, tables_.size()).first;
            tables_.push_back(makeTable(targets));
        }
        if (found != tableOf.end()) {
            reads.push_back({found->second, at});
            continue;
        }
        for (int b = 0; b < 8; ++b) {
            const int target = targets[static_cast<std::size_t>(b)];
            if (target >= 0)
                loose_.push_back({static_cast<std::uint16_t>(at.first),
                                  static_cast<std::uint16_t>(at.second * 8 + target / 8), static_cast<std::uint8_t>(b),
                                  static_cast<std::uint8_t>(target % 8)});
        }
    }
    // The tables no longer move, so the reads may point into them.
    for (const auto& [table, at] : reads)
        reads_.push_back({tables_[table].data(), static_cast<std::uint16_t>(at.first),
                          static_cast<std::uint16_t>(at.second)});
}

void UnitTables::decode(const std::uint8_t* unit, std::uint8_t* values) const
{
    std::array<std::uint64_t, kMaxUnitPixels / 8> groups;
    std::fill_n(groups.begin(), groups_, std::uint64_t{0});
    for (const TableRead& read : reads_)
        groups[read.group] |= read.table[unit[read.byte]];
    std::memcpy(values, groups.data(), static_cast<std::size_t>(groups_) * sizeof(std::uint64_t));
    for (const LooseBit& b : loose_)
        values[b.pixel] = static_cast<std::uint8_t>(values[b.pixel] | (((unit[b.byte] >> b.bit) & 1) << b.valueBit));
}

// Only codecs that exist are built, so a value given a description later is never stale.
const UnitTables* unitTablesFor(Codec codec)
{
    if (!isValidCodec(codec))
        return nullptr;
    static std::array<std::once_flag, kMaxCodecValue + 1> once;
    static std::array<std::unique_ptr<UnitTables>, kMaxCodecValue + 1> tables;
    const auto i = static_cast<std::size_t>(codecIndex(codec));
    std::call_once(once[i], [&] { tables[i] = std::make_unique<UnitTables>(describeBuiltIn(codec)); });
    return tables[i].get();
}
