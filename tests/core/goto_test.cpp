#include "app/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

using Kind = GoToAnswer::Kind;

struct GoToCase {
    const char* answer;
    GoToAnswer expected;
};

GoToAnswer at(std::int32_t position) { return {Kind::Position, position}; }
const GoToAnswer kBad{Kind::BadNumber, 0};
const GoToAnswer kNothing{Kind::Nothing, 0};

const GoToCase kAnswers[] = {
    // An empty answer is not an error: nothing happens at all.
    {"", kNothing},
    // Hexadecimal after H, either case, digits of either case.
    {"h1f", at(31)},
    {"H1F", at(31)},
    {"hAbC", at(0xABC)},
    {"H0", at(0)},
    {"H100", at(256)},
    {"H7FFFFFFF", at(2147483647)},
    {"hffffffff", at(-1)},
    {"H80000000", at(std::numeric_limits<std::int32_t>::min())},
    {"H00000001", at(1)},
    {"H", kBad},
    {"h", kBad},
    {"H123456789", kBad},
    {"HH", kBad},
    {"H1G", kBad},
    {"1h", kBad},
    // Decimal, digits only, up to the largest signed 32-bit value.
    {"0", at(0)},
    {"256", at(256)},
    {"0000000031", at(31)},
    {"2147483647", at(2147483647)},
    {"2147483648", kBad},
    {"4294967295", kBad},
    {"9999999999", kBad},
    {"1f", kBad},
    {"abc", kBad},
    {"-1", kBad},
    {" 1", kBad},
    {"$1F", kBad},
    {"x", kBad},
};

class ParseGoToAnswer : public ::testing::TestWithParam<GoToCase> {};

TEST_P(ParseGoToAnswer, TellsNothingFromAPositionFromABadNumber)
{
    const GoToAnswer got = parseGoToAnswer(GetParam().answer);
    EXPECT_EQ(static_cast<int>(got.kind), static_cast<int>(GetParam().expected.kind)) << '"' << GetParam().answer << '"';
    if (got.kind == Kind::Position) {
        EXPECT_EQ(got.position, GetParam().expected.position) << '"' << GetParam().answer << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ParseGoToAnswer, ::testing::ValuesIn(kAnswers));

TEST(ParseGoToAnswer, HexadecimalAndDecimalFormsReachTheSameOffset)
{
    for (std::int32_t value : {0, 9, 10, 255, 256, 65536, 2147483647}) {
        SCOPED_TRACE(value);
        std::string hex(1, 'h');
        hex += hexText(static_cast<std::uint32_t>(value), 1);
        const GoToAnswer lower = parseGoToAnswer(hex);
        EXPECT_EQ(lower, at(value));
        EXPECT_EQ(parseGoToAnswer(std::to_string(value)), lower);
    }
}

} // namespace
