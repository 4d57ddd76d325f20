// Extract Script and Replace Script of the Data Map menu.
#include "app/textfile.h"
#include "app/fileio.h"
#include "app/kvrmain.h"
#include "text/crtrd.h"
#include "text/scriptdump.h"
#include "tiles/tmform.h"

#include <span>

namespace {
std::span<const std::uint8_t> asBytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}
} // namespace

void TQuarnTileMapper::N20Click()
{
    const std::optional<QString> fileName = wb_.forms.crtransForm->execute(Tcrtransform::Mode::Extract);
    if (!fileName)
        return;
    const SharedState& s = wb_.state;
    const ExtractRange range = scriptExtractRange(s.scriptStart, s.scriptEnd, s.rom.size());
    // The file is made even when the range is refused: it stays empty then.
    const std::string dump =
        range.endBeforeStart
            ? std::string()
            // A UTF-8 table makes a UTF-8 dump; otherwise it is in the code page.
            : fileBytesOf(scriptDumpText(s.tableMatcher, {s.lineBreakCode, s.endCode},
                                         std::span<const std::uint8_t>(s.rom).subspan(range.offset, range.count)),
                          s.tableUtf8, wb_.codePage);
    const QString error = writeWholeFile(*fileName, asBytes(dump));
    if (!error.isEmpty()) {
        showError(error);
        return;
    }
    if (range.endBeforeStart) {
        showError(wb_.text("DumpError"));
        return;
    }
    showError(wb_.text("Extracted") + QStringLiteral(" ") + QString::number(range.count) + QStringLiteral(" ") +
              wb_.text("Byte"));
}

void TQuarnTileMapper::N24Click()
{
    const std::optional<QString> fileName = wb_.forms.crtransForm->execute(Tcrtransform::Mode::Replace);
    if (!fileName)
        return;
    const FileReadResult file = readWholeFile(*fileName);
    if (!file.ok()) {
        showError(file.error);
        return;
    }
    SharedState& s = wb_.state;
    const TextOfFile dump =
        textOfFile(std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()), wb_.codePage);
    // How much the script takes is known only once it is encoded: everything
    // from its start may change.
    ReplaceResult result;
    s.rom.edit("ReplaceText", {{s.scriptStart, static_cast<std::int64_t>(s.rom.size()) - s.scriptStart}},
               [&](std::span<std::uint8_t> rom) {
                   result = replaceScript(rom, s.scriptStart, s.tableMatcher, {s.lineBreakCode, s.endCode}, dump.text);
               });
    if (result.unmatched) {
        const QString character = QString::fromStdString(result.unmatched->character);
        showError(wb_.text("UnmatchedInScript")
                      .arg(character, QString::number(result.unmatched->position),
                           QString::number(result.unmatched->line)));
        return;
    }
    if (!result.written) {
        showError(QString::fromStdString(scriptDoesNotFitMessage(s.scriptStart, result)));
        return;
    }
    wb_.forms.tileMapForm->redrawTileMap();
}
