#include "screens/military/unit_command_grid.h"

void UpdateUnitCommandGrid(Control*, uint32_t) {}

bool OnUnitCommandGrid(Control*, Control*) { return false; }
