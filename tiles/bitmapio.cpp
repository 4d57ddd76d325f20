#include "tiles/bitmapio.h"

#include "app/fileio.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

#include <cstring>

QImage bitmapToImage(const Bitmap& bitmap)
{
    QImage image(bitmap.width, bitmap.height, QImage::Format_RGB32);
    for (int y = 0; y < bitmap.height; ++y)
        std::memcpy(image.scanLine(y), bitmap.pixels.data() + static_cast<std::size_t>(y) * bitmap.width,
                    static_cast<std::size_t>(bitmap.width) * 4);
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

QString writeBitmapFile(const Bitmap& bitmap, const QString& path)
{
    const bool png = QFileInfo(path).suffix().compare(QStringLiteral("png"), Qt::CaseInsensitive) == 0;
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    // RGB32 without alpha is written by the BMP writer as 24 bits per pixel.
    if (!bitmapToImage(bitmap).save(&buffer, png ? "PNG" : "BMP"))
        return QStringLiteral("Bitmap image is not valid");
    return writeWholeFile(path, std::span(reinterpret_cast<const std::uint8_t*>(encoded.constData()),
                                          static_cast<std::size_t>(encoded.size())));
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
    if (image.isNull() || (format != "bmp" && format != "png")) {
        result.error = QStringLiteral("Bitmap image is not valid");
        return result;
    }
    result.bitmap = imageToBitmap(image);
    return result;
}
