#include "screens/main/panels/facility_actions_panel.h"

#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/common/facilities/facility_actions.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/frame/side_bars.h"
#include "screens/main/panels/map_screen.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "world/world.h"

namespace {

// The rally point panel's ids.
constexpr intptr_t kRallyNone = 0;
constexpr intptr_t kRallySet = 1;
constexpr intptr_t kRallyPicking = 2;

}  // namespace

void FacilityActionsPanel::BindControls() {
  DockInSecondBotbar2(*this);
  parent1 = Tag(currentForm, "PARENT1");
  parent2 = Tag(currentForm, "PARENT2");
  rallyParent = Tag(currentForm, "RALLYPARENT");
}

void FacilityActionsPanel::OnOpen() {
  SetHidden(parent1, true);
  ScreenSlotSelectMapMode(g_screens);
}

void FacilityActionsPanel::Refresh() {
  Control* f = currentForm;
  if (!f) return;
  MapScreen& map = g_screens.mapScreen;
  FacilityView v;
  bool demolishing = false, reserveBase = false, rallyPoint = false;
  float upkeep = 0.0f;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    v = ViewSelectedFacility(w);
    if (v.present) {
      demolishing = (v.present->ordersShown[kStateFlags] & kStateModeC) != 0;
      rallyPoint = v.present->ordersShown[kDestination] != 0;
      reserveBase = v.cls && IsReserveBaseClass(*v.cls);
    }
    upkeep = FacilityUpkeepPerYear(w, v);
  }
  if (!v.cell || !v.ownHex) {
    // Another player's hex: this level closes rather than show its facility.
    ScreenSlotResetMapMode(g_screens);
    return;
  }
  const intptr_t rallyId = g_screens.mapClickMode == kClickObjectDestination ? kRallyPicking
                           : rallyPoint                                       ? kRallySet
                                                                              : kRallyNone;
  map.rallyPointPanel.Show(rallyId, rallyParent);
  UpdateFacilityActionButtons(f, v.cellIndex);
  SetHidden(parent2, true);
  if (demolishing) {
    SetHidden(parent2, false);
    map.settlement.outputCancel.Show(0, parent2);
  } else if (reserveBase) {
    SetHidden(parent2, false);
    map.reserveForce.Show(kKeepScreenId, parent2);
  }
  if (Control* maintenance = FormFindControlByTag(f, "MAINTENANCE"))
    SetControlNumberText(0, 0, "", 1, "", 0, static_cast<double>(upkeep), maintenance);
}

void FacilityActionsPanel::OnCommand(Control* control, int32_t id) {
  plat::CriticalSectionLock lock(g_simulationLock);
  parent1 = Tag(currentForm, "PARENT1");
  MapScreen& map = g_screens.mapScreen;
  OnFacilityActionCommand(currentForm, control, id, SelectedCellIndex(g_world), parent1, &map.facilityConfirm,
                          &map.settlement.outputConfirm, g_screens.baseUpgrade.get());
}
