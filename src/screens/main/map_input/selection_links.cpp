#include "screens/main/map_input/selection_links.h"

#include "records/unit_record.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/main/map_input/map_placement.h"
#include "screens/common/frame/map_selection.h"
#include "screens/main/map_input/selection.h"
#include "screens/common/frame/map_popups.h"
#include "screens/main/popups/upgrade_popup.h"
#include "screens/screen_set.h"
#include "sim/mail_ui_link.h"
#include "sim/player_messages.h"
#include "sim/simulation_lock.h"
#include "ui/panel_helpers.h"
#include "ui/screen_manager.h"
#include "world/id_lookups.h"
#include "world/text/message_types.h"
#include "world/world.h"

namespace {

ListHolder* LocalGroup(int32_t group) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const int32_t local = g_world.gameState.localPlayer;
  if (local < 0 || local >= kMaxPlayers || group < 0 || group >= kUnitGroupsPerPlayer) return nullptr;
  return &g_world.unitGroups.groups[local][group];
}

void GoToHex(uint32_t packed) {
  GotoHexPacked(packed);
  if (g_ui.mapView) CentreMapOnHex(*g_ui.mapView, packed);
}

// The mail pop-up that the answer closed asked for a refresh of every
// screen, which keeps the selection's orders from opening by themselves:
// the answer opens them.
void OpenAnswerOrders() {
  ScreenSet& s = g_screens;
  if (s.selectionOrdersShown && s.cmdBar.id != 9) OpenSelectionOrderPanels(s);
}

// A mail's "Go to unit": the map centres on the unit, which becomes the
// selection with its orders open, as a click on it would make it.
void GoToUnit(uint32_t unitId) {
  uint32_t packed = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* unit = FindUnitById(g_world, unitId);
    if (!unit || !IsUnitLive(*unit) || (unit->x == 0 && unit->y == 0)) return;
    packed = PackHex(unit->x, unit->y);
  }
  GoToHex(packed);
  DrawUnitOrderRow(g_screens, static_cast<int32_t>(unitId));
  OpenAnswerOrders();
}

// A mail that proposes an order for the units at a place: the map centres
// on the place and the player's units there are selected with their orders
// open, so the player gives the order with the units in sight.
void OrderUnitsAtMessageHex(uint32_t messageSerial) {
  plat::CriticalSectionLock lock(g_simulationLock);
  constexpr uint8_t kParamHex = 31;
  uint32_t packed = 0;
  bool found = false;
  {
    WorldLockGuard hold(g_world, kLockMail);
    const PlayerMessage* message = FindPlayerMessage(g_world, g_world.gameState.localPlayer, messageSerial);
    const MessageTypeRecord* type = message ? MessageType(message->typeId) : nullptr;
    for (int i = 0; type && i < 4 && !found; ++i)
      if (type->paramKinds[i] == kParamHex) {
        packed = message->params[i];
        found = true;
      }
  }
  if (!found) return;
  GoToHex(packed);
  SelectOwnUnitsAtHex(g_screens, packed);
  OpenAnswerOrders();
}

}  // namespace

void StoreUnitGroup(ScreenSet& screens, int32_t group, int32_t add) {
  ListHolder* target = LocalGroup(group);
  if (!target) return;
  plat::CriticalSectionLock sim(g_simulationLock);
  WorldLockGuard lock(g_world, kLockRecurring);
  CopyUnitList(g_world, add != 0, *target, screens.SelectionList());
}

void RecallUnitGroup(ScreenSet& screens, int32_t group, int32_t add) {
  plat::CriticalSectionLock lock(g_simulationLock);
  ListHolder* source = LocalGroup(group);
  if (!source) return;
  World& w = g_world;
  // Closing the map pop-ups empties the selection: with add its units are
  // kept aside and come back first.
  ListHolder kept{};
  {
    plat::CriticalSectionLock sim(g_simulationLock);
    ClearUnitSelectFlags(w);
    ListHolderClear(HoverStackList());
    if (add) CopyUnitList(w, false, kept, screens.SelectionList());
    ListHolderClear(screens.SelectionList());
  }
  CloseMapPopups(screens);
  bool any;
  {
    plat::CriticalSectionLock sim(g_simulationLock);
    CopyUnitList(w, false, screens.SelectionList(), kept);
    {
      WorldLockGuard lock(w, kLockRecurring);
      CopyUnitList(w, true, screens.SelectionList(), *source);
    }
    ListHolderClear(kept);
    any = !SelectedUnits(w, screens).empty();
    if (any) MarkStackUnits(w, screens.SelectionList());
  }
  if (any) ShowSelectionOrders(screens);
  RedrawMapAndMinimap(g_mapView);
}

void InstallMapSelectionLinks() {
  g_openBuildPopup = [](ScreenSet& screens) { OpenUpgradePopup(screens.upgradePopup); };
  g_mainLayoutLinks.closeMapPopups = CloseMapPopups;
  g_mainLayoutLinks.cancelMapPlacement = CancelMapPlacement;
  g_mailUi.goToUnit = GoToUnit;
  g_mailUi.applyOrderAtHex = OrderUnitsAtMessageHex;
  g_drawUnitOrderRow = DrawUnitOrderRow;
}

