#pragma once
// The compressed block formats the Game Boy Advance and Nintendo DS BIOS
// decompress, and the 4-byte header every block starts with: the type in the
// first byte, the decompressed size in the next three (little-endian). An
// LZ11 header with size 0 carries the real size in a fifth to eighth byte.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

enum class CompressionFormat { Lz10, Lz11, Rle, Huffman4, Huffman8 };

inline constexpr int kCompressionFormatCount = 5;

// "lz10", "lz11", "rle", "huff4", "huff8".
[[nodiscard]] std::string_view formatName(CompressionFormat format);
[[nodiscard]] std::optional<CompressionFormat> formatFromName(std::string_view name);

// The first byte of a block of this format: 10h, 11h, 30h, 24h, 28h.
[[nodiscard]] std::uint8_t formatTypeByte(CompressionFormat format);
[[nodiscard]] std::optional<CompressionFormat> formatFromTypeByte(std::uint8_t type);

// The largest size a plain header can announce; LZ11 goes further with the
// extended header.
inline constexpr std::uint32_t kLargestPlainSize = 0xFFFFFF;

struct BlockHeader {
    CompressionFormat format = CompressionFormat::Lz10;
    std::uint64_t decompressedSize = 0;
    std::size_t headerBytes = 4; // 8 for LZ11's extended size
};

// The header at `offset`, or a message saying why there is none; with `as`
// the type byte is not looked at and the stream is read in that format. A header is
// refused at once when the rest of the image could not expand to the size it
// announces in this format, so nothing is ever allocated for such a promise.
struct HeaderRead {
    std::optional<BlockHeader> header;
    std::string error;
};
[[nodiscard]] HeaderRead readBlockHeader(std::span<const std::uint8_t> image, std::size_t offset,
                                        std::optional<CompressionFormat> as = std::nullopt);

// The most bytes `inputBytes` of stream after the header can decompress to in
// this format: what a stream made only of the longest copies or runs gives.
[[nodiscard]] std::uint64_t largestExpansion(CompressionFormat format, std::uint64_t inputBytes);
