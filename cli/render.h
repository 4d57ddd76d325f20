#pragma once
// The render subcommand: one screen of the tile map written as a picture.
#include "cli/args.h"
#include "cli/romfile.h"
#include "tiles/bitmap.h"
#include "tiles/colourformat.h"
#include "tiles/palette.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

// The map exactly as the tile map window decodes it, at single size.
Bitmap renderTileMap(std::span<const std::uint8_t> rom, const RenderCommand& command,
                     const Palettes& palettes = defaultPalettes());

// The default palettes with the codec's palette replaced by the file's
// entries (4 for the 1- and 2-bit codecs, 16 for the 3- and 4-bit ones, 256
// for the wider ones). An empty
// path gives the defaults. On failure the message goes to `err` and nothing
// is returned.
std::optional<Palettes> palettesForCommand(const std::string& palettePath, Codec codec, std::ostream& err);

// Replaces the codec's palette in `palettes` with the colours at `at` of
// `rom` in `format`; a negative `at` leaves it alone. Colours running past
// the end are refused with a message on `err`, and false is returned.
[[nodiscard]] bool takePaletteFromRom(Palettes& palettes, Codec codec, std::span<const std::uint8_t> rom,
                                      std::int32_t at, ColourFormat format, std::ostream& err);

// takePaletteFromRom for a command that draws `tiles`, the ROM as opened or
// a block decompressed from it: the palette is always read from the ROM.
template <typename DrawCommand>
[[nodiscard]] bool takePaletteFromRomFile(Palettes& palettes, const DrawCommand& command,
                                          std::span<const std::uint8_t> tiles, std::ostream& err)
{
    if (command.paletteAt < 0 || command.compressedAt < 0)
        return takePaletteFromRom(palettes, command.codec, tiles, command.paletteAt, command.paletteFormat, err);
    const std::optional<RomBytes> rom = readRomAsOpened(command.romPath, err);
    return rom && takePaletteFromRom(palettes, command.codec, *rom, command.paletteAt, command.paletteFormat, err);
}

// Reads the ROM as Open does, renders and writes the picture in the format
// its name asks for. Messages go to `err`; returns the process exit code.
int runRender(const RenderCommand& command, std::ostream& out, std::ostream& err);
