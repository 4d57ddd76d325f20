// Save To BMP and Load From BMP of the tile map menu: the tile map picture
// out to a paint program and back into the ROM image.
#include "app/kvrmain.h"
#include "app/recordededit.h"
#include "tiles/bitmapimport.h"
#include "tiles/bitmapio.h"
#include "tiles/tilespan.h"
#include "tiles/tmform.h"

namespace {
// PNG is offered beside BMP; the file name's extension decides what is written.
FileDialogOptions bitmapDialogOptions(const Workbench& wb, const char* titleKey)
{
    FileDialogOptions options;
    options.title = wb.text(titleKey);
    options.filter = QStringLiteral("Bitmap (*.bmp)|*.bmp|PNG image (*.png)|*.png");
    options.defaultExtension = QStringLiteral(".bmp");
    return options;
}
} // namespace

void TQuarnTileMapper::BMP2Click()
{
    SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    const std::optional<QString> chosen = wb_.dialogs().saveFileName(this, bitmapDialogOptions(wb_, "BMP2Export"));
    if (!chosen)
        return;
    // The picture as the last redraw left it: blocks in their screen arrangement.
    const QString error = writeBitmapFile(s.tileMap.ensureWhole(s.tileMapSource()), *chosen);
    if (!error.isEmpty())
        showError(error);
}

void TQuarnTileMapper::BMP1Click()
{
    SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    const std::optional<QString> chosen = wb_.dialogs().openFileName(this, bitmapDialogOptions(wb_, "BMP1Import"));
    if (!chosen)
        return;
    const BitmapReadResult picture = readBitmapFile(*chosen);
    if (!picture.bitmap) {
        showError(picture.error);
        return;
    }
    const std::int32_t markedBlock = s.markedBlock;
    const std::int32_t selectedTile = s.selectedTile;
    const StreamBytes grid = tileMapBytes(s.tileMapPosition, s.codec, s.geometry);
    RecordedEdit edit(wb_, EditBuffer::Rom);
    edit.watch(grid.offset, grid.length);
    const TileMapImportResult result =
        importTileMapPicture(s.rom, s.tileMapPosition, s.codec, s.geometry, s.palettes, *picture.bitmap);
    edit.commit("BMP1Import");
    s.selectedTile = selectedTile;
    // Redraws from the ROM image, so the map shows what was stored.
    wb_.forms.tileMapForm->setMarkedBlock(markedBlock);
    s.saved = 0;
    buildMainTitle();
    // Colours that drifted from the palette are told without a box; the
    // next mouse movement over the map replaces the note.
    if (result.unmatchedPixels > 0)
        wb_.forms.tileMapForm->showNote(wb_.text("UnmatchedColours") + QStringLiteral(": ") +
                                        QString::number(result.unmatchedPixels));
}
