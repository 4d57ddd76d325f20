#pragma once
// The render subcommand: one screen of the tile map written as a picture.
#include "cli/args.h"
#include "tiles/bitmap.h"

#include <cstdint>
#include <iosfwd>
#include <span>

// The map exactly as the tile map window decodes it, at single size, with the
// default palettes.
Bitmap renderTileMap(std::span<const std::uint8_t> rom, const RenderCommand& command);

// Reads the ROM as Open does, renders and writes the picture. Messages go to
// `err`; returns the process exit code.
int runRender(const RenderCommand& command, std::ostream& err);
