// Open, Reload and Close Tile Table of the Tables menu.
#include "app/fileio.h"
#include "app/kvrmain.h"
#include "text/dataf.h"
#include "text/tiletable.h"
#include "tiles/tmform.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>

#include <span>

namespace {
std::string_view asText(std::span<const std::uint8_t> bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// Reads the file at the tile table file name with the given rules and puts
// the table in use: the tile map moves to its address and the data map and
// the marked block follow. On a failure the table in use stays.
bool loadTileTable(Workbench& wb, TQuarnTileMapper& main, TileTableRules rules)
{
    SharedState& s = wb.state;
    const FileReadResult file = readWholeFile(QString::fromStdString(s.tileTableFileName));
    if (!file.ok()) {
        wb.dialogs().showMessage(&main, file.error);
        return false;
    }
    TileTableReadResult read = readTileTableFile(asText(file.bytes), rules);
    if (!read.table) {
        wb.dialogs().showMessage(&main, read.incompatibleFormat ? wb.text("KVRWrongFileFormat")
                                                                : wb.codePage.toUnicode(read.error));
        return false;
    }
    s.tileTable = std::move(read.table->entries);
    s.tileMatcher = TileSequenceMatcher(s.tileTable);
    s.tileTableLoaded = true;
    main.Label4->setText(wb.text("TileTblLab") + QStringLiteral(": ") + QString::fromStdString(s.tileTableFileName));
    main.action("rttbl")->setEnabled(true);
    main.action("cttbl")->setEnabled(true);
    if (s.romLoaded) {
        wb.forms.tileMapForm->moveTileMapScroll(read.table->address);
        wb.forms.dataForm->drawDataMap();
        wb.forms.tileMapForm->setMarkedBlock(
            s.cellCode(s.rom, static_cast<std::size_t>(s.selectedPosition())).code);
    }
    return true;
}
} // namespace

void TQuarnTileMapper::ottnlClick()
{
    const std::optional<QString> chosen =
        wb_.dialogs().openFileName(this, wb_.fileDialog("OpenTBLTitle", "TBLFilter", ".tbl"));
    if (!chosen)
        return;
    // The name is taken even when the file turns out unreadable.
    wb_.state.tileTableFileName = QFileInfo(*chosen).absoluteFilePath().toStdString();
    loadTileTable(wb_, *this, TileTableRules::Open);
}

void TQuarnTileMapper::rttblClick()
{
    SharedState& s = wb_.state;
    const QString fileName = QString::fromStdString(s.tileTableFileName);
    if (QFileInfo::exists(fileName)) {
        loadTileTable(wb_, *this, TileTableRules::Reload);
        return;
    }
    // The file is gone: the table in memory is written there, nothing is read.
    const std::string text = tileTableWriteBackText(s.tileMapPosition, s.tileTable);
    const QString error =
        writeWholeFile(fileName, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    if (!error.isEmpty())
        showError(error);
}

void TQuarnTileMapper::cttblClick()
{
    SharedState& s = wb_.state;
    s.tileTableLoaded = false;
    Label4->setText(wb_.text("TileTblLab") + QStringLiteral(":"));
    action("cttbl")->setEnabled(false);
    action("rttbl")->setEnabled(false);
    if (s.romLoaded) {
        wb_.forms.dataForm->drawDataMap();
        wb_.forms.tileMapForm->setMarkedBlock(s.rom[static_cast<std::size_t>(s.selectedPosition())]);
    }
}
