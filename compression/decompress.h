#pragma once
// Decompressing one block of the image. Decoding never reads outside the
// image nor writes past the announced size; a stream that runs out, copies
// from before its start or overshoots its size is refused with a message.
#include "compression/blockformat.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct BlockInfo {
    CompressionFormat format = CompressionFormat::Lz10;
    std::size_t compressedSize = 0; // header and stream, as far as the decoder read
    std::size_t decompressedSize = 0;
    bool copiesFromOneBack = false; // LZ77: not VRAM-safe
    bool operator==(const BlockInfo&) const = default;
};

struct DecompressResult {
    std::vector<std::uint8_t> bytes;
    BlockInfo info;
    std::string error; // empty on success

    [[nodiscard]] bool ok() const { return error.empty(); }
};

// The block whose header is at `offset`; in format `as` whatever its type
// byte says, when given.
[[nodiscard]] DecompressResult decompressBlock(std::span<const std::uint8_t> image, std::size_t offset,
                                               std::optional<CompressionFormat> as = std::nullopt);

// How the scan judges a candidate: besides decoding completely, the stream
// must look as an encoder writes it. Huffman trees are true trees (no pair
// shared, each symbol once, no unused table space beyond padding) and RLE
// literal items are cut short only before a run or at the end.
enum class Strictness { Decoder, Encoder };

// Whether the block at `offset` decodes completely, without keeping its
// bytes: nothing is allocated. `error` (when given) says why not.
[[nodiscard]] std::optional<BlockInfo> measureBlock(std::span<const std::uint8_t> image, std::size_t offset,
                                                    Strictness strictness = Strictness::Decoder,
                                                    std::string* error = nullptr);
