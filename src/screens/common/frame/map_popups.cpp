#include "screens/common/frame/map_popups.h"

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/common/frame/command_bars.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/unit_selection.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_focus.h"
#include "ui/screen_manager.h"
#include "world/unit_class.h"
#include "world/object_hex.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// Open as a pop-up, not docked in the side-panel box.
bool OpenAsPopup(const Screen& screen) {
  const Control* form = screen.currentForm;
  return form && form->parent && form->parent->owner == &g_screens.popupFrames;
}

}  // namespace

bool MapPopupsOpen(ScreenSet& screens) { return OpenAsPopup(screens.hexInfoPopup) || OpenAsPopup(screens.combatOdds); }

void CloseMapPopups(ScreenSet& screens) {
  screens.mapTargetLocked = 0;
  for (Screen* screen : {static_cast<Screen*>(&screens.hexInfoPopup), static_cast<Screen*>(&screens.combatOdds)})
    if (OpenAsPopup(*screen)) screen->Close(1);
  // Cleared first: clearing the map selection below closes these pop-ups
  // while the orders are shown.
  const bool ordersShown = screens.selectionOrdersShown != 0;
  screens.selectionOrdersShown = 0;
  if (ordersShown) {
    EndTextEdit();
    CancelMapPlacement(screens);
    // The mode ends; the player's two placement options stay as set.
    g_mapPlacement = MapPlacement{.placementConfirm = g_mapPlacement.placementConfirm,
                                  .placementRepeat = g_mapPlacement.placementRepeat};
    if (g_ui.panelDepth > 0) SetPanelDepth(0, 1, g_mapView);
    if (g_ui.panelDepth == 0) screens.cmdBar.dockedPanelMarker = 0;
    UpdatePopupButton(screens.mailBar);
  }
  ClearMapSelection(screens);
  g_selection.fromList = 0;
  g_selection.orderMenu = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ClearUnitSelectFlags(g_world);
  }
  if (g_uiOptions.sidescreens) ApplySideScreensLayout(g_mapView);
}

// The relation mask that lets every relation through.
constexpr uint32_t kAnyRelation = 15;

std::vector<intptr_t> FillHexUnitList(uint32_t cellIndex) {
  plat::CriticalSectionLock lock(g_simulationLock);
  std::vector<intptr_t> ids;
  World& w = g_world;
  const int32_t width = w.mapWidth;
  if (width <= 0 || cellIndex >= w.cells.size() || !w.cells[cellIndex].stack) return ids;
  const uint32_t packed = PackHex(static_cast<int32_t>(cellIndex % static_cast<uint32_t>(width)),
                                  static_cast<int32_t>(cellIndex / static_cast<uint32_t>(width)));
  CollectHexStackUnits(w, packed, w.gameState.localPlayer, kAnyRelation);
  ListHolder& stack = HexStackList();
  for (const ListItem28* item = FirstInHolder(stack); item; item = NextInHolder(stack, item))
    if (const UnitRecord* unit = RefUnit(w, *item)) ids.push_back(static_cast<intptr_t>(unit->id));
  return ids;
}
