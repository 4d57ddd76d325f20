#pragma once
// A check of a BMP file's own sizes against the bytes it has, for readers
// that would otherwise fill a cut-off picture's missing rows with colour 0.
#include <cstdint>
#include <span>

// Whether the headers of a BMP file are whole and its pixel data, as they
// describe it, lies wholly inside the file: offset + row stride x height
// for uncompressed pictures, a run-length stream that reaches its end-of-
// picture mark for RLE4 and RLE8. Other compressions are not judged here.
[[nodiscard]] bool bmpPixelDataComplete(std::span<const std::uint8_t> file);
