// Filled by the commands of this menu.
#include "app/kvrmain.h"

void TQuarnTileMapper::GoTo1Click() {}
void TQuarnTileMapper::GoTo2Click() {}
