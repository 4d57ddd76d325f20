#include "tiles/bmpheader.h"

#include <cstdlib>
#include <optional>

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12; // OS/2 1.x: 16-bit width and height
constexpr std::uint32_t kShortestHeaderSize = 16; // up to the depth: OS/2 2.x may stop there
constexpr std::uint32_t kHeaderSizeWithCompression = 20;

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

std::uint32_t readLe(std::span<const std::uint8_t> bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0; // rows, whatever their order
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = kRgb;
};

std::optional<Header> readHeader(std::span<const std::uint8_t> file)
{
    if (file.size() < kFileHeaderSize + 4 || file[0] != 'B' || file[1] != 'M')
        return std::nullopt;
    const std::uint32_t headerSize = readLe(file, 14, 4);
    if (headerSize < kCoreHeaderSize || file.size() - kFileHeaderSize < headerSize)
        return std::nullopt;
    Header h;
    if (headerSize == kCoreHeaderSize) {
        h.width = readLe(file, 18, 2);
        h.height = readLe(file, 20, 2);
        h.bitsPerPixel = readLe(file, 24, 2);
        return h;
    }
    if (headerSize < kShortestHeaderSize)
        return std::nullopt;
    h.width = static_cast<std::int32_t>(readLe(file, 18, 4));
    h.height = std::llabs(static_cast<std::int32_t>(readLe(file, 22, 4)));
    h.bitsPerPixel = readLe(file, 28, 2);
    if (headerSize >= kHeaderSizeWithCompression)
        h.compression = readLe(file, 30, 4);
    return h;
}

// Walks a run-length stream up to its end-of-picture mark; false when the
// stream runs out first.
bool runLengthStreamEnds(std::span<const std::uint8_t> data, bool fourBit)
{
    std::size_t at = 0;
    while (at + 2 <= data.size()) {
        const std::uint8_t count = data[at];
        const std::uint8_t code = data[at + 1];
        at += 2;
        if (count != 0)
            continue; // a run of `count` pixels
        if (code == 1)
            return true; // end of picture
        if (code == 0)
            continue; // end of line
        if (code == 2) {
            at += 2; // a move right and down
            continue;
        }
        // `code` literal pixels, padded to a 16-bit boundary.
        std::size_t bytes = fourBit ? (code + 1u) / 2u : code;
        bytes += bytes % 2;
        at += bytes;
    }
    return false;
}

} // namespace

bool bmpPixelDataComplete(std::span<const std::uint8_t> file)
{
    const std::optional<Header> h = readHeader(file);
    if (!h || h->width <= 0 || h->height <= 0 || h->bitsPerPixel == 0 || h->bitsPerPixel > 32)
        return false;
    const std::uint32_t dataOffset = readLe(file, 10, 4);
    if (dataOffset > file.size())
        return false;
    const std::span<const std::uint8_t> data = file.subspan(dataOffset);
    switch (h->compression) {
    case kRgb:
    case kBitFields:
    case kAlphaBitFields: {
        // Rows are padded to whole 32-bit words.
        const std::uint64_t stride = (static_cast<std::uint64_t>(h->width) * h->bitsPerPixel + 31) / 32 * 4;
        return static_cast<std::uint64_t>(h->height) <= data.size() / stride;
    }
    case kRle8:
        return runLengthStreamEnds(data, false);
    case kRle4:
        return runLengthStreamEnds(data, true);
    default:
        return true;
    }
}
