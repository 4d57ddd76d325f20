#include "cli/subcommands.h"

#include "cli/compresssubcommands.h"
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
                  "the picture to write, in the format its\nextension names (see below)")
        ->required();
    const CLI::Option* codec = addMapOptions(sub, *render);
    addCompressedAtOption(sub, render->compressedAt);
    sub.footer("One screen is 16 x 16 blocks from the position, at single size.\n\n" + pictureFormats() +
               "\n" + codecList() + "\n" + numberForms() + sizeForms() + commandExitStatus());
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
    addCompressedAtOption(sub, import->compressedAt);
    sub.add_flag("--nearest", import->nearest,
                 "store off-palette colours as the nearest entry");
    sub.footer("Every colour is compared with the palette exactly, so use the palette the\n"
               "picture was rendered with. Pixels of a colour in no palette entry are\n"
               "counted on stderr and stored, as the program stores them, as value 1 in\n"
               "the 1-bit codec, 2 in the 2-bit codecs and 0 in the 4-bit codecs, unless\n"
               "--nearest is given. Tiles the picture does not cover, and bytes past the\n"
               "end of the file, are left alone: the file never grows. A picture whose\n"
               "size is not the tile map's is read at its top left, and the tool says so.\n\n" +
               codecList() + "\n" + numberForms() + sizeForms() + commandExitStatus());
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
               numberForms() + commandExitStatus());
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
               "among equal entries). A character no entry matches is named, with its\n"
               "position, and nothing is printed.\n\n" +
               commandExitStatus());
    sub.callback([&chosen, encode] { chosen = *encode; });
}

void addDumpCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("dump", "Writes a range of the ROM as a script dump");
    auto dump = std::make_shared<DumpCommand>();
    addFileOption(sub, "ROM", dump->romPath, "", "the ROM file")->required();
    addFileOption(sub, "-t,--table", dump->tablePath, "T.tbl", "the character table")->required();
    addNumberOption(sub, "--from", dump->from, 0, "the first byte of the range")->required();
    addNumberOption(sub, "--to", dump->to, 0, "the last byte of the range (included)")->required();
    addFileOption(sub, "-o,--output", dump->outputPath, "OUT.txt", "the dump to write; standard output without it");
    addCodePageOption(sub, dump->codePage);
    sub.footer("Exactly the file Extract Script writes: the line-break code ends a line, the\n"
               "end code ends it with {END} and an empty line, every other byte is its\n"
               "table text. A range past the end of the ROM is cut there.\n\n" +
               numberForms() + commandExitStatus());
    sub.callback([&chosen, dump] { chosen = *dump; });
}

void addInsertCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("insert", "Writes a script dump into the ROM");
    auto insert = std::make_shared<InsertCommand>();
    addFileOption(sub, "ROM", insert->romPath, "", "the ROM file, replaced as a whole")->required();
    addFileOption(sub, "DUMP", insert->dumpPath, "", "the script dump (.txt)")->required();
    addFileOption(sub, "-t,--table", insert->tablePath, "T.tbl", "the character table")->required();
    addNumberOption(sub, "--at", insert->at, 0, "where the script starts")->required();
    addCodePageOption(sub, insert->codePage);
    sub.footer("Exactly what Replace Script writes: each line encoded by longest match and\n"
               "followed by the line-break code, except after {END}. A script with a\n"
               "character no entry matches (named with its line and position), or one that\n"
               "does not fit between --at and the end of the file, is refused whole.\n\n" +
               numberForms() + commandExitStatus());
    sub.callback([&chosen, insert] { chosen = *insert; });
}

void addSearchCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("search", "Prints every hit of a search");
    auto search = std::make_shared<SearchCommand>();
    addFileOption(sub, "ROM", search->romPath, "", "the ROM file")->required();
    // Plain options rather than an option group: CLI11 2.1 loops forever on
    // a stray word followed by an unknown option when a group is there.
    const std::string pattern = "Pattern (exactly one)";
    CLI::Option* hex = sub.add_option("--hex", search->pattern, "bytes as hexadecimal digits (odd: 0 in front)")
                           ->type_name("DIGITS")
                           ->group(pattern);
    CLI::Option* text = sub.add_option("--text", search->pattern, "table text")->type_name("TEXT")->group(pattern);
    CLI::Option* relative =
        sub.add_option("--relative", search->pattern, "a word for relative search")->type_name("WORD")->group(pattern);
    hex->excludes(text)->excludes(relative);
    text->excludes(relative);
    CLI::Option* table = addFileOption(sub, "-t,--table", search->tablePath, "T.tbl", "the character table (--text)");
    text->needs(table);
    sub.add_flag("--one-byte-per-char", search->oneBytePerCharacter,
                 "--text: one byte per character, the code whose\nentry is that character")
        ->needs(text);
    sub.add_option("--interval", search->interval, "bytes skipped between two pattern bytes; 0..99")
        ->type_name("N")
        ->check(CLI::Range(0, 99));
    addNumberOption(sub, "--from", search->from, 0, "forward searches: hits after this position; default 0");
    addCodePageOption(sub, search->codePage);
    sub.footer("--hex and --text print the position of every hit after --from, one per line,\n"
               "in 8 hexadecimal digits; --relative prints the result lines the program\n"
               "lists (POSITION WORD=BYTES) for every place whose bytes keep the letters'\n"
               "distances; a word with letters the code page cannot hold is refused.\n\n" +
               numberForms() + searchExitStatus());
    sub.callback([&chosen, search, hex, text, relative] {
        if (hex->count() + text->count() + relative->count() == 0)
            throw CLI::RequiredError("one of --hex, --text and --relative");
        search->mode = hex->count()    ? SearchCommand::Mode::Hex
                       : text->count() ? SearchCommand::Mode::Text
                                       : SearchCommand::Mode::Relative;
        chosen = *search;
    });
}

void addMakeTableCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("make-table", "Makes a first character table from a result line");
    auto make = std::make_shared<MakeTableCommand>();
    addFileOption(sub, "RESULTS", make->resultsPath, "", "a result file (.rss)")->required();
    addLineOption(sub, "--line", make->line, "the result line, counted from 1")->required();
    addFileOption(sub, "-o,--output", make->outputPath, "OUT.tbl", "the table to write")->required();
    addNumberOption(sub, "--position", make->position, 0, "the tile map position of its first line; default 0");
    sub.add_flag("--both-cases", make->bothCases, "for a word of both cases (Hello), both alphabets");
    sub.footer("The same table as Create Table in the result window: the alphabet of the\n"
               "word's first letter (A-Z, a-z, or Windows-1251 Cyrillic) laid from the\n"
               "code found for it, then *FF and /00. With --both-cases the other case's\n"
               "alphabet follows from that case's first letter in the word.\n\n" +
               numberForms() + commandExitStatus());
    sub.callback([&chosen, make] { chosen = *make; });
}

void addMapCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("map", "Writes bytes of the ROM as a picture of blocks");
    auto map = std::make_shared<MapCommand>();
    addFileOption(sub, "ROM", map->romPath, "", "the ROM file")->required();
    addNumberOption(sub, "--at", map->at, 0, "the first byte")->required();
    addNumberOption(sub, "--width", map->width, 1, "cells per row")->type_name("W")->required()->check(
        CLI::Range(1, 256));
    addNumberOption(sub, "--height", map->height, 1, "rows of cells")->type_name("H")->required()->check(
        CLI::Range(1, 256));
    addFileOption(sub, "--tile-table", map->tileTablePath, "T.tbl", "a tile table: its sequences show as blocks");
    addFileOption(sub, "-o,--output", map->outputPath, "OUT.png",
                  "the picture, in the format its extension names")
        ->required();
    const CLI::Option* codec = addMapOptions(sub, *map);
    addCompressedAtOption(sub, map->compressedAt);
    sub.footer("Each cell is the block of the tile map (at --position, single size) that\n"
               "its byte names, as the workspace shows a level map.\n\n" +
               pictureFormats() + "\n" + codecList() + "\n" + numberForms() + sizeForms() + commandExitStatus());
    sub.callback([&chosen, map, codec] {
        takeCodecFromRomName(*codec, map->romPath, map->codec);
        chosen = *map;
    });
}

void addMakePatchCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("make-patch", "Writes an IPS or BPS patch between two ROMs");
    auto make = std::make_shared<MakePatchCommand>();
    addFileOption(sub, "ORIGINAL", make->originalPath, "", "the original ROM")->required();
    addFileOption(sub, "MODIFIED", make->modifiedPath, "", "the modified ROM")->required();
    addFileOption(sub, "-o,--output", make->outputPath, "OUT", "the patch to write")->required();
    // Checked as a file extension would be, so IPS and Bps are taken too.
    const CLI::Validator ipsOrBps(
        [](const std::string& text) {
            return patchFormatForFileName("." + text) ? std::string() : "unknown format '" + text + "': ips or bps";
        },
        "");
    CLI::Option* formatOption = sub.add_option("--format", "ips or bps; default: by OUT's extension")
                                    ->type_name("ips|bps")
                                    ->check(ipsOrBps);
    sub.footer("IPS reaches the first 16 MiB of a file; BPS any size, and it checks the\n"
               "ROM's size and CRC-32 when it is applied. Prints the patch's size.\n");
    sub.callback([&chosen, make, formatOption] {
        const std::optional<PatchFormat> named =
            formatOption->count() ? patchFormatForFileName("." + formatOption->as<std::string>())
                                  : patchFormatForFileName(make->outputPath);
        if (!named)
            throw CLI::ValidationError("--format", "name the patch .ips or .bps, or give --format");
        make->format = *named;
        chosen = *make;
    });
}

void addApplyPatchCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("apply-patch", "Applies an IPS or BPS patch to a ROM");
    auto apply = std::make_shared<ApplyPatchCommand>();
    addFileOption(sub, "ROM", apply->romPath, "", "the ROM file, replaced as a whole without -o")->required();
    addFileOption(sub, "PATCH", apply->patchPath, "", "the patch: IPS or BPS, told by its first bytes")->required();
    addFileOption(sub, "-o,--output", apply->outputPath, "OUT", "the patched ROM to write instead");
    sub.footer("A patch that does not fit the ROM, or is damaged or cut off, is refused\n"
               "whole and nothing is written.\n");
    sub.callback([&chosen, apply] { chosen = *apply; });
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
    addDumpCommand(app, chosen);
    addInsertCommand(app, chosen);
    addSearchCommand(app, chosen);
    addMakeTableCommand(app, chosen);
    addMapCommand(app, chosen);
    addMakePatchCommand(app, chosen);
    addApplyPatchCommand(app, chosen);
    addPointerCommands(app, chosen);
    addCompressSubcommands(app, chosen);
    addHelpCommand(app, chosen);
}
