// quarn-tool's commands run in-process through runTool, on real files in a
// temporary folder: exit status, what they print, and what they write or
// leave alone.
#include "cli/tool.h"

#include "app/fileio.h"
#include "cli/render.h"
#include "tiles/bitmapio.h"
#include "tiles/palettefile.h"

#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class CliCommands : public ::testing::Test {
protected:
    QTemporaryDir dir;
    Bytes rom = Bytes(16384, 0x33);

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        rom[0x100] = 0x41, rom[0x101] = 0x42; // AB, found by a relative search
        write("game.nes", rom);
        write("t.tbl", "H0\r\n41=A\r\n42=B\r\n");
        write("good.txt", "AB\r\nBA{END}\r\n");
        write("bad.txt", "AB\r\nB?A\r\n"); // ? is in no entry
        write("hits.rss", "00000100 AB=4142\r\n");
        ASSERT_EQ(writeBitmapFile(Bitmap(256, 256), qpath("big.bmp")), QString()); // twice the 8x8 map
    }

    std::string path(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
    QString qpath(const std::string& name) const { return QString::fromStdString(path(name)); }
    void write(const std::string& name, const std::string& text) { write(name, Bytes(text.begin(), text.end())); }
    void write(const std::string& name, const Bytes& bytes) { ASSERT_EQ(writeWholeFile(qpath(name), bytes), QString()); }
    Bytes read(const std::string& name) const
    {
        const RomBytes bytes = readWholeFile(qpath(name)).bytes;
        return {bytes.begin(), bytes.end()};
    }

    // The words as typed, with "@name" standing for a file in the folder.
    ToolRun run(const std::vector<std::string>& words) const
    {
        std::vector<std::string> args;
        for (const std::string& word : words)
            args.push_back(word.starts_with('@') ? path(word.substr(1)) : word);
        std::ostringstream out, err;
        ToolRun result;
        result.status = runTool(args, out, err);
        result.out = out.str();
        result.err = err.str();
        return result;
    }
};

bool startsWith(const Bytes& bytes, const Bytes& prefix)
{
    return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

TEST_F(CliCommands, StatusOutputAndFilesOfEachCommand)
{
    const Bytes png{0x89, 'P', 'N', 'G'}, jpeg{0xFF, 0xD8, 0xFF}, bmp{'B', 'M'}, none{};
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string outPart;
        std::string errPart;
        std::string written = {}; // a file the command writes, with its first bytes
        Bytes signature = {};
    };
    const std::vector<Case> cases{
        {"encode", {"encode", "-t", "@t.tbl", "BA{END}"}, 0, "42 41 00\n", ""},
        {"encode refuses", {"encode", "-t", "@t.tbl", "AB?A"}, 1, "",
         "no table entry matches the character '?' at position 3\n"},
        {"encode outside the table", {"encode", "-t", "@t.tbl", "A\u0416"}, 1, "",
         "no table entry matches the character '\u0416' at position 2\n"},
        {"insert refuses", {"insert", "@game.nes", "@bad.txt", "-t", "@t.tbl", "--at", "0"}, 1, "",
         "no table entry matches the character '?' at position 2 of line 2; nothing was written"},
        {"relative search", {"search", "@game.nes", "--relative", "ab"}, 0, "00000100 ab=4142\n", ""},
        {"relative search without a hit", {"search", "@game.nes", "--relative", "ACE"}, 1, "", ""},
        {"relative search outside the code page", {"search", "@game.nes", "--relative", "\u041F\u0440\u0438"}, 2,
         "", "cannot hold the character '\u041F' at position 1 of the word"},
        {"search in a missing file", {"search", "@none.nes", "--hex", "41"}, 2, "", "File not found"},
        {"line 0", {"make-table", "@hits.rss", "--line", "0", "-o", "@t2.tbl"}, 2, "",
         "--line: '0' is not a line number: lines are counted from 1"},
        {"render png", {"render", "@game.nes", "-o", "@map.png"}, 0, "", "", "map.png", png},
        {"render jpeg", {"render", "@game.nes", "-o", "@map.JPG"}, 0, "", "", "map.JPG", jpeg},
        {"render bmp", {"render", "@game.nes", "-o", "@map.bmp"}, 0, "", "", "map.bmp", bmp},
        {"render without extension", {"render", "@game.nes", "-o", "@map"}, 0, "", "", "map", bmp},
        {"render unknown format", {"render", "@game.nes", "-o", "@map.xyz"}, 1, "",
         "No picture format has the extension '.xyz'; the formats are ", "map.xyz", none},
        {"render into a missing folder", {"render", "@game.nes", "-o", "@gone/map.png"}, 1, "",
         "The folder '" + path("gone") + "' does not exist", "gone/map.png", none},
        {"import a larger picture", {"import", "@game.nes", "@big.bmp"}, 0, "256 tiles encoded",
         "the picture is 256 x 256, the tile map 128 x 128: only the top left part that both cover was read"},
        {"help", {"--help"}, 0, "Exit status: 0 done", ""},
        {"search help", {"search", "--help"}, 0, "Exit status: 0 hits, 1 no hit, 2 bad arguments or files.", ""},
    };
    for (const Case& c : cases) {
        SetUp();
        const ToolRun result = run(c.args);
        EXPECT_EQ(result.status, c.status) << c.name << "\n" << result.err;
        EXPECT_NE(result.out.find(c.outPart), std::string::npos) << c.name << ": " << result.out;
        EXPECT_NE(result.err.find(c.errPart), std::string::npos) << c.name << ": " << result.err;
        if (c.errPart.empty())
            EXPECT_EQ(result.err, "") << c.name;
        if (!c.written.empty()) {
            const Bytes file = read(c.written);
            EXPECT_EQ(file.empty(), c.signature.empty()) << c.name;
            EXPECT_TRUE(startsWith(file, c.signature)) << c.name;
        }
    }
}

TEST_F(CliCommands, InsertWritesAllOrNothing)
{
    EXPECT_EQ(run({"insert", "@game.nes", "@bad.txt", "-t", "@t.tbl", "--at", "H10"}).status, 1);
    EXPECT_EQ(read("game.nes"), rom);
    const ToolRun done = run({"insert", "@game.nes", "@good.txt", "-t", "@t.tbl", "--at", "H10"});
    EXPECT_EQ(done.status, 0) << done.err;
    Bytes expected = rom;
    const Bytes script{0x41, 0x42, 0xFF, 0x42, 0x41, 0x00};
    std::copy(script.begin(), script.end(), expected.begin() + 0x10);
    EXPECT_EQ(read("game.nes"), expected);
}

// NES palette indices planted in the ROM colour the picture render writes,
// and import, given the same palette, finds every colour of it.
TEST_F(CliCommands, PaletteReadFromTheRom)
{
    rom[0x200] = 0x16, rom[0x201] = 0x2A, rom[0x202] = 0x12, rom[0x203] = 0x30;
    write("game.nes", rom);
    const std::vector<std::string> nes{"--palette-at", "H200", "--palette-format", "nes"};
    // 16 BGR555 colours for the 4-bit codec need 32 bytes: the last two are too few.
    const std::vector<std::string> past{"--codec", "5", "--palette-at", "H3FFE", "--palette-format", "bgr555"};
    for (const auto& [words, status] : std::vector<std::pair<std::vector<std::string>, int>>{
             {{"render", "@game.nes", "-o", "@map.bmp"}, 0},
             {{"import", "@game.nes", "@map.bmp"}, 0}, // finds every colour: nothing on stderr
             {{"render", "@game.nes", "-o", "@past.bmp"}, 1},
             {{"map", "@game.nes", "--at", "0", "--width", "1", "--height", "1", "-o", "@past.bmp"}, 1},
             {{"import", "@game.nes", "@map.bmp"}, 1}}) {
        std::vector<std::string> args = words;
        args.insert(args.end(), (status == 0 ? nes : past).begin(), (status == 0 ? nes : past).end());
        const ToolRun result = run(args);
        EXPECT_EQ(result.status, status) << result.err;
        EXPECT_EQ(result.err, status == 0 ? "" : "quarn-tool: cannot read the palette at 16382: 16 bgr555 colours "
                                                 "at 16382 take 32 bytes, past the end of the 16384-byte image\n");
    }
    EXPECT_EQ(read("game.nes"), rom);
    EXPECT_FALSE(QFileInfo::exists(qpath("past.bmp")));
    const BitmapReadResult picture = readBitmapFile(qpath("map.bmp"));
    ASSERT_TRUE(picture.bitmap) << picture.error.toStdString();
    // 0x33 in both planes: value 0 at x = 0, value 3 at x = 2.
    EXPECT_EQ(picture.bitmap->at(0, 0), 0xFFF83800u);
    EXPECT_EQ(picture.bitmap->at(2, 0), 0xFFFCFCFCu);
}

// An 8-bit codec renders an indexed picture, the same bytes the program's
// Save To BMP writes, with the 256 palette entries as its colour table; it
// imports back to the same bytes. Palettes of 256 entries come from files
// and from the ROM; a 4-bit codec still renders 24-bit.
TEST_F(CliCommands, EightBitPicturesAndPalettes)
{
    std::mt19937 random(4);
    for (std::uint8_t& b : rom)
        b = static_cast<std::uint8_t>(random());
    write("game.gba", rom);
    write("zero.gba", Bytes(rom.size(), 0));
    std::vector<Colour> colours;
    for (int i = 0; i < 256; ++i)
        colours.push_back(rgbColour(i, (i * 7) % 256, 255 - i));
    write("p.act", writePaletteBinary(colours));
    const std::vector<std::string> eightBit{"--codec", "8BPP GBA", "--palette", "@p.act"};
    for (const std::string name : {"map.bmp", "map.png"}) {
        std::vector<std::string> args{"render", "@game.gba", "-o", "@" + name};
        args.insert(args.end(), eightBit.begin(), eightBit.end());
        ASSERT_EQ(run(args).err, "");
        const QImage image = QImageReader(qpath(name)).read();
        ASSERT_EQ(image.format(), QImage::Format_Indexed8) << name;
        ASSERT_EQ(image.colorCount(), 256);
        for (int i = 0; i < 256; ++i)
            EXPECT_EQ(image.color(i), colourToPixel(colours[static_cast<std::size_t>(i)])) << i;

        RenderCommand command;
        command.codec = Codec::Gba8;
        Palettes palettes = defaultPalettes();
        std::copy(colours.begin(), colours.end(), palettes.full.begin());
        const std::string direct = "direct-" + name;
        ASSERT_EQ(writeBitmapFile(renderTileMap(rom, command, palettes), qpath(direct),
                                  pictureColourTable(command.codec, palettes)),
                  QString());
        EXPECT_EQ(read(name), read(direct));

        write("zero.gba", Bytes(rom.size(), 0));
        args = {"import", "@zero.gba", "@" + name};
        args.insert(args.end(), eightBit.begin(), eightBit.end());
        EXPECT_EQ(run(args).status, 0);
        EXPECT_EQ(read("zero.gba"), rom) << name;
    }
    EXPECT_EQ(read("map.bmp")[28], 8); // bits per pixel
    ASSERT_EQ(run({"render", "@game.gba", "--codec", "4BPP GBA", "-o", "@four.bmp"}).status, 0);
    EXPECT_EQ(read("four.bmp")[28], 24);

    // 256 BGR555 colours take 512 bytes: they fit at H3E00 and not a byte later.
    const ToolRun fits = run({"render", "@game.gba", "--codec", "8BPP GBA", "--palette-at", "H3E00",
                              "--palette-format", "bgr555", "-o", "@rom.png"});
    EXPECT_EQ(fits.status, 0) << fits.err;
    const ToolRun past = run({"render", "@game.gba", "--codec", "8BPP GBA", "--palette-at", "H3E01",
                              "--palette-format", "bgr555", "-o", "@past.png"});
    EXPECT_EQ(past.status, 1);
    EXPECT_NE(past.err.find("256 bgr555 colours at 15873 take 512 bytes"), std::string::npos) << past.err;
    const QImage fromRom = QImageReader(qpath("rom.png")).read();
    ASSERT_EQ(fromRom.colorCount(), 256);
    EXPECT_EQ(fromRom.color(255), colourToPixel(readColours(rom, 0x3E00, 256, ColourFormat::Bgr555).colours[255]));
}

} // namespace

namespace {
// A Shift_JIS table (two-byte codes, kana texts) read with --codepage: the
// dump is written back in Shift_JIS and inserts to the same bytes.
TEST_F(CliCommands, MultiByteCodePageTableAndDump)
{
    write("sjis.tbl", "H0\r\n8341=\x83\x41\r\n8343=\x83\x43\r\n41=A\r\n");
    Bytes image = rom;
    const Bytes script{0x83, 0x41, 0x41, 0x83, 0x43, 0x00};
    std::copy(script.begin(), script.end(), image.begin() + 0x20);
    write("game.nes", image);
    const ToolRun dump = run({"dump", "@game.nes", "-t", "@sjis.tbl", "--codepage", "Shift_JIS", "--from", "H20",
                              "--to", "H25", "-o", "@sjis.txt"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    const Bytes expected{0x83, 0x41, 'A', 0x83, 0x43, '{', 'E', 'N', 'D', '}', '\r', '\n', '\r', '\n'};
    EXPECT_EQ(read("sjis.txt"), expected);
    const ToolRun decoded = run({"decode", "@game.nes", "-t", "@sjis.tbl", "--codepage", "Shift_JIS", "--at", "H20",
                                 "--length", "5"});
    EXPECT_EQ(decoded.out, "\u30A2A\u30A4\n");
    ASSERT_EQ(run({"insert", "@game.nes", "@sjis.txt", "-t", "@sjis.tbl", "--codepage", "Shift_JIS", "--at", "H40"}).status, 0);
    const Bytes written = read("game.nes");
    EXPECT_TRUE(startsWith(Bytes(written.begin() + 0x40, written.end()), script));
}
} // namespace
