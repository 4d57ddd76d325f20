#pragma once
// Finding compressed blocks in an image: every 4-byte-aligned offset whose
// header is valid and whose stream decompresses completely inside the image
// to at least a given size.
#include "compression/decompress.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

struct ScanOptions {
    std::bitset<kCompressionFormatCount> formats = 0x1F; // by CompressionFormat; all by default
    std::size_t minimumSize = 32;                        // decompressed bytes
};

struct FoundBlock {
    std::size_t offset = 0;
    BlockInfo info;
    bool operator==(const FoundBlock&) const = default;
};

// Ascending by offset. A candidate must also look as an encoder writes it
// (Strictness::Encoder), which keeps noise from reading as RLE or Huffman.
[[nodiscard]] std::vector<FoundBlock> scanCompressedBlocks(std::span<const std::uint8_t> image,
                                                           const ScanOptions& options = {});
