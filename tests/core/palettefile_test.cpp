#include "tiles/palettefile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view text) { return {text.begin(), text.end()}; }
std::string textOf(const Bytes& bytes) { return {bytes.begin(), bytes.end()}; }

std::vector<Colour> distinctColours(int count)
{
    std::vector<Colour> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back(rgbColour(i * 17, 255 - i * 13, (i * 71) % 256));
    return colours;
}
std::vector<Colour> sixteenDistinct() { return distinctColours(16); }

TEST(PaletteFileForm, ActAnywhereInTheNameMeansBinary)
{
    EXPECT_EQ(paletteFileFormFor("game.pal"), PaletteFileForm::Text);
    EXPECT_EQ(paletteFileFormFor("game.act"), PaletteFileForm::Binary);
    EXPECT_EQ(paletteFileFormFor("GAME.Act"), PaletteFileForm::Binary);
    EXPECT_EQ(paletteFileFormFor("palette.act.txt"), PaletteFileForm::Binary);
    EXPECT_EQ(paletteFileFormFor("/home/me/x.actions/p.pal"), PaletteFileForm::Binary);
    EXPECT_EQ(paletteFileFormFor("react"), PaletteFileForm::Text); // no dot before it
    EXPECT_EQ(paletteFileFormFor(""), PaletteFileForm::Text);
}

TEST(PaletteFile, DefaultFourColourPaletteSavesAsTheseLines)
{
    const auto& four = defaultFourColourPalette();
    EXPECT_EQ(textOf(writePaletteText(four)), "0 0 0\r\n160 48 0\r\n216 73 96\r\n255 200 184\r\n");
}

TEST(PaletteFile, RoundTripsInBothFormsAndSizes)
{
    const std::vector<Colour> full = distinctColours(256);
    const std::vector<Colour> sixteen = sixteenDistinct();
    const std::vector<Colour> four(sixteen.begin() + 3, sixteen.begin() + 7);
    for (PaletteFileForm form : {PaletteFileForm::Text, PaletteFileForm::Binary})
        for (const std::vector<Colour>* colours : {&four, &sixteen, &full}) {
            SCOPED_TRACE(colours->size());
            const Bytes file = writePaletteFile(*colours, form);
            // Binary: the 256-byte file of old for 4 and 16 entries, the whole table for 256.
            if (form == PaletteFileForm::Binary)
                EXPECT_EQ(file.size(), colours->size() == 256 ? 768u : 256u);
            else
                EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), static_cast<long>(colours->size()));
            const PaletteReadResult read = readPaletteFile(file, form, static_cast<int>(colours->size()));
            EXPECT_TRUE(read.ok()) << read.error;
            EXPECT_EQ(read.colours, *colours);
        }
}

TEST(PaletteFile, BinaryFileIsAlways256Bytes)
{
    const std::vector<Colour> sixteen = sixteenDistinct();
    const Bytes file = writePaletteBinary(sixteen);
    ASSERT_EQ(file.size(), 256u);
    EXPECT_EQ(file[0], redOf(sixteen[0]));
    EXPECT_EQ(file[46], greenOf(sixteen[15]));
    EXPECT_EQ(file[47], blueOf(sixteen[15]));
    for (std::size_t i = 48; i < file.size(); ++i)
        ASSERT_EQ(file[i], 0) << i;

    const Bytes four = writePaletteBinary(defaultFourColourPalette());
    ASSERT_EQ(four.size(), 256u);
    EXPECT_EQ(four[3], 160);
    EXPECT_EQ(four[11], 184);
    EXPECT_EQ(four[12], 0);
}

TEST(PaletteFile, FullColourTableIsAcceptedAndItsRestIgnored)
{
    Bytes table(768);
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<std::uint8_t>(i * 7);
    const PaletteReadResult read = readPaletteBinary(table, 16);
    ASSERT_TRUE(read.ok());
    ASSERT_EQ(read.colours.size(), 16u);
    EXPECT_EQ(read.colours[1], rgbColour(21, 28, 35));
}

TEST(PaletteFile, OnlyTheLowByteOfEachNumberCounts)
{
    const PaletteReadResult read = readPaletteText(bytesOf("300 -1 7\n+5 256 -256\n"), 2);
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.colours[0], rgbColour(44, 255, 7));
    EXPECT_EQ(read.colours[1], rgbColour(5, 0, 0));
}

TEST(PaletteFile, LineEndsAndExtraLines)
{
    const PaletteReadResult read = readPaletteText(bytesOf("1 2 3\n4 5 6\r\n7 8 9\r\n10 11 12\nnot read"), 4);
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.colours.back(), rgbColour(10, 11, 12));
    // The last line needs no line end.
    EXPECT_TRUE(readPaletteText(bytesOf("1 2 3"), 1).ok());
}

TEST(PaletteFile, BadTextLinesNameTheOffendingTextAndKeepWhatWasRead)
{
    const struct {
        const char* file;
        std::size_t readBefore;
        const char* error;
    } cases[] = {
        {"1 2 3\n4 5 6\n", 2, "'' is not a valid integer value"},            // missing lines
        {"1 2 3\n4  5 6\n", 1, "'' is not a valid integer value"},           // two spaces
        {"1 2 3\n4 5 x6\n", 1, "'x6' is not a valid integer value"},         // not a number
        {"1 2 3\n4 5 6 \n", 1, "'6 ' is not a valid integer value"},         // the rest is blue
        {"1 2 3\n4 5 6 7\n", 1, "'6 7' is not a valid integer value"},
        {"1 2\n", 0, "'' is not a valid integer value"},                      // empty blue
        {"red 2 3\n", 0, "'red' is not a valid integer value"},
        {"$10 2 3\n", 0, "'$10' is not a valid integer value"},              // decimal only
        {"1 2 0x3\n", 0, "'0x3' is not a valid integer value"},
        {"1 - 3\n", 0, "'-' is not a valid integer value"},
        {"1 2147483648 3\n", 0, "'2147483648' is not a valid integer value"}, // beyond 32 bits
        {"", 0, "'' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const PaletteReadResult read = readPaletteText(bytesOf(c.file), 4);
        EXPECT_EQ(read.error, c.error);
        EXPECT_EQ(read.colours.size(), c.readBefore);
    }
    // A four-line file read for sixteen entries fails on the fifth line after four.
    const PaletteReadResult short16 = readPaletteText(writePaletteText(defaultFourColourPalette()), 16);
    EXPECT_EQ(short16.error, "'' is not a valid integer value");
    ASSERT_EQ(short16.colours.size(), 4u);
    EXPECT_EQ(short16.colours[3], defaultFourColourPalette()[3]);
}

TEST(PaletteFile, ShortBinaryFilesYieldWholeTripletsAndAnError)
{
    const struct {
        std::size_t size;
        int count;
        std::size_t triplets;
    } cases[] = {{47, 16, 15}, {12, 16, 4}, {0, 16, 0}, {11, 4, 3}, {2, 4, 0}, {12, 4, 4}, {48, 16, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        Bytes file(c.size);
        for (std::size_t i = 0; i < file.size(); ++i)
            file[i] = static_cast<std::uint8_t>(i + 1);
        const PaletteReadResult read = readPaletteBinary(file, c.count);
        EXPECT_EQ(read.colours.size(), c.triplets);
        EXPECT_EQ(read.ok(), c.triplets == static_cast<std::size_t>(c.count));
        if (!read.ok()) {
            EXPECT_EQ(read.error, "Read beyond end of file");
        }
        if (!read.colours.empty()) {
            const int last = 3 * static_cast<int>(c.triplets);
            EXPECT_EQ(read.colours.back(), rgbColour(last - 2, last - 1, last));
        }
    }
}

TEST(PaletteFile, StrictDecimalIntegers)
{
    EXPECT_EQ(parseDecimalInteger("0"), 0);
    EXPECT_EQ(parseDecimalInteger("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(parseDecimalInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseDecimalInteger("+007"), 7);
    for (const char* bad : {"", "+", "-", " 1", "1 ", "--1", "1-", "$1F", "0x1", "1e2", "-2147483649"})
        EXPECT_FALSE(parseDecimalInteger(bad)) << '"' << bad << '"';
}

TEST(PaletteLabels, ComplementExceptOnMidGrey)
{
    EXPECT_EQ(labelColour(rgbColour(0, 0, 0)), rgbColour(255, 255, 255));
    EXPECT_EQ(labelColour(rgbColour(255, 255, 255)), rgbColour(0, 0, 0));
    EXPECT_EQ(labelColour(rgbColour(255, 200, 184)), rgbColour(0, 55, 71));
    EXPECT_EQ(labelColour(0x808080), rgbColour(255, 255, 255));
    EXPECT_EQ(labelColour(0x7F7F7F), 0x808080u); // near grey is still complemented
}

} // namespace
