#include "tiles/colourformat.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Worked {
    ColourFormat format;
    Bytes bytes;
    Colour colour;
    bool exact = true; // false: the colour is only written, as the nearest held one
};

// Hand-worked bytes and colours. Exact pairs are checked both ways; writes
// start from 0xFF bytes, whose unused bits must survive.
TEST(ColourFormat, HandWorkedBytesBothWays)
{
    using F = ColourFormat;
    const std::vector<Worked> cases{
        {F::Bgr555, {0x1F, 0x80}, rgbColour(255, 0, 0)},
        {F::Bgr555, {0x00, 0xFC}, rgbColour(0, 0, 255)},
        {F::Bgr555, {0x10, 0xC2}, rgbColour(132, 132, 132)},      // 16 -> 10000 100
        {F::Bgr555, {0x10, 0xC2}, rgbColour(130, 131, 133), false}, // 123 < x < 132: 16
        {F::Bgr555, {0x00, 0x80}, rgbColour(4, 4, 4), false},       // 0 and 8 tie: the lower
        {F::Genesis, {0xF1, 0x1F}, rgbColour(255, 0, 0)},
        {F::Genesis, {0xFF, 0xF1}, rgbColour(0, 255, 255)},
        {F::Genesis, {0xF1, 0x1B}, rgbColour(182, 0, 0)},       // 3-bit 5 -> 101 101 10
        {F::Genesis, {0xF1, 0x1B}, rgbColour(200, 0, 0), false}, // 182 is nearer than 219
        {F::MasterSystem, {0xCC}, rgbColour(0, 255, 0)},
        {F::MasterSystem, {0xF9}, rgbColour(85, 170, 255)},
        {F::MasterSystem, {0xC1}, rgbColour(43, 42, 0), false},
        {F::GameGear, {0x8C, 0xFF}, rgbColour(204, 136, 255)},
        {F::GameGear, {0x0F, 0xF0}, rgbColour(255, 0, 0)},
        {F::Nes, {0xC0}, rgbColour(0x7C, 0x7C, 0x7C)}, // the top two bits are not the index
        {F::Nes, {0xD6}, rgbColour(0xF8, 0x38, 0x00)},
        {F::Nes, {0xF0}, rgbColour(255, 255, 255), false}, // FCFCFC is nearer than F8F8F8
        {F::Nes, {0xCD}, rgbColour(0, 0, 0), false},       // the first of the blacks
    };
    for (const Worked& c : cases) {
        SCOPED_TRACE(std::string(colourFormatName(c.format)) + " colour " + std::to_string(c.colour));
        Bytes bytes(c.bytes.size(), 0xFF);
        const Colour colours[]{c.colour};
        ASSERT_EQ(writeColours(bytes, 0, colours, c.format), "");
        EXPECT_EQ(bytes, c.bytes);
        const ColourReadResult read = readColours(c.bytes, 0, 1, c.format);
        ASSERT_TRUE(read.ok()) << read.error;
        EXPECT_EQ(read.colours.at(0), c.exact ? c.colour : nearestHeldColour(c.format, c.colour));
    }
}

// Against a search over every word of the format: the written colour is at
// the least squared distance, it reads back as nearestHeldColour, and what
// was read writes back to the same bytes.
TEST(ColourFormat, NearestAndRoundTripOnRandomColours)
{
    std::mt19937 random(22);
    for (const ColourFormat format : {ColourFormat::Bgr555, ColourFormat::Genesis, ColourFormat::MasterSystem,
                                      ColourFormat::GameGear, ColourFormat::Nes}) {
        SCOPED_TRACE(std::string(colourFormatName(format)));
        EXPECT_EQ(parseColourFormat(colourFormatName(format)), format);
        const auto width = static_cast<std::size_t>(bytesPerColour(format));
        std::vector<Colour> held;
        for (unsigned word = 0; word < (1u << (8 * width)); ++word) {
            const std::uint8_t bytes[]{static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8)};
            held.push_back(readColours(std::span(bytes, width), 0, 1, format).colours.at(0));
        }
        auto distance = [](Colour a, Colour b) {
            const int dr = redOf(a) - redOf(b), dg = greenOf(a) - greenOf(b), db = blueOf(a) - blueOf(b);
            return dr * dr + dg * dg + db * db;
        };
        std::vector<Colour> colours(40);
        for (std::size_t i = 0; i < colours.size(); ++i) // every fourth one held exactly
            colours[i] = i % 4 == 0 ? held[random() % held.size()] : random() & 0xFFFFFFu;
        Bytes image(colours.size() * width + 3, 0x5A);
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
        Bytes again = image;
        ASSERT_EQ(writeColours(again, 3, read.colours, format), "");
        EXPECT_EQ(again, image);
        EXPECT_EQ(image[2], 0x5A) << "nothing before the offset is touched";
    }
}

TEST(ColourFormat, ColoursPastTheEndAreRefusedWhole)
{
    const Bytes image(10, 0x11);
    const std::vector<Colour> colours(6, rgbColour(255, 255, 255));
    for (const auto& [offset, count, fits] :
         {std::tuple<std::int64_t, std::size_t, bool>{6, 2, true}, {10, 0, true}, {8, 2, false}, {9, 1, false},
          {-1, 1, false}, {11, 0, false}, {std::numeric_limits<std::int64_t>::max(), 2, false}, {0, 6, false}}) {
        SCOPED_TRACE(std::to_string(offset) + " x " + std::to_string(count));
        const ColourReadResult read = readColours(image, offset, static_cast<int>(count), ColourFormat::Bgr555);
        EXPECT_EQ(read.colours.size(), fits ? count : 0u);
        EXPECT_EQ(read.error.find("past the end") != std::string::npos, !fits) << read.error;
        Bytes written = image;
        const std::string error =
            writeColours(written, offset, std::span(colours).first(count), ColourFormat::Bgr555);
        EXPECT_EQ(error.empty(), fits);
        if (!fits) {
            EXPECT_EQ(written, image) << "nothing written";
        }
    }
}

} // namespace
