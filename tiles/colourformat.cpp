#include "tiles/colourformat.h"

#include <cstdlib>
#include <limits>

namespace {
struct FormatInfo {
    ColourFormat format;
    std::string_view name;
    int bytes;
    bool bigEndian;
    int bits;                           // per channel; 0 for NES
    int redShift, greenShift, blueShift; // of the channel's lowest bit in the word
};

constexpr std::array<FormatInfo, 5> kFormats{{
    {ColourFormat::Bgr555, "bgr555", 2, false, 5, 0, 5, 10},
    {ColourFormat::Genesis, "genesis", 2, true, 3, 1, 5, 9},
    {ColourFormat::MasterSystem, "sms", 1, false, 2, 0, 2, 4},
    {ColourFormat::GameGear, "gg", 2, false, 4, 0, 4, 8},
    {ColourFormat::Nes, "nes", 1, false, 0, 0, 0, 0},
}};

const FormatInfo& infoOf(ColourFormat format) { return kFormats[static_cast<std::size_t>(format)]; }

// The bits of the word the format uses; the rest are kept on writing.
unsigned usedBits(const FormatInfo& info)
{
    if (info.format == ColourFormat::Nes)
        return 0x3Fu;
    const unsigned channel = (1u << info.bits) - 1u;
    return (channel << info.redShift) | (channel << info.greenShift) | (channel << info.blueShift);
}

// An n-bit channel widened to 8 bits by repeating its bits from the top, so
// the largest value becomes 255: 5-bit 31 -> 255, 3-bit 5 -> 101 101 10.
int widen(unsigned value, int bits)
{
    int result = 0;
    int filled = 0;
    while (filled < 8) {
        result = (result << bits) | static_cast<int>(value);
        filled += bits;
    }
    return result >> (filled - 8);
}

// The n-bit value whose widened form is nearest to `channel`, the lower on a tie.
unsigned narrow(int channel, int bits)
{
    unsigned best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (unsigned v = 0; v < (1u << bits); ++v) {
        const int distance = std::abs(widen(v, bits) - channel);
        if (distance < bestDistance) {
            best = v;
            bestDistance = distance;
        }
    }
    return best;
}

int nearestNesIndex(Colour colour)
{
    const auto& master = nesMasterPalette();
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < 64; ++i) {
        const Colour c = master[static_cast<std::size_t>(i)];
        const int dr = redOf(c) - redOf(colour);
        const int dg = greenOf(c) - greenOf(colour);
        const int db = blueOf(c) - blueOf(colour);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

Colour decode(const FormatInfo& info, unsigned word)
{
    if (info.format == ColourFormat::Nes)
        return nesMasterPalette()[word & 0x3Fu];
    const unsigned mask = (1u << info.bits) - 1u;
    return rgbColour(widen((word >> info.redShift) & mask, info.bits),
                     widen((word >> info.greenShift) & mask, info.bits),
                     widen((word >> info.blueShift) & mask, info.bits));
}

unsigned encode(const FormatInfo& info, Colour colour)
{
    if (info.format == ColourFormat::Nes)
        return static_cast<unsigned>(nearestNesIndex(colour));
    return (narrow(redOf(colour), info.bits) << info.redShift) |
           (narrow(greenOf(colour), info.bits) << info.greenShift) |
           (narrow(blueOf(colour), info.bits) << info.blueShift);
}

unsigned loadWord(const FormatInfo& info, const std::uint8_t* p)
{
    if (info.bytes == 1)
        return p[0];
    return info.bigEndian ? (unsigned{p[0]} << 8) | p[1] : (unsigned{p[1]} << 8) | p[0];
}

void storeWord(const FormatInfo& info, std::uint8_t* p, unsigned word)
{
    if (info.bytes == 1) {
        p[0] = static_cast<std::uint8_t>(word);
    } else if (info.bigEndian) {
        p[0] = static_cast<std::uint8_t>(word >> 8);
        p[1] = static_cast<std::uint8_t>(word);
    } else {
        p[0] = static_cast<std::uint8_t>(word);
        p[1] = static_cast<std::uint8_t>(word >> 8);
    }
}

// Empty when `count` colours from `offset` lie within `size` bytes.
std::string rangeError(std::size_t size, std::int64_t offset, std::size_t count, const FormatInfo& info)
{
    const std::int64_t length = static_cast<std::int64_t>(count) * info.bytes;
    const auto imageSize = static_cast<std::int64_t>(size);
    if (offset >= 0 && offset <= imageSize && length <= imageSize - offset)
        return {};
    return std::to_string(count) + " " + std::string(info.name) + " colours at " + std::to_string(offset) +
           " take " + std::to_string(length) + " bytes, past the end of the " + std::to_string(size) +
           "-byte image";
}
} // namespace

std::string_view colourFormatName(ColourFormat format) { return infoOf(format).name; }

std::optional<ColourFormat> parseColourFormat(std::string_view name)
{
    for (const FormatInfo& info : kFormats)
        if (info.name == name)
            return info.format;
    return std::nullopt;
}

std::string colourFormatNames()
{
    std::string names;
    for (const FormatInfo& info : kFormats)
        names += (names.empty() ? "" : "|") + std::string(info.name);
    return names;
}

int bytesPerColour(ColourFormat format) { return infoOf(format).bytes; }

const std::array<Colour, 64>& nesMasterPalette()
{
    // The NES (2C02) palette as it is most often published for tile and
    // pixel-art tools: $00 is 7C7C7C, $01 0000FC, $30 FCFCFC. Entries that
    // are black on the console ($0D-$0F, $1D-$1F, $2E-$2F, $3E-$3F) are 000000.
    static constexpr std::array<std::uint32_t, 64> kRgb{
        0x7C7C7C, 0x0000FC, 0x0000BC, 0x4428BC, 0x940084, 0xA80020, 0xA81000, 0x881400,
        0x503000, 0x007800, 0x006800, 0x005800, 0x004058, 0x000000, 0x000000, 0x000000,
        0xBCBCBC, 0x0078F8, 0x0058F8, 0x6844FC, 0xD800CC, 0xE40058, 0xF83800, 0xE45C10,
        0xAC7C00, 0x00B800, 0x00A800, 0x00A844, 0x008888, 0x000000, 0x000000, 0x000000,
        0xF8F8F8, 0x3CBCFC, 0x6888FC, 0x9878F8, 0xF878F8, 0xF85898, 0xF87858, 0xFCA044,
        0xF8B800, 0xB8F818, 0x58D854, 0x58F898, 0x00E8D8, 0x787878, 0x000000, 0x000000,
        0xFCFCFC, 0xA4E4FC, 0xB8B8F8, 0xD8B8F8, 0xF8B8F8, 0xF8A4C0, 0xF0D0B0, 0xFCE0A8,
        0xF8D878, 0xD8F878, 0xB8F8B8, 0xB8F8D8, 0x00FCFC, 0xF8D8F8, 0x000000, 0x000000,
    };
    static const std::array<Colour, 64> palette = [] {
        std::array<Colour, 64> colours{};
        for (std::size_t i = 0; i < colours.size(); ++i)
            colours[i] = rgbColour((kRgb[i] >> 16) & 0xFF, (kRgb[i] >> 8) & 0xFF, kRgb[i] & 0xFF);
        return colours;
    }();
    return palette;
}

Colour nearestHeldColour(ColourFormat format, Colour colour)
{
    const FormatInfo& info = infoOf(format);
    return decode(info, encode(info, colour));
}

ColourReadResult readColours(std::span<const std::uint8_t> image, std::int64_t offset, int count,
                             ColourFormat format)
{
    const FormatInfo& info = infoOf(format);
    ColourReadResult result;
    if (count < 0) {
        result.error = "a negative number of colours";
        return result;
    }
    result.error = rangeError(image.size(), offset, static_cast<std::size_t>(count), info);
    if (!result.ok())
        return result;
    result.colours.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        result.colours.push_back(
            decode(info, loadWord(info, image.data() + offset + static_cast<std::int64_t>(i) * info.bytes)));
    return result;
}

std::string writeColours(std::span<std::uint8_t> image, std::int64_t offset, std::span<const Colour> colours,
                         ColourFormat format)
{
    const FormatInfo& info = infoOf(format);
    std::string error = rangeError(image.size(), offset, colours.size(), info);
    if (!error.empty())
        return error;
    const unsigned used = usedBits(info);
    std::uint8_t* p = image.data() + offset;
    for (const Colour colour : colours) {
        storeWord(info, p, (loadWord(info, p) & ~used) | encode(info, colour));
        p += info.bytes;
    }
    return {};
}
