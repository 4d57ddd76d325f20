#pragma once
// Command-line parsing for quarn-tool. Pure: strings in, a command or a
// message out, so every rule can be tested without files or Qt.
#include "tiles/codecs.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Exit codes shared by every subcommand.
constexpr int kExitOk = 0;
constexpr int kExitFileError = 1; // a file could not be read or written
constexpr int kExitUsage = 2;     // bad arguments

struct HelpCommand {};

struct RenderCommand {
    std::string romPath;
    std::string outputPath;
    int codec = 0;              // from --codec, else from the ROM's extension
    std::int32_t position = 0;  // may lie past the end of the image
    TileGeometry geometry;
    std::string palettePath;    // .pal or .act for the codec's palette; empty: defaults
    bool operator==(const RenderCommand&) const = default;
};

// Encodes a picture of the tile map back into the ROM file, as Load From BMP
// does in the program.
struct ImportCommand {
    std::string romPath;
    std::string imagePath;
    int codec = 0;              // from --codec, else from the ROM's extension
    std::int32_t position = 0;
    TileGeometry geometry;
    std::string palettePath;
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
// row to the table in args.cpp.
using Command = std::variant<HelpCommand, RenderCommand, ImportCommand, DecodeCommand, EncodeCommand>;

struct ParseResult {
    std::optional<Command> command;
    std::string error; // set exactly when command is empty
};

// `args` are the words after the program name.
[[nodiscard]] ParseResult parseArguments(const std::vector<std::string>& args);

// The full usage text, with the codec names and their indexes.
std::string usageText();

// Pieces of the parser, public for their own tests.
// A codec by index "0".."9" or by name, letter case ignored.
[[nodiscard]] std::optional<int> parseCodecArgument(std::string_view text);
// "WxH" (or "WXH"), each 1..16.
struct TileSize {
    int width = 0;
    int height = 0;
    bool operator==(const TileSize&) const = default;
};
[[nodiscard]] std::optional<TileSize> parseSizeArgument(std::string_view text);
