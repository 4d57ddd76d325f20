#include "cli/render.h"

#include "app/fileio.h"
#include "app/romimage.h"
#include "tiles/bitmapio.h"
#include "tiles/codecs.h"
#include "tiles/palette.h"

#include <QString>

#include <ostream>

Bitmap renderTileMap(std::span<const std::uint8_t> rom, const RenderCommand& command)
{
    Bitmap map;
    decodeTileMap(rom, command.position, command.codec, command.geometry, defaultPalettes(), map);
    return map;
}

int runRender(const RenderCommand& command, std::ostream& err)
{
    const QString romPath = QString::fromLocal8Bit(command.romPath);
    FileReadResult file = readWholeFile(romPath);
    if (!file.ok()) {
        err << "quarn-tool: cannot read ROM '" << command.romPath << "': " << file.error.toStdString()
            << '\n';
        return kExitFileError;
    }
    // Padded like the program's Open, so a short file shows the same black tail.
    const std::vector<std::uint8_t> rom = makeRomImage(std::move(file.bytes), kMinimumLoadSize);
    const Bitmap map = renderTileMap(rom, command);

    const QString error = writeBitmapFile(map, QString::fromLocal8Bit(command.outputPath));
    if (!error.isEmpty()) {
        err << "quarn-tool: cannot write '" << command.outputPath << "': " << error.toStdString()
            << '\n';
        return kExitFileError;
    }
    return kExitOk;
}
