#include "screens/economy/policy/policy_facility_list.h"

#include <algorithm>

#include "platform/fpenv.h"
#include "records/unit_record.h"
#include "screens/common/facilities/facility_list_services.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/string_control.h"
#include "world/list_holder.h"
#include "world/world.h"

void FacilityConditionPanel::BindControls() { hostLink = &g_screens.policyScreen.facilityList.prodParent; }

void FacilityConditionPanel::Refresh() {
  Control* f = currentForm;
  if (!f) return;
  float value = 0.0f;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    if (const UnitRecord* u = CurrentFacility(g_screens, g_world)) value = u->strength;
  }
  char text[16];
  plat::FormatText(text, sizeof text, "%3.0f %%", static_cast<double>(std::min(value, 1.0f) * 100.0f));
  SetControlText(FormFindControlByTag(f, "CONDITION"), text);
}

void PolicyFacilityListPanel::OnOpen() {
  ResetListView(facilList);
  ScreenSlotResetMapMode(g_screens);
  if (prodParent) condition.Show(kKeepScreenId, prodParent);
}

void PolicyFacilityListPanel::BindControls() {
  DockInBotbar2(*this);
  facilList = MakeListBox("FACILLIST", 0, currentForm, kListIndicators, this);
  prodParent = currentForm ? FormFindControlByTag(currentForm, "PRODPARENT") : nullptr;
}

void PolicyFacilityListPanel::Refresh() {
  if (!facilList) return;
  const SavedListView view = SaveListView(facilList);
  ListClear(facilList, 1);
  ListHolder found{};
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    // By the installations' type, as the research pop-up finds its centres:
    // a centre class without the site flag has no facility category.
    CollectFacilitiesAvailableFirst(g_world, CollectFacilityArgs{.resultList = &found,
                                                                 .owner = g_world.gameState.localPlayer,
                                                                 .facilityType = kDomesticSiteKind});
  }
  AddFacilityRows(facilList, found, *g_screens.baseStatusFill);
  ListHolderClear(found);
  RestoreListView(facilList, view);
}

void PolicyFacilityListPanel::OnCommand(Control* control, int32_t id) {
  FacilityListCommand(g_screens, currentForm, control, id, facilList, &g_screens.buildOrderPanel, 1);
}

void PolicyFacilityListPanel::OnActivate(Control* control, int32_t id) {
  if (control && control == facilList && id != 0) OpenFacilityRowPopup(g_screens, id);
}

void PolicyFacilityListPanel::OnControlChange(Control* control, int32_t id) {
  if (control && control == facilList) FacilityListRow(g_screens, currentForm, id, &condition);
}
