#include "screens/main/map_selection.h"

#include "records/unit_record.h"
#include "screens/main/command_bars.h"
#include "screens/main/main_layout.h"
#include "screens/main/map_popups.h"
#include "screens/main/map_screen.h"
#include "screens/main/map_view.h"
#include "ui/control.h"
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

// Appends the units of one ring to another, each once.
void CopyUnits(const ListHolder& from, ListHolder& to) {
  ListNode* node = from.first;
  if (!node) return;
  do {
    auto* item = static_cast<ListItem28*>(node);
    if (item->object) NewListItem28(item->object, false, 0, to);
    node = node->next();
  } while (node && node != from.first);
}

void RedrawMap() {
  g_mapView.redrawPending = 1;
  g_mapView.minimapRedrawPending = 1;
}

}  // namespace

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

namespace {

// Drops the selected units that are gone.
void DropGoneUnits(ListHolder& list) {
  ListNode* node = list.first;
  while (node) {
    ListNode* next = node->next() == list.first ? nullptr : node->next();
    auto* item = static_cast<ListItem28*>(node);
    const auto* unit = static_cast<const UnitRecord*>(item->object);
    if (!unit || !IsUnitLive(*unit)) {
      if (list.first == node) list.first = next;
      delete item;
      --list.count;
    }
    node = next;
  }
}

}  // namespace

void StoreUnitGroup(ScreenSet& screens, int32_t group, int32_t add) {
  ListHolder* target = LocalGroup(group);
  if (!target) return;
  WorldLockGuard lock(g_world, kLockRecurring);
  if (!add) ListHolderClear(*target);
  CopyUnits(screens.SelectionList(), *target);
}

void RecallUnitGroup(ScreenSet& screens, int32_t group, int32_t add) {
  ListHolder* source = LocalGroup(group);
  if (!source) return;
  if (!add) ListHolderClear(screens.SelectionList());
  {
    WorldLockGuard lock(g_world, kLockRecurring);
    CopyUnits(*source, screens.SelectionList());
  }
  DropGoneUnits(screens.SelectionList());
  RedrawMap();
}

void BeginMapPlacement(int32_t classIndex, int32_t showPanel) {
  if (g_mainLayoutLinks.closeMapPopups) g_mainLayoutLinks.closeMapPopups(g_screens);
  g_mapPlacement.active = 1;
  g_mapView.hexPickCursor = 1;
  g_mapPlacement.classIndex = classIndex;
  if (showPanel) g_screens.map1.facilityUpgrade.Show(classIndex, nullptr);
}

void CancelMapPlacement(ScreenSet& screens) {
  if (g_mapPlacement.active && g_ui.panelDepth == kDockLevelThird) {
    SetPanelDepth(kDockLevelSecond, 1, g_mapView);
    if (g_ui.panelDepth == 0) screens.cmdBar.dockedPanelMarker = 0;
    UpdatePopupButton(screens.cmdBar3, g_ui.panelDepth);
  }
  if (g_mapPlacement.active) RedrawMap();
  g_mapPlacement.active = 0;
  g_mapView.hexPickCursor = 0;
  g_mapView.deploymentPick = 0;
}

void RefreshDockedPanels(ScreenSet&, int32_t includeLevel1) {
  for (int32_t level = includeLevel1 ? kDockLevelMain : kDockLevelSecond; level <= kDockLevelThird; ++level) {
    Control* bar = g_ui.bottomBoxes[level];
    if (!bar || bar->Hidden() || !bar->firstChild) return;
    if (Screen* owner = bar->firstChild->owner) owner->Refresh();
  }
}

void InstallMapSelectionLinks() {
  g_mainLayoutLinks.closeMapPopups = CloseMapPopups;
  g_mainLayoutLinks.cancelMapPlacement = CancelMapPlacement;
}
