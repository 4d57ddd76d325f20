#include "tiles/grouprows.h"

#include "tiles/codeclayout.h"
#include "tiles/picturerows.h"

#include <array>
#include <cstring>
#include <vector>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define QUARN_GROUP_VECTORS 1
#define QUARN_AVX2 __attribute__((target("avx2")))
#endif

namespace {

// Where group k of a tile row comes from: its unit's offset from the tile's
// first byte and the table reads that give it.
struct RowGroup {
    std::size_t unitOffset;
    std::span<const UnitTables::TableRead> reads;
};

// A picture row's values, one byte a pixel, to pixels.
void translateRow(const std::uint8_t* values, std::size_t count, const std::uint32_t* colours, std::uint32_t* dst)
{
    for (std::size_t i = 0; i < count; ++i)
        dst[i] = colours[values[i]];
}

#ifdef QUARN_GROUP_VECTORS
// Values under 16, 8 at a time: widened to one vector, their colours picked
// by two 8-entry permutes. Streaming stores (16-byte aligned rows) keep a
// picture far larger than the caches from being read in before it is
// overwritten. `count` is a multiple of 8.
template <bool Streaming>
QUARN_AVX2 void translateSixteenColourRow(const std::uint8_t* values, std::size_t count,
                                          const std::uint32_t* colours, std::uint32_t* dst)
{
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colours));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colours + 8));
    for (std::size_t i = 0; i < count; i += 8) {
        const __m256i group = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(values + i)));
        // Values 8..15 have bit 3 set: moved to the sign bit it picks the high half.
        const __m256 pick = _mm256_castsi256_ps(_mm256_slli_epi32(group, 28));
        const __m256i pixels = _mm256_castps_si256(
            _mm256_blendv_ps(_mm256_castsi256_ps(_mm256_permutevar8x32_epi32(low, group)),
                             _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(high, group)), pick));
        if constexpr (Streaming) {
            _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i), _mm256_castsi256_si128(pixels));
            _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i + 4), _mm256_extracti128_si256(pixels, 1));
        } else {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), pixels);
        }
    }
}

// Any values, 4 looked up at a time and streamed (16-byte aligned rows).
void translateRowStreaming(const std::uint8_t* values, std::size_t count, const std::uint32_t* colours,
                           std::uint32_t* dst)
{
    for (std::size_t i = 0; i < count; i += 4)
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + i),
                         _mm_setr_epi32(static_cast<int>(colours[values[i]]), static_cast<int>(colours[values[i + 1]]),
                                        static_cast<int>(colours[values[i + 2]]),
                                        static_cast<int>(colours[values[i + 3]])));
}
#endif

// The values of one picture row: for each tile across, the groups of its
// row. Reads > 0: every group has that many reads, kept in locals (the
// stores of values could otherwise alias them) so the loop unrolls.
template <int Reads>
void gatherRowOf(const RowGroup* groups, int groupsPerRow, std::span<const std::uint8_t* const> tileStarts,
                 std::uint8_t* values)
{
    const std::size_t stride = 8 * static_cast<std::size_t>(groupsPerRow);
    for (int k = 0; k < groupsPerRow; ++k) {
        const std::span<const UnitTables::TableRead> reads = groups[k].reads;
        const std::size_t unitOffset = groups[k].unitOffset;
        std::uint8_t* v = values + 8 * k;
        if constexpr (Reads > 0) {
            std::array<const std::uint64_t*, Reads> tables;
            std::array<std::size_t, Reads> bytes;
            for (int i = 0; i < Reads; ++i) {
                tables[i] = reads[i].table;
                bytes[i] = unitOffset + reads[i].byte;
            }
            for (const std::uint8_t* tile : tileStarts) {
                std::uint64_t lanes = 0;
                for (int i = 0; i < Reads; ++i)
                    lanes |= tables[i][tile[bytes[i]]];
                std::memcpy(v, &lanes, sizeof lanes);
                v += stride;
            }
        } else {
            for (const std::uint8_t* tile : tileStarts) {
                std::uint64_t lanes = 0;
                for (const UnitTables::TableRead& read : reads)
                    lanes |= read.table[tile[unitOffset + read.byte]];
                std::memcpy(v, &lanes, sizeof lanes);
                v += stride;
            }
        }
    }
}

void gatherRow(int reads, const RowGroup* groups, int groupsPerRow, std::span<const std::uint8_t* const> tileStarts,
               std::uint8_t* values)
{
    switch (reads) {
    case 1: return gatherRowOf<1>(groups, groupsPerRow, tileStarts, values);
    case 2: return gatherRowOf<2>(groups, groupsPerRow, tileStarts, values);
    case 3: return gatherRowOf<3>(groups, groupsPerRow, tileStarts, values);
    case 4: return gatherRowOf<4>(groups, groupsPerRow, tileStarts, values);
    case 8: return gatherRowOf<8>(groups, groupsPerRow, tileStarts, values);
    default: return gatherRowOf<0>(groups, groupsPerRow, tileStarts, values);
    }
}

using TranslateRow = void (*)(const std::uint8_t*, std::size_t, const std::uint32_t*, std::uint32_t*);

TranslateRow rowTranslator(Codec codec, const Bitmap& out, bool wideRows, std::size_t streamingFrom)
{
#ifdef QUARN_GROUP_VECTORS
    const bool streaming = out.pixels.size() * sizeof(std::uint32_t) >= streamingFrom &&
                           reinterpret_cast<std::uintptr_t>(out.pixels.data()) % 16 == 0;
    if (wideRows && bitsPerPixel(codec) <= 4 && __builtin_cpu_supports("avx2"))
        return streaming ? translateSixteenColourRow<true> : translateSixteenColourRow<false>;
    if (streaming)
        return translateRowStreaming;
#else
    (void)codec;
    (void)out;
    (void)wideRows;
    (void)streamingFrom;
#endif
    return translateRow;
}

bool streamed(TranslateRow translate)
{
#ifdef QUARN_GROUP_VECTORS
    return translate == translateSixteenColourRow<true> || translate == translateRowStreaming;
#else
    (void)translate;
    return false;
#endif
}

} // namespace

bool groupRowsFit(const UnitTables& tables, Codec codec, const TileGeometry& g, std::int64_t position,
                  std::size_t romSize)
{
    const std::int64_t tilePixels = static_cast<std::int64_t>(g.tileWidth) * g.tileHeight;
    const int pixelsPerUnit = unitPixels(codec);
    if (!tables.tablesOnly() || g.tileWidth % 8 != 0 || pixelsPerUnit % 8 != 0 || tilePixels % pixelsPerUnit != 0)
        return false;
    const std::int64_t tiles = 256LL * g.blockWidth * g.blockHeight;
    const std::int64_t mapBytes = tiles * (tilePixels / pixelsPerUnit) * unitBytes(codec);
    return position >= 0 && position <= static_cast<std::int64_t>(romSize) &&
           mapBytes <= static_cast<std::int64_t>(romSize) - position;
}

void decodeMapByGroupRows(std::span<const std::uint8_t> rom, std::int64_t position, Codec codec,
                          const UnitTables& tables, const TileGeometry& g, const std::uint32_t* colours,
                          Bitmap& out, bool wideRows, std::size_t streamingFrom)
{
    const int tw = g.tileWidth;
    const int th = g.tileHeight;
    const int pixelsPerUnit = unitPixels(codec);
    const std::size_t tileBytes =
        static_cast<std::size_t>(tw * th / pixelsPerUnit) * static_cast<std::size_t>(unitBytes(codec));
    const int groupsPerRow = tw / 8;
    // The same groups make row y of every tile.
    std::vector<RowGroup> rowGroups;
    for (int y = 0; y < th; ++y)
        for (int k = 0; k < groupsPerRow; ++k) {
            const int pixel = y * tw + 8 * k;
            rowGroups.push_back({static_cast<std::size_t>(pixel / pixelsPerUnit * unitBytes(codec)),
                                 tables.groupReads(static_cast<std::size_t>(pixel % pixelsPerUnit / 8))});
        }
    // Reads per group when every group of the tile has as many.
    int reads = static_cast<int>(rowGroups.front().reads.size());
    for (const RowGroup& group : rowGroups)
        if (static_cast<int>(group.reads.size()) != reads)
            reads = 0;
    const int tilesAcross = 16 * g.blockWidth;
    const auto width = static_cast<std::size_t>(out.width);
    std::vector<std::uint8_t> values(width);
    std::vector<const std::uint8_t*> tileStarts(static_cast<std::size_t>(tilesAcross));
    const TranslateRow translate = rowTranslator(codec, out, wideRows, streamingFrom);
    const std::uint8_t* base = rom.data() + position;
    std::uint32_t* dst = out.pixels.data();
    for (int ty = 0; ty < 16 * g.blockHeight; ++ty) {
        // The stream number of each tile of this band, in screen order.
        for (int tx = 0; tx < tilesAcross; ++tx) {
            const std::int64_t block = static_cast<std::int64_t>(ty / g.blockHeight) * 16 + tx / g.blockWidth;
            const std::int64_t tile = block * g.blockWidth * g.blockHeight +
                                      static_cast<std::int64_t>(ty % g.blockHeight) * g.blockWidth + tx % g.blockWidth;
            tileStarts[static_cast<std::size_t>(tx)] = base + static_cast<std::size_t>(tile) * tileBytes;
        }
        for (int y = 0; y < th; ++y, dst += width) {
            gatherRow(reads, rowGroups.data() + static_cast<std::size_t>(y * groupsPerRow), groupsPerRow,
                      tileStarts, values.data());
            translate(values.data(), width, colours, dst);
        }
    }
#ifdef QUARN_GROUP_VECTORS
    // Streaming stores are weakly ordered: make them visible before returning.
    if (streamed(translate))
        _mm_sfence();
#endif
}
