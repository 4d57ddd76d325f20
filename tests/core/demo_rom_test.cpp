#include "examples/demo_font.h"

#include "tiles/codecs.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr Codec kNesCodec = Codec::Nes;

// Pixel values of ROM tile `index` as digit rows, read through the codec.
std::vector<std::string> decodedRows(const std::vector<std::uint8_t>& rom, std::size_t index)
{
    std::vector<std::string> rows;
    const std::uint8_t* unit = rom.data() + index * demo::kTileBytes;
    for (int r = 0; r < 8; ++r) {
        std::string row;
        for (int c = 0; c < 8; ++c)
            row += static_cast<char>('0' + unitPixelValue(kNesCodec, unit, r, c));
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> digitRows(const demo::TilePixels& tile)
{
    std::vector<std::string> rows;
    for (const auto& line : tile) {
        std::string row;
        for (std::uint8_t v : line)
            row += static_cast<char>('0' + v);
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> splitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

TEST(DemoRom, SizeAndPadding)
{
    const std::vector<std::uint8_t> rom = demo::buildDemoRom();
    ASSERT_EQ(rom.size(), 16384u);
    // Between the banner and the script, and after the script, only padding.
    const std::size_t bannerEnd =
        (demo::kBannerFirstTile + demo::kBannerColumns * demo::kBannerRows) * demo::kTileBytes;
    for (std::size_t i = bannerEnd; i < demo::kTextOffset; ++i)
        ASSERT_EQ(rom[i], 0) << i;
    EXPECT_EQ(rom.back(), 0);
    EXPECT_EQ(demo::buildDemoRom(), rom) << "the generator is deterministic";
}

TEST(DemoRom, LayoutCodes)
{
    EXPECT_EQ(demo::kCharacters.find('0'), 0x00u);
    EXPECT_EQ(demo::kCharacters.find('9'), 0x09u);
    EXPECT_EQ(demo::kCharacters.find('A'), 0x0Au);
    EXPECT_EQ(demo::kCharacters.find('Z'), 0x23u);
    EXPECT_EQ(demo::kCharacters.find(' '), 0x24u);
    EXPECT_EQ(demo::kCharacters.find('.'), 0x25u);
    for (char ch : std::string_view(".,!?-':"))
        EXPECT_NE(demo::kCharacters.find(ch), std::string_view::npos) << ch;
    // One code per character.
    EXPECT_EQ(std::set<char>(demo::kCharacters.begin(), demo::kCharacters.end()).size(),
              demo::kCharacters.size());
    // The script names the frame tiles' codes.
    EXPECT_EQ(demo::kFrameTopLeft, 0x2F);
    EXPECT_EQ(demo::kFrameBottomRight, 0x36);
}

TEST(DemoRom, LetterADecodesToItsDrawing)
{
    const std::vector<std::uint8_t> rom = demo::buildDemoRom();
    // 3 is the stroke, 1 the shadow right of and below it.
    const std::vector<std::string> expected = {
        "00333310", //
        "03311331", //
        "03310331", //
        "03333331", //
        "03311331", //
        "03310331", //
        "03310331", //
        "01110111", //
    };
    EXPECT_EQ(decodedRows(rom, 0x0A), expected);
}

TEST(DemoRom, EveryTileDecodesToItsPixels)
{
    const std::vector<std::uint8_t> rom = demo::buildDemoRom();
    for (int code = 0; code < demo::kDecorEnd; ++code)
        EXPECT_EQ(decodedRows(rom, static_cast<std::size_t>(code)),
                  digitRows(demo::demoTile(static_cast<std::uint8_t>(code))))
            << "tile " << code;
}

TEST(DemoRom, GlyphsAreDistinctAndUseStrokeAndShadow)
{
    std::map<std::vector<std::string>, char> seen;
    for (char ch : demo::kCharacters) {
        const auto art = demo::glyphArt(ch);
        ASSERT_TRUE(art) << ch;
        for (std::string_view row : *art) {
            ASSERT_EQ(row.size(), 7u) << ch;
            EXPECT_EQ(row.find_first_not_of(".X"), std::string_view::npos) << ch;
        }
        const demo::TilePixels tile = demo::glyphTile(*art);
        const auto rows = digitRows(tile);
        const auto [it, inserted] = seen.emplace(rows, ch);
        EXPECT_TRUE(inserted) << ch << " looks like " << it->second;
        if (ch == ' ')
            continue;
        std::set<std::uint8_t> values;
        for (const auto& line : tile)
            values.insert(line.begin(), line.end());
        EXPECT_EQ(values, (std::set<std::uint8_t>{0, 1, 3})) << ch;
    }
    EXPECT_FALSE(demo::glyphArt('a'));
    EXPECT_FALSE(demo::glyphArt('\0'));
}

TEST(DemoRom, ShadowFallsRightAndDown)
{
    const demo::GlyphArt dot = {".......", ".......", ".......", "...X...", ".......", ".......", "......."};
    const std::vector<std::string> expected = {
        "00000000", "00000000", "00000000", "00031000",
        "00011000", "00000000", "00000000", "00000000",
    };
    EXPECT_EQ(digitRows(demo::glyphTile(dot)), expected);

    // The eighth row and column hold the shadow of the drawing's edge.
    const demo::GlyphArt corner = {"......X", ".......", ".......", ".......", ".......", ".......", "......X"};
    const auto rows = digitRows(demo::glyphTile(corner));
    EXPECT_EQ(rows[0], "00000031");
    EXPECT_EQ(rows[1], "00000011");
    EXPECT_EQ(rows[6], "00000031");
    EXPECT_EQ(rows[7], "00000011");
}

TEST(DemoRom, NesEncodingBitPlanes)
{
    demo::TilePixels tile{};
    tile[0][0] = 1; // bit 0 only: byte 0 bit 7
    tile[2][7] = 2; // bit 1 only: byte 10 bit 0
    tile[7][3] = 3; // both: bytes 7 and 15, bit 4
    const auto bytes = demo::encodeNesTile(tile);
    const std::array<std::uint8_t, 16> expected = {0x80, 0, 0, 0, 0, 0, 0, 0x10,
                                                   0,    0, 0x01, 0, 0, 0, 0, 0x10};
    EXPECT_EQ(bytes, expected);
}

TEST(DemoRom, BannerIsBuiltFromTheTiles)
{
    const std::vector<std::uint8_t> rom = demo::buildDemoRom();
    auto bannerTile = [&rom](std::size_t row, std::size_t column) {
        return decodedRows(rom, demo::kBannerFirstTile + row * demo::kBannerColumns + column);
    };
    auto tileOf = [](std::uint8_t code) { return digitRows(demo::demoTile(code)); };
    EXPECT_EQ(bannerTile(0, 0), tileOf(demo::kFrameTopLeft));
    EXPECT_EQ(bannerTile(0, 7), tileOf(demo::kFrameTop));
    EXPECT_EQ(bannerTile(0, 15), tileOf(demo::kFrameTopRight));
    EXPECT_EQ(bannerTile(1, 0), tileOf(demo::kFrameLeft));
    EXPECT_EQ(bannerTile(1, 15), tileOf(demo::kFrameRight));
    EXPECT_EQ(bannerTile(3, 0), tileOf(demo::kFrameBottomLeft));
    EXPECT_EQ(bannerTile(3, 15), tileOf(demo::kFrameBottomRight));
    EXPECT_EQ(bannerTile(1, 3), tileOf(0x1A)); // "  QUARN": Q
    EXPECT_EQ(bannerTile(2, 1), tileOf(demo::kHeart));
    // Frame pieces join: the corner's inner lines continue the edges.
    EXPECT_EQ(tileOf(demo::kFrameTopLeft)[7], tileOf(demo::kFrameLeft)[7]);
    EXPECT_EQ(tileOf(demo::kFrameTopLeft)[2].substr(3), tileOf(demo::kFrameTop)[2].substr(3));
}

TEST(DemoRom, TableFormat)
{
    const std::vector<std::string> lines = splitCrLf(demo::buildDemoTable());
    ASSERT_EQ(lines.size(), 1 + demo::kCharacters.size() + 2);
    EXPECT_EQ(lines.front(), "H000000");
    EXPECT_EQ(lines[1], "00=0");
    EXPECT_EQ(lines[1 + 0x0A], "0A=A");
    EXPECT_EQ(lines[1 + 0x23], "23=Z");
    EXPECT_EQ(lines[1 + 0x24], "24= ");
    EXPECT_EQ(lines[1 + 0x2A], "2A='");
    EXPECT_EQ(lines[lines.size() - 2], "*FE");
    EXPECT_EQ(lines.back(), "/FF");
}

// Reads the script the way a table user would: codes through the table's
// entries, "*" code as a line break, "/" code ends a string.
TEST(DemoRom, ScriptReadsBackThroughTheTable)
{
    const std::vector<std::uint8_t> rom = demo::buildDemoRom();
    const std::vector<std::string> lines = splitCrLf(demo::buildDemoTable());
    std::map<int, std::string> entries;
    int lineBreak = -1;
    int end = -1;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.size() == 3 && line[0] == '*')
            lineBreak = std::stoi(line.substr(1), nullptr, 16);
        else if (line.size() == 3 && line[0] == '/')
            end = std::stoi(line.substr(1), nullptr, 16);
        else if (line.size() > 3 && line[2] == '=')
            entries[std::stoi(line.substr(0, 2), nullptr, 16)] = line.substr(3);
        else
            ADD_FAILURE() << "unexpected table line " << line;
    }
    ASSERT_EQ(lineBreak, demo::kLineBreakCode);
    ASSERT_EQ(end, demo::kEndCode);

    std::vector<std::string> strings;
    std::string current;
    std::size_t at = demo::kTextOffset;
    for (; at < rom.size() && strings.size() < demo::kTexts.size(); ++at) {
        const int code = rom[at];
        if (code == end) {
            strings.push_back(current);
            current.clear();
        } else if (code == lineBreak) {
            current += '\n';
        } else {
            ASSERT_TRUE(entries.count(code)) << "code " << code << " at " << at;
            current += entries[code];
        }
    }
    ASSERT_EQ(strings.size(), demo::kTexts.size());
    for (std::size_t i = 0; i < strings.size(); ++i)
        EXPECT_EQ(strings[i], demo::kTexts[i]);
    EXPECT_EQ(rom[at], 0) << "padding after the last end code";
    EXPECT_EQ(demo::kTexts[0], "QUARN TILE MAPPER DEMO");
}

TEST(DemoRom, TextEncoding)
{
    EXPECT_EQ(demo::encodeDemoText("A1 ?\nZ"),
              (std::vector<std::uint8_t>{0x0A, 0x01, 0x24, 0x28, 0xFE, 0x23}));
    EXPECT_EQ(demo::encodeDemoText(""), std::vector<std::uint8_t>{});
    EXPECT_FALSE(demo::encodeDemoText("lower case"));
    EXPECT_FALSE(demo::encodeDemoText("A=B"));
}

} // namespace
