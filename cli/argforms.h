#pragma once
// The forms of the values users type on quarn-tool's command line. Pure:
// text in, a value or nothing out, so each rule is tested on its own and
// the command line only has to call it.
#include "tiles/codec.h"

#include <cstdint>
#include <optional>
#include <string_view>

// A built-in codec by index "0".."15", or any codec (a described one too)
// by name, letter case ignored.
[[nodiscard]] std::optional<Codec> parseCodecArgument(std::string_view text);

// "WxH" (or "WXH"), each 1..16.
struct TileSize {
    int width = 0;
    int height = 0;
    bool operator==(const TileSize&) const = default;
};
[[nodiscard]] std::optional<TileSize> parseSizeArgument(std::string_view text);

// A position or count: "H" or "h" and hexadecimal digits (H1F00), or decimal,
// no less than `least`.
[[nodiscard]] std::optional<std::int32_t> parseNumberArgument(std::string_view text, std::int32_t least);
