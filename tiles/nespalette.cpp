#include "tiles/nespalette.h"

#include "tiles/colourformat.h"

#include <algorithm>

namespace {
constexpr int kNesColourCount = 64;

std::optional<int> hexDigit(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return std::nullopt;
}

std::optional<int> nesIndex(std::string_view field)
{
    if (!field.empty() && field.front() == '$')
        field.remove_prefix(1);
    if (field.empty() || field.size() > 2)
        return std::nullopt;
    int value = 0;
    for (const char ch : field) {
        const std::optional<int> digit = hexDigit(ch);
        if (!digit)
            return std::nullopt;
        value = value * 16 + *digit;
    }
    return value < kNesColourCount ? std::optional<int>(value) : std::nullopt;
}
} // namespace

std::optional<std::vector<int>> parseNesColourIndices(std::string_view text, int most)
{
    std::vector<int> indices;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::optional<int> index = nesIndex(text.substr(at, end - at));
        if (!index || static_cast<int>(indices.size()) >= most)
            return std::nullopt;
        indices.push_back(*index);
        at = end;
    }
    if (indices.empty())
        return std::nullopt;
    return indices;
}

std::vector<Colour> nesColours(const std::vector<int>& indices)
{
    const std::array<Colour, 64>& master = nesMasterPalette();
    std::vector<Colour> colours;
    colours.reserve(indices.size());
    for (const int index : indices)
        colours.push_back(master[static_cast<std::size_t>(index & (kNesColourCount - 1))]);
    return colours;
}

std::string_view defaultNesColourIndices(PaletteMode mode)
{
    if (mode == PaletteMode::SixteenColour)
        return "0F 00 10 30 11 12 13 14 15 16 17 18 19 1A 1B 1C";
    return "0F 00 10 30";
}
