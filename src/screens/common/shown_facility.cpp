#include "screens/common/shown_facility.h"

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "world/world.h"

UnitRecord* ShownFacility(World& world, const HexCell& cell) {
  UnitRecord* lead = cell.stack ? cell.stack->lead : nullptr;
  if (!lead || (lead->unitFlags & kUnitGone) || lead->classIndex == 0) return nullptr;
  if (CellOwner(cell.word) != world.gameState.localPlayer && (lead->unitFlags & kUnitProvisional)) return nullptr;
  return lead;
}
