#pragma once
// A tile format told by where each pixel bit lies, as a .codec file
// describes it. Every built-in format can be written this way too.
#include "tiles/codec.h"

#include <cstdint>
#include <string>
#include <vector>

// One bit of a unit: byte `byte` (counted from the unit's first byte), bit
// `bit` (0 the lowest).
struct CodecBit {
    std::int32_t byte = 0;
    std::int32_t bit = 0;
    bool operator==(const CodecBit&) const = default;
};

// The largest descriptions anything accepts, so that no file can make the
// decoders allocate or loop without bound.
inline constexpr int kMaxDescribedBits = 8;
inline constexpr int kMaxUnitSide = 32;
inline constexpr int kMaxUnitBytes = 4096;

struct CodecDescription {
    std::string name;
    int bitsPerPixel = 0; // 1..8
    int width = 8;        // pixels per unit row, 1..32
    int height = 8;       // unit rows, 1..32
    int bytes = 0;        // bytes per unit, 1..4096
    // Bit b of the value of pixel (x, y) lies at bits[(y * width + x) * bitsPerPixel + b].
    std::vector<CodecBit> bits;
    bool operator==(const CodecDescription&) const = default;
};

// Why a description cannot be used, empty when it can: a size out of range,
// a bit list of the wrong length, a bit outside the unit's bytes, or a bit
// two pixel bits share (painting one would change the other).
[[nodiscard]] std::string descriptionProblem(const CodecDescription& description);

// The layout of a built-in codec as a description named as the codec, from
// the very table the decoders use; a described codec's own description; an
// empty one for a value that is no codec.
[[nodiscard]] CodecDescription describeBuiltIn(Codec codec);
