// Phase 15's upkeep of a unit: its movement rates after air combat, its
// return when low on ammunition, recovery, resupply from the hex's supply
// level, the supply state bits and the hand-out of the supply it carries.
#include <algorithm>

#include "records/hex_cell.h"
#include "records/le_bytes.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "sim/command_counts.h"
#include "units/class_fields.h"
#include "world/movement_rates.h"
#include "units/supply_distribution.h"
#include "units/paths/unit_base_choice.h"
#include "units/unit_player_fields.h"
#include "units/step/unit_step_phases.h"
#include "world/id_lookups.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"
#include "world/movement_types.h"

namespace {

namespace uf = unitfields;

constexpr int kCountdownRecovery = 53;
constexpr int kCountdownSupply = 54;
constexpr float kMinutesPerHour = 240.0f;  // the supply rates are per 240 minutes
constexpr float kNeedsNothing = 0.01f;
constexpr float kSupplyDropBelow = 0.1f;
// A product record's accounts (stock, given this day, asked this day).
constexpr size_t kGiven = 88;
constexpr size_t kAsked = 92;

float FullStrength(const UnitClassRecord& c, const UnitRecord& unit) {
  return static_cast<float>(c.strengthPerSize) * unit.targetStrength;
}

float Account(const PlayerRecord& p, int product, size_t field) { return uf::ProductReal(p, product, field); }
void AddTo(PlayerRecord& p, int product, size_t field, float v) {
  uf::SetProductReal(p, product, field, Account(p, product, field) + v);
}

// Books one delivery of a product: the owner asks for the whole amount; its
// stock pays all of it, or else (with a fallback) the stock of the hex's
// owner pays all of it, or else nothing is delivered. Returns what was paid.
float Book(World& world, PlayerRecord& owner, int product, float amount, int hexOwner) {
  AddTo(owner, product, kAsked, amount);
  PlayerRecord* payer = nullptr;
  if (Account(owner, product, kProductStockAt) >= amount) {
    payer = &owner;
  } else if (hexOwner > 0 && hexOwner < kMaxPlayers) {
    PlayerRecord& other = world.players[hexOwner];
    if (Account(other, product, kProductStockAt) >= amount) payer = &other;
  }
  if (!payer) return 0.0f;
  AddTo(*payer, product, kProductStockAt, -amount);
  AddTo(owner, product, kGiven, amount);
  return amount;
}

// A unit that was slowed by air combat and no longer is (or the reverse)
// moves at other rates.
void RefreshRates(World& world, UnitRecord& unit, const UnitStepState& s) {
  if (((unit.unitFlags & kUnitSpeedBonus) != 0) == s.wasSlowed) return;
  if (OrderSpeedPercent(unit.orders) == 0) SetOrderSpeedPercent(unit.orders, 100);
  RecomputeMovementRates(world, unit);
}

// A unit short of ammunition heads for a base or asks to break off its
// attack.
void LowAmmunition(World& world, UnitRecord& unit, const UnitClassRecord& cls) {
  if (!(unit.ammo < cls.ammoPerShot * unit.strength) ||
      !(unit.ammo < FullAmmoLoad(world, cls, unit) / 2.0f))
    return;
  OrderBlock& o = unit.orders;
  const bool inBase = (unit.unitFlags & kUnitInBase) != 0;
  if (unit.moveKind == kMoveKindAir) {
    if (!inBase)
      UnitChooseBase(world, unit, false);
    else if (o[kOrderFlags] & kOrderHexAnything)
      o[kStateFlags] |= kStateHexAttackEngaged;
  } else if (unit.moveKind == kMoveKindSea && !(o[kOrderFlags] & kOrderMissionByte) && !inBase) {
    UnitChooseBase(world, unit, false);
  } else if (o[kOrderFlags] & kOrderHexAnything) {
    o[kStateFlags] |= kStateHexAttackEngaged;
  }
  if ((o[kOrderFlags] & kOrderEngaged) || o[kFireUnit] != 0) unit.unitFlags &= ~kUnitStepped;
}

// Aircraft are resupplied on the ground only.
bool ResuppliedHere(const UnitRecord& unit, const UnitStepState& s) {
  if (unit.moveKind != kMoveKindAir) return true;
  return unit.kind == kUnitKindAir && !(unit.orders[kOrderFlags] & kOrderEngaged) && !(unit.unitFlags & kUnitMoved) &&
         (s.movementType != kCarrierAircraft || (unit.unitFlags & kUnitInBase));
}

struct Needs {
  float fuel, ammo, supply, strength;
  bool Any() const { return fuel > kNeedsNothing || ammo > kNeedsNothing || supply > kNeedsNothing || strength > kNeedsNothing; }
};

Needs NeedsOf(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  Needs n;
  n.fuel = FullFuelLoad(cls, unit) - unit.fuel;
  n.ammo = FullAmmoLoad(world, cls, unit) - unit.ammo;
  n.supply = 0.0f;
  if (IsUnitLive(unit) && !InReserve(unit) && unit.carrier == 0)
    n.supply = cls.carryCapacity * unit.strength - unit.supply - CargoWeight(world, unit);
  n.strength = FullStrength(cls, unit) - unit.strength;
  return n;
}

}  // namespace

void StepResupply(World& world, UnitRecord& unit, const UnitStepState& s) {
  const UnitClassRecord& cls = *s.cls;
  if ((unit.unitFlags & kUnitFullySupplied) || s.level <= 0 || !ResuppliedHere(unit, s)) return;
  if (!(unit.unitFlags & kUnitSeekingBase) && !(s.cell && OnOwnGround(world, unit, *s.cell))) return;
  PlayerRecord& owner = world.players[unit.owner & 31];
  const int hexOwner = s.cell ? CellOwner(s.cell->word) : 0;
  Needs need = NeedsOf(world, unit, cls);
  const bool full = !need.Any();
  if (!full) {
    const bool facility = (unit.unitFlags & kUnitFacility) != 0;
    float rate = static_cast<float>(s.level) * unit.efficiency;
    bool baseOfItsKind = false;
    if (facility) {
      rate *= 4.0f;
    } else if (s.cell && HexBaseKind(world, *s.cell, false) == unit.moveKind) {
      baseOfItsKind = true;
      rate *= 4.0f;
    } else if ((unit.orders[kOrderFlags] & kOrderHasteBits) && !(unit.unitFlags & kUnitMoved)) {
      rate *= 2.0f;
    }
    if (rate > 0.0f) {
      // Strength first: the fuel and ammunition a rebuilt unit needs follow
      // its new strength. Only the owner's own stock pays for rebuilding.
      const float weight = cls.weight;
      if (!facility && need.strength > 0.0f && weight > 0.0f && (unit.kind == kUnitKindLand || baseOfItsKind) &&
          !(unit.unitFlags & kUnitMoved) && !(unit.orders[kOrderFlags] & kOrderEngaged)) {
        float k = unit.moveKind == kMoveKindAir ? 0.25f : 1.0f;
        if (!IsUnitLive(unit) || InReserve(unit) || unit.carrier != 0) k *= 2.0f;
        float points = need.strength;
        if (cls.buildWorkPerPoint > 0.0f) points = std::min(points, k / cls.buildWorkPerPoint / kMinutesPerHour);
        const float amount = std::min(points * weight, rate / kMinutesPerHour);
        const float paid = Book(world, owner, uf::kSupplyProduct, amount, 0);
        unit.strength += paid / weight;
        need = NeedsOf(world, unit, cls);
      }
      if (need.fuel > 0.0f) {
        const float t = cls.fuelCapacity <= 4.0f ? 1.0f : cls.fuelCapacity / 4.0f;
        const float amount = std::min(need.fuel, rate * 4.0f / kMinutesPerHour * t);
        unit.fuel += Book(world, owner, uf::kFuelProduct, amount, hexOwner);
      }
      if (need.ammo > 0.0f) {
        const float amount = std::min(need.ammo, rate / kMinutesPerHour);
        unit.ammo += Book(world, owner, uf::kSupplyProduct, amount, hexOwner);
      }
      if (need.supply > 0.0f) {
        const float amount = std::min(need.supply, rate * 8.0f / kMinutesPerHour);
        unit.supply += Book(world, owner, uf::kSupplyProduct, amount, hexOwner);
      }
    }
  }
  if (full) {
    unit.unitFlags |= kUnitFullySupplied;
  } else {
    unit.unitFlags &= ~(kUnitFullySupplied | kUnitStepped);
  }
}

void StepSupplyStateBits(World& world, UnitRecord& unit, const UnitStepState& s) {
  const UnitClassRecord& cls = *s.cls;
  const float fullFuel = FullFuelLoad(cls, unit);
  float refuelled = 0.99f * fullFuel;
  if (s.movementType == kShipOrAircraft)
    refuelled *= 0.5f;
  else if (s.movementType != kCarrierAircraft)
    refuelled *= 0.25f;
  uint32_t& state = unit.orders[kStateFlags];
  if (unit.fuel >= refuelled) state &= ~kStateOutOfFuel;
  if (unit.fuel >= 0.95f * fullFuel && unit.ammo >= 0.95f * FullAmmoLoad(world, cls, unit)) state &= ~kStateCanRefuel;
}

void StepDistributeSupply(World& world, UnitRecord& unit) {
  if (unit.supply > 0.0f && HandOutSupply(world, unit) > 0) {
    if (unit.supply < kSupplyDropBelow) unit.supply = 0.0f;
    unit.unitFlags &= ~(kUnitFullySupplied | kUnitStepped);
  }
  // A unit told to part from its leader does so now; the mark stays only
  // while the leader is still a live unit on the map.
  if (!(unit.unitFlags & kUnitBit21)) return;
  const uint32_t leaderId = unit.orders[kLeaderUnit];
  const UnitRecord* leader = leaderId != 0 ? FindUnitById(world, leaderId) : nullptr;
  if (leaderId != 0) {
    unit.orders[kLeaderUnit] = 0;
    CountUnitOrder(world, unit, 1);
  }
  if (!leader || !IsUnitLive(*leader) || InReserve(*leader) || leader->carrier != 0) unit.unitFlags &= ~kUnitBit21;
}

void StepRatesAndResupply(World& world, UnitRecord& unit, UnitStepState& s) {
  if (unit.unitFlags & kUnitStock) return;
  const UnitClassRecord& cls = *s.cls;
  RefreshRates(world, unit, s);
  LowAmmunition(world, unit, cls);
  if (StepCountdown(unit, kCountdownRecovery) == 0) StepRecovery(unit, s);
  if (StepCountdown(unit, kCountdownSupply) != 0) return;
  StepResupply(world, unit, s);
  StepSupplyStateBits(world, unit, s);
  StepDistributeSupply(world, unit);
}
