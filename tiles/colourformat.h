#pragma once
// The colour formats consoles keep their palettes in, read from and written
// to the bytes of an image.
#include "tiles/palette.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class ColourFormat {
    Bgr555,       // 2 bytes little-endian: 0BBBBBGG GGGRRRRR (SNES, GBA, DS)
    Genesis,      // 2 bytes big-endian: 0000BBB0 GGG0RRR0
    MasterSystem, // 1 byte: 00BBGGRR
    GameGear,     // 2 bytes little-endian: 0000BBBB GGGGRRRR
    Nes,          // 1 byte: an index (low 6 bits) into the NES master palette
};

// "bgr555", "genesis", "sms", "gg", "nes".
[[nodiscard]] std::string_view colourFormatName(ColourFormat format);
[[nodiscard]] std::optional<ColourFormat> parseColourFormat(std::string_view name);
// The names as a list for messages and help: "bgr555|genesis|sms|gg|nes".
[[nodiscard]] std::string colourFormatNames();

[[nodiscard]] int bytesPerColour(ColourFormat format);

// The 64 colours an NES palette index stands for.
[[nodiscard]] const std::array<Colour, 64>& nesMasterPalette();

// The colour as the format holds it: each channel the nearest value the
// format can hold (for NES the nearest master palette entry by squared RGB
// distance, the lowest index on a tie), widened back to 8 bits.
[[nodiscard]] Colour nearestHeldColour(ColourFormat format, Colour colour);

struct ColourReadResult {
    std::vector<Colour> colours;
    std::string error; // empty on success
    [[nodiscard]] bool ok() const { return error.empty(); }
};

// `count` colours from `offset` on. Colours that would run past the end of
// the image are refused as a whole, with a message.
[[nodiscard]] ColourReadResult readColours(std::span<const std::uint8_t> image, std::int64_t offset, int count,
                                           ColourFormat format);

// Writes the colours from `offset` on, each as the nearest one the format
// can hold; bits the format does not use keep their values. Colours that
// would run past the end are refused as a whole: nothing is written and the
// message is returned. An empty string means done.
[[nodiscard]] std::string writeColours(std::span<std::uint8_t> image, std::int64_t offset,
                                       std::span<const Colour> colours, ColourFormat format);
