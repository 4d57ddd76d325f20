#include "compression/scan.h"

#include <array>

namespace {

// Cheap checks on the first bytes, before any decoding: an LZ77 stream can
// only start with a literal, and an RLE stream's first item must fit.
bool plausibleStart(std::span<const std::uint8_t> image, std::size_t offset, CompressionFormat format)
{
    const std::size_t first = offset + (format == CompressionFormat::Lz11 && image[offset + 1] == 0 &&
                                                image[offset + 2] == 0 && image[offset + 3] == 0
                                            ? 8
                                            : 4);
    if (first >= image.size())
        return false;
    switch (format) {
    case CompressionFormat::Lz10:
    case CompressionFormat::Lz11:
        return (image[first] & 0x80) == 0;
    case CompressionFormat::Rle:
    case CompressionFormat::Huffman4:
    case CompressionFormat::Huffman8:
        return true;
    }
    return false;
}

} // namespace

std::vector<FoundBlock> scanCompressedBlocks(std::span<const std::uint8_t> image, const ScanOptions& options)
{
    // Which type bytes start a candidate, as a table for the tight loop.
    std::array<bool, 256> wanted{};
    for (int f = 0; f < kCompressionFormatCount; ++f)
        if (options.formats.test(static_cast<std::size_t>(f)))
            wanted[formatTypeByte(static_cast<CompressionFormat>(f))] = true;

    std::vector<FoundBlock> found;
    if (image.size() < 4)
        return found;
    const std::size_t last = image.size() - 4;
    const std::uint8_t* d = image.data();
    for (std::size_t offset = 0; offset <= last; offset += 4) {
        if (!wanted[d[offset]])
            continue;
        const std::uint32_t size = static_cast<std::uint32_t>(d[offset + 1] | d[offset + 2] << 8 | d[offset + 3] << 16);
        const CompressionFormat format = *formatFromTypeByte(d[offset]);
        // An LZ11 size of 0 is the extended form, checked when decoded.
        if ((size < options.minimumSize && !(format == CompressionFormat::Lz11 && size == 0)) ||
            !plausibleStart(image, offset, format))
            continue;
        const std::optional<BlockInfo> info = measureBlock(image, offset, Strictness::Encoder);
        if (info && info->decompressedSize >= options.minimumSize)
            found.push_back({offset, *info});
    }
    return found;
}
