#pragma once
// The facility actions (MAP1_ss6a) under the base panel at the third level
// of the dock: cancel, pause and resume construction, scrap, destroy,
// activate, deactivate, raise capacity, upgrade, set a rally point, rename
// the hex and go to it (common/facilities/facility_actions.h decides and
// carries them out). Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kFacilityActionsPanelTags[] = {
    "CANCON",  "PAUSE",    "RESUME",      "SCRAP",   "DESTROY", "ACTIVATE", "DEACTIVATE", "INSRESBASE",
    "UPCAP",   "UPGBUT",   "RALLYBUT",    "RALLYPARENT", "NAMEBUT", "GOTOBUT", "GRIDDES",  "GRIDNOUPG",
    "GRIDNOTEM", "GRIDUPCAP", "PARENT1",  "PARENT2", "MAINTENANCE"};

class FacilityActionsPanel : public Screen {
 public:
  FacilityActionsPanel() : Screen("MAP1_ss6a", FormLookups{.tags = kFacilityActionsPanelTags, .ids = {}}) {}
  // Docks at the third level; finds the three host controls.
  void BindControls() override;
  void OnOpen() override;
  void Refresh() override;
  void OnCommand(Control* control, int32_t id) override;

  Control* parent1 = nullptr;      // the confirm box, the upgrade and capacity screens
  Control* parent2 = nullptr;      // the reserve panel, or the stop during demolition
  Control* rallyParent = nullptr;  // the rally point panel
};
