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
        std::uint32_t byte;
    };
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

    template <int Reads>
    void decodeUniform(const std::uint8_t* unit, std::uint8_t* values) const;
};

// A codec's tables, built on its first use; null for a value that is no codec.
const UnitTables* unitTablesFor(Codec codec);
