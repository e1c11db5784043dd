#include "units/combat/unit_attack.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/game_math.h"
#include "records/unit_record.h"
#include "sim/sim_ui_link.h"
#include "units/class_fields.h"
#include "units/combat/fire_sight.h"
#include "units/hex_capture.h"
#include "units/hex_geometry.h"
#include "world/movement_rates.h"
#include "units/order_cancel.h"
#include "world/unit_class.h"
#include "units/combat/unit_fire.h"
#include "world/id_lookups.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"
#include "world/movement_types.h"

namespace {

namespace cf = classfields;

constexpr float kShortRange = 400.0f;
constexpr int kTechFactorA = 122;
constexpr int kTechFactorB = 126;
constexpr int kRelationAtWar = 8;
constexpr int kFacingFrames[6] = {21, 0, 3, 15, 12, 9};
constexpr int kReloadMin = 2;
constexpr int kReloadMax = 250;

uint32_t Position(const UnitRecord& u) { return MakeHexPos(u.x, u.y); }

int32_t HexSize(const World& world) { return static_cast<int32_t>(world.mapHeader.hexScale); }


float TechFactor(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  const int entry = (cls.flags & kClassTechFactor122) ? kTechFactorA : kTechFactorB;
  return world.techEffects[unit.owner & 31][entry];
}

int TargetKind(const World& world, const UnitRecord& target) {
  if (CountsAsLandTarget(world, target)) return 0;
  return target.kind <= 3 ? target.kind : 0;
}

bool VisibleToAttacker(const World& world, const UnitRecord& a, const UnitRecord& t) {
  const uint32_t rules = world.scenario.head.gameFlags;
  if ((a.unitFlags & kUnitStock) || !(rules & kGameFlagFog)) return true;
  if (!(rules & kGameFlagUnitSight)) return SideSpotsHex(world, Position(t), a.owner);
  return UnitVisibleToSide(world, t, a.owner);
}

int Fail(World& world, UnitRecord& a) {
  CancelUnitTarget(world, a, 1);
  return 0;
}

// Aircraft that engage aircraft slow to combat speed, and their range is
// counted again on their fuel.
void EngageInAir(World& world, UnitRecord& a, const UnitClassRecord& cls) {
  a.unitFlags |= kUnitSpeedBonus;
  const int16_t speed = cls.speed;
  if (speed == 0) {
    a.moveRate = 0.0f;
    a.speedFactor = 0.0f;
    return;
  }
  SetOrderSpeedPercent(a.orders, 50);
  const int32_t hexSize = HexSize(world);
  // A map without a distance per hex leaves the rates and range as they were.
  if (hexSize <= 0) return;
  const float v = static_cast<float>(speed) * 12.0f;
  const float f = v <= 12000.0f ? 1.0f : std::sqrt(12000.0f / v);
  const float t = v / static_cast<float>(hexSize) / 1440.0f * 22.0f;
  float s = t;
  if (cls.movementType == kCarrierAircraft)
    s = t / 4.0f * f;
  else if (cls.kind == kUnitKindAir)
    s = t / 2.0f * f;
  s = s * world.mapHeader.scale;
  a.speedFactor = (cls.flags & kClassStock) ? 1.0f : 1.5f;
  a.moveRate = s * 0.5f;
  a.rateRatio = SafeDivide(a.moveRate, t);
  const bool stock = (a.unitFlags & kUnitStock) != 0;
  a.rangeLeft = (a.strength == 0.0f && !stock) ? 0 : UnitRangeLeft(world, a);
}

}  // namespace

float ShortRangeBoost(const World& world, float range) {
  if ((world.scenario.head.gameFlags & kGameFlagNoWeaponRangeBoost) || !(range < kShortRange)) return range;
  const float g = world.gameState.weaponRangeBoost;
  return (g - (g - 1.0f) * range / kShortRange) * range + world.gameState.rangeBoostAddend;
}

float UnitBoostedRange(const World& world, const UnitRecord& a, int targetKind) {
  const UnitClassRecord* cls = UnitClassOf(world, a);
  if (!cls) return 0.0f;
  const int k = targetKind >= 0 && targetKind <= 3 ? targetKind : 0;
  float range = cls->weaponRanges[k];
  if (range == 0.0f) return 0.0f;
  range = ShortRangeBoost(world, range);
  if ((a.owner & 31) != 0 && (cls->flags & kClassLongRange) && (k == 0 || k == 2))
    range = range * TechFactor(world, a, *cls);
  return range;
}

float RangeHitChance(const World& world, float range, int32_t distance) {
  if (!(range > 0.0f)) return 0.0f;
  const int32_t hexSize = HexSize(world);
  const int64_t steps = distance > 1 ? distance - 1 : 0;
  const int64_t need = (hexSize > 0 ? static_cast<int64_t>(hexSize) * steps : 0) + 1;
  const int32_t whole = CheckedTrunc(range);
  const int64_t r = (whole == INT32_MIN ? static_cast<int64_t>(INT32_MAX) : static_cast<int64_t>(whole)) + 1;
  if (r < need) return 0.0f;
  return static_cast<float>(r - need + 1) / static_cast<float>(r);
}

float UnitHitChance(const World& world, const UnitRecord& a, const UnitRecord& t) {
  const float range = UnitBoostedRange(world, a, TargetKind(world, t));
  return RangeHitChance(world, range, HexDistance(MapShape(world), Position(a), Position(t)));
}

int UnitAttackTarget(World& world, UnitRecord& a, UnitRecord& t, int mode) {
  if (!IsUnitLive(t) || InReserve(t) || t.carrier != 0 || (t.unitFlags & kUnitProvisional)) return Fail(world, a);
  if ((a.owner & 31) == (t.owner & 31) || RelationCode(world, a.owner & 31, t.owner & 31) != kRelationAtWar)
    return Fail(world, a);
  const float chance = UnitHitChance(world, a, t);
  if (!(chance > 0.0f) || !VisibleToAttacker(world, a, t)) return Fail(world, a);

  a.fireTarget = t.id;
  if (mode == kFireBombard) {
    UnitFireAtHex(world, a, Position(t), chance);
    UnitFireAtUnit(world, a, t, kFireBombard, chance);
  } else if (UnitFireAtUnit(world, a, t, mode, chance) == 0) {
    return Fail(world, a);
  }
  if (a.unitFlags & kUnitStock) return 1;
  UnitAfterFire(world, a, mode);

  const UnitClassRecord* cls = UnitClassOf(world, a);
  const UnitClassRecord* tcls = UnitClassOf(world, t);
  if (!cls || !tcls) return 1;
  const bool attackerFighter = (cls->targetType == 4 || cls->targetType == 5) && !(cls->flags & kClassLongRange);
  const bool targetAircraft = (tcls->targetType == 4 || tcls->targetType == 5) && !(t.unitFlags & kUnitSpeedBonus) &&
                              !CountsAsLandTarget(world, t);
  if (attackerFighter && targetAircraft) EngageInAir(world, a, *cls);
  return 1;
}

void UnitAfterFire(World& world, UnitRecord& a, int mode) {
  a.orders[kOrderFlags] |= kOrderEngaged;
  a.unitFlags &= ~kUnitInBase;
  const UnitClassRecord* cls = UnitClassOf(world, a);
  const UnitRecord* target = a.fireTarget ? FindUnitById(world, a.fireTarget) : nullptr;
  uint32_t aim = target ? Position(*target) : a.fireTargetPos;
  const HexMapShape map = MapShape(world);
  if (aim != kNoHexPosition) {
    const int32_t e = a.y + (a.x & 1) - HexY(aim);
    int32_t dx = a.x - HexX(aim);
    if (map.wraps && map.width > 0) {
      if (dx > map.width / 2) dx -= map.width;
      if (dx < -(map.width / 2)) dx += map.width;
    }
    int direction = e < 1 ? 4 : 1;
    if (std::abs(e / 2) < std::abs(dx)) {
      if (dx < 1)
        direction = e < 1 ? 5 : 2;
      else
        direction = e < 1 ? 3 : 0;
    }
    const auto frame = static_cast<uint8_t>(kFacingFrames[direction]);
    a.wantedAngle2 = frame;
    if (cls && cls->turretMarker == 0) a.wantedHeading = frame;

    const uint32_t rules = world.scenario.head.gameFlags;
    const bool shown = (a.owner & 31) == (world.gameState.localPlayer & 31) || !(rules & kGameFlagFog) ||
                       SideSpotsHex(world, aim, world.gameState.localPlayer);
    if (shown && cls) {
      int which = mode == kFireBombard ? 1 : 0;
      if (target && target->kind == kUnitKindAir) which = 2;
      const int32_t px = target ? CheckedTrunc(target->pixelX) : 0;
      const int32_t py = target ? CheckedTrunc(target->pixelY) : 0;
      NotifyUnitFired(aim, px, py, cls->fireSounds[which]);
    }
  }
  if (!cls) return;

  float f = 1.0f;
  const int32_t distance = aim != kNoHexPosition ? HexDistance(map, Position(a), aim) : 0;
  if (mode == kFireClose && a.kind == kUnitKindSea && target) {
    const UnitClassRecord* tcls = UnitClassOf(world, *target);
    const int tt = tcls ? tcls->targetType : 0;
    const bool underwaterOrAir = tt == 3 || ((tt == 4 || tt == 5) && (target->unitFlags & kUnitSpeedBonus));
    if (underwaterOrAir && !CountsAsLandTarget(world, *target) && distance < 3) f = 0.25f;
  }
  const int32_t hexSize = HexSize(world);
  if (mode == kFireBombard && hexSize > 0) {
    const float r0 = ShortRangeBoost(world, cls->weaponRanges[0]);
    const int32_t reach = CheckedTrunc(r0 / static_cast<float>(hexSize));
    if (reach != INT32_MIN && distance > reach + 1) {
      const float tech = TechFactor(world, a, *cls);
      f = tech * tech;
    }
  }

  a.ammo = std::max(0.0f, a.ammo - cls->ammoPerShot * a.strength * f);
  a.experience += 0.001f;
  a.unitFlags &= ~kUnitFullySupplied;
  if (a.training < 1.0f) a.training += 0.01f;
  a.morale = a.morale * 1.005f;

  if (mode == kFireNoReload && a.kind == kUnitKindAir) return;
  a.reloadTime = UnitReloadTime(a, cls->reloadFactor, mode == kFireBombard ? f * 2.0f : f);
}

uint8_t UnitReloadTime(const UnitRecord& unit, int reloadFactor, float scale) {
  const float b = static_cast<float>(std::min(reloadFactor, 10));
  const float calm = 35.0f / std::sqrt(unit.efficiency + 0.1f) / std::sqrt(unit.morale + 0.1f) /
                     std::sqrt(std::sqrt(unit.experience + 1.0f));
  const float t = (calm - unit.training * 10.0f) / (b / 10.0f + 1.0f) * scale;
  const int32_t whole = CheckedTrunc(t);
  // A NaN or huge time (rating of 0 or below -0.1) waits the longest.
  return static_cast<uint8_t>(whole == INT32_MIN ? kReloadMax : std::clamp(whole, kReloadMin, kReloadMax));
}
