#include "ai/ai_event_answer.h"

#include <algorithm>
#include <atomic>
#include <cfloat>

#include "ai/ai_facility_defence.h"
#include "ai/ai_player_fields.h"
#include "ai/ai_unit_figures.h"
#include "ai/ai_worker_state.h"
#include "app/game_math.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "units/hex_geometry.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "units/unit_deploy.h"
#include "units/unit_order_issue.h"
#include "units/unit_player_fields.h"
#include "units/unit_queries.h"
#include "world/id_lookups.h"
#include "world/terrain_flags.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {

constexpr int kSlots = 8;
constexpr uint16_t kKindFortified = 0;   // an attack on ground the region holds
constexpr uint16_t kKindNearbyAlarm = 15;
constexpr int kEventKinds = 16;
constexpr uint32_t kOrderBusyWhileMoving = kOrderNarrowSearch | kOrderAimedAtLeader;
constexpr int kNearbyHexes = 2;

struct Candidate {
  UnitRecord* unit = nullptr;
  float score = 0.0f;
};

const HexCell* CellAt(const World& world, uint32_t position) {
  const int64_t i = HexCellIndex(MapShape(world), position);
  if (i < 0 || static_cast<size_t>(i) >= world.cells.size()) return nullptr;
  return &world.cells[static_cast<size_t>(i)];
}

uint32_t TerrainFlagsAt(const World& world, const HexCell& cell) {
  const size_t t = static_cast<size_t>(CellTerrain(cell.word));
  return t < world.terrains.size() ? TerrainFlags(world.terrains[t]) : 0;
}

// The target hex is fortified ground: its lead unit an active fortification,
// or covered terrain.
bool FortifiedTarget(const World& world, uint32_t position) {
  const HexCell* cell = CellAt(world, position);
  if (!cell) return false;
  if (cell->stack && cell->stack->lead) {
    const UnitRecord& lead = *cell->stack->lead;
    const UnitClassRecord* cls = UnitClassOf(world, lead);
    if (IsUnitLive(lead) && !(lead.unitFlags & kUnitProvisional) && cls && (cls->flags & kClassFortification) &&
        !(lead.unitFlags2 & kUnit2Selected))
      return true;
  }
  return (TerrainFlagsAt(world, *cell) & kTerrainCovered) != 0;
}

// Whether the unit may go to the hex: its own, a region's that lets units
// of its category in, or nobody's water.
bool MayEnter(const World& world, int player, int category, uint32_t position) {
  const HexCell* cell = CellAt(world, position);
  if (!cell) return false;
  const int owner = CellOwner(cell->word);
  if (owner == player) return true;
  if (owner != 0) {
    const int accessKind = category == 1 ? 1 : (category >= 2 ? 2 : 0);
    return (unitfields::AccessMask(world.players[player], accessKind) >> owner) & 1u;
  }
  return (TerrainFlagsAt(world, *cell) & kTerrainWater) != 0;
}

bool HasRatingForOwnCategory(const UnitClassRecord& cls, int category) {
  if (category == 0) return (cls.attackValues[0] + cls.attackValues[1]) >= 1;
  if (category == 2) return cls.attackValues[6] != 0;
  return false;
}

// A long-range unit answering an attack: the hex must be seen, and friends
// must hold it, as the region counts a facility's defenders.
bool GroupMayAnswer(const World& world, const PlayerRecord& player, uint32_t position) {
  return DefendersPresent(world, player, position) > 0;
}

// The load the unit may still take: its capacity less what its cargo
// carries beyond its carrying capacity.
float LoadCapacity(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  float capacity = cls.fuelCapacity * unit.strength;
  if (unit.carrier == 0 && aifig::CarriedValue(unit) == 0.0f) {
    float carried = 0.0f;
    for (uint32_t id = unit.cargoNext; id != 0;) {
      const UnitRecord* q = FindUnitById(world, id);
      if (!q) break;
      const UnitClassRecord* qc = UnitClassOf(world, *q);
      if (q->strength > 0.0f && qc)
        carried += UnitLoadTotal(world, *q, true, true, true) + qc->weight * q->strength + q->ammo;
      id = q->cargoNext;
    }
    const float excess = carried - cls.carryCapacity * unit.strength;
    if (excess > 0.0f) capacity = std::max(0.0f, capacity - excess);
  }
  return capacity;
}

bool FitForService(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  if (aifig::Wear(unit) > 0.2f) return false;
  if (LoadCapacity(world, unit, cls) / 2.0f > aifig::SecondStock(unit)) return false;
  if (cls.ammoCapacity * unit.strength / 2.0f > aifig::FirstStock(unit)) return false;
  const float least = (0.95f - 0.2f * static_cast<float>(aifig::L1(unit))) * static_cast<float>(cls.strengthPerSize);
  return unit.strength >= least;
}

float Score(const World& world, const UnitRecord& unit, const UnitClassRecord& cls, int category, uint32_t hex,
            int32_t distance) {
  int pair = 0;
  if (category == 0)
    pair = FortifiedTarget(world, hex) ? cls.attackValues[0] + cls.attackValues[1]
                                       : cls.attackValues[2] + cls.attackValues[3];
  else if (category == 1)
    pair = (cls.attackValues[4] + cls.attackValues[5]);
  else
    pair = (cls.attackValues[6] + cls.attackValues[7]);
  // A class with no rating at all for the job is the last choice, never a
  // division by zero.
  if (pair <= 0) return FLT_MAX;
  const float p = static_cast<float>(pair);
  return 2000.0f / p * static_cast<float>(distance) / (aifig::U1(unit) + 0.1f) *
         (1.0f + 0.04f * static_cast<float>(aifig::U2(unit)));
}

// Files a candidate into the first slot that takes its role, displacing a
// worse one, which then goes on down the slots.
void FileCandidate(const World& world, const AiRequestResponse* row, Candidate slots[kSlots], Candidate c) {
  for (int j = 0; j < kSlots && c.unit; ++j) {
    const UnitClassRecord* cls = UnitClassOf(world, *c.unit);
    if (!cls || cls->typeByte != row[j].role) continue;
    if (row[j].flag) {
      if (c.unit->kind == 0 && cls->speed < 40) continue;
      if (c.unit->kind == 1 && cls->movementType != 7) continue;
    }
    if (!slots[j].unit) {
      slots[j] = c;
      return;
    }
    if (slots[j].score > c.score) std::swap(slots[j], c);
  }
}

class Answer {
 public:
  Answer(World& world, PlayerRecord& player, AiWorkerState& state)
      : world_(world), player_(player), state_(state), p_(static_cast<int>(&player - world.players)) {}

  void Run(StandingEvent& standing) {
    const AiEvent& e = standing.event;
    const int32_t initiative = player_.displayPolicy.milinitiativeoff;
    if (static_cast<int32_t>(e.value) <= (100 - initiative) * 100 || standing.assigned >= e.subKind) return;
    named_ = nullptr;
    if (e.third != 0) {
      named_ = FindUnitById(world_, e.third);
      if (!named_ || !IsUnitLive(*named_) || (named_->unitFlags2 & kUnit2Selected) || named_->carrier != 0 ||
          !((named_->seenBy >> p_) & 1u))
        return;
    }
    if (e.kind >= kEventKinds) return;
    const AiRequestResponse* row = &RuleTablesOf(world_).aiParams.requestResponses[e.kind * kSlots];
    Candidate slots[kSlots];
    for (int category = 0; category < 4; ++category) {
      bool named = false;
      for (int j = 0; j < kSlots; ++j) named = named || row[j].category == category;
      if (named) Collect(e, category, row, slots);
    }
    Send(standing, slots);
  }

 private:
  void Strike(uint32_t& entry, int category) {
    entry = kStruckFieldUnit;
    const uint16_t count = aifields::FieldUnitCount(player_, category);
    if (count > 0) aifields::SetFieldUnitCount(player_, category, static_cast<uint16_t>(count - 1));
  }

  void Collect(const AiEvent& e, int category, const AiRequestResponse* row, Candidate slots[kSlots]) {
    for (uint32_t& entry : state_.fieldUnits[category]) {
      if (entry == kStruckFieldUnit) continue;
      UnitRecord* u = FindUnitById(world_, entry);
      const UnitClassRecord* cls = u ? UnitClassOf(world_, *u) : nullptr;
      if (!u || !cls || !IsUnitLive(*u)) {
        Strike(entry, category);
        continue;
      }
      const uint32_t order = aifig::OrderState(*u);
      const bool standingOrders = (order & kOrderMove) != 0;
      if ((aifig::Placement(*u) & kPostureNoAutoDeploy) || (order != 0 && !standingOrders) ||
          (cls->movementType == 0 && (u->unitFlags & kUnitInBase)) ||
          (standingOrders && (order & kOrderBusyWhileMoving))) {
        Strike(entry, category);
        continue;
      }
      float score = 0.0f;
      if (AiUnitQualifies(world_, player_, *u, e, &score)) FileCandidate(world_, row, slots, Candidate{u, score});
    }
  }

  void Send(StandingEvent& standing, Candidate slots[kSlots]) {
    const AiEvent& e = standing.event;
    // The clock moves the tick on outside the simulation lock.
    const uint32_t tick = CurrentTickNow(world_.gameState);
    const uint32_t extra = (tick & 3u) == 0 ? 1u : 0u;
    const float hexSize = static_cast<float>(static_cast<int32_t>(world_.mapHeader.hexScale));
    const uint32_t target = named_ ? MakeHexPos(named_->x, named_->y) : e.position;
    const HexCell* cell = CellAt(world_, target);
    const bool occupiedByOthers = !cell || CellOwner(cell->word) != p_;
    for (uint32_t t = 0; t < kSlots && standing.assigned < e.subKind; ++t) {
      Candidate& c = slots[(standing.assigned + t + extra) % kSlots];
      if (!c.unit) continue;
      UnitRecord& unit = *c.unit;
      const UnitClassRecord* cls = UnitClassOf(world_, unit);
      if (!cls) continue;
      if (aifig::Grouped(*cls) && e.kind == kKindFortified && (e.value < 1500 || !FortifiedTarget(world_, target)))
        continue;
      const float reach = cls->stockRange / 3.0f + 4.0f * hexSize;
      const float urgency = static_cast<float>(e.value) / (occupiedByOthers ? 8.0f : 4.0f);
      const float way = static_cast<float>(AiHexDistance(world_, MakeHexPos(unit.x, unit.y), target)) * hexSize;
      if (!(way < std::min(reach, urgency))) continue;
      if (aifig::Placement(unit) & kPostureInReserve) (void)PlaceUnitOnMap(world_, unit);
      const int order = e.kind == kKindFortified && e.value >= 1000 && cls->movementType == 0
                            ? kAnswerAttackOrder
                            : kAnswerMoveOrder;
      const float range = static_cast<float>(e.value) / 1000.0f > 3.0f ? reach : way;
      IssueUnitOrder(world_, unit, order, target, nullptr, named_, 0, 0, CheckedTrunc(range));
      standing.assigned += 1;
      const int category = unit.kind & 3;
      const uint16_t count = aifields::FieldUnitCount(player_, category);
      if (count > 0) aifields::SetFieldUnitCount(player_, category, static_cast<uint16_t>(count - 1));
      c.unit = nullptr;
      if (e.kind == kKindFortified && !aifig::Grouped(*cls)) return;
    }
  }

  World& world_;
  PlayerRecord& player_;
  AiWorkerState& state_;
  const int p_;
  UnitRecord* named_ = nullptr;
};

}  // namespace

int32_t AiHexDistance(const World& world, uint32_t a, uint32_t b) { return HexRangeDistance(MapShape(world), a, b); }

bool AiUnitQualifies(const World& world, const PlayerRecord& player, const UnitRecord& unit, const AiEvent& e,
                     float* score) {
  const UnitClassRecord* cls = UnitClassOf(world, unit);
  if (!cls) return false;
  const int p = static_cast<int>(&player - world.players);
  const int category = unit.kind & 3;
  const int32_t initiative = player.displayPolicy.milinitiativeoff;
  const uint32_t order = aifig::OrderState(unit);
  const uint32_t here = MakeHexPos(unit.x, unit.y);
  const int32_t distance = AiHexDistance(world, e.position, here);
  if (order & kOrderMove) {
    // On standing orders: only a call urgent enough for its aggressiveness,
    // and none that would turn it back from a nearer goal it keeps.
    const int32_t bar = (5 - static_cast<int32_t>(aifig::L2(unit))) * 2000 - 60 * initiative;
    if (static_cast<int32_t>(e.value) < bar) return false;
    if (AiHexDistance(world, aifig::OrderTarget(unit), here) < distance && !(order & kOrderKeepsRoute)) return false;
  } else if (!aifig::Grouped(*cls) && !(cls->flags & kClassNeverSurrenders)) {
    const bool rated = HasRatingForOwnCategory(*cls, category);
    const HexCell* cell = CellAt(world, here);
    const bool ownGround = cell && CellOwner(cell->word) == p;
    const bool fuelled = cls->fuelCapacity * unit.strength / 4.0f <= aifig::SecondStock(unit);
    if (!(rated && (ownGround || fuelled)) && !MayEnter(world, p, category, e.position)) return false;
  } else if (aifig::Grouped(*cls) && e.kind == kKindFortified && !GroupMayAnswer(world, player, e.position)) {
    return false;
  }
  if (!FitForService(world, unit, *cls)) return false;
  if (score) *score = Score(world, unit, *cls, category, e.position, distance);
  return true;
}

void AnswerStandingEvent(World& world, PlayerRecord& player, StandingEvent& standing) {
  const int p = static_cast<int>(&player - world.players);
  Answer answer(world, player, g_aiWorkers[p & 31]);
  answer.Run(standing);
}

void AnswerMapEvents(World& world, PlayerRecord& player) {
  const int p = static_cast<int>(&player - world.players);
  std::vector<AiEvent> taken = g_aiEvents.TakeAll(p);
  if (taken.empty()) return;
  AiWorkerState& state = g_aiWorkers[p & 31];
  Answer answer(world, player, state);
  for (AiEvent& e : taken) {
    auto& standing = state.standing;
    const auto at = std::find_if(standing.begin(), standing.end(),
                                 [&](const StandingEvent& s) { return s.event.value <= e.value; });
    const size_t index = static_cast<size_t>(at - standing.begin());
    if (index < standing.size()) {
      const AiEvent& behind = standing[index].event;
      // A second alarm at the same moment next to one already standing adds
      // nothing: the units sent to the first cover it.
      if (behind.tick == e.tick && behind.kind == e.kind && e.kind == kKindNearbyAlarm &&
          AiHexDistance(world, behind.position, e.position) <= kNearbyHexes)
        e.subKind = 0;
    }
    standing.insert(at, StandingEvent{e, 0});
    answer.Run(standing[index]);
  }
}
