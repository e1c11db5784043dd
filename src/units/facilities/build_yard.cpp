#include "units/facilities/build_yard.h"

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "units/class_fields.h"
#include "world/unit_class.h"
#include "world/hex_extra.h"
#include "world/unit_class_flags.h"

UnitRecord* BuildYardOn(const World& world, const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || !IsUnitLive(*lead) || (lead->unitFlags & kUnitProvisional) || InReserve(*lead)) return nullptr;
  const UnitClassRecord* cls = UnitClassOf(world, *lead);
  if (!cls || !(cls->flags & kClassSettlement) || (cls->flags & kClassExcludedKinds)) return nullptr;
  if (cls->baseKind != 0) return nullptr;
  if (cls->loadableMask == 0 && !(cls->flags & (kClassAirBase | kClassHaven))) return nullptr;
  return lead;
}
