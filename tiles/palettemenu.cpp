// The Palette menu: default colours, palette files, palettes in the ROM, the
// NES master palette, and the tile map menu's Clear Tile, which is the tile
// editor's Clear.
#include "app/fileio.h"
#include "app/inputbox.h"
#include "app/kvrmain.h"
#include "app/numbers.h"
#include "tiles/colourformat.h"
#include "tiles/nespalette.h"
#include "tiles/palettefile.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"

#include <vector>

namespace {

PaletteFileForm formForName(const QString& fileName)
{
    return paletteFileFormFor(fileName.toUpper().toStdString());
}

// The palette the codec draws with: the four boxes, the 16 or the 256 entries.
std::vector<Colour> paletteInUse(const SharedState& s)
{
    const std::span<const Colour> entries = paletteEntries(s.palettes, paletteModeFor(s.codec));
    return {entries.begin(), entries.end()};
}

// The editor's entry number of the palette's first colour: the boxes count from 1.
int firstEntryOf(PaletteMode mode) { return mode == PaletteMode::FourColour ? 1 : 0; }

AllowedChars formatNameCharacters()
{
    return backspaceAnd("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
}

AllowedChars nesIndexCharacters() { return backspaceAnd("0123456789ABCDEFabcdef $"); }
} // namespace

void TQuarnTileMapper::Restore1Click()
{
    SharedState& s = wb_.state;
    Tteditform* editor = wb_.forms.tileEditForm;
    const auto& four = defaultFourColourPalette();
    const auto& sixteen = defaultSixteenColourPalette();
    // Only the active palette's first four entries are restored: in 4-colour
    // mode they are the boxes, and entries 0..3 of the strip keep the user's colours.
    const PaletteMode mode = paletteModeFor(s.codec);
    const bool sixteenMode = mode == PaletteMode::SixteenColour;
    // The 256-colour palette is restored whole.
    if (mode == PaletteMode::TwoFiftySixColour)
        s.palettes.full = defaultTwoFiftySixColourPalette();
    if (sixteenMode) {
        for (std::size_t i = 0; i < 4; ++i)
            s.palettes.sixteen[i] = sixteen[i];
    } else if (mode == PaletteMode::FourColour) {
        for (int n = 1; n <= 4; ++n)
            editor->setFourColour(n, four[static_cast<std::size_t>(n - 1)]);
    }
    for (std::size_t i = 4; i < 16; ++i)
        s.palettes.sixteen[i] = sixteen[i];
    if (mode != PaletteMode::FourColour)
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
    for (std::size_t i = 0; i < read.colours.size(); ++i)
        wb_.forms.tileEditForm->setColour(firstEntryOf(mode) + static_cast<int>(i), read.colours[i]);
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
    for (std::size_t i = 0; i < read.colours.size(); ++i)
        wb_.forms.tileEditForm->setColour(firstEntryOf(mode) + static_cast<int>(i), read.colours[i]);
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

// The 256-colour palette takes the 64 master colours as entries 0..63; the
// smaller palettes take the colours of the indices typed, as an NES game
// stores its palette. Like Load, the palette is not part of the ROM's history.
void TQuarnTileMapper::NesPalClick()
{
    SharedState& s = wb_.state;
    const PaletteMode mode = paletteModeFor(s.codec);
    std::vector<Colour> colours(nesMasterPalette().begin(), nesMasterPalette().end());
    if (mode != PaletteMode::TwoFiftySixColour) {
        const int count = paletteEntryCount(mode);
        // Room for "$3F " per entry and a few spaces more.
        const QString answer = InputBoxQuery(wb_, QString::fromLatin1(kApplicationTitle),
                                             wb_.text("NesIndicesPrompt").arg(count), nesIndexCharacters(),
                                             4 * count + 4, QString::fromLatin1(defaultNesColourIndices(mode)));
        if (!InputBoxConfirmed(wb_))
            return;
        const std::optional<std::vector<int>> indices = parseNesColourIndices(answer.toStdString(), count);
        if (!indices) {
            showError(wb_.text("BadNesIndices").arg(answer).arg(count));
            return;
        }
        colours = nesColours(*indices);
    }
    for (std::size_t i = 0; i < colours.size(); ++i)
        wb_.forms.tileEditForm->setColour(firstEntryOf(mode) + static_cast<int>(i), colours[i]);
    if (s.romLoaded)
        wb_.forms.tileMapForm->redrawTileMap();
}

void TQuarnTileMapper::N8Click()
{
    wb_.forms.tileEditForm->ClearBtnClick();
}
