#include "units/paths/move_restart.h"
#include "units/step/unit_step.h"

#include <algorithm>

#include "app/game_math.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/sim_ui_link.h"
#include "units/class_fields.h"
#include "units/hex_geometry.h"
#include "world/movement_rates.h"
#include "units/paths/unit_base_choice.h"
#include "world/unit_class.h"
#include "units/unit_destroy.h"
#include "units/paths/move_cost.h"
#include "units/step/unit_hex_cost.h"
#include "units/step/unit_step_phases.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"
#include "world/movement_types.h"

namespace {

constexpr int kCountdownCostRefresh = 55;

// The effect of a lost unit (first frame, frames, milliseconds a frame,
// colour, scale).
constexpr int32_t kLostEffectFrames = 16;
constexpr int32_t kLostEffectFrameMs = 100;
constexpr uint32_t kLostEffectColour = 0xBFFFFFFFu;

// A class's military sound number (class byte 191).

// Aircraft out of base and ships at sea without a haven: out of fuel they
// are lost; without a mission they are sent back to where they were going or
// to a base.
void StepStranded(World& world, UnitRecord& unit) {
  if (unit.fuel == 0.0f) {
    unit.costByte = 0;
  } else if ((unit.orders[kOrderFlags] & kOrderMissionByte) == 0) {
    if (unit.orders[kDestination] != 0)
      UnitResetMoveState(world, 0, unit, unit.orders[kDestination], unit.route2 != nullptr);
    else if (unit.orders[kMoveTarget] != 0)
      UnitResetMoveState(world, 0, unit, unit.orders[kMoveTarget], unit.route2 != nullptr);
    else
      UnitChooseBase(world, unit);
  }
  unit.orders[kStateFlags] &= ~kStateMotionByte;
}

}  // namespace


UnitRecord* LiveLeadFacility(const HexCell& cell) {
  UnitRecord* lead = GetActiveObject(&cell, false);
  return lead && !(lead->unitFlags & kUnitProvisional) ? lead : nullptr;
}

bool AtSeaWithoutHaven(const World& world, const HexCell& cell) {
  const TerrainRecord* terrain = TerrainOf(world, cell);
  return terrain && (TerrainFlags(*terrain) & kTerrainWater) && !LiveLeadFacility(cell);
}

bool OnOwnGround(const World& world, const UnitRecord& unit, const HexCell& cell) {
  return HexUsableAsBase(world, unit, cell);
}

void StepLost(World& world, UnitRecord& unit, const UnitClassRecord& cls) {
  const uint32_t position = MakeHexPos(unit.x, unit.y);
  // Stock goes without a word: its loss shows on the map alone.
  if (!(cls.flags & kClassStock)) {
    MessageParams params;
    params.p1 = unit.id;
    PlayerRecord& owner = world.players[unit.owner & 31];
    PostPlayerMessage(world, owner, unit.owner, unit.moveKind == kMoveKindAir ? kMsgAircraftLost : kMsgUnitLost, nullptr,
                      params);
  }
  const int32_t offsetX = CheckedTrunc(unit.pixelX), offsetY = CheckedTrunc(unit.pixelY);
  UnitDestroy(world, unit, 0);
  AddMapEffect(position, 0, offsetX, offsetY, 0, kLostEffectFrames, kLostEffectFrameMs, kLostEffectColour, 1.0f);
  PlayMilitarySound(cls.destructionSound);
}

void RunUnitStep(World& world, UnitRecord& unit, uint8_t minutes) {
  UnitStepState s;
  s.wasStepped = (unit.unitFlags & kUnitStepped) != 0;
  unit.unitFlags |= kUnitStepped;
  s.cls = UnitClassOf(world, unit);
  const HexMapShape map = MapShape(world);
  const int64_t index = HexCellIndex(map, MakeHexPos(unit.x, unit.y));
  if (!s.cls || index < 0) return;  // a unit off the map or without a class has nothing to do
  const UnitClassRecord& cls = *s.cls;
  s.cell = &world.cells[static_cast<size_t>(index)];

  // The five countdowns (bytes 52 to 55 and 70), named here rather than
  // looked up by offset, as every step of every unit runs them down.
  const auto runDown = [minutes](uint8_t& countdown) {
    countdown = countdown < minutes ? 0 : static_cast<uint8_t>(countdown - minutes);
  };
  for (uint8_t& countdown : unit.countdowns) runDown(countdown);
  runDown(unit.countdown5);
  s.level = static_cast<size_t>(index) < world.cellBytes.size() ? world.cellBytes[static_cast<size_t>(index)] - 1 : -1;
  s.movementType = cls.movementType;
  s.atSeaNoHaven = AtSeaWithoutHaven(world, *s.cell);

  // 1: the cost of the present hex.
  if (unit.costByte == 0 || (!(unit.unitFlags & kUnitMoved) && StepCountdown(unit, kCountdownCostRefresh) == 0))
    unit.costByte = static_cast<uint8_t>(std::min<uint32_t>(StandingHexCost(world, unit), 255));
  // 2: following a leader.
  if (unit.unitFlags & kUnitFollowsLeader) StepFollowLeader(world, unit);
  // 3: aircraft out of base, ships without a haven.
  if (!(unit.unitFlags & kUnitInBase) &&
      (s.movementType == kCarrierAircraft || (s.movementType == kShipOrAircraft && s.atSeaNoHaven)))
    StepStranded(world, unit);
  // 4: the lost unit.
  if (unit.costByte == 0) {
    StepLost(world, unit, cls);
    return;
  }
  // 5: entry rights, reach and the search's arguments.
  StepEntryRights(world, unit, s);
  // 6: a base's aircraft.
  if (unit.carriedCount != 0) StepCarrierCapacity(world, unit);
  // 7: turns.
  if (unit.heading != unit.wantedHeading || unit.angle2 != unit.wantedAngle2) StepTurns(unit, s);
  // 8: arrived; the marked unit's halt check.
  if (unit.orders[kDestination] == MakeHexPos(unit.x, unit.y)) unit.nextStep = kNoMove;
  if (unit.orders[kStateFlags] & (kStateHalt | kStateHalt2)) UnitHaltCheck(world, unit);
  // 9: motion.
  if (unit.orders[kOrderFlags] & kOrderMoving) {
    StepMotion(world, unit, s);
    if (s.ended) return;
  }
  // 10 to 12: missions, fuel watch, route and steering, only under orders
  // that have started.
  if ((unit.orders[kOrderFlags] & kOrderMissionByte) != 0 && world.gameState.currentTick >= unit.orders[kOrderStartTick]) {
    StepMissionTarget(world, unit, s);
    // A finished move leaves the unit standing: steering it again would mark
    // it moving and keep these phases running on the spot.
    const bool finished = StepArrival(world, unit, s);
    if (s.ended) return;
    if (!finished) {
      StepFuelWatch(world, unit, s);
      StepRoute(world, unit, s);
      if (s.ended) return;
    }
  } else {
    unit.orders[kOrderFlags] &= ~kOrderMoving;
  }
  // 13: weapon reach; 14 to 16 for every class but stock.
  const bool engage = !(unit.unitFlags & kUnitStock) && StepWeaponReach(world, unit, s);
  if (!(cls.flags & kClassStock)) {
    s.wasSlowed = (unit.unitFlags & kUnitSpeedBonus) != 0;
    if (engage) StepEngagement(world, unit, s);
    StepRatesAndResupply(world, unit, s);
    StepLoadStockOntoCarriers(world, unit, s);
    StepSurrenderAndRetreat(world, unit, s);
    StepAdvance(world, unit, s);
    StepOverStacking(world, unit, s);
    StepBaseStatus(world, unit, s);
    StepMergeAndSplit(world, unit, s);
    StepBaseOrders(world, unit, s);
    if (s.ended) return;
    StepHexMarksAndCapture(world, unit, s);
    StepTransport(world, unit, s);
    if (s.ended) return;
    StepSighting(world, unit, s);
    if (s.ended) return;
  }
  StepClose(world, unit, s);
}
