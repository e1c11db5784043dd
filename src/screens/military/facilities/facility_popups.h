#pragma once
// The launch site (POPUP_LAUNCH1) and depot (POPUP_DEPOT1) pop-ups, each on
// one of the local player's facilities of its kind and stepping through the
// others. Window thread.
#include <cstdint>
#include <memory>

#include "screens/common/facilities/facility_popup.h"

class Control;

class LaunchSitePopup : public FacilityPopup {
 public:
  LaunchSitePopup() : FacilityPopup("POPUP_LAUNCH1", FormLookups{.tags = kTags, .ids = kIds}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;

  int32_t satelliteType = 0;  // 0 to 2
  Control* subParent3 = nullptr;
  Control* satParent2 = nullptr;  // the satellites panel

 private:
  static constexpr const char* kTags[] = {"BASENAME", "REGION",     "HIDEBOX",    "SUBPARENT3", "SATPARENT2",
                                          "LAUNCH",   "SATTYPE",    "LAUNCHCOST", "RENBASEBUT", "CLOSEBUT"};
  static constexpr int32_t kIds[] = {20, 21, 22};
};

std::unique_ptr<Screen> MakeDepotPopup();
