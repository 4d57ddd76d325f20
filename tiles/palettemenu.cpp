// The Palette menu: default colours, palette files, and the tile map menu's
// Clear Tile, which is the tile editor's Clear.
#include "app/fileio.h"
#include "app/kvrmain.h"
#include "tiles/palettefile.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"

#include <vector>

namespace {

PaletteFileForm formForName(const QString& fileName)
{
    return paletteFileFormFor(fileName.toUpper().toStdString());
}
} // namespace

void TQuarnTileMapper::Restore1Click()
{
    SharedState& s = wb_.state;
    Tteditform* editor = wb_.forms.tileEditForm;
    const auto& four = defaultFourColourPalette();
    const auto& sixteen = defaultSixteenColourPalette();
    // Only the active palette's first four entries are restored: in 4-colour
    // mode they are the boxes, and entries 0..3 of the strip keep the user's colours.
    const bool sixteenMode = paletteModeFor(s.codec) == PaletteMode::SixteenColour;
    if (sixteenMode) {
        for (std::size_t i = 0; i < 4; ++i)
            s.palettes.sixteen[i] = sixteen[i];
    } else {
        for (int n = 1; n <= 4; ++n)
            editor->setFourColour(n, four[static_cast<std::size_t>(n - 1)]);
    }
    for (std::size_t i = 4; i < 16; ++i)
        s.palettes.sixteen[i] = sixteen[i];
    if (sixteenMode)
        editor->repaintStrip();
    if (s.romLoaded)
        wb_.forms.tileMapForm->redrawTileMap();
}

void TQuarnTileMapper::N1Click()
{
    const std::optional<QString> chosen = wb_.dialogs().openFileName(this, wb_.fileDialog("OpenPALTitle", "PALFilter", ".pal"));
    if (!chosen)
        return;
    const FileReadResult file = readWholeFile(*chosen);
    if (!file.ok()) {
        showError(file.error);
        return;
    }
    SharedState& s = wb_.state;
    const PaletteMode mode = paletteModeFor(s.codec);
    const PaletteReadResult read = readPaletteFile(file.bytes, formForName(*chosen), paletteEntryCount(mode));
    // Entries read before a bad line keep their new colours.
    const int firstEntry = mode == PaletteMode::SixteenColour ? 0 : 1;
    for (std::size_t i = 0; i < read.colours.size(); ++i)
        wb_.forms.tileEditForm->setColour(firstEntry + static_cast<int>(i), read.colours[i]);
    if (!read.ok()) {
        showError(QString::fromStdString(read.error));
        return;
    }
    if (s.romLoaded)
        wb_.forms.tileMapForm->redrawTileMap();
}

void TQuarnTileMapper::N2Click()
{
    const std::optional<QString> chosen = wb_.dialogs().saveFileName(this, wb_.fileDialog("SavePALTitle", "PALFilter", ".pal"));
    if (!chosen)
        return;
    const Palettes& p = wb_.state.palettes;
    const std::vector<Colour> colours = paletteModeFor(wb_.state.codec) == PaletteMode::SixteenColour
                                            ? std::vector<Colour>(p.sixteen.begin(), p.sixteen.end())
                                            : std::vector<Colour>(p.four.begin(), p.four.end());
    const QString error = writeWholeFile(*chosen, writePaletteFile(colours, formForName(*chosen)));
    if (!error.isEmpty())
        showError(error);
}

void TQuarnTileMapper::N8Click()
{
    wb_.forms.tileEditForm->ClearBtnClick();
}
