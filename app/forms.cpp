#include "app/forms.h"

#include "about/about.h"
#include "app/inputbox.h"
#include "app/kvrmain.h"
#include "pointers/pointerform.h"
#include "search/searchform.h"
#include "search/srres.h"
#include "text/crtrd.h"
#include "text/dataf.h"
#include "tiles/teditf.h"
#include "tiles/tmform.h"
#include "workspace/workspacef.h"

std::unique_ptr<TQuarnTileMapper> createApplicationWindows()
{
    auto main = std::make_unique<TQuarnTileMapper>();
    Workbench& wb = main->workbench();
    Forms& f = wb.forms;
    QWidget* owner = main.get();
    f.inputForm = new TInputForm(wb, owner);
    f.aboutForm = new TAboutForm(wb, owner);
    f.searchForm = new TSearchForm(wb, owner);
    f.crtransForm = new Tcrtransform(wb, owner);
    f.searchResForm = new Tsearchresform(wb, owner);
    f.tileMapForm = new Ttilemapform(wb, owner);
    f.tileEditForm = new Tteditform(wb, owner);
    f.dataForm = new Tdataform(wb, owner);
    f.workspaceForm = new Tworkspaceform(wb, owner);
    f.pointerForm = new Tpointerform(wb, owner);
    return main;
}
