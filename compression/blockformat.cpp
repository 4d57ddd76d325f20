#include "compression/blockformat.h"

#include <array>

namespace {

struct FormatInfo {
    CompressionFormat format;
    std::string_view name;
    std::uint8_t type;
};

constexpr std::array<FormatInfo, kCompressionFormatCount> kFormats{{
    {CompressionFormat::Lz10, "lz10", 0x10},
    {CompressionFormat::Lz11, "lz11", 0x11},
    {CompressionFormat::Rle, "rle", 0x30},
    {CompressionFormat::Huffman4, "huff4", 0x24},
    {CompressionFormat::Huffman8, "huff8", 0x28},
}};

const FormatInfo& infoOf(CompressionFormat format) { return kFormats[static_cast<std::size_t>(format)]; }

std::string hexByte(std::uint8_t value)
{
    constexpr char digits[] = "0123456789ABCDEF";
    return {digits[value >> 4], digits[value & 15]};
}

} // namespace

std::string_view formatName(CompressionFormat format) { return infoOf(format).name; }

std::optional<CompressionFormat> formatFromName(std::string_view name)
{
    for (const FormatInfo& info : kFormats)
        if (info.name == name)
            return info.format;
    return std::nullopt;
}

std::uint8_t formatTypeByte(CompressionFormat format) { return infoOf(format).type; }

std::optional<CompressionFormat> formatFromTypeByte(std::uint8_t type)
{
    for (const FormatInfo& info : kFormats)
        if (info.type == type)
            return info.format;
    return std::nullopt;
}

std::uint64_t largestExpansion(CompressionFormat format, std::uint64_t inputBytes)
{
    switch (format) {
    case CompressionFormat::Lz10:
        return inputBytes * 9; // 18 bytes from each 2-byte copy, flags cost extra
    case CompressionFormat::Lz11:
        return inputBytes * 16452; // 65808 bytes from each 4-byte copy
    case CompressionFormat::Rle:
        return inputBytes * 65; // 130 bytes from each 2-byte run
    case CompressionFormat::Huffman4:
        return inputBytes * 4; // at best one 4-bit symbol per bit
    case CompressionFormat::Huffman8:
        return inputBytes * 8;
    }
    return 0;
}

HeaderRead readBlockHeader(std::span<const std::uint8_t> image, std::size_t offset, std::optional<CompressionFormat> as)
{
    if (offset >= image.size() || image.size() - offset < 4)
        return {std::nullopt, "no room for a 4-byte header"};
    const std::uint8_t* at = image.data() + offset;
    const std::optional<CompressionFormat> format = as ? as : formatFromTypeByte(at[0]);
    if (!format)
        return {std::nullopt, "type byte " + hexByte(at[0]) + "h is none of 10h, 11h, 24h, 28h, 30h"};
    BlockHeader header{*format, static_cast<std::uint64_t>(at[1] | at[2] << 8 | at[3] << 16), 4};
    if (*format == CompressionFormat::Lz11 && header.decompressedSize == 0) {
        if (image.size() - offset < 8)
            return {std::nullopt, "no room for the extended size of the header"};
        header.decompressedSize = static_cast<std::uint64_t>(at[4]) | static_cast<std::uint64_t>(at[5]) << 8 |
                                  static_cast<std::uint64_t>(at[6]) << 16 | static_cast<std::uint64_t>(at[7]) << 24;
        header.headerBytes = 8;
    }
    const std::uint64_t rest = image.size() - offset - header.headerBytes;
    if (header.decompressedSize > largestExpansion(*format, rest))
        return {std::nullopt, "the header announces " + std::to_string(header.decompressedSize) +
                                  " bytes, more than the " + std::to_string(rest) +
                                  " bytes left in the image can hold in " + std::string(formatName(*format))};
    return {header, {}};
}
