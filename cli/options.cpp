#include "cli/options.h"

#include "app/romimage.h"
#include "cli/argforms.h"

namespace {

constexpr std::int32_t kLargestNumber = 2147483647;

// Validators carry no description of their own: each option names its form
// in its placeholder and help line instead.
CLI::Validator nonEmpty()
{
    return {[](const std::string& text) { return text.empty() ? std::string("the file name is empty") : ""; }, ""};
}

// Rewrites a name or index to the index CLI11 then reads.
CLI::Validator codecNameToIndex()
{
    return {[](std::string& text) {
                const std::optional<Codec> codec = parseCodecArgument(text);
                if (!codec)
                    return "unknown codec '" + text + "': give a name such as \"2BPP NES\" or an index 0 to " +
                           std::to_string(kCodecCount - 1) + " (see --help)";
                text = std::to_string(codecIndex(*codec));
                return std::string();
            },
            ""};
}

// Rewrites a colour format's name to the index CLI11 then reads.
CLI::Validator colourFormatToIndex()
{
    return {[](std::string& text) {
                const std::optional<ColourFormat> format = parseColourFormat(text);
                if (!format)
                    return "unknown colour format '" + text + "': give one of " + colourFormatNames();
                text = std::to_string(static_cast<int>(*format));
                return std::string();
            },
            ""};
}

// Rewrites either number form to the decimal CLI11 then reads.
CLI::Validator numberToDecimal(std::int32_t least)
{
    return {[least](std::string& text) {
                const std::optional<std::int32_t> number = parseNumberArgument(text, least);
                if (!number)
                    return "'" + text + "' is not a number from " + std::to_string(least) + " to " +
                           std::to_string(kLargestNumber) +
                           ": give H and hexadecimal digits (H1F00) or decimal digits";
                text = std::to_string(*number);
                return std::string();
            },
            ""};
}

CLI::Validator lineNumber()
{
    return {[](std::string& text) {
                const std::optional<std::int32_t> number = parseNumberArgument(text, 1);
                if (!number)
                    return "'" + text + "' is not a line number: lines are counted from 1";
                text = std::to_string(*number);
                return std::string();
            },
            ""};
}

CLI::Validator sizeForm()
{
    return {[](const std::string& text) {
                return parseSizeArgument(text) ? std::string()
                                               : "'" + text + "' is not WxH with each from 1 to 16";
            },
            ""};
}

// "WxH" into two fields; the check has already accepted the text.
CLI::Option* addSizeOption(CLI::App& sub, const std::string& name, int& width, int& height,
                           const std::string& description)
{
    const auto store = [&width, &height](const std::string& text) {
        const TileSize size = parseSizeArgument(text).value();
        width = size.width;
        height = size.height;
    };
    return sub.add_option_function<std::string>(name, store, description)->type_name("WxH")->check(sizeForm());
}

} // namespace

CLI::Option* addFileOption(CLI::App& sub, const std::string& names, std::string& path,
                           const std::string& placeholder, const std::string& description)
{
    return sub.add_option(names, path, description)->type_name(placeholder)->check(nonEmpty());
}

CLI::Option* addNumberOption(CLI::App& sub, const std::string& names, std::int32_t& value,
                             std::int32_t least, const std::string& description)
{
    return sub.add_option(names, value, description)->type_name("P")->transform(numberToDecimal(least));
}

CLI::Option* addLineOption(CLI::App& sub, const std::string& names, std::int32_t& value,
                           const std::string& description)
{
    return sub.add_option(names, value, description)->type_name("N")->transform(lineNumber());
}

CLI::Option* addCodePageOption(CLI::App& sub, std::string& codePage)
{
    return sub.add_option("--codepage", codePage, "code page of files that are not UTF-8")
        ->type_name("NAME")
        ->capture_default_str();
}

CLI::Option* addMapOptions(CLI::App& sub, MapFields fields)
{
    CLI::Option* codec =
        sub.add_option("--codec", fields.codec, "codec by name or index; default: by the ROM's\n"
                                                "extension (.nes is \"2BPP NES\", ...)")
            ->type_name("NAME|INDEX")
            ->transform(codecNameToIndex());
    addNumberOption(sub, "--position", fields.position, 0, "where the map starts; default 0");
    addSizeOption(sub, "--tile", fields.geometry.tileWidth, fields.geometry.tileHeight,
                  "tile size in pixels; default 8x8");
    addSizeOption(sub, "--block", fields.geometry.blockWidth, fields.geometry.blockHeight,
                  "tiles per block; default 1x1");
    CLI::Option* file = addFileOption(sub, "--palette", fields.palettePath, "FILE",
                                      "palette for the codec: text lines \"R G B\" (.pal)\n"
                                      "or RGB triplets (a name containing .act);\n"
                                      "default: the program's palettes");
    CLI::Option* at = addNumberOption(sub, "--palette-at", fields.paletteAt, 0,
                                      "palette for the codec read from the ROM here\n"
                                      "(4 colours, 16 for the 4-bit codecs)");
    CLI::Option* format = sub.add_option("--palette-format", fields.paletteFormat,
                                         "the colours' format at --palette-at:\n"
                                         "bgr555 (SNES, GBA, DS), genesis, sms\n"
                                         "(Master System), gg (Game Gear) or nes\n"
                                         "(an index into the NES master palette)")
                              ->type_name("F")
                              ->transform(colourFormatToIndex());
    at->needs(format);
    format->needs(at);
    at->excludes(file);
    return codec;
}

void takeCodecFromRomName(const CLI::Option& codecOption, const std::string& romPath, Codec& codec)
{
    if (codecOption.count() == 0)
        codec = codecForFileName(romPath);
}
