#pragma once
// The whole-unit decoder for every codec without a hand-written one: the
// newer built-ins and every described codec. Each codec's layout is turned
// once, on first use, into lookup tables: for a unit byte and its value,
// the bits it gives the 8 pixel values of a group of 8 stream pixels.
#include "tiles/codec.h"

#include <cstdint>

// The largest unit any codec has, in pixels.
inline constexpr int kMaxUnitPixels = 32 * 32;

// Decodes the unitPixels(codec) values of a unit lying wholly inside the
// image into `values`, which has room for kMaxUnitPixels.
void decodeUnitByTables(Codec codec, const std::uint8_t* unit, std::uint8_t* values);
