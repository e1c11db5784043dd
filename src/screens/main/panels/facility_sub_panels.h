#pragma once
// The three small screens inside the facility actions panel: the box that
// confirms a removal and tells how long it takes (MAP1_ss6b, in PARENT1),
// the base's rally point and its distance (MAP1_ss6c, in RALLYPARENT) and
// the base's yearly cost with the player's reserve (MAP1_ss6e, in PARENT2).
// Window thread.
#include <cstdint>

#include "ui/screen.h"

inline constexpr const char* kFacilityConfirmTags[] = {"DAYS", "BASETEXT", "CONFIRM", "CONFIRM2", "YES", "NO"};
inline constexpr const char* kRallyPointTags[] = {"HEADER", "RALLY", "SELECT", "CENTRE", "DISTANCE", "CITY"};
inline constexpr const char* kReserveForceTags[] = {"ANNCOST", "RESFORCE", "RESUNITS"};

// Its id: 0 scrap, 1 cancel construction, 2 destroy.
class FacilityConfirmBox : public Screen {
 public:
  FacilityConfirmBox() : Screen("MAP1_ss6b", FormLookups{.tags = kFacilityConfirmTags, .ids = {}}) {}
  void BindControls() override;
  void Refresh() override;
  // YES removes the facility, NO does nothing; both return to the actions.
  void OnCommand(Control* control, int32_t id) override;
};

// Its id: 0 no rally point, 1 a rally point set, 2 picking one on the map.
class RallyPointPanel : public Screen {
 public:
  RallyPointPanel() : Screen("MAP1_ss6c", FormLookups{.tags = kRallyPointTags, .ids = {}}) {}
  void BindControls() override;
  void Refresh() override;
  // CENTRE centres the map on the shown point.
  void OnCommand(Control* control, int32_t id) override;

  uint32_t shownPoint = 0;  // packed; 0 none
};

class ReserveForcePanel : public Screen {
 public:
  ReserveForcePanel() : Screen("MAP1_ss6e", FormLookups{.tags = kReserveForceTags, .ids = {}}) {}
  void BindControls() override;
  void Refresh() override;
};
