#include "world/unit_lookup.h"

#include "units/unit_record.h"
#include "world/world.h"

UnitRecord* FindUnitById(const World& world, uint32_t id) {
  if (id == 0 || !world.units) return nullptr;
  UnitRecord* unit = world.units;
  do {
    if (unit->id == id) return unit;
    unit = unit->next;
  } while (unit && unit != world.units);
  return nullptr;
}
