#pragma once
// The whole-unit decoder for every codec without a hand-written one: the
// newer built-ins and every described codec. A layout is turned once into
// lookup tables: for a unit byte and its value, the bits it gives the values
// of a group of 8 stream pixels, 8 value bytes side by side in one word.
#include "tiles/codecdescription.h"

#include <array>
#include <cstdint>
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

private:
    using Table = std::array<std::uint64_t, 256>;
    struct TableRead {
        const std::uint64_t* table;
        std::uint16_t byte;
        std::uint16_t group;
    };
    // A bit of a byte laid out unlike any byte with a table, read on its own.
    struct LooseBit {
        std::uint16_t byte;
        std::uint16_t pixel;
        std::uint8_t bit;
        std::uint8_t valueBit;
    };

    int groups_ = 0;
    std::vector<Table> tables_;
    std::vector<TableRead> reads_; // in byte order
    std::vector<LooseBit> loose_;
};

// A codec's tables, built on its first use; null for a value that is no codec.
const UnitTables* unitTablesFor(Codec codec);
