#include "tiles/picturerows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include <type_traits>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

#include "tiles/codecaliases.h"

// Finished pixels for every byte combination a codec reads together, built
// from unitPixelValue so they cannot disagree with the other decoders.
// A unit row then costs a few table loads and wide stores, with the palette
// looked up once per map rather than once per pixel.
template <int Pixels>
using PixelTable = std::array<std::array<std::uint32_t, Pixels>, 256>;

// Byte offset of plane i of row r in a planar unit.
int planeOffset(Codec codec, int r, int i)
{
    switch (codec) {
    case kNes:
        return r + 8 * i;
    case kGameBoy:
        return 2 * r + i;
    case kSms:
        return 4 * r + i;
    default: // SNES, both bit orders
        return 2 * r + (i & 1) + 16 * (i >> 1);
    }
}

// Pixels 0..Pixels-1 of row 0 of a unit whose bytes are `unit`.
template <int Pixels>
std::array<std::uint32_t, Pixels> rowStart(Codec codec, const std::uint8_t* unit,
                                           const std::uint32_t* colours)
{
    std::array<std::uint32_t, Pixels> pixels{};
    for (int c = 0; c < Pixels; ++c)
        pixels[static_cast<std::size_t>(c)] = colours[unitPixelValue(codec, unit, 0, c)];
    return pixels;
}

// Index layouts, by codec family:
//   1BPP: the row byte -> 8 pixels.
//   LINEAR, NGP: one row byte -> 4 pixels.
//   NES, GB: plane 0 nibble | plane 1 nibble << 4 -> 4 pixels.
//   GBA, Genesis: one row byte -> 2 pixels.
//   SNES, SMS: 2 bits of plane i at bits 2i -> 2 pixels.
template <int Pixels>
PixelTable<Pixels> makeTable(Codec codec, const std::uint32_t* colours)
{
    PixelTable<Pixels> table{};
    const bool mirrored = codec == kSnesMirrored;
    for (int index = 0; index < 256; ++index) {
        std::array<std::uint8_t, 32> unit{};
        const auto b = static_cast<std::uint8_t>(index);
        switch (codec) {
        case kNes:
        case kGameBoy:
            unit[static_cast<std::size_t>(planeOffset(codec, 0, 0))] = static_cast<std::uint8_t>(b << 4);
            unit[static_cast<std::size_t>(planeOffset(codec, 0, 1))] = static_cast<std::uint8_t>(b & 0xF0);
            break;
        case kSnes:
        case kSnesMirrored:
        case kSms:
            for (int i = 0; i < 4; ++i) {
                const int bits = (index >> (2 * i)) & 3;
                unit[static_cast<std::size_t>(planeOffset(codec, 0, i))] =
                    static_cast<std::uint8_t>(mirrored ? bits : bits << 6);
            }
            break;
        case kNgp:
            unit[1] = b; // the left half of an NGP row is its second byte
            break;
        default:
            unit[0] = b;
            break;
        }
        table[static_cast<std::size_t>(index)] = rowStart<Pixels>(codec, unit.data(), colours);
    }
    return table;
}

// For the 4-plane codecs: byte k of spread[b] holds the 2 bits of pixel
// pair k, so four planes combine into four table indices with shifts and ors.
std::array<std::uint32_t, 256> makeSpread(bool mirrored)
{
    std::array<std::uint32_t, 256> spread{};
    for (int b = 0; b < 256; ++b) {
        std::array<std::uint8_t, 4> pairs{};
        for (int k = 0; k < 4; ++k)
            pairs[static_cast<std::size_t>(k)] =
                static_cast<std::uint8_t>((b >> (mirrored ? 2 * k : 6 - 2 * k)) & 3);
        std::memcpy(&spread[static_cast<std::size_t>(b)], pairs.data(), 4);
    }
    return spread;
}

// Where finished pixels go. A table entry of 4 pixels, or two entries of 2,
// make one 16-byte store.
struct CachedStores {
    static void putFour(std::uint32_t* dst, const std::uint32_t* four) { std::memcpy(dst, four, 16); }
    static void putTwoPairs(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b)
    {
        std::memcpy(dst, a, 8);
        std::memcpy(dst + 2, b, 8);
    }
    static void finish() {}
};

#ifdef __SSE2__
// A picture far larger than the caches would only push everything else out
// of them, and each line would be read from memory before being overwritten.
// Streaming stores write whole lines straight to memory instead. `dst` must
// be 16-byte aligned.
struct StreamingStores {
    static void putFour(std::uint32_t* dst, const std::uint32_t* four)
    {
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst), _mm_loadu_si128(reinterpret_cast<const __m128i*>(four)));
    }
    static void putTwoPairs(std::uint32_t* dst, const std::uint32_t* a, const std::uint32_t* b)
    {
        const __m128i low = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(a));
        const __m128i high = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b));
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst), _mm_unpacklo_epi64(low, high));
    }
    // Streaming stores are weakly ordered: make them visible before returning.
    static void finish() { _mm_sfence(); }
};
#endif

// Paints row r of a unit lying wholly inside the image as 8 pixels.
template <Codec C>
struct RowPainter;

template <>
struct RowPainter<kOneBpp> {
    PixelTable<8> table;
    explicit RowPainter(const std::uint32_t* colours) : table(makeTable<8>(kOneBpp, colours)) {}
    template <class Out>
    void paint(const std::uint8_t* unit, int r, std::uint32_t* dst) const
    {
        const std::uint32_t* pixels = table[unit[r]].data();
        Out::putFour(dst, pixels);
        Out::putFour(dst + 4, pixels + 4);
    }
};

template <Codec C>
struct TwoPlanePainter {
    PixelTable<4> table;
    explicit TwoPlanePainter(const std::uint32_t* colours) : table(makeTable<4>(C, colours)) {}
    template <class Out>
    void paint(const std::uint8_t* unit, int r, std::uint32_t* dst) const
    {
        const unsigned a = unit[planeOffset(C, r, 0)];
        const unsigned b = unit[planeOffset(C, r, 1)];
        Out::putFour(dst, table[(a >> 4) | (b & 0xF0)].data());
        Out::putFour(dst + 4, table[(a & 0xF) | ((b & 0xF) << 4)].data());
    }
};
template <>
struct RowPainter<kNes> : TwoPlanePainter<kNes> { using TwoPlanePainter::TwoPlanePainter; };
template <>
struct RowPainter<kGameBoy> : TwoPlanePainter<kGameBoy> { using TwoPlanePainter::TwoPlanePainter; };

template <Codec C>
struct PackedPairPainter {
    PixelTable<4> table;
    explicit PackedPairPainter(const std::uint32_t* colours) : table(makeTable<4>(C, colours)) {}
    template <class Out>
    void paint(const std::uint8_t* unit, int r, std::uint32_t* dst) const
    {
        const int left = C == kNgp ? 1 : 0;
        Out::putFour(dst, table[unit[2 * r + left]].data());
        Out::putFour(dst + 4, table[unit[2 * r + 1 - left]].data());
    }
};
template <>
struct RowPainter<kLinear> : PackedPairPainter<kLinear> { using PackedPairPainter::PackedPairPainter; };
template <>
struct RowPainter<kNgp> : PackedPairPainter<kNgp> { using PackedPairPainter::PackedPairPainter; };

template <Codec C>
struct NibblePainter {
    PixelTable<2> table;
    explicit NibblePainter(const std::uint32_t* colours) : table(makeTable<2>(C, colours)) {}
    template <class Out>
    void paint(const std::uint8_t* unit, int r, std::uint32_t* dst) const
    {
        const std::uint8_t* row = unit + 4 * r;
        Out::putTwoPairs(dst, table[row[0]].data(), table[row[1]].data());
        Out::putTwoPairs(dst + 4, table[row[2]].data(), table[row[3]].data());
    }
};
template <>
struct RowPainter<kGba> : NibblePainter<kGba> { using NibblePainter::NibblePainter; };
template <>
struct RowPainter<kGenesis> : NibblePainter<kGenesis> { using NibblePainter::NibblePainter; };

template <Codec C>
struct FourPlanePainter {
    PixelTable<2> table;
    std::array<std::uint32_t, 256> spread;
    explicit FourPlanePainter(const std::uint32_t* colours)
        : table(makeTable<2>(C, colours)), spread(makeSpread(C == kSnesMirrored))
    {
    }
    template <class Out>
    void paint(const std::uint8_t* unit, int r, std::uint32_t* dst) const
    {
        // Every byte lane holds at most 2 bits, so shifting by up to 6 never carries.
        std::uint32_t lanes = 0;
        for (int i = 0; i < 4; ++i)
            lanes |= spread[unit[planeOffset(C, r, i)]] << (2 * i);
        const auto pair = [&](int k) { return table[(lanes >> (8 * k)) & 0xFF].data(); };
        Out::putTwoPairs(dst, pair(0), pair(1));
        Out::putTwoPairs(dst + 4, pair(2), pair(3));
    }
};
template <>
struct RowPainter<kSnes> : FourPlanePainter<kSnes> { using FourPlanePainter::FourPlanePainter; };
template <>
struct RowPainter<kSnesMirrored> : FourPlanePainter<kSnesMirrored> { using FourPlanePainter::FourPlanePainter; };
template <>
struct RowPainter<kSms> : FourPlanePainter<kSms> { using FourPlanePainter::FourPlanePainter; };

// The pixel stream index of the first pixel of every tile on one band of
// tiles (one tile high, the picture wide).
std::vector<std::int64_t> bandTileStarts(const TileGeometry& g, int band)
{
    const int tilesAcross = 16 * g.blockWidth;
    const std::int64_t perBlock = static_cast<std::int64_t>(g.blockWidth) * g.blockHeight;
    const std::int64_t tilePixels = static_cast<std::int64_t>(g.tileWidth) * g.tileHeight;
    std::vector<std::int64_t> starts(static_cast<std::size_t>(tilesAcross));
    for (int tx = 0; tx < tilesAcross; ++tx) {
        const std::int64_t block = (band / g.blockHeight) * 16 + tx / g.blockWidth;
        const std::int64_t inBlock = (band % g.blockHeight) * g.blockWidth + tx % g.blockWidth;
        starts[static_cast<std::size_t>(tx)] = (block * perBlock + inBlock) * tilePixels;
    }
    return starts;
}

// The bytes of a band's tiles side by side. Neighbouring blocks lie a whole
// block apart in the image, often a multiple of 4 KiB, so read in place the
// tiles of a band would fight over a few cache sets on every picture row.
// Only for tiles that start on a unit and lie wholly inside the image.
void gatherBand(const std::uint8_t* base, const std::vector<std::int64_t>& starts, std::int64_t tilePixels,
                int bytesPerUnit, std::vector<std::uint8_t>& bytes)
{
    const auto tileBytes = static_cast<std::size_t>(tilePixels / 64 * bytesPerUnit);
    bytes.resize(starts.size() * tileBytes);
    // Tiles that follow each other in the image are copied in one go.
    for (std::size_t first = 0; first < starts.size();) {
        std::size_t end = first + 1;
        while (end < starts.size() && starts[end] == starts[end - 1] + tilePixels)
            ++end;
        std::memcpy(bytes.data() + first * tileBytes, base + starts[first] / 64 * bytesPerUnit,
                    (end - first) * tileBytes);
        first = end;
    }
}

// Paints every tile row of a band from its gathered bytes. Tiles of a
// multiple of 64 pixels start on a unit, so where a tile row's bytes lie
// within its tile depends only on the row: one offset per row.
template <Codec C, int UnitRowsPerTileRow, class Out>
void paintWholeBand(const RowPainter<C>& painter, const std::vector<std::uint8_t>& bytes, int tileHeight,
                    std::uint32_t*& dst)
{
    constexpr int tileWidth = 8 * UnitRowsPerTileRow;
    const int bytesPerUnit = unitBytes(C);
    const std::size_t tileBytes = static_cast<std::size_t>(tileWidth * tileHeight / 64 * bytesPerUnit);
    for (int y = 0; y < tileHeight; ++y) {
        const int n = y * tileWidth;
        const int r = n % 64 / 8;
        const std::uint8_t* end = bytes.data() + bytes.size();
        for (const std::uint8_t* tile = bytes.data() + n / 64 * bytesPerUnit; tile < end; tile += tileBytes) {
            for (int j = 0; j < UnitRowsPerTileRow; ++j)
                painter.template paint<Out>(tile, r + j, dst + 8 * j);
            dst += tileWidth;
        }
    }
}

// Any band: units at either end of the image are decoded pixel by pixel.
template <Codec C>
void paintBand(std::span<const std::uint8_t> rom, std::int64_t position, const TileGeometry& g,
               const RowPainter<C>& painter, const std::uint32_t* colours,
               const std::vector<std::int64_t>& starts, std::uint32_t*& dst)
{
    const std::int64_t bytesPerUnit = unitBytes(C);
    const auto romSize = static_cast<std::int64_t>(rom.size());
    // Tile widths of 8 and 16 divide a unit, so a tile row never leaves its unit.
    const int unitRowsPerTileRow = g.tileWidth / 8;
    for (int y = 0; y < g.tileHeight; ++y)
        for (const std::int64_t start : starts) {
            const std::int64_t n = start + static_cast<std::int64_t>(y) * g.tileWidth;
            const std::int64_t unitStart = position + (n / 64) * bytesPerUnit;
            const int r = static_cast<int>(n % 64) / 8;
            if (unitStart >= 0 && unitStart + bytesPerUnit <= romSize) {
                for (int j = 0; j < unitRowsPerTileRow; ++j)
                    painter.template paint<CachedStores>(rom.data() + unitStart, r + j, dst + 8 * j);
            } else {
                for (int c = 0; c < g.tileWidth; ++c) {
                    const auto v = streamPixelValue(rom, position, C, n + c);
                    dst[c] = v ? colours[*v] : colours[16];
                }
            }
            dst += g.tileWidth;
        }
}

#if defined(__GNUC__) && defined(__x86_64__)
#define QUARN_WIDE_ROWS 1
// The 4-bit and the planar 2-bit codecs on processors with AVX2: a unit row's 8 values side by
// side in one vector, their colours picked by two 8-entry permutes, one
// 32-byte row per step instead of eight table lookups.
#define QUARN_AVX2 __attribute__((target("avx2")))

constexpr bool hasWideRows(Codec codec)
{
    return codec == kNes || codec == kGameBoy || codec == kSnes || codec == kSnesMirrored || codec == kGba ||
           codec == kGenesis || codec == kSms;
}

template <typename T>
T loadBytes(const std::uint8_t* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// Row r of a unit as 8 values, one per 32-bit lane, pixel c in lane c.
template <Codec C>
QUARN_AVX2 inline __m256i rowValues(const std::uint8_t* unit, int r)
{
    const __m256i fifteen = _mm256_set1_epi32(15);
    if constexpr (C == kGba || C == kGenesis) {
        // The left pixel of a GBA byte is its low nibble, of a Genesis byte its high one.
        const __m256i shifts = C == kGba ? _mm256_setr_epi32(0, 4, 8, 12, 16, 20, 24, 28)
                                             : _mm256_setr_epi32(4, 0, 12, 8, 20, 16, 28, 24);
        const __m256i word = _mm256_set1_epi32(static_cast<int>(loadBytes<std::uint32_t>(unit + 4 * r)));
        return _mm256_and_si256(_mm256_srlv_epi32(word, shifts), fifteen);
    } else {
        // Planar: plane i in byte i. Lane c shifts pixel c's bit of every
        // plane to bit 0 of its byte; one multiply then adds plane i's bit
        // at bit 24 + i (the other products land below bit 24 or past bit
        // 31, all on distinct bits, so nothing carries into the value).
        std::uint32_t planes;
        if constexpr (C == kNes)
            planes = unit[r] | static_cast<std::uint32_t>(unit[r + 8]) << 8;
        else if constexpr (C == kGameBoy)
            planes = loadBytes<std::uint16_t>(unit + 2 * r);
        else if constexpr (C == kSms)
            planes = loadBytes<std::uint32_t>(unit + 4 * r);
        else
            planes = loadBytes<std::uint16_t>(unit + 2 * r) |
                     static_cast<std::uint32_t>(loadBytes<std::uint16_t>(unit + 16 + 2 * r)) << 16;
        const __m256i shifts = C == kSnesMirrored ? _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)
                                                      : _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
        const __m256i bits = _mm256_and_si256(
            _mm256_srlv_epi32(_mm256_set1_epi32(static_cast<int>(planes)), shifts), _mm256_set1_epi32(0x01010101));
        return _mm256_srli_epi32(_mm256_mullo_epi32(bits, _mm256_set1_epi32(0x01020408)), 24);
    }
}

template <bool Streaming>
QUARN_AVX2 inline void putRow(std::uint32_t* dst, __m256i pixels)
{
    if constexpr (Streaming) { // two halves: the picture is only sure to be 16-byte aligned
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst), _mm256_castsi256_si128(pixels));
        _mm_stream_si128(reinterpret_cast<__m128i*>(dst + 4), _mm256_extracti128_si256(pixels, 1));
    } else {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst), pixels);
    }
}

template <Codec C, int UnitRowsPerTileRow, bool Streaming>
QUARN_AVX2 void paintWholeBandWide(const std::uint32_t* colours, const std::vector<std::uint8_t>& bytes,
                                   int tileHeight, std::uint32_t*& dst)
{
    constexpr int tileWidth = 8 * UnitRowsPerTileRow;
    constexpr int bytesPerUnit = C == kNes || C == kGameBoy ? 16 : 32;
    const std::size_t tileBytes = static_cast<std::size_t>(tileWidth * tileHeight / 64 * bytesPerUnit);
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colours));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colours + 8));
    for (int y = 0; y < tileHeight; ++y) {
        const int n = y * tileWidth;
        const int r = n % 64 / 8;
        const std::uint8_t* end = bytes.data() + bytes.size();
        for (const std::uint8_t* tile = bytes.data() + n / 64 * bytesPerUnit; tile < end; tile += tileBytes) {
            for (int j = 0; j < UnitRowsPerTileRow; ++j) {
                const __m256i values = rowValues<C>(tile, r + j);
                // Values 8..15 have bit 3 set: move it to the sign bit to pick the high half.
                const __m256 pick = _mm256_castsi256_ps(_mm256_slli_epi32(values, 28));
                const __m256 pixels = _mm256_blendv_ps(
                    _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(low, values)),
                    _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(high, values)), pick);
                putRow<Streaming>(dst + 8 * j, _mm256_castps_si256(pixels));
            }
            dst += tileWidth;
        }
    }
}

// Tiles 16 pixels wide on processors with AVX-512: a tile row is two unit
// rows side by side, 16 values in one vector, their colours picked from the
// whole 16-entry palette by one permute and written with one 64-byte store.
#define QUARN_AVX512 __attribute__((target("avx512f")))
// GCC 12's AVX-512 intrinsics fill unused result operands with a deliberately
// undefined value, which it then reports as maybe uninitialized.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// Rows r and r + 1 of a unit's planes, row r in the low 32 bits, plane i in byte i of each row.
template <Codec C>
QUARN_AVX512 inline __m128i twoRowPlanes(const std::uint8_t* unit, int r)
{
    if constexpr (C == kNes)
        return _mm_cvtsi64_si128(static_cast<long long>(
            unit[r] | static_cast<std::uint64_t>(unit[r + 8]) << 8 | static_cast<std::uint64_t>(unit[r + 1]) << 32 |
            static_cast<std::uint64_t>(unit[r + 9]) << 40));
    if constexpr (C == kGameBoy)
        return _mm_cvtsi64_si128(static_cast<long long>(
            loadBytes<std::uint16_t>(unit + 2 * r) |
            static_cast<std::uint64_t>(loadBytes<std::uint16_t>(unit + 2 * r + 2)) << 32));
    if constexpr (C == kSms)
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(unit + 4 * r));
    // SNES: planes 0 and 1 of both rows, then planes 2 and 3 of both rows; interleave the pairs.
    return _mm_unpacklo_epi16(_mm_cvtsi32_si128(loadBytes<int>(unit + 2 * r)),
                              _mm_cvtsi32_si128(loadBytes<int>(unit + 16 + 2 * r)));
}

template <Codec C>
QUARN_AVX512 inline __m512i twoRowValues(const std::uint8_t* unit, int r)
{
    if constexpr (C == kGba || C == kGenesis) {
        // Each byte twice, then each copy shifted to its own nibble.
        const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(unit + 4 * r));
        const __m512i words = _mm512_cvtepu8_epi32(_mm_unpacklo_epi8(bytes, bytes));
        const __m512i shifts = C == kGba ? _mm512_set1_epi64(0x0000000400000000)
                                             : _mm512_set1_epi64(0x0000000000000004);
        return _mm512_and_si512(_mm512_srlv_epi32(words, shifts), _mm512_set1_epi32(15));
    } else {
        // As rowValues: every lane takes its pixel's bit of each plane, one multiply gathers them.
        const __m512i halves = _mm512_setr_epi32(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1);
        const __m512i planes = _mm512_permutexvar_epi32(
            halves, _mm512_castsi128_si512(twoRowPlanes<C>(unit, r)));
        const __m512i shifts = C == kSnesMirrored
                                   ? _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7)
                                   : _mm512_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0, 7, 6, 5, 4, 3, 2, 1, 0);
        const __m512i bits = _mm512_and_si512(_mm512_srlv_epi32(planes, shifts), _mm512_set1_epi32(0x01010101));
        return _mm512_srli_epi32(_mm512_mullo_epi32(bits, _mm512_set1_epi32(0x01020408)), 24);
    }
}

// A band's tile rows follow each other in the picture, so its 64-byte rows
// are written realigned to cache lines: each line store joins the end of one
// row to the start of the next, and no store is split across two lines.
template <Codec C, bool Streaming>
QUARN_AVX512 void paintWholeBandWidest(const std::uint32_t* colours, const std::vector<std::uint8_t>& bytes,
                                       int tileHeight, std::uint32_t*& dst)
{
    constexpr int bytesPerUnit = C == kNes || C == kGameBoy ? 16 : 32;
    const std::size_t tileBytes = static_cast<std::size_t>(16 * tileHeight / 64 * bytesPerUnit);
    const __m512i palette = _mm512_loadu_si512(colours);
    // Pixels the band starts past a line: a line takes the previous row's last
    // `skew` pixels and this row's first 16 - skew.
    const auto skew = static_cast<int>(reinterpret_cast<std::uintptr_t>(dst) / 4 % 16);
    const __m512i joined = _mm512_add_epi32(_mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
                                            _mm512_set1_epi32(16 - skew));
    const std::uint8_t* end = bytes.data() + bytes.size();
    __m512i previous = _mm512_setzero_si512();
    bool first = true;
    for (int y = 0; y < tileHeight; ++y) {
        const int n = y * 16;
        const int r = n % 64 / 8;
        for (const std::uint8_t* tile = bytes.data() + n / 64 * bytesPerUnit; tile < end; tile += tileBytes) {
            const __m512i row = _mm512_permutexvar_epi32(twoRowValues<C>(tile, r), palette);
            if (first) {
                _mm512_storeu_si512(dst, row);
                first = false;
            } else if constexpr (Streaming) {
                _mm512_stream_si512(reinterpret_cast<__m512i*>(dst - skew), _mm512_permutex2var_epi32(previous, joined, row));
            } else {
                _mm512_store_si512(dst - skew, _mm512_permutex2var_epi32(previous, joined, row));
            }
            previous = row;
            dst += 16;
        }
    }
    if (!first) // the last row's end, past the last whole line
        _mm512_storeu_si512(dst - 16, previous);
}
#pragma GCC diagnostic pop

template <Codec C, bool Streaming>
void paintWholeBandWide(const std::uint32_t* colours, const std::vector<std::uint8_t>& bytes, int tileWidth,
                        int tileHeight, std::uint32_t*& dst)
{
    if (tileWidth == 8)
        paintWholeBandWide<C, 1, Streaming>(colours, bytes, tileHeight, dst);
    else
        paintWholeBandWide<C, 2, Streaming>(colours, bytes, tileHeight, dst);
}
#endif

template <Codec C, class Out>
void decodeRows(std::span<const std::uint8_t> rom, std::int64_t position, const TileGeometry& g,
                const std::uint32_t* colours, Bitmap& out, bool wideRows, bool widestRows)
{
    const RowPainter<C> painter(colours);
    const std::int64_t bytesPerUnit = unitBytes(C);
    const auto romSize = static_cast<std::int64_t>(rom.size());
    const std::int64_t tilePixels = static_cast<std::int64_t>(g.tileWidth) * g.tileHeight;
    const bool tilesStartOnUnits = tilePixels % 64 == 0;
    std::vector<std::uint8_t> bandBytes;
    std::uint32_t* dst = out.pixels.data();
    for (int band = 0; band < 16 * g.blockHeight; ++band) {
        const auto starts = bandTileStarts(g, band);
        const auto [first, last] = std::minmax_element(starts.begin(), starts.end());
        const std::int64_t lowest = position + *first / 64 * bytesPerUnit;
        const std::int64_t highest = position + (*last + tilePixels) / 64 * bytesPerUnit;
        if (!tilesStartOnUnits || lowest < 0 || highest > romSize) {
            paintBand<C>(rom, position, g, painter, colours, starts, dst);
            continue;
        }
        gatherBand(rom.data() + position, starts, tilePixels, unitBytes(C), bandBytes);
#ifdef QUARN_WIDE_ROWS
        if constexpr (hasWideRows(C)) {
            if (widestRows && g.tileWidth == 16) {
                paintWholeBandWidest<C, !std::is_same_v<Out, CachedStores>>(colours, bandBytes, g.tileHeight, dst);
                continue;
            }
            if (wideRows) {
                paintWholeBandWide<C, std::is_same_v<Out, CachedStores> ? false : true>(
                    colours, bandBytes, g.tileWidth, g.tileHeight, dst);
                continue;
            }
        }
#endif
        if (g.tileWidth == 8)
            paintWholeBand<C, 1, Out>(painter, bandBytes, g.tileHeight, dst);
        else
            paintWholeBand<C, 2, Out>(painter, bandBytes, g.tileHeight, dst);
    }
    Out::finish();
}

template <Codec C>
void decodeCodec(std::span<const std::uint8_t> rom, std::int64_t position, const TileGeometry& g,
                 const std::uint32_t* colours, Bitmap& out, const PictureRowOptions& options)
{
#ifdef QUARN_WIDE_ROWS
    const bool wideRows = options.wideRows && __builtin_cpu_supports("avx2");
    const bool widestRows = wideRows && options.widestRows && __builtin_cpu_supports("avx512f");
#else
    const bool wideRows = false;
    const bool widestRows = false;
#endif
#ifdef __SSE2__
    const bool aligned = reinterpret_cast<std::uintptr_t>(out.pixels.data()) % 16 == 0;
    if (aligned && out.pixels.size() * sizeof(std::uint32_t) >= options.streamingFrom)
        return decodeRows<C, StreamingStores>(rom, position, g, colours, out, wideRows, widestRows);
#endif
    decodeRows<C, CachedStores>(rom, position, g, colours, out, wideRows, widestRows);
}

} // namespace

void decodeMapByPictureRows(std::span<const std::uint8_t> rom, std::int64_t position,
                            Codec codec, const TileGeometry& g, const std::uint32_t* colours,
                            Bitmap& out, const PictureRowOptions& options)
{
    switch (codec) {
    case kOneBpp: return decodeCodec<kOneBpp>(rom, position, g, colours, out, options);
    case kNes: return decodeCodec<kNes>(rom, position, g, colours, out, options);
    case kGameBoy: return decodeCodec<kGameBoy>(rom, position, g, colours, out, options);
    case kLinear: return decodeCodec<kLinear>(rom, position, g, colours, out, options);
    case kNgp: return decodeCodec<kNgp>(rom, position, g, colours, out, options);
    case kSnes: return decodeCodec<kSnes>(rom, position, g, colours, out, options);
    case kSnesMirrored: return decodeCodec<kSnesMirrored>(rom, position, g, colours, out, options);
    case kGba: return decodeCodec<kGba>(rom, position, g, colours, out, options);
    case kGenesis: return decodeCodec<kGenesis>(rom, position, g, colours, out, options);
    case kSms: return decodeCodec<kSms>(rom, position, g, colours, out, options);
    default: break;
    }
}
