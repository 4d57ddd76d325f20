#pragma once
// The compressed-block subcommands: finding, decompressing, compressing and
// recompressing blocks of the BIOS formats.
#include "app/romimage.h"
#include "compression/decompress.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

// Every block found: offset, format, compressed and decompressed size.
struct ScanCompressedCommand {
    std::string romPath;
    std::string format = "any"; // lz10, lz11, rle, huff or any
    std::int32_t minimumSize = 32;
    bool operator==(const ScanCompressedCommand&) const = default;
};

struct DecompressCommand {
    std::string romPath;
    std::int32_t at = 0;
    std::string format; // empty: whatever the header's type byte says
    std::string outputPath;
    bool operator==(const DecompressCommand&) const = default;
};

struct CompressCommand {
    std::string inputPath;
    std::string format; // lz10, lz11, rle, huff4 or huff8
    bool vramSafe = false;
    std::string outputPath;
    bool operator==(const CompressCommand&) const = default;
};

// DATA compressed into the ROM at the block's place, when it fits there.
struct RecompressCommand {
    std::string romPath;
    std::string dataPath;
    std::int32_t at = 0;
    std::string format; // empty: the block's own
    bool vramSafe = false;
    bool operator==(const RecompressCommand&) const = default;
};

// The block at `at` (in `format` when not empty, whatever its type byte
// says); nothing after a message.
// For the map commands' --compressed-at: the block at `at` of the ROM file,
// decompressed; nothing after a message.
[[nodiscard]] std::optional<RomBytes> readBlockForCommand(const std::string& romPath, std::int32_t at,
                                                          std::ostream& err);
[[nodiscard]] std::optional<DecompressResult> decompressForCommand(std::span<const std::uint8_t> rom, std::int32_t at,
                                                                   const std::string& format, std::ostream& err);
// Recompresses `data` over the block at `at` of `rom` (format empty: the
// block's own) and reports it on `out`; false after a message on `err`.
bool writeBackForCommand(RomBytes& rom, std::int32_t at, std::span<const std::uint8_t> data,
                         const std::string& format, bool vramSafe, std::ostream& out, std::ostream& err);

// Each returns the process exit code; messages go to `err`.
int runScanCompressed(const ScanCompressedCommand& command, std::ostream& out, std::ostream& err);
int runDecompress(const DecompressCommand& command, std::ostream& out, std::ostream& err);
int runCompress(const CompressCommand& command, std::ostream& out, std::ostream& err);
int runRecompress(const RecompressCommand& command, std::ostream& out, std::ostream& err);
