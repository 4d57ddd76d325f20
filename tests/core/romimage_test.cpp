#include "app/romimage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

struct CodecCase {
    const char* fileName;
    Codec codec;
};

// Every row of the extension table in several letter cases, plus the names
// that must fall through to "1BPP".
const CodecCase kCodecCases[] = {
    {"game.nes", Codec::Nes},        {"GAME.NES", Codec::Nes},        {"game.Nes", Codec::Nes},
    {"game.ngp", Codec::Ngp},        {"game.NGP", Codec::Ngp},
    {"game.gb", Codec::GameBoy},     {"game.GB", Codec::GameBoy},     {"game.gbc", Codec::GameBoy},
    {"game.Gbc", Codec::GameBoy},    {"game.GBC", Codec::GameBoy},
    {"game.gba", Codec::Gba},        {"game.GbA", Codec::Gba},
    {"game.smc", Codec::Snes},       {"game.SMC", Codec::Snes},       {"game.fig", Codec::Snes},
    {"game.Fig", Codec::Snes},
    {"game.bin", Codec::Genesis},    {"game.BIN", Codec::Genesis},
    {"game.sms", Codec::Sms},        {"game.SMS", Codec::Sms},        {"game.gg", Codec::Sms},
    {"game.GG", Codec::Sms},         {"game.gG", Codec::Sms},
    // Anything else is 1-bit, the character ROM extension included.
    {"game.chr", Codec::OneBpp},     {"game.CHR", Codec::OneBpp},     {"game", Codec::OneBpp},
    {"game.txt", Codec::OneBpp},     {"game.", Codec::OneBpp},        {"", Codec::OneBpp},
    // Only the last extension counts, compared exactly.
    {"game.nes.bak", Codec::OneBpp}, {"game.bak.nes", Codec::Nes},    {"game.nesx", Codec::OneBpp},
    {"game.ne", Codec::OneBpp},      {"game.g", Codec::OneBpp},       {"game.nes ", Codec::OneBpp},
    // Full paths: a dot in a folder name is not an extension.
    {"C:\\roms\\game.smc", Codec::Snes}, {"/home/u/roms/game.gba", Codec::Gba},
    {"dir.v1/rom", Codec::OneBpp},   {"dir.nes/rom", Codec::OneBpp},  {"C:\\dir.gb\\rom", Codec::OneBpp},
    {"dir.v1/rom.gg", Codec::Sms},
    // A name that is nothing but an extension still has that extension.
    {".NES", Codec::Nes},            {".gb", Codec::GameBoy},         {"roms/.sms", Codec::Sms},
};

class CodecForFileName : public ::testing::TestWithParam<CodecCase> {};

TEST_P(CodecForFileName, FollowsTheUpperCasedExtension)
{
    const CodecCase& c = GetParam();
    EXPECT_EQ(codecForFileName(c.fileName), c.codec) << "file name \"" << c.fileName << '"';
}

INSTANTIATE_TEST_SUITE_P(ExtensionTable, CodecForFileName, ::testing::ValuesIn(kCodecCases));

TEST(FileExtension, KeepsTheDotAndTheLetterCaseAsTyped)
{
    EXPECT_EQ(fileExtension("game.Nes"), ".Nes");
    EXPECT_EQ(fileExtension("a.b.c"), ".c");
    EXPECT_EQ(fileExtension("game."), ".");
    EXPECT_EQ(fileExtension(".hidden"), ".hidden");
}

TEST(FileExtension, IsEmptyWhenTheLastPathComponentHasNoDot)
{
    EXPECT_EQ(fileExtension("game"), "");
    EXPECT_EQ(fileExtension(""), "");
    EXPECT_EQ(fileExtension("dir.v1/rom"), "");
    EXPECT_EQ(fileExtension("C:\\dir.v1\\rom"), "");
    EXPECT_EQ(fileExtension("dir.v1/"), "");
}

RomBytes countingBytes(std::size_t size)
{
    RomBytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return bytes;
}

TEST(MakeRomImage, MinimumSizesAreOneScreenAndHalfOfIt)
{
    EXPECT_EQ(kMinimumLoadSize, 16384);
    EXPECT_EQ(kMinimumReloadSize, 8192);
}

TEST(MakeRomImage, ShortFileGrowsToTheMinimumWithItsBytesFirst)
{
    const auto file = countingBytes(1000);
    const auto image = makeRomImage(file, kMinimumLoadSize);
    ASSERT_EQ(image.size(), 16384u);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), image.begin()));
    for (std::size_t i = file.size(); i < image.size(); ++i)
        ASSERT_EQ(image[i], kPaddingByte) << "at " << i;
}

TEST(MakeRomImage, ReloadOfAShorterFileUsesTheReloadMinimum)
{
    const auto file = countingBytes(3000);
    const auto image = makeRomImage(file, kMinimumReloadSize);
    ASSERT_EQ(image.size(), 8192u);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), image.begin()));
    EXPECT_EQ(image[3000], kPaddingByte);
    EXPECT_EQ(image[8191], kPaddingByte);
}

TEST(MakeRomImage, EmptyFileIsAllPadding)
{
    const auto image = makeRomImage({}, kMinimumLoadSize);
    ASSERT_EQ(image.size(), 16384u);
    EXPECT_EQ(std::count(image.begin(), image.end(), kPaddingByte), 16384);
}

TEST(MakeRomImage, FileAtOrAboveTheMinimumIsKeptByteForByte)
{
    for (std::size_t size : {std::size_t{16384}, std::size_t{16385}, std::size_t{40000}}) {
        SCOPED_TRACE(size);
        const auto file = countingBytes(size);
        EXPECT_EQ(makeRomImage(file, kMinimumLoadSize), file);
    }
}

TEST(MakeRomImage, ReloadMinimumDoesNotShrinkAnImageBetweenBothMinimums)
{
    // 10000 bytes: above the reload minimum, below the load minimum.
    const auto file = countingBytes(10000);
    EXPECT_EQ(makeRomImage(file, kMinimumReloadSize), file);
    EXPECT_EQ(makeRomImage(file, kMinimumLoadSize).size(), 16384u);
}

// Large images start on a huge page; growing one keeps its bytes and pads.
TEST(RomBytes, LargeBlocksStartOnAHugePageAndGrowingKeepsTheBytes)
{
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    RomBytes bytes = countingBytes(kHugePage + 3);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes.data()) % kHugePage, 0u);
    bytes.resize(3 * kHugePage, kPaddingByte);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes.data()) % kHugePage, 0u);
    EXPECT_EQ(bytes[kHugePage + 2], static_cast<std::uint8_t>((kHugePage + 2) * 7 + 3));
    EXPECT_EQ(bytes[kHugePage + 3], kPaddingByte);
    EXPECT_EQ(bytes.back(), kPaddingByte);
}

} // namespace
