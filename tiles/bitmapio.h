#pragma once
// Bitmaps to and from BMP and PNG files, through Qt's image readers and writers.
#include "tiles/bitmap.h"
#include "tiles/palette.h"

#include <QImage>
#include <QString>

#include <optional>
#include <span>

QImage bitmapToImage(const Bitmap& bitmap);
// The picture as 8-bit indices into `colours` (at most 256), which become its
// colour table: each pixel the first entry of its colour; a colour the table
// lacks (the black past the end of the image) the nearest entry by squared
// RGB distance, the lowest on a tie. A null image when there is no memory.
QImage indexedImage(const Bitmap& bitmap, std::span<const Colour> colours);
Bitmap imageToBitmap(const QImage& image);

// The image format a picture's name asks for: its extension in lower case,
// when one of Qt's image writers (built in or a plugin) takes it; "bmp" for
// a name without one. Nothing when no writer does.
[[nodiscard]] std::optional<QByteArray> pictureFormatFor(const QString& path);
// Every format a picture can be written in, for messages: "bmp, jpeg, ...".
[[nodiscard]] QString pictureFormatNames();

// Writes the picture in the format its name asks for: an uncompressed 24-bit
// BMP, a PNG, a JPEG, ... With a colour table (the 256 colours of an 8-bit
// codec, see pictureColourTable) the picture is written 8-bit indexed
// instead: an 8-bit BMP with its palette, an indexed PNG. A name no writer
// takes is refused before anything is written. The file is replaced
// atomically. Returns the error, empty on success.
[[nodiscard]] QString writeBitmapFile(const Bitmap& bitmap, const QString& path,
                                      std::span<const Colour> colourTable = {});

struct BitmapReadResult {
    std::optional<Bitmap> bitmap;
    QString error;
};
// Reads any BMP or PNG Qt understands; "Bitmap image is not valid" otherwise.
[[nodiscard]] BitmapReadResult readBitmapFile(const QString& path);
