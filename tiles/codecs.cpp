#include "tiles/codecs.h"

#include "tiles/codecdescription.h"
#include "tiles/codeclayout.h"
#include "tiles/grouprows.h"
#include "tiles/picturerows.h"
#include "tiles/unitdecoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <ostream>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

#include "tiles/codecaliases.h"

// Pixel numbers and image offsets are worked out in 128 bits: a product of
// any 64-bit tile number or position with any geometry fits, so positions
// near either end of the 64-bit range cannot wrap into the image.
__extension__ typedef __int128 Wide;

// Image offset of the unit holding stream pixel n; nothing for n < 0.
std::optional<Wide> unitStartOf(std::int64_t position, Codec codec, Wide n)
{
    if (n < 0)
        return std::nullopt;
    return position + (n / unitPixels(codec)) * unitBytes(codec);
}

// The bits of stream pixel n within its unit.
PixelBits streamPixelBits(Codec codec, Wide n)
{
    const int k = static_cast<int>(n % unitPixels(codec));
    return pixelBits(codec, k / unitWidth(codec), k % unitWidth(codec));
}

bool bytesInside(const PixelBits& p, Wide unitStart, std::size_t romSize)
{
    for (int i = 0; i < p.count; ++i) {
        const Wide at = unitStart + p.refs[static_cast<std::size_t>(i)].offset;
        if (at < 0 || at >= static_cast<Wide>(romSize))
            return false;
    }
    return true;
}

// Whether every byte stream pixel n needs lies inside the image.
bool pixelInside(std::span<const std::uint8_t> rom, std::int64_t position, Codec codec, Wide n)
{
    const std::optional<Wide> unitStart = unitStartOf(position, codec, n);
    if (!unitStart)
        return false;
    return bytesInside(streamPixelBits(codec, n), *unitStart, rom.size());
}

// byteAt(offset) gives the unit's byte at `offset`; callers have checked it exists.
template <typename ByteAt>
int readValue(const PixelBits& p, ByteAt byteAt)
{
    int value = 0;
    for (int i = 0; i < p.count; ++i) {
        const BitRef ref = p.refs[static_cast<std::size_t>(i)];
        value |= ((byteAt(ref.offset) >> ref.bit) & 1) << i;
    }
    return value;
}

template <typename ByteAt>
void writeValue(const PixelBits& p, int value, ByteAt byteAt)
{
    for (int i = 0; i < p.count; ++i) {
        const BitRef ref = p.refs[static_cast<std::size_t>(i)];
        std::uint8_t& byte = byteAt(ref.offset);
        const auto mask = static_cast<std::uint8_t>(1u << ref.bit);
        byte = static_cast<std::uint8_t>(((value >> i) & 1) ? (byte | mask) : (byte & ~mask));
    }
}

// ---- Whole-unit decoding with lookup tables -------------------------------

// Byte lanes are built with bit_cast from a byte array, so lane c is the
// c-th byte in memory whatever the host's byte order. Shifting a whole word
// by up to 3 bits never carries between lanes because every lane holds 0 or 1.
struct DecodeTables {
    std::array<std::uint64_t, 256> msbFirst{}; // lane c = bit (7 - c)
    std::array<std::uint64_t, 256> lsbFirst{}; // lane c = bit c
    std::array<std::uint32_t, 256> linear{};   // lane i = bit (7 - 2i) + 2 x bit (6 - 2i)
    std::array<std::uint16_t, 256> lowNibbleFirst{};
    std::array<std::uint16_t, 256> highNibbleFirst{};
};

constexpr DecodeTables makeDecodeTables()
{
    DecodeTables t;
    for (int b = 0; b < 256; ++b) {
        std::array<std::uint8_t, 8> msb{};
        std::array<std::uint8_t, 8> lsb{};
        for (int c = 0; c < 8; ++c) {
            msb[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>((b >> (7 - c)) & 1);
            lsb[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>((b >> c) & 1);
        }
        std::array<std::uint8_t, 4> lin{};
        for (int i = 0; i < 4; ++i) {
            const int s = 2 * i;
            lin[static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(((b >> (7 - s)) & 1) | (((b >> (6 - s)) & 1) << 1));
        }
        const std::array<std::uint8_t, 2> lowFirst = {static_cast<std::uint8_t>(b & 0xF),
                                                      static_cast<std::uint8_t>(b >> 4)};
        const std::array<std::uint8_t, 2> highFirst = {lowFirst[1], lowFirst[0]};
        const auto i = static_cast<std::size_t>(b);
        t.msbFirst[i] = std::bit_cast<std::uint64_t>(msb);
        t.lsbFirst[i] = std::bit_cast<std::uint64_t>(lsb);
        t.linear[i] = std::bit_cast<std::uint32_t>(lin);
        t.lowNibbleFirst[i] = std::bit_cast<std::uint16_t>(lowFirst);
        t.highNibbleFirst[i] = std::bit_cast<std::uint16_t>(highFirst);
    }
    return t;
}

constexpr DecodeTables kTables = makeDecodeTables();

template <typename T>
void storeLanes(std::uint8_t* dst, T lanes)
{
    std::memcpy(dst, &lanes, sizeof lanes);
}

// Planar rows: plane i of row r is byte planeOffset(r, i).
template <int Planes, typename PlaneOffset>
void decodePlanar(const std::uint8_t* unit, std::uint8_t* values,
                  const std::array<std::uint64_t, 256>& lanes, PlaneOffset planeOffset)
{
    for (int r = 0; r < 8; ++r) {
        std::uint64_t row = 0;
        for (int i = 0; i < Planes; ++i)
            row |= lanes[unit[planeOffset(r, i)]] << i;
        storeLanes(values + 8 * r, row);
    }
}

// Decodes all pixel values of a unit lying wholly inside the image: the
// first ten codecs by hand-written table lookups, the others through
// `tables`, built from their layout.
void decodeUnit(Codec codec, const UnitTables* tables, const std::uint8_t* unit, std::uint8_t* values)
{
    const auto& msb = kTables.msbFirst;
    switch (codec) {
    case kOneBpp:
        decodePlanar<1>(unit, values, msb, [](int r, int) { return r; });
        break;
    case kNes:
        decodePlanar<2>(unit, values, msb, [](int r, int i) { return r + 8 * i; });
        break;
    case kGameBoy:
        decodePlanar<2>(unit, values, msb, [](int r, int i) { return 2 * r + i; });
        break;
    case kSnes:
        decodePlanar<4>(unit, values, msb,
                        [](int r, int i) { return 2 * r + (i & 1) + 16 * (i >> 1); });
        break;
    case kSnesMirrored:
        decodePlanar<4>(unit, values, kTables.lsbFirst,
                        [](int r, int i) { return 2 * r + (i & 1) + 16 * (i >> 1); });
        break;
    case kSms:
        decodePlanar<4>(unit, values, msb, [](int r, int i) { return 4 * r + i; });
        break;
    case kLinear:
    case kNgp: {
        const int left = codec == kNgp ? 1 : 0;
        for (int r = 0; r < 8; ++r) {
            storeLanes(values + 8 * r, kTables.linear[unit[2 * r + left]]);
            storeLanes(values + 8 * r + 4, kTables.linear[unit[2 * r + 1 - left]]);
        }
        break;
    }
    case kGba:
    case kGenesis: {
        const auto& nibbles = codec == kGba ? kTables.lowNibbleFirst : kTables.highNibbleFirst;
        for (int i = 0; i < 32; ++i)
            storeLanes(values + 2 * i, nibbles[unit[i]]);
        break;
    }
    default:
        tables->decode(unit, values);
        break;
    }
}

// Per-pixel path for units that straddle the start or end of the image:
// finished pixels, `outside` where a pixel's bytes are not in the image.
void decodePartialUnit(Codec codec, std::span<const std::uint8_t> rom, std::int64_t unitStart,
                       const std::uint32_t* colours, std::uint32_t outside, std::uint32_t* pixels)
{
    const int width = unitWidth(codec);
    for (int k = 0; k < unitPixels(codec); ++k) {
        const PixelBits p = pixelBits(codec, k / width, k % width);
        pixels[k] = bytesInside(p, unitStart, rom.size())
                        ? colours[readValue(p, [&](int offset) {
                              return rom[static_cast<std::size_t>(unitStart + offset)];
                          })]
                        : outside;
    }
}

// Walks the tiles in stream order and knows where each tile row lands in
// the screen arrangement, so the decoder only copies runs of pixels.
class TileCursor {
public:
    // Starts at stream pixel `first` (0: the first pixel of the map).
    TileCursor(const TileGeometry& g, Bitmap& out, std::int64_t first = 0)
        : tw_(g.tileWidth), th_(g.tileHeight), bw_(g.blockWidth), bh_(g.blockHeight),
          stride_(out.width), pixels_(out.pixels.data())
    {
        const std::int64_t tilePixels = static_cast<std::int64_t>(tw_) * th_;
        const std::int64_t tile = first / tilePixels;
        const std::int64_t perBlock = static_cast<std::int64_t>(bw_) * bh_;
        // Past the last block the cursor only counts on; nothing is put there.
        block_ = tile / perBlock;
        inBlockX_ = static_cast<int>(tile % perBlock % bw_);
        inBlockY_ = static_cast<int>(tile % perBlock / bw_);
        startTile();
        const std::int64_t inTile = first % tilePixels;
        y_ = static_cast<int>(inTile / tw_);
        x_ = static_cast<int>(inTile % tw_);
        row_ += static_cast<std::int64_t>(y_) * stride_;
    }

    // Puts `count` stream pixels, pixel i being pixelOf(i).
    template <typename PixelOf>
    void put(int count, PixelOf pixelOf)
    {
        int done = 0;
        while (count > 0) {
            const int run = std::min(tw_ - x_, count);
            std::uint32_t* dst = row_ + x_;
            for (int i = 0; i < run; ++i)
                dst[i] = pixelOf(done + i);
            done += run;
            count -= run;
            x_ += run;
            if (x_ == tw_)
                nextRow();
        }
    }

    // Where the next 8 stream pixels go, side by side in one tile row: only
    // for tiles a multiple of 8 wide, from a multiple of 8 pixels on.
    std::uint32_t* takeEight()
    {
        std::uint32_t* dst = row_ + x_;
        x_ += 8;
        if (x_ == tw_)
            nextRow();
        return dst;
    }

private:
    void nextRow()
    {
        x_ = 0;
        row_ += stride_;
        if (++y_ == th_)
            nextTile();
    }

    // Counted on, not divided out: this runs for every tile of the map.
    void nextTile()
    {
        if (++inBlockX_ == bw_) {
            inBlockX_ = 0;
            if (++inBlockY_ == bh_) {
                inBlockY_ = 0;
                ++block_;
            }
        }
        startTile();
    }

    void startTile()
    {
        y_ = 0;
        const std::int64_t x0 = ((block_ % 16) * bw_ + inBlockX_) * tw_;
        const std::int64_t y0 = ((block_ / 16) * bh_ + inBlockY_) * th_;
        // Past the last tile this points at a row beyond the picture, but
        // the caller never puts pixels there.
        row_ = block_ < 256 ? pixels_ + y0 * stride_ + x0 : pixels_;
    }

    int tw_, th_, bw_, bh_;
    std::int64_t stride_;
    std::uint32_t* pixels_;
    std::int64_t block_ = 0;
    int inBlockX_ = 0;
    int inBlockY_ = 0;
    int x_ = 0;
    int y_ = 0;
    std::uint32_t* row_ = nullptr;
};

#if defined(__GNUC__) && defined(__x86_64__)
#define QUARN_GROUP_VECTORS 1
#define QUARN_AVX2 __attribute__((target("avx2")))

// The colours of a unit's groups of values under 16, 8 at a time: the values
// widened to one vector, their colours picked by two 8-entry permutes, one
// 32-byte store per group instead of eight lookups and stores.
QUARN_AVX2 void paintSixteenColourGroups(const UnitTables& tables, const std::uint8_t* unit, int groups,
                                         const std::uint32_t* colours, TileCursor& cursor)
{
    std::array<std::uint8_t, kMaxUnitPixels> values;
    tables.decode(unit, values.data());
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colours));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colours + 8));
    for (int g = 0; g < groups; ++g) {
        const __m256i group = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(values.data() + 8 * g)));
        // Values 8..15 have bit 3 set: moved to the sign bit it picks the high half.
        const __m256 pick = _mm256_castsi256_ps(_mm256_slli_epi32(group, 28));
        const __m256i pixels = _mm256_castps_si256(
            _mm256_blendv_ps(_mm256_castsi256_ps(_mm256_permutevar8x32_epi32(low, group)),
                             _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(high, group)), pick));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(cursor.takeEight()), pixels);
    }
}
#endif

// Paints whole groups of 8 values from the unit tables as finished pixels:
// a whole group a lookup where one byte holds it (1-bit layouts), vectors
// for up to 16 colours where the processor has them, else one pixel at a time.
class GroupPainter {
public:
    GroupPainter(const UnitTables* tables, int bitsPerPixel, const std::uint32_t* colours)
        : tables_(tables), colours_(colours)
    {
        if (!tables)
            return;
        if (tables->oneReadPerGroup() && tables->tableCount() <= 4) {
            eights_.resize(tables->tableCount());
            for (std::size_t t = 0; t < eights_.size(); ++t)
                for (std::size_t v = 0; v < 256; ++v)
                    for (int i = 0; i < 8; ++i)
                        eights_[t][v][static_cast<std::size_t>(i)] =
                            colours[UnitTables::laneValue(tables->table(t)[v], i)];
            return;
        }
#ifdef QUARN_GROUP_VECTORS
        // Tables-only layouts give values of at most bitsPerPixel bits.
        vectors_ = bitsPerPixel <= 4 && __builtin_cpu_supports("avx2");
#else
        (void)bitsPerPixel;
#endif
    }

    void paint(const std::uint8_t* unit, int groups, TileCursor& cursor) const
    {
        const auto count = static_cast<std::size_t>(groups);
        if (!eights_.empty()) {
            tables_->forEachGroupByte(unit, count, [&](std::uint32_t table, std::uint8_t v) {
                std::memcpy(cursor.takeEight(), eights_[table][v].data(), 32);
            });
            return;
        }
#ifdef QUARN_GROUP_VECTORS
        if (vectors_)
            return paintSixteenColourGroups(*tables_, unit, groups, colours_, cursor);
#endif
        tables_->forEachGroup(unit, count, [&](std::uint64_t lanes) {
            std::uint32_t* dst = cursor.takeEight();
            for (int i = 0; i < 8; ++i)
                dst[i] = colours_[lane(lanes, i)];
        });
    }

private:
    static unsigned lane(std::uint64_t lanes, int i) { return UnitTables::laneValue(lanes, i); }

    const UnitTables* tables_;
    const std::uint32_t* colours_;
    std::vector<std::array<std::array<std::uint32_t, 8>, 256>> eights_;
    bool vectors_ = false;
};

} // namespace

std::string_view codecName(Codec codec)
{
    constexpr std::array<std::string_view, kCodecCount> names = {
        "1BPP",      "2BPP NES",             "2BPP GB",     "2BPP LINEAR",        "2BPP NGP",
        "4BPP SNES", "4BPP SNES (mirrored)", "4BPP GBA",    "4BPP MSX (Genesis)", "4BPP SMS",
        "3BPP SNES", "8BPP SNES",            "8BPP GBA",    "8BPP MODE 7",        "2BPP VIRTUAL BOY",
        "4BPP PCE SPRITE",
    };
    if (isBuiltInCodec(codec))
        return names[static_cast<std::size_t>(codecIndex(codec))];
    const CodecDescription* described = describedCodec(codec);
    return described ? std::string_view(described->name) : std::string_view();
}

TileGeometry clampedGeometry(const TileGeometry& g)
{
    return {std::clamp(g.tileWidth, 1, 16), std::clamp(g.tileHeight, 1, 16), std::clamp(g.blockWidth, 1, 16),
            std::clamp(g.blockHeight, 1, 16)};
}

std::ostream& operator<<(std::ostream& out, Codec codec)
{
    if (!isValidCodec(codec))
        return out << "codec " << codecIndex(codec);
    return out << codecName(codec);
}

std::optional<Codec> codecByName(std::string_view name)
{
    for (const Codec codec : allCodecs())
        if (codecName(codec) == name)
            return codec;
    return std::nullopt;
}

int unitPixelValue(Codec codec, const std::uint8_t* unit, int r, int c)
{
    if (!insideUnit(codec, r, c))
        return 0;
    return readValue(pixelBits(codec, r, c), [unit](int offset) { return unit[offset]; });
}

void setUnitPixelValue(Codec codec, std::uint8_t* unit, int r, int c, int value)
{
    if (!insideUnit(codec, r, c))
        return;
    writeValue(pixelBits(codec, r, c), value,
               [unit](int offset) -> std::uint8_t& { return unit[offset]; });
}

std::optional<int> streamPixelValue(std::span<const std::uint8_t> rom, std::int64_t position,
                                    Codec codec, std::int64_t n)
{
    if (!isValidCodec(codec) || !pixelInside(rom, position, codec, n))
        return std::nullopt;
    const auto start = static_cast<std::size_t>(*unitStartOf(position, codec, n));
    return readValue(streamPixelBits(codec, n),
                     [&](int offset) { return rom[start + static_cast<std::size_t>(offset)]; });
}

ValuePixels valuePixels(Codec codec, const Palettes& palettes)
{
    ValuePixels pixels;
    pixels.fill(kBlackPixel);
    const auto show = [&pixels](const auto& palette) {
        for (std::size_t v = 0; v < palette.size(); ++v)
            pixels[v] = colourToPixel(palette[v]);
    };
    switch (paletteModeFor(codec)) {
    case PaletteMode::FourColour:
        show(palettes.four);
        break;
    case PaletteMode::SixteenColour:
        show(palettes.sixteen);
        break;
    case PaletteMode::TwoFiftySixColour:
        show(palettes.full);
        break;
    }
    return pixels;
}

namespace {
// The clamped geometry and the pixel of each value; `out` gets the map's
// size (every pixel is written later, so an unchanged size needs no refill).
struct MapDrawing {
    TileGeometry geometry;
    ValuePixels colours{};
    // Pixels whose bytes lie outside the image.
    std::uint32_t outside = kBlackPixel;
};

// Units [firstUnit, endUnit) of the stream, through the tile layout.
void decodeUnits(std::span<const std::uint8_t> rom, std::int64_t position, Codec codec, const MapDrawing& d,
                 bool noneInside, std::int64_t firstUnit, std::int64_t endUnit, Bitmap& out)
{
    const std::int64_t totalPixels = static_cast<std::int64_t>(out.width) * out.height;
    const int bytesPerUnit = unitBytes(codec);
    const int pixelsPerUnit = unitPixels(codec);
    const auto romSize = static_cast<std::int64_t>(rom.size());
    const std::uint32_t* colours = d.colours.data();
    const UnitTables* tables = decodesByPictureRows(codec) ? nullptr : unitTablesFor(codec);
    TileCursor cursor(d.geometry, out, firstUnit * pixelsPerUnit);
    std::array<std::uint8_t, kMaxUnitPixels> values;
    std::array<std::uint32_t, kMaxUnitPixels> pixels;
    // Each group of 8 values straight into its 8 places of a tile row, when
    // such a group never spans two rows (units and the map's pixels then
    // come in whole groups too).
    const bool byGroups = tables && tables->tablesOnly() && d.geometry.tileWidth % 8 == 0 && pixelsPerUnit % 8 == 0;
    const GroupPainter painter(byGroups ? tables : nullptr, bitsPerPixel(codec), colours);
    for (std::int64_t u = firstUnit; u < endUnit; ++u) {
        const int count =
            static_cast<int>(std::min<std::int64_t>(pixelsPerUnit, totalPixels - u * pixelsPerUnit));
        // Offsets are only formed for a position that reaches the image, so they cannot overflow.
        const std::int64_t start = noneInside ? romSize : position + u * bytesPerUnit;
        if (start >= romSize) {
            cursor.put(count, [&d](int) { return d.outside; });
        } else if (start >= 0 && start + bytesPerUnit <= romSize && byGroups) {
            painter.paint(rom.data() + start, count / 8, cursor);
        } else if (start >= 0 && start + bytesPerUnit <= romSize) {
            decodeUnit(codec, tables, rom.data() + start, values.data());
            cursor.put(count, [&](int i) { return colours[values[static_cast<std::size_t>(i)]]; });
        } else {
            decodePartialUnit(codec, rom, start, colours, d.outside, pixels.data());
            cursor.put(count, [&](int i) { return pixels[static_cast<std::size_t>(i)]; });
        }
    }
}

MapDrawing prepareMap(const TileGeometry& geometry, Codec codec, const Palettes& palettes, Bitmap& out)
{
    MapDrawing d;
    TileGeometry& g = d.geometry;
    g = clampedGeometry(geometry);
    const int width = g.tileWidth * 16 * g.blockWidth;
    const int height = g.tileHeight * 16 * g.blockHeight;
    if (out.width != width || out.height != height ||
        out.pixels.size() != static_cast<std::size_t>(width) * height)
        out.resize(width, height);
    d.colours = valuePixels(codec, palettes);
    return d;
}

// Units needed for `pixels` stream pixels.
std::int64_t unitsFor(Codec codec, std::int64_t pixels)
{
    return (pixels + unitPixels(codec) - 1) / unitPixels(codec);
}
} // namespace

void decodeTileMap(std::span<const std::uint8_t> rom, std::int64_t position, Codec codec,
                   const TileGeometry& geometry, const Palettes& palettes, Bitmap& out)
{
    const MapDrawing d = prepareMap(geometry, codec, palettes, out);
    const TileGeometry& g = d.geometry;
    const std::int64_t totalPixels = static_cast<std::int64_t>(out.width) * out.height;
    const bool valid = isValidCodec(codec);
    const std::int64_t units = valid ? unitsFor(codec, totalPixels) : 0;
    const auto romSize = static_cast<std::int64_t>(rom.size());
    // Positions this far off cannot reach the image; this also keeps the
    // unit offsets below from overflowing.
    const std::int64_t reach = units * unitBytes(codec);
    const bool noneInside = !valid || position >= romSize || position <= -reach;

    if (!noneInside && g.tileWidth % 8 == 0 && decodesByPictureRows(codec)) {
        std::array<std::uint32_t, kPictureRowColours> colours{};
        std::copy_n(d.colours.begin(), kPictureRowColours - 1, colours.begin());
        colours.back() = d.outside;
        decodeMapByPictureRows(rom, position, codec, g, colours.data(), out);
        return;
    }
    if (!valid) {
        out.fill(d.outside);
        return;
    }
    if (const UnitTables* tables = decodesByPictureRows(codec) ? nullptr : unitTablesFor(codec);
        tables && groupRowsFit(*tables, codec, g, position, rom.size())) {
        decodeMapByGroupRows(rom, position, codec, *tables, g, d.colours.data(), out);
        return;
    }
    decodeUnits(rom, position, codec, d, noneInside, 0, units, out);
}

void decodeTileMapBlocks(std::span<const std::uint8_t> rom, std::int64_t position, Codec codec,
                         const TileGeometry& geometry, const Palettes& palettes, const std::bitset<256>& blocks,
                         Bitmap& out)
{
    const MapDrawing d = prepareMap(geometry, codec, palettes, out);
    const TileGeometry& g = d.geometry;
    const std::int64_t blockPixels =
        static_cast<std::int64_t>(g.tileWidth) * g.tileHeight * g.blockWidth * g.blockHeight;
    if (!isValidCodec(codec)) {
        // Every block is black; drawing all of them draws the chosen ones too.
        if (blocks.any())
            out.fill(d.outside);
        return;
    }
    const int pixelsPerUnit = unitPixels(codec);
    const std::int64_t units = unitsFor(codec, 256 * blockPixels);
    const std::int64_t reach = units * unitBytes(codec);
    const bool noneInside = position >= static_cast<std::int64_t>(rom.size()) || position <= -reach;
    // A block's pixels are one stretch of the stream; the units that cover
    // it may also hold pixels of its neighbours, which come out the same.
    for (int b = 0; b < 256; ++b) {
        if (!blocks.test(static_cast<std::size_t>(b)))
            continue;
        int last = b;
        while (last + 1 < 256 && blocks.test(static_cast<std::size_t>(last + 1)))
            ++last;
        const std::int64_t firstUnit = b * blockPixels / pixelsPerUnit;
        const std::int64_t endUnit = std::min(units, unitsFor(codec, (last + 1) * blockPixels));
        decodeUnits(rom, position, codec, d, noneInside, firstUnit, endUnit, out);
        b = last;
    }
}

int colourToValue(Codec codec, const Palettes& palettes, Colour colour)
{
    return matchColour(codec, palettes, colour).value;
}

int unmatchedColourValue(Codec codec)
{
    switch (bitsPerPixel(codec)) {
    case 1:
        return 1;
    case 2:
        return 2;
    default:
        return 0;
    }
}

namespace {
// The lowest of the first `count` entries equal to `colour`.
template <typename Palette>
ColourMatch firstEqual(const Palette& palette, int count, Colour colour)
{
    for (int i = 0; i < count; ++i)
        if (palette[static_cast<std::size_t>(i)] == colour)
            return {i, true};
    return {0, false};
}
} // namespace

ColourMatch matchColour(Codec codec, const Palettes& palettes, Colour colour)
{
    // The order of the comparisons decides which value a colour that stands
    // twice in the palette comes back as.
    const int bits = bitsPerPixel(codec);
    switch (bits) {
    case 0:
        return {0, false};
    case 1:
        if (colour == palettes.fourEntry(1))
            return {0, true};
        return {1, colour == palettes.fourEntry(2)};
    case 2:
        if (colour == palettes.fourEntry(1))
            return {0, true};
        if (colour == palettes.fourEntry(2))
            return {1, true};
        if (colour == palettes.fourEntry(4))
            return {3, true};
        return {2, colour == palettes.fourEntry(3)};
    case 3:
    case 4:
        return firstEqual(palettes.sixteen, 1 << bits, colour);
    default:
        return firstEqual(palettes.full, 1 << bits, colour);
    }
}

int nearestColourValue(Codec codec, const Palettes& palettes, Colour colour)
{
    if (!isValidCodec(codec))
        return 0;
    const ValuePixels shown = valuePixels(codec, palettes);
    const int values = 1 << bitsPerPixel(codec);
    const auto squared = [](int d) { return d * d; };
    int best = 0;
    int bestDistance = -1;
    for (int v = 0; v < values; ++v) {
        const Colour c = pixelToColour(shown[static_cast<std::size_t>(v)]);
        const int distance = squared(redOf(c) - redOf(colour)) + squared(greenOf(c) - greenOf(colour)) +
                             squared(blueOf(c) - blueOf(colour));
        if (bestDistance < 0 || distance < bestDistance) {
            best = v;
            bestDistance = distance;
        }
    }
    return best;
}

bool writeTilePixel(std::span<std::uint8_t> rom, std::int64_t position, Codec codec,
                    const TileGeometry& geometry, std::int64_t tile, int x, int y, int value)
{
    const int tw = geometry.tileWidth;
    const int th = geometry.tileHeight;
    if (!isValidCodec(codec) || x < 0 || y < 0 || x >= tw || y >= th || tile < 0)
        return false;
    const Wide n = (static_cast<Wide>(tile) * th + y) * tw + x;
    if (!pixelInside(rom, position, codec, n))
        return false;
    const auto start = static_cast<std::size_t>(*unitStartOf(position, codec, n));
    writeValue(streamPixelBits(codec, n), value, [&](int offset) -> std::uint8_t& {
        return rom[start + static_cast<std::size_t>(offset)];
    });
    return true;
}

bool tileWhollyInside(std::span<const std::uint8_t> rom, std::int64_t position, Codec codec,
                      const TileGeometry& geometry, std::int64_t tile)
{
    if (!isValidCodec(codec) || tile < 0 || geometry.tileWidth <= 0 || geometry.tileHeight <= 0)
        return false;
    const Wide pixels = static_cast<Wide>(geometry.tileWidth) * geometry.tileHeight;
    const Wide first = tile * pixels;
    const Wide last = first + pixels - 1;
    const Wide unit = unitPixels(codec);
    // Only the tile's first and last units can reach past either end of the
    // image: a pixel of the first unit inside means every later unit starts
    // inside, one of the last unit inside means every earlier unit ends inside.
    const Wide firstUnitEnd = std::min(last, (first / unit + 1) * unit - 1);
    const Wide lastUnitStart = std::max(first, last / unit * unit);
    for (Wide n = first; n <= firstUnitEnd; ++n)
        if (!pixelInside(rom, position, codec, n))
            return false;
    for (Wide n = lastUnitStart; n <= last; ++n)
        if (!pixelInside(rom, position, codec, n))
            return false;
    return true;
}
