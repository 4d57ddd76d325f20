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
// `format`) for writing over that block. It fits when its stream, as a
// decoder reads it, is no longer than the old block's; `replacement` is then
// exactly as long as the old block: the new stream, then zeros. Otherwise
// `error` names both sizes. An LZ77 block that never copied from one byte
// back is recompressed VRAM-safe. A window records the replaced range as one undo
// step and writes `replacement`; writeBackBlock does both at once.
struct WriteBackResult {
    std::size_t oldSize = 0; // compressed bytes of the block that was there, or the room when larger
    std::size_t newSize = 0; // compressed bytes of `data`, 0 when not compressed
    CompressionFormat format = CompressionFormat::Lz10;
    std::vector<std::uint8_t> replacement;
    std::string error;

    [[nodiscard]] bool ok() const { return error.empty(); }
};
//
// `room`, when larger than the old stream, is what the block may fill: a
// block written back shorter than it was leaves zeros up to its old end,
// which the next write back may take again (cut to the image's end).
[[nodiscard]] WriteBackResult prepareWriteBack(std::span<const std::uint8_t> image, std::size_t offset,
                                               std::span<const std::uint8_t> data,
                                               std::optional<CompressionFormat> format = std::nullopt,
                                               CompressOptions options = {}, std::size_t room = 0);
// The same, written into `image` when it fits; nothing changes otherwise.
[[nodiscard]] WriteBackResult writeBackBlock(std::span<std::uint8_t> image, std::size_t offset,
                                             std::span<const std::uint8_t> data,
                                             std::optional<CompressionFormat> format = std::nullopt,
                                             CompressOptions options = {});
