#include "tiles/bitmapio.h"

#include "app/fileio.h"
#include "tiles/bmpheader.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unordered_map>

QImage bitmapToImage(const Bitmap& bitmap)
{
    QImage image(bitmap.width, bitmap.height, QImage::Format_RGB32);
    for (int y = 0; y < bitmap.height; ++y)
        std::memcpy(image.scanLine(y), bitmap.pixels.data() + static_cast<std::size_t>(y) * bitmap.width,
                    static_cast<std::size_t>(bitmap.width) * 4);
    return image;
}

namespace {
int nearestEntry(std::span<const Colour> colours, Colour colour)
{
    int best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const long dr = redOf(colours[i]) - redOf(colour);
        const long dg = greenOf(colours[i]) - greenOf(colour);
        const long db = blueOf(colours[i]) - blueOf(colour);
        const long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}
} // namespace

QImage indexedImage(const Bitmap& bitmap, std::span<const Colour> colours)
{
    colours = colours.first(std::min<std::size_t>(colours.size(), 256));
    QImage image(bitmap.width, bitmap.height, QImage::Format_Indexed8);
    if (image.isNull() || colours.empty())
        return {};
    QList<QRgb> table;
    // Pixel -> entry; the first entry of a colour wins, as colours are matched on import.
    std::unordered_map<std::uint32_t, uchar> entryOf;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        table << colourToPixel(colours[i]);
        entryOf.emplace(colourToPixel(colours[i]), static_cast<uchar>(i));
    }
    image.setColorTable(table);
    for (int y = 0; y < bitmap.height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < bitmap.width; ++x) {
            const std::uint32_t pixel = bitmap.at(x, y) | 0xFF000000u;
            auto found = entryOf.find(pixel);
            if (found == entryOf.end())
                found = entryOf
                            .emplace(pixel, static_cast<uchar>(nearestEntry(colours, pixelToColour(pixel))))
                            .first;
            line[x] = found->second;
        }
    }
    return image;
}

Bitmap imageToBitmap(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    Bitmap bitmap(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            bitmap.set(x, y, line[x] | 0xFF000000u);
    }
    return bitmap;
}

std::optional<QByteArray> pictureFormatFor(const QString& path)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (suffix.isEmpty())
        return QByteArray("bmp");
    if (QImageWriter::supportedImageFormats().contains(suffix))
        return suffix;
    return std::nullopt;
}

QString pictureFormatNames()
{
    QStringList names;
    for (const QByteArray& format : QImageWriter::supportedImageFormats())
        names << QString::fromLatin1(format);
    return names.join(QStringLiteral(", "));
}

QString writeBitmapFile(const Bitmap& bitmap, const QString& path, std::span<const Colour> colourTable)
{
    if (bitmap.width <= 0 || bitmap.height <= 0)
        return QStringLiteral("Bitmap image is not valid");
    if (path.isEmpty())
        return fileErrorText(ENOENT);
    if (QString error = refuseNonRegularFile(path); !error.isEmpty())
        return error;
    const std::optional<QByteArray> format = pictureFormatFor(path);
    if (!format)
        return QStringLiteral("No picture format has the extension '.%1'; the formats are %2")
            .arg(QFileInfo(path).suffix(), pictureFormatNames());
    if (QString error = refuseMissingFolder(path); !error.isEmpty())
        return error;
    // True colour: a view of the pixels, not a copy, since a whole largest map
    // is 64 MiB and the writers below convert it a row at a time straight into
    // the file. Indexed: a quarter of that, one byte a pixel.
    const QImage view =
        colourTable.empty()
            ? QImage(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width, bitmap.height,
                     static_cast<qsizetype>(bitmap.width) * 4, QImage::Format_RGB32)
            : indexedImage(bitmap, colourTable);
    if (view.isNull())
        return QStringLiteral("Not enough memory for a picture of %1 x %2 pixels").arg(bitmap.width).arg(bitmap.height);
    // Like writeWholeFile: through a temporary file, so a failure leaves the old one.
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return fileErrorText(errno != 0 ? errno : EACCES);
    errno = 0;
    // RGB32 without alpha is written by the BMP writer as 24 bits per pixel,
    // Indexed8 with 256 colours as 8 bits per pixel with the colour table.
    QImageWriter writer(&file, *format);
    if (!writer.write(view)) {
        const int writeError = file.error() != QFileDevice::NoError ? (errno != 0 ? errno : EIO) : 0;
        file.cancelWriting();
        if (writeError != 0)
            return fileErrorText(writeError);
        return QStringLiteral("The %1 writer cannot write this picture: %2")
            .arg(QString::fromLatin1(format->toUpper()), writer.errorString());
    }
    errno = 0;
    if (!file.commit())
        return fileErrorText(errno != 0 ? errno : EIO);
    return {};
}

BitmapReadResult readBitmapFile(const QString& path)
{
    BitmapReadResult result;
    const FileReadResult file = readWholeFile(path);
    if (!file.ok()) {
        result.error = file.error;
        return result;
    }
    QByteArray data(reinterpret_cast<const char*>(file.bytes.data()), static_cast<qsizetype>(file.bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    // The format must be asked before reading: afterwards the reader has no data left.
    const QByteArray format = reader.format().toLower();
    const QImage image = reader.read();
    // Qt's BMP reader takes a cut-off file and leaves the missing rows at 0,
    // which an import would write over the tiles: refuse what is incomplete.
    const bool incomplete = format == "bmp" && !bmpPixelDataComplete(file.bytes);
    if (image.isNull() || (format != "bmp" && format != "png") || incomplete) {
        result.error = QStringLiteral("Bitmap image is not valid");
        return result;
    }
    result.bitmap = imageToBitmap(image);
    return result;
}
