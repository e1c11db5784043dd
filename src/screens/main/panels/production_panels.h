#pragma once
// The base's production tabs at the dock's third level: automatic
// production (MAP1_ss6d: the classes the base may build, the build controls
// and whether the computer may build here) and the base's production list
// and queue (MAP1_ss6f). Both hand their state to the military screens'
// shared list code. Window thread.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"
#include "screens/common/production/production_list_links.h"
#include "screens/common/units/build_lists.h"
#include "ui/screen.h"

inline constexpr const char* kAutoProductionTags[] = {"LIST5", "STATPARENT", "AUTOBUT", "CONTBUT", "HIDEAUTO",
                                                      "ALLOWAUTO"};
inline constexpr const char* kBaseProductionTags[] = {"PRODLIST", "QUELIST"};

// The branch whose classes a base offers: 2 for a naval base, else 1 for an
// air base, else 0; a facility with a kind of its own (research centre,
// silo, launch site) or none offers branch 0.
int32_t AutoProductionBranch(const UnitClassRecord* facilityClass);
// The mode the production list's events take: the panel's id when it
// shows another screen's list, else 1 on a silo base, else 0.
int32_t ProductionEventMode(intptr_t panelId, const UnitClassRecord* facilityClass);

class AutoProductionPanel : public Screen {
 public:
  AutoProductionPanel();
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;

  BuildListState list;
  int32_t branch = 0;
  ListBoxControl* buildList = nullptr;  // LIST5
  Control* statParent = nullptr;
};

class BaseProductionPanel : public Screen {
 public:
  BaseProductionPanel();
  void OnOpen() override;
  void Refresh() override;
  void BindControls() override;
  void OnCommand(Control* control, int32_t id) override;
  void OnControlChange(Control* control, int32_t id) override;
  void OnActivate(Control* control, int32_t id) override;

  ProductionListState listA;
  ListBoxControl* prodList = nullptr;
  ProductionListState listB;
  ListBoxControl* queList = nullptr;
};
