// Save To BMP and Load From BMP of the tile map menu: the tile map picture
// out to a paint program and back into the ROM image.
#include "app/kvrmain.h"
#include "tiles/bitmapimport.h"
#include "tiles/bitmapio.h"
#include "tiles/tilegrid.h"
#include "tiles/tilespan.h"
#include "tiles/tmform.h"

namespace {
// PNG is offered beside BMP; the file name's extension decides what is written.
FileDialogOptions bitmapDialogOptions(const Workbench& wb, const char* titleKey)
{
    FileDialogOptions options;
    options.title = wb.text(titleKey);
    options.filter = wb.text("BMPFilter");
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
    // The picture as the last redraw left it: blocks in their screen arrangement;
    // 8-bit indexed with the 256-colour palette for the 8-bit codecs.
    const QString error =
        writeBitmapFile(s.tileMap.ensureWhole(s.tileMapSource()), *chosen, pictureColourTable(s.codec, s.palettes));
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
    TileMapImportResult result;
    s.rom.edit("BMP1Import", {{grid.offset, grid.length}}, [&](std::span<std::uint8_t> rom) {
        result = importTileMapPicture(rom, s.tileMapPosition, s.codec, s.geometry, s.palettes, *picture.bitmap);
    });
    s.selectedTile = selectedTile;
    // Redraws from the ROM image, so the map shows what was stored.
    wb_.forms.tileMapForm->setMarkedBlock(markedBlock);
    // A picture of another size is still read at its top left, but said:
    // it was most likely saved with another tile or block size.
    const int mapWidth = mapPixelWidth(s.geometry);
    const int mapHeight = mapPixelHeight(s.geometry);
    if (picture.bitmap->width != mapWidth || picture.bitmap->height != mapHeight)
        showError(wb_.text("PictureSizeDiffers")
                      .arg(QString::number(picture.bitmap->width), QString::number(picture.bitmap->height),
                           QString::number(mapWidth), QString::number(mapHeight)));
    // Colours that drifted from the palette are told without a box; the
    // next mouse movement over the map replaces the note.
    if (result.unmatchedPixels > 0)
        wb_.forms.tileMapForm->showNote(wb_.text("UnmatchedColours") + QStringLiteral(": ") +
                                        QString::number(result.unmatchedPixels));
}
