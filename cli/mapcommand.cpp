#include "cli/mapcommand.h"

#include "app/fileio.h"
#include "cli/compresscommands.h"
#include "cli/romfile.h"
#include "cli/args.h"
#include "cli/render.h"
#include "text/tiletable.h"
#include "tiles/bitmapio.h"
#include "workspace/codemap.h"

#include <QString>

#include <ostream>

namespace {
std::optional<TileSequenceMatcher> tileTableFor(const std::string& path, std::ostream& err)
{
    const FileReadResult file = readWholeFile(QString::fromLocal8Bit(path));
    if (!file.ok()) {
        err << "quarn-tool: cannot read tile table '" << path << "': " << file.error.toStdString() << '\n';
        return std::nullopt;
    }
    const TileTableReadResult read = readTileTableFile(
        std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()), TileTableRules::Open);
    if (!read.table) {
        err << "quarn-tool: bad tile table '" << path << "': " << read.error << '\n';
        return std::nullopt;
    }
    return TileSequenceMatcher(read.table->entries);
}
} // namespace

int runMap(const MapCommand& command, std::ostream&, std::ostream& err)
{
    std::optional<Palettes> palettes = palettesForCommand(command.palettePath, command.codec, err);
    if (!palettes)
        return kExitFileError;
    // Padded like the program's Open; cells past the end stay black.
    const std::optional<RomBytes> opened = command.compressedAt < 0
                                               ? readRomAsOpened(command.romPath, err)
                                               : readBlockForCommand(command.romPath, command.compressedAt, err);
    if (!opened || !takePaletteFromRomFile(*palettes, command, *opened, err))
        return kExitFileError;
    const RomBytes& rom = *opened;
    std::optional<TileSequenceMatcher> tileTable;
    if (!command.tileTablePath.empty() && !(tileTable = tileTableFor(command.tileTablePath, err)))
        return kExitFileError;
    RenderCommand map;
    map.codec = command.codec;
    map.position = command.position;
    map.geometry = command.geometry;
    const Bitmap tileMap = renderTileMap(rom, map, *palettes);
    const std::vector<int> codes =
        readCellCodes(rom, static_cast<std::size_t>(command.at),
                      static_cast<std::size_t>(command.width) * static_cast<std::size_t>(command.height),
                      tileTable ? &*tileTable : nullptr);
    const QString error = writeBitmapFile(codeMapPicture(tileMap, command.geometry, codes, command.width),
                                          QString::fromLocal8Bit(command.outputPath));
    if (!error.isEmpty()) {
        err << "quarn-tool: cannot write '" << command.outputPath << "': " << error.toStdString() << '\n';
        return kExitFileError;
    }
    return kExitOk;
}
