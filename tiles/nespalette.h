#pragma once
// NES palettes as games store them: a run of colour indices into the NES
// master palette, typed as hex bytes ("0F 00 10 30").
#include "tiles/palette.h"

#include <optional>
#include <string_view>
#include <vector>

// The indices of `text`: 1 to `most` fields separated by spaces, each one or
// two hex digits after an optional '$', from 00 to 3F. Nothing when the text
// holds no field, more than `most`, or a field that is no index.
[[nodiscard]] std::optional<std::vector<int>> parseNesColourIndices(std::string_view text, int most);

// The colours of the indices, from the NES master palette.
[[nodiscard]] std::vector<Colour> nesColours(const std::vector<int>& indices);

// What the NES Master Palette command offers for a palette mode: the grey
// ramp $0F $00 $10 $30 for four entries, followed for sixteen by the twelve
// hues $11 to $1C.
[[nodiscard]] std::string_view defaultNesColourIndices(PaletteMode mode);
