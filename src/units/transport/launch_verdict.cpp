#include "units/transport/launch_verdict.h"

#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/player_relations.h"
#include "records/unit_record.h"
#include "sim/message_ids.h"
#include "units/class_fields.h"
#include "units/combat/fire_sight.h"
#include "units/hex_geometry.h"
#include "units/step/unit_step_phases.h"
#include "units/transport/carrier_launch.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"
#include "world/movement_types.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

uint32_t RelationOf(const World& world, int from, int to) {
  return RelationClassOf(world.players[from & 31], 1, to & 31);
}

// The attack type a target presents: a flying aircraft is struck as one in
// the air, a fast boat or submarine as a ship, anything else by its class's
// target type, as the strike itself fires.
int TargetTypeOf(const UnitRecord& target, const UnitClassRecord& tc) {
  const bool flying = target.kind == kUnitKindAir && !(target.orders[kOrderFlags] & kOrderEngaged) &&
                      !(target.unitFlags & kUnitMoved) &&
                      (tc.movementType != kCarrierAircraft || (target.unitFlags & kUnitInBase));
  if (flying) return 0;
  int type = tc.targetType;
  if ((type == 4 || type == 5) && (target.unitFlags & kUnitSpeedBonus)) type = 3;
  return type;
}

// An area weapon strikes what stands in the hex's land and sea chains: it
// needs an enemy there, or ground not the owner's nor a friend's, and waits
// while units not at war with the owner stand there too.
LaunchBar StandingTargets(World& world, int me, HexCell& cell, bool friendlyHex) {
  const HexUnitStack* stack = LoadHexStack(cell);
  int hostile = 0;
  bool other = false;
  for (const int category : {0, 2}) {
    for (const UnitRecord* u = stack ? stack->chainA[category] : nullptr; u; u = u->nextInChainA) {
      if (!IsUnitLive(*u) || InReserve(*u) || !UnitVisibleToSide(world, *u, me)) continue;
      if (RelationOf(world, me, u->owner) == kRelationHostile)
        ++hostile;
      else
        other = true;
    }
  }
  if (hostile == 0 && friendlyHex) return LaunchBar::kOwnGround;
  return other ? LaunchBar::kOthersInHex : LaunchBar::kNone;
}

// The first unit standing in the hex (land, air, sea and submarine chains,
// in that order) that is at war with the owner, seen by its side and that
// the warhead harms: what a missile aimed at a hex without a facility
// strikes there. Null for none.
const UnitRecord* EnemyInHex(World& world, int me, const UnitClassRecord& cls, HexCell& cell) {
  const HexUnitStack* stack = LoadHexStack(cell);
  for (int category = 0; stack && category < 4; ++category) {
    for (const UnitRecord* u = stack->chainA[category]; u; u = u->nextInChainA) {
      if (!IsUnitLive(*u) || InReserve(*u) || u->carrier != 0 || !UnitVisibleToSide(world, *u, me)) continue;
      const UnitClassRecord* tc = UnitClassOf(world, *u);
      if (tc && RelationOf(world, me, u->owner) == kRelationHostile && AttackValueAgainst(cls, TargetTypeOf(*u, *tc)) != 0)
        return u;
    }
  }
  return nullptr;
}

}  // namespace

LaunchVerdict JudgeLaunch(World& world, const UnitRecord& stock, uint32_t hex, uint32_t targetUnit, bool rules) {
  LaunchVerdict v;
  v.reach = stock.rangeLeft;
  const int me = stock.owner & 31;
  const UnitClassRecord* cls = UnitClassOf(world, stock);
  const UnitRecord* carrier = stock.carrier != 0 ? FindUnitById(world, stock.carrier) : nullptr;
  if (!cls || !carrier || !(stock.strength >= 1.0f)) {
    v.bar = LaunchBar::kNoMissile;
    return v;
  }
  if (rules && LaunchHeldMessage(world, stock, *cls) != 0) {
    v.bar = LaunchBar::kHeldByRules;
    return v;
  }
  const UnitRecord* target = nullptr;
  if (targetUnit != 0) {
    target = FindUnitById(world, targetUnit);
    if (!target || !IsUnitLive(*target) || target->carrier != 0 || !UnitVisibleToSide(world, *target, me)) {
      v.bar = LaunchBar::kTargetLost;
      return v;
    }
    v.strikes = target->classIndex;
    if (RelationOf(world, me, target->owner) != kRelationHostile) {
      v.bar = LaunchBar::kNotAtWar;
      return v;
    }
    hex = unitbytes::UnitPosition(*target);
    const UnitClassRecord* tc = UnitClassOf(world, *target);
    if (!tc || AttackValueAgainst(*cls, TargetTypeOf(*target, *tc)) == 0) {
      v.bar = LaunchBar::kCannotStrikeUnit;
      return v;
    }
  }
  HexCell* cell = hex != kNoHexPosition ? HexCellAt(world, MapShape(world), hex) : nullptr;
  if (!cell) {
    v.bar = LaunchBar::kNoTarget;
    return v;
  }
  v.hexOwner = CellOwner(cell->word);
  v.distance = HexDistance(MapShape(world), unitbytes::UnitPosition(*carrier), hex);
  const bool strikesStanding = (cls->flags & kClassLongRange) != 0;
  const UnitRecord* facility = target || strikesStanding ? nullptr : LiveLeadFacility(*cell);
  if (!strikesStanding && !target && !facility) {
    // No facility: an enemy standing there is the target.
    target = EnemyInHex(world, me, *cls, *cell);
    if (!target) {
      v.bar = LaunchBar::kNothingToStrike;
      return v;
    }
    v.unit = target->id;
  }
  if (facility) v.strikes = facility->classIndex;
  if (target) v.strikes = target->classIndex;
  if (v.distance > stock.rangeLeft) {
    v.bar = LaunchBar::kOutOfReach;
    return v;
  }
  const uint32_t relation = RelationOf(world, me, v.hexOwner);
  const bool friendlyHex = v.hexOwner == me || relation == kRelationFriendly;
  if (strikesStanding) {
    v.bar = StandingTargets(world, me, *cell, friendlyHex);
    return v;
  }
  if (!target) {
    // The strike fires at the facility with the warhead's value against
    // the facility's own kind of target.
    const UnitClassRecord* fc = UnitClassOf(world, *facility);
    if (friendlyHex) {
      v.bar = LaunchBar::kOwnGround;
      return v;
    }
    if (!fc || AttackValueAgainst(*cls, TargetTypeOf(*facility, *fc)) == 0) {
      v.bar = LaunchBar::kCannotStrikeFacility;
      return v;
    }
  }
  v.bar = LaunchBar::kNone;
  return v;
}

bool LaunchBarAbandons(LaunchBar bar) {
  switch (bar) {
    case LaunchBar::kNone:
    case LaunchBar::kNoMissile:
    case LaunchBar::kHeldByRules:
    case LaunchBar::kCannotStrikeUnit:
    case LaunchBar::kOutOfReach:
    case LaunchBar::kOthersInHex: return false;
    default: return true;
  }
}

const char* LaunchBarText(LaunchBar bar) {
  switch (bar) {
    case LaunchBar::kNone: return "";
    case LaunchBar::kNoMissile: return "No missile to launch";
    case LaunchBar::kNoTarget: return "No target";
    case LaunchBar::kHeldByRules: return "Held by the rules";
    case LaunchBar::kTargetLost: return "Target lost from sight";
    case LaunchBar::kNotAtWar: return "Not at war with them";
    case LaunchBar::kCannotStrikeUnit: return "Cannot strike that unit";
    case LaunchBar::kNothingToStrike: return "Nothing to strike there";
    case LaunchBar::kCannotStrikeFacility: return "Cannot strike that";
    case LaunchBar::kOwnGround: return "Own or friendly hex";
    case LaunchBar::kOutOfReach: return "Out of reach";
    case LaunchBar::kOthersInHex: return "Neutrals in the hex";
  }
  return "";
}

uint32_t LaunchBarMessage(LaunchBar bar) {
  switch (bar) {
    case LaunchBar::kNothingToStrike: return kMsgLaunchDropped;
    case LaunchBar::kNoTarget: return kMsgLaunchDroppedNoTarget;
    case LaunchBar::kTargetLost: return kMsgLaunchDroppedTargetLost;
    case LaunchBar::kNotAtWar: return kMsgLaunchDroppedNotAtWar;
    case LaunchBar::kCannotStrikeFacility: return kMsgLaunchDroppedCannotStrike;
    case LaunchBar::kOwnGround: return kMsgLaunchDroppedOwnGround;
    case LaunchBar::kCannotStrikeUnit: return kMsgLaunchWaitsCannotStrikeUnit;
    case LaunchBar::kOutOfReach: return kMsgLaunchWaitsOutOfReach;
    case LaunchBar::kOthersInHex: return kMsgLaunchWaitsOthersInHex;
    default: return 0;
  }
}
