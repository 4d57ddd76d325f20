#pragma once
// Options that several subcommands share, registered on a CLI11 subcommand.
// The value forms are the project's own (cli/argforms.h); here they become
// CLI11 checks and transformers, so a bad value is reported with the
// option's name.
#include "tiles/codecs.h"
#include "tiles/colourformat.h"

#include <CLI/CLI.hpp>

#include <cstdint>
#include <string>

// A file name option; an empty name is refused.
CLI::Option* addFileOption(CLI::App& sub, const std::string& names, std::string& path,
                           const std::string& placeholder, const std::string& description);

// A position or count in either number form, no less than `least`.
CLI::Option* addNumberOption(CLI::App& sub, const std::string& names, std::int32_t& value,
                             std::int32_t least, const std::string& description);

// A line number of a file: 1 or more, in either number form.
CLI::Option* addLineOption(CLI::App& sub, const std::string& names, std::int32_t& value,
                           const std::string& description);

// --codepage NAME: the 8-bit code page of a table file.
CLI::Option* addCodePageOption(CLI::App& sub, std::string& codePage);

// Where the fields of a map command (render, import, ...) are.
struct MapFields {
    Codec& codec;
    std::int32_t& position;
    TileGeometry& geometry;
    std::string& palettePath;
    std::int32_t& paletteAt;
    ColourFormat& paletteFormat;
};

// --codec, --position, --tile, --block, --palette and --palette-at with
// --palette-format: which part of the ROM
// is the tile map and how it is drawn. Returns --codec, which the
// subcommand passes to takeCodecFromRomName once parsing is done.
CLI::Option* addMapOptions(CLI::App& sub, MapFields fields);

template <typename MapCommand>
CLI::Option* addMapOptions(CLI::App& sub, MapCommand& command)
{
    return addMapOptions(sub, MapFields{command.codec, command.position, command.geometry, command.palettePath,
                                       command.paletteAt, command.paletteFormat});
}

// Without --codec the codec follows the ROM's extension, as Open does.
void takeCodecFromRomName(const CLI::Option& codecOption, const std::string& romPath, Codec& codec);
