#include "tiles/bitmapio.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

// Failure messages show the text, not the bytes of the object.
static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readRaw(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeRaw(const QString& path, std::string_view bytes)
{
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::uint32_t littleEndian(const Bytes& bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes.at(at + static_cast<std::size_t>(i));
    return value;
}

std::uint32_t rgb(int r, int g, int b)
{
    return 0xFF000000u | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
           static_cast<std::uint32_t>(b);
}

// Every pixel a different colour, every channel used.
Bitmap colourfulBitmap(int width, int height, unsigned seed = 7)
{
    std::mt19937 rng(seed);
    Bitmap bitmap(width, height);
    for (auto& pixel : bitmap.pixels)
        pixel = 0xFF000000u | (rng() & 0xFFFFFFu);
    return bitmap;
}

const std::string kPngSignature = "\x89PNG\r\n\x1a\n";

bool startsWith(const Bytes& bytes, std::string_view prefix)
{
    return bytes.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

class BitmapIo : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString file(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

// ---- Writing BMP -----------------------------------------------------------

TEST_F(BitmapIo, BmpIsUncompressed24BitsPerPixelBottomUp)
{
    // An odd width, so each row needs padding to 4 bytes.
    Bitmap bitmap(5, 3);
    bitmap.set(0, 2, rgb(0x11, 0x22, 0x33)); // bottom-left: first pixel stored
    bitmap.set(4, 0, rgb(0xAA, 0xBB, 0xCC)); // top-right: last pixel stored
    const QString path = file("map.bmp");
    ASSERT_EQ(writeBitmapFile(bitmap, path), QString());

    const Bytes bmp = readRaw(path);
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(littleEndian(bmp, 2, 4), bmp.size()) << "file size field";
    EXPECT_EQ(littleEndian(bmp, 18, 4), 5u) << "width";
    EXPECT_EQ(littleEndian(bmp, 22, 4), 3u) << "height, positive: rows stored bottom-up";
    EXPECT_EQ(littleEndian(bmp, 26, 2), 1u) << "planes";
    EXPECT_EQ(littleEndian(bmp, 28, 2), 24u) << "bits per pixel";
    EXPECT_EQ(littleEndian(bmp, 30, 4), 0u) << "no compression";

    const std::size_t data = littleEndian(bmp, 10, 4);
    const std::size_t stride = 16; // 5 x 3 bytes padded to 4
    ASSERT_GE(bmp.size(), data + 3 * stride);
    EXPECT_EQ(bmp[data + 0], 0x33) << "blue first";
    EXPECT_EQ(bmp[data + 1], 0x22);
    EXPECT_EQ(bmp[data + 2], 0x11);
    const std::size_t last = data + 2 * stride + 4 * 3;
    EXPECT_EQ(bmp[last + 0], 0xCC);
    EXPECT_EQ(bmp[last + 1], 0xBB);
    EXPECT_EQ(bmp[last + 2], 0xAA);
}

TEST_F(BitmapIo, BmpReadsBackWithEqualPixels)
{
    for (const auto& [width, height] : {std::pair{5, 3}, std::pair{1, 1}, std::pair{256, 256}, std::pair{96, 240}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        const Bitmap bitmap = colourfulBitmap(width, height);
        const QString path = file("map.bmp");
        ASSERT_EQ(writeBitmapFile(bitmap, path), QString());
        const BitmapReadResult read = readBitmapFile(path);
        ASSERT_TRUE(read.bitmap.has_value()) << read.error.toStdString();
        EXPECT_EQ(read.error, QString());
        EXPECT_EQ(*read.bitmap, bitmap);
    }
}

TEST_F(BitmapIo, FormatFollowsTheExtensionInAnyLetterCase)
{
    const Bitmap bitmap = colourfulBitmap(4, 4);
    const std::string png = kPngSignature, bmp = "BM", jpeg = "\xFF\xD8\xFF", refused;
    struct Case {
        const char* name;
        std::string signature; // empty: refused, nothing written
    };
    for (const Case& c : {Case{"a.png", png}, Case{"b.PNG", png}, Case{"c.Png", png}, Case{"d.bmp", bmp},
                          Case{"e.BMP", bmp}, Case{"g", bmp}, Case{"h.png.bmp", bmp}, Case{"i.jpg", jpeg},
                          Case{"j.JPEG", jpeg}, Case{"f.dat", refused}, Case{"k.bmp.txt", refused}}) {
        SCOPED_TRACE(c.name);
        const QString error = writeBitmapFile(bitmap, file(c.name));
        if (c.signature.empty()) {
            EXPECT_TRUE(error.startsWith(QStringLiteral("No picture format has the extension"))) << error.toStdString();
            EXPECT_TRUE(error.contains(QStringLiteral("bmp")) && error.contains(QStringLiteral("png")));
            EXPECT_FALSE(fs::exists(file(c.name).toStdString()));
            continue;
        }
        ASSERT_EQ(error, QString());
        EXPECT_TRUE(startsWith(readRaw(file(c.name)), c.signature));
    }
}

TEST_F(BitmapIo, PngReadsBackWithEqualPixels)
{
    const Bitmap bitmap = colourfulBitmap(96, 240, 3);
    const QString path = file("map.png");
    ASSERT_EQ(writeBitmapFile(bitmap, path), QString());
    const BitmapReadResult read = readBitmapFile(path);
    ASSERT_TRUE(read.bitmap.has_value()) << read.error.toStdString();
    EXPECT_EQ(*read.bitmap, bitmap);
}

TEST_F(BitmapIo, EmptyBitmapIsNotWritten)
{
    const QString path = file("empty.bmp");
    EXPECT_EQ(writeBitmapFile(Bitmap(), path), "Bitmap image is not valid");
    EXPECT_FALSE(fs::exists(path.toStdString()));
}

TEST_F(BitmapIo, WritingIntoAMissingFolderFailsAndCreatesNothing)
{
    EXPECT_EQ(writeBitmapFile(colourfulBitmap(8, 8), file("missing/map.bmp")),
              "The folder '" + QDir::toNativeSeparators(file("missing")) + "' does not exist");
    EXPECT_FALSE(fs::exists(file("missing").toStdString()));
}

TEST_F(BitmapIo, ReplacingAPictureKeepsTheOldOneUntilAWriteSucceeds)
{
    const QString path = file("map.bmp");
    const Bitmap first = colourfulBitmap(16, 8, 5);
    const Bitmap second = colourfulBitmap(8, 24, 6);
    ASSERT_EQ(writeBitmapFile(first, path), QString());
    const Bytes firstFile = readRaw(path);

    EXPECT_EQ(writeBitmapFile(Bitmap(), path), "Bitmap image is not valid");
    EXPECT_EQ(readRaw(path), firstFile);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.bmp")));
    EXPECT_EQ(writeBitmapFile(second, file("folder.bmp")), "File access denied");

    ASSERT_EQ(writeBitmapFile(second, path), QString());
    const BitmapReadResult read = readBitmapFile(path);
    ASSERT_TRUE(read.bitmap.has_value()) << read.error.toStdString();
    EXPECT_EQ(*read.bitmap, second);
}

// ---- Reading other images --------------------------------------------------

// A picture of 32 palette colours: more than 16, so BMP keeps 8 bits per pixel.
constexpr int kIndexedWidth = 8;
constexpr int kIndexedHeight = 4;
constexpr int kIndexedColours = 32;

QRgb indexedColour(int index) { return qRgb(index * 8, 255 - index * 7, (index * 37) % 256); }
int indexAt(int x, int y) { return (x * 5 + y * 3) % kIndexedColours; }

QImage indexedImage()
{
    QImage image(kIndexedWidth, kIndexedHeight, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < kIndexedColours; ++i)
        table.append(indexedColour(i));
    image.setColorTable(table);
    for (int y = 0; y < kIndexedHeight; ++y)
        for (int x = 0; x < kIndexedWidth; ++x)
            image.setPixel(x, y, static_cast<uint>(indexAt(x, y)));
    return image;
}

void expectIndexedColours(const Bitmap& bitmap)
{
    ASSERT_EQ(bitmap.width, kIndexedWidth);
    ASSERT_EQ(bitmap.height, kIndexedHeight);
    for (int y = 0; y < kIndexedHeight; ++y)
        for (int x = 0; x < kIndexedWidth; ++x)
            EXPECT_EQ(bitmap.at(x, y), 0xFF000000u | indexedColour(indexAt(x, y))) << "pixel " << x << ", " << y;
}

TEST_F(BitmapIo, EightBitIndexedBmpReadsAsItsColours)
{
    const QString path = file("indexed.bmp");
    ASSERT_TRUE(indexedImage().save(path, "BMP"));
    ASSERT_EQ(littleEndian(readRaw(path), 28, 2), 8u) << "the file really is indexed";

    const BitmapReadResult read = readBitmapFile(path);
    ASSERT_TRUE(read.bitmap.has_value()) << read.error.toStdString();
    expectIndexedColours(*read.bitmap);
}

TEST_F(BitmapIo, IndexedPngReadsAsItsColours)
{
    const QString path = file("indexed.png");
    ASSERT_TRUE(indexedImage().save(path, "PNG"));
    ASSERT_EQ(readRaw(path).at(25), 3) << "the file really has a palette (colour type 3)";

    const BitmapReadResult read = readBitmapFile(path);
    ASSERT_TRUE(read.bitmap.has_value()) << read.error.toStdString();
    expectIndexedColours(*read.bitmap);
}

TEST_F(BitmapIo, TransparentPngReadsAsOpaquePixels)
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(qRgba(200, 100, 50, 255));
    image.setPixel(0, 0, qRgba(0, 0, 0, 0));
    image.setPixel(1, 0, qRgba(255, 255, 255, 128));
    const QString path = file("alpha.png");
    ASSERT_TRUE(image.save(path, "PNG"));

    const BitmapReadResult read = readBitmapFile(path);
    ASSERT_TRUE(read.bitmap.has_value()) << read.error.toStdString();
    for (std::uint32_t pixel : read.bitmap->pixels)
        EXPECT_EQ(pixel >> 24, 0xFFu);
    EXPECT_EQ(read.bitmap->at(2, 1), rgb(200, 100, 50));
}

// ---- Reading what is no bitmap ---------------------------------------------

struct NotABitmap {
    const char* name;
    std::string content;
};

class BitmapIoRefuses : public BitmapIo, public ::testing::WithParamInterface<NotABitmap> {};

TEST_P(BitmapIoRefuses, FileThatIsNoBmpOrPng)
{
    const QString path = file("input.bmp");
    writeRaw(path, GetParam().content);
    const BitmapReadResult read = readBitmapFile(path);
    EXPECT_FALSE(read.bitmap.has_value());
    EXPECT_EQ(read.error, "Bitmap image is not valid");
}

INSTANTIATE_TEST_SUITE_P(
    Table, BitmapIoRefuses,
    ::testing::Values(NotABitmap{"Text", "Table (*.tbl)\r\n00=A\r\n"}, NotABitmap{"Empty", ""},
                      NotABitmap{"HeaderOnly", std::string("BM\x36\x00\x00\x00\x00\x00", 8)},
                      NotABitmap{"PngSignatureOnly", kPngSignature},
                      // A picture Qt can read, but not one of the two formats.
                      NotABitmap{"PortablePixmap", "P3\n2 1\n255\n255 0 0 0 255 0\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// A picture cut off or claiming more rows than it holds is refused whole:
// Qt alone would fill the missing rows with colour 0.
TEST_F(BitmapIo, IncompletePictureIsRefused)
{
    for (const char* name : {"map.bmp", "map.png"}) {
        const QString whole = file(name);
        ASSERT_EQ(writeBitmapFile(colourfulBitmap(32, 24), whole), QString());
        const Bytes bytes = readRaw(whole);
        const bool bmp = QString(name).endsWith("bmp");
        Bytes taller = bytes;
        taller[22] = 25; // one row more than the data holds
        // A PNG's last byte belongs to its end mark, after every pixel.
        const std::pair<const char*, Bytes> damaged[] = {
            {"cut in half", Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2))},
            {"last byte missing", bmp ? Bytes(bytes.begin(), bytes.end() - 1) : bytes},
            {"taller than its data", bmp ? taller : bytes},
        };
        for (const auto& [what, content] : damaged) {
            if (content == bytes)
                continue;
            SCOPED_TRACE(std::string(name) + ": " + what);
            const QString path = file(QStringLiteral("damaged-") + name);
            writeRaw(path, std::string_view(reinterpret_cast<const char*>(content.data()), content.size()));
            const BitmapReadResult read = readBitmapFile(path);
            EXPECT_FALSE(read.bitmap.has_value());
            EXPECT_EQ(read.error, "Bitmap image is not valid");
        }
        EXPECT_TRUE(readBitmapFile(whole).bitmap.has_value()) << name;
    }
}

TEST_F(BitmapIo, MissingFileIsNotFound)
{
    const BitmapReadResult read = readBitmapFile(file("missing.bmp"));
    EXPECT_FALSE(read.bitmap.has_value());
    EXPECT_EQ(read.error, "File not found");
}

TEST_F(BitmapIo, FolderIsAccessDenied)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("pictures.bmp"));
    const BitmapReadResult read = readBitmapFile(file("pictures.bmp"));
    EXPECT_FALSE(read.bitmap.has_value());
    EXPECT_EQ(read.error, "File access denied");
}

// ---- Between Bitmap and QImage ---------------------------------------------

TEST(BitmapImage, ConversionKeepsEveryPixel)
{
    const Bitmap bitmap = colourfulBitmap(7, 5);
    const QImage image = bitmapToImage(bitmap);
    ASSERT_EQ(image.width(), 7);
    ASSERT_EQ(image.height(), 5);
    EXPECT_FALSE(image.hasAlphaChannel());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(image.pixel(x, y), bitmap.at(x, y)) << "pixel " << x << ", " << y;
    EXPECT_EQ(imageToBitmap(image), bitmap);
}

TEST(BitmapImage, ImagesOfOtherFormatsBecomeOpaquePixels)
{
    QImage image(2, 2, QImage::Format_RGB888);
    image.setPixel(0, 0, qRgb(1, 2, 3));
    image.setPixel(1, 0, qRgb(250, 251, 252));
    image.setPixel(0, 1, qRgb(0, 0, 0));
    image.setPixel(1, 1, qRgb(255, 255, 255));
    const Bitmap bitmap = imageToBitmap(image);
    EXPECT_EQ(bitmap.at(0, 0), rgb(1, 2, 3));
    EXPECT_EQ(bitmap.at(1, 0), rgb(250, 251, 252));
    EXPECT_EQ(bitmap.at(0, 1), rgb(0, 0, 0));
    EXPECT_EQ(bitmap.at(1, 1), rgb(255, 255, 255));
}

TEST(BitmapImage, EmptyBitmapAndNullImageMatch)
{
    EXPECT_TRUE(bitmapToImage(Bitmap()).isNull());
    const Bitmap empty = imageToBitmap(QImage());
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, 0);
    EXPECT_TRUE(empty.pixels.empty());
}

} // namespace

namespace {
// Each pixel becomes the first entry of its colour; a colour the table lacks
// the nearest entry, the lower one on a tie; the table is the picture's.
TEST(BitmapImage, IndexedImageTakesTheFirstOrNearestEntry)
{
    const std::vector<Colour> table{rgbColour(10, 10, 10), rgbColour(200, 0, 0), rgbColour(10, 10, 10),
                                    rgbColour(0, 200, 0)};
    struct Case {
        Colour pixel;
        int entry;
    };
    const Case cases[] = {
        {rgbColour(10, 10, 10), 0},   // entry 2 has it too: the first wins
        {rgbColour(200, 0, 0), 1},
        {rgbColour(0, 200, 0), 3},
        {rgbColour(0, 0, 0), 0},      // nearest: the dark grey
        {rgbColour(180, 20, 0), 1},
        {rgbColour(150, 150, 0), 1},  // as near to red as to green: the lower entry
    };
    Bitmap bitmap(static_cast<int>(std::size(cases)), 2);
    for (int x = 0; x < bitmap.width; ++x)
        for (int y = 0; y < 2; ++y)
            bitmap.set(x, y, colourToPixel(cases[x].pixel));
    const QImage image = indexedImage(bitmap, table);
    ASSERT_EQ(image.format(), QImage::Format_Indexed8);
    ASSERT_EQ(image.colorCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(image.color(i), colourToPixel(table[static_cast<std::size_t>(i)]));
    for (int x = 0; x < bitmap.width; ++x)
        for (int y = 0; y < 2; ++y)
            EXPECT_EQ(image.pixelIndex(x, y), cases[x].entry) << x;
    EXPECT_TRUE(indexedImage(bitmap, {}).isNull());
}
} // namespace
