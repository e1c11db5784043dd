#include "screens/main/map_input/selection.h"

#include <algorithm>
#include <atomic>

#include "platform/messages.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/main/map_input/hex_links.h"
#include "screens/main/popups/hex_list_popups.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/panels/map_screen.h"
#include "screens/main/map/map_view.h"
#include "screens/common/units/unit_lists.h"
#include "screens/screen_set.h"
#include "sim/game_command.h"
#include "sim/simulation_lock.h"
#include "ui/screen_manager.h"
#include "world/hex_stack_chains.h"
#include "world/id_lookups.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// The local player's visible units on one hex, chain by chain, into the
// candidate list.
int32_t CollectOwnUnitsAt(World& world, uint32_t packed, ListHolder& into) {
  const int32_t width = world.mapWidth, height = world.mapHeight;
  const int32_t x = PackedHexColumn(packed), y = PackedHexRow(packed);
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  const size_t index = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  if (index >= world.cells.size() || !world.cells[index].stack) return 0;
  int32_t n = 0;
  for (UnitRecord* head : world.cells[index].stack->chainB) {
    UnitRecord* first = ChainLink(head);
    if (!first) continue;
    CollectUnitsArgs a;
    a.resultList = &into;
    a.viewingPlayer = world.gameState.localPlayer;
    a.relationMask = 1;  // orders go to the local player's own units
    a.orderBit1AndSorting = 1;
    a.orderStatus = 1;
    a.start = first;
    a.chainB = 1;
    a.visibleOnly = 1;
    n += CollectUnits(world, a);
  }
  return n;
}

}  // namespace

void SetMapSelection(World& world, int32_t kind) {
  const HexPosition& hex = world.gameState.currentHex;
  if (hex.x == 0 && hex.y == 0) return;
  const uint32_t selected = PackHex(hex.x, hex.y);
  g_mapRoute.kind = kind;
  g_mapRoute.start[0] = selected;
  // The game state keeps no second hex: the pair starts and ends here.
  g_mapRoute.end[0] = selected;
  g_mapRoute.editIndex = -1;
  g_mapRoute.shown = 1;
}

void BandToHexes(uint32_t& first, uint32_t& second) {
  // The anchor and the extent are map pixels already.
  const MapView& view = g_mapView;
  const Hex anchor{view.pressX, view.pressY};
  const Hex end{view.pressX + view.bandDx, view.pressY + view.bandDy};
  const Hex topLeft = MapPixelToHex(view, std::min(anchor.x, end.x), std::min(anchor.y, end.y));
  const Hex bottomRight = MapPixelToHex(view, std::max(anchor.x, end.x), std::max(anchor.y, end.y));
  first = PackHex(topLeft.x, topLeft.y);
  second = PackHex(bottomRight.x, bottomRight.y);
}

void SelectUnitsAtClick(ScreenSet& screens, int32_t x, int32_t y, int32_t add) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& world = g_world;
  const HexPosition& clicked = world.gameState.currentHex;
  if (clicked.x == 0 && clicked.y == 0) return;
  const bool band = g_mapView.rubberBand != 0;
  if (add == -1)
    add = (g_ui.keyState & plat::kMkShift) || (band ? g_uiOptions.bautoselrband : g_uiOptions.bautoselstack) ? 1 : 0;
  int32_t candidates = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ClearUnitSelectFlags(world);
    ListHolderClear(HoverStackList());
    if (band) {
      uint32_t a = 0, b = 0;
      BandToHexes(a, b);
      const int32_t x0 = PackedHexColumn(a), y0 = PackedHexRow(a);
      int32_t x1 = PackedHexColumn(b);
      const int32_t y1 = PackedHexRow(b);
      const int32_t width = world.mapWidth;
      // A band across the seam of a wrapping map runs past the last column.
      if (g_mapView.wraps && x1 < x0) x1 += width;
      for (int32_t row = y0; row <= y1; ++row)
        for (int32_t col = x0; col <= x1 && width > 0; ++col)
          candidates += CollectOwnUnitsAt(world, PackHex(col % width, row), HoverStackList());
    } else {
      candidates = CollectOwnUnitsAt(world, PackHex(clicked.x, clicked.y), HoverStackList());
    }
  }
  if (candidates == 0) return;
  if ((candidates == 1 && g_uiOptions.bautoselsingle) || add) {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      CopyUnitList(world, add != 0 && candidates != 1, screens.SelectionList(), HoverStackList());
      MarkStackUnits(world, screens.SelectionList());
    }
    ShowSelectionOrders(screens);
    return;
  }
  ShowHexListPopupAt(StackList(), x, y);
}

void OpenSelectionOrderPanels(ScreenSet& screens) {
  if (!g_ui.mapView) return;
  ShowMainPanel(9, 0, screens);
  screens.mapScreen.units.Show(kUnitPanelListsSelection, nullptr);
}

void ShowSelectionOrders(ScreenSet& screens) {
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ListItem28* first = FirstInHolder(screens.SelectionList());
    if (!first || !RefUnit(g_world, *first)) return;
    SetMapSelection(g_world, 2);
  }
  // The orders panel opens first: opening a panel leaves the map's pick.
  // Beside it the unit panel lists the selection, so the player sees which
  // units the next click orders.
  if (!std::atomic_ref<int32_t>(g_ui.modal).load(std::memory_order_relaxed)) OpenSelectionOrderPanels(screens);
  screens.selectionOrdersShown = 1;
  screens.selectionPanelPending = 1;
  g_mapView.pickHex = 1;
  g_mapView.redrawPending = 1;
}

void SelectOwnUnitsAtHex(ScreenSet& screens, uint32_t packed) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& world = g_world;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    ListHolderClear(HoverStackList());
    if (CollectOwnUnitsAt(world, packed, HoverStackList()) == 0) return;
    ClearUnitSelectFlags(world);
    CopyUnitList(world, false, screens.SelectionList(), HoverStackList());
    MarkStackUnits(world, screens.SelectionList());
  }
  ShowSelectionOrders(screens);
}

void DrawUnitOrderRow(ScreenSet& screens, int32_t unitId) {
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    UnitRecord* unit = FindUnitById(g_world, static_cast<uint32_t>(unitId));
    if (!unit || !IsUnitLive(*unit)) return;
    ListHolderClear(screens.SelectionList());
    AddUnitRef(screens.SelectionList(), *unit);
    MarkStackUnits(g_world, screens.SelectionList());
  }
  ShowSelectionOrders(screens);
}
