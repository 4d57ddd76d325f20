#include "cli/script.h"

#include "app/fileio.h"
#include "app/textfile.h"
#include "app/numbers.h"
#include "cli/romfile.h"
#include "cli/args.h"
#include "cli/tablefile.h"
#include "text/scriptdump.h"

#include <QString>

#include <ostream>
#include <span>

int runDump(const DumpCommand& command, std::ostream& out, std::ostream& err)
{
    const std::optional<CodePage> codePage = codePageFor(command.codePage, err);
    if (!codePage)
        return kExitUsage;
    if (command.to < command.from) {
        err << "quarn-tool: the end " << hexText(static_cast<std::uint32_t>(command.to), 8)
            << " lies before the start " << hexText(static_cast<std::uint32_t>(command.from), 8) << '\n';
        return kExitUsage;
    }
    const std::optional<RomBytes> rom = readRomAsOpened(command.romPath, err);
    if (!rom)
        return kExitFileError;
    const std::optional<LoadedTable> table = loadTable(command.tablePath, *codePage, err);
    if (!table)
        return kExitFileError;
    const ExtractRange range = scriptExtractRange(command.from, command.to, rom->size());
    // A UTF-8 table makes a UTF-8 dump; otherwise the dump is in the code page.
    const std::string dump = fileBytesOf(
        scriptDumpText(table->matcher, {table->lineBreakCode, table->endCode},
                       std::span<const std::uint8_t>(*rom).subspan(range.offset, range.count)),
        table->utf8, *codePage);
    const std::string done = "Extracted " + std::to_string(range.count) + " byte(s).\n";
    if (command.outputPath.empty()) {
        out.write(dump.data(), static_cast<std::streamsize>(dump.size()));
        err << done;
        return kExitOk;
    }
    const QString error = writeWholeFile(QString::fromLocal8Bit(command.outputPath),
                                         {reinterpret_cast<const std::uint8_t*>(dump.data()), dump.size()});
    if (!error.isEmpty()) {
        err << "quarn-tool: cannot write '" << command.outputPath << "': " << error.toStdString() << '\n';
        return kExitFileError;
    }
    out << done;
    return kExitOk;
}

int runInsert(const InsertCommand& command, std::ostream& out, std::ostream& err)
{
    const std::optional<CodePage> codePage = codePageFor(command.codePage, err);
    if (!codePage)
        return kExitUsage;
    std::optional<RomBytes> rom = readToolFile(command.romPath, "ROM", err, OpenMode::ReadWrite);
    if (!rom)
        return kExitFileError;
    const std::optional<RomBytes> dump = readToolFile(command.dumpPath, "dump", err);
    if (!dump)
        return kExitFileError;
    const std::optional<LoadedTable> table = loadTable(command.tablePath, *codePage, err);
    if (!table)
        return kExitFileError;
    // The file is not padded: a script must fit in the file as it is.
    const TextOfFile text =
        textOfFile(std::string_view(reinterpret_cast<const char*>(dump->data()), dump->size()), *codePage);
    const ReplaceResult result =
        replaceScript(*rom, command.at, table->matcher, {table->lineBreakCode, table->endCode}, text.text);
    if (result.unmatched) {
        const std::string shown = printable(*codePage, result.unmatched->character);
        err << "quarn-tool: insert: " << unmatchedCharacterMessage(*result.unmatched, shown)
            << "; nothing was written\n";
        return kExitFileError;
    }
    if (!result.written) {
        err << "quarn-tool: " << scriptDoesNotFitMessage(command.at, result) << '\n';
        return kExitFileError;
    }
    const QString error = writeWholeFile(QString::fromLocal8Bit(command.romPath), *rom);
    if (!error.isEmpty()) {
        err << "quarn-tool: cannot write ROM '" << command.romPath << "': " << error.toStdString() << '\n';
        return kExitFileError;
    }
    out << "quarn-tool: wrote " << result.needed << " byte(s) at " << hexText(static_cast<std::uint32_t>(command.at), 8)
        << '\n';
    return kExitOk;
}
