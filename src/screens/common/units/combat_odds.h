#pragma once
// The odds of a fight between the selected units and those the local
// player sees on a target hex, as the main screen's combat odds pop-up and
// the military orders' odds panel show them: each side's units, range,
// strength, attack and defence, its average morale, experience and
// efficiency, and between them the distance and the target's name,
// terrain and owner. Window thread; reads the world under the simulation
// lock.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

inline constexpr const char* kCombatOddsTags[] = {"OLIST",    "DLIST",    "OPAR",    "OPAR2",      "DPAR",
                                                  "DPAR2",    "PAR3",     "DISTANCE", "FLAGHIDE",  "TERRAIN",
                                                  "TARGETNAME", "FLAG",   "OINF",    "DINF"};
// The verdict line between the sides.
inline constexpr int32_t kCombatVerdictId = 25;
inline constexpr int32_t kCombatOddsIds[] = {kCombatVerdictId};

// Children of a side's panel (OPAR, DPAR) and of its factor panel (OPAR2,
// DPAR2), by id.
inline constexpr int32_t kCombatRangeId = 5;
inline constexpr int32_t kCombatListId = 6;
inline constexpr int32_t kCombatStrengthId = 7;
inline constexpr int32_t kCombatAttackBarId = 9;
inline constexpr int32_t kCombatDefenceBarId = 11;
inline constexpr int32_t kCombatMoraleBarId = 13;
inline constexpr int32_t kCombatExperienceBarId = 14;
inline constexpr int32_t kCombatEfficiencyBarId = 15;
inline constexpr int32_t kCombatCoverBarId = 16;
inline constexpr int32_t kCombatSpareBarId = 19;

// What one unit, or a whole side, brings to a fight.
struct CombatFigures {
  float maxRange = 0.0f;
  float strength = 0.0f;
  float attack = 0.0f;
  float defence = 0.0f;
};

// A class's attack or defence byte as it weighs: above 150 it counts
// quadratically beyond it.
float CombatRating(uint8_t value);
// The unit's figures where it stands: its greatest weapon range (short
// ranges boosted, long ranges by its owner's technology), strength, and its
// attack and defence with its training, the terrain it is suited to and,
// unless it flies, the cover of its hex. A class-less unit brings nothing.
CombatFigures UnitCombatFigures(const World& world, const UnitRecord& unit);
// The side's figures: the greatest range and the sums of the others.
CombatFigures SideCombatFigures(const World& world, const ListHolder& units);

// Where the odds are measured: the attackers stand on the first selected
// unit's hex (the selected hex when none is selected); the target is the
// selected hex while the map's target is locked, else the hex under the
// pointer. Packed hexes, 0 for none.
uint32_t CombatOriginHex(const World& world, ScreenSet& screens);
uint32_t CombatTargetHex(const World& world, const ScreenSet& screens);

// One side's panel: its list (id 6), greatest range (5), strength (7) and
// the attack (9) and defence (11) bars. Returns the side's figures. Under
// the simulation lock.
CombatFigures FillCombatSide(Control* panel, ListHolder& units);
// One side's factor panel: the strength-weighted averages of morale (13),
// experience (14) and efficiency (15), the cover of the hex (16) and an
// empty bar (19). Under the simulation lock.
void FillCombatFactors(Control* panel, const ListHolder& units, uint32_t hex);
// The whole pop-up for the target hex, the target list being the hex-stack
// list. Under the simulation lock.
void FillCombatOdds(Control* form, uint32_t targetHex);
