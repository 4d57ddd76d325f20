#pragma once
// The whole-unit decoder for every codec without a hand-written one: the
// newer built-ins and every described codec. A layout is turned once into
// lookup tables: for a unit byte and its value, the bits it gives the values
// of a group of 8 stream pixels, 8 value bytes side by side in one word.
#include "tiles/codecdescription.h"

#include <array>
#include <bit>
#include <cstdint>
#include <span>
#include <vector>

// The largest unit any codec has, in pixels.
inline constexpr int kMaxUnitPixels = kMaxUnitSide * kMaxUnitSide;

class UnitTables {
public:
    // `layout` must be valid (descriptionProblem empty).
    explicit UnitTables(const CodecDescription& layout);

    // Decodes the values of all pixels of `unit`, which holds the layout's
    // bytes, into `values`, which has room for kMaxUnitPixels.
    void decode(const std::uint8_t* unit, std::uint8_t* values) const;

    // Whether every value comes out of the tables, so forEachGroup gives
    // whole values.
    bool tablesOnly() const { return loose_.empty(); }

    // Calls take(lanes) for the first `groups` groups of 8 pixels of `unit`
    // in turn, value i of the group in laneValue(lanes, i); every bit read
    // one by one (see tablesOnly) is left out.
    template <typename Take>
    void forEachGroup(const std::uint8_t* unit, std::size_t groups, Take take) const
    {
        switch (readsPerGroup_) {
        case 1: return eachGroup<1>(unit, groups, take);
        case 2: return eachGroup<2>(unit, groups, take);
        case 3: return eachGroup<3>(unit, groups, take);
        case 4: return eachGroup<4>(unit, groups, take);
        case 5: return eachGroup<5>(unit, groups, take);
        case 6: return eachGroup<6>(unit, groups, take);
        case 7: return eachGroup<7>(unit, groups, take);
        case 8: return eachGroup<8>(unit, groups, take);
        default: break;
        }
        const TableRead* read = reads_.data();
        for (std::size_t g = 0; g < groups; ++g) {
            std::uint64_t lanes = 0;
            for (const TableRead* end = reads_.data() + readsEnd_[g]; read != end; ++read)
                lanes |= read->table[unit[read->byte]];
            take(lanes);
        }
    }

    // For layouts with one table read a group (one byte holds 8 whole
    // pixels, as in 1-bit formats): take(table, byte value) for each group.
    bool oneReadPerGroup() const { return readsPerGroup_ == 1; }
    template <typename Take>
    void forEachGroupByte(const std::uint8_t* unit, std::size_t groups, Take take) const
    {
        for (std::size_t g = 0; g < groups; ++g)
            take(reads_[g].index, unit[reads_[g].byte]);
    }
    std::size_t tableCount() const { return tables_.size(); }
    const std::array<std::uint64_t, 256>& table(std::size_t i) const { return tables_[i]; }

    // One table lookup: table[unit[byte]] goes into a group's word.
    struct TableRead {
        const std::uint64_t* table;
        std::uint32_t byte;
        std::uint32_t index; // of the table
    };
    // The reads of group g, which together give its values (tablesOnly).
    std::span<const TableRead> groupReads(std::size_t g) const
    {
        const std::uint32_t begin = g == 0 ? 0 : readsEnd_[g - 1];
        return {reads_.data() + begin, reads_.data() + readsEnd_[g]};
    }
    std::size_t groupCount() const { return readsEnd_.size(); }

    static unsigned laneValue(std::uint64_t lanes, int i)
    {
        const int shift = std::endian::native == std::endian::little ? 8 * i : 56 - 8 * i;
        return static_cast<unsigned>(lanes >> shift) & 0xFFu;
    }

private:
    // The same as the general loop with the reads of a group unrolled.
    template <int Reads, typename Take>
    void eachGroup(const std::uint8_t* unit, std::size_t groups, Take take) const
    {
        const TableRead* read = reads_.data();
        for (std::size_t g = 0; g < groups; ++g, read += Reads) {
            std::uint64_t lanes = 0;
            for (int i = 0; i < Reads; ++i)
                lanes |= read[i].table[unit[read[i].byte]];
            take(lanes);
        }
    }

    using Table = std::array<std::uint64_t, 256>;
    // A bit of a byte laid out unlike any byte with a table, read on its own.
    struct LooseBit {
        std::uint16_t byte;
        std::uint16_t pixel;
        std::uint8_t bit;
        std::uint8_t valueBit;
    };

    std::vector<Table> tables_;
    // Group g's reads are reads_[readsEnd_[g - 1]] up to reads_[readsEnd_[g]],
    // so each group's word is gathered in a register.
    std::vector<TableRead> reads_;
    std::vector<std::uint32_t> readsEnd_;
    std::vector<LooseBit> loose_;
    // Reads per group when every group has the same number, 1 to 8 (every
    // built-in layout); 0 otherwise.
    int readsPerGroup_ = 0;
};

// A codec's tables, built on its first use; null for a value that is no codec.
const UnitTables* unitTablesFor(Codec codec);
