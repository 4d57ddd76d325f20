#include "app/numbers.h"

#include <array>
#include <cstdio>
#include <limits>

namespace {
bool isHexDigit(char ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F') || (ch >= 'a' && ch <= 'f');
}
} // namespace

int HexDigitValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - 48;
    if (ch >= 'A' && ch <= 'F')
        return ch - 55;
    if (ch >= 'a' && ch <= 'f')
        return ch - 87;
    return 0;
}

std::int32_t HexToInt(std::string_view text, bool& error)
{
    if (text.size() > 8) {
        error = true;
        return 0;
    }
    std::uint32_t value = 0;
    for (char ch : text) {
        if (!isHexDigit(ch)) {
            error = true;
            return 0;
        }
        value = value * 16 + static_cast<std::uint32_t>(HexDigitValue(ch));
    }
    // Eight digits give the full 32-bit pattern: FFFFFFFF is -1.
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> parsePositionNumber(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    if (text.front() == 'H' || text.front() == 'h') {
        std::string_view digits = text.substr(1);
        if (digits.empty())
            return std::nullopt;
        bool error = false;
        const std::int32_t value = HexToInt(digits, error);
        if (error)
            return std::nullopt;
        return value;
    }
    std::int64_t value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return std::nullopt;
        value = value * 10 + (ch - '0');
        if (value > 2147483647)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

GoToAnswer parseGoToAnswer(std::string_view answer)
{
    std::string upper(answer);
    for (char& ch : upper)
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    if (upper.empty())
        return {};
    // Once upper-cased, both forms are exactly what parsePositionNumber reads.
    const std::optional<std::int32_t> value = parsePositionNumber(upper);
    if (!value)
        return {GoToAnswer::Kind::BadNumber, 0};
    return {GoToAnswer::Kind::Position, *value};
}

std::string hexText(std::uint32_t value, int digits)
{
    std::array<char, 16> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%0*X", digits, value);
    return buffer.data();
}

std::optional<std::int32_t> parseDecimalInteger(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return std::nullopt;
        value = value * 10 + (ch - '0');
        if (value > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<int> parseSmallDecimal(std::string_view text, int limit)
{
    if (text.empty())
        return std::nullopt;
    int value = 0;
    for (const char ch : text) {
        if (ch < '0' || ch > '9')
            return std::nullopt;
        value = value * 10 + (ch - '0');
        if (value > limit)
            return std::nullopt;
    }
    return value;
}
