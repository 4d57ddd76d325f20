#pragma once
// Bitmaps to and from BMP and PNG files, through Qt's image readers and writers.
#include "tiles/bitmap.h"

#include <QImage>
#include <QString>

#include <optional>

QImage bitmapToImage(const Bitmap& bitmap);
Bitmap imageToBitmap(const QImage& image);

// The image format a picture's name asks for: its extension in lower case,
// when one of Qt's image writers (built in or a plugin) takes it; "bmp" for
// a name without one. Nothing when no writer does.
[[nodiscard]] std::optional<QByteArray> pictureFormatFor(const QString& path);
// Every format a picture can be written in, for messages: "bmp, jpeg, ...".
[[nodiscard]] QString pictureFormatNames();

// Writes the picture in the format its name asks for: an uncompressed 24-bit
// BMP, a PNG, a JPEG, ... A name no writer takes is refused before anything
// is written. The file is replaced atomically. Returns the error, empty on success.
[[nodiscard]] QString writeBitmapFile(const Bitmap& bitmap, const QString& path);

struct BitmapReadResult {
    std::optional<Bitmap> bitmap;
    QString error;
};
// Reads any BMP or PNG Qt understands; "Bitmap image is not valid" otherwise.
[[nodiscard]] BitmapReadResult readBitmapFile(const QString& path);
