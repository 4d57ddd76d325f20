#include "app/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

// ---- HexDigitValue ---------------------------------------------------------

TEST(HexDigitValue, EveryDigitInBothLetterCases)
{
    const std::string upper = "0123456789ABCDEF";
    const std::string lower = "0123456789abcdef";
    for (int v = 0; v < 16; ++v) {
        SCOPED_TRACE(v);
        EXPECT_EQ(HexDigitValue(upper[static_cast<std::size_t>(v)]), v);
        EXPECT_EQ(HexDigitValue(lower[static_cast<std::size_t>(v)]), v);
    }
}

// ---- HexToInt --------------------------------------------------------------

struct HexCase {
    const char* text;
    std::int32_t value;
};

const HexCase kGoodHex[] = {
    {"", 0},
    {"0", 0},
    {"00000000", 0},
    {"1", 1},
    {"00000001", 1},
    {"1F", 31},
    {"1f", 31},
    {"100", 256},
    {"aBcD", 0xABCD},
    {"12345678", 0x12345678},
    {"7fffffff", 2147483647},
    {"7FFFFFFF", 2147483647},
    // Eight digits are the full 32-bit pattern.
    {"80000000", std::numeric_limits<std::int32_t>::min()},
    {"80000001", std::numeric_limits<std::int32_t>::min() + 1},
    {"FFFFFFFE", -2},
    {"FFFFFFFF", -1},
    {"ffffffff", -1},
};

class HexToIntGood : public ::testing::TestWithParam<HexCase> {};

TEST_P(HexToIntGood, ParsesWithoutError)
{
    bool error = false;
    EXPECT_EQ(HexToInt(GetParam().text, error), GetParam().value) << '"' << GetParam().text << '"';
    EXPECT_FALSE(error) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, HexToIntGood, ::testing::ValuesIn(kGoodHex));

const char* const kBadHex[] = {
    "1G", "G", "g", "x", " 1", "1 ", "-1", "+1", "$10", "H10", "h10", "0x10", "1.0",
    // More than 8 characters, even when all are digits.
    "123456789", "000000000", "FFFFFFFFF",
};

class HexToIntBad : public ::testing::TestWithParam<const char*> {};

TEST_P(HexToIntBad, SetsTheErrorFlagAndGivesZero)
{
    bool error = false;
    EXPECT_EQ(HexToInt(GetParam(), error), 0) << '"' << GetParam() << '"';
    EXPECT_TRUE(error) << '"' << GetParam() << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, HexToIntBad, ::testing::ValuesIn(kBadHex));

TEST(HexToInt, ErrorFlagIsNeverClearedByALaterGoodCall)
{
    bool error = false;
    (void)HexToInt("1G", error);
    ASSERT_TRUE(error);
    EXPECT_EQ(HexToInt("10", error), 16) << "a good text still parses";
    EXPECT_TRUE(error);
    EXPECT_EQ(HexToInt("", error), 0);
    EXPECT_TRUE(error);
}

TEST(HexToInt, SeveralCallsShareOneFlagTestedAtTheEnd)
{
    bool error = false;
    const std::int32_t a = HexToInt("41", error);
    const std::int32_t b = HexToInt("ff", error);
    EXPECT_FALSE(error);
    EXPECT_EQ(a, 0x41);
    EXPECT_EQ(b, 0xFF);
    (void)HexToInt("zz", error);
    (void)HexToInt("42", error);
    EXPECT_TRUE(error);
}

// ---- parsePositionNumber (Go To answers) -----------------------------------

struct PositionCase {
    const char* text;
    std::optional<std::int32_t> value;
};

const PositionCase kPositions[] = {
    // Hexadecimal after "H" or "h".
    {"H1F", 31},
    {"h1f", 31},
    {"H1f", 31},
    {"H0", 0},
    {"H100", 256},
    {"H00000100", 256},
    {"H7FFFFFFF", 2147483647},
    {"HFFFFFFFF", -1}, // the scroll bar clamps this to 0
    {"H80000000", std::numeric_limits<std::int32_t>::min()},
    {"H", std::nullopt},
    {"h", std::nullopt},
    {"H123456789", std::nullopt},
    {"HG", std::nullopt},
    {"H-1", std::nullopt},
    {"H 1", std::nullopt},
    {"HH1", std::nullopt},
    // Decimal, digits only, within the signed 32-bit range.
    {"0", 0},
    {"256", 256},
    {"00031", 31},
    {"2147483647", 2147483647},
    {"2147483648", std::nullopt},
    {"4294967295", std::nullopt},
    {"99999999999999999999", std::nullopt},
    {"-1", std::nullopt},
    {" 1", std::nullopt},
    {"1 ", std::nullopt},
    {"$10", std::nullopt},
    {"1F", std::nullopt},
    {"0x10", std::nullopt},
    {"+5", std::nullopt},
    {"", std::nullopt},
};

class ParsePositionNumber : public ::testing::TestWithParam<PositionCase> {};

TEST_P(ParsePositionNumber, AcceptsOnlyTheTwoNumberForms)
{
    EXPECT_EQ(parsePositionNumber(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, ParsePositionNumber, ::testing::ValuesIn(kPositions));

TEST(ParsePositionNumber, HexadecimalAndDecimalFormsOfOneOffsetAgree)
{
    for (std::int32_t value : {0, 1, 15, 16, 255, 256, 4096, 65535, 1048576, 2147483647}) {
        SCOPED_TRACE(value);
        EXPECT_EQ(parsePositionNumber(std::string("H") + hexText(static_cast<std::uint32_t>(value), 1)),
                  parsePositionNumber(std::to_string(value)));
    }
}

// ---- hexText ---------------------------------------------------------------

TEST(HexText, PadsToTheWidthInUpperCase)
{
    EXPECT_EQ(hexText(0x12340, 8), "00012340");  // positions
    EXPECT_EQ(hexText(0x40000, 8), "00040000");
    EXPECT_EQ(hexText(31, 4), "001F");           // tile numbers
    EXPECT_EQ(hexText(0x1F, 2), "1F");           // block numbers and bytes
    EXPECT_EQ(hexText(0xab, 2), "AB");
    EXPECT_EQ(hexText(0, 3), "000");             // lengths: at least 3 digits
    EXPECT_EQ(hexText(0xFFFFFFFFu, 8), "FFFFFFFF");
}

TEST(HexText, WidthIsAMinimumNotALimit)
{
    EXPECT_EQ(hexText(0x1000, 3), "1000");
    EXPECT_EQ(hexText(0x12345, 2), "12345");
    EXPECT_EQ(hexText(0xFFFFFFFFu, 2), "FFFFFFFF");
}

TEST(HexText, ReadsBackThroughHexToInt)
{
    for (std::uint32_t value : {0u, 1u, 0x7Fu, 0x8000u, 0x7FFFFFFFu, 0x80000000u, 0xDEADBEEFu}) {
        SCOPED_TRACE(value);
        bool error = false;
        EXPECT_EQ(static_cast<std::uint32_t>(HexToInt(hexText(value, 8), error)), value);
        EXPECT_FALSE(error);
    }
}

} // namespace
