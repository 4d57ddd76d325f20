#include "compression/compress.h"

#include "compression/encoders.h"

#include <algorithm>

void appendBlockHeader(std::vector<std::uint8_t>& out, std::uint8_t type, std::size_t size)
{
    // LZ11 says 0 in the plain header when the size follows in 4 more bytes.
    const bool extended = type == 0x11 && (size == 0 || size > kLargestPlainSize);
    out.push_back(type);
    for (int shift = 0; shift < 24; shift += 8)
        out.push_back(extended ? 0 : static_cast<std::uint8_t>(size >> shift));
    if (extended)
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<std::uint8_t>(size >> shift));
}

std::size_t largestCompressInput(CompressionFormat format)
{
    return format == CompressionFormat::Lz11 ? std::size_t{64} << 20 : kLargestPlainSize;
}

CompressResult compressBlock(std::span<const std::uint8_t> data, CompressionFormat format, CompressOptions options)
{
    CompressResult result;
    if (data.size() > largestCompressInput(format)) {
        result.error = std::to_string(data.size()) + " bytes are more than " + std::string(formatName(format)) +
                       " can hold (at most " + std::to_string(largestCompressInput(format)) + ")";
        return result;
    }
    switch (format) {
    case CompressionFormat::Lz10:
    case CompressionFormat::Lz11:
        result.bytes = encodeLz(data, format == CompressionFormat::Lz11, options.vramSafe);
        break;
    case CompressionFormat::Rle:
        result.bytes = encodeRle(data);
        break;
    case CompressionFormat::Huffman4:
    case CompressionFormat::Huffman8:
        result.bytes = encodeHuffman(data, format == CompressionFormat::Huffman4);
        break;
    }
    result.bytes.resize((result.bytes.size() + 3) & ~std::size_t{3}, 0);
    return result;
}

WriteBackResult prepareWriteBack(std::span<const std::uint8_t> image, std::size_t offset,
                                 std::span<const std::uint8_t> data, std::optional<CompressionFormat> format,
                                 CompressOptions options, std::size_t room)
{
    WriteBackResult result;
    std::string why;
    const std::optional<BlockInfo> old = measureBlock(image, offset, Strictness::Decoder, &why);
    if (!old) {
        result.error = "no compressed block to replace: " + why;
        return result;
    }
    result.oldSize = std::max(old->compressedSize, std::min(room, image.size() - offset));
    result.format = format.value_or(old->format);
    // A block the game may decompress into VRAM stays safe for it.
    const bool lz = old->format == CompressionFormat::Lz10 || old->format == CompressionFormat::Lz11;
    options.vramSafe |= lz && !old->copiesFromOneBack;
    CompressResult compressed = compressBlock(data, result.format, options);
    if (!compressed.ok()) {
        result.error = compressed.error;
        return result;
    }
    // Measured as the old block was: the stream as far as a decoder reads it,
    // without the padding to 4 bytes.
    const std::optional<BlockInfo> fresh = measureBlock(compressed.bytes, 0);
    result.newSize = fresh ? fresh->compressedSize : compressed.bytes.size();
    if (result.newSize > result.oldSize) {
        result.error = "the block no longer fits: " + std::to_string(result.newSize) +
                       " compressed bytes, the old block has " + std::to_string(result.oldSize);
        return result;
    }
    result.replacement = std::move(compressed.bytes);
    result.replacement.resize(result.oldSize, 0);
    std::fill(result.replacement.begin() + static_cast<std::ptrdiff_t>(result.newSize), result.replacement.end(), 0);
    return result;
}

WriteBackResult writeBackBlock(std::span<std::uint8_t> image, std::size_t offset, std::span<const std::uint8_t> data,
                               std::optional<CompressionFormat> format, CompressOptions options)
{
    WriteBackResult result = prepareWriteBack(image, offset, data, format, options);
    if (result.ok())
        std::copy(result.replacement.begin(), result.replacement.end(),
                  image.begin() + static_cast<std::ptrdiff_t>(offset));
    return result;
}
