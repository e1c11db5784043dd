// In the sample world: a click on a hex with one unit of the player selects
// it, and a left click two hexes away orders it there, the commands reaching
// the command log. Mouse messages go to the map pane as its control hands
// them on. Then the whole program, played as Westholm with mouse messages
// posted to its window: the same clicks, the unit panel listing the clicked
// unit, and the unit walking three hexes within two game days.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "platform/fpenv.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/text_field.h"
#include "records/unit_record.h"
#include "screens/game_session_ui.h"
#include "screens/main/popups/hex_list_popups.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_click.h"
#include "screens/main/map_input/map_pane_input.h"
#include "screens/common/frame/map_selection.h"
#include "screens/main/panels/map_screen.h"
#include "screens/main/map/map_view.h"
#include "screens/common/units/order_choice.h"
#include "screens/main/map_input/selection.h"
#include "screens/common/frame/side_bars.h"
#include "screens/screen_set.h"
#include "records/command_ids.h"
#include "sim/command_log.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "support/private_game_root.h"
#include "support/global_guard.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "units/unit_order_issue.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/text/scenario_def.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

using Issued = std::tuple<uint32_t, int32_t, uint32_t>;  // unit, order, hex
std::vector<Issued> g_issued;

// The hex's one live unit (not a facility), or null.
const UnitRecord* OnlyUnit(const HexCell& cell) {
  if (!cell.stack) return nullptr;
  const UnitRecord* only = nullptr;
  for (const UnitRecord* head : cell.stack->chainA)
    for (const UnitRecord* u = head; u; u = u->nextInChainA) {
      if (!IsUnitLive(*u) || (u->unitFlags & kUnitFacility)) continue;
      if (only) return nullptr;
      only = u;
    }
  return only;
}

// A screen point over the hex, found by looking.
bool PointOver(const MapView& view, uint32_t hex, int32_t& x, int32_t& y) {
  for (y = view.viewTop; y < view.viewBottom; y += 2)
    for (x = view.viewLeft; x < view.viewRight; x += 2) {
      const Hex p = ScreenToMapPixel(view, x, y);
      const Hex h = MapPixelToHex(view, p.x, p.y);
      if (PackHex(h.x, h.y) == hex) return true;
    }
  return false;
}

void Click(int32_t x, int32_t y) {
  MapPane& pane = g_mapView.mapPane;
  pane.OnControlMessage(0, 0, 0, static_cast<int32_t>(plat::kWmLButtonDown), plat::kMkLButton, x, y, nullptr, 0);
  pane.OnControlMessage(0, 0, 0, static_cast<int32_t>(plat::kWmLButtonUp), 0, x, y, nullptr, 0);
}

TEST(MapClicks, AClickSelectsTheUnitAndAClickTwoHexesAwayOrdersIt) {
  plat::SetGameFloatMode();
  const std::string oldRoot = plat::DataRoot();
  GlobalGuard link(g_simUi);
  GlobalGuard options(g_uiOptions);
  // A plain click selects only with no orders shown, no click mode and no
  // placement under way.
  GlobalGuard ordersShown(g_screens.selectionOrdersShown, 0), clickMode(g_screens.mapClickMode, int32_t{kClickNone});
  GlobalGuard placement(g_mapPlacement, MapPlacement{});
  plat::SetDataRoot(PrivateGameRoot());
  InstallGameSessionUi();
  ASSERT_GE(LoadScenarioDef(g_world, nullptr, "Channel"), 0);
  SetFieldText(g_world.gameState.scenarioName, "Channel");
  ASSERT_EQ(g_simUi.loadScenarioFiles(&g_ui), 0);

  World& w = g_world;
  const HexMapShape shape = MapShape(w);
  const UnitRecord* unit = nullptr;
  uint32_t from = 0, to = 0;
  for (int32_t y = 1; y + 1 < shape.height && !unit; ++y)
    for (int32_t x = 1; x + 3 < shape.width && !unit; ++x) {
      const UnitRecord* u = OnlyUnit(w.cells[static_cast<size_t>(y * shape.width + x)]);
      if (u && u->owner > 0) unit = u, from = MakeHexPos(x, y), to = MakeHexPos(x + 2, y);
    }
  ASSERT_NE(unit, nullptr) << "the sample world has a hex with one unit";
  w.gameState.localPlayer = unit->owner;

  ResetUiOptions(g_uiOptions);  // bunitorderdef is on
  GlobalGuard mode(g_ui.mode, int32_t{kUiInGame});
  GlobalGuard<MapView*> view(g_ui.mapView, &g_mapView);
  g_mapView.viewLeft = g_mapView.viewTop = 0, g_mapView.viewRight = 640, g_mapView.viewBottom = 480;
  InitMapViewGeometry(g_mapView, shape.width, shape.height, shape.wraps, 0, 0);
  CentreMapOnHex(g_mapView, from);
  InstallMapPaneLinks();
  g_commandLog.Clear(), g_issued.clear();
  g_unitOrderIssuer = [](World& world, UnitRecord& u, int32_t order, uint32_t hex, const UnitRecord* target) {
    g_issued.emplace_back(u.id, order, hex);
    IssueUnitOrder(world, u, order, hex, nullptr, target, 0, 0, -1);
  };

  int32_t x = 0, y = 0;
  ASSERT_TRUE(PointOver(g_mapView, from, x, y));
  Click(x, y);
  const std::vector<UnitRecord*> selected = SelectedUnits(w, g_screens);
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(selected[0]->id, unit->id);

  ASSERT_TRUE(PointOver(g_mapView, to, x, y));
  Click(x, y);
  EXPECT_EQ(g_issued, std::vector<Issued>{Issued(unit->id, kMoveOrder, to)});
  EXPECT_FALSE(g_commandLog.Entries().empty());

  g_unitOrderIssuer = nullptr, g_mapPaneLinks = MapPaneLinks{};
  ListHolderClear(g_screens.SelectionList());
  g_commandLog.Clear();
  plat::SetDataRoot(oldRoot);
}

// Westholm's main battle tanks, and the game days three hexes of open
// ground may take them at half speed.
constexpr int32_t kSampleTankClass = 8;
constexpr uint32_t kWalkDays = 2;

// The whole program on the sample scenario as Westholm, the map fed mouse
// messages through the window.
class SampleMapClicks : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::SetGameFloatMode();
    ASSERT_NO_FATAL_FAILURE(game.Start());
    unitId = from = 0;
    World& w = g_world;
    plat::CriticalSectionLock lock(g_simulationLock);
    const HexMapShape shape = MapShape(w);
    for (int32_t y = 2; y + 3 < shape.height && !unitId; ++y)
      for (int32_t x = 4; x + 4 < shape.width && !unitId; ++x) {
        const UnitRecord* u = OnlyUnit(w.cells[static_cast<size_t>(y * shape.width + x)]);
        if (u && u->owner == w.gameState.localPlayer) unitId = u->id, from = MakeHexPos(x, y);
      }
  }
  void TearDown() override { g_unitOrderIssuer = nullptr; }

  // Centres the map on the unit's hex and gives a point of the hex over the
  // map control.
  static bool PointOn(uint32_t hex, int32_t& x, int32_t& y) {
    MapView& view = *g_ui.mapView;
    CentreMapOnHex(view, from);
    SampleGame::Pump();
    const Hex centre = HexCentre(HexX(hex), HexY(hex));
    const int32_t cx = view.viewLeft + static_cast<int32_t>(static_cast<float>(centre.x - view.panX) / view.zoom);
    const int32_t cy = view.viewTop + static_cast<int32_t>(static_cast<float>(centre.y - view.panY) / view.zoom);
    for (y = cy - 12; y <= cy + 12; ++y)
      for (x = cx - 8; x <= cx + 8; ++x) {
        const Hex p = ScreenToMapPixel(view, x, y);
        const Hex h = MapPixelToHex(view, p.x, p.y);
        if (PackHex(h.x, h.y) == hex && ControlHitTest(g_ui.rootForm, x, y, kAnyDepth, 0) == g_ui.mapArea) return true;
      }
    return false;
  }

  static uint32_t PositionOf(uint32_t id) {
    plat::CriticalSectionLock lock(g_simulationLock);
    const UnitRecord* u = FindUnitById(g_world, id);
    return u ? MakeHexPos(u->x, u->y) : 0;
  }

  SampleGame game;
  static inline uint32_t unitId = 0, from = 0;
};

TEST_F(SampleMapClicks, AClickSelectsTheLoneOwnUnitAndAClickTwoHexesAwayOrdersIt) {
  ASSERT_NE(unitId, 0u) << "Westholm has a hex with one unit";
  int32_t x = 0, y = 0;
  ASSERT_TRUE(PointOn(from, x, y));
  SampleGame::Click(x, y);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const std::vector<UnitRecord*> selected = SelectedUnits(g_world, g_screens);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0]->id, unitId);
  }
  EXPECT_TRUE(g_uiOptions.bunitorderdef);
  const uint32_t to = MakeHexPos(HexX(from) + 2, HexY(from));
  g_issued.clear();
  g_unitOrderIssuer = [](World& world, UnitRecord& u, int32_t order, uint32_t hex, const UnitRecord* target) {
    g_issued.emplace_back(u.id, order, hex);
    IssueUnitOrder(world, u, order, hex, nullptr, target, 0, 0, -1);
  };
  ASSERT_TRUE(PointOn(to, x, y));
  SetGameSpeed(g_world.gameState, 0);
  SampleGame::Click(x, y);
  EXPECT_EQ(g_issued, std::vector<Issued>{Issued(unitId, kMoveOrder, to)});
  bool logged = false;
  for (const GameCommand& c : g_commandLog.Entries()) logged |= c.id == kCmdUnitSetOrderId && c.arg28 == unitId;
  EXPECT_TRUE(logged) << "the order reaches the command log";
}

// The row of the unit in a list, counted from 0; -1 for none.
int RowOf(const ListBoxControl* list, uint32_t unitId) {
  int n = 0;
  for (Control* row = list ? ListNextRow(list, nullptr) : nullptr; row; row = ListNextRow(list, row), ++n)
    if (static_cast<uint32_t>(ListRowValue(row)) == unitId) return n;
  return -1;
}

TEST_F(SampleMapClicks, TheUnitPanelListsTheClickedUnitsAndAPickedTankWalksThreeHexes) {
  // A tank, picked from the stack list of its hex, walks three hexes: the
  // sample's infantry would take days for one.
  uint32_t tank = 0, to = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const HexMapShape shape = MapShape(g_world);
    for (const UnitRecord* u = g_world.units; u && !tank; u = u->next == g_world.units ? nullptr : u->next)
      if (u->owner == g_world.gameState.localPlayer && u->classIndex == kSampleTankClass)
        tank = u->id, from = MakeHexPos(u->x, u->y);
    const HexCell* start = HexCellAt(g_world, shape, from);
    for (int d = 0; d < 6 && start && !to; ++d) {
      uint32_t h = from;
      for (int i = 0; i < 3 && h; ++i) {
        h = HexNeighbour(shape, h, d);
        const HexCell* c = HexCellAt(g_world, shape, h);
        if (!c || CellTerrain(c->word) != CellTerrain(start->word)) h = 0;
      }
      to = h;
    }
  }
  ASSERT_NE(tank, 0u);
  ASSERT_NE(to, 0u) << "open ground three hexes from the tank";
  ScreenSet& s = g_screens;
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  ASSERT_NE(s.mapScreen.currentForm->parent, nullptr) << "the Map button opens MAP1";
  int32_t x = 0, y = 0;
  ASSERT_TRUE(PointOn(from, x, y));
  SampleGame::Click(x, y);
  EXPECT_EQ(DockHost(s, kDockLevelSecond)->firstChild, s.mapScreen.units.currentForm) << "MAP1_ss4 is shown";
  EXPECT_GE(RowOf(s.mapScreen.units.list, tank), 0) << "MAP1_ss4 lists the hex's units";
  ASSERT_NE(StackList().currentForm->parent, nullptr) << "more than one unit: the stack list opens";
  const int row = RowOf(StackList().list, tank);
  ASSERT_GE(row, 0);
  SampleGame::ClickControl(StackList().list, row);
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const std::vector<UnitRecord*> selected = SelectedUnits(g_world, s);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0]->id, tank);
  }
  EXPECT_EQ(DockHost(s, kDockLevelSecond)->firstChild, s.mapScreen.units.currentForm);
  EXPECT_EQ(s.mapScreen.units.CurrentUnit(), tank) << "the unit panel lists the selection";

  ASSERT_TRUE(PointOn(to, x, y));
  SampleGame::Click(x, y);
  SampleGame::PlayUntil(kWalkDays, [&] { return PositionOf(tank) == to; });
  EXPECT_EQ(PositionOf(tank), to);
}

}  // namespace
