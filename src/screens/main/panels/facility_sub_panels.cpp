#include "screens/main/panels/facility_sub_panels.h"

#include <cstdio>
#include <cstring>

#include "app/duration_text.h"
#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/main/panels/map_screen.h"
#include "screens/common/units/hex_unit_actions.h"
#include "screens/screen_set.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_vocabulary.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/hex_stack_chains.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr intptr_t kConfirmCancel = 1;
constexpr intptr_t kConfirmDestroy = 2;
constexpr intptr_t kRallySet = 1;
constexpr intptr_t kRallyPicking = 2;

void ReturnToActions() {
  Control* host = DockHost(g_screens, kDockLevelSecond);
  if (g_ui.panelDepth >= kDockLevelSecond && host && host->firstChild && host->firstChild->owner)
    host->firstChild->owner->Refresh();
  // The actions take the box's place again.
  g_screens.mapScreen.facilityActions.Show(kKeepScreenId, nullptr);
}

}  // namespace

void FacilityConfirmBox::BindControls() { hostLink = &g_screens.mapScreen.facilityActions.parent1; }

void FacilityConfirmBox::Refresh() {
  if (!currentForm) return;
  float days = 0.0f;
  bool baseText = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const FacilityView v = ViewSelectedFacility(g_world);
    days = RemovalDays(g_world, v, static_cast<int32_t>(id));
    baseText = v.present && v.cls && IsRallyBaseClass(*v.cls);
  }
  ControlSetText(Tag(*this, "DAYS"), FormatDuration(days).c_str());
  SetHidden(Tag(*this, "BASETEXT"), !baseText);
  Control* confirm = Tag(*this, "CONFIRM");
  SetControlFlag(confirm, kStateSelected, id == kConfirmCancel);
  SetHidden(confirm, id == kConfirmDestroy);
  SetHidden(Tag(*this, "CONFIRM2"), id != kConfirmDestroy);
}

void FacilityConfirmBox::OnCommand(Control* control, int32_t) {
  if (!control) return;
  const bool yes = ControlTagMatches(control->tag, "YES");
  if (!yes && !ControlTagMatches(control->tag, "NO")) return;
  if (yes) {
    uint32_t hex = 0;
    const HexCell* cell = nullptr;
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      const FacilityView v = ViewSelectedFacility(g_world);
      hex = v.packed;
      cell = v.cell;
    }
    if (cell) {
      // The stored units leave before their facility goes.
      ApplyToUnitsAtHex(g_screens, cell);
      PostArgs(kCmdHexStack291, HexValueArgs{.hex = hex, .value = id == kConfirmDestroy ? 1u : 0u});
    }
  }
  ReturnToActions();
}

void RallyPointPanel::BindControls() { hostLink = &g_screens.mapScreen.facilityActions.rallyParent; }

void RallyPointPanel::Refresh() {
  if (!currentForm) return;
  SetHidden(Tag(*this, "HEADER"), id >= kRallySet);
  SetHidden(Tag(*this, "RALLY"), id != kRallySet);
  SetHidden(Tag(*this, "SELECT"), id != kRallyPicking);
  char distance[48] = {};
  char city[kHexNameMax + 1] = {};
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const FacilityView v = ViewSelectedFacility(w);
    const HexPosition& hover = w.gameState.viewHex;
    if (g_screens.mapClickMode == kClickObjectDestination) {
      shownPoint = MakeHexPos(hover.x, hover.y);
    } else if (v.present && v.present->ordersShown[kDestination] != 0) {
      shownPoint = v.present->ordersShown[kDestination];
    } else {
      shownPoint = v.cell ? v.packed : 0;
    }
    if (shownPoint != 0) {
      const HexMapShape shape = MapShape(w);
      const auto hexes = static_cast<float>(HexDistance(shape, v.packed, shownPoint));
      if (g_uiOptions.bdistancehexes) {
        std::snprintf(distance, sizeof distance, "%4.1f Hexes", static_cast<double>(hexes));
      } else {
        const float km = hexes * static_cast<float>(w.mapHeader.hexScale);
        std::snprintf(distance, sizeof distance, "%4.1f km", static_cast<double>(km));
      }
      const int64_t at = HexCellIndex(shape, shownPoint);
      const HexUnitStack* stack = at >= 0 ? LoadHexStack(w.cells[static_cast<size_t>(at)]) : nullptr;
      if (stack && stack->extra && stack->extra->text) std::strncpy(city, stack->extra->text, kHexNameMax);
      if (!city[0]) {
        const int32_t width = w.mapWidth > 0 ? w.mapWidth : 1;
        const int32_t x = ((HexX(shownPoint) % width) + width) % width;
        std::snprintf(city, sizeof city, "X:%03d Y:%03d", x, HexY(shownPoint));
      }
    }
  }
  Control* centre = Tag(*this, "CENTRE");
  if (shownPoint == 0) {
    SetHidden(centre, true);
    return;
  }
  ControlSetText(Tag(*this, "DISTANCE"), distance);
  ControlSetText(Tag(*this, "CITY"), city);
  SetHidden(centre, false);
}

void RallyPointPanel::OnCommand(Control* control, int32_t) {
  if (control && ControlTagMatches(control->tag, "CENTRE") && shownPoint != 0)
    CentreMapOnHex(g_mapView, shownPoint);
}

void ReserveForcePanel::BindControls() { hostLink = &g_screens.mapScreen.facilityActions.parent2; }

void ReserveForcePanel::Refresh() {
  if (!currentForm) return;
  float yearly = 0.0f, reserve = 0.0f;
  int32_t stored = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const World& w = g_world;
    const FacilityView v = ViewSelectedFacility(w);
    yearly = FacilityUpkeepPerYear(w, v);
    reserve = LocalReserveForce(w);
    if (v.cell) stored = CountReserveUnitsAtHex(w, *v.cell);
  }
  if (Control* c = Tag(*this, "ANNCOST")) SetControlNumberText(0, 0, "", 1, "", 0, static_cast<double>(yearly), c);
  if (Control* c = Tag(*this, "RESFORCE"))
    SetControlNumberText(0, 0, "", 0, "", 0, static_cast<double>(reserve < 0.0f ? 0.0f : reserve), c);
  char count[16];
  std::snprintf(count, sizeof count, "%d", stored);
  ControlSetText(Tag(*this, "RESUNITS"), count);
}
