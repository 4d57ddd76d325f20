#include "pointers/pointeroptions.h"

#include "app/numbers.h"
#include "app/textlines.h"

std::optional<std::int64_t> parseSignedNumber(std::string_view text)
{
    const bool negative = text.starts_with('-');
    const std::optional<std::int32_t> number = parsePositionNumber(text.substr(negative ? 1 : 0));
    if (!number || *number < 0)
        return std::nullopt;
    return negative ? -std::int64_t{*number} : std::int64_t{*number};
}

std::string signedNumberText(std::int64_t value)
{
    std::string text = value < 0 ? "-H" : "H";
    text += hexText(static_cast<std::uint32_t>(value < 0 ? -value : value), 1);
    return text;
}

std::string pointerOptionsText(const PointerOptions& o)
{
    const PointerTable& t = o.table;
    std::string text;
    const auto line = [&text](std::string_view key, const std::string& value) {
        text += key;
        text += '=';
        text += value;
        text += "\r\n";
    };
    line("position", signedNumberText(t.position));
    line("count", std::to_string(t.count));
    line("size", std::to_string(t.size));
    line("stride", std::to_string(t.stride));
    line("endian", t.bigEndian ? "big" : "little");
    line("map", std::string(pointerMapName(t.map)));
    line("base", signedNumberText(t.base));
    line("header", signedNumberText(t.header));
    line("bank", t.bank ? signedNumberText(*t.bank) : std::string());
    line("space", o.space);
    return text;
}

PointerOptions readPointerOptions(std::string_view text)
{
    PointerOptions o;
    PointerTable& t = o.table;
    for (std::string_view line : splitTextLines(text)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);
        const std::optional<std::int64_t> number = parseSignedNumber(value);
        if (key == "space")
            o.space = std::string(value);
        else if (key == "endian")
            t.bigEndian = value == "big";
        else if (key == "map")
            t.map = parsePointerMap(value).value_or(t.map);
        else if (key == "bank")
            t.bank = number;
        else if (!number)
            continue;
        else if (key == "position")
            t.position = *number;
        else if (key == "count")
            t.count = *number;
        else if (key == "size")
            t.size = static_cast<int>(*number);
        else if (key == "stride")
            t.stride = *number;
        else if (key == "base")
            t.base = *number;
        else if (key == "header")
            t.header = *number;
    }
    return o;
}
