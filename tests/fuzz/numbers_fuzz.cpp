// Number forms users type: the hexadecimal parser against a reference, and
// every accepted number written back in each form and read again.
#include "fuzzinput.h"

#include "app/numbers.h"
#include "cli/argforms.h"
#include "text/chartable.h"
#include "tiles/codecs.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>

namespace {

bool allOf(std::string_view text, bool (*test)(char))
{
    return std::all_of(text.begin(), text.end(), test);
}
bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool isHex(char ch) { return isDigit(ch) || (ch >= 'A' && ch <= 'F') || (ch >= 'a' && ch <= 'f'); }

std::optional<std::int32_t> referenceHex(std::string_view digits)
{
    if (digits.size() > 8 || !allOf(digits, isHex))
        return std::nullopt;
    std::uint32_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    return static_cast<std::int32_t>(value);
}

// Digits only, up to 2147483647, any number of leading zeros.
std::optional<std::int32_t> referenceUnsignedDecimal(std::string_view digits)
{
    if (digits.empty() || !allOf(digits, isDigit))
        return std::nullopt;
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
    std::int64_t value = 0;
    if (digits.size() > 10)
        return std::nullopt;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (value > 2147483647)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> referenceSignedDecimal(std::string_view text)
{
    std::string number(text);
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
        if (!allOf(std::string_view(number).substr(1), isDigit) || number.size() == 1)
            return std::nullopt;
        if (number[0] == '+')
            number.erase(0, 1);
    } else if (number.empty() || !allOf(number, isDigit)) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size())
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> referencePosition(std::string_view text)
{
    if (!text.empty() && (text[0] == 'H' || text[0] == 'h'))
        return text.size() == 1 ? std::nullopt : referenceHex(text.substr(1));
    return referenceUnsignedDecimal(text);
}

void checkHexToInt(std::string_view text)
{
    bool error = false;
    const std::int32_t value = HexToInt(text, error);
    const std::optional<std::int32_t> expected = referenceHex(text);
    FUZZ_CHECK(error == !expected.has_value());
    FUZZ_CHECK(value == expected.value_or(0));
    bool earlier = true; // an error already set is never cleared
    (void)HexToInt(text, earlier);
    FUZZ_CHECK(earlier);
}

void checkPosition(std::string_view text)
{
    const std::optional<std::int32_t> value = parsePositionNumber(text);
    FUZZ_CHECK(value == referencePosition(text));
    if (value) {
        const std::string hex = "H" + hexText(static_cast<std::uint32_t>(*value), 8);
        FUZZ_CHECK(hex.size() == 9);
        FUZZ_CHECK(parsePositionNumber(hex) == value);
        if (*value >= 0)
            FUZZ_CHECK(parsePositionNumber(std::to_string(*value)) == value);
    }
    std::string upper(text);
    for (char& ch : upper)
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    const GoToAnswer answer = parseGoToAnswer(text);
    if (text.empty())
        FUZZ_CHECK(answer.kind == GoToAnswer::Kind::Nothing);
    else if (const std::optional<std::int32_t> upperValue = parsePositionNumber(upper))
        FUZZ_CHECK(answer == (GoToAnswer{GoToAnswer::Kind::Position, *upperValue}));
    else
        FUZZ_CHECK(answer.kind == GoToAnswer::Kind::BadNumber);
}

void checkDecimal(std::string_view text)
{
    const std::optional<std::int32_t> value = parseDecimalInteger(text);
    FUZZ_CHECK(value == referenceSignedDecimal(text));
    if (value)
        FUZZ_CHECK(parseDecimalInteger(std::to_string(*value)) == value);
}

void checkTableAddress(std::string_view line)
{
    const std::optional<std::int32_t> address = tableAddress(line);
    std::optional<std::int32_t> expected;
    if (line.empty())
        expected = 0;
    else if (line[0] == 'H' || line[0] == 'h')
        expected = referenceHex(line.substr(1)).value_or(0);
    else if (const auto decimal = referenceSignedDecimal(line))
        expected = std::max(*decimal, 0);
    FUZZ_CHECK(address == expected);
}

void checkArgumentForms(std::string_view text, std::int32_t least)
{
    const std::optional<std::int32_t> number = parseNumberArgument(text, least);
    const std::optional<std::int32_t> position = parsePositionNumber(text);
    FUZZ_CHECK(number == (position && *position >= least ? position : std::nullopt));

    if (const std::optional<Codec> codec = parseCodecArgument(text)) {
        FUZZ_CHECK(isValidCodec(*codec));
        FUZZ_CHECK(parseCodecArgument(std::to_string(codecIndex(*codec))) == codec);
        FUZZ_CHECK(parseCodecArgument(codecName(*codec)) == codec);
    }
    if (const std::optional<TileSize> size = parseSizeArgument(text)) {
        FUZZ_CHECK(size->width >= 1 && size->width <= 16 && size->height >= 1 && size->height <= 16);
        FUZZ_CHECK(parseSizeArgument(std::to_string(size->width) + "x" + std::to_string(size->height)) == size);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const auto least = input.take<std::int32_t>();
    const std::string_view text = input.restText();
    checkHexToInt(text);
    checkPosition(text);
    checkDecimal(text);
    checkTableAddress(text);
    checkArgumentForms(text, least);
    return 0;
}
