// Over-stacking: a hex holds at most seven ready units of one category. A
// unit whose hex is over the limit sends the owner's surplus one hex away,
// each to the neighbour holding the fewest, turning out from its heading.
#include <climits>
#include <cstdint>

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_relations.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "units/class_fields.h"
#include "units/combat/fire_sight.h"
#include "units/hex_geometry.h"
#include "units/paths/move_cost.h"
#include "units/paths/move_restart.h"
#include "world/unit_class.h"
#include "units/step/unit_step_phases.h"
#include "world/hex_extra.h"
#include "world/unit_class_flags.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"

namespace {

namespace cf = classfields;

constexpr int kStackLimit = 7;
// A neighbour the surplus may not go to.
constexpr int32_t kClosed = -1;

bool Ready(const UnitRecord& u) { return IsUnitLive(u) && !InReserve(u); }

uint32_t DispersalEntryMask(const PlayerRecord& owner, uint8_t moveKind) {
  const uint32_t roe = owner.simPolicy.roeFlags;
  const uint32_t granted = PlayerAccessMask(owner, moveKind);
  const uint32_t war = owner.simPolicy.hostileMask;
  uint32_t mask = 1u << (owner.number & 31);
  if (roe & kRoeGranted) mask |= granted;
  if (roe & kRoeAtWar) mask |= war;
  if (roe & kRoeOthers) mask |= ~(granted | war);
  // The same rule as the unit's own entry rights: the setting keeps ships
  // out of unowned water, so they are not sent there either.
  const bool unowned = moveKind == kMoveKindSea ? (roe & kRoeNoUnownedSea) == 0 : (roe & kRoeUnowned) != 0;
  return unowned ? (mask | 1u) : (mask & ~1u);
}

// A visible enemy stands on the hex (in any of its four categories).
bool HoldsVisibleEnemy(const World& world, const HexUnitStack& stack, const PlayerRecord& owner) {
  for (const UnitRecord* head : stack.chainA)
    for (const UnitRecord* u = head; u; u = u->nextInChainA)
      if (Ready(*u) && RelationClassOf(owner, 1, u->owner & 31) == kRelationHostile &&
          UnitVisibleToSide(world, *u, owner.number & 31))
        return true;
  return false;
}

int ReadyCount(const UnitRecord* head) {
  int n = 0;
  for (const UnitRecord* u = head; u; u = u->nextInChainA)
    if (Ready(*u)) ++n;
  return n;
}

// Per direction, the ready units of the category on the neighbour, or
// kClosed for a neighbour off the map, closed to the owner or holding a
// visible enemy: no unit is sent there.
void CountNeighbours(World& world, const HexMapShape& map, const UnitRecord& unit, int32_t counts[6]) {
  const PlayerRecord& owner = world.players[unit.owner & 31];
  const uint32_t mask = DispersalEntryMask(owner, unit.moveKind);
  const uint32_t here = MakeHexPos(unit.x, unit.y);
  for (int d = 0; d < 6; ++d) {
    counts[d] = kClosed;
    const HexCell* n = HexCellAt(world, map, HexNeighbour(map, here, d));
    if (!n || !(mask & (1u << CellOwner(n->word)))) continue;
    const HexUnitStack* stack = LoadHexStack(*n);
    if (stack && HoldsVisibleEnemy(world, *stack, owner)) continue;
    counts[d] = stack ? ReadyCount(stack->chainA[unit.kind]) : 0;
  }
}

// Units the first pass leaves in place: those on watch for their goal or in
// a base, and fighting units of the land and sea kinds that are fit to
// fight where they stand.
bool KeptInFirstPass(const World& world, const UnitRecord& u) {
  if ((u.orders[kOrderFlags] & kOrderGoalCheck) || (u.unitFlags & kUnitInBase)) return true;
  if (u.kind == kUnitKindAir || u.kind == kUnitKindSubmarine) return false;
  const UnitClassRecord* cls = UnitClassOf(world, u);
  if (!cls) return true;
  return (cls->flags & kClassHaltsOnMove) != 0 || u.ammo < cls->ammoPerShot * u.strength ||
         (cls->attackValues[0] == 0 && cls->attackValues[1] == 0) || (u.unitFlags & kUnitMovesWhileTurning);
}

// The direction a unit leaves by: around its heading, in the order ahead,
// right, left, further right, further left, back, to the open neighbour
// with the fewest units (the earlier on a tie); kNoMove when none is open.
int LeavingDirection(World& world, const UnitRecord& u, const int32_t counts[6]) {
  static constexpr int kTurns[6] = {0, 1, -1, 2, -2, 3};
  const UnitClassRecord* cls = UnitClassOf(world, u);
  if (!cls) return kNoMove;
  const HexMapShape map = MapShape(world);
  const uint32_t here = MakeHexPos(u.x, u.y);
  const int h = HeadingDirection(u.heading);
  int best = kNoMove;
  int32_t bestCount = INT32_MAX;
  for (const int turn : kTurns) {
    int c = h + turn;
    if (c < 0) c += 6;
    if (c > 5) c -= 6;
    if (h <= 2 && c >= 3) c = 8 - c;
    else if (h >= 3 && c <= 2) c = 2 - c;
    if (counts[c] == kClosed || !(counts[c] < bestCount)) continue;
    const HexCell* n = HexCellAt(world, map, HexNeighbour(map, here, c));
    if (!n) continue;
    const int32_t cost = CrossingCost(world, cls->movementType, false, *n, *n, kNoMove);
    if (cost == kRefused || cost == 0) continue;
    best = c;
    bestCount = counts[c];
  }
  return best;
}

}  // namespace

void StepOverStacking(World& world, UnitRecord& unit, UnitStepState& s) {
  if (s.decisionsHeld || !(unit.unitFlags & kUnitOverStacked) || !s.cell || unit.kind > kUnitKindSubmarine) return;
  HexUnitStack* stack = LoadHexStack(*s.cell);
  if (!stack || !stack->chainA[unit.kind]) return;
  UnitRecord* const head = stack->chainA[unit.kind];
  int surplus = ReadyCount(head) - kStackLimit;
  for (UnitRecord* u = head; u; u = u->nextInChainA)
    if (u->owner == unit.owner) u->unitFlags &= ~kUnitOverStacked;
  if (surplus < 1) return;
  const HexMapShape map = MapShape(world);
  int32_t counts[6];
  CountNeighbours(world, map, unit, counts);
  for (int pass = 0; pass < 2; ++pass) {
    // A moved unit stays in the chain until it crosses, so the walk is safe.
    for (UnitRecord* u = head; u && surplus >= 1; u = u->nextInChainA) {
      if (u->owner != unit.owner || !Ready(*u)) continue;
      if (u->orders[kOrderFlags] & kOrderMissionByte) {
        if (pass == 0) --surplus;  // it leaves under its own orders
        continue;
      }
      if (pass == 0 && KeptInFirstPass(world, *u)) continue;
      const int d = LeavingDirection(world, *u, counts);
      if (d == kNoMove) continue;  // nowhere open to go: it stays
      ++counts[d];
      UnitResetMoveState(world, 0, *u, HexNeighbour(map, MakeHexPos(u->x, u->y), d), 1);
      --surplus;
    }
    if (surplus < 1) return;
  }
}
