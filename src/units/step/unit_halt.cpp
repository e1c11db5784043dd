// A moving unit stopping short of a crowded next hex, or, when it cannot
// fight, of stepping into contact with the enemy.
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "world/unit_class.h"
#include "units/step/unit_step_phases.h"
#include "world/hex_extra.h"
#include "world/scenario_settings.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"
#include "world/movement_types.h"

namespace {

constexpr int kCrowdLimit = 10;
constexpr size_t kSharedSightAt = 10032;

bool CannotFight(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  if (unit.kind != kUnitKindAir && unit.kind != kUnitKindSubmarine && (cls.flags & kClassHaltsOnMove)) return true;
  if (unit.ammo < cls.ammoPerShot * unit.strength) return true;
  if (cls.attackValues[0] == 0 && cls.attackValues[1] == 0) return true;
  (void)world;
  return (unit.unitFlags & kUnitMovesWhileTurning) != 0;
}

// A unit at war with the owner that the owner can see, in any chain of the hex.
bool EnemySeenAt(World& world, const HexMapShape& map, const UnitRecord& unit, uint32_t position) {
  HexCell* cell = HexCellAt(world, map, position);
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  if (!stack) return false;
  const PlayerRecord& owner = world.players[unit.owner & 31];
  const uint32_t flags = world.scenario.head.gameFlags;
  const bool fog = (flags & kGameFlagFog) && (flags & kGameFlagUnitSight);
  const uint32_t shared = le::Load32(reinterpret_cast<const uint8_t*>(&owner) + kSharedSightAt);
  for (int kind = 0; kind < 4; ++kind) {
    for (const UnitRecord* u = stack->chainA[kind]; u; u = u->nextInChainA) {
      if (!IsUnitLive(*u) || InReserve(*u) || !(owner.simPolicy.hostileMask & (1u << (u->owner & 31)))) continue;
      if (fog && !(shared & (1u << (u->owner & 31))) && !(u->seenBy & ((1u << (unit.owner & 31)) | shared))) continue;
      return true;
    }
  }
  return false;
}

bool EnemyAround(World& world, const HexMapShape& map, const UnitRecord& unit, uint32_t centre) {
  for (int d = 0; d < 6; ++d) {
    const uint32_t n = HexNeighbour(map, centre, d);
    if (n != kNoHexPosition && EnemySeenAt(world, map, unit, n)) return true;
  }
  return false;
}

}  // namespace

void UnitHaltCheck(World& world, UnitRecord& unit) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls) return;
  uint32_t& state = unit.orders[kStateFlags];
  if (cls->movementType == kCarrierAircraft && !(unit.unitFlags & kUnitInBase)) {
    state &= ~kStateMotionByte;
    return;
  }
  const uint32_t here = MakeHexPos(unit.x, unit.y), next = MakeHexPos(unit.x2, unit.y2);
  const uint32_t halts = kStateHalt | kStateHalt2;
  if (!(unit.orders[kOrderFlags] & kOrderMoving) || here == next) {
    state &= ~halts;
    return;
  }
  const HexMapShape map = MapShape(world);
  HexCell* cell = HexCellAt(world, map, next);
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  int crowd = 0;
  if (stack && unit.kind < 4) {
    const PlayerRecord& owner = world.players[unit.owner & 31];
    for (const UnitRecord* u = stack->chainA[unit.kind]; u; u = u->nextInChainA) {
      if (!IsUnitLive(*u) || (u->unitFlags & kUnitProvisional) || InReserve(*u)) continue;
      const uint32_t bit = 1u << (u->owner & 31);
      if (owner.simPolicy.hostileMask & bit) continue;
      if (u->owner == unit.owner || (owner.simPolicy.friendlyMask & bit)) ++crowd;
    }
  }
  if (crowd > kCrowdLimit) {
    state |= kStateHalt;
    return;
  }
  if (!CannotFight(world, unit, *cls) || !EnemyAround(world, map, unit, next)) {
    state &= ~halts;
    return;
  }
  if (!EnemyAround(world, map, unit, here)) {
    state |= kStateHalt;
    return;
  }
  if (EnemySeenAt(world, map, unit, next))
    state |= kStateHalt;
  else
    state &= ~halts;
}
