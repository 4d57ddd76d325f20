#include "cli/tablefile.h"

#include "app/fileio.h"

#include <QString>

#include <ostream>

std::string printable(const CodePage& codePage, std::string_view bytes)
{
    return codePage.toUnicode(bytes).toStdString();
}

std::optional<std::string> inCodePage(const CodePage& codePage, const std::string& typed, const char* what,
                                      std::ostream& err)
{
    const QString text = QString::fromLocal8Bit(typed);
    if (const std::optional<qsizetype> at = codePage.firstCharacterNotHeld(text)) {
        err << "quarn-tool: code page " << codePage.name().toStdString() << " cannot hold the character '"
            << text.mid(*at, 1).toStdString() << "' at position " << *at + 1 << " of the " << what << '\n';
        return std::nullopt;
    }
    return codePage.fromUnicode(text);
}

std::optional<LoadedTable> loadTable(const std::string& path, const CodePage& codePage, std::ostream& err)
{
    const FileReadResult file = readWholeFile(QString::fromStdString(path));
    if (!file.ok()) {
        err << "quarn-tool: " << path << ": " << file.error.toStdString() << "\n";
        return std::nullopt;
    }
    const std::string_view text(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
    const TableReadResult read = readTableFile(text);
    if (!read.table) {
        err << "quarn-tool: " << path << ": " << printable(codePage, read.error) << "\n";
        return std::nullopt;
    }
    // A table without "*" or "/" lines keeps the program's start-up codes.
    LoadedTable table;
    table.entries = read.table->entries;
    table.lineBreakCode = read.table->lineBreakCode.value_or(0xFF);
    table.endCode = read.table->endCode.value_or(0x00);
    table.finished = finishTableEntries(table.entries, table.lineBreakCode, table.endCode);
    return table;
}

std::optional<CodePage> codePageFor(const std::string& name, std::ostream& err)
{
    CodePage codePage(QString::fromStdString(name));
    if (!codePage.isValid()) {
        err << "quarn-tool: unknown code page '" << name << "'\n";
        return std::nullopt;
    }
    return codePage;
}
