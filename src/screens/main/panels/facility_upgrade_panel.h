#pragma once
// The facility build panel (MAP1_ss1a1), shown while a facility type is
// placed on the map: for the type (the screen's id) and the hex under the
// pointer, how well it would work there, its cost, build time, the hex's
// supply and its output, and whether it may stand there; with the
// placement options. Docks at the third level. Window thread.
#include <cstdint>

#include "ui/screen.h"

inline constexpr const char* kFacilityUpgradeTags[] = {
    "INDICON", "UPGRADE", "TIME",   "HIDEBOX1", "HIDEBOX2",  "SYNTH",     "FACTSTR",   "COST",      "FOUNDATION",
    "SUPPLY",  "HEXCAP",  "INVBUILD", "SHORTBOX2", "SHORTAGE2", "ANNDAYBUT", "MAXOUT", "CONFIRMBUT", "REPEATBUT"};
inline constexpr int32_t kFacilityUpgradeIds[] = {1};

class FacilityUpgradePanel : public Screen {
 public:
  FacilityUpgradePanel()
      : Screen("MAP1_ss1a1", FormLookups{.tags = kFacilityUpgradeTags, .ids = kFacilityUpgradeIds}) {}
  void BindControls() override;
  // Opens the dock three deep.
  void OnOpen() override;
  void Refresh() override;
  // ANNDAYBUT sets the period, CONFIRMBUT and REPEATBUT the placement
  // options.
  void OnCommand(Control* control, int32_t id) override;
};
