#pragma once
// Whether a carried missile may be launched now at a hex or a unit, and why
// not: one judgement that the launch itself and the screens that aim and
// launch missiles share, so that a launch a screen offers is the launch the
// simulation makes, and one it refuses is refused for the same reason.
// The caller holds the simulation lock.
#include <cstdint>

struct World;
struct UnitRecord;

enum class LaunchBar : uint8_t {
  kNone,              // it may go
  kNoMissile,         // no missile left in the stock, or it rides in nothing
  kNoTarget,          // aimed at no hex of the map
  kHeldByRules,       // the rules of engagement do not release its kind
  kTargetLost,        // the target unit is gone, carried or out of sight
  kNotAtWar,          // the target unit's region is not at war with the owner
  kCannotStrikeUnit,  // its warhead does nothing to that kind of unit (it waits)
  kNothingToStrike,   // the hex holds no facility nor enemy unit it may strike
  kCannotStrikeFacility,  // its warhead does nothing to the hex's facility
  kOwnGround,         // the hex is the owner's or a friend's
  kOutOfReach,        // beyond its reach from its carrier (it waits)
  kOthersInHex,       // an area weapon, and units not at war stand there too (it waits)
};

struct LaunchVerdict {
  LaunchBar bar = LaunchBar::kNoTarget;
  int32_t distance = -1;  // hexes from the carrier to the target; -1 when unknown
  int32_t reach = 0;      // the missile's reach in hexes
  int32_t strikes = 0;    // the class of what it would strike (the unit or the hex's facility); 0 none
  int32_t hexOwner = 0;   // the region the target hex belongs to
  uint32_t unit = 0;      // aimed at a hex without a facility: the enemy unit there it strikes
};

// Judges a launch of the carried stock at the packed hex, or at the unit
// `targetUnit` when that is not 0 (its hex then counts), from its carrier.
// Aimed at a hex without a facility, the missile strikes an enemy unit
// standing there (`unit`).
// With `rules` the rules of engagement are judged too; the launch step
// judges them apart, since a held order waits for them.
LaunchVerdict JudgeLaunch(World& world, const UnitRecord& stock, uint32_t hex, uint32_t targetUnit, bool rules);

// Whether the bar gives the order up (rather than keep it waiting).
bool LaunchBarAbandons(LaunchBar bar);

// What the screens say of the bar, short enough for a panel's line:
// "Out of reach", "Not at war"; "" for kNone.
const char* LaunchBarText(LaunchBar bar);

// The message that tells the owner why its launch order was given up or
// waits; 0 for kNone and for the rules' hold, which has messages of its own.
uint32_t LaunchBarMessage(LaunchBar bar);
