#include "screens/common/frame/map_selection.h"

#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_popups.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/screen_manager.h"
#include "world/list_holder.h"

MapPlacement g_mapPlacement;

namespace {

constexpr int32_t kOrdersMainPanel = 9;  // the command bar's number for the orders screen

}  // namespace

bool HasMapSelection(ScreenSet& screens) {
  return screens.SelectionList().first != nullptr || screens.mapClickMode != 0;
}

void ClearMapSelection(ScreenSet& screens) {
  // Emptied, the selection has no orders to show: its panels close, and the
  // next click selects again rather than ordering nobody.
  if (screens.selectionOrdersShown) {
    CloseMapPopups(screens);
    return;
  }
  ListHolderClear(screens.SelectionList());
  EndUnitTargetPick(screens);
  if (screens.mapClickMode) RedrawMapAndMinimap(g_mapView);
  screens.mapClickMode = 0;
  screens.selectionPanelPending = 0;
  g_mapView.pickHex = 0;
  // A hex pick (a rally point) ends with the selection; placing keeps its cursor.
  if (!g_mapPlacement.active) g_mapView.hexPickCursor = 0;
}

void BeginMapPlacement(int32_t classIndex, int32_t showPanel) {
  if (g_mainLayoutLinks.closeMapPopups) g_mainLayoutLinks.closeMapPopups(g_screens);
  g_mapPlacement.active = 1;
  g_mapView.hexPickCursor = 1;
  g_mapPlacement.classIndex = classIndex;
  if (showPanel) g_screens.mapScreen.facilityUpgrade.Show(classIndex, nullptr);
}

void CancelMapPlacement(ScreenSet& screens) {
  // The placement's panel can stand docked after the mode ended elsewhere
  // (the game menu ends it while its pop-up holds the dock closed): Stop
  // and the other ways out close it then too.
  const Control* panel = screens.mapScreen.facilityUpgrade.currentForm;
  const bool panelDocked = panel && panel->parent && panel->parent == DockHost(screens, kDockLevelThird);
  const bool closeLevel = g_mapPlacement.active || panelDocked;
  // A pop-up open over the dock gives back the depth it found when it
  // closes: not the placement's level.
  if (closeLevel && g_ui.savedPanelDepth == kDockLevelThird) g_ui.savedPanelDepth = kDockLevelSecond;
  if (closeLevel && g_ui.panelDepth == kDockLevelThird) {
    SetPanelDepth(kDockLevelSecond, 1, g_mapView);
    if (g_ui.panelDepth == 0) screens.cmdBar.dockedPanelMarker = 0;
    UpdatePopupButton(screens.mailBar);
  }
  if (g_mapPlacement.active) RedrawMapAndMinimap(g_mapView);
  g_mapPlacement.active = 0;
  g_mapView.hexPickCursor = 0;
  g_mapView.deploymentPick = 0;
}

void RefreshDockedPanels(ScreenSet& screens, int32_t includeLevel1) {
  for (int32_t level = includeLevel1 ? kDockLevelMain : kDockLevelSecond; level <= kDockLevelThird; ++level) {
    Control* bar = g_ui.bottomBoxes[level];
    if (!bar || bar->Hidden() || !bar->firstChild) return;
    // A level holds its bottom bar; the panel is the form docked in the
    // bar's host, and the bar itself has nothing to refresh.
    Control* docked = bar->firstChild;
    if (Control* host = DockHost(screens, level); host && docked->owner && docked->owner == host->owner)
      docked = host->firstChild;
    if (Screen* owner = docked ? docked->owner : nullptr) owner->Refresh();
  }
}

bool UndoMapState(ScreenSet& screens) {
  if (MapPopupsOpen(screens)) {
    CloseMapPopups(screens);
  } else if (g_mapPlacement.active) {
    CancelMapPlacement(screens);
  } else if (HasMapSelection(screens)) {
    // The orders screen works on the selection: let go, it would stand on
    // "Units 0" and come back with the next pop-up that closes, so it
    // closes with it.
    const bool ordersDocked = screens.cmdBar.id == kOrdersMainPanel && g_ui.panelDepth > 0;
    ClearMapSelection(screens);
    if (ordersDocked && g_ui.panelDepth > 0) {
      SetPanelDepth(0, 1, g_mapView);
      screens.cmdBar.dockedPanelMarker = 0;
      UpdatePopupButton(screens.mailBar);
    }
  } else {
    return false;
  }
  return true;
}

void ShowUnitOrdersPanel(ScreenSet& screens) {
  screens.unitOrders.Show(kKeepScreenId, nullptr);
  screens.selectionOrdersShown = 1;
}
