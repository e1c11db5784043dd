// A moving unit's choice of the next hex on its route, the steering of its
// velocity toward the edge it will cross, and the reach of its weapons.
#include <algorithm>
#include <cmath>
#include <memory>

#include "app/game_math.h"
#include "records/le_bytes.h"
#include "records/path_request.h"
#include "records/unit_record.h"
#include "units/combat/unit_attack.h"
#include "units/paths/move_restart.h"
#include "units/hex_geometry.h"
#include "world/movement_rates.h"
#include "units/paths/path_route.h"
#include "units/order_cancel.h"
#include "units/step/unit_hex_cost.h"
#include "units/paths/unit_motion_geometry.h"
#include "units/step/unit_step_phases.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"
#include "world/movement_types.h"

namespace {

constexpr float kHeadingSteps = 0x1.e8ec96p+1f;  // 24 / 2 pi
// Searches around a blocked crossing within one step before it waits.
constexpr int kBlockedSearches = 2;
// Neighbour centres from a hex centre, in pixels, by direction.
constexpr int8_t kNeighbourCentre[6][2] = {{-18, -11}, {0, -22}, {18, -11}, {-18, 11}, {0, 22}, {18, 11}};

int WantedHeading(float dx, float dy) {
  float h = GameAtan2(dx, -dy) * kHeadingSteps + 0.5f;
  if (h < 0.0f) h += 24.0f;
  if (h >= 24.0f) h = 0.0f;
  int heading = CheckedTrunc(h);
  if ((heading >= 2 && heading <= 5) || (heading >= 14 && heading <= 17)) heading -= 1;
  else if ((heading >= 7 && heading <= 10) || (heading >= 19 && heading <= 22)) heading += 1;
  return std::clamp(heading, 0, 23);
}

// A weapon reach value with the game's boost for short ranges.
float BoostedReach(const World& world, float value) {
  return value == 0.0f ? value : ShortRangeBoost(world, value);
}

void ChooseNextStep(World& world, UnitRecord& unit, UnitStepState& s) {
  const HexMapShape map = MapShape(world);
  const uint32_t position = MakeHexPos(unit.x, unit.y);
  unit.nextStep = kNoMove;
  if (!unit.route) {
    uint32_t waypoints[8] = {position, unit.orders[kDestination]};
    unit.route = std::make_unique<PathRequest>();
    InitPathRequest(waypoints, *unit.route, unit.orders[kDestination], 0, false);
  }
  for (int searches = 0;; ++searches) {
    PathRequest& route = unit.route2 ? *unit.route2 : *unit.route;
    uint32_t next = position;
    if (unit.orders[kDestination] == position) {
      unit.nextStep = kNoMove;
      if (!(unit.orders[kOrderFlags] & kOrderKeepsRoute)) route.flags |= kRouteNoPath;
    } else {
      PrepareUnitSearch(world, unit, s);
      unit.nextStep = static_cast<uint8_t>(PathNextDirection(world, route, position, 0));
      next = unit.nextStep < kNoMove ? HexNeighbour(map, position, unit.nextStep) : position;
    }
    unit.x2 = static_cast<int16_t>(HexX(next));
    unit.y2 = static_cast<int16_t>(HexY(next));
    if (unit.nextStep >= kNoMove) break;
    HexCell* from = s.cell;
    HexCell* to = HexCellAt(world, map, next);
    const uint32_t cost = to ? UnitCrossingCost(world, unit, s.entryMask, *from, *to, unit.nextStep) : 0;
    if (cost != 0) {
      unit.costByte = static_cast<uint8_t>(std::min<uint32_t>(cost, 255));
      break;
    }
    if (searches == kBlockedSearches) {
      unit.nextStep = kNoMove;
      unit.x2 = unit.x;
      unit.y2 = unit.y;
      break;
    }
    // The crossing ahead has closed: search around it from here.
    unit.route2.reset();
    unit.route->current = position;
    PrepareUnitSearch(world, unit, s);
    PathSearchRun(world, *unit.route, 0);
    unit.orders[kDestination] = PickFieldByFlag(*unit.route);
    SetSpeedFromSetting(world, unit, *s.cls, s.movementType);
  }
  if (unit.nextStep == kNoMove) {
    unit.orders[kDestination] = position;
    unit.costByte = static_cast<uint8_t>(std::min<uint32_t>(StandingHexCost(world, unit), 255));
  }
}

void SetCarrierBorneSpeed(World& world, UnitRecord& unit, const UnitStepState& s) {
  if (MakeHexPos(unit.x2, unit.y2) == unit.orders[kDestination] && OrderSpeedPercent(unit.orders) > 50) {
    SetOrderSpeedPercent(unit.orders, 50);
    SetCruiseSpeed(world, unit, *s.cls, 0.5f);
    StepReach(world, unit, *s.cls);
  } else if (!(unit.orders[kOrderFlags] & kOrderMoving)) {
    SetSpeedFromSetting(world, unit, *s.cls, s.movementType);
  }
}

void Steer(UnitRecord& unit) {
  unit.orders[kOrderFlags] |= kOrderMoving;
  float aimX = 0.0f, aimY = 0.0f;
  ExitPointOffset(unit.nextStep, aimX, aimY);
  // Standing on the exit point is judged in whole map pixels.
  const float centreX = static_cast<float>(unit.x * 18 + 12);
  const float centreY = static_cast<float>(unit.y * 22 + ((unit.x & 1) ? 11 : 0));
  if (unit.nextStep < kNoMove && CheckedTrunc(centreX + unit.pixelX) == CheckedTrunc(centreX + aimX) &&
      CheckedTrunc(centreY + unit.pixelY) == CheckedTrunc(centreY + aimY)) {
    aimX = kNeighbourCentre[unit.nextStep][0];
    aimY = kNeighbourCentre[unit.nextStep][1];
  }
  const float dx = aimX - unit.pixelX, dy = aimY - unit.pixelY;
  const float dist = std::sqrt(dx * dx + dy * dy);
  if (dist == 0.0f || unit.costByte == 0) {
    unit.velocityX = 0.0f;
    unit.velocityY = 0.0f;
  } else {
    const float cost = static_cast<float>(unit.costByte);
    unit.velocityX = dx / dist * unit.moveRate / cost;
    unit.velocityY = dy / dist * unit.moveRate / cost;
  }
  if (dist != 0.0f) {
    const auto heading = static_cast<uint8_t>(WantedHeading(dx, dy));
    unit.wantedHeading = heading;
    if (!(unit.orders[kOrderFlags] & kOrderEngaged)) unit.wantedAngle2 = heading;
  }
  unit.unitFlags &= ~kUnitInBase;
  unit.unitFlags &= ~kUnitStoppedAtEdge;
}

}  // namespace

int SteeringHeading(float dx, float dy) { return WantedHeading(dx, dy); }

void StepRoute(World& world, UnitRecord& unit, UnitStepState& s) {
  if (unit.moveKind == kMoveKindAir && (unit.unitFlags & kUnitInBase) &&
      (unit.rangeLeft <= 5 || (unit.orders[kStateFlags] & kStateMotionByte) || (unit.unitFlags & kUnitMovesWhileTurning)))
    return;
  const uint32_t position = MakeHexPos(unit.x, unit.y);
  const bool onTheWay = (unit.orders[kOrderFlags] & kOrderMoving) && !(unit.unitFlags & kUnitStoppedAtEdge) &&
                        position != MakeHexPos(unit.x2, unit.y2);
  if (onTheWay) return;
  ChooseNextStep(world, unit, s);
  if (s.movementType == kCarrierAircraft) SetCarrierBorneSpeed(world, unit, s);
  Steer(unit);
}

bool StepWeaponReach(World& world, UnitRecord& unit, UnitStepState& s) {
  const UnitClassRecord& cls = *s.cls;
  if (unit.orders[kOrderFlags] & kOrderEngaged) {
    unit.unitFlags &= ~kUnitInBase;
    if (s.movementType == kCarrierAircraft && !(unit.orders[kOrderFlags] & kOrderMissionByte))
      UnitResetMoveState(world, 0, unit, MakeHexPos(unit.x, unit.y), 0);
  }
  const uint16_t weaponWord = cls.cargoSlots;
  float reach = 0.0f;
  if (unit.countdowns[1] == 0 && (cls.ammoCapacity != 0.0f || weaponWord != 0) && unit.reloadTime == 0) {
    const float values[3] = {cls.weaponRanges[2], cls.weaponRanges[1], cls.weaponRanges[0]};
    for (int i = 0; i < 3; ++i) {
      float v = BoostedReach(world, values[i]);
      if (i != 1 && unit.owner != 0 && (cls.flags & kClassLongRange))
        v = v * world.techEffects[unit.owner & 31][(cls.flags & kClassTechFactor122) ? 122 : 126];
      reach = std::max(reach, v);
    }
  }
  s.weaponReach = reach;
  return reach > 0.0f || weaponWord != 0;
}
