#pragma once
// The combat odds pop-up (MAP3) in the side-panel box: the selected units
// (the attackers) set against the units the local player sees on the target
// hex (the defenders). Each side shows its units, greatest range, strength,
// attack and defence, and its average morale, experience and efficiency;
// between them the distance, and the target's name, terrain and owner.
// Window thread; reads the world under the simulation lock and posts
// nothing.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

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

class CombatOddsPopup : public Screen {
 public:
  CombatOddsPopup() : Screen("MAP3", FormLookups{.tags = kCombatOddsTags, .ids = kCombatOddsIds}) {}
  // Takes the whole side-panel box of the side screens column.
  int32_t AttachForm(Control* host) override;
  // Makes the two lists and finds the side panels.
  void BindControls() override;
  // Only with the side screens on: the target's units again, then the odds.
  void Refresh() override;
  // OINF and DINF show the chosen unit of their side.
  void OnCommand(Control* control, int32_t id) override;
  // A unit activated in either list is shown with the rest of its side.
  void OnActivate(Control* control, int32_t id) override;

  ListBoxControl* attackers = nullptr;  // OLIST
  ListBoxControl* defenders = nullptr;  // DLIST
  Control* attackSide = nullptr;        // OPAR
  Control* attackFactors = nullptr;     // OPAR2
  Control* defenceSide = nullptr;       // DPAR
  Control* defenceFactors = nullptr;    // DPAR2

 private:
  void ShowUnitOf(ListBoxControl* list, int32_t rowId);
};
