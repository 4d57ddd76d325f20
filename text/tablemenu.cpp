// Filled by the commands of this menu.
#include "app/kvrmain.h"

void TQuarnTileMapper::MkTmplItemClick() {}
void TQuarnTileMapper::OpenTblItemClick() {}
void TQuarnTileMapper::RldtblitemClick() {}
void TQuarnTileMapper::N3Click() {}
void TQuarnTileMapper::finishTable() {}
void TQuarnTileMapper::setTableNameLabel() {}
