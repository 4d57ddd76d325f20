// .codec files: the examples read as the built-in formats they copy, every
// kind of bad file is refused at its line, and any description written out
// reads back the same.
#include "tiles/codecfile.h"
#include "tiles/codecformula.h"
#include "tiles/codecs.h"

#include "support/testdata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <numeric>
#include <sstream>

namespace {

int describedValue(const CodecDescription& d, const std::uint8_t* unit, int x, int y)
{
    int value = 0;
    for (int b = 0; b < d.bitsPerPixel; ++b) {
        const CodecBit at = d.bits[static_cast<std::size_t>((y * d.width + x) * d.bitsPerPixel + b)];
        value |= ((unit[at.byte] >> at.bit) & 1) << b;
    }
    return value;
}

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(CodecFile, ExamplesDecodeLikeTheBuiltIns)
{
    const std::map<std::string, Codec> copies = {
        {"1bpp", Codec::OneBpp},       {"nes-2bpp", Codec::Nes},    {"gameboy-2bpp", Codec::GameBoy},
        {"linear-2bpp", Codec::Linear}, {"ngp-2bpp", Codec::Ngp},   {"snes-4bpp", Codec::Snes},
        {"snes-4bpp-mirrored", Codec::SnesMirrored},                {"gba-4bpp", Codec::Gba},
        {"genesis-4bpp", Codec::Genesis},                           {"sms-4bpp", Codec::Sms},
    };
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUARN_EXAMPLES_DIR "/codecs")) {
        const std::string stem = entry.path().stem().string();
        SCOPED_TRACE(stem);
        ASSERT_EQ(entry.path().extension(), ".codec");
        ASSERT_TRUE(copies.contains(stem)) << "an example that copies no built-in";
        const Codec codec = copies.at(stem);
        const CodecFileResult read = parseCodecFile(fileText(entry.path()));
        ASSERT_TRUE(read.description) << read.error;
        const CodecDescription& d = *read.description;
        ASSERT_EQ(d.bytes, unitBytes(codec));
        ASSERT_EQ(d.bitsPerPixel, bitsPerPixel(codec));
        ASSERT_EQ(d.width * d.height, unitPixels(codec));
        for (unsigned seed = 0; seed < 40; ++seed) {
            const Bytes unit = randomBytes(static_cast<std::size_t>(d.bytes), seed);
            for (int y = 0; y < d.height; ++y)
                for (int x = 0; x < d.width; ++x)
                    ASSERT_EQ(describedValue(d, unit.data(), x, y), unitPixelValue(codec, unit.data(), y, x))
                        << "pixel " << x << " " << y << " seed " << seed;
        }
        EXPECT_EQ(parseCodecFile(writeCodecFile(d)).description, d);
        ++checked;
    }
    EXPECT_EQ(checked, static_cast<int>(copies.size()));
}

// The smallest sound file the bad rows below change one thing in.
const std::string kHead = "name = T\nbits per pixel = 1\nwidth = 2\nheight = 1\ntile bytes = 1\n";

TEST(CodecFile, BadFilesAreRefusedAtTheirLine)
{
    const struct {
        std::string text;
        int line;
        const char* word;
    } cases[] = {
        {"", 1, "no name"},
        {"# only a comment\n\n", 2, "no name"},
        {"name = T\nbits per pixel = 1\n", 2, "tile bytes"},
        {"name = T\ntile bytes = 1\n", 2, "bits per pixel"},
        {"name = T\nname = U\n", 2, "twice"},
        {"name =  \t\n", 1, "empty"},
        {"name = a\x01z\n", 1, "control"},
        {"name = " + std::string(101, 'n') + "\n", 1, "longer"},
        {"width 8\n", 1, "key = value"},
        {"colour = 3\n", 1, "unknown key"},
        {"bits per pixel = 9\n", 1, "1 to 8"},
        {"width = 0\n", 1, "1 to 32"},
        {"tile bytes = 4097\n", 1, "1 to 4096"},
        {"tile bytes = 0x1\n", 1, "1 to 4096"}, // sizes are plain decimal
        {"width = 99999999999999999999\n", 1, "1 to 32"},
        {"\nwidth = 8\nwidth = 8\n", 3, "twice"},
        {"name = T\rwidth = 0\r", 2, "1 to 32"}, // a lone CR ends a line too
        {kHead, 5, "places no pixel bits"},
        {kHead + "byte = 0\n", 6, "without bit"},
        {kHead + "\nbit = x\n", 7, "without byte"},
        {kHead + "byte = \nbit = x\n", 6, "empty"},
        {kHead + "byte = (x\nbit = x\n", 6, "')'"},
        {kHead + "byte = 0\nbit = x +\n", 7, "too early"},
        {kHead + "byte = 0\nbit = z\n", 7, "'z'"},
        {kHead + "byte = 0\nbit = \x01\n", 7, "'\\x01'"},
        {kHead + "byte = 0\nbit = 12ab\n", 7, "not a number"},
        {kHead + "byte = 0\nbit = 99999999999999999999\n", 7, "too large"},
        {kHead + "byte = 0\nbit = x ? 1\n", 7, "':'"},
        {kHead + "byte = 0\nbit = x = 1\n", 7, "'='"},
        {kHead + "byte = 0\nbit = " + std::string(60, '(') + "x" + std::string(60, ')') + "\n", 7, "nests"},
        {kHead + "byte = 0\nbit = " + std::string(401, '1') + "\n", 7, "longer than"},
        {kHead + "byte = 1 / x\nbit = x\n", 6, "division by zero at pixel (0, 0) plane 0"},
        {kHead + "byte = 0\nbit = x % (x - 1)\n", 7, "remainder of a division by zero at pixel (1, 0)"},
        {kHead + "byte = 0\nbit = 9223372036854775807 + x + 1\n", 7, "overflows"},
        {kHead + "byte = 0\nbit = 3037000500 * 3037000500\n", 7, "overflows"},
        {kHead + "byte = 0\nbit = -(-9223372036854775807 - 1)\n", 7, "overflows"},
        {kHead + "byte = 0\nbit = (-9223372036854775807 - 1) / -1\n", 7, "overflows"},
        {kHead + "byte = x\nbit = 0\n", 6, "byte 1 at pixel (1, 0) plane 0 lies outside the 1 tile bytes"},
        {kHead + "byte = 0\nbit = x - 1\n", 7, "bit -1"},
        {kHead + "bit = x * 8\nbyte = 0\n", 6, "not 0 to 7"},
        {kHead + "byte = 0\nbit = 0\n", 6, "pixel (0, 0) plane 0 and pixel (1, 0) plane 0 both lie at byte 0 bit 0"},
        {kHead + "pixel 0 0 = 0.0\n", 6, "no pixel line for pixel 1 0"},
        {kHead + "pixel 0 0 = 0.0\npixel 0 0 = 0.1\n", 7, "given twice (first on line 6)"},
        {kHead + "pixel 2 0 = 0.0\n", 6, "outside the 2 x 1 tile"},
        {kHead + "pixel 0 0 = 0.0 0.1\n", 6, "lists 2 bits, not 1"},
        {kHead + "pixel 0 0 =\n", 6, "lists 0 bits"},
        {kHead + "pixel 0 0 = 0.0\npixel 1 0 = 0.0\n", 7, "both lie at byte 0 bit 0"},
        {kHead + "pixel 0 0 = 1.0\n", 6, "byte 1 lies outside"},
        {kHead + "pixel 0 0 = 0.8\n", 6, "bit 8"},
        {kHead + "pixel 0 0 = 0,1\n", 6, "not byte.bit"},
        {kHead + "pixel 0 = 0.1\n", 6, "pixel X Y"},
        {kHead + "pixel 0 0 = 0.0 0.1 0.2 0.3 0.4 0.5 0.6 0.7 1.0\n", 6, "more than 8"},
        {kHead + "pixel 0 0 = 0.0\nbyte = 0\n", 7, "mixed"},
        {kHead + "bit = 0\npixel 0 0 = 0.0\n", 7, "mixed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const CodecFileResult read = parseCodecFile(c.text);
        EXPECT_FALSE(read.description);
        EXPECT_EQ(read.line, c.line) << read.error;
        EXPECT_TRUE(read.error.starts_with("line " + std::to_string(c.line) + ": ")) << read.error;
        EXPECT_NE(read.error.find(c.word), std::string::npos) << read.error;
    }
}

TEST(CodecFile, LooseSpellingsReadTheSame)
{
    const CodecDescription expected{"Two # of them", 2, 2, 1, 1, {{0, 7}, {0, 6}, {0, 5}, {0, 4}}};
    for (const std::string text : {
             "name = Two # of them\nbits per pixel = 2\nwidth = 2\nheight = 1\ntile bytes = 1\n"
             "byte = 0\nbit = 7 - 2*x - p\n",
             "\xEF\xBB\xBF  NAME\t=  Two # of them  \r\n# comment\r\n BITS   Per pixel=2 # planes\r\n"
             "Width = 2\r\nheight = 1\r\ntile bytes = 1 # one byte\r\nbyte = 0\r\nbit = 7-2*x-p\r\n",
             "tile bytes = 1\nbit = (x == 0 ? 7 : 5) - p\nbyte = 0*x\nheight = 1\nwidth = 2\n"
             "bits per pixel = 2\nname = Two # of them",
             "name = Two # of them\nbits per pixel = 2\nwidth = 2\nheight = 1\ntile bytes = 1\n"
             "pixel 1 0 = 0.5 0.4\nPIXEL  0 0 = 0.7   0.6 # left\n",
         }) {
        const CodecFileResult read = parseCodecFile(text);
        ASSERT_TRUE(read.description) << text << "\n" << read.error;
        EXPECT_EQ(*read.description, expected) << text;
    }
}

// Formulas against C's own integer arithmetic.
TEST(CodecFormula, FollowsCArithmetic)
{
    const struct {
        const char* text;
        std::int64_t expected; // at x = 5, y = 3, p = 2
    } cases[] = {
        {"x + y * p", 5 + 3 * 2},      {"(x + y) * p", 16},        {"x - y - p", 0},
        {"x / p", 5 / 2},              {"-x / p", -5 / 2},         {"-x % p", -5 % 2},
        {"x % -3", 5 % -3},            {"- -x", 5},                {"+x", 5},
        {"0x1F + 0XA", 41},            {"7 - x % 4 * 2", 7 - 5 % 4 * 2},
        {"x < y", 0},                  {"x >= 5", 1},              {"x <= 4", 0},
        {"x > y", 1},                  {"x == 5", 1},              {"x != 5", 0},
        {"p == 0 ? 9 : x / (p - 2 + 1)", 5},                       {"x ? y ? 1 : 2 : 3", 1},
        {"y == 3 ? 0 : x / 0", 0},     {"1 + 2 < 4 ? 10 : 20", 10}, {"X + Y + P", 10},
    };
    for (const auto& c : cases) {
        std::string error;
        const std::optional<CodecFormula> formula = CodecFormula::parse(c.text, error);
        ASSERT_TRUE(formula) << c.text << ": " << error;
        EXPECT_EQ(formula->evaluate({5, 3, 2}, error), c.expected) << c.text << ": " << error;
    }
}

// Random sound descriptions: every bit a distinct place in the unit.
TEST(CodecFile, AnyDescriptionWrittenReadsBackTheSame)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 60; ++round) {
        CodecDescription d;
        d.name = "Random " + std::to_string(round) + " # (" + std::string(round % 3, ' ') + "x)";
        d.bitsPerPixel = 1 + static_cast<int>(rng() % 8);
        d.width = 1 + static_cast<int>(rng() % (round < 5 ? 32 : 9));
        d.height = 1 + static_cast<int>(rng() % (round < 5 ? 32 : 9));
        const int bits = d.width * d.height * d.bitsPerPixel;
        d.bytes = std::min(kMaxUnitBytes, (bits + 7) / 8 + static_cast<int>(rng() % 4));
        std::vector<int> places(static_cast<std::size_t>(d.bytes) * 8);
        std::iota(places.begin(), places.end(), 0);
        std::shuffle(places.begin(), places.end(), rng);
        for (int i = 0; i < bits; ++i)
            d.bits.push_back({places[static_cast<std::size_t>(i)] / 8, places[static_cast<std::size_t>(i)] % 8});
        ASSERT_EQ(descriptionProblem(d), "");
        const CodecFileResult read = parseCodecFile(writeCodecFile(d));
        ASSERT_TRUE(read.description) << read.error;
        EXPECT_EQ(*read.description, d);
    }
    // A name written trimmed, line breaks as blanks, still names the same format.
    const CodecDescription odd{" a\nb ", 1, 1, 1, 1, {{0, 3}}};
    const CodecFileResult read = parseCodecFile(writeCodecFile(odd));
    ASSERT_TRUE(read.description) << read.error;
    EXPECT_EQ(read.description->name, "a b");
    EXPECT_EQ(read.description->bits, odd.bits);
}

} // namespace
