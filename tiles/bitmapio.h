#pragma once
// Bitmaps to and from BMP and PNG files, through Qt's image readers and writers.
#include "tiles/bitmap.h"

#include <QImage>
#include <QString>

#include <optional>

QImage bitmapToImage(const Bitmap& bitmap);
Bitmap imageToBitmap(const QImage& image);

// Writes an uncompressed 24-bit BMP, or a PNG when the name ends in ".png"
// (any case). The file is replaced atomically. Returns the error, empty on success.
[[nodiscard]] QString writeBitmapFile(const Bitmap& bitmap, const QString& path);

struct BitmapReadResult {
    std::optional<Bitmap> bitmap;
    QString error;
};
// Reads any BMP or PNG Qt understands; "Bitmap image is not valid" otherwise.
[[nodiscard]] BitmapReadResult readBitmapFile(const QString& path);
