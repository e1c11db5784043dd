#include "units/step/unit_react.h"

#include <array>

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "units/combat/fire_sight.h"
#include "units/hex_capture.h"
#include "units/hex_geometry.h"
#include "units/paths/move_cost.h"
#include "units/paths/move_restart.h"
#include "world/movement_rates.h"
#include "units/paths/unit_base_choice.h"
#include "world/unit_class.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/terrain_flags.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"

namespace {

constexpr int kRelationAtWar = 8;

// The hexes a retreat tries, by the direction straight away from the
// attacker: that one first, then alternately those nearer the far side.
constexpr std::array<std::array<int, 6>, 6> kRetreatOrder = {{
    {0, 1, 3, 2, 4, 5},
    {1, 2, 0, 5, 3, 4},
    {2, 5, 1, 4, 0, 3},
    {3, 4, 0, 5, 1, 2},
    {4, 5, 3, 2, 0, 1},
    {5, 2, 4, 1, 3, 0},
}};

// Away from an attacker on the unit's own hex: the direction behind its
// facing.
int BehindFacing(int facing) {
  if (facing <= 2 || facing == 23) return 4;
  if (facing <= 6) return 3;
  if (facing <= 10) return 0;
  if (facing <= 14) return 1;
  if (facing <= 18) return 2;
  return 5;
}

bool IsWater(const World& world, const HexCell& cell) {
  const TerrainRecord* terrain = TerrainOf(world, cell);
  return terrain && (TerrainFlags(*terrain) & kTerrainWater);
}

bool ActiveLead(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  return stack && stack->lead && !(stack->lead->unitFlags & (kUnitGone | kUnitProvisional));
}

// A visible enemy of the unit's own category stands on the hex.
bool EnemyOfItsKindThere(const World& world, const UnitRecord& unit, const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  if (!stack || unit.kind > 3) return false;
  for (const UnitRecord* u = stack->chainA[unit.kind]; u; u = u->nextInChainA) {
    if ((u->unitFlags & kUnitGone) || InReserve(*u)) continue;
    if (!UnitVisibleToSide(world, *u, unit.owner)) continue;
    if (RelationCode(world, unit.owner & 31, u->owner & 31) == kRelationAtWar) return true;
  }
  return false;
}

bool RetreatTo(World& world, const HexMapShape& map, const UnitRecord& unit, int movementType, uint32_t from,
               const HexCell& fromCell, int d) {
  const uint32_t to = HexNeighbour(map, from, d);
  HexCell* cell = HexCellAt(world, map, to);
  if (!cell) return false;  // off the map: no hex
  const int32_t cost = CrossingCost(world, movementType, false, fromCell, *cell, d);
  if (cost == kRefused || cost == 0) return false;
  const bool haven = HexUsableAsBase(world, unit, *cell) || (IsWater(world, *cell) && !ActiveLead(*cell));
  return haven && !EnemyOfItsKindThere(world, unit, *cell);
}

}  // namespace

int UnitReactToAttack(World& world, UnitRecord& unit, uint32_t attackerPosition) {
  unit.unitFlags &= ~kUnitDeployedHold;
  if (unit.kind == kUnitKindAir) {
    UnitChooseBase(world, unit, false);
    unit.unitFlags |= kUnitMovesWhileTurning;
    return 1;
  }
  const HexMapShape map = MapShape(world);
  const uint32_t here = MakeHexPos(unit.x, unit.y);
  const HexCell* fromCell = HexCellAt(world, map, here);
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!fromCell || !cls) return 0;
  int away = -1;
  if (attackerPosition == here) {
    away = BehindFacing(unit.heading % 24);
  } else {
    for (int d = 0; d < 6 && away < 0; ++d)
      if (HexNeighbour(map, here, d) == attackerPosition) away = OppositeDirection(d);
  }
  if (away < 0) return 0;
  const int movementType = cls->movementType;
  for (const int d : kRetreatOrder[static_cast<size_t>(away)]) {
    if (!RetreatTo(world, map, unit, movementType, here, *fromCell, d)) continue;
    UnitResetMoveState(world, 1, unit, HexNeighbour(map, here, d), 0);
    unit.unitFlags |= kUnitMovesWhileTurning;
    MessageParams params;
    params.p1 = unit.id;
    PostPlayerMessage(world, world.players[unit.owner & 31], unit.owner, kMsgUnitFellBack, nullptr, params);
    return 1;
  }
  return 0;
}
