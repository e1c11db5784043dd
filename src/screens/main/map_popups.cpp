#include "screens/main/map_popups.h"

#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/main/command_bars.h"
#include "screens/main/main_layout.h"
#include "screens/main/map_selection.h"
#include "screens/main/unit_lists.h"
#include "sim/game_command.h"
#include "screens/main/map_view.h"
#include "screens/main/selection.h"
#include "ui/control_focus.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"
#include "ui/control.h"
#include "sim/simulation_lock.h"
#include "ui/screen_set.h"
#include "units/unit_class.h"
#include "world/object_hex.h"
#include "world/world.h"

namespace {

// The relation mask that lets every relation through.
constexpr uint32_t kAnyRelation = 15;

intptr_t IdOr(const UnitRecord* unit) { return unit ? static_cast<intptr_t>(unit->id) : kKeepScreenId; }

// The local player's first base on the unit ring (a live facility whose
// class holds units), or null.
const UnitRecord* FirstLocalBase() {
  const World& w = g_world;
  const UnitRecord* unit = w.units;
  if (!unit) return nullptr;
  do {
    if (IsUnitLive(*unit) && unit->owner == w.gameState.localPlayer && (unit->unitFlags & kUnitFacility)) {
      const UnitClassRecord* cls = ClassRecordAt(w, unit->classIndex);
      if (cls && (cls->flags & kClassSettlement)) return unit;
    }
    unit = unit->next;
  } while (unit && unit != w.units);
  return nullptr;
}

// Open as a pop-up, not docked in the side-panel box.
bool OpenAsPopup(const Screen& screen) {
  const Control* form = screen.currentForm;
  return form && form->parent && form->parent->owner == &g_screens.popupFrames;
}

}  // namespace

bool MapPopupsOpen(ScreenSet& screens) { return OpenAsPopup(screens.map2) || OpenAsPopup(screens.map3); }

void CloseMapPopups(ScreenSet& screens) {
  for (Screen* screen : {static_cast<Screen*>(&screens.map2), static_cast<Screen*>(&screens.map3)})
    if (OpenAsPopup(*screen)) screen->Close(1);
  if (screens.selectionOrdersShown) {
    EndTextEdit();
    CancelMapPlacement(screens);
    g_mapPlacement = MapPlacement{};
    if (g_ui.panelDepth > 0) SetPanelDepth(0, 1, g_mapView);
    if (g_ui.panelDepth == 0) screens.cmdBar.dockedPanelMarker = 0;
    UpdatePopupButton(screens.cmdBar3, g_ui.panelDepth);
  }
  ClearMapSelection(screens);
  screens.selectionOrdersShown = 0;
  g_selection.fromList = 0;
  g_selection.orderMenu = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ClearUnitSelectFlags(g_world);
  }
  if (g_uiOptions.sidescreens) ApplySideScreensLayout(g_mapView);
}

const UnitRecord* SelectedLocalObject() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const HexPosition& hex = w.gameState.currentHex;
  if ((hex.x == 0 && hex.y == 0) || hex.cellIndex >= w.cells.size()) return nullptr;
  const HexCell& cell = w.cells[hex.cellIndex];
  if (!cell.stack || !cell.stack->lead || VisibleLeadClass(w, &cell) == 0) return nullptr;
  const UnitRecord* lead = cell.stack->lead;
  return lead->owner == w.gameState.localPlayer ? lead : nullptr;
}

void OpenObjectPopup(ScreenSet& screens, int32_t) { OpenBasePopup(screens, SelectedLocalObject()); }

void OpenBasePopup(ScreenSet& screens, const UnitRecord* base) {
  intptr_t id = IdOr(base);
  if (!base) {
    plat::CriticalSectionLock lock(g_simulationLock);
    id = IdOr(FirstLocalBase());
  }
  screens.basePopup.Popup(id, nullptr);
}
void OpenSiloPopup(ScreenSet& screens, const UnitRecord* silo) { screens.siloPopup.Popup(IdOr(silo), nullptr); }
void OpenLaunchSitePopup(ScreenSet& screens, const UnitRecord* site) {
  screens.launchSitePopup.Popup(IdOr(site), nullptr);
}

std::vector<intptr_t> FillHexUnitList(uint32_t cellIndex) {
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
