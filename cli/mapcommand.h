#pragma once
// The map subcommand: W x H cells of the ROM drawn with the tile map's
// blocks, as the workspace shows them.
#include "tiles/codecs.h"
#include "tiles/colourformat.h"

#include <cstdint>
#include <iosfwd>
#include <string>

struct MapCommand {
    std::string romPath;
    std::string outputPath;
    std::int32_t at = 0;       // the first byte of the cells
    std::int32_t width = 32;   // cells per row
    std::int32_t height = 32;  // rows
    std::string tileTablePath; // empty: one byte per cell
    Codec codec = Codec::OneBpp; // the tile map the blocks come from
    std::int32_t position = 0;
    TileGeometry geometry;
    std::string palettePath;
    std::int32_t paletteAt = -1;
    ColourFormat paletteFormat = ColourFormat::Bgr555;
    std::int32_t compressedAt = -1; // cells and tile map from the block decompressed here
    bool operator==(const MapCommand&) const = default;
};

// Returns the process exit code; messages go to `err`.
int runMap(const MapCommand& command, std::ostream& out, std::ostream& err);
