#include "screens/common/hex_lead_unit.h"

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "world/hex_extra.h"
#include "world/world.h"

bool HiddenFromOthers(const UnitRecord& unit) { return (unit.unitFlags & kUnitProvisional) != 0; }

const UnitRecord* PresentUnit(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  return lead && IsUnitLive(*lead) ? lead : nullptr;
}

const UnitRecord* ShownUnit(const World& world, const HexCell& cell) {
  const UnitRecord* lead = PresentUnit(cell);
  if (!lead) return nullptr;
  const bool ownHex = CellOwner(cell.word) == world.gameState.localPlayer;
  return ownHex || !HiddenFromOthers(*lead) ? lead : nullptr;
}

const UnitRecord* OpenUnit(const HexCell& cell) {
  const UnitRecord* lead = PresentUnit(cell);
  return lead && !HiddenFromOthers(*lead) ? lead : nullptr;
}

const UnitRecord* VisibleUnit(const HexCell& cell) {
  const UnitRecord* lead = OpenUnit(cell);
  return lead && !InReserve(*lead) ? lead : nullptr;
}
