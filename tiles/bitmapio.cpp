#include "tiles/bitmapio.h"

#include "app/fileio.h"
#include "tiles/bmpheader.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <cerrno>
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

QString writeBitmapFile(const Bitmap& bitmap, const QString& path)
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
    // A view of the pixels, not a copy: a whole largest map is 64 MiB, and the
    // writers below convert it a row at a time straight into the file.
    const QImage view(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width,
                      bitmap.height, static_cast<qsizetype>(bitmap.width) * 4, QImage::Format_RGB32);
    // Like writeWholeFile: through a temporary file, so a failure leaves the old one.
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return fileErrorText(errno != 0 ? errno : EACCES);
    errno = 0;
    // RGB32 without alpha is written by the BMP writer as 24 bits per pixel.
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
