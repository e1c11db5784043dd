#include "screens/main/panels/launch_site_panels.h"

#include <algorithm>
#include <cstdio>

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/player_record.h"
#include "screens/common/figure_text.h"
#include "screens/docked_panels.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/side_bars.h"
#include "screens/main/map/map_view.h"
#include "screens/common/units/class_icon.h"
#include "screens/common/facilities/facility_header.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/screen_set.h"
#include "sim/daily/research_fields.h"
#include "sim/game_command.h"
#include "sim/policy_block_fields.h"
#include "sim/simulation_lock.h"
#include "sim/unit_command_args.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/data_tables.h"
#include "world/text/text_lists.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

// The see-through looks of the details button and the two marks.
constexpr uint32_t kAlphaMask = 0xFF000000u;
constexpr uint32_t kDetailsAlpha = 0x4B000000u;
constexpr uint32_t kMarkAlpha = 0x8C000000u;
constexpr uint32_t kMarkOutlineAlpha = 0x01000000u;
constexpr uint32_t kMarkTextColour = 0xFF007D00u;

MapScreen& Map() { return g_screens.mapScreen; }

// Back to the side panel: the dock two deep, the command bars following.
void CloseToSidePanel() {
  if (g_ui.panelDepth > 2) SetPanelDepth(2, 1, g_mapView);
  if (g_ui.panelDepth == 0) g_screens.cmdBar.dockedPanelMarker = 0;
  UpdatePopupButton(g_screens.mailBar);
}

}  // namespace

LaunchSitePanel::LaunchSitePanel() : Screen("MAP1_ss9", FormLookups{.tags = kLaunchSiteTags, .ids = kLaunchSiteIds}) {}

void LaunchSitePanel::BindControls() {
  DockInBotbar2(*this);
  if (Control* details = Tag(currentForm, "BASEDETAILS")) {
    details->fills[0] = (details->fills[0] & ~kAlphaMask) | kDetailsAlpha;
    details->fills[1] &= ~kAlphaMask;
    details->fills[2] &= ~kAlphaMask;
  }
  for (const char* tag : {"GRIDDEACT", "GRIDPEND"}) {
    Control* mark = Tag(currentForm, tag);
    if (!mark) continue;
    mark->fills[0] = (mark->fills[0] & ~kAlphaMask) | kMarkAlpha;
    mark->fills[2] = mark->fills[0];
    mark->outlines[0] = (mark->outlines[0] & ~kAlphaMask) | kMarkOutlineAlpha;
    mark->flags |= kCtlShowFocus;
    if (IsStringKind(mark)) static_cast<StringControl*>(mark)->textColour = kMarkTextColour;
  }
}

void LaunchSitePanel::OnOpen() { ScreenSlotResetMapMode(g_screens); }

void LaunchSitePanel::Refresh() {
  plat::CriticalSectionLock lock(g_simulationLock);
  Control* f = currentForm;
  if (!f) return;
  FacilityHeader head;
  SatelliteView view;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    head = ReadFacilityHeader(g_world, g_world.gameState.currentHex.cellIndex);
    view = ReadSatelliteView(g_world, g_world.gameState.localPlayer);
  }
  FillFacilityHeader(f, head);
  FillSatelliteCoverage(f, view);
  const UnitClassRecord* cls = ClassRecordAt(g_world, head.classIndex);
  if (cls) DrawUnitClassIcon(head.classIndex, nullptr, cls, Tag(f, "INDPIC"), true, -1);
}

void LaunchSitePanel::OnCommand(Control* control, int32_t controlId) {
  if (!control) return;
  if ((control->flags & kCtlRadio) && !control->Selected()) {
    PopPopupsTo(g_ui, 2);
    return;
  }
  if (controlId == kFacilityActionsButtonId) {
    Map().facilityActions.Show(kKeepScreenId, nullptr);
  } else if (ControlTagMatches(control->tag, "BUILD")) {
    Map().satelliteBuild.Show(kKeepScreenId, nullptr);
  } else if (ControlTagMatches(control->tag, "LAUNCH")) {
    Map().satelliteLaunch.Show(kKeepScreenId, nullptr);
  } else if (ControlTagMatches(control->tag, "BASEDETAILS")) {
    const UnitRecord* facility = nullptr;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      facility = HeaderFacility(g_world, g_world.gameState.currentHex.cellIndex);
    }
    OpenLaunchSitePopup(g_screens, facility);
  }
}

SatelliteLaunchPanel::SatelliteLaunchPanel()
    : Screen("MAP1_ss9a", FormLookups{.tags = kSatelliteLaunchTags, .ids = kSatelliteLaunchIds}) {}

void SatelliteLaunchPanel::BindControls() { DockInSecondBotbar2(*this); }

void SatelliteLaunchPanel::OnOpen() { ScreenSlotSelectMapMode(g_screens); }

void SatelliteLaunchPanel::Refresh() { RefreshSatelliteLaunch(currentForm, selectedType); }

void SatelliteLaunchPanel::OnCommand(Control* control, int32_t controlId) {
  if (!control) return;
  if (ControlTagMatches(control->tag, "LAUNCH")) {
    PostArgs(kCmdLaunchBit, LaunchBitArgs{.bit = static_cast<uint32_t>(selectedType)});
    RefreshSelection(g_screens);
    CloseToSidePanel();
  } else if (controlId >= kSatelliteChoiceId && controlId < kSatelliteChoiceId + kSatelliteTypes) {
    selectedType = controlId - kSatelliteChoiceId;
    Refresh();
  }
}

SatelliteBuildPanel::SatelliteBuildPanel()
    : Screen("MAP1_ss9a1", FormLookups{.tags = {}, .ids = kSatelliteBuildIds}) {}

void SatelliteBuildPanel::BindControls() { DockInSecondBotbar2(*this); }

void SatelliteBuildPanel::OnOpen() {
  if (host && host == DockHost(g_screens, 3)) ScreenSlotSelectMapMode(g_screens);
}

void SatelliteBuildPanel::Refresh() {
  Control* f = currentForm;
  if (!f) return;
  const SatelliteView view = LocalSatelliteView();
  for (int32_t t = 0; t < kSatelliteTypes; ++t) {
    const float days = view.daysLeft[t];
    if (auto* bar = dynamic_cast<SlideBarControl*>(Id(f, kSatelliteProgressId + t))) {
      SliderSetMaxFloat(bar, 1.0f);
      SliderSetValueFloat(bar, std::clamp(SatelliteBuildProgress(days, t), 0.0f, 1.0f));
    }
    SetInt(Id(f, kSatelliteDaysId + t), static_cast<int32_t>(days));
    SetAmountText(Id(f, kSatelliteCostId + t),
                  (kSatelliteBuildCost + kSatelliteBuildCostStep * static_cast<float>(t)) * view.costMultiplier, 1, 0);
    SetInt(Id(f, kSatelliteOrdersId + t), view.orders[t]);
    const bool available = SatelliteTypeAvailable(view, t);
    SetHidden(Id(f, kSatelliteAvailableId + t), !available);
    SetHidden(Id(f, kSatelliteUnavailableId + t), available);
    SetHidden(Id(f, kSatelliteMinusId + t), view.orders[t] == 0);
  }
}

void SatelliteBuildPanel::OnCommand(Control* control, int32_t controlId) {
  if (!control) return;
  int32_t delta = 0, type = 0;
  if (controlId >= kSatelliteMinusId && controlId < kSatelliteMinusId + kSatelliteTypes) {
    delta = -1;
    type = controlId - kSatelliteMinusId;
  } else if (controlId >= kSatellitePlusId && controlId < kSatellitePlusId + kSatelliteTypes) {
    delta = 1;
    type = controlId - kSatellitePlusId;
  } else {
    return;
  }
  PostArgs(kCmdLaunchCount, LaunchCountArgs{.index = static_cast<uint32_t>(type), .delta = delta});
  Refresh();
}
