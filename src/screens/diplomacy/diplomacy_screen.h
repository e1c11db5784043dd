#pragma once
// The diplomacy department (main panel 4, DIPLOMACY1): every other region
// with its relation to the local one, the region's panels when a row is
// picked, the buttons to the aid, area-tag, cabinet and score card panels,
// and the local contact boxes. Its panels are the screen set's members
// that follow it in the catalogue.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "ui/screen.h"

inline constexpr const char* kDiplomacyTags[] = {"LIST1",   "WMBUT", "LANDBUT", "REGBUT", "SCORECARD", "CABINET",
                                                 "CENTRE",  "CHAT",  "VOICE",   "MUTE",   "MAIL",      "NEWMAIL",
                                                 "NEGOTBUT", "HIDEBOX", "FAKE"};
// The department's number among the main panels.
inline constexpr int32_t kDiplomacyDepartment = 4;

class DiplomacyScreen : public Screen {
 public:
  DiplomacyScreen() : Screen("DIPLOMACY1", FormLookups{.tags = kDiplomacyTags, .ids = {}}) {}
  // Docks as department 4; the docking's code becomes the id.
  int32_t AttachForm(Control* host) override;
  void OnOpen() override;
  // Refills the region list, keeping its selection and scroll.
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override { DiplomacyOnClick(control, id); }
  // A double click on a region's row opens the deal editor on it.
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;

  // The buttons' and the list's actions; the mail replies call it with the
  // list and a region to open that region's panels.
  void DiplomacyOnClick(Control* control, int32_t id);
  // Clears the list's selection and tells the screen no row is picked.
  void Deselect();
  // Shows the buttons that suit the region picked (0: none picked).
  void ShowRegionButtons(int32_t region);

  int32_t selectedRegion = 0;  // the region whose panels are open, 0 none
  ListBoxControl* regionList = nullptr;  // LIST1
};

// The region a hosted row id names (player 0's row is 100), or 0 when it
// names no region from 1 to the highest player.
int32_t RegionOfRowId(int32_t rowId);

// Installs the mail replies' calls that open a region's panels here, a
// department, and the map at a hex.
void InstallDiplomacyMailHook();
