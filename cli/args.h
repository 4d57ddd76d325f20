#pragma once
// Command-line parsing for quarn-tool, on CLI11. Strings in, a command or a
// message out, so every rule can be tested without files.
#include "cli/argforms.h"
#include "cli/compresscommands.h"
#include "cli/scriptcommands.h"
#include "cli/mapcommand.h"
#include "cli/patchcommands.h"
#include "cli/pointercommands.h"
#include "cli/searchcommands.h"
#include "tiles/codecs.h"
#include "tiles/colourformat.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// Exit statuses shared by every subcommand (the help says them too).
constexpr int kExitOk = 0;
constexpr int kExitFileError = 1; // a file could not be read, written or used
constexpr int kExitUsage = 2;     // bad arguments; for search also bad files
constexpr int kExitNoHit = 1;     // search only: nothing found

// Asked for help: the text CLI11 made for the tool or for one subcommand.
struct HelpCommand {
    std::string text;
    bool operator==(const HelpCommand&) const = default;
};

struct RenderCommand {
    std::string romPath;
    std::string outputPath;
    Codec codec = Codec::OneBpp; // from --codec, else from the ROM's extension
    std::int32_t position = 0;  // may lie past the end of the image
    TileGeometry geometry;
    std::string palettePath;    // .pal or .act for the codec's palette; empty: defaults
    std::int32_t paletteAt = -1; // the codec's palette read from the ROM here instead
    ColourFormat paletteFormat = ColourFormat::Bgr555;
    std::int32_t compressedAt = -1; // the block decompressed from here instead of the ROM
    bool operator==(const RenderCommand&) const = default;
};

// Encodes a picture of the tile map back into the ROM file, as Load From BMP
// does in the program.
struct ImportCommand {
    std::string romPath;
    std::string imagePath;
    Codec codec = Codec::OneBpp; // from --codec, else from the ROM's extension
    std::int32_t position = 0;
    TileGeometry geometry;
    std::string palettePath;
    std::int32_t paletteAt = -1;
    ColourFormat paletteFormat = ColourFormat::Bgr555;
    bool nearest = false; // colours in no palette entry take the nearest one's value
    std::int32_t compressedAt = -1; // the block there, recompressed into place
    bool operator==(const ImportCommand&) const = default;
};

// Prints bytes of the ROM as table text, exactly `length` entries.
struct DecodeCommand {
    std::string romPath;
    std::string tablePath;
    std::int32_t at = 0;
    std::int32_t length = 0;
    std::string codePage = "windows-1252"; // the table file's 8-bit code page
    bool operator==(const DecodeCommand&) const = default;
};

// Prints the codes of a text in hexadecimal, by longest match.
struct EncodeCommand {
    std::string tablePath;
    std::string text;
    std::string codePage = "windows-1252";
    bool operator==(const EncodeCommand&) const = default;
};

// One alternative per subcommand; a new subcommand adds its struct here and a
// function that registers it in cli/subcommands.cpp.
using Command = std::variant<HelpCommand, RenderCommand, ImportCommand, DecodeCommand, EncodeCommand, DumpCommand,
                             InsertCommand, SearchCommand, MakeTableCommand, MapCommand,
                             MakePatchCommand, ApplyPatchCommand, PointerCommand,
                             ScanCompressedCommand, DecompressCommand, CompressCommand, RecompressCommand>;

struct ParseResult {
    std::optional<Command> command;
    std::string error;      // set exactly when command is empty
    int exitCode = kExitOk; // kExitUsage when there is an error
};

// `args` are the words after the program name.
[[nodiscard]] ParseResult parseArguments(const std::vector<std::string>& args);

// The help of the tool as a whole: commands, codecs, number forms.
std::string usageText();
