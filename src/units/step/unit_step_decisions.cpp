// A unit's own decisions in its step: it gives itself up when its side can
// hold out no longer, a weakened unit falls back, and a healthy one may go
// on to push into enemy land.
#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/player_kinds.h"
#include "records/player_relations.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "sim/command_counts.h"
#include "sim/message_ids.h"
#include "sim/player_messages.h"
#include "units/ai_event_queue.h"
#include "units/hex_geometry.h"
#include "units/paths/move_cost.h"
#include "world/movement_rates.h"
#include "units/order_cancel.h"
#include "units/paths/unit_base_choice.h"
#include "units/step/unit_step_phases.h"
#include "units/unit_transfer.h"
#include "world/id_lookups.h"
#include "world/record_helpers.h"
#include "world/terrain_flags.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"

namespace {

constexpr int kCountdownDecisions = 55;
// The ordersWord fields this phase reads and sets.
constexpr int kFieldAggressiveness = 3;
constexpr int kFieldEngagement = 6;
constexpr int kFieldRetreat = 8;
constexpr uint32_t kAggressivenessStep = 30;
constexpr uint32_t kWillingAbove = 50;
constexpr uint32_t kAggressivenessFloor = 25;
constexpr int kDugIn = 6;
// A computer region above this difficulty keeps its units at the second
// retreat setting.
constexpr uint8_t kComputerRetreatDifficulty = 1;
// Retreating: withdrawing with the narrow search's last bit.
constexpr uint32_t kOrderRetreat = kOrderWithdrawing | kOrderAutoDeploy;
// The event a weakened unit raises for its computer player.
constexpr int kWeakenedEventKind = 2;
constexpr int kWeakenedEventValue = 2000;

uint32_t Field(uint32_t word, int i) { return (word >> (2 * i)) & 3u; }
void SetField(uint32_t& word, int i, uint32_t v) { word = (word & ~(3u << (2 * i))) | ((v & 3u) << (2 * i)); }

// A change of one simulation order setting, counted as the simulation's own.
void SetOrderField(World& world, UnitRecord& unit, int field, uint32_t v) {
  uint32_t& word = unit.orders[kOrdersWord];
  if (Field(word, field) == v) return;
  SetField(word, field, v);
  CountUnitOrder(world, unit, 1);
}

float FullStrength(const UnitClassRecord& cls, const UnitRecord& unit) {
  return static_cast<float>(cls.strengthPerSize) * unit.targetStrength;
}

// The unit gives itself up to the side it is fighting when its own side
// can no longer hold out.
void Surrender(World& world, UnitRecord& unit, const UnitClassRecord& cls, const PlayerRecord& owner) {
  if (!(owner.approval < 0.17f - unit.morale / 10.0f) || !(owner.secondRating < 0.2f - unit.efficiency / 10.0f))
    return;
  if (!(unit.orders[kOrderFlags] & kOrderEngaged) || unit.fireTarget == 0 || (cls.flags & kClassNeverSurrenders))
    return;
  const UnitRecord* target = FindUnitById(world, unit.fireTarget);
  if (!target) return;
  const int taker = target->owner & 31;
  if (taker == (unit.owner & 31)) return;
  const int32_t kind = world.players[taker].kind;
  if (kind == kKindEmpty || kind == kKindOut) return;
  MessageParams params;
  params.p1 = unit.owner;
  params.p2 = unit.id;
  params.p3 = static_cast<uint32_t>(unit.classIndex);
  params.p4 = static_cast<uint32_t>(taker);
  BroadcastPlayerMessage(world, owner, kMsgUnitSurrendered, kMsgUnitSurrendered, kMsgUnitSurrendered,
                         kMsgUnitSurrendered, nullptr, params, 0);
  TransferUnit(world, unit, taker, 0, 0);
  UnitChooseBase(world, unit, false);
}

// The unit's orders go and it falls back, withdrawing.
void Retreat(World& world, UnitRecord& unit) {
  UnitClearOrders(world, unit);
  unit.orders[kOrderFlags] |= kOrderRetreat;
  unit.unitFlags |= kUnitDeployedHold;
}

// A retreating land unit is safe where its destination is its own, granted
// to it, or open water of nobody's.
bool SafeDestination(const World& world, const UnitRecord& unit, const PlayerRecord& owner) {
  const HexMapShape map = MapShape(world);
  const int64_t index = HexCellIndex(map, unit.orders[kDestination]);
  if (index < 0 || static_cast<size_t>(index) >= world.cells.size()) return false;
  const HexCell& cell = world.cells[static_cast<size_t>(index)];
  const int hexOwner = CellOwner(cell.word);
  if (hexOwner == (unit.owner & 31) || (PlayerAccessMask(owner, 0) & (1u << hexOwner))) return true;
  const TerrainRecord* terrain = TerrainOf(world, cell);
  return hexOwner == 0 && terrain && (TerrainFlags(*terrain) & kTerrainWater);
}

// What the unit does once it is willing: air units only fall back; others
// fall back, or go on to push into enemy land.
void Decide(World& world, UnitRecord& unit, UnitStepState& s, const PlayerRecord& owner, uint32_t v) {
  const UnitClassRecord& cls = *s.cls;
  const OrderBlock& o = unit.orders;
  const float threshold = 0.8f - 0.2f * static_cast<float>(Field(o[kOrdersWord], kFieldRetreat));
  const bool retreating = (unit.unitFlags & kUnitDeployedHold) != 0;
  const bool weakened = unit.strength < FullStrength(cls, unit) * threshold;
  if (unit.moveKind == kMoveKindAir) {
    if (o[kDestination] == o[kMoveTarget] && o[kMoveTarget] != kNoHexPosition) return;
    if (retreating || !weakened) return;
    Retreat(world, unit);
    return;
  }
  if (cls.movementType == 0 || (o[kOrderFlags] & kOrderWithdrawing)) return;
  if (!retreating && weakened) {
    if (!(unit.unitFlags & kUnitInBase) && unit.entrenchment < kDugIn) Retreat(world, unit);
    QueueStackEvent(1, world, unit.owner & 31, kWeakenedEventKind, kWeakenedEventValue, MakeHexPos(unit.x, unit.y), 0);
    return;
  }
  if ((cls.flags & kClassStaysPut) || (unit.unitFlags & (kUnitMovesWhileTurning | kUnitSeekingBase)) ||
      (o[kOrderFlags] & kOrderEngaged) || o[kFireUnit] != 0 || o[kFireHex] != kNoHexPosition ||
      v <= kAggressivenessFloor || (o[kOrderId] != 0 && Field(o[kOrdersWord], kFieldEngagement) != 0))
    return;
  if (unit.moveKind != kMoveKindLand) {
    s.advance = true;
    return;
  }
  const int hexOwner = s.cell ? CellOwner(s.cell->word) : 0;
  if (RelationClassOf(owner, 1, hexOwner) != kRelationHostile && s.level != -1) {
    s.advance = true;
    return;
  }
  if (retreating && SafeDestination(world, unit, owner)) return;
  UnitChooseBase(world, unit, false);
  SetOrderField(world, unit, kFieldEngagement, 1);
  s.advance = true;
}

}  // namespace

void StepSurrenderAndRetreat(World& world, UnitRecord& unit, UnitStepState& s) {
  s.advance = false;
  s.decisionsHeld = StepCountdown(unit, kCountdownDecisions) != 0;
  // A carrier that loaded (or found) stock this step decides next time.
  if (s.decisionsHeld || (unit.unitFlags & kUnitStepEveryMinute)) return;
  // The record of the side that owned the unit when the step began, even
  // when the unit surrenders.
  const PlayerRecord& owner = world.players[unit.owner & 31];
  if (owner.kind == kKindComputer && Field(unit.orders[kOrdersWord], kFieldRetreat) != 1 &&
      world.scenario.head.difficulty > kComputerRetreatDifficulty)
    SetOrderField(world, unit, kFieldRetreat, 1);
  Surrender(world, unit, *s.cls, owner);
  if (unit.unitFlags & kUnitGone) {  // handed over and lost on the way: nothing more to decide
    s.decisionsHeld = true;
    s.ended = true;
    return;
  }
  const uint32_t v = Field(unit.orders[kOrdersWord], kFieldAggressiveness) * kAggressivenessStep;
  if (!(owner.simPolicy.milinitiativeoff + v > kWillingAbove) || (unit.orders[kPostureBits] & kPostureNoAutoDeploy))
    return;
  Decide(world, unit, s, owner, v);
}
