#include "cli/search.h"

#include "app/fileio.h"
#include "app/textfile.h"
#include "app/numbers.h"
#include "cli/romfile.h"
#include "cli/args.h"
#include "cli/tablefile.h"
#include "search/results.h"
#include "search/search.h"
#include "search/searchpattern.h"
#include "text/stringcodec.h"

#include <QString>

#include <algorithm>
#include <cctype>
#include <ostream>

namespace {

// The forward search's pattern; nothing after a message when it cannot be built.
std::optional<std::vector<std::uint8_t>> forwardPattern(const SearchCommand& command, std::ostream& err)
{
    if (command.mode == SearchCommand::Mode::Hex) {
        std::string digits = command.pattern;
        std::transform(digits.begin(), digits.end(), digits.begin(), [](unsigned char c) { return std::toupper(c); });
        if (digits.empty() || digits.find_first_not_of("0123456789ABCDEF") != std::string::npos) {
            err << "quarn-tool: search: --hex takes hexadecimal digits, not '" << command.pattern << "'\n";
            return std::nullopt;
        }
        return hexPattern(digits);
    }
    const std::optional<CodePage> codePage = codePageFor(command.codePage, err);
    if (!codePage)
        return std::nullopt;
    const std::optional<LoadedTable> table = loadTable(command.tablePath, *codePage, err);
    if (!table)
        return std::nullopt;
    const TextPattern pattern =
        tableTextPattern(table->matcher, typedText(command.pattern), command.oneBytePerCharacter);
    if (pattern.characterWithoutCode) {
        err << "quarn-tool: search: no table entry is the character at " << pattern.characterWithoutCode.value_or(0) + 1
            << " by itself\n";
        return std::nullopt;
    }
    return pattern.bytes;
}
} // namespace

// Unlike the other commands, a file that cannot be read is a status 2, as
// status 1 means "no hit".
int runSearch(const SearchCommand& command, std::ostream& out, std::ostream& err)
{
    // The ROM as the program holds it after Open, so the hits are the same.
    const std::optional<RomBytes> opened = readRomAsOpened(command.romPath, err);
    if (!opened)
        return kExitUsage;
    const RomBytes& rom = *opened;
    if (command.mode == SearchCommand::Mode::Relative) {
        const std::optional<CodePage> codePage = codePageFor(command.codePage, err);
        if (!codePage)
            return kExitUsage;
        // A letter outside the code page has no code to keep a distance to.
        const std::optional<std::string> word = inCodePage(*codePage, command.pattern, "word", err);
        if (!word)
            return kExitUsage;
        const RelativeSearchResult result = relativeSearch(rom, *word, command.interval);
        if (result.wordTooLong || word->size() < 2) {
            err << "quarn-tool: search: a relative search word has 2 to " << kLongestRelativeWord << " letters\n";
            return kExitUsage;
        }
        for (const std::size_t hit : result.hits)
            out << resultLine(rom, hit, *word) << '\n';
        return result.hits.empty() ? kExitNoHit : kExitOk;
    }
    const std::optional<std::vector<std::uint8_t>> pattern = forwardPattern(command, err);
    if (!pattern)
        return kExitUsage;
    // Each search starts where the last hit was, as repeated searches in the
    // program do; a hit at the start itself never counts.
    bool found = false;
    std::int64_t start = command.from;
    while (const std::optional<std::size_t> hit = findForward(rom, start, *pattern, command.interval)) {
        out << hexText(static_cast<std::uint32_t>(*hit), 8) << '\n';
        found = true;
        start = static_cast<std::int64_t>(*hit);
    }
    return found ? kExitOk : kExitNoHit;
}

int runMakeTable(const MakeTableCommand& command, std::ostream& out, std::ostream& err)
{
    const FileReadResult file = readWholeFile(QString::fromLocal8Bit(command.resultsPath));
    if (!file.ok()) {
        err << "quarn-tool: cannot read '" << command.resultsPath << "': " << file.error.toStdString() << '\n';
        return kExitFileError;
    }
    // The words in Windows-1252, as the search writes them; a UTF-8 file is
    // turned into that.
    const std::vector<std::string> lines = readResultFile(resultFileInCodePage(
        std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()), CodePage()));
    if (command.line < 1 || static_cast<std::size_t>(command.line) > lines.size()) {
        err << "quarn-tool: make-table: '" << command.resultsPath << "' has " << lines.size() << " line(s), no line "
            << command.line << '\n';
        return kExitUsage;
    }
    const TableFromResult table =
        tableFromResultLine(lines[static_cast<std::size_t>(command.line - 1)], command.position, command.bothCases);
    if (!table.text) {
        err << "quarn-tool: make-table: " << table.error << '\n';
        return kExitFileError;
    }
    const QString error = writeWholeFile(QString::fromLocal8Bit(command.outputPath),
                                         {reinterpret_cast<const std::uint8_t*>(table.text->data()), table.text->size()});
    if (!error.isEmpty()) {
        err << "quarn-tool: cannot write '" << command.outputPath << "': " << error.toStdString() << '\n';
        return kExitFileError;
    }
    out << "quarn-tool: wrote " << command.outputPath << '\n';
    return kExitOk;
}
