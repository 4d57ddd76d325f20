// quarn-tool's command line: any words (the input cut at NUL bytes), parsed
// without running a command or leaving the process. The answer is a command
// or a message, and every value in a command is one the command can use.
#include "fuzzinput.h"

#include "cli/args.h"
#include "compression/blockformat.h"

#include <string>
#include <variant>
#include <vector>

namespace {

bool validGeometry(const TileGeometry& g)
{
    const auto inRange = [](int v) { return v >= 1 && v <= 16; };
    return inRange(g.tileWidth) && inRange(g.tileHeight) && inRange(g.blockWidth) && inRange(g.blockHeight);
}

struct CommandCheck {
    void operator()(const HelpCommand& c) const { FUZZ_CHECK(!c.text.empty()); }
    void operator()(const RenderCommand& c) const
    {
        FUZZ_CHECK(!c.romPath.empty() && isValidCodec(c.codec) && c.position >= 0 && validGeometry(c.geometry));
    }
    void operator()(const ImportCommand& c) const
    {
        FUZZ_CHECK(!c.romPath.empty() && !c.imagePath.empty());
        FUZZ_CHECK(isValidCodec(c.codec) && c.position >= 0 && validGeometry(c.geometry));
    }
    void operator()(const DecodeCommand& c) const
    {
        FUZZ_CHECK(!c.romPath.empty() && !c.tablePath.empty() && c.at >= 0 && c.length >= 1);
    }
    void operator()(const EncodeCommand& c) const { FUZZ_CHECK(!c.tablePath.empty()); }
    void operator()(const DumpCommand& c) const
    {
        FUZZ_CHECK(!c.romPath.empty() && !c.tablePath.empty() && c.from >= 0 && c.to >= 0);
    }
    void operator()(const InsertCommand& c) const
    {
        FUZZ_CHECK(!c.romPath.empty() && !c.dumpPath.empty() && !c.tablePath.empty() && c.at >= 0);
    }
    void operator()(const SearchCommand& c) const
    {
        FUZZ_CHECK(!c.romPath.empty() && c.from >= 0 && c.interval >= 0 && c.interval <= 99);
        FUZZ_CHECK(c.mode != SearchCommand::Mode::Text || !c.tablePath.empty());
    }
    void operator()(const MakeTableCommand& c) const
    {
        FUZZ_CHECK(!c.resultsPath.empty() && !c.outputPath.empty() && c.line >= 1 && c.position >= 0);
    }
    void operator()(const MapCommand& c) const
    {
        FUZZ_CHECK(!c.romPath.empty() && !c.outputPath.empty() && c.at >= 0);
        FUZZ_CHECK(c.width >= 1 && c.width <= 256 && c.height >= 1 && c.height <= 256);
        FUZZ_CHECK(isValidCodec(c.codec) && c.position >= 0 && validGeometry(c.geometry));
        FUZZ_CHECK(c.compressedAt >= -1);
    }
    void operator()(const ScanCompressedCommand& c) const
    {
        FUZZ_CHECK(!c.romPath.empty() && c.minimumSize >= 1);
        FUZZ_CHECK(c.format == "any" || c.format == "huff" || formatFromName(c.format));
    }
    void operator()(const DecompressCommand& c) const
    {
        FUZZ_CHECK(!c.romPath.empty() && !c.outputPath.empty() && c.at >= 0);
        FUZZ_CHECK(c.format.empty() || formatFromName(c.format));
    }
    void operator()(const CompressCommand& c) const
    {
        FUZZ_CHECK(!c.inputPath.empty() && !c.outputPath.empty() && formatFromName(c.format));
    }
    void operator()(const RecompressCommand& c) const
    {
        FUZZ_CHECK(!c.romPath.empty() && !c.dataPath.empty() && c.at >= 0);
        FUZZ_CHECK(c.format.empty() || formatFromName(c.format));
    }
    void operator()(const MakePatchCommand& c) const
    {
        FUZZ_CHECK(!c.originalPath.empty() && !c.modifiedPath.empty() && !c.outputPath.empty());
    }
    void operator()(const ApplyPatchCommand& c) const { FUZZ_CHECK(!c.romPath.empty() && !c.patchPath.empty()); }
    void operator()(const PointerCommand& c) const
    {
        const PointerTable& t = c.table;
        FUZZ_CHECK(!c.romPath.empty() && t.size >= 2 && t.size <= 4 && t.count >= 1 && t.position >= 0);
        FUZZ_CHECK(t.stride >= 0 && t.header >= 0 && c.to >= 0 && (!t.bank || *t.bank >= 0));
        using Kind = PointerCommand::Kind;
        FUZZ_CHECK((c.kind != Kind::Dump && c.kind != Kind::Insert) || !c.tablePath.empty());
        FUZZ_CHECK(c.kind != Kind::Insert || (!c.scriptPath.empty() && !c.spaces.empty()));
    }
};

std::vector<std::string> words(std::string_view text)
{
    std::vector<std::string> result;
    while (!text.empty() && result.size() < 40) {
        const std::size_t nul = text.find('\0');
        result.emplace_back(text.substr(0, nul));
        text.remove_prefix(nul == std::string_view::npos ? text.size() : nul + 1);
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> args = words({reinterpret_cast<const char*>(data), size});
    const ParseResult parsed = parseArguments(args);
    FUZZ_CHECK(parsed.command.has_value() == parsed.error.empty());
    FUZZ_CHECK(parsed.exitCode == (parsed.command ? kExitOk : kExitUsage));
    if (args.empty())
        FUZZ_CHECK(!parsed.command);
    if (parsed.command)
        std::visit(CommandCheck{}, *parsed.command);
    return 0;
}
