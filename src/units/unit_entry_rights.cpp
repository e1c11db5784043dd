// Before a unit moves: which players' hexes it may enter, how far its fuel
// and supplies carry it, and what a path search made for it may spend.
#include <algorithm>
#include <cmath>

#include "app/game_math.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "units/hex_geometry.h"
#include "units/paths/move_cost.h"
#include "world/movement_rates.h"
#include "units/paths/path_search.h"
#include "units/step/unit_step_phases.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"
#include "world/movement_types.h"

namespace {

constexpr int kTechFactorLandConsumption = 13;

constexpr uint32_t kSearchNotCarrierBorne = 0x4;

// The search limit by kind (row) and the orders' search setting (column).
constexpr int kSearchLimits[4][4] = {{2, 3, 8, 2}, {2, 3, 8, 2}, {2, 5, 8, 2}, {2, 5, 8, 2}};
constexpr int kStockSearchLimit = 16;

float HexSize(const World& world) {
  const auto size = static_cast<int32_t>(world.mapHeader.hexScale);
  return static_cast<float>(size > 0 ? size : 1);
}

// Hexes from the unit to a target position, as the air reach check counts them.
int32_t AirDistance(const World& world, const UnitRecord& unit, uint32_t target) {
  const int32_t tx = HexX(target), ty = HexY(target);
  float dx = static_cast<float>(std::abs(tx - unit.x));
  if (MapShape(world).wraps && dx > static_cast<float>(world.mapWidth) / 2.0f)
    dx = static_cast<float>(world.mapWidth) - dx;
  float dy = static_cast<float>(std::abs(ty - unit.y));
  if (((unit.x + tx) & 1) != 0) {
    dy = std::fabs(dy - 0.5f);
    if (((unit.x & 1) == 0 && unit.y < ty) || ((unit.x & 1) != 0 && ty < unit.y)) dy += 1.0f;
  }
  return CheckedTrunc(dx + std::max(0.0f, dy - dx / 2.0f));
}

}  // namespace

void StepReach(World& world, UnitRecord& unit, const UnitClassRecord& cls) {
  const bool stockUnit = (unit.unitFlags & kUnitStock) != 0;
  if (unit.strength == 0.0f && !stockUnit) {
    unit.rangeLeft = 0;
    return;
  }
  const float s = unit.speedFactor > 0.0f ? unit.speedFactor : 1.0f;
  const int32_t unlimited = std::max(world.mapWidth, world.mapHeight);
  if (cls.fuelUse == 0.0f) {
    unit.rangeLeft = unlimited;
    return;
  }
  const float supply = stockUnit ? cls.fuelCapacity : unit.supply * 8.0f + unit.fuel;
  const float n = stockUnit ? 1.0f : unit.strength;
  float rate = cls.fuelUse;
  const bool stockClass = (cls.flags & kClassStock) != 0;
  if (!stockClass && cls.kind == kUnitKindLand) rate = rate * world.techEffects[unit.owner & 31][kTechFactorLandConsumption];
  if (stockClass && !(world.scenario.head.gameFlags & kGameFlagNoStockRangeEasing) && cls.stockRange < 1000.0f) {
    const float k = world.gameState.weaponRangeBoost;
    rate = rate / (k - cls.stockRange / 1000.0f * (k - 1.0f));
  }
  // A hex size or a technology factor that makes no divisor leaves the
  // reach as it was, rather than spreading infinity through the unit.
  const float hexSize = static_cast<float>(static_cast<int32_t>(world.mapHeader.hexScale));
  const float per = n * rate;
  if (!(hexSize > 0.0f) || !(per > 0.0f)) return;
  const float value = static_cast<float>(cls.speed) / hexSize * (supply / per) / s + 0.9f;
  const int32_t reach = CheckedTrunc(value);
  if (reach != INT32_MIN) unit.rangeLeft = reach;
}

void SetCruiseSpeed(World& world, UnitRecord& unit, const UnitClassRecord& cls, float factor) {
  const float v = static_cast<float>(cls.speed) * 12.0f;
  const float w = v <= 12000.0f ? 1.0f : std::sqrt(12000.0f / v);
  const float base = v / HexSize(world) / 1440.0f * 22.0f;
  const float q = world.mapHeader.scale;
  float rate;
  if (cls.movementType == kCarrierAircraft)
    rate = base / 4.0f * q * w;
  else if (cls.kind == kUnitKindAir)
    rate = base / 2.0f * q * w;
  else
    rate = q * base;
  unit.moveRate = rate * factor;
  unit.rateRatio = SafeDivide(unit.moveRate, base);
  unit.speedFactor = (unit.unitFlags & kUnitSpeedBonus) && !(cls.flags & kClassStock) ? 1.5f : 1.0f;
}

void SetSpeedFromSetting(World& world, UnitRecord& unit, const UnitClassRecord& cls, int movementType) {
  if (cls.speed == 0) {
    unit.moveRate = 0.0f;
    unit.speedFactor = 0.0f;
    return;
  }
  const int setting = static_cast<int>(unit.orders[kOrdersWord] & 3u);
  const auto percent = static_cast<uint8_t>((setting + 1) * 50);
  SetOrderSpeedPercent(unit.orders, percent);
  float f = static_cast<float>(percent) / 100.0f;
  if ((unit.unitFlags & kUnitSpeedBonus) && f > 0.5f) f = 0.5f;
  const float v = static_cast<float>(cls.speed) * 12.0f;
  const float w = v <= 12000.0f ? 1.0f : std::sqrt(12000.0f / v);
  const float base = v / HexSize(world) / 1440.0f * 22.0f;
  const float q = world.mapHeader.scale;
  float rate = q * base;
  if (movementType == kCarrierAircraft)
    rate = q * base / 4.0f * w;
  else if (cls.kind == kUnitKindAir)
    rate = q * base / 2.0f * w;
  unit.moveRate = rate * f;
  unit.rateRatio = SafeDivide(unit.moveRate, base);
  float factor = f > 1.0f ? f : 1.0f;
  if ((unit.unitFlags & kUnitSpeedBonus) && !(cls.flags & kClassStock)) factor = factor * 1.5f;
  unit.speedFactor = factor;
  StepReach(world, unit, cls);
}

void PrepareUnitSearch(World& world, const UnitRecord& unit, const UnitStepState& s) {
  PathSearchBlock& block = WorldPathSearch(world);
  block.useAltCost = (s.cls->flags & kClassAmphibious) != 0;
  block.mover = unit.owner;
  if (s.movementType != kCarrierAircraft)
    block.flags |= kSearchNotCarrierBorne;
  else
    block.flags &= ~kSearchNotCarrierBorne;
  block.distance = 0;
  block.moveMode = s.movementType;
  block.ownerMask = s.entryMask;
  block.heuristicWeight = s.searchLimit;
}

uint32_t UnitEntryMask(const World& world, const UnitRecord& unit, const UnitClassRecord& cls, int movementType) {
  const PlayerRecord& owner = world.players[unit.owner & 31];
  const uint32_t roe = owner.simPolicy.roeFlags;
  const bool stockClass = (cls.flags & kClassStock) != 0;
  if (movementType >= 6 && ((roe & kRoeEnterAnywhere) || stockClass)) return 0xFFFFFFFFu;
  const uint32_t granted = PlayerAccessMask(owner, unit.moveKind);
  const uint32_t war = owner.simPolicy.hostileMask;
  const uint32_t a = (roe & kRoeGranted) ? granted : 0;
  const uint32_t b = (roe & kRoeAtWar) ? war : 0;
  const uint32_t c = (roe & kRoeOthers) ? ~(granted | war) : 0;
  const uint32_t mask = (1u << (owner.number & 31)) | a | b | c;
  bool unowned;
  if (movementType == kSeaMode)
    unowned = !(roe & kRoeNoUnownedSea);
  else
    unowned = (roe & kRoeUnowned) != 0;
  return unowned ? (mask | 1u) : (mask & ~1u);
}

void StepEntryRights(World& world, UnitRecord& unit, UnitStepState& s) {
  const UnitClassRecord& cls = *s.cls;
  const bool stockClass = (cls.flags & kClassStock) != 0;
  unit.unitFlags &= ~kUnitMoved;

  // The entry mask; the hex the unit stands on is open to it.
  uint32_t mask = UnitEntryMask(world, unit, cls, s.movementType);
  mask |= 1u << CellOwner(s.cell->word);
  s.entryMask = mask;

  StepReach(world, unit, cls);
  s.ownGround = OnOwnGround(world, unit, *s.cell);

  // The path search's limit.
  if (stockClass) {
    s.searchLimit = kStockSearchLimit;
  } else {
    const int row = std::min<int>(unit.kind, 3);
    s.searchLimit = kSearchLimits[row][(unit.orders[kOrdersWord] >> 2) & 3u];
  }
  if (s.movementType == kCarrierAircraft || (unit.orders[kOrderFlags] & kOrderTakeGround)) s.searchLimit *= 2;

  // An aircraft whose target lies beyond its reach falls back to cruise.
  if (unit.moveKind == kUnitKindAir && unit.orders[kMoveTarget] != 0 &&
      unit.rangeLeft < AirDistance(world, unit, unit.orders[kMoveTarget]) + 10) {
    if (s.movementType == kCarrierAircraft) s.searchLimit = kStockSearchLimit;
    if (OrderSpeedPercent(unit.orders) > 100) {
      if (cls.speed == 0) {
        unit.moveRate = 0.0f;
        unit.speedFactor = 0.0f;
      } else {
        SetOrderSpeedPercent(unit.orders, 100);
        const float f = s.movementType == kCarrierAircraft && (unit.unitFlags & kUnitSpeedBonus) ? 0.5f : 1.0f;
        SetCruiseSpeed(world, unit, cls, f);
        StepReach(world, unit, cls);
      }
    }
  }

  if ((unit.orders[kOrderFlags] & kOrderNarrowSearch) && s.searchLimit > 3) s.searchLimit /= 2;
  PrepareUnitSearch(world, unit, s);
}
