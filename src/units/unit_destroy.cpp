#include "units/unit_destroy.h"

#include "sim/command_counts.h"
#include "sim/daily/elimination.h"
#include "units/hex_state.h"
#include "sim/sim_ui_link.h"
#include "units/transport/cargo_unloading.h"
#include "units/class_fields.h"
#include "world/hex_stack_chains.h"
#include "records/hex_unit_stack.h"
#include "units/order_cancel.h"
#include "world/unit_class.h"
#include "units/unit_player_fields.h"
#include "records/unit_record.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "world/day_tallies.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

namespace cf = classfields;
namespace uf = unitfields;


uint32_t ClassFlags(const World& world, const UnitRecord& unit) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  return cls ? cls->flags : 0;
}

// The first update of the orders: the movement, as the unit step drops it.
void DropMovement(World& world, UnitRecord& unit) {
  unit.unitFlags2 &= ~kUnit2Bit8;
  OrderBlock& o = unit.orders;
  o[kDestination] = 0;
  const bool onlyKept = (o[kOrderFlags] & ~((1u << 15) | (1u << 18) | (1u << 23))) == 0;
  o[kOrderFlags] &= ~((1u << 18) | (1u << 23));
  o[kStateFlags] &= ~0xFFu;
  if (onlyKept) o[kOrderId] = 0;
  CountUnitOrder(world, unit, 1);
}

}  // namespace

void BookUnitLoss(PlayerRecord& owner, float value) {
  for (size_t at : {uf::kLossValueA, uf::kLossValueB, uf::kLossValueC, uf::kLossValueD})
    uf::SetReal(owner, at, uf::Real(owner, at) + value);
  const float left = uf::Real(owner, uf::kForcesOnMap) - value;
  uf::SetReal(owner, uf::kForcesOnMap, left > 0.0f ? left : 0.0f);
}

void RecomputeHexMarks(World& world, HexCell& cell) {
  HexUnitStack* stack = LoadHexStack(cell);
  uint8_t marks = 0;
  if (stack) {
    for (int kind = 0; kind < 4; ++kind) {
      for (const UnitRecord* u = stack->chainA[kind]; u; u = u->nextInChainA) {
        if (u->unitFlags & kUnitMoved) continue;
        const uint32_t flags = ClassFlags(world, *u);
        if (flags & kClassFortifies) marks |= 2;
        if ((flags & kClassBuildsWorks) && (u->orders[kOrderFlags] & kOrderWorks)) marks |= 1;
      }
    }
    const UnitRecord* lead = stack->lead;
    if (lead && IsUnitLive(*lead) && !(lead->unitFlags & kUnitProvisional) &&
        !InReserve(*lead)) {
      const uint32_t flags = ClassFlags(world, *lead);
      if ((flags & kClassBuildsWorks) && (flags & kClassRoad)) marks |= 1;
    }
  }
  HexExtra* extra = stack ? stack->extra : nullptr;
  if (!extra && marks != 0) extra = GetHexExtra(world, cell);
  if (extra) HexPresenceFlags(*extra) = marks;
}

int UnitDestroy(World& world, UnitRecord& unit, int quiet) {
  if (unit.unitFlags & kUnitGone) return 0;
  PlayerRecord& owner = world.players[unit.owner & 31];
  HexCell* cell = UnitHexCell(world, unit);
  const bool facility = (unit.unitFlags & kUnitFacility) != 0;
  const bool stock = (unit.unitFlags & kUnitStock) != 0;
  const bool carried = unit.carrier != 0;
  const bool inReserve = InReserve(unit);
  const bool live = IsUnitLive(unit);
  int count = 0;

  if (facility) {
    // A works facility leaves its hex's works slots to settle.
    if (cell && !world.terrains.empty() &&
        classfields::TerrainMovement(world.terrains[static_cast<size_t>(CellTerrain(cell->word))], 0) == 0) {
      if (HexUnitStack* stack = LoadHexStack(*cell); stack && stack->extra) {
        HexStateEvaluate(world, *stack->extra, 0);
        HexStateEvaluate(world, *stack->extra, 1);
      }
    }
  } else if (!stock) {
    if (!quiet)
      for (int i = 0; i < 3; ++i) uf::SetInt(owner, uf::kUnitsLost + 4 * i, uf::Int(owner, uf::kUnitsLost + 4 * i) + 1);
    count = 1;
    const size_t counts = (!live || inReserve) ? uf::kReserveCounts : uf::kMapCounts;
    uf::AddShort(owner, counts + 2 * static_cast<size_t>(UnitTableCategory(unit)), -1);
  }

  if (live && !inReserve && !carried && cell) HexStackRemove(world, *cell, unit);

  DropUnitTableEntry(unit);
  MarkUnitGone(world, unit);
  unit.orders[kPostureBits] |= kPostureInReserve;
  unit.ordersShown[kPostureBits] |= kPostureInReserve;
  unit.x2 = 0;
  unit.y2 = 0;
  unit.unitFlags &= ~(kUnitMovesWhileTurning | kUnitSeekingBase);

  EndUnitRoutes(unit);

  DropMovement(world, unit);
  CancelUnitTarget(world, unit, 1);
  ClearUnitOrders(world, unit, 1);

  if (unit.strength > 0.0f) {
    const UnitClassRecord* cls = UnitClassOf(world, unit);
    float value = (cls ? static_cast<float>(cls->valuePerPoint) : 0.0f) * unit.strength;
    if (facility) {
      owner.soldiers += 0.9f * value;
      value = 0.1f * value;
    }
    if (!quiet) BookUnitLoss(owner, value);
  }

  if (!carried) {
    // Each carried unit links the next; read the link before the unit goes.
    uint32_t next = unit.cargoNext;
    for (int guard = 0; next != 0 && guard < 100000; ++guard) {
      UnitRecord* cargo = nullptr;
      {
        // Display passes on other threads link new units into the ring.
        WorldLockGuard hold(world, kLockUnits);
        cargo = FindUnitById(world, next);
      }
      if (!cargo || cargo == &unit) break;
      next = cargo->cargoNext;
      count += UnitDestroy(world, *cargo, quiet);
    }
  }

  // A carrier with an escort sends the aircraft that follow it on ahead.
  if (unit.carriedCount != 0) UnitUnloadAllCargo(world, unit);

  unit.strength = 0.0f;

  if (cell && !stock) RecomputeHexMarks(world, *cell);

  if (unit.classIndex == kObjectiveClass) CheckElimination(world, owner, 1, 1, kObjectiveClass);
  NotifyUnitsChanged();
  return count;
}
