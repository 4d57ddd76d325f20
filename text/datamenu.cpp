// The commands of the Data Map menu and the built-in font switch.
#include "app/inputbox.h"
#include "app/kvrmain.h"
#include "text/datagrid.h"
#include "text/dataf.h"
#include "tiles/tmform.h"
#include "workspace/workspacef.h"

#include <QAction>

#include <algorithm>

void TQuarnTileMapper::N9Click()
{
    wb_.forms.dataForm->dLeftBtnClick();
}

void TQuarnTileMapper::N10Click()
{
    wb_.forms.dataForm->dRightBtnClick();
}

void TQuarnTileMapper::N28Click()
{
    SharedState& s = wb_.state;
    if (!s.romLoaded)
        return;
    const QString answer = InputBoxQuery(wb_, QString::fromLatin1(kApplicationTitle), wb_.text("InputFillByte"),
                                         fillByteCharacters(), 3);
    if (!InputBoxConfirmed(wb_))
        return;
    bool isNumber = false;
    const int value = answer.toInt(&isNumber, 10);
    if (!isNumber) {
        showError(wb_.text("NotAnInteger").arg(answer));
        return;
    }
    const auto fill = static_cast<std::uint8_t>(((value % 256) + 256) % 256);
    // The range stops at the end of the image.
    const std::int64_t start = s.selectedPosition();
    const std::int32_t count = lengthInsideImage(start, s.maxStringLength, s.romSize());
    const bool changed = s.rom.edit("Clear", {{start, count}}, [&](std::span<std::uint8_t> rom) {
        if (count > 0)
            std::fill_n(rom.begin() + start, count, fill);
    });
    if (changed)
        wb_.forms.tileMapForm->redrawTileMap();
}

void TQuarnTileMapper::vstrfontClick()
{
    // The item is checkable: the check mark has already changed.
    if (wb_.state.romLoaded)
        wb_.forms.dataForm->drawDataMap();
    if (wb_.forms.workspaceForm->isVisible())
        wb_.forms.workspaceForm->redraw();
}
