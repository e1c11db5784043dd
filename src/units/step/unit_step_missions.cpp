// Missions in a unit's step: the chase of the unit a mission names, a
// missile's strike at its destination, and an aircraft's watch over its
// fuel on the way.
#include <cmath>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "app/game_math.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/relations.h"
#include "sim/sim_ui_link.h"
#include "units/class_fields.h"
#include "units/combat/fire_sight.h"
#include "units/hex_geometry.h"
#include "units/paths/move_restart.h"
#include "units/order_cancel.h"
#include "units/combat/unit_attack.h"
#include "units/paths/unit_base_choice.h"
#include "world/unit_class.h"
#include "units/unit_destroy.h"
#include "units/combat/unit_fire.h"
#include "units/step/unit_step_phases.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/record_helpers.h"
#include "world/scenario_settings.h"
#include "world/terrain_flags.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"
#include "world/movement_types.h"

namespace {

namespace cf = classfields;


// The strike's picture: frames, milliseconds a frame and colour; special
// weapons play slower, are larger and flash the screen.
constexpr int32_t kStrikeFirstFrame = 16;
constexpr int32_t kStrikeFrames = 8;
constexpr int32_t kStrikeFrameMs = 50;
constexpr int32_t kSpecialStrikeFrameMs = 200;
constexpr uint32_t kStrikeColour = 0x9FFFFFFFu;
constexpr float kFlashPerR2 = 250.0f;

// The fuel ratios the watch turns an aircraft back at.
constexpr float kAwayTurnBack = 0.6f;
constexpr float kNearTurnBack = 0.5f;
constexpr float kNearUnfitTurnBack = 0.9f;

int LevelByte(const World& world, uint32_t position) {
  const int64_t index = HexCellIndex(MapShape(world), position);
  return index >= 0 && static_cast<size_t>(index) < world.cellBytes.size() ? world.cellBytes[static_cast<size_t>(index)]
                                                                           : 0;
}

UnitRecord* LiveLead(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  UnitRecord* lead = stack ? stack->lead : nullptr;
  return lead && IsUnitLive(*lead) && !(lead->unitFlags & kUnitProvisional) ? lead : nullptr;
}

// The owner's side sees the unit: it spots its hex (under the fog rule)
// and, under the per-unit sight rule, the unit is seen by it.
bool VisibleToOwner(const World& world, const UnitRecord& v, int owner) {
  const uint32_t rules = world.scenario.head.gameFlags;
  if ((rules & kGameFlagFog) && !SideSpotsHex(world, MakeHexPos(v.x, v.y), owner)) return false;
  return UnitVisibleToSide(world, v, owner);
}

// A strike's mark on the map, seen by the local side or by all for the
// special weapons.
void ShowStrike(const World& world, const UnitRecord& unit, const UnitClassRecord& cls, uint32_t position,
                int32_t offsetX, int32_t offsetY) {
  const bool special = (cls.flags & (kClassSpecialWeaponA | kClassSpecialWeaponB)) != 0;
  const int local = world.gameState.localPlayer & 31;
  const bool seen = (unit.owner & 31) == local || !(world.scenario.head.gameFlags & kGameFlagFog) ||
                    SideSpotsHex(world, position, local) || special;
  if (!seen) return;
  if (special) {
    // The eighth root of the weapon's yield gives the blast's scale.
    const float r = std::sqrt(std::sqrt(std::sqrt(cls.strikeYield)));
    AddMapEffect(position, 0, offsetX, offsetY, kStrikeFirstFrame, kStrikeFrames, kSpecialStrikeFrameMs, kStrikeColour,
                 3.0f * r);
    SetScreenFlash(static_cast<uint32_t>(CheckedTrunc(r * r * kFlashPerR2)));
  } else {
    AddMapEffect(position, 0, offsetX, offsetY, kStrikeFirstFrame, kStrikeFrames, kStrikeFrameMs, kStrikeColour, 1.0f);
  }
  PlayMilitarySound(cls.fireSounds[1]);
}

}  // namespace

void StepMissionTarget(World& world, UnitRecord& unit, UnitStepState& s) {
  if (unit.route2) return;
  OrderBlock& o = unit.orders;
  const bool stock = (unit.unitFlags & kUnitStock) != 0;
  uint32_t id = 0;
  if (stock) {
    if (!(s.cls->flags & kClassFullAvailability)) return;
    id = o[kFireUnit];
  } else {
    o[kStateFlags] &= ~kStateInContact;
    if (o[kOrderFlags] & kOrderKeepsTarget)
      id = o[kFireUnit];
    else if (o[kOrderFlags] & kOrderAimedAtLeader)
      id = o[kLeaderUnit];
    else
      return;
  }
  if (id == 0) {
    if (!stock) o[kOrderFlags] &= ~(kOrderKeepsTarget | kOrderAimedAtLeader);
    return;
  }
  const UnitRecord* target = FindUnitById(world, id);
  if (!target || !IsUnitLive(*target) || InReserve(*target) || target->carrier != 0) {
    if (!stock) UnitClearOrders(world, unit);
    return;
  }
  const uint32_t at = MakeHexPos(target->x, target->y);
  if (at == MakeHexPos(unit.x, unit.y)) {
    if (!stock) o[kStateFlags] |= kStateInContact;
    return;
  }
  if (at == o[kDestination]) return;
  if (!VisibleToOwner(world, *target, unit.owner & 31)) {
    if (!stock) UnitClearOrders(world, unit);
    return;
  }
  UnitResetMoveState(world, 0, unit, at, unit.route2 != nullptr);
}

void StepImpact(World& world, UnitRecord& unit, UnitStepState& s) {
  const UnitClassRecord& cls = *s.cls;
  const uint32_t position = MakeHexPos(unit.x, unit.y);
  const int striker = unit.owner & 31;
  int fired = 0;
  if (UnitRecord* target = unit.orders[kFireUnit] ? FindUnitById(world, unit.orders[kFireUnit]) : nullptr) {
    int mode;
    if (unit.moveKind == kMoveKindAir)
      mode = (cls.flags & kClassLongRange) ? 2 : 1;
    else
      mode = (cls.flags & kClassLongRange) && cls.weaponRanges[0] > 0.0f ? 2 : 0;
    fired = UnitAttackTarget(world, unit, *target, mode);
  }
  // The striker learns what its missile did from the mark on the map; the
  // struck side's news below tells of the special weapons alone.
  if (fired == 0) {
    if (cls.flags & kClassLongRange) {
      UnitFireAtHex(world, unit, position, 1.0f);
    } else if (s.cell) {
      if (UnitRecord* lead = LiveLead(*s.cell)) UnitFireAtUnit(world, unit, *lead, 1, 1.0f);
    }
  }
  const int hexOwner = s.cell ? CellOwner(s.cell->word) : 0;
  const int32_t offsetX = CheckedTrunc(unit.pixelX), offsetY = CheckedTrunc(unit.pixelY);
  UnitDestroy(world, unit, 0);
  s.ended = true;

  uint32_t message = 0, event = 0;
  if (cls.flags & kClassSpecialWeaponA) {
    message = kMsgStruckSpecialA;
    event = kMsgStruckSpecialANews;
  } else if (cls.flags & kClassSpecialWeaponB) {
    message = kMsgStruckSpecialB;
    event = kMsgStruckSpecialBNews;
  } else if (cls.flags & kClassSpecialImmune) {
    message = kMsgStruckImmune;
    event = kMsgStruckImmuneNews;
  }
  if (message != 0) {
    MessageParams params;
    params.p1 = static_cast<uint32_t>(striker);
    params.p2 = position;
    if (hexOwner != 0) PostPlayerMessage(world, world.players[hexOwner], striker, message, nullptr, params);
    MessageParams news;
    news.p1 = static_cast<uint32_t>(striker);
    news.p2 = static_cast<uint32_t>(hexOwner);
    news.p3 = position;
    BroadcastPlayerMessage(world, world.players[striker], 0, event, event, event, nullptr, news);
  }
  ShowStrike(world, unit, cls, position, offsetX, offsetY);
  if (cls.flags & (kClassSpecialWeaponA | kClassSpecialWeaponB)) {
    ApplyReputationChange(world, world.players[striker], -0.8f, 1.0f, 1.0f, 0.8f, 0.8f, 1.0f);
    if (hexOwner != 0) ApplyReputationChange(world, world.players[hexOwner], 0.4f, 1.0f, 1.0f, 0.5f, 0.3f, 0.5f);
  }
}

void StepFuelWatch(World& world, UnitRecord& unit, UnitStepState& s) {
  if (unit.moveKind != kMoveKindAir || (unit.unitFlags & kUnitStock) || !(unit.orders[kOrderFlags] & kOrderMoving))
    return;
  // No fuel to watch: a class without fuel capacity, or a unit without
  // strength.
  const float capacity = s.cls->fuelCapacity * unit.strength;
  if (!(capacity > 0.0f)) return;
  const float q = unit.fuel / capacity;
  OrderBlock& o = unit.orders;
  const uint32_t position = MakeHexPos(unit.x, unit.y);
  const bool away = s.movementType == kCarrierAircraft || !s.cell || !OnOwnGround(world, unit, *s.cell) ||
                    LevelByte(world, position) < 2 || s.atSeaNoHaven;
  const HexMapShape map = MapShape(world);
  if (away) {
    if (!(q < kAwayTurnBack)) return;
    const uint32_t goal = o[kMoveTarget];
    bool fit = false;
    if (goal != kNoHexPosition) {
      const HexCell* cell = HexCellAt(world, map, goal);
      const UnitRecord* lead = cell ? LiveLead(*cell) : nullptr;
      const UnitClassRecord* lc = lead ? UnitClassOf(world, *lead) : nullptr;
      const bool base = lc && !InReserve(*lead) && lc->baseKind == 0 && !(lc->flags & kClassHaven) &&
                        (lc->flags & kClassAirBase) && HexUsableAsBase(world, unit, *cell);
      // The base must also be where it flies: an aircraft circling over a
      // struck target keeps its home base as its move target, and would
      // circle there until its tanks ran dry.
      fit = (base || (unit.unitFlags & kUnitFollowsLeader)) && o[kDestination] == goal &&
            2 * HexDistance(map, position, goal) < unit.rangeLeft;
    }
    if (!fit) UnitChooseBase(world, unit, false);
    return;
  }
  bool turnBack = q < kNearTurnBack;
  const uint32_t next = MakeHexPos(unit.x2, unit.y2);
  if (!turnBack && q < kNearUnfitTurnBack && next != kNoHexPosition) {
    const HexCell* cell = HexCellAt(world, map, next);
    bool fitToFlyOver = false;
    if (cell && HexUsableAsBase(world, unit, *cell) && LevelByte(world, next) > 0) {
      const TerrainRecord* terrain = TerrainOf(world, *cell);
      fitToFlyOver = (terrain && !(TerrainFlags(*terrain) & kTerrainWater)) || LiveLead(*cell);
    }
    turnBack = !fitToFlyOver;
  }
  if (turnBack) o[kStateFlags] |= kStateCanRefuel;
}
