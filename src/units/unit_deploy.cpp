#include "units/unit_deploy.h"

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "sim/command_counts.h"
#include "sim/command_executor.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "sim/command_post.h"
#include "sim/game_command.h"
#include "sim/sim_ui_link.h"
#include "sim/unit_command_args.h"
#include "units/class_fields.h"
#include "units/deployment_weight.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "units/paths/move_restart.h"
#include "world/movement_rates.h"
#include "world/unit_class.h"
#include "units/combat/unit_combat_step.h"
#include "units/unit_orders.h"
#include "units/unit_player_fields.h"
#include "world/unit_tables.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

namespace uf = unitfields;
namespace cf = classfields;

// Settings header bits 16 and 17: the unit holds the hex it deploys on.
constexpr uint32_t kHeaderHoldOnDeploy = (1u << 16) | (1u << 17);
// A deployed unit without a destination with more friends than this on its
// hex is over-stacked.
constexpr int kCrowd = 7;

// The hex's facility when it is a deployment base, judged by the copy of
// its orders of the pass.
const UnitRecord* DeploymentBase(const World& world, const HexCell& cell, int pass) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* f = stack ? stack->lead : nullptr;
  if (!f || !IsUnitLive(*f) || (f->unitFlags & kUnitProvisional)) return nullptr;
  const OrderBlock& o = pass == 0 ? f->ordersShown : f->orders;
  if (o[kPostureBits] & kPostureInReserve) return nullptr;
  const UnitClassRecord* cls = UnitClassOf(world, *f);
  if (!cls || !(cls->flags & kClassSettlement) || (cls->flags & kClassExcludedKinds)) return nullptr;
  if (cls->baseKind != 0 || cls->loadableMask == 0) return nullptr;
  return f;
}

int StackingLimit(const UnitRecord& unit) {
  return (unit.unitFlags2 & kUnit2LargeStack) ? kLargeStackingLimit : kStackingLimit;
}

bool Friendly(uint32_t relationMask, int owner, int other) {
  return other == owner || ((relationMask >> (other & 31)) & 1u);
}

// The display pass: the units of chain B of the unit's kind that its owner
// sees and counts as friends (display masks).
int DisplayFriendsOnHex(const World& world, const UnitRecord& unit, const HexCell& cell) {
  const int owner = unit.owner & 31;
  const PlayerRecord& p = world.players[owner];
  const uint32_t rules = world.scenario.head.gameFlags;
  const uint32_t sight = uf::SharedSightMask(p);
  const uint32_t seers = sight | (1u << owner);
  if ((rules & kGameFlagFog) && !world.spottingMap.empty()) {
    const size_t base = static_cast<size_t>(&cell - world.cells.data()) * 32;
    bool seen = false;
    for (int q = 0; q < 32 && !seen; ++q)
      seen = ((seers >> q) & 1u) && base + q < world.spottingMap.size() && world.spottingMap[base + q] > 0;
    if (!seen) return 0;
  }
  const bool unitSight = (rules & kGameFlagFog) && (rules & kGameFlagUnitSight);
  const HexUnitStack* stack = LoadHexStack(cell);
  if (!stack || unit.kind > 3) return 0;
  int count = 0;
  for (const UnitRecord* u = ChainLink(stack->chainB[unit.kind]); u; u = ChainLink(u->nextInChainB)) {
    if (u->unitFlags & kUnitGone) continue;
    const int other = u->owner & 31;
    if (unitSight && other != owner && !((sight >> other) & 1u) && !(u->seenBy & seers)) continue;
    if (Friendly(p.displayPolicy.friendlyMask, owner, other)) ++count;
  }
  return count;
}

// The simulation pass: the units of chain A of the unit's kind that stand
// on the map as friends (simulation masks).
int SimulationFriendsOnHex(const World& world, const UnitRecord& unit, const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  if (!stack || unit.kind > 3) return 0;
  const int owner = unit.owner & 31;
  const uint32_t friends = world.players[owner].simPolicy.friendlyMask;
  int count = 0;
  for (const UnitRecord* u = stack->chainA[unit.kind]; u; u = u->nextInChainA)
    if (IsUnitLive(*u) && !InReserve(*u) && Friendly(friends, owner, u->owner & 31)) ++count;
  return count;
}

// Whether the owner's commands run their display pass on this machine.
bool DisplayPassRunsHere(const World& world, int owner) {
  GameCommand probe;
  probe.id = kCmdScheduleUnit;
  probe.player = static_cast<uint8_t>(owner);
  return RunsDisplayPass(world, probe);
}

HexCell* UnitHex(World& world, const UnitRecord& unit) {
  return HexCellAt(world, MapShape(world), unitbytes::UnitPosition(unit));
}

void ScheduleDisplay(World& world, UnitRecord& unit) {
  OrderBlock& o = unit.ordersShown;
  const int owner = unit.owner & 31;
  if (!(o[kPostureBits] & kPostureInReserve) || (unit.unitFlags2 & kUnit2DeployPending) ||
      (unit.unitFlags & kUnitGone) || !DisplayPassRunsHere(world, owner))
    return;
  if (HexCell* cell = unitbytes::UnitPosition(unit) != kNoHexPosition ? UnitHex(world, unit) : nullptr) {
    const int friends = DisplayFriendsOnHex(world, unit, *cell);
    const float weight = DeploymentWeight(world, unit);
    const float budget = world.players[owner].soldiers;
    if ((friends < StackingLimit(unit) || !DeploymentBase(world, *cell, 0)) &&
        weight <= budget - PendingDeployments(world, owner)) {
      unit.unitFlags2 |= kUnit2DeployPending;
      o[kPostureBits] &= ~kPostureInReserve;
      o[kStateFlags] &= 0x00FFFFFFu;
      HexStackInsertOrdered(world, *cell, unit);
      AddPendingDeployments(world, owner, weight);
      unit.reservedDeployment = weight;
    }
  }
  o[kOrderFlags] &= ~kOrderAutoDeploy;
  if (!(unit.unitFlags2 & kUnit2DeployPending)) o[kStateFlags] |= kStateDeployRefused;
}

// Settles a pending deployment: the weight the display pass reserved here
// (none where it ran elsewhere) is released and the mark cleared. The unit
// may weigh otherwise by now: what was reserved is what goes back.
void SettlePending(World& world, UnitRecord& unit) {
  if (!(unit.unitFlags2 & kUnit2DeployPending)) return;
  if (unit.reservedDeployment != 0.0f) AddPendingDeployments(world, unit.owner & 31, -unit.reservedDeployment);
  unit.reservedDeployment = 0.0f;
  unit.unitFlags2 &= ~kUnit2DeployPending;
}

void TakeOffHex(World& world, UnitRecord& unit) {
  if (HexCell* cell = UnitHex(world, unit)) HexStackRemove(world, *cell, unit);
}

void ScheduleSimulation(World& world, UnitRecord& unit) {
  OrderBlock& o = unit.orders;
  if (!(o[kPostureBits] & kPostureInReserve)) return;
  if (unit.unitFlags & kUnitGone) {
    if (unit.unitFlags2 & kUnit2DeployPending) TakeOffHex(world, unit);
    SettlePending(world, unit);
    return;
  }
  PlayerRecord& owner = world.players[unit.owner & 31];
  const float weight = DeploymentWeight(world, unit);
  const uint32_t at = unitbytes::UnitPosition(unit);
  HexCell* cell = at != kNoHexPosition ? UnitHex(world, unit) : nullptr;
  // A position off the map counts as none: the unit deploys nowhere.
  const bool onMap = cell != nullptr;
  int friends = 0;
  bool accepted = true;
  if (!onMap) {
    accepted = weight <= owner.soldiers;
  } else if (DeploymentBase(world, *cell, 1)) {
    friends = SimulationFriendsOnHex(world, unit, *cell);
    accepted = weight <= owner.soldiers && friends < StackingLimit(unit);
  }
  if (!accepted) {
    o[kStateFlags] |= kStateDeployRefused;
    if (unit.unitFlags2 & kUnit2DeployPending) TakeOffHex(world, unit);
    SettlePending(world, unit);
    return;
  }
  unit.unitFlags2 &= ~kUnit2LargeStack;
  unit.unitFlags &= ~kUnitFullySupplied;
  o[kStateFlags] &= 0x00FFFFFFu;
  o[kPostureBits] &= ~kPostureInReserve;
  const float left = owner.soldiers - weight;
  owner.soldiers = left > 0.0f ? left : 0.0f;
  uf::SetReal(owner, uf::kForcesOnMap, uf::Real(owner, uf::kForcesOnMap) + weight);
  const int category = UnitTableCategory(unit);
  if (!(unit.unitFlags & kUnitStock)) {
    uf::AddShort(owner, uf::kMapCounts + 2 * static_cast<size_t>(category), 1);
    uf::AddShort(owner, uf::kReserveCounts + 2 * static_cast<size_t>(category), -1);
  }
  AppendUnitPtr(world, kUnitTableOnMap, owner.number & 31, category, unit);
  if (onMap) {
    RecomputeMovementRates(world, unit);
    HexStackRemove(world, *cell, unit);
    if (!UnitCombatStep(world, unit, at, 0)) {
      SettlePending(world, unit);
      return;
    }
    if (o[kDestination] == kNoHexPosition) {
      const HexUnitStack* stack = LoadHexStack(*cell);
      const UnitRecord* f = stack ? stack->lead : nullptr;
      if (f && IsUnitLive(*f) && !(f->unitFlags & kUnitProvisional) && f->orders[kDestination] != kNoHexPosition)
        UnitResetMoveState(world, 1, unit, f->orders[kDestination], 0);
      else if (friends > kCrowd)
        unit.unitFlags |= kUnitOverStacked;
    }
    NotifyUnitsChanged();
  }
  SettlePending(world, unit);
  if (o[kOrdersHeader] & kHeaderHoldOnDeploy) unit.unitFlags |= kUnitDeployedHold;
  o[kOrderFlags] &= ~kOrderAutoDeploy;
}

}  // namespace

void ScheduleUnit(World& world, UnitRecord& unit, int pass) {
  if (pass == 0)
    ScheduleDisplay(world, unit);
  else
    ScheduleSimulation(world, unit);
  CountUnitOrder(world, unit, pass);
}

int PlaceUnitOnMap(World& world, UnitRecord& unit) {
  const int32_t mode = SimUiMode();
  if (mode == kSimUiInGame) {
    if (unit.ordersShown[kPostureBits] & kPostureUnderConstruction) return 0;
    const int owner = unit.owner & 31;
    if (!(DeploymentWeight(world, unit) < world.players[owner].soldiers - PendingDeployments(world, owner))) return 0;
    CommandLog* log = CommandLogOf(world);
    if (!log) return 0;
    GameCommand c = MakeGameCommand(world.gameState, kCmdScheduleUnit, owner);
    SetArgWords(c, UnitArgs{.unit = unit.id}.Pack());
    PostCommand(*log, std::move(c), true);
    return 1;
  }
  if (mode != kSimUiMapEditor) return 0;
  unit.buildWork = 0.0f;
  unit.orders[kPostureBits] &= ~(kPostureInReserve | kPostureUnderConstruction);
  if (HexCell* cell = UnitHex(world, unit)) {
    HexStackInsertOrdered(world, *cell, unit);
    HexStackInsertById(world, *cell, unit);
  }
  unit.ordersShown = unit.orders;
  return 1;
}
