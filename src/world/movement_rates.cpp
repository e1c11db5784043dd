#include "world/movement_rates.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "app/game_math.h"
#include "world/unit_class.h"
#include "records/unit_record.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"
#include "world/movement_types.h"

namespace {

static_assert(offsetof(UnitClassImage, fuelUse) == 80);

constexpr int kTechFactorLandConsumption = 13;

// The weapon-range boost factor also eases the consumption of stock classes
// with a short range.
float WeaponRangeBoost(const GameState& state) { return state.weaponRangeBoost; }

// The map's distance per hex; a map that claims none is taken as one unit
// per hex rather than dividing by zero.
float HexSize(const World& world) {
  const auto size = static_cast<int32_t>(world.mapHeader.hexScale);
  return static_cast<float>(size > 0 ? size : 1);
}

int32_t RangeLeft(const World& world, const UnitRecord& unit, const UnitClassRecord& cls, float speed,
                  float hexSize) {
  const bool stockUnit = (unit.unitFlags & kUnitStock) != 0;
  if (unit.strength == 0.0f && !stockUnit) return 0;
  const float m = unit.speedFactor > 0.0f ? unit.speedFactor : 1.0f;
  const int32_t unlimited = std::max(world.mapWidth, world.mapHeight);
  const float consumption = cls.fuelUse;
  if (consumption == 0.0f) return unlimited;
  float load = unit.supply * 8.0f + unit.fuel;
  float d = unit.strength;
  if (stockUnit) {
    load = cls.fuelCapacity;
    d = 1.0f;
  }
  const bool stockClass = (cls.flags & kClassStock) != 0;
  float r = consumption;
  if (!stockClass && cls.kind == kUnitKindLand) r = r * world.techEffects[unit.owner & 31][kTechFactorLandConsumption];
  if (stockClass && !(world.scenario.head.gameFlags & kGameFlagNoStockRangeEasing) && cls.stockRange < 1000.0f) {
    const float g = WeaponRangeBoost(world.gameState);
    r = r / (g - (g - 1.0f) * cls.stockRange / 1000.0f);
  }
  // A consumption that a technology factor or the easing brought to nothing
  // costs nothing, like a class without consumption.
  const float perHex = d * r;
  if (perHex == 0.0f) return unlimited;
  const float value = speed / hexSize * (load / perHex) / m + 0.9f;
  const int32_t range = CheckedTrunc(value);
  // Beyond any count of hexes is as good as unlimited; no number is nothing.
  if (range == INT32_MIN) return value > 0.0f ? unlimited : 0;
  return range;
}

}  // namespace

int32_t UnitRangeLeft(const World& world, const UnitRecord& unit) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls) return unit.rangeLeft;
  return RangeLeft(world, unit, *cls, static_cast<float>(cls->speed), HexSize(world));
}

uint8_t OrderedSpeedPercent(const OrderBlock& orders) {
  return static_cast<uint8_t>(((orders[kOrdersWord] & 3u) + 1u) * 50u);
}

void RecomputeMovementRates(World& world, UnitRecord& unit, SpeedSource source) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls) return;
  const int16_t speed = cls->speed;
  if (speed == 0) {
    unit.moveRate = 0.0f;
    unit.speedFactor = 0.0f;
    return;
  }
  switch (source) {
    case SpeedSource::kOrderedSetting: SetOrderSpeedPercent(unit.orders, OrderedSpeedPercent(unit.orders)); break;
    case SpeedSource::kStoredPercent:
      if (OrderSpeedPercent(unit.orders) == 0) SetOrderSpeedPercent(unit.orders, 100);
      break;
  }
  float f = static_cast<float>(OrderSpeedPercent(unit.orders)) / 100.0f;
  const uint8_t movementType = cls->movementType;
  if (movementType == kCarrierAircraft && (unit.unitFlags & kUnitSpeedBonus) && f > 0.5f) f = 0.5f;

  const float v = static_cast<float>(speed) * 12.0f;
  const float k = v <= 12000.0f ? 1.0f : std::sqrt(12000.0f / v);
  const float hexSize = HexSize(world);
  const float h = v / hexSize / 1440.0f * 22.0f;
  float base = h;
  if (movementType == kCarrierAircraft)
    base = h / 4.0f * k;
  else if (cls->kind == kUnitKindAir)
    base = h / 2.0f * k;
  unit.moveRate = base * world.mapHeader.scale * f;
  unit.rateRatio = unit.moveRate / h;

  float factor = f < 1.0f ? 1.0f : f;
  if ((unit.unitFlags & kUnitSpeedBonus) && !(cls->flags & kClassStock)) factor = factor * 1.5f;
  unit.speedFactor = factor;

  unit.rangeLeft = RangeLeft(world, unit, *cls, static_cast<float>(speed), hexSize);
}
