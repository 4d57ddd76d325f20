#pragma once
// The one hexadecimal parser of the system, the number forms users type,
// and the fixed-width hexadecimal texts positions are shown in.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Value of one hexadecimal digit, either letter case.
int HexDigitValue(char ch);

// Parses at most 8 hexadecimal digits. Sets `error` on bad text and never
// clears it; returns 0 then. The empty text is 0 without an error.
std::int32_t HexToInt(std::string_view text, bool& error);

// A typed position: "H" or "h" and hexadecimal digits, or a decimal number in
// the signed 32-bit range. Nothing for any other text (and for "" ).
std::optional<std::int32_t> parsePositionNumber(std::string_view text);

// A Go To answer: nothing to do (an empty answer), a position, or a bad number.
struct GoToAnswer {
    enum class Kind { Nothing, Position, BadNumber };
    Kind kind = Kind::Nothing;
    std::int32_t position = 0; // for Kind::Position; may be negative (HFFFFFFFF)

    bool operator==(const GoToAnswer&) const = default;
};

// Reads a confirmed Go To answer: upper-cased, "H" and at most 8 hexadecimal
// digits, or decimal digits up to 2147483647.
GoToAnswer parseGoToAnswer(std::string_view answer);

// A signed 32-bit decimal as the standard conversion reads it: an optional
// sign and digits, nothing else (no blanks, no hexadecimal).
std::optional<std::int32_t> parseDecimalInteger(std::string_view text);
// Decimal digits only, no sign or blank; nothing when the value exceeds `limit`.
std::optional<int> parseSmallDecimal(std::string_view text, int limit);

// Upper-case hexadecimal with at least `digits` digits.
std::string hexText(std::uint32_t value, int digits);
