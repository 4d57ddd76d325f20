#pragma once
// The render subcommand: one screen of the tile map written as a picture.
#include "cli/args.h"
#include "tiles/bitmap.h"
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
// entries (4 for the 1- and 2-bit codecs, 16 for the 4-bit ones). An empty
// path gives the defaults. On failure the message goes to `err` and nothing
// is returned.
std::optional<Palettes> palettesForCommand(const std::string& palettePath, Codec codec, std::ostream& err);

// Reads the ROM as Open does, renders and writes the picture in the format
// its name asks for. Messages go to `err`; returns the process exit code.
int runRender(const RenderCommand& command, std::ostream& out, std::ostream& err);
