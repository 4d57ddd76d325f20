#include "tiles/colourformat.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

namespace {

constexpr std::array kAllFormats{ColourFormat::Bgr555, ColourFormat::Genesis, ColourFormat::MasterSystem,
                                 ColourFormat::GameGear, ColourFormat::Nes};

struct Worked {
    ColourFormat format;
    std::vector<std::uint8_t> bytes;
    Colour colour;
};

// Bytes as found in a ROM and the colour they give.
TEST(ColourFormat, ReadsHandWorkedBytes)
{
    const std::vector<Worked> cases{
        {ColourFormat::Bgr555, {0x1F, 0x00}, rgbColour(255, 0, 0)},
        {ColourFormat::Bgr555, {0xE0, 0x03}, rgbColour(0, 255, 0)},
        {ColourFormat::Bgr555, {0x00, 0x7C}, rgbColour(0, 0, 255)},
        {ColourFormat::Bgr555, {0x10, 0x42}, rgbColour(132, 132, 132)}, // 16 -> 10000 100
        {ColourFormat::Bgr555, {0xFF, 0xFF}, rgbColour(255, 255, 255)}, // bit 15 unused
        {ColourFormat::Genesis, {0x00, 0x0E}, rgbColour(255, 0, 0)},
        {ColourFormat::Genesis, {0x00, 0xE0}, rgbColour(0, 255, 0)},
        {ColourFormat::Genesis, {0x0E, 0x00}, rgbColour(0, 0, 255)},
        {ColourFormat::Genesis, {0xF1, 0x1A}, rgbColour(182, 0, 0)}, // 3-bit 5 -> 101 101 10; odd bits unused
        {ColourFormat::MasterSystem, {0x03}, rgbColour(255, 0, 0)},
        {ColourFormat::MasterSystem, {0x0C}, rgbColour(0, 255, 0)},
        {ColourFormat::MasterSystem, {0x30}, rgbColour(0, 0, 255)},
        {ColourFormat::MasterSystem, {0xD5}, rgbColour(85, 85, 85)},
        {ColourFormat::GameGear, {0x0F, 0x00}, rgbColour(255, 0, 0)},
        {ColourFormat::GameGear, {0x8C, 0xFF}, rgbColour(204, 136, 255)},
        {ColourFormat::GameGear, {0x00, 0xF0}, rgbColour(0, 0, 0)},
        {ColourFormat::Nes, {0x00}, rgbColour(0x7C, 0x7C, 0x7C)},
        {ColourFormat::Nes, {0x16}, rgbColour(0xF8, 0x38, 0x00)},
        {ColourFormat::Nes, {0x30}, rgbColour(0xFC, 0xFC, 0xFC)},
        {ColourFormat::Nes, {0x41}, rgbColour(0x00, 0x00, 0xFC)}, // the top two bits are not the index
    };
    for (const Worked& c : cases) {
        SCOPED_TRACE(std::string(colourFormatName(c.format)) + " byte " + std::to_string(c.bytes[0]));
        const ColourReadResult read = readColours(c.bytes, 0, 1, c.format);
        ASSERT_TRUE(read.ok()) << read.error;
        ASSERT_EQ(read.colours.size(), 1u);
        EXPECT_EQ(read.colours[0], c.colour);
    }
}

// Colours written over zero bytes, including ones the format cannot hold.
TEST(ColourFormat, WritesTheNearestHeldColour)
{
    const std::vector<Worked> cases{
        {ColourFormat::Bgr555, {0x1F, 0x00}, rgbColour(255, 0, 0)},
        {ColourFormat::Bgr555, {0x10, 0x42}, rgbColour(130, 131, 133)}, // 123 < x < 132: 16
        {ColourFormat::Bgr555, {0x00, 0x00}, rgbColour(4, 4, 4)},       // 0 and 8 tie: the lower
        {ColourFormat::Genesis, {0x00, 0x0A}, rgbColour(200, 0, 0)},    // 182 is nearer than 219
        {ColourFormat::Genesis, {0x0E, 0xEE}, rgbColour(255, 255, 255)},
        {ColourFormat::MasterSystem, {0x39}, rgbColour(85, 170, 255)},
        {ColourFormat::MasterSystem, {0x01}, rgbColour(43, 42, 0)},
        {ColourFormat::GameGear, {0x8C, 0x0F}, rgbColour(204, 136, 255)},
        {ColourFormat::Nes, {0x00}, rgbColour(0x7C, 0x7C, 0x7C)},
        {ColourFormat::Nes, {0x30}, rgbColour(255, 255, 255)}, // FCFCFC is nearer than F8F8F8
        {ColourFormat::Nes, {0x0D}, rgbColour(0, 0, 0)},       // the first of the blacks
        {ColourFormat::Nes, {0x01}, rgbColour(0, 0, 250)},
    };
    for (const Worked& c : cases) {
        SCOPED_TRACE(std::string(colourFormatName(c.format)) + " colour " + std::to_string(c.colour));
        std::vector<std::uint8_t> bytes(c.bytes.size(), 0);
        const Colour colours[]{c.colour};
        ASSERT_EQ(writeColours(bytes, 0, colours, c.format), "");
        EXPECT_EQ(bytes, c.bytes);
    }
}

TEST(ColourFormat, WritingKeepsTheBitsTheFormatDoesNotUse)
{
    const Colour black[]{rgbColour(0, 0, 0)};
    std::vector<std::uint8_t> bgr{0xFF, 0xFF};
    ASSERT_EQ(writeColours(bgr, 0, black, ColourFormat::Bgr555), "");
    EXPECT_EQ(bgr, (std::vector<std::uint8_t>{0x00, 0x80}));
    std::vector<std::uint8_t> nes{0xC5};
    ASSERT_EQ(writeColours(nes, 0, black, ColourFormat::Nes), "");
    EXPECT_EQ(nes, (std::vector<std::uint8_t>{0xCD}));
}

// Against a search over every word the format can hold: the written colour
// is at the least squared distance, and what is written reads back as the
// held colour, which writes back to the same bytes.
TEST(ColourFormat, NearestAndRoundTripOnRandomColours)
{
    std::mt19937 random(22);
    for (const ColourFormat format : kAllFormats) {
        SCOPED_TRACE(std::string(colourFormatName(format)));
        const int width = bytesPerColour(format);
        std::vector<Colour> held;
        for (unsigned word = 0; word < (1u << (8 * width)); ++word) {
            const std::uint8_t bytes[]{static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8)};
            const auto wordBytes = std::span(bytes, static_cast<std::size_t>(width));
            held.push_back(readColours(wordBytes, 0, 1, format).colours.at(0));
        }
        auto distance = [](Colour a, Colour b) {
            const int dr = redOf(a) - redOf(b), dg = greenOf(a) - greenOf(b), db = blueOf(a) - blueOf(b);
            return dr * dr + dg * dg + db * db;
        };
        std::vector<Colour> colours(40);
        for (Colour& c : colours)
            c = random() & 0xFFFFFFu;
        for (std::size_t i = 0; i < colours.size(); i += 4) // some held exactly
            colours[i] = held[random() % held.size()];
        std::vector<std::uint8_t> image(colours.size() * static_cast<std::size_t>(width) + 3, 0x5A);
        ASSERT_EQ(writeColours(image, 3, colours, format), "");
        const ColourReadResult read = readColours(image, 3, static_cast<int>(colours.size()), format);
        ASSERT_TRUE(read.ok()) << read.error;
        for (std::size_t i = 0; i < colours.size(); ++i) {
            int least = std::numeric_limits<int>::max();
            for (const Colour h : held)
                least = std::min(least, distance(h, colours[i]));
            EXPECT_EQ(distance(read.colours[i], colours[i]), least) << "colour " << colours[i];
            EXPECT_EQ(read.colours[i], nearestHeldColour(format, colours[i]));
        }
        std::vector<std::uint8_t> again = image;
        ASSERT_EQ(writeColours(again, 3, read.colours, format), "");
        EXPECT_EQ(again, image);
        EXPECT_EQ(image[0], 0x5A) << "nothing before the offset is touched";
    }
}

TEST(ColourFormat, ColoursPastTheEndAreRefusedWhole)
{
    std::vector<std::uint8_t> image(10, 0x11);
    const std::vector<Colour> two(2, rgbColour(255, 255, 255));
    struct Case {
        std::int64_t offset;
        int count;
        bool fits;
    };
    for (const Case c : {Case{6, 2, true}, Case{10, 0, true}, Case{8, 2, false}, Case{9, 1, false},
                         Case{-1, 1, false}, Case{11, 0, false}, Case{std::numeric_limits<std::int64_t>::max(), 2, false},
                         Case{0, 6, false}}) {
        SCOPED_TRACE(std::to_string(c.offset) + " x " + std::to_string(c.count));
        const ColourReadResult read = readColours(image, c.offset, c.count, ColourFormat::Bgr555);
        EXPECT_EQ(read.ok(), c.fits);
        EXPECT_EQ(read.colours.size(), c.fits ? static_cast<std::size_t>(c.count) : 0u);
        if (!c.fits) {
            EXPECT_NE(read.error.find("past the end"), std::string::npos) << read.error;
        }
        std::vector<std::uint8_t> written = image;
        const std::string error = writeColours(
            written, c.offset, std::span(two).first(std::min<std::size_t>(2, static_cast<std::size_t>(c.count))),
            ColourFormat::Bgr555);
        EXPECT_EQ(error.empty(), c.fits || c.count > 2);
        if (!error.empty()) {
            EXPECT_EQ(written, image) << "nothing written";
        }
    }
}

TEST(ColourFormat, NamesParseBack)
{
    for (const ColourFormat format : kAllFormats)
        EXPECT_EQ(parseColourFormat(colourFormatName(format)), format);
    EXPECT_EQ(colourFormatNames(), "bgr555|genesis|sms|gg|nes");
    EXPECT_EQ(parseColourFormat("snes"), std::nullopt);
    EXPECT_EQ(parseColourFormat(""), std::nullopt);
}

} // namespace
