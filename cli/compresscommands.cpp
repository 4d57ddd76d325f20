#include "cli/compresscommands.h"

#include "app/fileio.h"
#include "app/numbers.h"
#include "cli/args.h"
#include "cli/romfile.h"
#include "compression/compress.h"
#include "compression/scan.h"

#include <QString>

#include <ostream>

namespace {

constexpr int kExitNothingFound = 1;

bool writeFile(const std::string& path, std::span<const std::uint8_t> bytes, const char* what, std::ostream& err)
{
    const QString error = writeWholeFile(QString::fromLocal8Bit(path), bytes);
    if (!error.isEmpty())
        err << "quarn-tool: cannot write " << what << " '" << path << "': " << error.toStdString() << '\n';
    return error.isEmpty();
}

std::string offsetText(std::size_t offset) { return hexText(static_cast<std::uint32_t>(offset), 8); }

// "huff" stands for both Huffman formats.
bool formatMatches(const std::string& wanted, CompressionFormat format)
{
    if (wanted == "huff")
        return format == CompressionFormat::Huffman4 || format == CompressionFormat::Huffman8;
    return wanted.empty() || wanted == "any" || formatFromName(wanted) == format;
}

} // namespace

int runScanCompressed(const ScanCompressedCommand& command, std::ostream& out, std::ostream& err)
{
    const std::optional<RomBytes> rom = readToolFile(command.romPath, "ROM", err);
    if (!rom)
        return kExitFileError;
    ScanOptions options;
    options.minimumSize = static_cast<std::size_t>(command.minimumSize);
    for (int f = 0; f < kCompressionFormatCount; ++f)
        options.formats.set(static_cast<std::size_t>(f),
                            formatMatches(command.format, static_cast<CompressionFormat>(f)));
    const std::vector<FoundBlock> found = scanCompressedBlocks(*rom, options);
    for (const FoundBlock& block : found)
        out << offsetText(block.offset) << ' ' << formatName(block.info.format) << ' ' << block.info.compressedSize
            << ' ' << block.info.decompressedSize << '\n';
    return found.empty() ? kExitNothingFound : kExitOk;
}

std::optional<DecompressResult> decompressForCommand(std::span<const std::uint8_t> rom, std::int32_t at,
                                                     const std::string& format, std::ostream& err)
{
    DecompressResult block = decompressBlock(rom, static_cast<std::size_t>(at), formatFromName(format));
    if (!block.ok()) {
        err << "quarn-tool: no compressed block at " << offsetText(static_cast<std::size_t>(at)) << ": "
            << block.error << '\n';
        return std::nullopt;
    }
    return block;
}

std::optional<RomBytes> readBlockForCommand(const std::string& romPath, std::int32_t at, std::ostream& err)
{
    const std::optional<RomBytes> rom = readToolFile(romPath, "ROM", err);
    if (!rom)
        return std::nullopt;
    const std::optional<DecompressResult> block = decompressForCommand(*rom, at, "", err);
    if (!block)
        return std::nullopt;
    return RomBytes(block->bytes.begin(), block->bytes.end());
}

int runDecompress(const DecompressCommand& command, std::ostream& out, std::ostream& err)
{
    const std::optional<RomBytes> rom = readToolFile(command.romPath, "ROM", err);
    if (!rom)
        return kExitFileError;
    const std::optional<DecompressResult> block = decompressForCommand(*rom, command.at, command.format, err);
    if (!block)
        return kExitFileError;
    if (!writeFile(command.outputPath, block->bytes, "output", err))
        return kExitFileError;
    out << "quarn-tool: " << formatName(block->info.format) << ", read " << block->info.compressedSize
        << " compressed bytes, wrote " << block->bytes.size() << '\n';
    return kExitOk;
}

int runCompress(const CompressCommand& command, std::ostream& out, std::ostream& err)
{
    const std::optional<RomBytes> input = readToolFile(command.inputPath, "input", err);
    if (!input)
        return kExitFileError;
    const CompressionFormat format = formatFromName(command.format).value_or(CompressionFormat::Lz10);
    const CompressResult block = compressBlock(*input, format, {command.vramSafe});
    if (!block.ok()) {
        err << "quarn-tool: compress: " << block.error << '\n';
        return kExitFileError;
    }
    if (!writeFile(command.outputPath, block.bytes, "output", err))
        return kExitFileError;
    out << "quarn-tool: " << input->size() << " bytes compressed to " << block.bytes.size() << " ("
        << command.format << ")\n";
    return kExitOk;
}

bool writeBackForCommand(RomBytes& rom, std::int32_t at, std::span<const std::uint8_t> data,
                         const std::string& format, bool vramSafe, std::ostream& out, std::ostream& err)
{
    std::optional<CompressionFormat> chosen;
    if (!format.empty())
        chosen = formatFromName(format);
    const WriteBackResult result = writeBackBlock(rom, static_cast<std::size_t>(at), data, chosen, {vramSafe});
    if (!result.ok()) {
        err << "quarn-tool: nothing written at " << offsetText(static_cast<std::size_t>(at)) << ": " << result.error
            << '\n';
        return false;
    }
    out << "quarn-tool: " << formatName(result.format) << " block of " << result.newSize << " bytes written at "
        << offsetText(static_cast<std::size_t>(at)) << " (the old one had " << result.oldSize << ")\n";
    return true;
}

int runRecompress(const RecompressCommand& command, std::ostream& out, std::ostream& err)
{
    std::optional<RomBytes> rom = readToolFile(command.romPath, "ROM", err, OpenMode::ReadWrite);
    if (!rom)
        return kExitFileError;
    const std::optional<RomBytes> data = readToolFile(command.dataPath, "data", err);
    if (!data)
        return kExitFileError;
    if (!writeBackForCommand(*rom, command.at, *data, command.format, command.vramSafe, out, err))
        return kExitFileError;
    return writeFile(command.romPath, *rom, "ROM", err) ? kExitOk : kExitFileError;
}
