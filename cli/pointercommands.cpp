#include "cli/pointercommands.h"

#include "app/fileio.h"
#include "app/numbers.h"
#include "app/textfile.h"
#include "cli/args.h"
#include "cli/romfile.h"
#include "cli/tablefile.h"

#include <QString>

#include <algorithm>
#include <ostream>

namespace {

constexpr int kExitNothingFound = 1;

std::span<const std::uint8_t> asBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The string at `target` through its end code, as Extract String shows it.
std::string stringText(const RomBytes& rom, std::size_t target, const LoadedTable& table)
{
    return decodeBytes(table.matcher, pointerStringAt(rom, target, table.endCode));
}

int runList(const PointerCommand& command, const RomBytes& rom, const std::optional<LoadedTable>& table,
            const CodePage& codePage, std::ostream& out)
{
    for (const PointerEntry& entry : readPointerTable(command.table, rom)) {
        out << entry.index << ' ' << hexText(static_cast<std::uint32_t>(entry.position), 8) << ' '
            << hexText(entry.stored, command.table.size * 2) << ' '
            << (entry.target ? hexText(static_cast<std::uint32_t>(*entry.target), 8) : "--------");
        if (table && entry.target)
            out << ' ' << printable(codePage, stringText(rom, *entry.target, *table));
        out << '\n';
    }
    return kExitOk;
}

int runFind(const PointerCommand& command, const RomBytes& rom, std::ostream& out, std::ostream& err)
{
    if (command.to >= static_cast<std::int64_t>(rom.size())) {
        err << "quarn-tool: position " << hexText(static_cast<std::uint32_t>(command.to), 8)
            << " lies past the end of the image (" << rom.size() << " bytes)\n";
        return kExitUsage;
    }
    const std::vector<std::size_t> hits = findPointers(command.table, rom, command.to);
    for (std::size_t at : hits)
        out << hexText(static_cast<std::uint32_t>(at), 8) << '\n';
    return hits.empty() ? kExitNothingFound : kExitOk;
}

int runDumpPointers(const PointerCommand& command, const RomBytes& rom, const LoadedTable& table,
                    const CodePage& codePage, std::ostream& out, std::ostream& err)
{
    PointerDump dump = dumpPointerScript(command.table, rom, table.matcher, {table.lineBreakCode, table.endCode});
    if (!dump.error.empty()) {
        err << "quarn-tool: " << dump.error << "; nothing was written\n";
        return kExitFileError;
    }
    // A UTF-8 table makes a UTF-8 script; otherwise it is in the code page.
    dump.text = fileBytesOf(dump.text, table.utf8, codePage);
    for (const std::string& warning : dump.warnings)
        err << "quarn-tool: warning: " << warning << '\n';
    if (command.outputPath.empty()) {
        out.write(dump.text.data(), static_cast<std::streamsize>(dump.text.size()));
        return kExitOk;
    }
    const QString error = writeWholeFile(QString::fromLocal8Bit(command.outputPath), asBytes(dump.text));
    if (!error.isEmpty()) {
        err << "quarn-tool: cannot write '" << command.outputPath << "': " << error.toStdString() << '\n';
        return kExitFileError;
    }
    out << "Dumped " << command.table.count << " entries.\n";
    return kExitOk;
}

int runInsertPointers(const PointerCommand& command, RomBytes& rom, const LoadedTable& table,
                      const CodePage& codePage, std::ostream& out, std::ostream& err)
{
    const std::optional<RomBytes> script = readToolFile(command.scriptPath, "script", err);
    if (!script)
        return kExitFileError;
    const std::string text =
        textOfFile(std::string_view(reinterpret_cast<const char*>(script->data()), script->size()), codePage).text;
    const PointerInsertPlan plan = planPointerInsert(command.table, rom.size(), text, table.matcher,
                                                     {table.lineBreakCode, table.endCode}, command.spaces);
    if (!plan.error.empty()) {
        err << "quarn-tool: " << printable(codePage, plan.error) << "; nothing was written\n";
        return kExitFileError;
    }
    applyPointerInsert(command.table, rom, plan);
    const QString error = writeWholeFile(QString::fromLocal8Bit(command.romPath), rom);
    if (!error.isEmpty()) {
        err << "quarn-tool: cannot write ROM '" << command.romPath << "': " << error.toStdString() << '\n';
        return kExitFileError;
    }
    out << rangeUseText(plan.ranges);
    return kExitOk;
}

} // namespace

int runPointerCommand(const PointerCommand& command, std::ostream& out, std::ostream& err)
{
    using Kind = PointerCommand::Kind;
    const std::optional<CodePage> codePage = codePageFor(command.codePage, err);
    if (!codePage)
        return kExitUsage;
    std::optional<RomBytes> rom = readToolFile(command.romPath, "ROM", err,
                                               command.kind == Kind::Insert ? OpenMode::ReadWrite : OpenMode::ReadOnly);
    if (!rom)
        return kExitFileError;
    if (command.kind == Kind::Find)
        return runFind(command, *rom, out, err);
    if (const std::string problem = pointerTableProblem(command.table, rom->size()); !problem.empty()) {
        err << "quarn-tool: " << problem << '\n';
        return kExitUsage;
    }
    std::optional<LoadedTable> table;
    if (!command.tablePath.empty()) {
        table = loadTable(command.tablePath, *codePage, err);
        if (!table)
            return kExitFileError;
    }
    switch (command.kind) {
    case Kind::List: return runList(command, *rom, table, *codePage, out);
    case Kind::Dump: return runDumpPointers(command, *rom, *table, *codePage, out, err);
    case Kind::Insert: return runInsertPointers(command, *rom, *table, *codePage, out, err);
    case Kind::Find: break;
    }
    return kExitOk;
}
