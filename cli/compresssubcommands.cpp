#include "cli/compresssubcommands.h"

#include "cli/helptext.h"
#include "cli/options.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// Like CLI::IsMember, but without the list in the placeholder: the help line
// names the choices.
CLI::Validator oneOf(std::vector<std::string> names)
{
    return {[names](const std::string& text) {
                std::string list;
                for (const std::string& name : names) {
                    if (name == text)
                        return std::string();
                    list += (list.empty() ? "" : ", ") + name;
                }
                return "'" + text + "' is none of " + list;
            },
            ""};
}

const std::string kFormatsFooter =
    "Formats, by their header's type byte: lz10 (LZ77 10h), lz11 (LZ77 11h),\n"
    "rle (30h), huff4 and huff8 (Huffman 24h and 28h; huff is either).\n";

void addScanCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("scan-compressed", "Lists the compressed blocks of a ROM");
    auto scan = std::make_shared<ScanCompressedCommand>();
    addFileOption(sub, "ROM", scan->romPath, "", "the ROM file")->required();
    sub.add_option("--format", scan->format, "lz10, lz11, rle, huff or any; default any")
        ->type_name("F")
        ->check(oneOf({"lz10", "lz11", "rle", "huff", "any"}));
    addNumberOption(sub, "--min-size", scan->minimumSize, 1, "the fewest decompressed bytes; default 32")
        ->type_name("N");
    sub.footer("Every 4-byte-aligned offset whose header is valid and whose stream\n"
               "decompresses completely inside the file, one line each: the offset in 8\n"
               "hexadecimal digits, the format, the compressed and the decompressed size.\n"
               "Streams must also look as an encoder writes them. Exit 0 with blocks, 1\n"
               "without.\n\n" +
               kFormatsFooter + numberForms());
    sub.callback([&chosen, scan] { chosen = *scan; });
}

void addDecompressCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("decompress", "Writes one compressed block decompressed");
    auto decompress = std::make_shared<DecompressCommand>();
    addFileOption(sub, "ROM", decompress->romPath, "", "the ROM file")->required();
    addNumberOption(sub, "--at", decompress->at, 0, "where the block's header is")->required();
    sub.add_option("--format", decompress->format, "read the block in this format, whatever\nits type byte says")
        ->type_name("F")
        ->check(oneOf({"lz10", "lz11", "rle", "huff4", "huff8"}));
    addFileOption(sub, "-o,--output", decompress->outputPath, "OUT", "the file to write")->required();
    sub.footer("Without --format the header's type byte names the format. Prints how many\n"
               "compressed bytes were read.\n\n" +
               kFormatsFooter + numberForms());
    sub.callback([&chosen, decompress] { chosen = *decompress; });
}

void addCompressCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("compress", "Compresses a file into one block");
    auto compress = std::make_shared<CompressCommand>();
    addFileOption(sub, "IN", compress->inputPath, "", "the bytes to compress")->required();
    sub.add_option("--format", compress->format, "lz10, lz11, rle, huff4 or huff8")
        ->type_name("F")
        ->required()
        ->check(oneOf({"lz10", "lz11", "rle", "huff4", "huff8"}));
    sub.add_flag("--vram-safe", compress->vramSafe, "LZ77: never copy from one byte back");
    addFileOption(sub, "-o,--output", compress->outputPath, "OUT", "the block to write")->required();
    sub.footer("LZ77 takes the shortest parse it finds. --vram-safe suits data a game\n"
               "decompresses straight into video memory, which takes 16-bit writes only.\n"
               "The block is padded with zeros to a multiple of 4 bytes.\n\n" +
               kFormatsFooter);
    sub.callback([&chosen, compress] { chosen = *compress; });
}

void addRecompressCommand(CLI::App& app, std::optional<Command>& chosen)
{
    CLI::App& sub = *app.add_subcommand("recompress", "Compresses a file into the ROM over a block");
    auto recompress = std::make_shared<RecompressCommand>();
    addFileOption(sub, "ROM", recompress->romPath, "", "the ROM file, replaced as a whole")->required();
    addFileOption(sub, "DATA", recompress->dataPath, "", "the decompressed bytes to put back")->required();
    addNumberOption(sub, "--at", recompress->at, 0, "where the old block's header is")->required();
    sub.add_option("--format", recompress->format, "the format to write; default the old block's")
        ->type_name("F")
        ->check(oneOf({"lz10", "lz11", "rle", "huff4", "huff8"}));
    sub.add_flag("--vram-safe", recompress->vramSafe, "LZ77: never copy from one byte back");
    sub.footer("Writes the new block over the old one when it fits in the old block's\n"
               "compressed size (the rest of the old block becomes zeros); otherwise\n"
               "prints both sizes and writes nothing. An LZ77 block that never copied\n"
               "from one byte back is rewritten VRAM-safe.\n\n" +
               kFormatsFooter + numberForms());
    sub.callback([&chosen, recompress] { chosen = *recompress; });
}

} // namespace

void addCompressSubcommands(CLI::App& app, std::optional<Command>& chosen)
{
    addScanCommand(app, chosen);
    addDecompressCommand(app, chosen);
    addCompressCommand(app, chosen);
    addRecompressCommand(app, chosen);
}

CLI::Option* addCompressedAtOption(CLI::App& sub, std::int32_t& at)
{
    return addNumberOption(sub, "--compressed-at", at, 0,
                           "work on the block decompressed from P\n(import then recompresses it into place)");
}
