// The step of a unit held in reserve: units of the four kinds are resupplied
// and repaired from their owner's stocks and sent to the map when a
// deployment is asked for or drawn; stock units work their load order; both
// carry out a disband request.
#include <algorithm>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "units/transport/cargo_boarding.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "world/movement_rates.h"
#include "units/step/reserve_supply.h"
#include "units/transport/stock_loading.h"
#include "world/unit_class.h"
#include "units/unit_deploy.h"
#include "units/unit_disband.h"
#include "units/unit_player_fields.h"
#include "units/unit_queries.h"
#include "units/step/unit_side_steps.h"
#include "world/unit_tables.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

namespace uf = unitfields;

constexpr int kStockTimer = 54 - 52;    // the stock unit's minute timer (record byte 54)
constexpr int kReserveTimer = 55 - 52;  // the reserve unit's (byte 55)
constexpr uint8_t kStockPause = 6;
constexpr uint8_t kReservePause = 18;
constexpr int kIdlePause = 72;
constexpr float kNoNeed = 0.01f;

void AddProduct(PlayerRecord& p, int k, size_t field, float v) {
  uf::SetProductReal(p, k, field, uf::ProductReal(p, k, field) + v);
}

// Draws amount of product k from the owner's stock, or, when that is short,
// from the hex player's; books what was asked and what was delivered. The
// amount delivered (0 when both are short).
float Draw(World& world, PlayerRecord& owner, const PlayerRecord* hexPlayer, int k, float amount) {
  AddProduct(owner, k, kProductAskedAt, amount);
  PlayerRecord* from = nullptr;
  if (uf::ProductReal(owner, k, kProductStockAt) >= amount)
    from = &owner;
  else if (hexPlayer && uf::ProductReal(*hexPlayer, k, kProductStockAt) >= amount)
    from = &world.players[hexPlayer->number & 31];
  if (!from) return 0.0f;
  uf::SetProductReal(*from, k, kProductStockAt, uf::ProductReal(*from, k, kProductStockAt) - amount);
  AddProduct(owner, k, kProductDeliveredAt, amount);
  return amount;
}

// The hex's lead facility is a live base of the kind the unit's class wants.
bool AtMatchingBase(World& world, const HexCell* cell, const UnitClassRecord& cls) {
  const HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || !IsUnitLive(*lead) || (lead->unitFlags & kUnitProvisional) || InReserve(*lead)) return false;
  const UnitClassRecord* baseClass = UnitClassOf(world, *lead);
  if (!baseClass || baseClass->baseKind != 0) return false;
  const int wanted = cls.kind == 3 ? 2 : cls.kind;
  return BaseKindOf(*baseClass) == wanted;
}

}  // namespace

ReserveNeeds ReserveUnitNeeds(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  ReserveNeeds n;
  n.fuel = cls.fuelCapacity * unit.strength - unit.fuel;
  float ammoRoom = ClassAmmoCapacity(cls) * unit.strength;
  const float loads = CarrierCargoLoad(world, unit);
  const float capacity = cls.carryCapacity * unit.strength;
  if (unit.carrier == 0 && unit.cargoNext != 0 && unit.supply == 0.0f && loads > capacity)
    ammoRoom = std::max(0.0f, ammoRoom - (loads - capacity));
  n.ammo = ammoRoom - unit.ammo;
  const bool alive = IsUnitLive(unit) && !InReserve(unit);
  n.supply = alive && unit.carrier == 0 ? capacity - unit.supply - loads : 0.0f;
  n.strength = static_cast<float>(cls.strengthPerSize) * unit.targetStrength - unit.strength;
  return n;
}

void ResupplyReserveUnit(World& world, UnitRecord& unit, const UnitClassRecord& cls) {
  if (unit.unitFlags & kUnitFullySupplied) return;
  // A unit without a position has no hex: nothing to draw on there.
  const HexMapShape map = MapShape(world);
  const int64_t index = HexCellIndex(map, unitbytes::UnitPosition(unit));
  HexCell* cell = index >= 0 ? &world.cells[static_cast<size_t>(index)] : nullptr;
  const int level =
      cell && static_cast<size_t>(index) < world.cellBytes.size() ? world.cellBytes[static_cast<size_t>(index)] - 1 : 0;
  if (level <= 0) return;
  PlayerRecord& owner = world.players[unit.owner & 31];
  const PlayerRecord* hexPlayer = &world.players[CellOwner(cell->word)];

  ReserveNeeds need = ReserveUnitNeeds(world, unit, cls);
  if (need.fuel <= kNoNeed && need.ammo <= kNoNeed && need.supply <= kNoNeed && need.strength <= kNoNeed) {
    unit.unitFlags |= kUnitFullySupplied;
    return;
  }
  const bool base = AtMatchingBase(world, cell, cls);
  float rate = static_cast<float>(level) * unit.efficiency * 12.0f;
  if ((unit.unitFlags & kUnitFacility) || base)
    rate *= 4.0f;
  else if ((unit.orders[kOrderFlags] & kOrderHasteBits) && !(unit.unitFlags & kUnitMoved))
    rate *= 2.0f;

  const float weight = cls.weight;
  if (rate > 0.0f && !(unit.unitFlags & kUnitFacility) && need.strength > 0.0f && weight > 0.0f &&
      (unit.kind == 0 || base) && !(unit.unitFlags & kUnitMoved) && !(unit.orders[kOrderFlags] & kOrderEngaged)) {
    const bool alive = !InReserve(unit);
    float factor = unit.moveKind == kMoveKindAir ? (alive ? 0.25f : 0.5f) : (alive ? 1.0f : 2.0f);
    const float pace = cls.buildWorkPerPoint;
    if (pace > 0.0f) factor = factor / pace;
    float amount = std::min(factor / 240.0f, need.strength) * weight;
    amount = std::min(amount, rate / 240.0f);
    AddProduct(owner, uf::kSupplyProduct, kProductAskedAt, amount);
    if (uf::SupplyStock(owner) < amount) amount = 0.0f;
    uf::SetSupplyStock(owner, uf::SupplyStock(owner) - amount);
    AddProduct(owner, uf::kSupplyProduct, kProductDeliveredAt, amount);
    unit.strength += amount / weight;
    need = ReserveUnitNeeds(world, unit, cls);
  }
  const float fuelPerPoint = std::max(1.0f, cls.fuelCapacity / 4.0f);
  if (need.fuel > 0.0f)
    unit.fuel += Draw(world, owner, hexPlayer, uf::kFuelProduct, std::min(rate * 4.0f / 240.0f * fuelPerPoint, need.fuel));
  if (need.ammo > 0.0f)
    unit.ammo += Draw(world, owner, hexPlayer, uf::kSupplyProduct, std::min(rate / 240.0f, need.ammo));
  if (need.supply > 0.0f)
    unit.supply += Draw(world, owner, hexPlayer, uf::kSupplyProduct, std::min(rate * 8.0f / 240.0f, need.supply));
  unit.unitFlags &= ~kUnitStepped;  // it needed something: not idle
}

bool ReserveDeploymentDrawn(const World& world, const UnitRecord& unit) {
  const PlayerRecord& owner = world.players[unit.owner & 31];
  const int v = static_cast<int>(OrderAggressiveness(unit.orders[kOrdersWord])) * 30 + owner.simPolicy.milinitiativeoff;
  const int32_t rate = owner.simPolicy.defcon;
  const uint32_t draw = unit.id + world.gameState.currentDay;
  if (v > 120 && rate > 1 && static_cast<int64_t>(draw % 20) <= rate) return true;
  if (v > 80 && unit.efficiency < 0.5f) {
    const UnitClassRecord* cls = UnitClassOf(world, unit);
    const uint32_t m = cls && cls->movementType != 0 ? 100 : 300;
    return draw % m == 1;
  }
  return false;
}

void RunReserveStep(World& world, UnitRecord& unit, int minutes) {
  const bool wasIdle = (unit.unitFlags & kUnitStepped) != 0;
  unit.unitFlags |= kUnitStepped;
  const bool stock = UnitTableCategory(unit) == kUnitCategoryStock;
  uint8_t& timer = unit.countdowns[stock ? kStockTimer : kReserveTimer];
  timer = timer < minutes ? 0 : static_cast<uint8_t>(timer - minutes);
  if (unit.orders[kOrderMask] & kMaskDisbandAny) {
    UnitDisbandToStock(world, unit, unit.orders[kOrderMask] & kMaskDisbandSell);
    return;
  }
  if (stock) {
    RunStockLoadOrder(world, unit);
  } else if (const UnitClassRecord* cls = UnitClassOf(world, unit)) {
    ResupplyReserveUnit(world, unit, *cls);
    if (unit.unitFlags & kUnitFullySupplied) {
      if (unit.orders[kOrderFlags] & kOrderAutoDeploy) {
        unit.orders[kStateFlags] |= kStateDeployRefused;
        unit.ordersShown[kStateFlags] |= kStateDeployRefused;
      }
      if (unit.orders[kStateFlags] & kStateDeployRefused) {
        ScheduleUnit(world, unit, 1);
      } else if (!(unit.orders[kPostureBits] & kPostureNoAutoDeploy) && ReserveDeploymentDrawn(world, unit)) {
        unit.orders[kStateFlags] |= kStateDeployRefused;
        unit.ordersShown[kStateFlags] |= kStateDeployRefused;
      }
    }
  }
  if (timer == 0) timer = stock ? kStockPause : kReservePause;
  const bool idle = wasIdle && (unit.unitFlags & kUnitStepped) && unit.orders[kOrderFlags] == 0;
  const int interval = idle ? kIdlePause : timer;
  if (unit.tableEntry) {
    unit.tableEntry->countdown = static_cast<uint8_t>(interval - 1);
    unit.tableEntry->minutesSince = 0;
  }
}
