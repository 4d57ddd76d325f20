// Go To on the tile map and data menus: move either window to a typed offset.
#include "app/inputbox.h"
#include "app/kvrmain.h"
#include "app/numbers.h"
#include "text/dataf.h"
#include "tiles/tmform.h"

#include <optional>

namespace {
// Asks for a position. Nothing when the box was cancelled or left empty, and
// also after a bad number, which has been reported by then.
std::optional<std::int32_t> askGoToPosition(Workbench& wb, QWidget* parent, const char* promptKey)
{
    const QString answer = InputBoxQuery(wb, QString::fromLatin1(kApplicationTitle), wb.text(promptKey),
                                         goToCharacters(), 10);
    if (!InputBoxConfirmed(wb))
        return std::nullopt;
    const GoToAnswer parsed = parseGoToAnswer(wb.codePage.fromUnicode(answer));
    if (parsed.kind == GoToAnswer::Kind::BadNumber)
        wb.dialogs().showMessage(parent, wb.badNumberMessage);
    if (parsed.kind != GoToAnswer::Kind::Position)
        return std::nullopt;
    return parsed.position;
}
} // namespace

// The scroll bars clamp the value into their ranges; the position is used as
// typed, without aligning it to tiles or rows.
void TQuarnTileMapper::GoTo1Click()
{
    if (const std::optional<std::int32_t> position = askGoToPosition(wb_, this, "GoTo1Inputbx"))
        wb_.forms.tileMapForm->moveTileMapScroll(*position);
}

void TQuarnTileMapper::GoTo2Click()
{
    if (const std::optional<std::int32_t> position = askGoToPosition(wb_, this, "GoTo2Inputbx"))
        wb_.forms.dataForm->moveDataScroll(*position);
}
