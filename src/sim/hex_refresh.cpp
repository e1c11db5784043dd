#include "sim/hex_refresh.h"

#include "units/unit_create.h"

void UnitHexRefresh(World& world, UnitRecord& unit) {
  // Settling the hex's improvement slots and its presence flags comes with
  // the hex state blocks.
  SetUnitClass(world, unit, true, 0);
}
