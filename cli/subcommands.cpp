#include "cli/subcommands.h"

#include "cli/helptext.h"
#include "cli/options.h"

#include <memory>

// Each subcommand fills a command of its own, kept alive by the subcommand's
// callback, which hands it over when CLI11 has read and checked every option.
// A new subcommand adds one function here, a struct to Command and a runner.

namespace {

void addRenderCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("render", "Writes one screen of the tile map as a picture");
    auto render = std::make_shared<RenderCommand>();
    addFileOption(sub, "ROM", render->romPath, "", "the ROM file")->required();
    addFileOption(sub, "-o,--output", render->outputPath, "OUT.bmp",
                  "the picture to write: a 24-bit BMP,\nor a PNG when the name ends in .png")
        ->required();
    const CLI::Option* codec = addMapOptions(sub, *render);
    sub.footer("One screen is 16 x 16 blocks from the position, at single size.\n\n" + codecList() + "\n" +
               numberForms() + sizeForms());
    sub.callback([&chosen, render, codec] {
        takeCodecFromRomName(*codec, render->romPath, render->codec);
        chosen = *render;
    });
}

void addImportCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("import", "Encodes a picture of the tile map into the ROM");
    auto import = std::make_shared<ImportCommand>();
    addFileOption(sub, "ROM", import->romPath, "", "the ROM file, replaced as a whole")->required();
    addFileOption(sub, "IMAGE", import->imagePath, "", "the picture: BMP or PNG, as render writes it")
        ->required();
    const CLI::Option* codec = addMapOptions(sub, *import);
    sub.footer("Every colour is compared with the palette exactly, so use the palette the\n"
               "picture was rendered with. Tiles the picture does not cover, and bytes past\n"
               "the end of the file, are left alone: the file never grows.\n\n" +
               codecList() + "\n" + numberForms() + sizeForms());
    sub.callback([&chosen, import, codec] {
        takeCodecFromRomName(*codec, import->romPath, import->codec);
        chosen = *import;
    });
}

void addDecodeCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("decode", "Prints bytes of the ROM as the table's text");
    auto decode = std::make_shared<DecodeCommand>();
    addFileOption(sub, "ROM", decode->romPath, "", "the ROM file")->required();
    addFileOption(sub, "-t,--table", decode->tablePath, "T.tbl", "the character table")->required();
    addNumberOption(sub, "--at", decode->at, 0, "the position of the first byte")->required();
    addNumberOption(sub, "-n,--length", decode->length, 1, "how many bytes")->type_name("N")->required();
    addCodePageOption(sub, decode->codePage);
    sub.footer("One entry per byte: {1F} for codes without text, {^} and {END} for the\n"
               "line-break and end codes, as Extract String shows them.\n\n" +
               numberForms());
    sub.callback([&chosen, decode] { chosen = *decode; });
}

void addEncodeCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("encode", "Prints the codes of a text in hexadecimal");
    auto encode = std::make_shared<EncodeCommand>();
    addFileOption(sub, "-t,--table", encode->tablePath, "T.tbl", "the character table")->required();
    sub.add_option("TEXT", encode->text, "the text, quoted as one argument")->type_name("")->required();
    addCodePageOption(sub, encode->codePage);
    sub.footer("Takes the longest table entry that matches at each place (the lowest code\n"
               "among equal entries).\n");
    sub.callback([&chosen, encode] { chosen = *encode; });
}

void addHelpCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("help", "Shows this text");
    sub.callback([&chosen, &app] { chosen = HelpCommand{toolHelp(app)}; });
}

} // namespace

void addSubcommands(CLI::App& app, std::optional<Command>& chosen)
{
    addRenderCommand(app, chosen);
    addImportCommand(app, chosen);
    addDecodeCommand(app, chosen);
    addEncodeCommand(app, chosen);
    addHelpCommand(app, chosen);
}
