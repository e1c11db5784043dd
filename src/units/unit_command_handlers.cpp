#include "units/unit_command_handlers.h"

#include "sim/command_counts.h"
#include "units/unit_class.h"
#include "units/unit_create.h"
#include "records/unit_record.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

UnitRecord* FindUnit(World& world, uint32_t id) {
  WorldLockGuard hold(world, kLockUnits);
  return FindUnitById(world, id);
}

}  // namespace

UnitRecord* CreateUnitAt(World& world, PlayerRecord& owner, uint32_t id, int32_t classIndex, int32_t size,
                         uint32_t flags) {
  if (id == 0 || FindUnit(world, id) || !ClassRecordAt(world, classIndex)) return nullptr;
  UnitRecord* unit = CreateUnit(world, owner, id, classIndex, static_cast<float>(size), 0, 0, flags);
  if (unit) CountUnitOrder(world, *unit, 0);
  return unit;
}

void ReleaseUnitA(World& world, uint32_t id) {
  if (UnitRecord* unit = FindUnit(world, id)) unit->unitFlags &= ~kUnitProvisional;
}

void ReleaseUnitB(World& world, PlayerRecord&, uint32_t id, uint32_t, uint32_t, uint32_t) {
  UnitRecord* unit = FindUnit(world, id);
  if (!unit) return;
  unit->unitFlags &= ~kUnitProvisional;
  CountUnitOrder(world, *unit, 1);
}

void UnitBookkeeping(World& world, PlayerRecord&, uint32_t unitId, int32_t) {
  UnitRecord* unit = FindUnit(world, unitId);
  if (!unit || (unit->unitFlags & (kUnitGone | kUnitProvisional))) return;
  if (unit->classIndex != 0 && !InReserve(*unit)) return;
  unit->orders[kPostureBits] &= ~kPostureUnderConstruction;
  unit->unitFlags |= kUnitGone;
  unit->buildWork = 0.0f;
  unit->x2 = 0;
  unit->y2 = 0;
}

void ScheduleUnit(World&, UnitRecord&, int) {
  // The unit tables come with the scheduler; until then nothing is filed.
}
