#include "cli/tablefile.h"

#include "app/fileio.h"
#include "app/textfile.h"

#include <QString>

#include <ostream>

std::string printable(const CodePage&, std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toLocal8Bit().toStdString();
}

std::string typedText(const std::string& typed)
{
    return QString::fromLocal8Bit(typed).toStdString();
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
    const TextOfFile text = textOfFile(
        std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()), codePage);
    const TableReadResult read = readTableFile(text.text);
    if (!read.table) {
        err << "quarn-tool: " << path << ": " << printable(codePage, read.error) << "\n";
        return std::nullopt;
    }
    // A table without "*" or "/" lines keeps the program's start-up codes.
    LoadedTable table;
    table.entries = read.table->entries;
    table.sequences = read.table->sequences;
    table.lineBreakCode = read.table->lineBreakCode.value_or(0xFF);
    table.endCode = read.table->endCode.value_or(0x00);
    table.utf8 = text.utf8;
    table.finished = finishTable(table.entries, table.sequences, table.lineBreakCode, table.endCode,
                                 read.table->endText.value_or(std::string(kEndMarker)));
    table.matcher = EntryMatcher(table.entries, table.finished.longestEntryLength, table.sequences);
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
