#include "cli/tool.h"

#include "cli/args.h"
#include "cli/compresscommands.h"
#include "cli/import.h"
#include "cli/mapcommand.h"
#include "cli/patchcommands.h"
#include "cli/pointercommands.h"
#include "cli/render.h"
#include "cli/script.h"
#include "cli/search.h"
#include "cli/text.h"

#include <ostream>
#include <variant>

namespace {

int runHelp(const HelpCommand& command, std::ostream& out, std::ostream&)
{
    out << command.text;
    return kExitOk;
}

// Every command's runner, picked by the command's type; a command without
// one here does not compile.
struct Runner {
    std::ostream& out;
    std::ostream& err;

    int operator()(const HelpCommand& c) const { return runHelp(c, out, err); }
    int operator()(const RenderCommand& c) const { return runRender(c, out, err); }
    int operator()(const ImportCommand& c) const { return runImport(c, out, err); }
    int operator()(const DecodeCommand& c) const { return runDecode(c, out, err); }
    int operator()(const EncodeCommand& c) const { return runEncode(c, out, err); }
    int operator()(const DumpCommand& c) const { return runDump(c, out, err); }
    int operator()(const InsertCommand& c) const { return runInsert(c, out, err); }
    int operator()(const SearchCommand& c) const { return runSearch(c, out, err); }
    int operator()(const MakeTableCommand& c) const { return runMakeTable(c, out, err); }
    int operator()(const MapCommand& c) const { return runMap(c, out, err); }
    int operator()(const MakePatchCommand& c) const { return runMakePatch(c, out, err); }
    int operator()(const ApplyPatchCommand& c) const { return runApplyPatch(c, out, err); }
    int operator()(const PointerCommand& c) const { return runPointerCommand(c, out, err); }
    int operator()(const ScanCompressedCommand& c) const { return runScanCompressed(c, out, err); }
    int operator()(const DecompressCommand& c) const { return runDecompress(c, out, err); }
    int operator()(const CompressCommand& c) const { return runCompress(c, out, err); }
    int operator()(const RecompressCommand& c) const { return runRecompress(c, out, err); }
};

} // namespace

int runTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const ParseResult parsed = parseArguments(args);
    if (!parsed.command) {
        if (args.empty())
            err << usageText();
        else
            err << "quarn-tool: " << parsed.error << "\nRun 'quarn-tool --help' for usage.\n";
        return parsed.exitCode;
    }
    return std::visit(Runner{out, err}, *parsed.command);
}
