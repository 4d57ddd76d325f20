// Create Patch and Apply Patch of the ROM menu: a translation shared as an
// IPS or BPS patch against the original ROM, and such a patch taken in.
#include "app/fileio.h"
#include "app/kvrmain.h"
#include "patch/patchresult.h"
#include "tiles/tmform.h"

#include <algorithm>

namespace {

QString crcText(std::uint32_t crc) { return QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper(); }

// Apply Patch's one write into the image: every byte may change, so the
// whole image is the step's range; the document keeps the bytes that did.
void writeWholeImage(Workbench& wb, ByteView bytes)
{
    SharedState& s = wb.state;
    const bool changed = s.rom.edit("ApplyPatch", {{0, s.romSize()}}, [&](std::span<std::uint8_t> rom) {
        std::copy(bytes.begin(), bytes.end(), rom.begin());
    });
    if (changed) // like any edit: every window redraws, the title shows "*"
        wb.forms.tileMapForm->setTileMapPosition(s.tileMapPosition);
}

} // namespace

void TQuarnTileMapper::CreatePatchClick()
{
    const SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    const std::optional<QString> originalName =
        wb_.dialogs().openFileName(this, wb_.fileDialog("OriginalROMTitle", "ROMFilter", ".nes"));
    if (!originalName)
        return;
    const FileReadResult original = readWholeFile(*originalName);
    if (!original.ok()) {
        showError(original.error);
        return;
    }
    const std::optional<QString> patchName =
        wb_.dialogs().saveFileName(this, wb_.fileDialog("CreatePatch", "PatchFilter", ".bps"));
    if (!patchName)
        return;
    // The save dialog gives the name the extension of the filter chosen;
    // a name typed with another one gets BPS, which fits every ROM.
    const PatchFormat format = patchFormatForFileName(patchName->toStdString()).value_or(PatchFormat::Bps);
    const PatchResult patch = makePatch(format, original.bytes, s.rom);
    if (!patch.ok()) {
        showError(wb_.text("PatchNotMade") + QStringLiteral(": ") + QString::fromStdString(patch.error));
        return;
    }
    const QString error = writeWholeFile(*patchName, patch.bytes);
    if (!error.isEmpty())
        showError(error);
}

void TQuarnTileMapper::ApplyPatchClick()
{
    const SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    const std::optional<QString> chosen =
        wb_.dialogs().openFileName(this, wb_.fileDialog("ApplyPatch", "OpenPatchFilter", ".bps"));
    if (!chosen)
        return;
    const FileReadResult patch = readWholeFile(*chosen);
    if (!patch.ok()) {
        showError(patch.error);
        return;
    }
    const PatchResult patched = applyPatch(s.rom, patch.bytes);
    if (const std::optional<OtherRom>& other = patched.otherRom) {
        showError(wb_.text("PatchForOtherRom")
                      .arg(other->patchSize)
                      .arg(crcText(other->patchCrc))
                      .arg(other->romSize)
                      .arg(crcText(other->romCrc)));
        return;
    }
    if (!patched.ok()) {
        showError(wb_.text("PatchRefused") + QStringLiteral(": ") + QString::fromStdString(patched.error));
        return;
    }
    // The history keeps bytes of an image of one size; quarn-tool patches files of any.
    if (patched.bytes.size() != s.rom.size()) {
        showError(wb_.text("PatchResizes").arg(patched.bytes.size()).arg(s.rom.size()));
        return;
    }
    writeWholeImage(wb_, patched.bytes);
}
