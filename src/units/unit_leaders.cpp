// Followers keeping to their leader, bases pushing out aircraft beyond their
// capacity, and sending a unit toward a hex again.
#include <memory>

#include "records/hex_unit_stack.h"
#include "records/path_request.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "units/paths/move_restart.h"
#include "units/hex_geometry.h"
#include "world/movement_rates.h"
#include "units/paths/path_route.h"
#include "world/unit_class.h"
#include "world/unit_ring.h"
#include "units/step/unit_step_phases.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {


// A leader that can still be followed: live, in service, not carried.
bool UsableLeader(const UnitRecord* leader) {
  return leader && IsUnitLive(*leader) && !InReserve(*leader) && leader->carrier == 0;
}

}  // namespace

int HeadingDirection(int heading) {
  static const int8_t kByQuarter[6] = {2, 5, 4, 3, 0, 1};
  const int h = ((heading % 24) + 24) % 24;
  if (h == 23 || h <= 2) return 1;
  return kByQuarter[(h - 3) / 4];
}

void StepFollowLeader(World& world, UnitRecord& unit) {
  unit.unitFlags &= ~kUnitFollowsLeader;
  UnitRecord* leader = FindUnitById(world, unit.orders[kLeaderUnit]);
  if (UsableLeader(leader)) {
    unit.unitFlags |= kUnitFollowsLeader;
    const uint32_t at = MakeHexPos(leader->x, leader->y);
    if (unit.orders[kMoveTarget] != at) {
      if (unit.orders[kMoveTarget] == unit.orders[kDestination]) UnitResetMoveState(world, 0, unit, at, unit.route2 != nullptr);
      unit.orders[kMoveTarget] = at;
    }
  }
  if (!(unit.unitFlags & kUnitFollowsLeader)) {
    unit.orders[kMoveTarget] = 0;
    unit.orders[kLeaderUnit] = 0;
  }
}

void StepCarrierCapacity(World& world, UnitRecord& unit) {
  unit.carriedCount = 0;
  HexCell* cell = UnitHexCell(world, unit);
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  UnitRecord* fullest = nullptr;
  float best = 0.0f;
  int count = 0;
  if (stack) {
    for (UnitRecord* u = stack->chainA[kUnitKindAir]; u; u = u->nextInChainA) {
      if (!(u->unitFlags & kUnitInBase) || u->orders[kLeaderUnit] != unit.id) continue;
      ++count;
      const UnitClassRecord* cls = UnitClassOf(world, *u);
      const float size = cls ? cls->fuelCapacity * u->strength : 0.0f;
      const float ratio = size != 0.0f ? u->fuel / size : 0.0f;
      if (!fullest || ratio > best) {
        fullest = u;
        best = ratio;
      }
    }
  }
  const UnitClassRecord* own = UnitClassOf(world, unit);
  const int capacity = own ? static_cast<int>(own->baseSlots) * own->strengthPerSize : 0;
  if (count > capacity && fullest) {
    fullest->unitFlags &= ~kUnitInBase;
    const uint32_t position = MakeHexPos(unit.x, unit.y);
    const uint32_t ahead =
        position == 0 ? 0 : HexNeighbour(MapShape(world), position, HeadingDirection(unit.heading));
    UnitResetMoveState(world, 0, *fullest, ahead, 0);
    const UnitClassRecord* cls = UnitClassOf(world, *fullest);
    if (cls && cls->fuelCapacity * fullest->strength / 2.0f > fullest->fuel) {
      fullest->unitFlags &= ~kUnitFollowsLeader;
      fullest->orders[kMoveTarget] = 0;
    }
    --count;
  }
  unit.carriedCount = static_cast<uint8_t>(count < 0 ? 0 : (count > 255 ? 255 : count));
}
