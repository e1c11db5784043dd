#include "units/combat/unit_engage.h"

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "units/class_fields.h"
#include "units/combat/fire_sight.h"
#include "units/hex_capture.h"
#include "units/hex_geometry.h"
#include "units/combat/unit_attack.h"
#include "world/unit_class.h"
#include "units/combat/unit_fire.h"
#include "units/combat/best_unit.h"
#include "world/hex_extra.h"
#include "world/world.h"
#include "records/unit_table_arrays.h"

namespace {

namespace cf = classfields;

constexpr float kPresentTargetBonus = 1.4f;
constexpr int kRelationCodeAtWar = 8;

HexUnitStack* StackAt(World& world, uint32_t position) {
  HexCell* cell = HexCellAt(world, MapShape(world), position);
  return cell ? LoadHexStack(*cell) : nullptr;
}

// The relation code of the attacker's owner towards the unit's (its own
// side 1 here) must be one the mask accepts.
bool RelationAccepted(const World& world, const UnitRecord& a, const UnitRecord& u, uint32_t mask) {
  if (mask == kEngageAny) return true;
  const int code = RelationCode(world, a.owner & 31, u.owner & 31);
  return (static_cast<uint32_t>(code) & mask) != 0;
}

bool Eligible(const World& world, const UnitRecord& a, const UnitRecord& u, uint32_t mask, bool scoring) {
  if (!IsUnitLive(u) || InReserve(u) || (u.unitFlags & kUnitProvisional)) return false;
  if (scoring && u.carrier != 0) return false;
  return UnitVisibleToSide(world, u, a.owner) && RelationAccepted(world, a, u, mask);
}

int CountEligible(const World& world, const UnitRecord& a, const HexUnitStack& stack, int category, uint32_t mask) {
  int n = 0;
  if (category == kEngageFacility && stack.lead && Eligible(world, a, *stack.lead, mask, false)) ++n;
  const int chain = category == kEngageFacility ? 0 : category;
  for (const UnitRecord* u = stack.chainA[chain]; u; u = u->nextInChainA) n += Eligible(world, a, *u, mask, false) ? 1 : 0;
  return n;
}

}  // namespace

bool UnitFightsBack(const World& world, const UnitRecord& u) {
  const UnitClassRecord* cls = UnitClassOf(world, u);
  if (!cls || (cls->flags & kClassHaltsOnMove)) return false;  // the flag also keeps it from fighting back
  if (cls->ammoPerShot * u.strength > u.ammo) return false;
  if (cls->attackValues[0] == 0 && cls->attackValues[1] == 0) return false;
  return !(u.unitFlags & kUnitMovesWhileTurning);
}

namespace {

int FrameDirection(int frame) {
  if (frame >= 3 && frame <= 6) return 2;
  if (frame >= 7 && frame <= 10) return 5;
  if (frame >= 11 && frame <= 14) return 4;
  if (frame >= 15 && frame <= 18) return 3;
  if (frame >= 19 && frame <= 22) return 0;
  return 1;
}

bool HasRange(const World& world, const UnitRecord& a, int category) {
  const UnitClassRecord* cls = UnitClassOf(world, a);
  return cls && cls->weaponRanges[category] != 0.0f;
}

}  // namespace

int EngageFireMode(const World& world, const UnitRecord& a) {
  const UnitClassRecord* cls = UnitClassOf(world, a);
  const bool longRange = cls && (cls->flags & kClassLongRange);
  if (a.kind == kUnitKindAir) return longRange ? kFireBombard : kFireClose;
  return longRange && cls->weaponRanges[0] != 0.0f ? kFireBombard : kFireDirect;
}

std::array<int, 6> EngageDirections(int facing) {
  std::array<int, 6> out{};
  for (int i = 0; i < 6; ++i) {
    int frame = (i % 2 == 0) ? facing - (i / 2) * 4 : facing + 4 + (i / 2) * 4;
    frame = ((frame % 24) + 24) % 24;
    out[static_cast<size_t>(i)] = FrameDirection(frame);
  }
  return out;
}

float UnitTargetScore(const World& world, const UnitRecord& a, const UnitRecord& t, int mode) {
  const FireValues fv = UnitFireValues(world, a, t, mode);
  // A target with no defence (no strength) gives no score.
  if (!(fv.defence > 0.0f)) return 0.0f;
  const float score = fv.attack / fv.defence;
  return t.id == a.orders[kFireUnit] ? score * kPresentTargetBonus : score;
}

HexTargetValue UnitValueHexTargets(World& world, const UnitRecord& a, uint32_t position, int category, int mode) {
  HexTargetValue out;
  HexCell* cell = HexCellAt(world, MapShape(world), position);
  HexUnitStack* stack = cell ? LoadHexStack(*cell) : nullptr;
  if (!stack || category < 0 || category > 3) return out;
  if (RelationCode(world, a.owner & 31, CellOwner(cell->word)) != kRelationCodeAtWar) return out;
  auto standing = [&](const UnitRecord& u) {
    return !(u.unitFlags & kUnitGone) && u.classIndex != 0 && !InReserve(u) && UnitVisibleToSide(world, u, a.owner);
  };
  // A hex where the attacker's own side or a neutral stands is spared.
  for (const UnitRecord* u = stack->chainA[category]; u; u = u->nextInChainA)
    if (standing(*u) && RelationCode(world, a.owner & 31, u->owner & 31) != kRelationCodeAtWar) return out;
  const bool ownKind = (category < 2 ? category : 2) == a.moveKind;
  BestUnit primary;
  BestUnit secondary;
  for (UnitRecord* u = stack->chainA[category]; u; u = u->nextInChainA) {
    if (!standing(*u) || u->carrier != 0) continue;
    const float score = UnitTargetScore(world, a, *u, mode);
    if (!(score > 0.0f)) continue;
    out.sum = out.sum + score;
    const bool isPrimary = !ownKind || u->kind == kUnitKindAir || u->kind == kUnitKindSubmarine || UnitFightsBack(world, *u);
    (isPrimary ? primary : secondary).Offer(*u, score);
  }
  out.pick = primary.unit ? primary.unit : secondary.unit;
  return out;
}

int UnitEngageTargets(World& world, UnitRecord& a, uint32_t position, int category, uint32_t mask, int mode) {
  HexUnitStack* stack = StackAt(world, position);
  if (!stack || category < 0 || category > kEngageFacility) return 0;
  if (CountEligible(world, a, *stack, category, mask) == 0) return 0;
  const bool ownKind = (category < 2 ? category : 2) == a.moveKind;
  BestUnit primary;
  BestUnit secondary;
  auto consider = [&](UnitRecord& t) {
    if (!Eligible(world, a, t, mask, true)) return;
    const float score = UnitTargetScore(world, a, t, mode);
    if (!(score > 0.0f)) return;
    const bool isPrimary = !ownKind || t.kind == kUnitKindAir || t.kind == kUnitKindSubmarine || UnitFightsBack(world, t);
    (isPrimary ? primary : secondary).Offer(t, score);
  };
  if (category == 0 || category == kEngageFacility) {
    if (stack->lead) consider(*stack->lead);
    for (UnitRecord* u = stack->chainA[0]; u; u = u->nextInChainA) consider(*u);
  } else {
    for (UnitRecord* u = stack->chainA[category]; u; u = u->nextInChainA) consider(*u);
  }
  UnitRecord* pick = primary.unit ? primary.unit : secondary.unit;
  if (!pick) return 0;
  return UnitAttackTarget(world, a, *pick, mode);
}

int UnitEngageOwnHex(World& world, UnitRecord& a) {
  const int mode = EngageFireMode(world, a);
  const uint32_t here = MakeHexPos(a.x, a.y);
  for (int j = 0; j < 4; ++j) {
    const int c = (a.kind + j) % 4;
    if (HasRange(world, a, c) && UnitEngageTargets(world, a, here, c, kEngageAtWar, mode) != 0) return 1;
  }
  return 0;
}

int UnitEngageAdjacent(World& world, UnitRecord& a) {
  const int mode = EngageFireMode(world, a);
  const HexMapShape map = MapShape(world);
  const uint32_t here = MakeHexPos(a.x, a.y);
  uint32_t around[6] = {};
  const std::array<int, 6> directions = EngageDirections(a.heading);
  for (int i = 0; i < 6; ++i) around[i] = HexNeighbour(map, here, directions[static_cast<size_t>(i)]);
  for (int j = 0; j < 4; ++j) {
    const int c = (a.kind + j) % 4;
    if (!HasRange(world, a, c)) continue;
    for (uint32_t next : around) {
      if (next == kNoHexPosition) continue;
      HexUnitStack* stack = StackAt(world, next);
      if (!stack || CountEligible(world, a, *stack, c, kEngageAtWar) == 0) continue;
      if (UnitEngageTargets(world, a, next, c, kEngageAtWar, mode) != 0) return 1;
    }
  }
  return 0;
}
