// A healthy, supplied unit with nothing else to do pushes one hex into
// enemy land: each neighbour is scored by the hostile ground, facilities and
// forces around it, and the unit is sent to the best. An even fight there
// is told to the owner's computer player.
#include <cstdint>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/order_words.h"
#include "records/player_relations.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "units/ai_event_queue.h"
#include "units/class_fields.h"
#include "units/combat/fire_sight.h"
#include "units/hex_geometry.h"
#include "units/paths/move_cost.h"
#include "units/paths/move_restart.h"
#include "units/supply_distribution.h"
#include "world/unit_class.h"
#include "units/step/unit_hex_cost.h"
#include "units/step/unit_step_phases.h"
#include "world/hex_extra.h"
#include "world/record_helpers.h"
#include "world/terrain_flags.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"

namespace {

namespace cf = classfields;

constexpr int kFortifiedMode = 3;
// Scores.
constexpr int32_t kEnemyHex = 500;
constexpr int32_t kLoyalEnemyHex = 1500;
constexpr int32_t kEnemyNeighbour = 200;
constexpr int32_t kLoyalEnemyNeighbour = 300;
constexpr int32_t kStepBase = 200;
constexpr int32_t kIdDirection = 25;
constexpr int32_t kHeadingAhead = 20;
constexpr int32_t kHeadingBack = 50;
constexpr int32_t kStrongerFight = 1500;
constexpr int32_t kEvenFight = 750;
constexpr int32_t kLosingFight = 5000;
constexpr int kEvenFightEventKind = 2;
constexpr int kEvenFightEventValue = 1500;

bool LiveFacility(const UnitRecord* f) { return f && IsUnitLive(*f) && !(f->unitFlags & kUnitProvisional); }

const UnitRecord* LeadOf(const HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  return stack && LiveFacility(stack->lead) ? stack->lead : nullptr;
}

// A rating byte above 150 counts for more.
float Rating(uint8_t r) {
  const int v = r;
  return static_cast<float>(v <= 150 ? v : (v - 150) * (v - 150) + 150);
}

bool AtWar(const PlayerRecord& owner, int player) {
  return player != 0 && RelationClassOf(owner, 1, player) == kRelationHostile;
}

// Whether AtWar holds for any player: a hostile player other than none
// (0) and the owner itself.
bool AtWarWithAnyone(const PlayerRecord& owner) {
  const uint32_t self = owner.number < 32 ? 1u << owner.number : 0u;
  return (owner.simPolicy.hostileMask & ~(1u | self)) != 0;
}

// Facility values: on the hex itself and around it.
int32_t FacilityValue(const World& world, const UnitRecord* f, int32_t settlement, int32_t town, int32_t production) {
  const UnitClassRecord* cls = f ? UnitClassOf(world, *f) : nullptr;
  if (!cls) return 0;
  if (cls->flags & kClassSettlement) return settlement;
  if (cls->flags & kClassSettlementPopulation) return town;
  if (cls->flags & kClassProduction) return production;
  return 0;
}

bool Fortified(const World& world, const HexCell& cell) {
  const UnitRecord* f = LeadOf(cell);
  const UnitClassRecord* cls = f ? UnitClassOf(world, *f) : nullptr;
  if (cls && (cls->flags & kClassFortification) && !InReserve(*f)) return true;
  const TerrainRecord* terrain = TerrainOf(world, cell);
  return terrain && (TerrainFlags(*terrain) & kTerrainCovered);
}

// The mode a unit of the class attacks in: air units by their class's
// long-range bit, long-range units with an air strike, else direct.
int AttackerMode(const UnitRecord& u, const UnitClassRecord& cls, bool fortified) {
  if (fortified) return kFortifiedMode;
  if (u.kind == kUnitKindAir) return 1 + static_cast<int>(cls.flags & kClassLongRange);
  return (cls.flags & kClassLongRange) && cls.weaponRanges[0] > 0.0f ? 2 : 0;
}

// One side's attack on the other relative to the other's defence; a
// defender without strength, efficiency or defence adds nothing.
float Odds(const UnitRecord& a, const UnitClassRecord& ac, const UnitRecord& d, const UnitClassRecord& dc,
           bool fortified) {
  const float rating = fortified ? Rating(ac.coveredAttack) : Rating(AttackValueAgainst(ac, dc.targetType));
  const float attack = rating * a.efficiency * a.strength;
  const float defence = d.efficiency * d.strength * Rating(dc.defenceValues[AttackerMode(a, ac, fortified)]);
  return defence > 0.0f ? attack / defence : 0.0f;
}

struct Fight {
  int n = 0;
  float ours = 0.0f;
  float theirs = 0.0f;
};

// The enemy around a candidate: hostile ground and facilities, and the
// visible enemy units of the unit's category.
int32_t ScoreSurroundings(const World& world, const HexMapShape& map, const UnitRecord& unit,
                          const UnitClassRecord& cls, const PlayerRecord& owner, uint32_t candidate, Fight& fight) {
  int32_t score = 0;
  for (int e = 0; e < 6; ++e) {
    const int64_t index = HexCellIndex(map, HexNeighbour(map, candidate, e));
    if (index < 0) continue;  // off the map: no hex
    const HexCell& n = world.cells[static_cast<size_t>(index)];
    if (!AtWar(owner, CellOwner(n.word))) continue;
    score += CellLoyalTo(n.word) == (unit.owner & 31) ? kLoyalEnemyNeighbour : kEnemyNeighbour;
    score += FacilityValue(world, LeadOf(n), 1000, 500, 200);
    const bool fortified = Fortified(world, n);
    const HexUnitStack* stack = LoadHexStack(n);
    if (!stack || unit.kind > 3) continue;
    for (const UnitRecord* e2 = stack->chainA[unit.kind]; e2; e2 = e2->nextInChainA) {
      if (!IsUnitLive(*e2) || InReserve(*e2) || !AtWar(owner, e2->owner & 31)) continue;
      if (!UnitVisibleToSide(world, *e2, unit.owner & 31)) continue;
      const UnitClassRecord* ec = UnitClassOf(world, *e2);
      if (!ec) continue;
      ++fight.n;
      fight.ours += Odds(unit, cls, *e2, *ec, fortified);
      fight.theirs += Odds(*e2, *ec, unit, cls, fortified);
    }
  }
  return score;
}

// What stepping from the unit's hex into the candidate costs, the entry
// right included (a refusal is noted against the hex's owner); 0 refuses.
// Ships go by the sea column.
uint32_t StepCost(World& world, const HexMapShape& map, const UnitRecord& unit, const UnitStepState& s,
                  uint32_t to, int d) {
  if (unit.moveKind == kMoveKindSea) {
    const HexCell* cell = HexCellAt(world, map, to);
    return cell ? UnitCrossingCost(world, unit, s.entryMask, *s.cell, *cell, d) : 0;
  }
  MoveRules rules;
  rules.mode = s.movementType;
  rules.ownerMask = s.entryMask;
  rules.mover = unit.owner & 31;
  return MoveCost(world, map, rules, MakeHexPos(unit.x, unit.y), to, d);
}

// Whether the unit is fit to push on: fuel and ammunition at least half,
// not carrying, settled, and not about to reach its mission's goal.
bool FitToAdvance(const World& world, const UnitRecord& unit, const UnitClassRecord& cls) {
  const float fullFuel = FullFuelLoad(cls, unit);
  const float fullAmmo = FullAmmoLoad(world, cls, unit);
  if (fullFuel == 0.0f || fullAmmo == 0.0f || unit.ammo == 0.0f) return false;
  if (!(unit.fuel / fullFuel >= 0.5f) || !(unit.ammo / fullAmmo >= 0.5f)) return false;
  if (unit.cargoNext != 0 || unit.disruption > 0.2f || unit.morale < 0.2f) return false;
  if (unit.orders[kOrderFlags] & kOrderMissionByte)
    return HexDistance(MapShape(world), MakeHexPos(unit.x, unit.y), unit.orders[kDestination]) > 1;
  return true;
}

}  // namespace

AdvanceScore ScoreAdvanceDirection(World& world, const UnitRecord& unit, const UnitStepState& s, int d) {
  AdvanceScore result;
  const UnitClassRecord& cls = *s.cls;
  const PlayerRecord& owner = world.players[unit.owner & 31];
  const HexMapShape map = MapShape(world);
  const uint32_t candidate = HexNeighbour(map, MakeHexPos(unit.x, unit.y), d);
  HexCell* cell = HexCellAt(world, map, candidate);
  if (!cell) return result;  // off the map: no hex to advance into
  const uint32_t cost = StepCost(world, map, unit, s, candidate, d);
  if (cost == 0) return result;
  result.open = true;
  result.hex = candidate;
  int32_t score = 0;
  Fight fight;
  // An owner at war with nobody finds no enemy hex or unit around: the
  // surroundings are not looked at.
  if (AtWarWithAnyone(owner)) {
    if (AtWar(owner, CellOwner(cell->word))) {
      score = CellLoyalTo(cell->word) == (unit.owner & 31) ? kLoyalEnemyHex : kEnemyHex;
      score += FacilityValue(world, LeadOf(*cell), 1500, 1000, 750);
    }
    score += ScoreSurroundings(world, map, unit, cls, owner, candidate, fight);
  }
  if (score != 0) {
    score += kStepBase - static_cast<int32_t>(cost);
    if (unit.id % 6 == static_cast<uint32_t>(d)) score += kIdDirection;
    if (unit.fuel > 0.75f * FullFuelLoad(cls, unit)) {
      if (HeadingDirection(unit.heading) == d) score += kHeadingAhead;
    } else {
      const int back = 5 - unit.heading;
      if (HeadingDirection(back >= 0 ? back : unit.heading) == d) score -= kHeadingBack;
    }
  }
  if (fight.n > 0) {
    const float ratio = fight.ours / static_cast<float>(fight.n);
    if (ratio > fight.theirs) {
      score += kStrongerFight;
    } else if (ratio > fight.theirs / 2.0f) {
      score += kEvenFight;
      result.even = true;
    } else {
      score -= kLosingFight;
    }
  }
  result.score = score;
  return result;
}

void StepAdvance(World& world, UnitRecord& unit, UnitStepState& s) {
  if (!s.advance || !s.cls || !s.cell) return;
  s.advance = false;
  if (!FitToAdvance(world, unit, *s.cls)) return;
  int32_t best = 0;
  uint32_t bestHex = kNoHexPosition;
  bool even = false;
  for (int d = 0; d < 6; ++d) {
    const AdvanceScore a = ScoreAdvanceDirection(world, unit, s, d);
    if (!a.open) continue;
    even = even || a.even;
    if (a.score > best) {
      best = a.score;
      bestHex = a.hex;
    }
  }
  if (bestHex == kNoHexPosition) return;
  UnitResetMoveState(world, 1, unit, bestHex, 0);
  if (even) QueueStackEvent(1, world, unit.owner & 31, kEvenFightEventKind, kEvenFightEventValue, bestHex, 0);
}
