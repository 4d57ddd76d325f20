#include "compression/compress.h"
#include "compression/decompress.h"
#include "compression/scan.h"
#include "support/lzgreedy_reference.h"
#include "support/testdata.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr CompressionFormat kAllFormats[] = {CompressionFormat::Lz10, CompressionFormat::Lz11,
                                             CompressionFormat::Rle, CompressionFormat::Huffman4,
                                             CompressionFormat::Huffman8};

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}
Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes repeat(const std::string& s, std::size_t times)
{
    std::string all;
    while (times-- > 0)
        all += s;
    return text(all);
}

TEST(Decompress, HandMadeStreams)
{
    struct Case {
        const char* what;
        Bytes block;
        Bytes expected;
    };
    const Case cases[] = {
        {"lz10 overlapping copy from 1 back", {0x10, 10, 0, 0, 0x40, 'a', 0x60, 0x00}, repeat("a", 10)},
        {"lz10 longest copy, 18 from 2 back", {0x10, 20, 0, 0, 0x20, 'a', 'b', 0xF0, 0x01}, repeat("ab", 10)},
        {"lz10 shortest copy after a full flag group",
         cat({{0x10, 11, 0, 0, 0x00}, text("abcdefgh"), {0x80, 0x00, 0x07}}),
         text("abcdefghabc")},
        {"lz11 2-byte form, 16 long", {0x11, 17, 0, 0, 0x40, 'z', 0xF0, 0x00}, repeat("z", 17)},
        {"lz11 3-byte form, 17 and 272 long",
         {0x11, 35, 1, 0, 0x30, 'x', 'y', 0x00, 0x00, 0x01, 0x0F, 0xF0, 0x01},
         cat({repeat("xy", 145), text("x")})},
        {"lz11 4-byte form, 273 long", {0x11, 18, 1, 0, 0x40, 'q', 0x10, 0x00, 0x00, 0x00}, repeat("q", 274)},
        {"lz11 extended size", {0x11, 0, 0, 0, 5, 0, 0, 0, 0x40, 'e', 0x30, 0x00}, repeat("e", 5)},
        {"rle run, literals, longest run", {0x30, 137, 0, 0, 0x82, 'x', 0x01, 'y', 'z', 0xFF, 'q'},
         cat({repeat("x", 5), text("yz"), repeat("q", 130)})},
        {"rle longest literal item", cat({{0x30, 128, 0, 0, 0x7F}, repeat("L", 128)}), repeat("L", 128)},
        {"huff8 two symbols", {0x28, 4, 0, 0, 0x01, 0xC0, 'A', 'B', 0, 0, 0, 0x60}, text("ABBA")},
        // The root's left child is a leaf, its right an inner node whose pair follows.
        {"huff8 three symbols, deeper tree",
         {0x28, 3, 0, 0, 0x03, 0x80, 'A', 0xC0, 'B', 'C', 0, 0, 0, 0, 0, 0xE0}, text("CBA")},
        {"huff4 low nibble first", {0x24, 1, 0, 0, 0x01, 0xC0, 0x01, 0x02, 0, 0, 0, 0x40}, {0x21}},
        {"lz10 empty", {0x10, 0, 0, 0}, {}},
    };
    for (const Case& c : cases) {
        const DecompressResult result = decompressBlock(c.block, 0);
        ASSERT_TRUE(result.ok()) << c.what << ": " << result.error;
        EXPECT_EQ(result.bytes, c.expected) << c.what;
        EXPECT_EQ(result.info.compressedSize, c.block.size()) << c.what;
        EXPECT_EQ(measureBlock(c.block, 0), result.info) << c.what;
    }
}

TEST(Decompress, InAGivenFormatWhateverTheTypeByteSays)
{
    const Bytes block{0x00, 3, 0, 0, 0x00, 'a', 'b', 'c'};
    EXPECT_EQ(decompressBlock(block, 0, CompressionFormat::Lz10).bytes, text("abc"));
    EXPECT_NE(decompressBlock(block, 0).error.find("type byte 00h"), std::string::npos);
    EXPECT_FALSE(decompressBlock(block, 0, CompressionFormat::Rle).ok()); // 'b' starts a literal item of 99 bytes
}

TEST(Decompress, RefusesBadStreams)
{
    Bytes megabyte(1 << 20, 0);
    const std::size_t late = megabyte.size() - 16;
    megabyte[late] = 0x10;
    megabyte[late + 1] = megabyte[late + 2] = megabyte[late + 3] = 0xFF;
    struct Case {
        const char* what;
        Bytes block;
        std::size_t offset;
        const char* message;
    };
    const Case cases[] = {
        {"runs out", {0x10, 8, 0, 0, 0x00, 'a'}, 0, "runs out"},
        {"copy before the start", {0x10, 4, 0, 0, 0x40, 'a', 0x00, 0x01}, 0, "before the start"},
        {"copy past the size", {0x10, 4, 0, 0, 0x40, 'a', 0xF0, 0x00}, 0, "past the announced size"},
        {"rle run past the size", {0x30, 4, 0, 0, 0x82, 'x'}, 0, "past the announced size"},
        {"16 MiB at the end of 1 MiB", megabyte, late, "more than the 12 bytes left"},
        {"lz11 4-byte token cut off", {0x11, 40, 0, 0, 0x40, 'a', 0x10, 0x00}, 0, "runs out"},
        {"copy flagged at the very end", {0x11, 40, 0, 0, 0x40, 'a'}, 0, "runs out"},
        {"unknown type", {0x12, 4, 0, 0, 0}, 0, "type byte 12h"},
        {"header cut off", {0x10, 4, 0}, 0, "no room"},
        {"offset past the end", {0x10, 4, 0, 0}, 9, "no room"},
        {"huffman node past the tree", {0x28, 2, 0, 0, 0x01, 0x3F, 'A', 'B', 0, 0, 0, 0}, 0, "past the tree"},
        {"huffman tree cut off", {0x28, 2, 0, 0, 0x09, 0xC0, 'A', 'B'}, 0, "runs out"},
    };
    for (const Case& c : cases) {
        const DecompressResult result = decompressBlock(c.block, c.offset);
        EXPECT_FALSE(result.ok()) << c.what;
        EXPECT_NE(result.error.find(c.message), std::string::npos) << c.what << ": " << result.error;
        EXPECT_FALSE(measureBlock(c.block, c.offset)) << c.what;
    }
}

// Walks an LZ stream's copies and returns the shortest distance used.
std::size_t shortestDistance(const Bytes& block, bool lz11)
{
    std::size_t in = 4, out = 0, shortest = SIZE_MAX;
    const std::size_t size = block[1] | block[2] << 8 | block[3] << 16;
    while (out < size) {
        const unsigned flags = block[in++];
        for (int item = 0; item < 8 && out < size; ++item) {
            if (!(flags & (0x80 >> item))) {
                ++in, ++out;
                continue;
            }
            const unsigned b0 = block[in];
            const unsigned form = lz11 ? b0 >> 4 : 2;
            const std::size_t bytes = form == 0 ? 3 : form == 1 ? 4 : 2;
            out += form == 0   ? ((b0 & 15) << 4 | block[in + 1] >> 4) + 17
                   : form == 1 ? ((b0 & 15) << 12 | block[in + 1] << 4 | block[in + 2] >> 4) + 273
                               : (b0 >> 4) + (lz11 ? 1 : 3);
            shortest = std::min<std::size_t>(shortest, ((block[in + bytes - 2] & 15u) << 8 | block[in + bytes - 1]) + 1);
            in += bytes;
        }
    }
    return shortest;
}

std::vector<std::pair<std::string, Bytes>> sampleData()
{
    Bytes zeros(70000, 0); // runs past every length form
    return {{"empty", {}},
            {"one byte", {0x5A}},
            {"zeros", zeros},
            {"random", randomBytes(5000, 3)},
            {"tile-like", tileLikeBytes(60000, 4)},
            {"text", repeat("the quick brown fox jumps over the lazy dog. ", 300)},
            {"two symbols", repeat("ab", 999)}};
}

TEST(Compress, RoundTripsEveryFormat)
{
    for (const auto& [name, data] : sampleData())
        for (const CompressionFormat format : kAllFormats)
            for (const bool vramSafe : {false, true}) {
                const std::string what = name + " " + std::string(formatName(format)) + (vramSafe ? " vram" : "");
                const CompressResult compressed = compressBlock(data, format, {vramSafe});
                ASSERT_TRUE(compressed.ok()) << what;
                EXPECT_EQ(compressed.bytes.size() % 4, 0u) << what;
                const DecompressResult decoded = decompressBlock(compressed.bytes, 0);
                ASSERT_TRUE(decoded.ok()) << what << ": " << decoded.error;
                EXPECT_EQ(decoded.bytes, data) << what;
                EXPECT_EQ(decoded.info.format, format) << what;
                // What the encoder writes passes the scan's stricter reading.
                EXPECT_TRUE(measureBlock(compressed.bytes, 0, Strictness::Encoder)) << what;
                if (vramSafe && (format == CompressionFormat::Lz10 || format == CompressionFormat::Lz11)) {
                    EXPECT_GE(shortestDistance(compressed.bytes, format == CompressionFormat::Lz11), 2u) << what;
                }
            }
}

TEST(Compress, LzIsNeverLongerThanGreedyAndBeatsItOnTiles)
{
    for (const auto& [name, data] : sampleData())
        for (const bool lz11 : {false, true})
            for (const bool vramSafe : {false, true}) {
                const Bytes greedy = greedyLzReference(data, lz11, vramSafe);
                ASSERT_EQ(decompressBlock(greedy, 0).bytes, data) << name;
                const CompressResult ours =
                    compressBlock(data, lz11 ? CompressionFormat::Lz11 : CompressionFormat::Lz10, {vramSafe});
                EXPECT_LE(ours.bytes.size(), greedy.size()) << name << (lz11 ? " lz11" : " lz10");
                if (name == "tile-like") {
                    EXPECT_LT(ours.bytes.size(), greedy.size()) << name;
                }
            }
}

TEST(Compress, HuffmanTreesOfEveryWidthLayOut)
{
    // Uniform bytes make the widest tree; doubling weights the deepest.
    Bytes uniform;
    for (int i = 0; i < 256 * 8; ++i)
        uniform.push_back(static_cast<std::uint8_t>(i));
    Bytes skewed;
    for (int s = 0; s < 24; ++s)
        skewed.insert(skewed.end(), std::size_t{1} << (s < 20 ? s : 19), static_cast<std::uint8_t>(s * 7));
    for (const Bytes& data : {uniform, skewed, randomBytes(70000, 9)})
        for (const CompressionFormat format : {CompressionFormat::Huffman4, CompressionFormat::Huffman8}) {
            const CompressResult compressed = compressBlock(data, format);
            EXPECT_EQ(decompressBlock(compressed.bytes, 0).bytes, data);
        }
    const CompressResult tooBig = compressBlock(Bytes(kLargestPlainSize + 1), CompressionFormat::Rle);
    EXPECT_NE(tooBig.error.find("more than rle can hold"), std::string::npos) << tooBig.error;
}

TEST(Scan, ReadsStreamsAsAnEncoderWritesThem)
{
    // Each decodes, but no encoder writes it so.
    const Bytes notAsEncoded[] = {
        {0x30, 4, 0, 0, 0x01, 'a', 'b', 0x01, 'c', 'd'},                 // a short literal item before another
        {0x28, 2, 0, 0, 0x01, 0xC0, 'A', 'A', 0, 0, 0, 0x40},            // a symbol twice
        {0x24, 1, 0, 0, 0x01, 0xC0, 0x21, 0x02, 0, 0, 0, 0x40},          // a 4-bit symbol above 15
        {0x28, 2, 0, 0, 0x05, 0xC0, 'A', 'B', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40}, // table space left over
    };
    for (const Bytes& block : notAsEncoded) {
        EXPECT_TRUE(measureBlock(block, 0));
        EXPECT_FALSE(measureBlock(block, 0, Strictness::Encoder));
    }
    // The last literal item may be short, and so may one before a run.
    EXPECT_TRUE(measureBlock(Bytes{0x30, 6, 0, 0, 0x00, 'a', 0x80, 'b', 0x01, 'c', 'd'}, 0, Strictness::Encoder));
}

TEST(Scan, FindsPlantedBlocksAndNothingInNoise)
{
    Bytes image = randomBytes(1 << 18, 11);
    for (std::size_t at = 0; at < image.size(); at += 4)
        if (formatFromTypeByte(image[at]))
            image[at] = 0xEE;
    struct Planted {
        std::size_t offset;
        CompressionFormat format;
        Bytes data;
    };
    const std::vector<Planted> planted = {
        {0x100, CompressionFormat::Lz10, tileLikeBytes(4000, 1)}, {0x4000, CompressionFormat::Lz11, tileLikeBytes(9000, 2)},
        {0x9000, CompressionFormat::Rle, tileLikeBytes(3000, 3)}, {0xC000, CompressionFormat::Huffman4, tileLikeBytes(500, 4)},
        {0xE000, CompressionFormat::Huffman8, text("text of a script, line after line")}};
    std::vector<FoundBlock> expected;
    for (const Planted& p : planted) {
        const Bytes block = compressBlock(p.data, p.format).bytes;
        std::copy(block.begin(), block.end(), image.begin() + static_cast<std::ptrdiff_t>(p.offset));
        expected.push_back({p.offset, *measureBlock(image, p.offset)});
    }
    // Too small, and cut off by the end of the image: not listed.
    const Bytes small = compressBlock(Bytes(31, 1), CompressionFormat::Lz10).bytes;
    std::copy(small.begin(), small.end(), image.begin() + 0x20000);
    const Bytes cut = compressBlock(tileLikeBytes(2000, 5), CompressionFormat::Lz10).bytes;
    std::copy(cut.begin(), cut.begin() + 40, image.end() - 40);

    EXPECT_EQ(scanCompressedBlocks(image), expected);
    ScanOptions onlyRle;
    onlyRle.formats = 1u << static_cast<int>(CompressionFormat::Rle);
    EXPECT_EQ(scanCompressedBlocks(image, onlyRle), std::vector<FoundBlock>{expected[2]});
    ScanOptions smaller;
    smaller.minimumSize = 31;
    EXPECT_EQ(scanCompressedBlocks(image, smaller).size(), expected.size() + 1);
}

TEST(WriteBack, FitsOrChangesNothing)
{
    const Bytes original = tileLikeBytes(6000, 6);
    Bytes image(0x4000, 0xAB);
    const Bytes block = compressBlock(original, CompressionFormat::Lz10).bytes;
    std::copy(block.begin(), block.end(), image.begin() + 0x100);
    const std::size_t oldSize = measureBlock(image, 0x100)->compressedSize;

    Bytes edited = original;
    std::fill(edited.begin() + 100, edited.begin() + 400, 0); // compresses smaller
    WriteBackResult written = writeBackBlock(image, 0x100, edited);
    ASSERT_TRUE(written.ok()) << written.error;
    EXPECT_EQ(decompressBlock(image, 0x100).bytes, edited);
    EXPECT_EQ(written.oldSize, oldSize);
    for (std::size_t i = 0x100 + written.newSize; i < 0x100 + oldSize; ++i)
        ASSERT_EQ(image[i], 0) << i;
    EXPECT_EQ(image[0x100 + oldSize], 0xAB);

    const Bytes before = image;
    written = writeBackBlock(image, 0x100, randomBytes(6000, 7));
    EXPECT_FALSE(written.ok());
    EXPECT_NE(written.error.find(std::to_string(written.oldSize)), std::string::npos) << written.error;
    EXPECT_NE(written.error.find(std::to_string(written.newSize)), std::string::npos) << written.error;
    EXPECT_EQ(image, before);
    EXPECT_FALSE(writeBackBlock(image, 0x101, edited).ok());

    // A VRAM-safe block stays VRAM-safe.
    const Bytes zeros(4000, 0);
    Bytes safe = compressBlock(zeros, CompressionFormat::Lz11, {true}).bytes;
    safe.resize(safe.size() + 64, 0);
    ASSERT_FALSE(measureBlock(safe, 0)->copiesFromOneBack);
    ASSERT_TRUE(writeBackBlock(safe, 0, zeros).ok());
    EXPECT_FALSE(measureBlock(safe, 0)->copiesFromOneBack);
    EXPECT_TRUE(measureBlock(compressBlock(zeros, CompressionFormat::Lz11).bytes, 0)->copiesFromOneBack);
}

} // namespace
