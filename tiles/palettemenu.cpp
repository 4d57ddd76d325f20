// Filled by the commands of this menu.
#include "app/kvrmain.h"

void TQuarnTileMapper::Restore1Click() {}
void TQuarnTileMapper::N1Click() {}
void TQuarnTileMapper::N2Click() {}
void TQuarnTileMapper::N8Click() {}
