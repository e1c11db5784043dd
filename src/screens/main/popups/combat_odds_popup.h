#pragma once
// The combat odds pop-up (MAP3) in the side-panel box: the selected units
// (the attackers) set against the units the local player sees on the target
// hex (the defenders). Each side shows its units, greatest range, strength,
// attack and defence, and its average morale, experience and efficiency;
// between them the distance, and the target's name, terrain and owner.
// The odds themselves are common/units/combat_odds. Window thread; reads
// the world under the simulation lock and posts nothing.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "screens/common/units/combat_odds.h"
#include "ui/screen.h"

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
