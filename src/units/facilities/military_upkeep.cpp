#include "units/facilities/military_upkeep.h"

#include <algorithm>
#include <cmath>

#include "app/game_math.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "units/hex_stack_commands.h"
#include "units/facilities/military_upkeep_steps.h"
#include "world/unit_class.h"
#include "units/unit_player_fields.h"
#include "world/unit_ring.h"
#include "units/facilities/upkeep_fields.h"
#include "world/id_lookups.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace uf = unitfields;
namespace kf = upkeepfields;

namespace {

// Per form of government: the build rate factor and the first target's
// factor. A form outside the table takes row 0.
constexpr float kGovernmentScaling[5][2] = {
    {1.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 1.0f}, {0.5f, 0.5f}, {0.5f, 1.0f},
};

// Kinds of region without targets of their own.
bool KeepsItsTargets(const PlayerRecord& region) { return region.kind == kKindEmpty || region.kind == kKindOut; }

// A spending share made fit for its square root: above 1 it counts by its
// own root; a negative share (bad data) counts as none.
float ShareRoot(float share) {
  if (!(share > 0.0f)) share = 0.0f;
  if (share > 1.0f) share = std::sqrt(share);
  return std::sqrt(share + 0.01f);
}

float RootOrZero(float v) { return v > 0.0f ? std::sqrt(v) : 0.0f; }

// The figures only this upkeep adds to start each day from nothing: the
// upkeep total, the counts and stock counters, the units in build, the free
// capacities and the day's build and training payments. The value total and
// product 10's day figures are started by the daily hex pass and the day
// snapshot.
void StartDayFigures(PlayerRecord& r) {
  uf::SetReal(r, kf::kUpkeepTotal, 0.0f);
  uf::SetReal(r, kf::kBuildSpent, 0.0f);
  uf::SetReal(r, kf::kBuildShortfall, 0.0f);
  uf::SetReal(r, kf::kTrainingSpent, 0.0f);
  for (size_t i = 0; i < 4; ++i) {
    for (size_t at : {kf::kUnitsCounted, kf::kUnitsOnMap, kf::kUnitsInReserve, kf::kStockOnMap, kf::kStockInReserve,
                      kf::kStockOnMapB, kf::kStockInReserveB})
      kf::AddWord(r, at + 2 * i, -kf::Word(r, at + 2 * i));
    kf::SetByte(r, kf::kFreeCapacityMax + i, 0);
    kf::SetByte(r, kf::kFreeCapacityMin + i, 0);
  }
  for (size_t c = 0; c < 6; ++c) kf::AddWord(r, kf::kUnitsInBuild + 2 * c, -kf::Word(r, kf::kUnitsInBuild + 2 * c));
}

int32_t HighestPlayer(const World& world) {
  return std::clamp<int32_t>(world.gameState.highestPlayer, 0, kMaxPlayers - 1);
}

}  // namespace

float BuildRateFactor(const PlayerRecord& region) {
  return kGovernmentScaling[region.govtype < 5 ? region.govtype : 0][0];
}
float FirstTargetFactor(const PlayerRecord& region) {
  return kGovernmentScaling[region.govtype < 5 ? region.govtype : 0][1];
}

QualityTargets ComputeQualityTargets(const World& world, const PlayerRecord& region) {
  const float a = ShareRoot(region.simPolicy.milspendmaint);
  const float b = ShareRoot(region.simPolicy.milspendsalary);
  const float d = region.kind == kKindHuman ? static_cast<float>(world.scenario.head.difficulty) * 0.3f : 0.6f;
  QualityTargets t;
  t.first = (region.militarySpendIndex / 2.0f * FirstTargetFactor(region) + uf::Real(region, kf::kQualityInput) / 10.0f +
             0.6f + (2.2f - d) + a * 1.6f + b) /
            6.0f;
  t.second = (RootOrZero(region.dayApproval) + b * 1.6f + a * 0.8f + RootOrZero(region.daySecondRating)) / 5.0f;
  return t;
}

float SeaHalf(const UnitClassRecord& cls) { return cls.kind == 2 || cls.kind == 3 ? 0.5f : 1.0f; }

float UnitDailyUpkeep(const PlayerRecord& owner, const UnitRecord& unit, const UnitClassRecord& cls) {
  const float f = static_cast<float>(cls.strengthPerSize);
  const float priceLimit = uf::ProductReal(owner, uf::kSupplyProduct, kProductPriceLimitAt);
  const float q =
      (f * cls.costPerElement + (f * cls.weight * SeaHalf(cls) + 0.9f) * priceLimit + 0.9f) / 2.0f;
  // A class of no size would divide by nothing: its units pay the base part.
  const float share = f != 0.0f ? q * unit.strength / f * std::sqrt(std::max(unit.training, 0.0f) + 1.0f) : 0.0f;
  return q / 10.0f + share;
}

int StockKindOf(uint32_t classFlags) {
  if (classFlags & (kClassSpecialWeaponA | kClassSpecialWeaponB)) return 0;
  if (classFlags & kClassSpecialImmune) return 2;
  return 3;
}

void DriftQuality(const PlayerRecord& owner, UnitRecord& unit) {
  unit.efficiency = (unit.efficiency * 34.0f + uf::Real(owner, kf::kQualityTarget1) * 6.0f) / 40.0f;
  unit.morale = (unit.morale * 25.0f + uf::Real(owner, kf::kQualityTarget2) * 5.0f) / 30.0f;
}

void FoldFreeCapacity(World& world, PlayerRecord& owner, const UnitRecord& unit, const UnitClassRecord& cls) {
  const uint16_t slots = cls.cargoSlots;
  if (slots == 0 || unit.kind >= 4) return;
  int32_t c = slots;
  if (cls.strengthPerSize == 1 && cls.kind != 0) c /= 10;
  float load = 0.0f;
  {
    WorldLockGuard hold(world, kLockUnits);
    uint32_t next = unit.cargoNext;
    // A damaged chain that loops ends after as many links as there are units.
    for (int guard = 0; next != 0 && guard < 65536; ++guard) {
      const UnitRecord* carried = FindUnitById(world, next);
      if (!carried || carried == &unit) break;
      if (const UnitClassRecord* k = UnitClassOf(world, *carried))
        load += static_cast<float>(k->slotSize) * carried->strength;
      next = carried->cargoNext;
    }
  }
  const int32_t free = CheckedTrunc(static_cast<float>(slots) * unit.strength - load);
  // An overloaded carrier has no room rather than a negative one.
  const int32_t v = std::clamp<int32_t>(std::min(c, free), 0, 255);
  const size_t k = unit.kind;
  if (v > kf::Byte(owner, kf::kFreeCapacityMax + k)) kf::SetByte(owner, kf::kFreeCapacityMax + k, static_cast<uint8_t>(v));
  const uint8_t least = kf::Byte(owner, kf::kFreeCapacityMin + k);
  if (v > 0 && (least == 0 || least > v)) kf::SetByte(owner, kf::kFreeCapacityMin + k, static_cast<uint8_t>(v));
}

void ReleaseBuildSlot(World& world, UnitRecord& unit, const UnitClassRecord& cls) {
  if (!(unit.orders[kStateFlags] & kStateHeldSlot)) return;
  unit.orders[kStateFlags] &= ~kStateHeldSlot;
  if (cls.typeByte == uf::kTypeEightClass) {
    uf::DropShort(world.players[unit.owner & 31], uf::kTypeEightCount);
  } else if (HexCell* cell = UnitHexCell(world, unit)) {
    LeadUnitAddValue(world, *cell, -1);
  }
}

namespace {

bool InServiceLaunchFacility(const UnitRecord& unit, const UnitClassRecord& cls) {
  if (!(unit.unitFlags & kUnitFacility) || (unit.unitFlags & kUnitGone) || unit.classIndex == 0) return false;
  if (cls.baseKind != kBaseKindSilo && cls.baseKind != kBaseKindLaunchSite) return false;
  return !(unit.orders[kPostureBits] & (kPostureInReserve | kPostureUnderConstruction)) && unit.strength > 0.0f;
}

}  // namespace

StockCapacity CountStockCapacity(const World& world, int32_t player) {
  StockCapacity c;
  float room = 0.0f, held = 0.0f;
  for (const UnitRecord* u = world.units; u; u = u->next == world.units ? nullptr : u->next) {
    if (u->owner != player) continue;
    const UnitClassRecord* cls = UnitClassOf(world, *u);
    if (!cls) continue;
    if (InServiceLaunchFacility(*u, *cls)) {
      // As the facility's status panel reads it: its room by its strength.
      room += static_cast<float>(CheckedTrunc(static_cast<float>(cls->cargoSlots) * u->strength));
      continue;
    }
    if (cls->typeByte != uf::kTypeEightClass || (u->unitFlags & kUnitGone) || !(u->strength > 0.0f)) continue;
    if (u->orders[kPostureBits] & kPostureUnderConstruction) {
      ++c.onOrder;
    } else {
      held += u->strength;
    }
  }
  c.capacity = std::clamp<int32_t>(CheckedTrunc(room), 0, 65535);
  c.held = std::clamp<int32_t>(CheckedTrunc(held), 0, 65535);
  c.onOrder = std::min<int32_t>(c.onOrder, 65535);
  return c;
}

void SetStockCapacity(PlayerRecord& region, const StockCapacity& c) {
  const int32_t free = std::max(c.capacity - c.held, 0);
  uf::SetReal(region, kf::kSlotLimit, static_cast<float>(free));
  const uint8_t store = kf::Byte(region, kf::kSlotPause);
  kf::SetByte(region, kf::kSlotPause, static_cast<uint8_t>(free == 0 ? store | 1u : store & ~1u));
  kf::SetWord(region, kf::kStockCapacity, static_cast<uint16_t>(c.capacity));
  kf::SetWord(region, kf::kStockUsed, static_cast<uint16_t>(std::min(c.held + c.onOrder, 65535)));
}

void DailyMilitaryUpkeep(World& world) {
  const int32_t highest = HighestPlayer(world);
  for (int32_t p = 1; p <= highest; ++p) {
    PlayerRecord& region = world.players[p];
    if (KeepsItsTargets(region)) continue;
    const QualityTargets t = ComputeQualityTargets(world, region);
    uf::SetReal(region, kf::kQualityTarget1, t.first);
    uf::SetReal(region, kf::kQualityTarget2, t.second);
  }
  for (int32_t p = 1; p <= highest; ++p) {
    PlayerRecord& region = world.players[p];
    StartDayFigures(region);
    SetStockCapacity(region, CountStockCapacity(world, p));
    RunBuildQueue(world, p);
    RunMapUpkeep(world, p);
    RunReserveUpkeep(world, p);
    const float weight =
        2.0f * (region.soldiers / 25.0f + region.dayLeadValue) * region.gdpPerCapita;
    uf::SetReal(region, kf::kMilitaryWeight, weight);
  }
}
