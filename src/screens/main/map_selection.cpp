#include "screens/main/map_selection.h"

#include "records/unit_record.h"
#include "screens/main/main_layout.h"
#include "screens/main/map_popups.h"
#include "screens/main/map_view.h"
#include "screens/main/selection.h"
#include "sim/simulation_lock.h"
#include "ui/screen_manager.h"
#include "ui/screen_set.h"
#include "world/world.h"

MapPlacement g_mapPlacement;

namespace {

ListHolder* LocalGroup(int32_t group) {
  const int32_t local = g_world.gameState.localPlayer;
  if (local < 0 || local >= kMaxPlayers || group < 0 || group >= kUnitGroupsPerPlayer) return nullptr;
  return &g_world.unitGroups.groups[local][group];
}

void RedrawMap() {
  g_mapView.redrawPending = 1;
  g_mapView.minimapRedrawPending = 1;
}

}  // namespace

void BeginMapPlacement(int32_t classIndex) {
  g_mapPlacement.active = 1;
  g_mapPlacement.classIndex = classIndex;
}

void CancelMapPlacement(ScreenSet&) {
  if (!g_mapPlacement.active) return;
  g_mapPlacement = MapPlacement{};
  RedrawMap();
}

bool HasMapSelection(ScreenSet& screens) {
  return screens.SelectionList().first != nullptr || screens.mapClickMode != 0;
}

void ClearMapSelection(ScreenSet& screens) {
  ListHolderClear(screens.SelectionList());
  if (screens.mapClickMode) RedrawMap();
  screens.mapClickMode = 0;
  screens.selectionPanelPending = 0;
  g_mapView.pickHex = 0;
}

void StoreUnitGroup(ScreenSet& screens, int32_t group, int32_t add) {
  ListHolder* target = LocalGroup(group);
  if (!target) return;
  plat::CriticalSectionLock sim(g_simulationLock);
  WorldLockGuard lock(g_world, kLockRecurring);
  CopyUnitList(g_world, add != 0, *target, screens.SelectionList());
}

void RecallUnitGroup(ScreenSet& screens, int32_t group, int32_t add) {
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
  RedrawMap();
}

void RefreshDockedPanels(ScreenSet&) { RequestFullRefresh(g_ui); }

void InstallMapSelectionLinks() {
  g_mainLayoutLinks.closeMapPopups = CloseMapPopups;
  g_mainLayoutLinks.cancelMapPlacement = CancelMapPlacement;
}
