// The Palette menu: default colours, palette files, and the tile map menu's
// Clear Tile, which is the tile editor's Clear.
#include "app/fileio.h"
#include "app/inputbox.h"
#include "app/kvrmain.h"
#include "app/numbers.h"
#include "tiles/colourformat.h"
#include "tiles/palettefile.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"

#include <vector>

namespace {

PaletteFileForm formForName(const QString& fileName)
{
    return paletteFileFormFor(fileName.toUpper().toStdString());
}

// The palette the codec draws with: the four boxes or the 16-colour strip.
std::vector<Colour> paletteInUse(const SharedState& s)
{
    const Palettes& p = s.palettes;
    return paletteModeFor(s.codec) == PaletteMode::SixteenColour
               ? std::vector<Colour>(p.sixteen.begin(), p.sixteen.end())
               : std::vector<Colour>(p.four.begin(), p.four.end());
}

AllowedChars formatNameCharacters()
{
    return backspaceAnd("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
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
    const std::vector<Colour> colours = paletteInUse(wb_.state);
    const QString error = writeWholeFile(*chosen, writePaletteFile(colours, formForName(*chosen)));
    if (!error.isEmpty())
        showError(error);
}

// Two questions: the offset in the Go To number forms, then the format name.
void TQuarnTileMapper::ReadPalClick()
{
    SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    const QString title = QString::fromLatin1(kApplicationTitle);
    const QString offsetAnswer = InputBoxQuery(wb_, title, wb_.text("PalOffsetPrompt"), goToCharacters(), 10);
    if (!InputBoxConfirmed(wb_))
        return;
    const GoToAnswer offset = parseGoToAnswer(wb_.codePage.fromUnicode(offsetAnswer));
    if (offset.kind == GoToAnswer::Kind::BadNumber)
        showError(wb_.badNumberMessage);
    if (offset.kind != GoToAnswer::Kind::Position)
        return;
    const QString names = QString::fromStdString(colourFormatNames());
    const QString formatAnswer =
        InputBoxQuery(wb_, title, wb_.text("PalFormatPrompt").arg(names), formatNameCharacters(), 10);
    if (!InputBoxConfirmed(wb_))
        return;
    const std::optional<ColourFormat> format = parseColourFormat(formatAnswer.trimmed().toLower().toStdString());
    if (!format) {
        showError(wb_.text("BadColourFormat").arg(formatAnswer, names));
        return;
    }
    const PaletteMode mode = paletteModeFor(s.codec);
    // A negative typed position (HFFFFFFFF) is an offset the image cannot hold.
    const ColourReadResult read = readColours(s.rom, offset.position, paletteEntryCount(mode), *format);
    if (!read.ok()) {
        showError(QString::fromStdString(read.error));
        return;
    }
    const int firstEntry = mode == PaletteMode::SixteenColour ? 0 : 1;
    for (std::size_t i = 0; i < read.colours.size(); ++i)
        wb_.forms.tileEditForm->setColour(firstEntry + static_cast<int>(i), read.colours[i]);
    romPalette_ = RomPalettePlace{offset.position, *format};
    action("WritePalItem")->setEnabled(true);
    wb_.forms.tileMapForm->redrawTileMap();
}

void TQuarnTileMapper::WritePalClick()
{
    SharedState& s = wb_.state;
    if (!s.romLoaded || !romPalette_)
        return;
    const std::vector<Colour> colours = paletteInUse(s);
    const std::int64_t offset = romPalette_->offset;
    const ColourFormat format = romPalette_->format;
    // Another image may be shorter than the one the palette came from.
    const std::int64_t length = static_cast<std::int64_t>(colours.size()) * bytesPerColour(format);
    if (const ColourReadResult fits = readColours(s.rom, offset, static_cast<int>(colours.size()), format);
        !fits.ok()) {
        showError(QString::fromStdString(fits.error));
        return;
    }
    std::string error;
    const bool changed = s.rom.edit("WriteToRom", {{offset, length}}, [&](std::span<std::uint8_t> rom) {
        error = writeColours(rom, offset, colours, format);
    });
    if (!error.empty())
        showError(QString::fromStdString(error));
    if (changed)
        wb_.forms.tileMapForm->setTileMapPosition(s.tileMapPosition);
}

void TQuarnTileMapper::N8Click()
{
    wb_.forms.tileEditForm->ClearBtnClick();
}
