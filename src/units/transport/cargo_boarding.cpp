#include "units/transport/cargo_boarding.h"

#include <algorithm>

#include "app/game_math.h"
#include "records/hex_cell.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "sim/sim_ui_link.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "units/paths/move_cost.h"
#include "units/paths/move_restart.h"
#include "units/order_cancel.h"
#include "world/unit_class.h"
#include "units/unit_destroy.h"
#include "units/unit_player_fields.h"
#include "units/unit_queries.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "units/unit_transfer.h"
#include "units/unit_batch.h"
#include "world/id_lookups.h"
#include "world/record_helpers.h"
#include "world/terrain_flags.h"
#include "world/world.h"

namespace {

namespace uf = unitfields;

constexpr int kGuard = 100000;

// Carried units of the carrier, in chain order.
template <typename Fn>
void ForEachCarried(const World& world, const UnitRecord& carrier, Fn&& fn) {
  uint32_t id = carrier.cargoNext;
  for (int guard = 0; id != 0 && guard < kGuard; ++guard) {
    const UnitRecord* q = FindUnitById(world, id);
    if (!q || q == &carrier) return;
    id = q->cargoNext;
    fn(*q);
  }
}

}  // namespace

float ClassAmmoCapacity(const UnitClassRecord& cls) { return cls.ammoCapacity; }

float CarrierCargoLoad(const World& world, const UnitRecord& carrier) {
  return UnitLoadTotal(world, carrier, false, true, true);
}

float PassengerLoad(const World& world, const UnitRecord& unit) {
  return UnitCarriedSum(world, unit, false, true, true);
}

float CarrierFreeCapacity(const World& world, const UnitRecord& carrier) {
  const UnitClassRecord* cls = UnitClassOf(world, carrier);
  const float capacity = cls ? cls->carryCapacity * carrier.strength : 0.0f;
  return capacity - CarrierCargoLoad(world, carrier);
}

float CarrierSlotsUsed(const World& world, const UnitRecord& carrier) {
  float used = 0.0f;
  ForEachCarried(world, carrier, [&](const UnitRecord& q) {
    if (const UnitClassRecord* c = UnitClassOf(world, q)) used += static_cast<float>(c->slotSize) * q.strength;
  });
  return used;
}

int32_t CarrierSlotRoom(const World& world, const UnitRecord& carrier) {
  const UnitClassRecord* cls = UnitClassOf(world, carrier);
  if (!cls) return 0;
  int32_t slots = cls->cargoSlots;
  if (cls->strengthPerSize == 1 && cls->kind != 0) slots /= 10;
  const int32_t free =
      CheckedTrunc(static_cast<float>(cls->cargoSlots) * carrier.strength - CarrierSlotsUsed(world, carrier));
  return std::min(slots, free);
}

void RebalanceCarrierStores(World& world, UnitRecord& carrier) {
  const UnitClassRecord* cls = UnitClassOf(world, carrier);
  if (!cls) return;
  float total = carrier.ammo + carrier.supply;
  const bool carried = carrier.carrier != 0;
  const float cargo = carried ? 0.0f : CarrierCargoLoad(world, carrier);
  const float room = cls->carryCapacity * carrier.strength - cargo;
  carrier.supply = 0.0f;
  // An overloaded carrier gives up ammunition room for its cargo.
  float ammoRoom = ClassAmmoCapacity(*cls) * carrier.strength;
  if (!carried && carrier.cargoNext != 0 && room < 0.0f) ammoRoom = std::max(0.0f, ammoRoom + room);
  carrier.ammo = std::min(total, ammoRoom);
  total -= carrier.ammo;
  if (total > 0.0f && room > 0.0f) {
    carrier.supply = std::min(total, room);
    total -= carrier.supply;
  }
  if (total > 0.0f) {
    PlayerRecord& owner = world.players[carrier.owner & 31];
    uf::SetSupplyStock(owner, uf::SupplyStock(owner) + total);
  }
}

void LinkIntoCargoChain(World& world, UnitRecord& carrier, UnitRecord& unit) {
  const uint32_t earlier = carrier.cargoNext;
  unit.carrier = carrier.id;
  UnitRecord* last = &unit;
  for (int guard = 0; last->cargoNext != 0 && guard < kGuard; ++guard) {
    UnitRecord* q = FindUnitById(world, last->cargoNext);
    if (!q || q == &unit || q == &carrier) {
      last->cargoNext = 0;  // a broken chain ends here rather than looping
      break;
    }
    q->carrier = carrier.id;
    last = q;
  }
  last->cargoNext = earlier;
  carrier.cargoNext = unit.id;
}

void CountStockPointLoaded(PlayerRecord& owner, const UnitClassRecord& stockClass) {
  const size_t k = static_cast<size_t>(StockKindOf(stockClass));
  uf::AddShort(owner, uf::kPooledStock + 2 * k, -1);
  uf::AddShort(owner, uf::kLoadedStock + 2 * k, 1);
}

UnitRecord* SpawnInService(World& world, PlayerRecord& owner, int32_t classIndex, int32_t count, uint32_t findOption) {
  UnitRecord* unit = SpawnPlayerUnits(world, owner, classIndex, count, false, findOption);
  if (!unit || !InReserve(*unit)) return unit;
  unit->orders[kPostureBits] &= ~kPostureInReserve;
  unit->ordersShown[kPostureBits] &= ~kPostureInReserve;
  unit->unitFlags2 &= ~kUnit2DeployPending;
  AppendUnitPtr(world, kUnitTableOnMap, owner.number & 31, UnitTableCategory(*unit), *unit);
  return unit;
}

void TakeAboard(World& world, UnitRecord& unit) {
  unit.x = 0;
  unit.y = 0;
  if (unit.tableEntry) unit.tableEntry->position = kNoHexPosition;
  unit.pixelX = 0.0f;
  unit.pixelY = 0.0f;
  unit.orders[kOrderFlags] &= ~kOrderLoadInto;
  unit.orders[kLeaderUnit] = 0;
  unitbytes::SetOrderLevel(unit.orders, 0);
  unit.unitFlags &= ~(kUnitBit16 | kUnitBit17);
  CancelUnitMovement(world, unit, 1);
}

void LeaveHexForCarrier(World& world, UnitRecord& unit) {
  if (HexCell* cell = UnitHexCell(world, unit)) {
    HexStackRemove(world, *cell, unit);
    RecomputeHexMarks(world, *cell);
  }
  NotifyUnitsChanged();
}

bool HexTakesCargo(const World& world, int owner, int moveKind, const HexCell& cell) {
  const size_t index = static_cast<size_t>(&cell - world.cells.data());
  if (index >= world.cellBytes.size() || world.cellBytes[index] == 0) return false;
  const int hexOwner = CellOwner(cell.word);
  if (hexOwner == owner) return true;
  if (PlayerAccessMask(world.players[owner & 31], moveKind) & (1u << hexOwner)) return true;
  const TerrainRecord* terrain = TerrainOf(world, cell);
  return hexOwner == 0 && terrain && (TerrainFlags(*terrain) & kTerrainWater);
}

bool CarrierUsable(const UnitRecord& carrier) {
  return IsUnitLive(carrier) && !InReserve(carrier) && carrier.carrier == 0;
}

uint32_t CarrierMeetingGoal(const UnitRecord& carrier) {
  return carrier.orders[kDestination] != kNoHexPosition ? carrier.orders[kDestination]
                                                        : unitbytes::UnitPosition(carrier);
}

void SendTowardGoal(World& world, UnitRecord& unit, uint32_t goal) {
  if (goal == kNoHexPosition) return;
  if (unit.orders[kDestination] == goal && (unit.orders[kOrderFlags] & kOrderMoving)) return;
  if (unit.route && unit.route->end == goal) return;
  UnitResetMoveState(world, 1, unit, goal, 0);
}
