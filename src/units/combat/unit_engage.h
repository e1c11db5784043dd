#pragma once
// How a unit finds something to shoot at: the best target on one hex, on
// its own hex, and on the hexes around it in the order it faces them.
#include <array>
#include <cstdint>

struct World;
struct UnitRecord;

// Relation codes as a mask: 1 the unit's own side, 2 related, 4 no
// relation, 8 at war; 15 accepts any.
inline constexpr uint32_t kEngageAtWar = 8;
inline constexpr uint32_t kEngageAny = 15;
// Target category 4 stands for the hex's lead unit (its facility).
inline constexpr int kEngageFacility = 4;

// The fire mode the searches use: aircraft bombard with long-range weapons
// and otherwise fire close; others bombard with long-range weapons that
// reach ground targets and otherwise fire directly.
int EngageFireMode(const World& world, const UnitRecord& attacker);

// The six neighbour directions in the order a unit with that facing (0-23)
// looks at them: ahead, then alternately right and left, behind last.
std::array<int, 6> EngageDirections(int facing);

// The score of a target: the attack value over the target's defence value
// in the mode, x1.4 for the unit's present target; 0 when the target has
// no defence left.
float UnitTargetScore(const World& world, const UnitRecord& attacker, const UnitRecord& target, int mode);

// A hex valued as a whole by a bombarding attacker: the sum of the scores
// of the visible enemies of the category standing there, and the one it
// would attack first. Nothing (sum 0, no pick) when the hex is not an
// enemy's or a visible unit of the attacker's side or of a neutral stands
// among them.
struct HexTargetValue {
  float sum = 0.0f;
  UnitRecord* pick = nullptr;
};
HexTargetValue UnitValueHexTargets(World& world, const UnitRecord& attacker, uint32_t position, int category,
                                   int mode);

// Able to fight back: a class that may, ammunition for a shot, an attack
// against ground or air, and not already fallen back once. Such targets
// come first when a unit picks among those of its own kind.
bool UnitFightsBack(const World& world, const UnitRecord& unit);

// Scores the eligible units of the hex in the category and attacks the
// best (a target able to fight back first when the category is the
// attacker's own kind; equal scores to the lower id). 1 when it fired.
int UnitEngageTargets(World& world, UnitRecord& attacker, uint32_t position, int category, uint32_t relationMask,
                      int mode);

// The attacker's own hex, then its neighbours, category by category from
// its own kind on; 1 as soon as one attack was made.
int UnitEngageOwnHex(World& world, UnitRecord& attacker);
int UnitEngageAdjacent(World& world, UnitRecord& attacker);
