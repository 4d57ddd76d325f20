#pragma once
// Compressing bytes into a block the BIOS decompresses, and writing a
// recompressed block back over the one it came from.
#include "compression/blockformat.h"
#include "compression/decompress.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct CompressOptions {
    // LZ77 never copies from one byte back, so a decoder writing 16-bit
    // units (into VRAM) always reads bytes already written.
    bool vramSafe = false;
};

struct CompressResult {
    std::vector<std::uint8_t> bytes; // header and stream, padded with zeros to a multiple of 4
    std::string error;               // empty on success

    [[nodiscard]] bool ok() const { return error.empty(); }
};

// The largest input compressBlock takes: what a plain header announces, and
// for LZ11 (extended header) 64 MiB.
[[nodiscard]] std::size_t largestCompressInput(CompressionFormat format);

[[nodiscard]] CompressResult compressBlock(std::span<const std::uint8_t> data, CompressionFormat format,
                                           CompressOptions options = {});

// Recompresses `data` in the format of the block at `offset` (or in
// `format`) and writes it there when it fits in the old block's compressed
// size; the rest of the old block becomes zeros. Otherwise nothing changes
// and `error` names both sizes.
struct WriteBackResult {
    std::size_t oldSize = 0; // compressed bytes of the block that was there
    std::size_t newSize = 0; // compressed bytes of `data`, 0 when not compressed
    CompressionFormat format = CompressionFormat::Lz10;
    std::string error;

    [[nodiscard]] bool ok() const { return error.empty(); }
};
[[nodiscard]] WriteBackResult writeBackBlock(std::span<std::uint8_t> image, std::size_t offset,
                                             std::span<const std::uint8_t> data,
                                             std::optional<CompressionFormat> format = std::nullopt,
                                             CompressOptions options = {});
