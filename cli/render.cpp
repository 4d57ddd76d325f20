#include "cli/render.h"

#include "app/fileio.h"
#include "cli/compresscommands.h"
#include "cli/romfile.h"
#include "tiles/bitmapio.h"
#include "tiles/codecs.h"
#include "tiles/palettefile.h"

#include <QString>

#include <algorithm>
#include <ostream>

Bitmap renderTileMap(std::span<const std::uint8_t> rom, const RenderCommand& command, const Palettes& palettes)
{
    Bitmap map;
    decodeTileMap(rom, command.position, command.codec, command.geometry, palettes, map);
    return map;
}

std::optional<Palettes> palettesForCommand(const std::string& palettePath, Codec codec, std::ostream& err)
{
    Palettes palettes = defaultPalettes();
    if (palettePath.empty())
        return palettes;
    const FileReadResult file = readWholeFile(QString::fromLocal8Bit(palettePath));
    if (!file.ok()) {
        err << "quarn-tool: cannot read palette '" << palettePath << "': " << file.error.toStdString() << '\n';
        return std::nullopt;
    }
    const PaletteMode mode = paletteModeFor(codec);
    const PaletteReadResult read =
        readPaletteFile(file.bytes, paletteFileFormFor(palettePath), paletteEntryCount(mode));
    // Unlike the program, which keeps what it read before a bad line, a
    // command takes the whole palette or nothing.
    if (!read.ok()) {
        err << "quarn-tool: bad palette '" << palettePath << "': " << read.error << '\n';
        return std::nullopt;
    }
    std::copy(read.colours.begin(), read.colours.end(), paletteEntries(palettes, mode).begin());
    return palettes;
}

bool takePaletteFromRom(Palettes& palettes, Codec codec, std::span<const std::uint8_t> rom, std::int32_t at,
                        ColourFormat format, std::ostream& err)
{
    if (at < 0)
        return true;
    const PaletteMode mode = paletteModeFor(codec);
    const ColourReadResult read = readColours(rom, at, paletteEntryCount(mode), format);
    if (!read.ok()) {
        err << "quarn-tool: cannot read the palette at " << at << ": " << read.error << '\n';
        return false;
    }
    std::copy(read.colours.begin(), read.colours.end(), paletteEntries(palettes, mode).begin());
    return true;
}

int runRender(const RenderCommand& command, std::ostream&, std::ostream& err)
{
    std::optional<Palettes> palettes = palettesForCommand(command.palettePath, command.codec, err);
    if (!palettes)
        return kExitFileError;
    // Padded like the program's Open, so a short file shows the same black tail.
    const std::optional<RomBytes> rom = command.compressedAt < 0
                                            ? readRomAsOpened(command.romPath, err)
                                            : readBlockForCommand(command.romPath, command.compressedAt, err);
    if (!rom || !takePaletteFromRomFile(*palettes, command, *rom, err))
        return kExitFileError;
    const Bitmap map = renderTileMap(*rom, command, *palettes);

    // The same file as the program's Save To BMP: 8-bit indexed for 8-bit codecs.
    const QString error = writeBitmapFile(map, QString::fromLocal8Bit(command.outputPath),
                                          pictureColourTable(command.codec, *palettes));
    if (!error.isEmpty()) {
        err << "quarn-tool: cannot write '" << command.outputPath << "': " << error.toStdString()
            << '\n';
        return kExitFileError;
    }
    return kExitOk;
}
