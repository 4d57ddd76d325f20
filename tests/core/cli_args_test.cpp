#include "cli/args.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;

RenderCommand parseRenderOk(const Words& args)
{
    const ParseResult result = parseArguments(args);
    EXPECT_TRUE(result.error.empty()) << result.error;
    if (!result.command || !std::holds_alternative<RenderCommand>(*result.command)) {
        ADD_FAILURE() << "not a render command";
        return {};
    }
    return std::get<RenderCommand>(*result.command);
}

ImportCommand parseImportOk(const Words& args)
{
    const ParseResult result = parseArguments(args);
    EXPECT_TRUE(result.error.empty()) << result.error;
    if (!result.command || !std::holds_alternative<ImportCommand>(*result.command)) {
        ADD_FAILURE() << "not an import command";
        return {};
    }
    return std::get<ImportCommand>(*result.command);
}

TEST(CliArgs, RenderDefaultsFollowTheProgram)
{
    const RenderCommand render = parseRenderOk({"render", "game.nes", "-o", "map.bmp"});
    EXPECT_EQ(render.romPath, "game.nes");
    EXPECT_EQ(render.outputPath, "map.bmp");
    EXPECT_EQ(render.codec, Codec::Nes); // .nes is "2BPP NES"
    EXPECT_EQ(render.position, 0);
    EXPECT_EQ(render.geometry, TileGeometry{});
    EXPECT_EQ(render.geometry, (TileGeometry{8, 8, 1, 1}));
    EXPECT_EQ(render.palettePath, "");
}

TEST(CliArgs, DefaultCodecComesFromTheRomExtension)
{
    const struct {
        const char* rom;
        Codec codec;
    } cases[] = {
        {"a.nes", Codec::Nes},   {"a.GBC", Codec::GameBoy},   {"a.gba", Codec::Gba},
        {"a.smc", Codec::Snes},  {"a.bin", Codec::Genesis},   {"a.gg", Codec::Sms},
        {"a.ngp", Codec::Ngp},   {"a.chr", Codec::OneBpp},    {"noextension", Codec::OneBpp},
        {"dir.nes/rom", Codec::OneBpp},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseRenderOk({"render", c.rom, "-o", "x.bmp"}).codec, c.codec) << c.rom;
}

TEST(CliArgs, AllOptionsInBothSpellings)
{
    const RenderCommand spaced = parseRenderOk({"render", "--codec", "4BPP GBA", "--position", "H1F00",
                                                "--tile", "16x8", "--block", "2X3", "--output",
                                                "o.png", "rom.nes"});
    const RenderCommand joined = parseRenderOk({"render", "rom.nes", "--codec=4BPP GBA",
                                                "--position=H1F00", "--tile=16x8", "--block=2X3",
                                                "--output=o.png"});
    EXPECT_EQ(spaced, joined);
    EXPECT_EQ(spaced.codec, Codec::Gba);
    EXPECT_EQ(spaced.position, 0x1F00);
    EXPECT_EQ(spaced.geometry, (TileGeometry{16, 8, 2, 3}));
    EXPECT_EQ(spaced.outputPath, "o.png");
    EXPECT_EQ(spaced.romPath, "rom.nes");
}

TEST(CliArgs, RenderTakesAPalette)
{
    EXPECT_EQ(parseRenderOk({"render", "r.nes", "-o", "o.bmp", "--palette", "my.act"}).palettePath, "my.act");
    EXPECT_EQ(parseRenderOk({"render", "r.nes", "-o", "o.bmp", "--palette=p.pal"}).palettePath, "p.pal");
}

TEST(CliArgs, ImportTakesTheRomThePictureAndTheMapOptions)
{
    const ImportCommand plain = parseImportOk({"import", "game.gba", "map.png"});
    EXPECT_EQ(plain.romPath, "game.gba");
    EXPECT_EQ(plain.imagePath, "map.png");
    EXPECT_EQ(plain.codec, Codec::Gba); // by the ROM's extension, as render
    EXPECT_EQ(plain.position, 0);
    EXPECT_EQ(plain.geometry, TileGeometry{});
    EXPECT_EQ(plain.palettePath, "");

    const ImportCommand full = parseImportOk({"import", "--codec", "2bpp gb", "game.nes", "--position=H200",
                                              "--tile", "4x16", "map.bmp", "--block", "3x2", "--palette",
                                              "x.pal"});
    EXPECT_EQ(full.romPath, "game.nes");
    EXPECT_EQ(full.imagePath, "map.bmp");
    EXPECT_EQ(full.codec, Codec::GameBoy);
    EXPECT_EQ(full.position, 0x200);
    EXPECT_EQ(full.geometry, (TileGeometry{4, 16, 3, 2}));
    EXPECT_EQ(full.palettePath, "x.pal");

    const ParseResult help = parseArguments({"import", "a.nes", "-h"});
    ASSERT_TRUE(help.command);
    EXPECT_TRUE(std::holds_alternative<HelpCommand>(*help.command));
}

TEST(CliArgs, FileNamesMayLookLikeOptionsOrCommands)
{
    EXPECT_EQ(parseRenderOk({"render", "-o", "out.bmp", "--", "-rom.nes"}).romPath, "-rom.nes");
    const ImportCommand dashed = parseImportOk({"import", "--codec", "1", "--", "-a.nes", "--codec"});
    EXPECT_EQ(dashed.imagePath, "--codec");
    // Once a command is chosen, the other commands' names are file names.
    EXPECT_EQ(parseRenderOk({"render", "import", "-o", "help"}).romPath, "import");
    const ImportCommand named = parseImportOk({"import", "decode", "render"});
    EXPECT_EQ(named.romPath, "decode");
    EXPECT_EQ(named.imagePath, "render");
}

// Random map options, written in every accepted form and order, come back as
// the values they stand for.
TEST(CliArgs, MapOptionsRoundTripThroughTheCommandLine)
{
    std::mt19937 random(20240611);
    const auto coin = [&random] { return std::bernoulli_distribution()(random); };
    const auto upTo16 = [&random] { return std::uniform_int_distribution<int>(1, 16)(random); };
    const auto anyCase = [&](std::string_view text) {
        std::string mixed;
        for (unsigned char ch : text)
            mixed += static_cast<char>(coin() ? std::toupper(ch) : std::tolower(ch));
        return mixed;
    };
    const auto sizeText = [&](int w, int h) { return std::to_string(w) + (coin() ? "x" : "X") + std::to_string(h); };
    for (int round = 0; round < 300; ++round) {
        RenderCommand expected;
        expected.romPath = "game.chr";
        expected.outputPath = "out.png";
        expected.codec = kAllCodecs[std::uniform_int_distribution<std::size_t>(0, kCodecCount - 1)(random)];
        expected.position = std::uniform_int_distribution<std::int32_t>(0, 2147483647)(random);
        expected.geometry = {upTo16(), upTo16(), upTo16(), upTo16()};
        expected.paletteAt = std::uniform_int_distribution<std::int32_t>(0, 65535)(random);
        expected.paletteFormat = static_cast<ColourFormat>(std::uniform_int_distribution<int>(0, 4)(random));
        std::ostringstream hex;
        hex << (coin() ? "H" : "h") << std::hex << (coin() ? std::uppercase : std::nouppercase) << expected.position;
        const std::pair<std::string, std::string> options[] = {
            {"--codec", coin() ? std::to_string(codecIndex(expected.codec))
                               : anyCase(codecName(expected.codec))},
            {"--position", coin() ? std::to_string(expected.position) : hex.str()},
            {"--tile", sizeText(expected.geometry.tileWidth, expected.geometry.tileHeight)},
            {"--block", sizeText(expected.geometry.blockWidth, expected.geometry.blockHeight)},
            {coin() ? "-o" : "--output", expected.outputPath},
            {"--palette-at", std::to_string(expected.paletteAt)},
            {"--palette-format", std::string(colourFormatName(expected.paletteFormat))},
        };
        std::vector<Words> groups{{expected.romPath}};
        for (const auto& [name, value] : options)
            groups.push_back(coin() && name.starts_with("--") ? Words{name + "=" + value} : Words{name, value});
        std::shuffle(groups.begin(), groups.end(), random);
        Words args{"render"};
        for (const Words& group : groups)
            args.insert(args.end(), group.begin(), group.end());
        EXPECT_EQ(parseRenderOk(args), expected) << ::testing::PrintToString(args);
    }
}

TEST(CliArgs, PositionForms)
{
    const struct {
        const char* text;
        std::int32_t value;
    } good[] = {
        {"0", 0},          {"H0", 0},          {"h1f00", 0x1F00},       {"H1F00", 0x1F00},
        {"256", 256},      {"H100", 256},      {"2147483647", 2147483647}, {"H7FFFFFFF", 0x7FFFFFFF},
        {"99999999", 99999999}, // past any ROM: allowed, drawn black
    };
    for (const auto& c : good)
        EXPECT_EQ(parseRenderOk({"render", "r.nes", "-o", "o.bmp", "--position", c.text}).position,
                  c.value)
            << c.text;

    const char* bad[] = {"",    "H",    "Hxyz", "-5",         "2147483648", "HFFFFFFFF",
                         "H80000000", "0x10", "1F00", "H123456789", " 1",    "1e3"};
    for (const char* text : bad) {
        const ParseResult result = parseArguments({"render", "r.nes", "-o", "o.bmp", "--position", text});
        EXPECT_FALSE(result.command) << text;
        EXPECT_NE(result.error.find("position"), std::string::npos) << result.error;
    }
}

TEST(CliArgs, SizeForms)
{
    EXPECT_EQ(parseSizeArgument("8x8"), (TileSize{8, 8}));
    EXPECT_EQ(parseSizeArgument("8X8"), (TileSize{8, 8}));
    EXPECT_EQ(parseSizeArgument("1x16"), (TileSize{1, 16}));
    EXPECT_EQ(parseSizeArgument("16x1"), (TileSize{16, 1}));
    EXPECT_EQ(parseSizeArgument("03x5"), (TileSize{3, 5}));

    for (const char* text : {"", "x", "8", "8x", "x8", "0x8", "8x0", "17x8", "8x17", "8x8x8", "-8x8",
                             "+8x8", "8 x8", "8*8", "axb", "100000000000x1"})
        EXPECT_FALSE(parseSizeArgument(text)) << text;
}

TEST(CliArgs, BadGeometryNamesTheOption)
{
    for (const char* option : {"--tile", "--block"}) {
        const ParseResult result = parseArguments({"render", "r.nes", "-o", "o.bmp", option, "17x8"});
        EXPECT_FALSE(result.command);
        EXPECT_NE(result.error.find(std::string(option).substr(2)), std::string::npos) << result.error;
        EXPECT_NE(result.error.find("17x8"), std::string::npos) << result.error;
    }
}

TEST(CliArgs, CodecByNameOrIndex)
{
    for (int i = 0; i < kCodecCount; ++i) {
        EXPECT_EQ(parseCodecArgument(std::to_string(i)), codecFromIndex(i));
        EXPECT_EQ(parseCodecArgument(codecName(kAllCodecs[static_cast<std::size_t>(i)])), codecFromIndex(i));
    }
    EXPECT_EQ(parseCodecArgument("2bpp nes"), Codec::Nes);
    EXPECT_EQ(parseCodecArgument("4bpp snes (MIRRORED)"), Codec::SnesMirrored);
    EXPECT_EQ(parseCodecArgument("4BPP SNES"), Codec::Snes); // not taken for the mirrored one

    for (const char* text : {"", "16", "255", "-1", "01x", "2BPP", "2BPP  NES", " 2BPP NES", "NES", "4BPP SNES (mirrored"})
        EXPECT_FALSE(parseCodecArgument(text)) << text;
}

TEST(CliArgs, ExplicitCodecOverridesTheExtension)
{
    EXPECT_EQ(parseRenderOk({"render", "game.nes", "-o", "o.bmp", "--codec", "0"}).codec, Codec::OneBpp);
    EXPECT_EQ(parseRenderOk({"render", "game.chr", "-o", "o.bmp", "--codec", "2bpp gb"}).codec, Codec::GameBoy);
}

TEST(CliArgs, HelpWins)
{
    const struct {
        Words args;
        const char* usage; // the synopsis the help starts its usage with
    } helps[] = {
        {{"--help"}, "Usage:\n  quarn-tool render ROM"},
        {{"-h"}, "Usage:\n  quarn-tool render ROM"},
        {{"help"}, "Usage:\n  quarn-tool render ROM"},
        {{"render", "--help"}, "Usage: quarn-tool render ROM -o OUT.bmp"},
        {{"render", "-h"}, "Usage: quarn-tool render ROM -o OUT.bmp"},
        {{"render", "rom.nes", "--tile", "99x99", "-h"}, "Usage: quarn-tool render ROM"},
        {{"decode", "--at", "-1", "--help"}, "Usage: quarn-tool decode ROM -t T.tbl --at P -n N"},
        {{"encode", "--help", "--zoom"}, "Usage: quarn-tool encode -t T.tbl TEXT"},
    };
    for (const auto& [args, usage] : helps) {
        const ParseResult result = parseArguments(args);
        ASSERT_TRUE(result.command) << args.front() << ": " << result.error;
        EXPECT_EQ(result.exitCode, kExitOk);
        const auto* help = std::get_if<HelpCommand>(&*result.command);
        ASSERT_NE(help, nullptr);
        EXPECT_NE(help->text.find(usage), std::string::npos) << help->text;
    }
    // After "--" it is a file name.
    const RenderCommand render = parseRenderOk({"render", "-o", "o.bmp", "--", "-h"});
    EXPECT_EQ(render.romPath, "-h");
}

TEST(CliArgs, BadArgumentsGiveAMessage)
{
    const struct {
        Words args;
        const char* messagePart;
    } cases[] = {
        {{}, "no command"},
        {{"draw", "r.nes"}, "unknown command 'draw'"},
        {{"--zoom"}, "--zoom"},
        {{"render"}, "render: ROM is required"},
        {{"render", "r.nes"}, "--output is required"},
        {{"render", "-o", "o.bmp"}, "ROM is required"},
        {{"render", "a.nes", "b.nes", "-o", "o.bmp"}, "b.nes"},
        {{"render", "r.nes", "-o"}, "--output"},
        {{"render", "r.nes", "-o", "o.bmp", "--codec"}, "--codec"},
        {{"render", "r.nes", "-o", "o.bmp", "--zoom", "2"}, "--zoom"},
        {{"render", "r.nes", "-o", "o.bmp", "--zoom=2"}, "--zoom"},
        {{"render", "r.nes", "-o", "o.bmp", "-x"}, "-x"},
        {{"render", "r.nes", "-o", "a.bmp", "-o", "b.bmp"}, "--output: At Most 1"},
        {{"render", "r.nes", "-o", "a.bmp", "--tile", "8x8", "--tile=8x8"}, "--tile: At Most 1"},
        {{"render", "r.nes", "--output="}, "--output"},
        {{"render", "r.nes", "--output", ""}, "--output: the file name is empty"},
        {{"render", "", "-o", "o.bmp"}, "ROM: the file name is empty"},
        {{"render", "r.nes", "-o", "o.bmp", "--codec", "SNES"}, "--codec: unknown codec 'SNES'"},
        {{"render", "r.nes", "-o", "o.bmp", "--codec", "16"}, "unknown codec '16': give a name such as \"2BPP NES\" or an index 0 to 15"},
        {{"render", "r.nes", "-o", "o.bmp", "--position", "Hxyz"}, "--position: 'Hxyz' is not a number"},
        {{"render", "r.nes", "-o", "o.bmp", "--position", "HFFFFFFFF"}, "from 0 to 2147483647"},
        {{"render", "r.nes", "-o", "o.bmp", "--block", "0x1"}, "--block: '0x1' is not WxH"},
        {{"render", "r.nes", "-o", "o.bmp", "--palette", ""}, "--palette: the file name is empty"},
        {{"render", "r.nes", "-o", "o.bmp", "--palette-at", "H10"}, "--palette-at requires --palette-format"},
        {{"map", "r.nes", "--at", "0", "--width", "1", "--height", "1", "-o", "o.bmp", "--palette-format", "nes"},
         "--palette-format requires --palette-at"},
        {{"import", "r.nes", "a.bmp", "--palette-at", "0", "--palette-format", "SNES"},
         "--palette-format: unknown colour format 'SNES': give one of bgr555|genesis|sms|gg|nes"},
        {{"render", "r.nes", "-o", "o.bmp", "--palette", "p.pal", "--palette-at", "0", "--palette-format", "gg"},
         "--palette excludes --palette-at"},
        {{"import"}, "import: ROM is required"},
        {{"import", "r.nes"}, "IMAGE is required"},
        {{"import", "r.nes", "a.bmp", "b.bmp"}, "b.bmp"},
        {{"import", "r.nes", "a.bmp", "-o", "x.bmp"}, "-o"},
        {{"import", "r.nes", "a.bmp", "--codec", "17"}, "import: --codec: unknown codec '17'"},
        {{"import", "r.nes", "a.bmp", "--tile", "8x0"}, "--tile: '8x0' is not WxH"},
        {{"import", "r.nes", "a.bmp", "--position", "-1"}, "--position: '-1'"},
        {{"import", "r.nes", "a.bmp", "--palette"}, "--palette"},
        {{"render", "r.nes", "-o", "o.bmp", "import"}, "import"},
        {{"decode", "r.nes", "-t", "t.tbl", "--at", "0", "-n", "0"}, "--length: '0' is not a number from 1"},
    };
    for (const auto& c : cases) {
        const ParseResult result = parseArguments(c.args);
        EXPECT_FALSE(result.command) << c.messagePart;
        EXPECT_EQ(result.exitCode, kExitUsage) << c.messagePart;
        EXPECT_NE(result.error.find(c.messagePart), std::string::npos)
            << "expected \"" << c.messagePart << "\" in \"" << result.error << "\"";
    }
}

TEST(CliArgs, HelpListsCommandsOptionsCodecsAndNumberForms)
{
    const auto helpOf = [](const Words& args) {
        const ParseResult result = parseArguments(args);
        const auto* help = result.command ? std::get_if<HelpCommand>(&*result.command) : nullptr;
        return help ? help->text : "no help: " + result.error;
    };
    const std::string tool = usageText();
    EXPECT_EQ(helpOf({"--help"}), tool);
    EXPECT_EQ(helpOf({"help"}), tool);
    const struct {
        Words args;
        std::vector<const char*> parts;
        bool listsCodecs;
    } helps[] = {
        {{"--help"}, {"quarn-tool import ROM IMAGE", "quarn-tool encode -t T.tbl TEXT", "Exit status"}, true},
        {{"render", "-h"}, {"-o,--output", "--codec", "--position", "--tile", "--block", "--palette"}, true},
        {{"import", "-h"}, {"IMAGE", "--codec", "--position", "--tile", "--block", "--palette"}, true},
        {{"decode", "-h"}, {"-t,--table", "--at", "-n,--length", "--codepage NAME=windows-1252"}, false},
        {{"encode", "-h"}, {"-t,--table", "TEXT", "--codepage"}, false},
    };
    for (const auto& [args, parts, listsCodecs] : helps) {
        const std::string text = helpOf(args);
        for (const char* part : parts)
            EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
        if (args.front() != "encode") {
            EXPECT_NE(text.find("H and hexadecimal digits (H1F00"), std::string::npos) << text;
        }
        for (int i = 0; i < kCodecCount; ++i) {
            const std::string line =
                "  " + std::to_string(i) + "  " + std::string(codecName(*codecFromIndex(i))) + "\n";
            EXPECT_EQ(text.find(line) != std::string::npos, listsCodecs) << line << " in\n" << text;
        }
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            EXPECT_LE(line.size(), 79U) << line;
    }
}

} // namespace

TEST(CliArgs, DecodeNeedsTableStartAndLength)
{
    const ParseResult ok = parseArguments({"decode", "game.nes", "--table", "t.tbl", "--at", "H1F00", "-n", "12"});
    ASSERT_TRUE(ok.command) << ok.error;
    const auto* decode = std::get_if<DecodeCommand>(&*ok.command);
    ASSERT_NE(decode, nullptr);
    EXPECT_EQ(decode->romPath, "game.nes");
    EXPECT_EQ(decode->tablePath, "t.tbl");
    EXPECT_EQ(decode->at, 0x1F00);
    EXPECT_EQ(decode->length, 12);
    EXPECT_EQ(decode->codePage, "windows-1252");

    const std::vector<std::vector<std::string>> bad{
        {"decode", "game.nes", "--at", "0", "--length", "1"},
        {"decode", "game.nes", "--table", "t.tbl", "--length", "1"},
        {"decode", "game.nes", "--table", "t.tbl", "--at", "0"},
        {"decode", "game.nes", "--table", "t.tbl", "--at", "0", "--length", "0"},
        {"decode", "game.nes", "--table", "t.tbl", "--at", "-1", "--length", "1"},
        {"decode", "game.nes", "--table", "t.tbl", "--at", "Hxyz", "--length", "1"},
        {"decode", "--table", "t.tbl", "--at", "0", "--length", "1"},
        {"decode", "a.nes", "b.nes", "--table", "t.tbl", "--at", "0", "--length", "1"},
    };
    for (const auto& args : bad) {
        const ParseResult result = parseArguments(args);
        EXPECT_FALSE(result.command) << args.size();
        EXPECT_NE(result.error.find("decode"), std::string::npos) << result.error;
    }
}

TEST(CliArgs, EncodeTakesOneTextAndATable)
{
    const ParseResult ok = parseArguments({"encode", "--table", "t.tbl", "--codepage", "windows-1251", "A B"});
    ASSERT_TRUE(ok.command) << ok.error;
    const auto* encode = std::get_if<EncodeCommand>(&*ok.command);
    ASSERT_NE(encode, nullptr);
    EXPECT_EQ(encode->text, "A B");
    EXPECT_EQ(encode->codePage, "windows-1251");
    EXPECT_FALSE(parseArguments({"encode", "--table", "t.tbl"}).command);
    EXPECT_FALSE(parseArguments({"encode", "A"}).command);
    EXPECT_FALSE(parseArguments({"encode", "--table", "t.tbl", "A", "B"}).command);
}

TEST(CliArgs, DumpAndInsertTakeARangeOrAStart)
{
    const ParseResult dump =
        parseArguments({"dump", "game.nes", "-t", "t.tbl", "--from", "H1000", "--to", "4351", "--codepage", "koi8-r"});
    ASSERT_TRUE(dump.command) << dump.error;
    EXPECT_EQ(std::get<DumpCommand>(*dump.command),
              (DumpCommand{"game.nes", "t.tbl", 0x1000, 4351, "", "koi8-r"}));
    const ParseResult insert = parseArguments({"insert", "game.nes", "in.txt", "--table=t.tbl", "--at", "h10"});
    ASSERT_TRUE(insert.command) << insert.error;
    EXPECT_EQ(std::get<InsertCommand>(*insert.command), (InsertCommand{"game.nes", "in.txt", "t.tbl", 16}));

    const std::vector<std::vector<std::string>> bad{
        {"dump", "game.nes", "-t", "t.tbl", "--from", "0"},
        {"dump", "game.nes", "--from", "0", "--to", "1"},
        {"dump", "game.nes", "-t", "t.tbl", "--from", "-1", "--to", "1"},
        {"insert", "game.nes", "-t", "t.tbl", "--at", "0"},
        {"insert", "game.nes", "in.txt", "-t", "t.tbl"},
        {"insert", "game.nes", "in.txt", "-t", "t.tbl", "--at", "H"},
    };
    for (const auto& args : bad) {
        const ParseResult result = parseArguments(args);
        EXPECT_FALSE(result.command) << args.size();
        EXPECT_EQ(result.exitCode, kExitUsage);
    }
}

TEST(CliArgs, SearchTakesExactlyOnePattern)
{
    const ParseResult text = parseArguments(
        {"search", "g.nes", "--text", "HI", "-t", "t.tbl", "--one-byte-per-char", "--interval", "3", "--from", "H10"});
    ASSERT_TRUE(text.command) << text.error;
    SearchCommand expected{"g.nes", SearchCommand::Mode::Text, "HI", "t.tbl", true, 3, 16};
    EXPECT_EQ(std::get<SearchCommand>(*text.command), expected);
    const ParseResult relative = parseArguments({"search", "g.nes", "--relative", "word"});
    ASSERT_TRUE(relative.command) << relative.error;
    EXPECT_EQ(std::get<SearchCommand>(*relative.command).mode, SearchCommand::Mode::Relative);
    const ParseResult table = parseArguments({"make-table", "r.rss", "--line", "2", "-o", "t.tbl", "--position", "H20"});
    ASSERT_TRUE(table.command) << table.error;
    EXPECT_EQ(std::get<MakeTableCommand>(*table.command), (MakeTableCommand{"r.rss", 2, "t.tbl", 0x20}));

    const std::vector<std::vector<std::string>> bad{
        {"search", "g.nes"},
        {"search", "g.nes", "--hex", "41", "--relative", "ab"},
        {"search", "g.nes", "--text", "HI"},
        {"search", "g.nes", "--hex", "41", "--one-byte-per-char"},
        {"search", "g.nes", "--hex", "41", "--interval", "100"},
        {"search", "g.nes", "stray", "--unknown"}, // once parsed forever
        {"make-table", "r.rss", "--line", "0", "-o", "t.tbl"},
        {"make-table", "r.rss", "--line", "1"},
    };
    for (const auto& args : bad) {
        const ParseResult result = parseArguments(args);
        EXPECT_FALSE(result.command) << args[1] << " " << args.size();
        EXPECT_EQ(result.exitCode, kExitUsage);
    }
}

TEST(CliArgs, MapTakesARangeOfCellsAndTheMapOptions)
{
    const ParseResult map = parseArguments({"map", "g.gb", "--at", "H4000", "--width", "20", "--height", "18",
                                            "--tile-table", "t.tbl", "-o", "m.png", "--tile", "8x16"});
    ASSERT_TRUE(map.command) << map.error;
    const auto& command = std::get<MapCommand>(*map.command);
    EXPECT_EQ(command.at, 0x4000);
    EXPECT_EQ(command.width, 20);
    EXPECT_EQ(command.height, 18);
    EXPECT_EQ(command.tileTablePath, "t.tbl");
    EXPECT_EQ(command.codec, Codec::GameBoy) << "the codec follows the extension";
    EXPECT_EQ(command.geometry.tileHeight, 16);
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"map", "g.gb", "--at", "0", "--width", "257", "--height", "1", "-o", "m.png"},
          {"map", "g.gb", "--at", "0", "--width", "2", "-o", "m.png"}})
        EXPECT_FALSE(parseArguments(bad).command);
}

TEST(CliArgs, PatchCommandsTakeTheFormatFromTheNameOrFormat)
{
    const std::vector<std::pair<Words, std::optional<MakePatchCommand>>> makes{
        {{"make-patch", "a.nes", "b.nes", "-o", "t.IPS"}, MakePatchCommand{"a.nes", "b.nes", "t.IPS", PatchFormat::Ips}},
        {{"make-patch", "a.nes", "b.nes", "-o", "t.bps"}, MakePatchCommand{"a.nes", "b.nes", "t.bps", PatchFormat::Bps}},
        {{"make-patch", "a.nes", "b.nes", "-o", "t.bps", "--format", "IPS"},
         MakePatchCommand{"a.nes", "b.nes", "t.bps", PatchFormat::Ips}},
        {{"make-patch", "a.nes", "b.nes", "-o", "t.patch"}, std::nullopt},
        {{"make-patch", "a.nes", "b.nes", "-o", "t.ips", "--format", "ups"}, std::nullopt},
        {{"make-patch", "a.nes", "-o", "t.ips"}, std::nullopt},
    };
    for (const auto& [args, expected] : makes) {
        const ParseResult result = parseArguments(args);
        EXPECT_EQ(result.command.has_value(), expected.has_value()) << args.back() << ": " << result.error;
        if (expected && result.command) {
            EXPECT_EQ(std::get<MakePatchCommand>(*result.command), *expected);
        }
    }
    const ParseResult apply = parseArguments({"apply-patch", "g.nes", "p.bps", "-o", "out.nes"});
    ASSERT_TRUE(apply.command) << apply.error;
    EXPECT_EQ(std::get<ApplyPatchCommand>(*apply.command), (ApplyPatchCommand{"g.nes", "p.bps", "out.nes"}));
    EXPECT_FALSE(parseArguments({"apply-patch", "g.nes"}).command);
}

namespace {

TEST(CliArgs, CompressedBlockCommands)
{
    const auto parsed = [](const Words& args) { return parseArguments(args).command; };
    EXPECT_EQ(parsed({"scan-compressed", "a.gba"}), Command(ScanCompressedCommand{"a.gba", "any", 32}));
    EXPECT_EQ(parsed({"scan-compressed", "a.gba", "--format", "huff", "--min-size", "H100"}),
              Command(ScanCompressedCommand{"a.gba", "huff", 256}));
    EXPECT_EQ(parsed({"decompress", "a.gba", "--at", "H40", "-o", "b"}),
              Command(DecompressCommand{"a.gba", 0x40, "", "b"}));
    EXPECT_EQ(parsed({"compress", "in", "--format", "lz11", "--vram-safe", "-o", "out"}),
              Command(CompressCommand{"in", "lz11", true, "out"}));
    EXPECT_EQ(parsed({"recompress", "a.gba", "d", "--at", "8", "--format", "rle"}),
              Command(RecompressCommand{"a.gba", "d", 8, "rle", false}));
    RenderCommand render = parseRenderOk({"render", "a.gba", "-o", "m.png", "--compressed-at", "H100"});
    EXPECT_EQ(render.compressedAt, 0x100);
    EXPECT_EQ(parseRenderOk({"render", "a.gba", "-o", "m.png"}).compressedAt, -1);
    EXPECT_EQ(parseImportOk({"import", "a.gba", "m.png", "--compressed-at", "4"}).compressedAt, 4);

    for (const Words& bad : std::vector<Words>{{"compress", "in", "-o", "out"},
                                               {"compress", "in", "--format", "huff", "-o", "out"},
                                               {"scan-compressed", "a", "--format", "lz12"},
                                               {"scan-compressed", "a", "--min-size", "0"},
                                               {"decompress", "a", "-o", "b"},
                                               {"recompress", "a", "d", "--at", "-4"}}) {
        const ParseResult result = parseArguments(bad);
        EXPECT_FALSE(result.command) << bad[0];
        EXPECT_EQ(result.exitCode, kExitUsage);
    }
}

} // namespace
