#include "screens/common/facilities/facility_actions.h"

#include "records/command_ids.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/order_words.h"
#include "records/unit_flags.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/facilities/facility_status.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/facilities/facility_figures.h"
#include "screens/common/frame/map_popups.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/units/hex_unit_actions.h"
#include "screens/screen_set.h"
#include "sim/facility_command_args.h"
#include "sim/game_command.h"
#include "units/hex_state.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "units/facilities/facility_build.h"
#include "units/hex_geometry.h"
#include "world/hex_extra.h"
#include "world/hex_stack_chains.h"
#include "world/unit_class.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

namespace {

// The confirm box's ids: what it confirms.
constexpr int32_t kConfirmScrap = 0;
constexpr int32_t kConfirmCancel = 1;
constexpr int32_t kConfirmDestroy = 2;
// An upgrade that would not raise the facility at least this much above its
// strength is not offered.
constexpr float kUpgradeMargin = 0.02f;
// Below this strength an idle facility that could grow is offered the
// upgrade rather than activation.
constexpr float kActivateFloor = 0.1f;

void ApplyNoteLook(Control* c) {
  if (!c) return;
  c->fills[kLookNormal] = (c->fills[kLookNormal] & 0x00FFFFFFu) | kNoteFillAlpha << 24;
  c->fills[kLookFocused] = c->fills[kLookNormal];
  c->outlines[kLookFocused] = kNoteFocusOutline;
  c->outlineWidths[kLookFocused] = 1;
  c->flags |= kCtlShowFocus;
}

// A unit of the settlement kind, not moved this step, in the land chain of a
// stack whose hex is marked as supplied: it keeps the hex from being given
// up. Off-map neighbours are no hex and hold none.
bool FlaggedUnitNear(const World& w, const FacilityView& v) {
  const HexMapShape map = MapShape(w);
  for (int d = 0; d <= 6; ++d) {
    const HexCell* c = v.cell;
    if (d < 6) {
      const int64_t i = HexCellIndex(map, HexNeighbour(map, v.packed, d));
      if (i < 0 || static_cast<size_t>(i) >= w.cells.size()) continue;
      c = &w.cells[static_cast<size_t>(i)];
    }
    const HexUnitStack* stack = LoadHexStack(*c);
    if (!stack || !stack->extra || !(HexPresenceFlags(*stack->extra) & kPresenceRepair)) continue;
    for (const UnitRecord* u = stack->chainA[0]; u; u = u->nextInChainA) {
      const UnitClassRecord* cls = UnitClassOf(w, *u);
      if (cls && !(u->unitFlags & kUnitMoved) && (cls->flags & kClassSettlementPopulation)) return true;
    }
  }
  return false;
}

// The panel docked at the second level, refreshed after an action changed
// what it shows.
void RefreshSecondLevelPanel() {
  Control* host = DockHost(g_screens, kDockLevelSecond);
  if (g_ui.panelDepth < kDockLevelSecond || !host || !host->firstChild || !host->firstChild->owner) return;
  host->firstChild->owner->Refresh();
}

void ShowIn(Control* host, Screen& screen, intptr_t id) {
  SetHidden(host, false);
  screen.Show(id, host);
}

}  // namespace

void UpdateFacilityActionButtons(Control* form, uint32_t cellIndex) {
  if (!form) return;
  auto tagged = [form](const char* tag) { return FormFindControlByTag(form, tag); };
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const FacilityView v = ViewFacility(w, cellIndex);
  if (!v.cell || !v.ownHex) {
    for (const char* tag : kFacilityActionTags) SetHidden(tagged(tag), true);
    return;
  }
  const int32_t status = FacilityStatus(w, cellIndex);
  const uint32_t flags = v.cls ? v.cls->flags : 0;
  const bool building = status == kFacilityBuilding || status == kFacilityBuildingNoSupply;
  Control* activate = tagged("ACTIVATE");

  Show(tagged("CANCON"), building);
  Show(tagged("PAUSE"), building);
  Show(tagged("RESUME"), status == kFacilityPaused);
  Show(tagged("SCRAP"), status != kFacilityDemolishing);
  Show(tagged("DESTROY"), status != kFacilityDemolishing);

  const float sup = HexSup(w, v);
  const bool loyalSupplied = v.loyal == w.gameState.localPlayer && sup != 0.0f;
  Show(tagged("GRIDDES"), !(status == kFacilityDemolishing || loyalSupplied || FlaggedUnitNear(w, v)));

  if (flags & kClassProduction) {
    Show(activate, status != kFacilityActive);
    Show(tagged("PAUSE"), false);
    Show(tagged("RESUME"), false);
  } else {
    Show(activate, status == kFacilityInactive || status == kFacilityDemolishing);
  }

  const bool baseWithoutRoom = v.cls && (flags & kClassSettlement) && v.cls->baseRoom == 0.0f;
  Show(tagged("DEACTIVATE"), status == kFacilityActive && !(v.present && baseWithoutRoom));

  const bool hasUpgrade = v.cls && v.cls->successor != 0;
  const bool upgradePossible = status < kFacilityBuilding && hasUpgrade;
  Show(tagged("UPCAP"), upgradePossible);
  Control* gridUpcap = tagged("GRIDUPCAP");
  Show(gridUpcap, false);
  if (hasUpgrade && v.present && (v.present->ordersShown[kStateFlags] & kStateBit24) &&
      !(v.present->orders[kStateFlags] & kStateBit24)) {
    Show(gridUpcap, true);
    Show(activate, false);
  }

  const bool rally = v.present && v.cls && IsRallyBaseClass(*v.cls);
  Show(tagged("RALLYBUT"), rally);
  Show(tagged("RALLYPARENT"), rally);

  if (flags & kClassProduction) {
    const float strength = v.present ? v.present->strength : 0.0f;
    const bool pointless = SiteEfficiency(w, v) - kUpgradeMargin < strength;
    const bool growing = status == kFacilityBuilding || status == kFacilityUpgrading ||
                         status == kFacilityBuildingNoSupply;
    Show(tagged("UPGBUT"), !growing && !pointless);
    if (!v.present || strength == 0.0f ||
        (status != kFacilityActive && strength < kActivateFloor && !pointless))
      Show(activate, false);
  } else {
    Show(tagged("UPGBUT"), false);
  }

  Control* reserveNote = tagged("INSRESBASE");
  Show(reserveNote, false);
  if (v.cls && (flags & kClassSettlement) && status == kFacilityInactive &&
      LocalReserveForce(w) < static_cast<float>(v.cls->valuePerPoint)) {
    Show(reserveNote, true);
    ApplyNoteLook(reserveNote);
  }

  const bool stored = CountReserveUnitsAtHex(w, *v.cell) > 0;
  Show(tagged("GRIDNOTEM"), stored);
  Show(tagged("GRIDNOUPG"), stored && upgradePossible);

  Show(tagged("NAMEBUT"), true);
  Show(tagged("GOTOBUT"), true);
  for (const char* tag : {"GRIDDES", "GRIDNOTEM", "GRIDNOUPG"}) ApplyNoteLook(tagged(tag));
}

void OnFacilityActionCommand(Control* form, Control* control, int32_t, uint32_t cellIndex, Control* host,
                             Screen* confirmBox, Screen* upgradeScreen, Screen* capacityScreen) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (!control) return;
  uint32_t hex = 0;
  const HexCell* cell = nullptr;
  float storedLevel = 0.0f;
  bool production = false;
  uint32_t facilityId = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const FacilityView v = ViewFacility(g_world, cellIndex);
    hex = v.packed;
    cell = v.cell;
    production = v.cls && (v.cls->flags & kClassProduction);
    if (v.present) {
      storedLevel = v.present->targetStrength;
      facilityId = v.present->id;
    }
  }
  // The stored units leave before their facility goes.
  auto removeAfterDeploying = [&](uint32_t destroy) {
    ApplyToUnitsAtHex(g_screens, cell);
    PostArgs(kCmdHexStack291, HexValueArgs{.hex = hex, .value = destroy});
  };
  if (Is(control, "CANCON")) {
    if (confirmBox) ShowIn(host, *confirmBox, kConfirmCancel);
    else removeAfterDeploying(0);
  } else if (Is(control, "SCRAP")) {
    if (confirmBox) ShowIn(host, *confirmBox, kConfirmScrap);
    else removeAfterDeploying(0);
  } else if (Is(control, "DESTROY")) {
    if (confirmBox) ShowIn(host, *confirmBox, kConfirmDestroy);
    else removeAfterDeploying(1);
  } else if (Is(control, "PAUSE")) {
    PostArgs(kCmdHexStack297, HexValueArgs{.hex = hex, .value = 1});
  } else if (Is(control, "RESUME")) {
    PostArgs(kCmdHexStack297, HexValueArgs{.hex = hex, .value = 0});
  } else if (Is(control, "ACTIVATE")) {
    if (production) PostArgs(kCmdHexStack292, HexArgs{.hex = hex});
    else PostArgs(kCmdSetFacilityOutput, HexOutputArgs{.hex = hex, .level = storedLevel});
  } else if (Is(control, "DEACTIVATE")) {
    ApplyToUnitsAtHex(g_screens, cell);
    PostArgs(kCmdHexStack293, HexValueArgs{.hex = hex, .value = 1});
  } else if (Is(control, "UPCAP")) {
    if (capacityScreen) ShowIn(host, *capacityScreen, 0);
  } else if (Is(control, "UPGBUT")) {
    if (upgradeScreen) ShowIn(host, *upgradeScreen, 0);
    else PostArgs(kCmdSetFacilityOutput, HexOutputArgs{.hex = hex, .level = 1.0f});
  } else if (Is(control, "RALLYBUT")) {
    CloseAllPopups(g_ui, 0);
    g_mapClickPending.objectId = facilityId;
    // Closing the map pop-ups clears any click mode; the pick starts after.
    CloseMapPopups(g_screens);
    g_screens.mapClickMode = kClickObjectDestination;
    g_mapView.hexPickCursor = 1;
    g_mapView.pickHex = 1;
  } else if (Is(control, "NAMEBUT")) {
    g_screens.nameHex->Popup(kKeepScreenId, nullptr);
  } else if (Is(control, "GOTOBUT")) {
    GotoHexPacked(hex);
    const HexPosition& at = g_world.gameState.currentHex;
    CentreMapOnHex(g_mapView, PackHex(at.x, at.y));
  } else if (Is(control, "CAPITOL")) {
    PostArgs(kCmdRelationSet298, HexArgs{.hex = hex});
  }
  if (form && form->owner) form->owner->Refresh();
  RefreshSecondLevelPanel();
}
