// In the sample world: a click on a hex with one unit of the player selects
// it, and a left click two hexes away orders it there, the commands reaching
// the command log. Mouse messages go to the map pane as its control hands
// them on.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "platform/fpenv.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "records/hex_unit_stack.h"
#include "records/text_field.h"
#include "records/unit_record.h"
#include "screens/main/map_geometry.h"
#include "screens/main/map_pane_input.h"
#include "screens/main/map_view.h"
#include "screens/main/order_choice.h"
#include "screens/main/selection.h"
#include "sim/command_log.h"
#include "sim/sim_ui_link.h"
#include "ui/game_session_ui.h"
#include "ui/screen_manager.h"
#include "ui/screen_set.h"
#include "units/hex_geometry.h"
#include "units/unit_order_issue.h"
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
  const SimUiLink savedLink = g_simUi;
  const UiOptions savedOptions = g_uiOptions;
  plat::SetDataRoot(std::filesystem::path(VD_GAME_EXE).parent_path().string());
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
  const int32_t savedMode = g_ui.mode;
  MapView* savedView = g_ui.mapView;
  g_ui.mode = kUiInGame, g_ui.mapView = &g_mapView;
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

  g_unitOrderIssuer = nullptr, g_mapPaneLinks = MapPaneLinks{}, g_screens.selectionOrdersShown = 0;
  ListHolderClear(g_screens.SelectionList());
  g_commandLog.Clear();
  g_ui.mode = savedMode, g_ui.mapView = savedView, g_uiOptions = savedOptions, g_simUi = savedLink;
  plat::SetDataRoot(oldRoot);
}

}  // namespace
