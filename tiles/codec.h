#pragma once
// Which console tile format the image is read in.
#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The built-in formats in the order of the tile map window's codec box. A
// codec's index there is also its number on the command line and the order
// of the names below, so the order never changes; new formats go at the end.
// Codecs described in .codec files take the values after the built-ins.
enum class Codec : std::uint8_t {
    OneBpp,       // "1BPP"
    Nes,          // "2BPP NES"
    GameBoy,      // "2BPP GB"
    Linear,       // "2BPP LINEAR"
    Ngp,          // "2BPP NGP"
    Snes,         // "4BPP SNES"
    SnesMirrored, // "4BPP SNES (mirrored)"
    Gba,          // "4BPP GBA"
    Genesis,      // "4BPP MSX (Genesis)"
    Sms,          // "4BPP SMS"
    Snes3,        // "3BPP SNES"
    Snes8,        // "8BPP SNES"
    Gba8,         // "8BPP GBA"
    Mode7,        // "8BPP MODE 7"
    VirtualBoy,   // "2BPP VIRTUAL BOY"
    PceSprite,    // "4BPP PCE SPRITE"
};

// The built-in codecs.
constexpr int kCodecCount = 16;
// The highest value a described codec may take.
constexpr int kMaxCodecValue = 255;

constexpr std::array<Codec, kCodecCount> kAllCodecs = {
    Codec::OneBpp, Codec::Nes,          Codec::GameBoy, Codec::Linear,  Codec::Ngp,   Codec::Snes,
    Codec::SnesMirrored, Codec::Gba,    Codec::Genesis, Codec::Sms,     Codec::Snes3, Codec::Snes8,
    Codec::Gba8,   Codec::Mode7,        Codec::VirtualBoy, Codec::PceSprite,
};

struct CodecDescription;

// Described codecs, in the order they were added (value kCodecCount + i).
// They are added once, as the program starts, before anything decodes.
int describedCodecCount();
// The description behind a described codec; null for a built-in or no codec.
const CodecDescription* describedCodec(Codec codec);
// Adds a checked description under the next free value; nothing, with the
// reason in `error`, when it is unusable or its name is taken.
[[nodiscard]] std::optional<Codec> addDescribedCodec(CodecDescription description, std::string& error);
// The built-ins, then the described codecs: the codec box's order.
std::vector<Codec> allCodecs();

int describedBitsPerPixel(Codec codec);
int describedUnitWidth(Codec codec);
int describedUnitHeight(Codec codec);
int describedUnitBytes(Codec codec);

// The codec box index and back; an index past the last codec names none.
constexpr int codecIndex(Codec codec) { return static_cast<int>(codec); }
constexpr bool isBuiltInCodec(Codec codec) { return codecIndex(codec) < kCodecCount; }
inline bool isValidCodec(Codec codec)
{
    return isBuiltInCodec(codec) || codecIndex(codec) < kCodecCount + describedCodecCount();
}
inline std::optional<Codec> codecFromIndex(int index)
{
    if (index < 0 || index > kMaxCodecValue || !isValidCodec(static_cast<Codec>(index)))
        return std::nullopt;
    return static_cast<Codec>(index);
}

// 1, 2, 2, 2, 2, 4, 4, 4, 4, 4, 3, 8, 8, 8, 2, 4 for the built-ins; 0 for a
// value that is no codec.
constexpr int bitsPerPixel(Codec codec)
{
    constexpr std::array<int, kCodecCount> bits = {1, 2, 2, 2, 2, 4, 4, 4, 4, 4, 3, 8, 8, 8, 2, 4};
    return isBuiltInCodec(codec) ? bits[static_cast<std::size_t>(codecIndex(codec))] : describedBitsPerPixel(codec);
}
// A codec stores its pixels in units: whole tiles of unitWidth x unitHeight
// pixels in unitBytes bytes. Every built-in unit is 8 x 8 except the 16 x 16
// PC Engine sprite; a Mode 7 unit also holds the map bytes between its pixels.
constexpr int unitWidth(Codec codec)
{
    if (isBuiltInCodec(codec))
        return codec == Codec::PceSprite ? 16 : 8;
    return describedUnitWidth(codec);
}
constexpr int unitHeight(Codec codec)
{
    if (isBuiltInCodec(codec))
        return codec == Codec::PceSprite ? 16 : 8;
    return describedUnitHeight(codec);
}
constexpr int unitPixels(Codec codec) { return unitWidth(codec) * unitHeight(codec); }
constexpr int unitBytes(Codec codec)
{
    if (!isBuiltInCodec(codec))
        return describedUnitBytes(codec);
    if (codec == Codec::Mode7)
        return 128;
    return unitPixels(codec) * bitsPerPixel(codec) / 8;
}
// The name the codec box and the command line show, "1BPP" to "4BPP PCE SPRITE",
// or the described codec's own name.
std::string_view codecName(Codec codec);
std::optional<Codec> codecByName(std::string_view name); // exact, as in the codec box
// Writes the name, so messages and test failures read "2BPP NES".
std::ostream& operator<<(std::ostream& out, Codec codec);
