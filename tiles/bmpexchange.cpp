// Filled by the commands of this menu.
#include "app/kvrmain.h"

void TQuarnTileMapper::BMP1Click() {}
void TQuarnTileMapper::BMP2Click() {}
