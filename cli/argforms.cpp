#include "cli/argforms.h"

#include "app/numbers.h"
#include "tiles/codecs.h"

#include <algorithm>
#include <cctype>

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::toupper(x) == std::toupper(y);
           });
}

} // namespace

std::optional<Codec> parseCodecArgument(std::string_view text)
{
    if (const std::optional<int> index = parseSmallDecimal(text, kCodecCount - 1))
        return codecFromIndex(*index);
    for (const Codec codec : allCodecs())
        if (equalsIgnoringCase(text, codecName(codec)))
            return codec;
    return std::nullopt;
}

std::optional<TileSize> parseSizeArgument(std::string_view text)
{
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos)
        return std::nullopt;
    const std::optional<int> width = parseSmallDecimal(text.substr(0, x), 16);
    const std::optional<int> height = parseSmallDecimal(text.substr(x + 1), 16);
    if (!width || !height || *width < 1 || *height < 1)
        return std::nullopt;
    return TileSize{*width, *height};
}

std::optional<std::int32_t> parseNumberArgument(std::string_view text, std::int32_t least)
{
    const std::optional<std::int32_t> number = parsePositionNumber(text);
    if (!number || *number < least)
        return std::nullopt;
    return number;
}
