#include "app/textlines.h"
#include "text/chartable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct QuoteCase {
    std::string text;
    std::string quoted;
};

TEST(QuotedForMessage, EscapesControlBytesAndCutsAtSixtyCharacters)
{
    const std::string sixty(60, 'a');
    const QuoteCase cases[] = {
        {"H02x0", "H02x0"},
        {"", ""},
        {std::string("a\0b\tc\r\n\x7F\x1B", 9), "a\\x00b\\tc\\r\\n\\x7F\\x1B"},
        {"\xC0\xC1 =", "\xC0\xC1 ="}, // letters of an 8-bit code page stay
        {sixty, sixty},
        {sixty + "b", std::string(57, 'a') + "..."},
        // An escape is never cut in half.
        {std::string(56, 'a') + std::string(10, '\x01'), std::string(56, 'a') + "..."},
    };
    for (const QuoteCase& c : cases) {
        EXPECT_EQ(quotedForMessage(c.text), c.quoted);
        EXPECT_LE(quotedForMessage(c.text).size(), 60u);
    }
}

TEST(QuotedForMessage, BinaryFileReadAsATableGivesAShortMessage)
{
    std::string binary(300000, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 7 % 256 == 10 || i * 7 % 256 == 13 ? 0 : i * 7 % 256);
    // A character table reads such a first line as an ordinary line; a tile
    // table still refuses it with this message.
    ASSERT_FALSE(tableAddress(splitTextLines(binary).front()).has_value());
    // Control bytes escaped, bytes of the code page as they are, at most 60 in all.
    EXPECT_EQ(notAnIntegerMessage(splitTextLines(binary).front()), "'\\x00\\x07\\x0E\\x15\\x1C#*18?FMT[bipw~"
                          "\x85\x8C\x93\x9A\xA1\xA8\xAF\xB6\xBD\xC4\xCB\xD2\xD9\xE0\xE7\xEE\xF5\xFC"
                          "\\x03..."
                          "' is not a valid integer value");
}

} // namespace
