// Filled by the commands of this menu.
#include "app/kvrmain.h"

void TQuarnTileMapper::N9Click() {}
void TQuarnTileMapper::N10Click() {}
void TQuarnTileMapper::N28Click() {}
void TQuarnTileMapper::vstrfontClick() {}
