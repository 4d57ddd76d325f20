#include "tiles/picturerows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

enum CodecIndex { kOneBpp, kNes, kGameBoy, kLinear, kNgp, kSnes, kSnesMirrored, kGba, kGenesis, kSms };

// Finished pixels for every byte combination a codec reads together, built
// from unitPixelValue so they cannot disagree with the other decoders.
// A unit row then costs a few table loads and wide stores, with the palette
// looked up once per map rather than once per pixel.
template <int Pixels>
using PixelTable = std::array<std::array<std::uint32_t, Pixels>, 256>;

// Byte offset of plane i of row r in a planar unit.
int planeOffset(int codec, int r, int i)
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
std::array<std::uint32_t, Pixels> rowStart(int codec, const std::uint8_t* unit,
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
PixelTable<Pixels> makeTable(int codec, const std::uint32_t* colours)
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

template <int Pixels>
void store(std::uint32_t* dst, const std::array<std::uint32_t, Pixels>& pixels)
{
    std::memcpy(dst, pixels.data(), sizeof pixels);
}

// Paints row r of a unit lying wholly inside the image as 8 pixels.
template <int Codec>
struct RowPainter;

template <>
struct RowPainter<kOneBpp> {
    PixelTable<8> table;
    explicit RowPainter(const std::uint32_t* colours) : table(makeTable<8>(kOneBpp, colours)) {}
    void paint(const std::uint8_t* unit, int r, std::uint32_t* dst) const
    {
        store<8>(dst, table[unit[r]]);
    }
};

template <int Codec>
struct TwoPlanePainter {
    PixelTable<4> table;
    explicit TwoPlanePainter(const std::uint32_t* colours) : table(makeTable<4>(Codec, colours)) {}
    void paint(const std::uint8_t* unit, int r, std::uint32_t* dst) const
    {
        const unsigned a = unit[planeOffset(Codec, r, 0)];
        const unsigned b = unit[planeOffset(Codec, r, 1)];
        store<4>(dst, table[(a >> 4) | (b & 0xF0)]);
        store<4>(dst + 4, table[(a & 0xF) | ((b & 0xF) << 4)]);
    }
};
template <>
struct RowPainter<kNes> : TwoPlanePainter<kNes> { using TwoPlanePainter::TwoPlanePainter; };
template <>
struct RowPainter<kGameBoy> : TwoPlanePainter<kGameBoy> { using TwoPlanePainter::TwoPlanePainter; };

template <int Codec>
struct PackedPairPainter {
    PixelTable<4> table;
    explicit PackedPairPainter(const std::uint32_t* colours) : table(makeTable<4>(Codec, colours)) {}
    void paint(const std::uint8_t* unit, int r, std::uint32_t* dst) const
    {
        const int left = Codec == kNgp ? 1 : 0;
        store<4>(dst, table[unit[2 * r + left]]);
        store<4>(dst + 4, table[unit[2 * r + 1 - left]]);
    }
};
template <>
struct RowPainter<kLinear> : PackedPairPainter<kLinear> { using PackedPairPainter::PackedPairPainter; };
template <>
struct RowPainter<kNgp> : PackedPairPainter<kNgp> { using PackedPairPainter::PackedPairPainter; };

template <int Codec>
struct NibblePainter {
    PixelTable<2> table;
    explicit NibblePainter(const std::uint32_t* colours) : table(makeTable<2>(Codec, colours)) {}
    void paint(const std::uint8_t* unit, int r, std::uint32_t* dst) const
    {
        for (int k = 0; k < 4; ++k)
            store<2>(dst + 2 * k, table[unit[4 * r + k]]);
    }
};
template <>
struct RowPainter<kGba> : NibblePainter<kGba> { using NibblePainter::NibblePainter; };
template <>
struct RowPainter<kGenesis> : NibblePainter<kGenesis> { using NibblePainter::NibblePainter; };

template <int Codec>
struct FourPlanePainter {
    PixelTable<2> table;
    std::array<std::uint32_t, 256> spread;
    explicit FourPlanePainter(const std::uint32_t* colours)
        : table(makeTable<2>(Codec, colours)), spread(makeSpread(Codec == kSnesMirrored))
    {
    }
    void paint(const std::uint8_t* unit, int r, std::uint32_t* dst) const
    {
        // Every byte lane holds at most 2 bits, so shifting by up to 6 never carries.
        std::uint32_t lanes = 0;
        for (int i = 0; i < 4; ++i)
            lanes |= spread[unit[planeOffset(Codec, r, i)]] << (2 * i);
        std::array<std::uint8_t, 4> indices;
        std::memcpy(indices.data(), &lanes, 4);
        for (int k = 0; k < 4; ++k)
            store<2>(dst + 2 * k, table[indices[static_cast<std::size_t>(k)]]);
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

// Paints every tile row of a band whose bytes all lie inside the image.
// Tiles of a multiple of 64 pixels start on a unit, so where a tile row's
// bytes lie within its tile depends only on the row: one offset per row.
template <int Codec, int UnitRowsPerTileRow>
void paintWholeBand(const RowPainter<Codec>& painter, const std::vector<const std::uint8_t*>& tiles,
                    int tileHeight, std::uint32_t*& dst)
{
    constexpr int tileWidth = 8 * UnitRowsPerTileRow;
    const int bytesPerUnit = unitBytes(Codec);
    for (int y = 0; y < tileHeight; ++y) {
        const int n = y * tileWidth;
        const int offset = n / 64 * bytesPerUnit;
        const int r = n % 64 / 8;
        for (const std::uint8_t* tile : tiles) {
            for (int j = 0; j < UnitRowsPerTileRow; ++j)
                painter.paint(tile + offset, r + j, dst + 8 * j);
            dst += tileWidth;
        }
    }
}

// Any band: units at either end of the image are decoded pixel by pixel.
template <int Codec>
void paintBand(std::span<const std::uint8_t> rom, std::int64_t position, const TileGeometry& g,
               const RowPainter<Codec>& painter, const std::uint32_t* colours,
               const std::vector<std::int64_t>& starts, std::uint32_t*& dst)
{
    const std::int64_t bytesPerUnit = unitBytes(Codec);
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
                    painter.paint(rom.data() + unitStart, r + j, dst + 8 * j);
            } else {
                for (int c = 0; c < g.tileWidth; ++c) {
                    const auto v = streamPixelValue(rom, position, Codec, n + c);
                    dst[c] = v ? colours[*v] : colours[16];
                }
            }
            dst += g.tileWidth;
        }
}

template <int Codec>
void decodeRows(std::span<const std::uint8_t> rom, std::int64_t position, const TileGeometry& g,
                const std::uint32_t* colours, Bitmap& out)
{
    const RowPainter<Codec> painter(colours);
    const std::int64_t bytesPerUnit = unitBytes(Codec);
    const auto romSize = static_cast<std::int64_t>(rom.size());
    const std::int64_t tilePixels = static_cast<std::int64_t>(g.tileWidth) * g.tileHeight;
    const bool tilesStartOnUnits = tilePixels % 64 == 0;
    std::vector<const std::uint8_t*> tiles;
    std::uint32_t* dst = out.pixels.data();
    for (int band = 0; band < 16 * g.blockHeight; ++band) {
        const auto starts = bandTileStarts(g, band);
        const auto [first, last] = std::minmax_element(starts.begin(), starts.end());
        const std::int64_t lowest = position + *first / 64 * bytesPerUnit;
        const std::int64_t highest = position + (*last + tilePixels) / 64 * bytesPerUnit;
        if (!tilesStartOnUnits || lowest < 0 || highest > romSize) {
            paintBand<Codec>(rom, position, g, painter, colours, starts, dst);
            continue;
        }
        tiles.clear();
        for (const std::int64_t start : starts)
            tiles.push_back(rom.data() + position + start / 64 * bytesPerUnit);
        if (g.tileWidth == 8)
            paintWholeBand<Codec, 1>(painter, tiles, g.tileHeight, dst);
        else
            paintWholeBand<Codec, 2>(painter, tiles, g.tileHeight, dst);
    }
}

} // namespace

void decodeMapByPictureRows(std::span<const std::uint8_t> rom, std::int64_t position,
                            int codec, const TileGeometry& g, const std::uint32_t* colours,
                            Bitmap& out)
{
    switch (codec) {
    case kOneBpp: return decodeRows<kOneBpp>(rom, position, g, colours, out);
    case kNes: return decodeRows<kNes>(rom, position, g, colours, out);
    case kGameBoy: return decodeRows<kGameBoy>(rom, position, g, colours, out);
    case kLinear: return decodeRows<kLinear>(rom, position, g, colours, out);
    case kNgp: return decodeRows<kNgp>(rom, position, g, colours, out);
    case kSnes: return decodeRows<kSnes>(rom, position, g, colours, out);
    case kSnesMirrored: return decodeRows<kSnesMirrored>(rom, position, g, colours, out);
    case kGba: return decodeRows<kGba>(rom, position, g, colours, out);
    case kGenesis: return decodeRows<kGenesis>(rom, position, g, colours, out);
    case kSms: return decodeRows<kSms>(rom, position, g, colours, out);
    default: break;
    }
}
