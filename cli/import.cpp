#include "cli/import.h"

#include "app/fileio.h"
#include "cli/compresscommands.h"
#include "cli/render.h"
#include "tiles/bitmapimport.h"
#include "tiles/bitmapio.h"
#include "tiles/tilegrid.h"

#include <QString>

#include <ostream>

int runImport(const ImportCommand& command, std::ostream& out, std::ostream& err)
{
    std::optional<Palettes> palettes = palettesForCommand(command.palettePath, command.codec, err);
    if (!palettes)
        return kExitFileError;
    const QString romPath = QString::fromLocal8Bit(command.romPath);
    // Read-write, as the program opens a ROM it may save: a read-only file
    // fails here rather than after the work.
    FileReadResult rom = readWholeFile(romPath, OpenMode::ReadWrite);
    if (!rom.ok()) {
        err << "quarn-tool: cannot read ROM '" << command.romPath << "': " << rom.error.toStdString() << '\n';
        return kExitFileError;
    }
    // From the file as it is, before a block is decompressed or anything written.
    if (!takePaletteFromRom(*palettes, command.codec, rom.bytes, command.paletteAt, command.paletteFormat, err))
        return kExitFileError;
    const BitmapReadResult picture = readBitmapFile(QString::fromLocal8Bit(command.imagePath));
    if (!picture.bitmap) {
        err << "quarn-tool: cannot read picture '" << command.imagePath << "': " << picture.error.toStdString()
            << '\n';
        return kExitFileError;
    }

    std::optional<DecompressResult> block;
    if (command.compressedAt >= 0 && !(block = decompressForCommand(rom.bytes, command.compressedAt, "", err)))
        return kExitFileError;
    // Unlike Open, the file is not padded: it is written back as long as it was.
    const TileMapImportResult result =
        importTileMapPicture(block ? std::span<std::uint8_t>(block->bytes) : std::span<std::uint8_t>(rom.bytes),
                             command.position, command.codec, command.geometry, *palettes,
                             *picture.bitmap, command.nearest ? UnmatchedColours::Nearest : UnmatchedColours::StandIn);
    // With nothing written (an empty file, a position past its end) the file is left alone.
    if (result.tilesEncoded + result.tilesPartlyEncoded > 0) {
        if (block && !writeBackForCommand(rom.bytes, command.compressedAt, block->bytes, "", false, out, err))
            return kExitFileError;
        const QString error = writeWholeFile(romPath, rom.bytes);
        if (!error.isEmpty()) {
            err << "quarn-tool: cannot write ROM '" << command.romPath << "': " << error.toStdString() << '\n';
            return kExitFileError;
        }
    }
    out << "quarn-tool: " << result.tilesEncoded << " tiles encoded";
    if (result.tilesPartlyEncoded > 0)
        out << ", " << result.tilesPartlyEncoded << " in part up to the end of the file";
    if (result.tilesOutsidePicture > 0)
        out << ", " << result.tilesOutsidePicture << " outside the picture left as they were";
    if (result.pixelsPastEnd > 0)
        out << ", " << result.pixelsPastEnd << " pixels past the end of the file not written";
    out << '\n';
    // Warnings, not failures: the import itself is complete.
    const int mapWidth = mapPixelWidth(command.geometry);
    const int mapHeight = mapPixelHeight(command.geometry);
    if (picture.bitmap->width != mapWidth || picture.bitmap->height != mapHeight)
        err << "quarn-tool: the picture is " << picture.bitmap->width << " x " << picture.bitmap->height
            << ", the tile map " << mapWidth << " x " << mapHeight
            << ": only the top left part that both cover was read\n";
    if (result.unmatchedPixels > 0) {
        err << "quarn-tool: " << result.unmatchedPixels << " pixels had a colour in no palette entry; ";
        if (command.nearest)
            err << "each was written as the value of the nearest palette colour\n";
        else
            err << "they were written as value " << unmatchedColourValue(command.codec)
                << " (--nearest picks the nearest palette colour)\n";
    }
    return kExitOk;
}
