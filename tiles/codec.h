#pragma once
// Which console tile format the image is read in.
#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string_view>

// The ten formats in the order of the tile map window's codec box. A
// codec's index there (0..9) is also its number on the command line and the
// order of the names below, so the order never changes.
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
};

constexpr int kCodecCount = 10;

constexpr std::array<Codec, kCodecCount> kAllCodecs = {
    Codec::OneBpp, Codec::Nes,          Codec::GameBoy, Codec::Linear,  Codec::Ngp,
    Codec::Snes,   Codec::SnesMirrored, Codec::Gba,     Codec::Genesis, Codec::Sms,
};

// The codec box index and back; an index outside 0..9 names no codec.
constexpr int codecIndex(Codec codec) { return static_cast<int>(codec); }
constexpr std::optional<Codec> codecFromIndex(int index)
{
    if (index < 0 || index >= kCodecCount)
        return std::nullopt;
    return kAllCodecs[static_cast<std::size_t>(index)];
}
// Only a value cast from a bad number fails this.
constexpr bool isValidCodec(Codec codec) { return codecIndex(codec) < kCodecCount; }

// 1, 2, 2, 2, 2, 4, 4, 4, 4, 4; 0 for a value that is no codec.
constexpr int bitsPerPixel(Codec codec)
{
    constexpr std::array<int, kCodecCount> bits = {1, 2, 2, 2, 2, 4, 4, 4, 4, 4};
    return isValidCodec(codec) ? bits[static_cast<std::size_t>(codecIndex(codec))] : 0;
}
constexpr int unitBytes(Codec codec) { return 8 * bitsPerPixel(codec); }
// The name the codec box and the command line show, "1BPP" to "4BPP SMS".
std::string_view codecName(Codec codec);
std::optional<Codec> codecByName(std::string_view name); // exact, as in the codec box
// Writes the name, so messages and test failures read "2BPP NES".
std::ostream& operator<<(std::ostream& out, Codec codec);
