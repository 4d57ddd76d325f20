// quarn-tool: the tile map of a ROM from the command line, through the same
// decoding, encoding and bitmap reading and writing as the program.
#include "cli/args.h"
#include "cli/compresscommands.h"
#include "cli/import.h"
#include "cli/mapcommand.h"
#include "cli/render.h"
#include "cli/script.h"
#include "cli/search.h"
#include "cli/text.h"

#include <iostream>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

int main(int argc, char* argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = parseArguments(args);
    if (!parsed.command) {
        if (args.empty())
            std::cerr << usageText();
        else
            std::cerr << "quarn-tool: " << parsed.error << "\nRun 'quarn-tool --help' for usage.\n";
        return parsed.exitCode;
    }
    return std::visit(
        [](const auto& command) -> int {
            using T = std::decay_t<decltype(command)>;
            if constexpr (std::is_same_v<T, HelpCommand>) {
                std::cout << command.text;
                return kExitOk;
            } else if constexpr (std::is_same_v<T, RenderCommand>) {
                return runRender(command, std::cerr);
            } else if constexpr (std::is_same_v<T, ImportCommand>) {
                return runImport(command, std::cout, std::cerr);
            } else if constexpr (std::is_same_v<T, DecodeCommand>) {
                return runDecode(command, std::cout, std::cerr);
            } else if constexpr (std::is_same_v<T, EncodeCommand>) {
                return runEncode(command, std::cout, std::cerr);
            } else if constexpr (std::is_same_v<T, DumpCommand>) {
                return runDump(command, std::cout, std::cerr);
            } else if constexpr (std::is_same_v<T, InsertCommand>) {
                return runInsert(command, std::cout, std::cerr);
            } else if constexpr (std::is_same_v<T, SearchCommand>) {
                return runSearch(command, std::cout, std::cerr);
            } else if constexpr (std::is_same_v<T, MakeTableCommand>) {
                return runMakeTable(command, std::cout, std::cerr);
            } else if constexpr (std::is_same_v<T, MapCommand>) {
                return runMap(command, std::cerr);
            } else if constexpr (std::is_same_v<T, ScanCompressedCommand>) {
                return runScanCompressed(command, std::cout, std::cerr);
            } else if constexpr (std::is_same_v<T, DecompressCommand>) {
                return runDecompress(command, std::cout, std::cerr);
            } else if constexpr (std::is_same_v<T, CompressCommand>) {
                return runCompress(command, std::cout, std::cerr);
            } else if constexpr (std::is_same_v<T, RecompressCommand>) {
                return runRecompress(command, std::cout, std::cerr);
            } else {
                static_assert(sizeof(T) == 0, "every command needs a runner here");
            }
        },
        *parsed.command);
}
