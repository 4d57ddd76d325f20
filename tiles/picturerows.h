#pragma once
// Whole-map decoding in picture order, for tile widths that are a multiple
// of 8: each picture row is written front to back, like a plain fill, and the
// small stretch of the image behind a band of tiles stays in cache.
#include "tiles/bitmap.h"
#include "tiles/codecs.h"

#include <cstddef>
#include <cstdint>
#include <span>

// Pictures this large are written past the caches, which they would not fit.
constexpr std::size_t kStreamingPictureBytes = 16u << 20;

// How the rows may be written; the pixels are the same either way.
struct PictureRowOptions {
    // Pictures of at least this many bytes bypass the caches where the processor allows it.
    std::size_t streamingFrom = kStreamingPictureBytes;
    // Vector instructions where the processor has them (the 4-bit and planar 2-bit codecs).
    bool wideRows = true;
    // With wideRows, AVX-512 for tiles 16 pixels wide where the processor has it.
    bool widestRows = true;
};

// The first ten built-ins, for which the rows below are written by hand;
// every other codec is decoded unit by unit.
constexpr bool decodesByPictureRows(Codec codec) { return codecIndex(codec) < 10; }

// The 16 value pixels followed by the pixel for bytes outside the image.
constexpr int kPictureRowColours = 17;

// Fills `out`, already sized for `geometry`, as decodeTileMap does, for a
// codec that decodesByPictureRows; `colours` has kPictureRowColours entries.
// The geometry must be clamped and its tile width a multiple of 8.
void decodeMapByPictureRows(std::span<const std::uint8_t> rom, std::int64_t position,
                            Codec codec, const TileGeometry& geometry,
                            const std::uint32_t* colours, Bitmap& out,
                            const PictureRowOptions& options = {});
