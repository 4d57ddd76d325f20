#pragma once
// Where each bit of each pixel of a codec's unit lies. Reading, writing,
// the bounds checks of partial units and the lookup tables of the unit
// decoders all go through pixelBits, so they cannot disagree.
#include "tiles/codec.h"

#include <array>

// Bit `bit` (0 the lowest) of the unit's byte `offset`.
struct BitRef {
    int offset;
    int bit;
};

// Bit i of the pixel's value lies at refs[i].
struct PixelBits {
    int count = 0;
    std::array<BitRef, 8> refs{};
};

// Whether unit row r, unit column c lies inside the codec's unit.
bool insideUnit(Codec codec, int r, int c);

// The bits of the pixel at unit row r, unit column c, which must lie inside
// the unit; no bits for a value that is no codec.
PixelBits pixelBits(Codec codec, int r, int c);
