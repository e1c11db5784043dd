#pragma once
// The silo pop-up (POPUP_SILO1): one of the local player's missile silos
// with its header, its stock against its capacity, the player's stored
// missiles and the silo's own missiles with their targets and launch
// schedules. The panels reuse the map's silo panel operations, so a silo
// behaves alike wherever it is opened. Opened with the silo's unit id and
// the ids of the player's other silos to step through. Window thread.
#include <cstdint>
#include <memory>

#include "screens/common/facilities/facility_popup.h"
#include "screens/military/silo/silo_panels.h"
#include "ui/screen.h"
#include "world/list_holder.h"

class Control;
class ListBoxControl;

inline constexpr const char* kSiloPopupTags[] = {"BASENAME", "REGION",    "SUBPARENT3", "SUBPARENT4", "STATPARENT",
                                                 "MPARENT2", "HIDEBOX",   "STOREDLIST", "SILO1",      "SILO2",
                                                 "OFFLINE",  "CONSTRUCT", "RENBASEBUT", "CLOSEBUT"};
inline constexpr const char* kSiloMissileTags[] = {"LIST1", "MISPARENT2", "ICBMHEADER"};

class SiloPopup : public FacilityPopup {
 public:
  SiloPopup() : FacilityPopup("POPUP_SILO1", FormLookups{.tags = kSiloPopupTags, .ids = {}}) {}
  ~SiloPopup() override;
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  int32_t Close(int32_t noReturn = 0) override;

  ListHolder stored{};  // the player's stored missiles, as the list shows them
  ListBoxControl* storedList = nullptr;
  Control* subParent3 = nullptr;
  Control* subParent4 = nullptr;
  Control* statParent = nullptr;
  Control* mParent2 = nullptr;
};

class SiloMissilePanel : public Screen {
 public:
  SiloMissilePanel() : Screen("POPUP_SILO1g", FormLookups{.tags = kSiloMissileTags, .ids = {}}) {}
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override { OnSiloListEvent(control, id); }
  void OnControlChange(Control* control, int32_t id) override;

  ListBoxControl* list = nullptr;
  Control* misParent2 = nullptr;
};

// The missile's target box, in the missile panel's MISPARENT2.
std::unique_ptr<Screen> MakeSiloTargetPanel();

// The missile's launch schedule, with its own schedule box in CALPARENT.
std::unique_ptr<Screen> MakeSiloSchedulePanel();
