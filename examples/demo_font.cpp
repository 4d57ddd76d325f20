#include "examples/demo_font.h"

#include "app/numbers.h"

#include <algorithm>
#include <cstddef>

namespace demo {
namespace {

struct GlyphEntry {
    char ch;
    GlyphArt art;
};

// Drawn for this demo: a bold face with two-pixel stems, 6 x 7 inside the
// 7 x 7 drawing area so neighbouring characters keep a blank column.
constexpr std::array<GlyphEntry, 47> kGlyphs{{
    {'0', {"..XXXX.", ".XX..XX", ".XX.XXX", ".XXXXXX", ".XXX.XX", ".XX..XX", "..XXXX."}},
    {'1', {"...XX..", "..XXX..", "...XX..", "...XX..", "...XX..", "...XX..", ".XXXXXX"}},
    {'2', {"..XXXX.", ".XX..XX", ".....XX", "...XXX.", "..XX...", ".XX....", ".XXXXXX"}},
    {'3', {".XXXXX.", ".....XX", ".....XX", "..XXXX.", ".....XX", ".....XX", ".XXXXX."}},
    {'4', {"....XXX", "...XXXX", "..XX.XX", ".XX..XX", ".XXXXXX", ".....XX", ".....XX"}},
    {'5', {".XXXXXX", ".XX....", ".XXXXX.", ".....XX", ".....XX", ".XX..XX", "..XXXX."}},
    {'6', {"..XXXX.", ".XX....", ".XX....", ".XXXXX.", ".XX..XX", ".XX..XX", "..XXXX."}},
    {'7', {".XXXXXX", ".....XX", "....XX.", "...XX..", "...XX..", "...XX..", "...XX.."}},
    {'8', {"..XXXX.", ".XX..XX", ".XX..XX", "..XXXX.", ".XX..XX", ".XX..XX", "..XXXX."}},
    {'9', {"..XXXX.", ".XX..XX", ".XX..XX", "..XXXXX", ".....XX", "....XX.", "..XXX.."}},
    {'A', {"..XXXX.", ".XX..XX", ".XX..XX", ".XXXXXX", ".XX..XX", ".XX..XX", ".XX..XX"}},
    {'B', {".XXXXX.", ".XX..XX", ".XX..XX", ".XXXXX.", ".XX..XX", ".XX..XX", ".XXXXX."}},
    {'C', {"..XXXX.", ".XX..XX", ".XX....", ".XX....", ".XX....", ".XX..XX", "..XXXX."}},
    {'D', {".XXXX..", ".XX.XX.", ".XX..XX", ".XX..XX", ".XX..XX", ".XX.XX.", ".XXXX.."}},
    {'E', {".XXXXXX", ".XX....", ".XX....", ".XXXXX.", ".XX....", ".XX....", ".XXXXXX"}},
    {'F', {".XXXXXX", ".XX....", ".XX....", ".XXXXX.", ".XX....", ".XX....", ".XX...."}},
    {'G', {"..XXXX.", ".XX..XX", ".XX....", ".XX.XXX", ".XX..XX", ".XX..XX", "..XXXXX"}},
    {'H', {".XX..XX", ".XX..XX", ".XX..XX", ".XXXXXX", ".XX..XX", ".XX..XX", ".XX..XX"}},
    {'I', {".XXXXXX", "...XX..", "...XX..", "...XX..", "...XX..", "...XX..", ".XXXXXX"}},
    {'J', {"....XXX", ".....XX", ".....XX", ".....XX", ".XX..XX", ".XX..XX", "..XXXX."}},
    {'K', {".XX..XX", ".XX.XX.", ".XXXX..", ".XXX...", ".XXXX..", ".XX.XX.", ".XX..XX"}},
    {'L', {".XX....", ".XX....", ".XX....", ".XX....", ".XX....", ".XX....", ".XXXXXX"}},
    {'M', {".XX..XX", ".XXXXXX", ".XXXXXX", ".XX..XX", ".XX..XX", ".XX..XX", ".XX..XX"}},
    {'N', {".XX..XX", ".XXX.XX", ".XXXXXX", ".XXXXXX", ".XX.XXX", ".XX..XX", ".XX..XX"}},
    {'O', {"..XXXX.", ".XX..XX", ".XX..XX", ".XX..XX", ".XX..XX", ".XX..XX", "..XXXX."}},
    {'P', {".XXXXX.", ".XX..XX", ".XX..XX", ".XXXXX.", ".XX....", ".XX....", ".XX...."}},
    {'Q', {"..XXXX.", ".XX..XX", ".XX..XX", ".XX..XX", ".XX.XXX", "..XXXX.", ".....XX"}},
    {'R', {".XXXXX.", ".XX..XX", ".XX..XX", ".XXXXX.", ".XXXX..", ".XX.XX.", ".XX..XX"}},
    {'S', {"..XXXXX", ".XX....", ".XX....", "..XXXX.", ".....XX", ".....XX", ".XXXXX."}},
    {'T', {".XXXXXX", "...XX..", "...XX..", "...XX..", "...XX..", "...XX..", "...XX.."}},
    {'U', {".XX..XX", ".XX..XX", ".XX..XX", ".XX..XX", ".XX..XX", ".XX..XX", "..XXXX."}},
    {'V', {".XX..XX", ".XX..XX", ".XX..XX", ".XX..XX", ".XX..XX", "..XXXX.", "...XX.."}},
    {'W', {".XX..XX", ".XX..XX", ".XX..XX", ".XX..XX", ".XXXXXX", ".XXXXXX", ".XX..XX"}},
    {'X', {".XX..XX", ".XX..XX", "..XXXX.", "...XX..", "..XXXX.", ".XX..XX", ".XX..XX"}},
    {'Y', {".XX..XX", ".XX..XX", ".XX..XX", "..XXXX.", "...XX..", "...XX..", "...XX.."}},
    {'Z', {".XXXXXX", ".....XX", "....XX.", "...XX..", "..XX...", ".XX....", ".XXXXXX"}},
    {' ', {".......", ".......", ".......", ".......", ".......", ".......", "......."}},
    {'.', {".......", ".......", ".......", ".......", ".......", "...XX..", "...XX.."}},
    {',', {".......", ".......", ".......", ".......", "...XX..", "...XX..", "..XX..."}},
    {'!', {"...XX..", "...XX..", "...XX..", "...XX..", ".......", "...XX..", "...XX.."}},
    {'?', {"..XXXX.", ".XX..XX", "....XX.", "...XX..", ".......", "...XX..", "...XX.."}},
    {'-', {".......", ".......", ".......", "..XXXX.", ".......", ".......", "......."}},
    {'\'', {"...XX..", "...XX..", "..XX...", ".......", ".......", ".......", "......."}},
    {':', {".......", "...XX..", "...XX..", ".......", ".......", "...XX..", "...XX.."}},
    {'/', {".....XX", ".....XX", "....XX.", "...XX..", "..XX...", ".XX....", ".XX...."}},
    {'(', {"....XX.", "...XX..", "..XX...", "..XX...", "..XX...", "...XX..", "....XX."}},
    {')', {"..XX...", "...XX..", "....XX.", "....XX.", "....XX.", "...XX..", "..XX..."}},
}};

constexpr bool glyphsFollowTheCharacterOrder()
{
    if (kGlyphs.size() != kCharacters.size())
        return false;
    for (std::size_t i = 0; i < kGlyphs.size(); ++i)
        if (kGlyphs[i].ch != kCharacters[i])
            return false;
    return true;
}
static_assert(glyphsFollowTheCharacterOrder(), "glyph i must draw kCharacters[i]");

// The banner's two text lines, 14 tiles each inside the frame; '*' is the heart.
constexpr std::array<std::string_view, 2> kBannerLines = {"  QUARN TILE  ", "* MAPPER DEMO*"};

constexpr bool drawableInFont(std::string_view text, char extra)
{
    for (char ch : text)
        if (ch != extra && kCharacters.find(ch) == std::string_view::npos)
            return false;
    return true;
}
constexpr bool textsAreDrawable()
{
    for (std::string_view text : kTexts)
        if (!drawableInFont(text, '\n'))
            return false;
    for (std::string_view line : kBannerLines)
        if (line.size() != kBannerColumns - 2 || !drawableInFont(line, '*'))
            return false;
    return true;
}
static_assert(textsAreDrawable());

constexpr std::size_t scriptBytes()
{
    std::size_t total = 0;
    for (std::string_view text : kTexts)
        total += text.size() + 1; // and the end code
    return total;
}
static_assert(kTextOffset + scriptBytes() <= kRomSize);
static_assert(kDecorEnd <= kBannerFirstTile);
static_assert((kBannerFirstTile + kBannerColumns * kBannerRows) * kTileBytes <= kTextOffset);

// Decorations are drawn with all four values directly, one digit per pixel.
using DigitArt = std::array<std::string_view, 8>;

// Three lines, outside to inside: values 3, 2, 1. The other corners and the
// right and bottom edges are mirror images of these.
constexpr DigitArt kFrameCornerArt = {"00333333", "03222222", "32211111", "32100000",
                                      "32100000", "32100000", "32100000", "32100000"};
constexpr DigitArt kFrameTopArt = {"33333333", "22222222", "11111111", "00000000",
                                   "00000000", "00000000", "00000000", "00000000"};
constexpr DigitArt kFrameLeftArt = {"32100000", "32100000", "32100000", "32100000",
                                    "32100000", "32100000", "32100000", "32100000"};
constexpr DigitArt kHeartArt = {"01100110", "12211221", "12322221", "12222221",
                                "01222210", "00122100", "00011000", "00000000"};
constexpr GlyphArt kArrowArt = {"...X...", "...XX..", "XXXXXX.", "XXXXXXX",
                                "XXXXXX.", "...XX..", "...X..."};
constexpr DigitArt kColourBarsArt = {"00112233", "00112233", "00112233", "00112233",
                                     "00112233", "00112233", "00112233", "00112233"};

TilePixels digitTile(const DigitArt& art)
{
    TilePixels tile{};
    for (std::size_t r = 0; r < 8; ++r)
        for (std::size_t c = 0; c < 8; ++c)
            tile[r][c] = static_cast<std::uint8_t>(art[r][c] - '0');
    return tile;
}

TilePixels mirrored(TilePixels tile, bool horizontally, bool vertically)
{
    if (horizontally)
        for (auto& row : tile)
            std::reverse(row.begin(), row.end());
    if (vertically)
        std::reverse(tile.begin(), tile.end());
    return tile;
}

// The banner's rows as tile codes: a frame around two lines of text.
std::array<std::uint8_t, kBannerColumns * kBannerRows> bannerTiles()
{
    std::array<std::uint8_t, kBannerColumns * kBannerRows> tiles{};
    auto row = [&tiles](std::size_t r) { return tiles.begin() + static_cast<std::ptrdiff_t>(r * kBannerColumns); };
    auto textRow = [](std::string_view inner) {
        std::array<std::uint8_t, kBannerColumns> codes{};
        codes.front() = kFrameLeft;
        codes.back() = kFrameRight;
        for (std::size_t i = 0; i < inner.size(); ++i)
            codes[i + 1] = inner[i] == '*' ? std::uint8_t{kHeart}
                                           : static_cast<std::uint8_t>(kCharacters.find(inner[i]));
        return codes;
    };
    std::fill(row(0), row(1), std::uint8_t{kFrameTop});
    *row(0) = kFrameTopLeft;
    *(row(1) - 1) = kFrameTopRight;
    const auto first = textRow(kBannerLines[0]);
    const auto second = textRow(kBannerLines[1]);
    std::copy(first.begin(), first.end(), row(1));
    std::copy(second.begin(), second.end(), row(2));
    std::fill(row(3), row(4), std::uint8_t{kFrameBottom});
    *row(3) = kFrameBottomLeft;
    *(row(4) - 1) = kFrameBottomRight;
    return tiles;
}

void putTile(std::vector<std::uint8_t>& rom, std::size_t tileIndex, const TilePixels& tile)
{
    const auto bytes = encodeNesTile(tile);
    std::copy(bytes.begin(), bytes.end(), rom.begin() + static_cast<std::ptrdiff_t>(tileIndex * kTileBytes));
}

} // namespace

std::optional<GlyphArt> glyphArt(char ch)
{
    const std::size_t index = kCharacters.find(ch);
    if (index == std::string_view::npos)
        return std::nullopt;
    return kGlyphs[index].art;
}

TilePixels glyphTile(const GlyphArt& art)
{
    auto stroke = [&art](int r, int c) {
        return r >= 0 && c >= 0 && r < 7 && c < 7 && art[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] == 'X';
    };
    TilePixels tile{};
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            std::uint8_t value = 0;
            if (stroke(r, c))
                value = kStrokeValue;
            else if (stroke(r, c - 1) || stroke(r - 1, c) || stroke(r - 1, c - 1))
                value = kShadowValue;
            tile[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = value;
        }
    return tile;
}

TilePixels demoTile(std::uint8_t code)
{
    if (code < kCharacters.size())
        return glyphTile(*glyphArt(kCharacters[code]));
    const TilePixels corner = digitTile(kFrameCornerArt);
    const TilePixels top = digitTile(kFrameTopArt);
    const TilePixels left = digitTile(kFrameLeftArt);
    switch (code) {
    case kFrameTopLeft: return corner;
    case kFrameTop: return top;
    case kFrameTopRight: return mirrored(corner, true, false);
    case kFrameLeft: return left;
    case kFrameRight: return mirrored(left, true, false);
    case kFrameBottomLeft: return mirrored(corner, false, true);
    case kFrameBottom: return mirrored(top, false, true);
    case kFrameBottomRight: return mirrored(corner, true, true);
    case kHeart: return digitTile(kHeartArt);
    case kArrowRight: return glyphTile(kArrowArt);
    case kColourBars: return digitTile(kColourBarsArt);
    default: return TilePixels{};
    }
}

std::array<std::uint8_t, kTileBytes> encodeNesTile(const TilePixels& tile)
{
    std::array<std::uint8_t, kTileBytes> bytes{};
    for (std::size_t r = 0; r < 8; ++r)
        for (std::size_t c = 0; c < 8; ++c) {
            const auto mask = static_cast<std::uint8_t>(0x80u >> c);
            if (tile[r][c] & 1)
                bytes[r] |= mask;
            if (tile[r][c] & 2)
                bytes[8 + r] |= mask;
        }
    return bytes;
}

std::optional<std::vector<std::uint8_t>> encodeDemoText(std::string_view text)
{
    std::vector<std::uint8_t> codes;
    codes.reserve(text.size());
    for (char ch : text) {
        if (ch == '\n') {
            codes.push_back(kLineBreakCode);
            continue;
        }
        const std::size_t index = kCharacters.find(ch);
        if (index == std::string_view::npos)
            return std::nullopt;
        codes.push_back(static_cast<std::uint8_t>(index));
    }
    return codes;
}

std::vector<std::uint8_t> buildDemoRom()
{
    std::vector<std::uint8_t> rom(kRomSize, kPaddingByte);
    for (int code = 0; code < kDecorEnd; ++code)
        putTile(rom, static_cast<std::size_t>(code), demoTile(static_cast<std::uint8_t>(code)));

    const auto banner = bannerTiles();
    for (std::size_t i = 0; i < banner.size(); ++i)
        putTile(rom, kBannerFirstTile + i, demoTile(banner[i]));

    std::size_t at = kTextOffset;
    for (std::string_view text : kTexts) {
        // Checked at compile time: every character of the texts is in the font.
        const std::vector<std::uint8_t> codes = *encodeDemoText(text);
        std::copy(codes.begin(), codes.end(), rom.begin() + static_cast<std::ptrdiff_t>(at));
        at += codes.size();
        rom[at++] = kEndCode;
    }
    return rom;
}

std::string buildDemoTable()
{
    std::string table(kTableAddressLine);
    table += "\r\n";
    for (std::size_t code = 0; code < kCharacters.size(); ++code) {
        table += hexText(static_cast<std::uint32_t>(code), 2);
        table += '=';
        table += kCharacters[code];
        table += "\r\n";
    }
    table += '*';
    table += hexText(kLineBreakCode, 2);
    table += "\r\n/";
    table += hexText(kEndCode, 2);
    table += "\r\n";
    return table;
}

} // namespace demo
