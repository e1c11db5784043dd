#include "units/combat/unit_combat_step.h"

#include <algorithm>
#include <vector>

#include "app/game_math.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_kinds.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "records/unit_table_arrays.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "sim/relations.h"
#include "sim/sim_ui_link.h"
#include "app/window_messages.h"
#include "units/ai_event_queue.h"
#include "units/class_fields.h"
#include "units/combat/fire_sight.h"
#include "sim/command_counts.h"
#include "units/hex_capture.h"
#include "units/facilities/hex_facility_state.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "world/movement_rates.h"
#include "units/combat/unit_attack.h"
#include "world/unit_class.h"
#include "units/unit_destroy.h"
#include "units/unit_player_fields.h"
#include "units/spotting/unit_sighting.h"
#include "units/step/unit_step_phases.h"
#include "world/hex_extra.h"
#include "world/scenario_settings.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "world/movement_types.h"

namespace {

constexpr int kChainKinds = 4;  // land, air, sea, submarine
constexpr int kCovertTargetType = 5;
constexpr int32_t kAlarmRegionKind = 4;  // a player kind that raises no alarms and takes no ground
constexpr uint32_t kCaughtEffectColour = 0xbfffffffu;
constexpr int16_t kObjectiveClass = 99;  // the scenario's objective unit
constexpr uint32_t kEndObjectiveReached = 3;
constexpr int kMostPassing = 7;          // own units of its kind a moving unit passes without waiting
constexpr uint32_t kCrowdedWait = 30;    // minutes it then waits
constexpr uint32_t kOrderBusyBits = kOrderChooseBase | kOrderWithdrawing;
constexpr uint32_t kNoTakeFlags = kUnitMovesWhileTurning | kUnitSeekingBase;

// Aircraft based on a carrier move with it: off the old hex's air chain and
// onto the new hex ahead of the carrier.
void CarryBasedAircraft(World& world, const HexMapShape& map, UnitRecord& carrier, uint32_t position) {
  HexCell* old = HexCellAt(world, map, MakeHexPos(carrier.x, carrier.y));
  const HexUnitStack* stack = old ? LoadHexStack(*old) : nullptr;
  if (!stack) return;
  std::vector<UnitRecord*> based;
  for (UnitRecord* v = stack->chainA[kUnitKindAir]; v; v = v->nextInChainA)
    if (v != &carrier && (v->unitFlags & kUnitInBase) && v->orders[kLeaderUnit] == carrier.id) based.push_back(v);
  for (UnitRecord* v : based) {
    HexStackRemove(world, *old, *v);
    UnitCombatStep(world, *v, position, 1);
  }
}

// The highest detection value among the hex owner and the regions that
// watch its hexes; a covert unit is caught when its id, the day and the tick
// fall on a multiple of 4 / that value (at least 1: a value above 4 catches
// at once).
bool CaughtOnArrival(World& world, UnitRecord& unit, const UnitClassRecord& cls, const HexCell& cell) {
  const int h = CellOwner(cell.word);
  if (h == (unit.owner & 31)) return false;
  float q = 0.0f;
  const int last = std::clamp(world.gameState.highestPlayer, 0, kMaxPlayers - 1);
  for (int p = 1; p <= last; ++p) {
    const PlayerRecord& r = world.players[p];
    if (p != h && !(static_cast<uint32_t>(unitfields::Int(r, unitfields::kWatchedRegions)) & (1u << h))) continue;
    q = std::max(q, unitfields::Real(r, unitfields::kDetectionValue));
  }
  if (!(q > 0.01f)) return false;
  const int32_t quotient = CheckedTrunc(4.0f / q);
  const uint32_t divisor = quotient > 1 ? static_cast<uint32_t>(quotient) : 1u;
  const uint32_t draw = unit.id + world.gameState.currentDay + world.gameState.currentTick;
  if (draw % divisor != 0) return false;

  const uint32_t position = MakeHexPos(unit.x, unit.y);
  const int owner = unit.owner & 31;
  PostPlayerMessage(world, world.players[h], owner, kMsgCovertUnitCaught, nullptr,
                    MessageParams{static_cast<uint32_t>(owner), static_cast<uint32_t>(h), position});
  BroadcastPlayerMessage(world, world.players[owner], kMsgCovertUnitCaughtNews, kMsgCovertUnitCaughtNews,
                         kMsgCovertUnitCaughtNews, kMsgCovertUnitCaughtNews, nullptr,
                         MessageParams{static_cast<uint32_t>(owner), static_cast<uint32_t>(h), position});
  const int32_t offsetX = CheckedTrunc(unit.pixelX), offsetY = CheckedTrunc(unit.pixelY);
  UnitDestroy(world, unit, 0);
  AddMapEffect(position, 0, offsetX, offsetY, 0, 16, 100, kCaughtEffectColour, 1.0f);
  PlayMilitarySound(cls.destructionSound);
  return true;
}

template <class Fn>
void ForUnitsOn(const HexCell& cell, Fn fn) {
  const HexUnitStack* stack = LoadHexStack(cell);
  if (!stack) return;
  for (int k = 0; k < kChainKinds; ++k)
    for (UnitRecord* v = stack->chainA[k]; v; v = v->nextInChainA)
      if (IsUnitLive(*v) && !InReserve(*v)) fn(*v);
}

// A unit of a player whose relation code towards the owner is in the mask,
// able to take ground, stands on one of the hex's six neighbours.
bool EnemyBeside(World& world, const HexMapShape& map, uint32_t position, int owner, uint32_t codes) {
  bool found = false;
  for (int d = 0; d < 6 && !found; ++d) {
    HexCell* n = HexCellAt(world, map, HexNeighbour(map, position, d));
    if (!n) continue;
    ForUnitsOn(*n, [&](UnitRecord& v) {
      if (!found && (static_cast<uint32_t>(RelationCode(world, owner, v.owner & 31)) & codes) &&
          UnitCanTakeGround(world, v))
        found = true;
    });
  }
  return found;
}

// The hex's lead is a settlement that holds units: active, confirmed, in
// service, of no excluded kind, serving units and not a base site.
const UnitRecord* HoldingSettlement(const World& world, const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  const UnitRecord* lead = stack ? stack->lead : nullptr;
  if (!lead || !IsUnitLive(*lead) || (lead->unitFlags & kUnitProvisional) || InReserve(*lead)) return nullptr;
  const UnitClassRecord* c = ClassRecordAt(world, lead->classIndex);
  if (!c || !(c->flags & kClassSettlement) || (c->flags & kClassExcludedKinds) || c->baseKind != 0)
    return nullptr;
  const bool serves = c->loadableMask != 0 || (c->flags & (kClassHaven | kClassAirBase));
  return serves ? lead : nullptr;
}

// A settlement reached: on foreign ground a unit that may take it releases
// the units it holds; on own ground the unit has reached a base.
void ReachSettlement(World& world, UnitRecord& unit, const UnitClassRecord& cls, HexCell& cell, uint32_t position,
                     bool take, bool own) {
  const int o = unit.owner & 31;
  const int h = CellOwner(cell.word);
  const uint8_t movement = cls.movementType;
  const UnitRecord* lead = HoldingSettlement(world, cell);
  OrderBlock& orders = unit.orders;
  if (lead && !own) {
    const PlayerRecord& owner = world.players[o];
    const bool enemy = (owner.simPolicy.hostileMask & (1u << h)) && !(owner.simPolicy.friendlyMask & (1u << h));
    if (take && (enemy || (orders[kOrderFlags] & kOrderTakeGround))) StackSideEffects(world, cell, 0, 0, -1);
    return;
  }
  if (!own) return;
  if (lead) {
    const UnitClassRecord* lc = ClassRecordAt(world, lead->classIndex);
    if (movement == kCarrierAircraft && !(lc && (lc->flags & kClassAirBase))) return;
    orders[kStateFlags] |= kStateCanRefuel;
    orders[kMoveTarget] = position;
    unit.unitFlags &= ~kUnitFollowsLeader;
    CountUnitOrder(world, unit, 1);
    return;
  }
  if (movement != kCarrierAircraft && unit.ammo < cls.ammoPerShot &&
      !(orders[kOrderFlags] & kOrderBusyBits)) {
    orders[kStateFlags] |= kStateCanRefuel;
    CountUnitOrder(world, unit, 1);
  }
}

// An aircraft that lands on carriers takes the first carrier of its own on
// the hex with room for it as its leader and heads for its destination with
// it.
void LandOnCarrier(World& world, UnitRecord& unit, const UnitClassRecord& cls, const HexCell& cell, uint32_t position) {
  if (!(cls.flags & (kClassHaven | kClassLandsOnCarrier)) || unit.orders[kMoveTarget] == position) return;
  const uint32_t carrierKind = (cls.flags & kClassHaven) ? kClassSeaCarrier : kClassAirBase;
  const HexUnitStack* stack = LoadHexStack(cell);
  for (UnitRecord* v = stack ? stack->chainA[kUnitKindSea] : nullptr; v; v = v->nextInChainA) {
    if (v->owner != unit.owner || !IsUnitLive(*v)) continue;
    const UnitClassRecord* vc = ClassRecordAt(world, v->classIndex);
    if (!vc || !(vc->flags & carrierKind)) continue;
    const int room = static_cast<int>(vc->baseSlots) * vc->strengthPerSize;
    if (v->carriedCount >= room) continue;
    unit.orders[kLeaderUnit] = v->id;
    unit.orders[kMoveTarget] = unit.orders[kDestination];
    unit.unitFlags |= kUnitFollowsLeader;
    CountUnitOrder(world, unit, 1);
    return;
  }
}

// A moving unit that finds its own kind crowding a hex on the way waits
// half an hour before going on.
void WaitInCrowd(World& world, UnitRecord& unit, const UnitClassRecord& cls, const HexCell& cell, uint32_t position) {
  OrderBlock& orders = unit.orders;
  if (!(orders[kOrderFlags] & kOrderMoving) || cls.movementType == kCarrierAircraft) return;
  const uint32_t tick = world.gameState.currentTick;
  if (orders[kDestination] == position || orders[kOrderStartTick] >= tick) return;
  const HexUnitStack* stack = LoadHexStack(cell);
  const int k = cls.kind < kChainKinds ? cls.kind : 0;
  int own = 0;
  for (const UnitRecord* v = stack ? stack->chainA[k] : nullptr; v; v = v->nextInChainA)
    own += v->owner == unit.owner ? 1 : 0;
  if (own <= kMostPassing) return;
  orders[kOrderStartTick] = tick + kCrowdedWait;
  CountUnitOrder(world, unit, 1);
}

// The hex and its neighbours may change hands; the hex owner may be alarmed.
void TakeGround(World& world, UnitRecord& unit, const UnitClassRecord& cls, HexCell& cell, uint32_t position) {
  const int o = unit.owner & 31;
  const int h = CellOwner(cell.word);
  bool take = UnitCanTakeGround(world, unit);
  ForUnitsOn(cell, [&](UnitRecord& v) {
    if (take && RelationCode(world, o, v.owner & 31) == 8 && UnitCanTakeGround(world, v)) take = false;
  });
  const bool own = OnOwnGround(world, unit, cell);
  const bool noticed = !own && UnitVisibleToSide(world, unit, h);

  // An uninvited entry from outside any relation: the hex owner reacts, and
  // hears of it unless that answered it.
  if (!own && (noticed || take) && h != 0 && h != o && RelationCode(world, h, o) == 4 &&
      ResolveRelations(world, world.players[h], o, 2) == 0)
    PostPlayerMessage(world, world.players[h], o, kMsgUnitEnteredTerritory, nullptr,
                      MessageParams{static_cast<uint32_t>(o), static_cast<uint32_t>(o), position});

  const HexMapShape map = MapShape(world);
  const int code = RelationCode(world, o, h);
  int taken = 0;
  if (take && code == 8) {
    const int alone = EnemyBeside(world, map, position, o, 8) ? 0 : 1;
    taken = CaptureHex(world, cell, o, alone, 8, unit.kind, 0);
  } else if (take && code == 4 && (unit.orders[kOrderFlags] & kOrderTakeGround)) {
    const int alone = EnemyBeside(world, map, position, o, 4 | 8) ? 0 : 1;
    taken = CaptureHex(world, cell, o, alone, 4, unit.kind, 0);
  }
  if (taken > 0) {
    const float cost = cls.ammoPerShot * unit.strength / 8.0f * static_cast<float>(taken);
    unit.ammo = std::max(unit.ammo - cost, 0.0f);
    unit.unitFlags &= ~kUnitFullySupplied;
  }

  if (!noticed || h == o) return;
  const PlayerRecord& holder = world.players[h];
  if (RelationCode(world, h, o) != 8 && !(holder.simPolicy.roeFlags & kRoeAlarm)) return;
  const uint32_t third = unit.id;
  if (unit.kind == kUnitKindAir) {
    QueueStackEvent(3, world, h, 11, 2000, position, third);
  } else if (unit.kind == kUnitKindSea) {
    QueueStackEvent(1, world, h, 7, 1000, position, third);
  } else if (unit.kind == kUnitKindLand) {
    QueueStackEvent(1, world, h, 8, 1500, position, third);
  }
}

// The scenario's objective unit on the goal hex ends the game for its owner.
void CheckObjective(World& world, const UnitRecord& unit, uint32_t position) {
  GameState& state = world.gameState;
  if (unit.classIndex != kObjectiveClass || (state.goalX == 0 && state.goalY == 0)) return;
  if (MakeHexPos(state.goalX, state.goalY) != position) return;
  const int owner = unit.owner & 31;
  state.endReason = kEndObjectiveReached;
  state.winnersMask |= 1u << owner;
  PostTurnEvent(owner == (state.localPlayer & 31) ? kTurnCodeGameWon : kTurnCodeGameLost);
}

}  // namespace

HexCell* UnitCombatStep(World& world, UnitRecord& unit, uint32_t position, int arrival) {
  const HexMapShape map = MapShape(world);
  HexCell* cell = HexCellAt(world, map, position);
  if (!cell) return nullptr;
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (cls && (cls->flags & (kClassAirBase | kClassSeaCarrier))) CarryBasedAircraft(world, map, unit, position);

  const int32_t x = map.wraps ? WrapX(HexX(position), map.width) : HexX(position);
  const uint32_t at = MakeHexPos(x, HexY(position));
  unit.x = static_cast<int16_t>(x);
  unit.y = static_cast<int16_t>(HexY(position));
  if (unit.tableEntry) unit.tableEntry->position = at;
  HexStackInsertById(world, *cell, unit);
  HexStackInsertOrdered(world, *cell, unit);
  if (!cls) return cell;

  const uint32_t rules = world.scenario.head.gameFlags;
  if (rules & kGameFlagFog) {
    UnitMarkSighting(world, unit, *cls);
    if (rules & kGameFlagUnitSight) UpdateUnitSeenBy(world, unit, *cls, false);
  }

  const int32_t ownerKind = world.players[unit.owner & 31].kind;
  if ((unit.unitFlags & kUnitStock) || arrival || ownerKind == kAlarmRegionKind || ownerKind == kKindOut) {
    if ((unit.unitFlags & kUnitStock) && cls->targetType == kCovertTargetType && CaughtOnArrival(world, unit, *cls, *cell))
      return nullptr;
    return cell;
  }
  // A unit on the ground or at sea is ready again as after an ordinary shot;
  // an aircraft keeps the time its last sortie left it.
  if (unit.kind != kUnitKindAir) unit.reloadTime = UnitReloadTime(unit, cls->reloadFactor);
  const bool own = OnOwnGround(world, unit, *cell);
  ReachSettlement(world, unit, *cls, *cell, at, UnitCanTakeGround(world, unit), own);
  LandOnCarrier(world, unit, *cls, *cell, at);
  WaitInCrowd(world, unit, *cls, *cell, at);
  if (!(unit.unitFlags & kNoTakeFlags)) TakeGround(world, unit, *cls, *cell, at);
  CheckObjective(world, unit, at);
  return cell;
}
