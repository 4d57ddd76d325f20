#include "tiles/codeclayout.h"

#include "tiles/codecdescription.h"

namespace {

#include "tiles/codecaliases.h"

// Bit k of the little-endian 16-bit word at byte `word`.
BitRef wordBit(int word, int k) { return {word + k / 8, k % 8}; }

PixelBits builtInBits(Codec codec, int r, int c)
{
    PixelBits p;
    p.count = bitsPerPixel(codec);
    const int msbFirst = 7 - c;
    switch (codec) {
    case kOneBpp:
        p.refs[0] = {r, msbFirst};
        break;
    case kNes:
        p.refs[0] = {r, msbFirst};
        p.refs[1] = {8 + r, msbFirst};
        break;
    case kGameBoy:
        p.refs[0] = {2 * r, msbFirst};
        p.refs[1] = {2 * r + 1, msbFirst};
        break;
    case kLinear:
    case kNgp: {
        const int s = 2 * (c % 4);
        const bool leftHalf = c < 4;
        // NGP rows are little-endian words, so the left pixels are in the second byte.
        const int offset = 2 * r + (codec == kNgp ? (leftHalf ? 1 : 0) : (leftHalf ? 0 : 1));
        p.refs[0] = {offset, 7 - s};
        p.refs[1] = {offset, 6 - s};
        break;
    }
    case kSnes:
    case kSnesMirrored: {
        const int bit = codec == kSnes ? msbFirst : c;
        p.refs[0] = {2 * r, bit};
        p.refs[1] = {2 * r + 1, bit};
        p.refs[2] = {16 + 2 * r, bit};
        p.refs[3] = {17 + 2 * r, bit};
        break;
    }
    case kGba:
    case kGenesis: {
        const bool lowNibble = (c % 2 == 0) == (codec == kGba);
        const int base = lowNibble ? 0 : 4;
        for (int i = 0; i < 4; ++i)
            p.refs[static_cast<std::size_t>(i)] = {4 * r + c / 2, base + i};
        break;
    }
    case kSms:
        for (int i = 0; i < 4; ++i)
            p.refs[static_cast<std::size_t>(i)] = {4 * r + i, msbFirst};
        break;
    case kSnes3:
        // Planes 0 and 1 as the 2-bit SNES format, plane 2 one byte a row after them.
        p.refs[0] = {2 * r, msbFirst};
        p.refs[1] = {2 * r + 1, msbFirst};
        p.refs[2] = {16 + r, msbFirst};
        break;
    case kSnes8:
        // Four 2-bit SNES tiles in a row, planes 2i and 2i + 1 in the i-th.
        for (int i = 0; i < 8; ++i)
            p.refs[static_cast<std::size_t>(i)] = {16 * (i / 2) + 2 * r + i % 2, msbFirst};
        break;
    case kGba8:
        for (int i = 0; i < 8; ++i)
            p.refs[static_cast<std::size_t>(i)] = {8 * r + c, i};
        break;
    case kMode7:
        // Pixel bytes are the odd bytes; the even ones hold the map.
        for (int i = 0; i < 8; ++i)
            p.refs[static_cast<std::size_t>(i)] = {2 * (8 * r + c) + 1, i};
        break;
    case kVirtualBoy:
        // Each row a little-endian word, the leftmost pixel in its lowest two bits.
        p.refs[0] = wordBit(2 * r, 2 * c);
        p.refs[1] = wordBit(2 * r, 2 * c + 1);
        break;
    case kPceSprite:
        // 16 x 16 pixels, plane i a run of 16 little-endian words, one a row,
        // the leftmost pixel in bit 15.
        for (int i = 0; i < 4; ++i)
            p.refs[static_cast<std::size_t>(i)] = wordBit(32 * i + 2 * r, 15 - c);
        break;
    default:
        p.count = 0;
        break;
    }
    return p;
}

} // namespace

bool insideUnit(Codec codec, int r, int c)
{
    return r >= 0 && c >= 0 && r < unitHeight(codec) && c < unitWidth(codec);
}

PixelBits pixelBits(Codec codec, int r, int c)
{
    if (isBuiltInCodec(codec))
        return builtInBits(codec, r, c);
    PixelBits p;
    const CodecDescription* d = describedCodec(codec);
    if (!d)
        return p;
    p.count = d->bitsPerPixel;
    const auto first = static_cast<std::size_t>((r * d->width + c) * d->bitsPerPixel);
    for (std::size_t i = 0; i < static_cast<std::size_t>(p.count); ++i)
        p.refs[i] = {d->bits[first + i].byte, d->bits[first + i].bit};
    return p;
}

CodecDescription describeBuiltIn(Codec codec)
{
    if (!isBuiltInCodec(codec)) {
        const CodecDescription* d = describedCodec(codec);
        return d ? *d : CodecDescription{};
    }
    CodecDescription d;
    d.name = std::string(codecName(codec));
    d.bitsPerPixel = bitsPerPixel(codec);
    d.width = unitWidth(codec);
    d.height = unitHeight(codec);
    d.bytes = unitBytes(codec);
    for (int r = 0; r < d.height; ++r)
        for (int c = 0; c < d.width; ++c) {
            const PixelBits p = builtInBits(codec, r, c);
            for (int i = 0; i < p.count; ++i)
                d.bits.push_back({p.refs[static_cast<std::size_t>(i)].offset, p.refs[static_cast<std::size_t>(i)].bit});
        }
    return d;
}
