// The character table commands of the Tables menu and the table formats help.
#include "app/fileio.h"
#include "app/textfile.h"
#include "app/kvrmain.h"
#include "text/chartable.h"
#include "text/stringcodec.h"
#include "search/searchform.h"
#include "text/dataf.h"
#include "tiles/tmform.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include <span>

namespace {

std::span<const std::uint8_t> asBytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string_view asText(std::span<const std::uint8_t> bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Reads the table file at the table file name into the shared state. On any
// failure the message is shown and the table, its codes and the loaded flag
// stay as they were. Returns the table's address.
std::optional<std::int32_t> readTableIntoState(Workbench& wb, QWidget* parent)
{
    SharedState& s = wb.state;
    const FileReadResult file = readWholeFile(QString::fromStdString(s.tableFileName));
    if (!file.ok()) {
        wb.dialogs().showMessage(parent, file.error);
        return std::nullopt;
    }
    // UTF-8 when the file is, else the code page in force; in memory UTF-8.
    const TextOfFile text = textOfFile(asText(file.bytes), wb.codePage);
    TableReadResult read = readTableFile(text.text);
    if (!read.table) {
        wb.dialogs().showMessage(parent, QString::fromStdString(read.error));
        return std::nullopt;
    }
    TableFile& table = *read.table;
    if (table.lineBreakCode)
        s.lineBreakCode = *table.lineBreakCode;
    if (table.endCode) {
        s.endCode = *table.endCode;
        s.endText = table.endText.value_or(std::string(kEndMarker));
    }
    s.charTable = std::move(table.entries);
    s.charSequences = std::move(table.sequences);
    s.tableUtf8 = text.utf8;
    s.tableLoaded = true;
    return table.address;
}
} // namespace

void TQuarnTileMapper::MkTmplItemClick()
{
    const std::optional<QString> chosen =
        wb_.dialogs().saveFileName(this, wb_.fileDialog("MakeTBLTitle", "TBLFilter", ".tbl"));
    if (!chosen)
        return;
    // The template is only written, not loaded.
    const QString error = writeWholeFile(*chosen, asBytes(tableTemplateText(wb_.state.tileMapPosition)));
    if (!error.isEmpty())
        showError(error);
}

void TQuarnTileMapper::OpenTblItemClick()
{
    const std::optional<QString> chosen =
        wb_.dialogs().openFileName(this, wb_.fileDialog("OpenTBLTitle", "TBLFilter", ".tbl"));
    if (!chosen)
        return;
    SharedState& s = wb_.state;
    // The name is taken even when the file turns out unreadable, so that
    // Reload Table tries this file again.
    s.tableFileName = QFileInfo(*chosen).absoluteFilePath().toStdString();
    const std::optional<std::int32_t> address = readTableIntoState(wb_, this);
    if (!address)
        return;
    setTableNameLabel();
    action("Rldtblitem")->setEnabled(true);
    wb_.forms.searchForm->enableTableText();
    if (s.romLoaded) {
        wb_.forms.tileMapForm->moveTileMapScroll(*address);
        finishTable();
        // Loading a ROM after the table finishes it but does not enable these.
        action("N20")->setEnabled(true);
        action("N24")->setEnabled(true);
    }
}

void TQuarnTileMapper::RldtblitemClick()
{
    SharedState& s = wb_.state;
    const QString fileName = QString::fromStdString(s.tableFileName);
    if (fileName.isEmpty())
        return;
    if (!QFileInfo::exists(fileName)) {
        // The file is gone: write the table in memory back first, so a reload
        // never fails for that reason.
        const std::string text = fileBytesOf(tableWriteBackText(s.tileMapPosition, s.charTable, s.charSequences),
                                             s.tableUtf8, wb_.codePage);
        const QString error = writeWholeFile(fileName, asBytes(text));
        if (!error.isEmpty()) {
            showError(error);
            return;
        }
    }
    const std::optional<std::int32_t> address = readTableIntoState(wb_, this);
    if (!address)
        return;
    setTableNameLabel();
    if (s.romLoaded) {
        wb_.forms.tileMapForm->moveTileMapScroll(*address);
        finishTable();
    }
}

void TQuarnTileMapper::finishTable()
{
    SharedState& s = wb_.state;
    DataEdit->clear();
    const FinishedTable finished = ::finishTable(s.charTable, s.charSequences, s.lineBreakCode, s.endCode, s.endText);
    s.tableCharSet = finished.charSet;
    s.longestEntryLength = finished.longestEntryLength;
    s.tableMatcher = EntryMatcher(s.charTable, s.longestEntryLength, s.charSequences);
    enableStringControls();
    // The data map may show the table's characters.
    wb_.forms.dataForm->drawDataMap();
}

void TQuarnTileMapper::setTableNameLabel()
{
    TBLnamel->setText(wb_.text("TBLnamel") + QStringLiteral(": ") + QString::fromStdString(wb_.state.tableFileName));
}

void TQuarnTileMapper::N3Click()
{
    TableHelpTexts pieces;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        pieces[i] = wb_.texts.text("str" + std::to_string(i + 1));
    // The forms read besides the classic ones, each with an example.
    const auto more = [&](int key) { return wb_.texts.text("str" + std::to_string(key)); };
    const std::string next = "\n\r\t";
    const std::string forms = more(14) + next + more(15) + next + more(16) + next + more(17) + next +
                              "8140=\xE3\x81\x82" + next + "6C6C=LL" + next + more(18) + next + "*0D0A" + next +
                              "/FF=<end>";
    wb_.dialogs().showMessage(this, QString::fromStdString(tableFormatsHelpText(pieces) + "\n\r\n\r" + forms));
}
