#include "units/transport/cargo_unloading.h"

#include <algorithm>
#include <cmath>

#include "app/game_math.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "sim/command_counts.h"
#include "sim/sim_ui_link.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "units/paths/move_restart.h"
#include "world/movement_rates.h"
#include "units/order_cancel.h"
#include "units/unit_batch.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "units/combat/unit_combat_step.h"
#include "units/unit_command_handlers.h"
#include "units/unit_destroy.h"
#include "units/unit_player_fields.h"
#include "world/unit_ring.h"
#include "world/unit_tables.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

namespace uf = unitfields;
namespace cf = classfields;

constexpr uint8_t kLevelAll = 255;
constexpr int kCategoryAir = 1;

UnitRecord* FindUnit(World& world, uint32_t id) {
  if (id == 0) return nullptr;
  WorldLockGuard hold(world, kLockUnits);
  return FindUnitById(world, id);
}

// Takes the unit out of its carrier's chain of carried units.
void UnlinkCargo(World& world, UnitRecord& carrier, UnitRecord& unit) {
  if (carrier.cargoNext == unit.id) {
    carrier.cargoNext = unit.cargoNext;
  } else {
    UnitRecord* prev = FindUnit(world, carrier.cargoNext);
    for (int guard = 0; prev && prev != &unit && guard < 100000; ++guard) {
      if (prev->cargoNext == unit.id) {
        prev->cargoNext = unit.cargoNext;
        break;
      }
      prev = FindUnit(world, prev->cargoNext);
    }
  }
  unit.cargoNext = 0;
  unit.carrier = 0;
}

// Minutes before a unit set down can act: shorter for a fresh, steady,
// experienced and trained unit and for a quick-firing class.
uint8_t LandingDelay(const UnitRecord& unit, const UnitClassRecord& cls) {
  const float u = unit.efficiency;
  const float v = unit.experience;
  const float w = unit.morale;
  const float fireRate = static_cast<float>(std::min<int>(cls.reloadFactor, 10));
  const float value = (35.0f / std::sqrt(u + 0.1f) / std::sqrt(w + 0.1f) / std::sqrt(std::sqrt(v + 1.0f)) -
                       unit.training * 10.0f) /
                      (fireRate / 10.0f + 1.0f);
  const int32_t minutes = CheckedTrunc(value);
  if (minutes == INT32_MIN) return value > 0.0f ? 250 : 2;
  return static_cast<uint8_t>(std::clamp<int32_t>(minutes, 2, 250));
}

// Which of a player's stock counters a stock class counts in.
size_t StockKind(const UnitClassRecord& cls) {
  if (cls.flags & (kClassSpecialWeaponA | kClassSpecialWeaponB)) return 0;
  if (cls.flags & kClassSpecialImmune) return 2;
  return 3;
}

// Adds q to the player's reserve unit of the stock's class, or makes one of
// the whole points of q.
void AddToReserve(World& world, PlayerRecord& player, const UnitRecord& stock, float q, uint32_t option) {
  if (UnitRecord* entry = FindInPlayerUnitList(world, player, stock.classIndex, option, 0)) {
    entry->strength += q;
    return;
  }
  const int32_t whole = CheckedTrunc(q);
  if (whole > 0) SpawnPlayerUnits(world, player, stock.classIndex, whole, true, option);
}

void DropLeftover(UnitRecord& stock, float q) {
  stock.strength -= q;
  if (stock.strength < 1.0f) stock.strength = 0.0f;
}

// The kind of base a facility is: 2 haven, 1 air base, 0 settlement serving
// land units; -1 none.
int BaseKind(const UnitClassRecord& cls) {
  if (cls.flags & kClassHaven) return 2;
  if (cls.flags & kClassAirBase) return 1;
  if ((cls.flags & kClassSettlement) && cls.loadableMask != 0) return 0;
  return -1;
}

}  // namespace

int HeadingDirection(uint8_t heading) {
  if (heading >= 3 && heading <= 6) return 2;
  if (heading >= 7 && heading <= 10) return 5;
  if (heading >= 11 && heading <= 14) return 4;
  if (heading >= 15 && heading <= 18) return 3;
  if (heading >= 19 && heading <= 22) return 0;
  return 1;
}

void UnitUnloadFromCarrier(World& world, UnitRecord& carrier, UnitRecord& unit) {
  UnlinkCargo(world, carrier, unit);
  RecomputeMovementRates(world, unit);
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (cls && cls->kind != kCategoryAir) unit.reloadTime = LandingDelay(unit, *cls);
  unit.disruption = 0.6f;
  unit.unitFlags &= ~kUnitFullySupplied;
  const uint32_t carrierAt = unitbytes::UnitPosition(carrier);
  uint32_t drop = unit.orders[kSecondHex];
  if (drop == kNoHexPosition) drop = carrierAt;
  if (drop != carrierAt && !(cls && (cls->flags & kClassAmphibious))) unit.efficiency *= 0.5f;
  UnitCombatStep(world, unit, drop, 0);
}

void UnitStockToReserve(World& world, UnitRecord& carrier, UnitRecord& stock) {
  PlayerRecord& owner = world.players[stock.owner & 31];
  const uint8_t level = unitbytes::OrderLevel(stock.orders);
  const float q = level == kLevelAll ? stock.strength : std::min(stock.strength, static_cast<float>(level));
  const uint32_t option = (stock.orders[kOrdersHeader] & (1u << 13)) ? kFindLaunchAllowed : 0;
  AddToReserve(world, owner, stock, q, option);
  DropLeftover(stock, q);
  CancelAllOrders(world, stock, 1);
  if (const UnitClassRecord* cls = UnitClassOf(world, stock)) {
    const int32_t whole = std::max(0, CheckedTrunc(q));
    const size_t k = StockKind(*cls);
    uf::AddShort(owner, uf::kPooledStock + 2 * k, whole);
    uf::AddShort(owner, uf::kLoadedStock + 2 * k, -whole);
  }
  // Emptied, the stock is nothing the carrier still holds: it leaves the
  // carrier's chain and play (what it held is in the reserve now).
  if (stock.strength == 0.0f) {
    UnitDestroy(world, stock, 1);
    UnlinkCargo(world, carrier, stock);
  }
  NotifyUnitsChanged();
}

void UnitUnloadAllCargo(World& world, UnitRecord& carrier) {
  const uint32_t carrierAt = unitbytes::UnitPosition(carrier);
  UnitRecord* unit = FindUnit(world, carrier.cargoNext);
  for (int guard = 0; unit && unit != &carrier && guard < 100000; ++guard) {
    UnitRecord* next = FindUnit(world, unit->cargoNext);
    if (unit->unitFlags & kUnitGone) {
      // Cargo destroyed with its carrier lands nowhere.
    } else if (unit->unitFlags & kUnitStock) {
      CancelAllOrders(world, *unit, 1);
      unitbytes::SetOrderLevel(unit->orders, kLevelAll);
      CountUnitOrder(world, *unit, 1);
      UnitStockToReserve(world, carrier, *unit);
    } else {
      unit->orders[kSecondHex] = carrierAt;
      CountUnitOrder(world, *unit, 1);
      UnitUnloadFromCarrier(world, carrier, *unit);
    }
    unit = next;
  }
  if (carrier.carriedCount != 0) {
    const uint32_t goal = HexNeighbour(MapShape(world), carrierAt, HeadingDirection(carrier.heading));
    HexCell* cell = UnitHexCell(world, carrier);
    HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
    // kUnitInBase with the carrier as leader: an aircraft escorting it.
    for (UnitRecord* f = stack ? stack->chainA[kCategoryAir] : nullptr; f; f = f->nextInChainA) {
      if (!(f->unitFlags & kUnitInBase) || f->orders[kLeaderUnit] != carrier.id) continue;
      f->unitFlags &= ~kUnitInBase;
      UnitResetMoveState(world, 1, *f, goal, 0);
    }
  }
  carrier.carriedCount = 0;
}

void UnitMoveStockToReserve(World& world, UnitRecord& stock, PlayerRecord& player, uint32_t quantity) {
  const int32_t whole = std::max(0, CheckedTrunc(stock.strength));
  const uint32_t k = std::min(quantity, static_cast<uint32_t>(whole));
  if (k == 0) return;
  const UnitClassRecord* cls = UnitClassOf(world, stock);
  const uint32_t option = cls && (cls->flags & kClassBatchStock) ? kFindLaunchAllowed : 0;
  AddToReserve(world, player, stock, static_cast<float>(k), option);
  DropLeftover(stock, static_cast<float>(k));
}

int UnitWithdrawToReserve(World& world, UnitRecord& unit, uint32_t orderFlags, uint32_t orderMask) {
  if (unit.carrier != 0 || unit.classIndex == kObjectiveClass) return 0;
  HexCell* cell = UnitHexCell(world, unit);
  HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  UnitRecord* base = stack ? stack->lead : nullptr;
  if (!base || !IsUnitLive(*base) || (base->unitFlags & kUnitProvisional) || InReserve(*base)) return 0;
  const UnitClassRecord* baseClass = UnitClassOf(world, *base);
  if (!baseClass || baseClass->baseKind != 0 || baseClass->loadableMask == 0) return 0;
  if (BaseKind(*baseClass) != unit.moveKind) return 0;
  PlayerRecord& owner = world.players[unit.owner & 31];
  if (CellOwner(cell->word) != owner.number) return 0;

  CancelAllOrders(world, unit, 1);
  unit.unitFlags &= ~(kUnitMoved | kUnitBit16 | kUnitBit17 | kUnitInBase | kUnitBit21 | kUnitDeployedHold);
  unit.disruption = 0.0f;
  UnitUnloadAllCargo(world, unit);
  uf::SetSupplyStock(owner, uf::SupplyStock(owner) + unit.supply);
  unit.supply = 0.0f;
  unit.unitFlags &= ~kUnitFullySupplied;
  unit.orders[kPostureBits] |= kPostureInReserve;
  unit.ordersShown[kPostureBits] |= kPostureInReserve;

  HexStackRemove(world, *cell, unit);
  RecomputeHexMarks(world, *cell);
  const int category = UnitTableCategory(unit);
  AppendUnitPtr(world, kUnitTableReserve, owner.number & 31, category, unit);

  const UnitClassRecord* cls = UnitClassOf(world, unit);
  const float value = (cls ? static_cast<float>(cls->valuePerPoint) : 0.0f) * unit.strength;
  owner.soldiers += value;
  uf::SetReal(owner, uf::kForcesOnMap, uf::Real(owner, uf::kForcesOnMap) - value);
  uf::AddShort(owner, uf::kMapCounts + 2 * static_cast<size_t>(category), -1);
  uf::AddShort(owner, uf::kReserveCounts + 2 * static_cast<size_t>(category), 1);

  for (OrderBlock* o : {&unit.orders, &unit.ordersShown}) {
    unitbytes::SetOrderLevel(*o, 1);
    (*o)[kOrderFlags] |= orderFlags;
    (*o)[kOrderMask] |= orderMask;
  }
  NotifyUnitsChanged();
  return 1;
}
