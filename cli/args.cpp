#include "cli/args.h"

#include "app/numbers.h"
#include "app/romimage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <span>

namespace {

using Words = std::span<const std::string>;

ParseResult failure(std::string message) { return {std::nullopt, std::move(message)}; }
ParseResult success(Command command) { return {std::move(command), {}}; }

bool isHelpWord(std::string_view word) { return word == "-h" || word == "--help"; }

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::toupper(x) == std::toupper(y);
           });
}

// Digits only, no sign or blank; nothing when the value exceeds `limit`.
std::optional<int> parseSmallDecimal(std::string_view text, int limit)
{
    if (text.empty())
        return std::nullopt;
    int value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return std::nullopt;
        value = value * 10 + (ch - '0');
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

// --- Generic option scanning, shared by all subcommands -------------------

// Every option of a subcommand takes one value; -h/--help are handled apart.
struct OptionSpec {
    std::string_view longName;  // "--codec"
    std::string_view shortName; // "-o", or empty
};

struct ScannedWords {
    std::vector<std::pair<std::string_view, std::string>> options; // long name, value
    std::vector<std::string> positionals;
};

struct ScanResult {
    ScannedWords words;
    std::string error;
};

const OptionSpec* findOption(std::span<const OptionSpec> specs, std::string_view word)
{
    for (const OptionSpec& option : specs)
        if (word == option.longName || (!option.shortName.empty() && word == option.shortName))
            return &option;
    return nullptr;
}

// Accepts "--name value", "--name=value" and "-x value"; "--" ends the options
// so file names that begin with "-" can still be given.
ScanResult scanWords(Words args, std::span<const OptionSpec> specs)
{
    ScanResult result;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            result.words.positionals.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        std::string_view name = word;
        std::optional<std::string> value;
        if (const std::size_t eq = word.find('='); word.starts_with("--") && eq != std::string::npos) {
            name = std::string_view(word).substr(0, eq);
            value = word.substr(eq + 1);
        }
        const OptionSpec* option = findOption(specs, name);
        if (option == nullptr) {
            result.error = "unknown option '" + std::string(name) + "'";
            return result;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                result.error = "option " + std::string(option->longName) + " needs a value";
                return result;
            }
            value = args[++i];
        }
        const bool repeated = std::any_of(result.words.options.begin(), result.words.options.end(),
                                          [option](const auto& o) { return o.first == option->longName; });
        if (repeated) {
            result.error = "option " + std::string(option->longName) + " is given twice";
            return result;
        }
        result.words.options.emplace_back(option->longName, std::move(*value));
    }
    return result;
}

bool asksForHelp(Words args)
{
    for (const std::string& word : args) {
        if (word == "--")
            return false;
        if (isHelpWord(word))
            return true;
    }
    return false;
}

// --- Subcommands -----------------------------------------------------------

constexpr std::array<OptionSpec, 6> kRenderOptions{{
    {"--output", "-o"},
    {"--codec", ""},
    {"--position", ""},
    {"--tile", ""},
    {"--block", ""},
    {"--palette", ""},
}};

constexpr std::array<OptionSpec, 5> kImportOptions{{
    {"--codec", ""},
    {"--position", ""},
    {"--tile", ""},
    {"--block", ""},
    {"--palette", ""},
}};

// The options that say which part of the ROM is the tile map and how it is
// drawn; render and import share them.
template <typename MapCommand>
std::optional<std::string> applyMapOption(MapCommand& command, std::string_view name, const std::string& value)
{
    if (name == "--codec") {
        const std::optional<int> codec = parseCodecArgument(value);
        if (!codec)
            return "unknown codec '" + value + "': give a name such as \"2BPP NES\" or an index 0.." +
                   std::to_string(kCodecCount - 1) + " (see --help)";
        command.codec = *codec;
    } else if (name == "--position") {
        const std::optional<std::int32_t> position = parsePositionNumber(value);
        if (!position)
            return "bad position '" + value +
                   "': give H and hexadecimal digits (H1F00) or a decimal number";
        if (*position < 0)
            return "bad position '" + value + "': the position must not be negative";
        command.position = *position;
    } else if (name == "--tile" || name == "--block") {
        const std::optional<TileSize> size = parseSizeArgument(value);
        const std::string what = name == "--tile" ? "tile" : "block";
        if (!size)
            return "bad " + what + " size '" + value + "': give WxH with each from 1 to 16";
        if (name == "--tile") {
            command.geometry.tileWidth = size->width;
            command.geometry.tileHeight = size->height;
        } else {
            command.geometry.blockWidth = size->width;
            command.geometry.blockHeight = size->height;
        }
    } else if (name == "--palette") {
        if (value.empty())
            return "the palette file name is empty";
        command.palettePath = value;
    }
    return std::nullopt;
}

std::optional<std::string> applyRenderOption(RenderCommand& render, std::string_view name,
                                             const std::string& value)
{
    if (name == "--output") {
        if (value.empty())
            return "the output file name is empty";
        render.outputPath = value;
        return std::nullopt;
    }
    return applyMapOption(render, name, value);
}

ParseResult parseRender(Words args)
{
    if (asksForHelp(args))
        return success(HelpCommand{});
    const ScanResult scan = scanWords(args, kRenderOptions);
    if (!scan.error.empty())
        return failure("render: " + scan.error);
    const ScannedWords& words = scan.words;
    if (words.positionals.empty())
        return failure("render: no ROM file given");
    if (words.positionals.size() > 1)
        return failure("render: only one ROM file is read, but '" + words.positionals[1] +
                       "' was given too");

    RenderCommand render;
    render.romPath = words.positionals.front();
    render.codec = codecForFileName(render.romPath);
    for (const auto& [name, value] : words.options)
        if (std::optional<std::string> error = applyRenderOption(render, name, value))
            return failure("render: " + *error);
    if (render.outputPath.empty())
        return failure("render: no output file given (-o OUT.bmp)");
    return success(render);
}

ParseResult parseImport(Words args)
{
    if (asksForHelp(args))
        return success(HelpCommand{});
    const ScanResult scan = scanWords(args, kImportOptions);
    if (!scan.error.empty())
        return failure("import: " + scan.error);
    const ScannedWords& words = scan.words;
    if (words.positionals.empty())
        return failure("import: no ROM file given");
    if (words.positionals.size() == 1)
        return failure("import: no picture given (quarn-tool import ROM IMAGE)");
    if (words.positionals.size() > 2)
        return failure("import: one ROM and one picture are read, but '" + words.positionals[2] +
                       "' was given too");

    ImportCommand command;
    command.romPath = words.positionals[0];
    command.imagePath = words.positionals[1];
    command.codec = codecForFileName(command.romPath);
    for (const auto& [name, value] : words.options)
        if (std::optional<std::string> error = applyMapOption(command, name, value))
            return failure("import: " + *error);
    return success(command);
}

constexpr std::array<OptionSpec, 4> kDecodeOptions{{
    {"--table", "-t"},
    {"--at", ""},
    {"--length", "-n"},
    {"--codepage", ""},
}};

constexpr std::array<OptionSpec, 2> kEncodeOptions{{
    {"--table", "-t"},
    {"--codepage", ""},
}};

std::optional<std::string> checkFileName(std::string_view what, const std::string& value)
{
    if (value.empty())
        return "the " + std::string(what) + " file name is empty";
    return std::nullopt;
}

ParseResult parseDecode(Words args)
{
    if (asksForHelp(args))
        return success(HelpCommand{});
    const ScanResult scan = scanWords(args, kDecodeOptions);
    if (!scan.error.empty())
        return failure("decode: " + scan.error);
    const ScannedWords& words = scan.words;
    if (words.positionals.size() != 1)
        return failure(words.positionals.empty() ? std::string("decode: no ROM file given")
                                                 : "decode: only one ROM file is read, but '" +
                                                       words.positionals[1] + "' was given too");
    DecodeCommand command;
    command.romPath = words.positionals[0];
    bool haveAt = false;
    bool haveLength = false;
    for (const auto& [name, value] : words.options) {
        if (name == "--table") {
            if (std::optional<std::string> error = checkFileName("table", value))
                return failure("decode: " + *error);
            command.tablePath = value;
        } else if (name == "--codepage") {
            command.codePage = value;
        } else {
            const std::optional<std::int32_t> number = parsePositionNumber(value);
            const bool isAt = name == "--at";
            if (!number || *number < (isAt ? 0 : 1))
                return failure("decode: bad " + std::string(isAt ? "position" : "length") + " '" + value +
                               "': give H and hexadecimal digits or a decimal number" +
                               (isAt ? "" : " of at least 1"));
            (isAt ? command.at : command.length) = *number;
            (isAt ? haveAt : haveLength) = true;
        }
    }
    if (command.tablePath.empty())
        return failure("decode: no table given (--table T.tbl)");
    if (!haveAt)
        return failure("decode: no position given (--at P)");
    if (!haveLength)
        return failure("decode: no length given (--length N)");
    return success(command);
}

ParseResult parseEncode(Words args)
{
    if (asksForHelp(args))
        return success(HelpCommand{});
    const ScanResult scan = scanWords(args, kEncodeOptions);
    if (!scan.error.empty())
        return failure("encode: " + scan.error);
    const ScannedWords& words = scan.words;
    if (words.positionals.size() != 1)
        return failure(words.positionals.empty()
                           ? std::string("encode: no text given (quarn-tool encode --table T.tbl TEXT)")
                           : std::string("encode: give the text as one argument (quote it)"));
    EncodeCommand command;
    command.text = words.positionals[0];
    for (const auto& [name, value] : words.options) {
        if (name == "--table") {
            if (std::optional<std::string> error = checkFileName("table", value))
                return failure("encode: " + *error);
            command.tablePath = value;
        } else {
            command.codePage = value;
        }
    }
    if (command.tablePath.empty())
        return failure("encode: no table given (--table T.tbl)");
    return success(command);
}

ParseResult parseHelp(Words) { return success(HelpCommand{}); }

struct Subcommand {
    std::string_view name;
    std::string_view usage; // synopsis and option lines, each line indented
    ParseResult (*parse)(Words args);
};

constexpr std::array<Subcommand, 5> kSubcommands{{
    {"render",
     "  quarn-tool render ROM -o OUT.bmp [--codec NAME|INDEX] [--position P]\n"
     "                    [--tile WxH] [--block WxH] [--palette FILE]\n"
     "      Writes one screen of the tile map (16 x 16 blocks from position P, at\n"
     "      single size) as a 24-bit BMP, or as a PNG when OUT ends in .png.\n"
     "      -o, --output OUT    the picture to write\n"
     "      --codec NAME|INDEX  codec by name or index; default: by the ROM's\n"
     "                          extension (.nes is \"2BPP NES\", ...)\n"
     "      --position P        H and hexadecimal digits (H1F00) or decimal; default 0\n"
     "      --tile WxH          tile size in pixels, each 1..16; default 8x8\n"
     "      --block WxH         tiles per block, each 1..16; default 1x1\n"
     "      --palette FILE      palette for the codec: text lines \"R G B\" (.pal) or\n"
     "                          RGB triplets (a name containing .act); default:\n"
     "                          the program's default palettes\n",
     parseRender},
    {"import",
     "  quarn-tool import ROM IMAGE [--codec NAME|INDEX] [--position P]\n"
     "                    [--tile WxH] [--block WxH] [--palette FILE]\n"
     "      Encodes a picture of the tile map (as render writes it; BMP or PNG)\n"
     "      back into the ROM file at position P. Every colour is compared with the\n"
     "      palette exactly, so use the palette the picture was rendered with.\n"
     "      Tiles the picture does not cover, and bytes past the end of the file,\n"
     "      are left alone: the file never grows. The options are those of render.\n",
     parseImport},
    {"decode",
     "  quarn-tool decode ROM --table T.tbl --at P --length N [--codepage NAME]\n"
     "      Prints N bytes of the ROM from position P as the table's text, one\n"
     "      entry per byte ({1F} for codes without text, {^} and {END} for the\n"
     "      line-break and end codes), as Extract String shows them.\n"
     "      --codepage NAME     the 8-bit code page of the table; default windows-1252\n",
     parseDecode},
    {"encode",
     "  quarn-tool encode --table T.tbl TEXT [--codepage NAME]\n"
     "      Prints the codes of TEXT in hexadecimal, taking the longest table entry\n"
     "      that matches at each place (the lowest code among equal entries).\n",
     parseEncode},
    {"help", "  quarn-tool help | --help | -h\n      Shows this text.\n", parseHelp},
}};

} // namespace

std::optional<int> parseCodecArgument(std::string_view text)
{
    if (const std::optional<int> index = parseSmallDecimal(text, kCodecCount - 1))
        return index;
    for (int i = 0; i < kCodecCount; ++i)
        if (equalsIgnoringCase(text, kCodecs[static_cast<std::size_t>(i)].name))
            return i;
    return std::nullopt;
}

std::optional<TileSize> parseSizeArgument(std::string_view text)
{
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos)
        return std::nullopt;
    const std::optional<int> width = parseSmallDecimal(text.substr(0, x), 16);
    const std::optional<int> height = parseSmallDecimal(text.substr(x + 1), 16);
    if (!width || !height || *width < 1 || *height < 1)
        return std::nullopt;
    return TileSize{*width, *height};
}

ParseResult parseArguments(const std::vector<std::string>& args)
{
    if (args.empty())
        return failure("no command given");
    const std::string& first = args.front();
    if (isHelpWord(first))
        return success(HelpCommand{});
    for (const Subcommand& sub : kSubcommands)
        if (first == sub.name)
            return sub.parse(Words(args).subspan(1));
    return failure("unknown command '" + first + "'");
}

std::string usageText()
{
    std::string text = "Usage:\n";
    for (const Subcommand& sub : kSubcommands)
        text += sub.usage;
    text += "\nCodecs (name or index):\n";
    for (int i = 0; i < kCodecCount; ++i)
        text += "  " + std::to_string(i) + "  " +
                std::string(kCodecs[static_cast<std::size_t>(i)].name) + "\n";
    text += "\nExit codes: 0 done, 1 a file could not be read or written, 2 bad arguments.\n";
    return text;
}
