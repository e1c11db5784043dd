// The whole program on the sample scenario as Westholm: two tanks ordered
// to a hex get tactic 2 through the orders settings panel's mission and
// attack panels; "CHANGE" gives both the new standing orders, and they
// keep their destination and reach it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "app/gfx/renderer.h"
#include "records/hex_cell.h"
#include "records/order_words.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/units/order_choice.h"
#include "screens/main/map_input/selection.h"
#include "screens/main/panels/map_screen.h"
#include "screens/common/units/order_settings.h"
#include "screens/common/frame/map_selection.h"
#include "screens/military/orders/orders_screen.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "world/text/ui_options.h"
#include "ui/screen_manager.h"
#include "units/hex_geometry.h"
#include "units/unit_order_issue.h"
#include "world/game_speed.h"
#include "world/id_lookups.h"
#include "world/world.h"

namespace {

constexpr int32_t kSampleTankClass = 8;
constexpr uint32_t kWalkDays = 3;

struct Walker {
  uint32_t id = 0, at = 0;
};

uint32_t Tactic(const UnitRecord& u) { return (u.orders[kOrdersWord] >> 14) & 3u; }

TEST(StandingOrdersPlay, TwoTanksTakeTacticTwoThroughThePanelAndStillReachTheirHex) {
  SampleGame game;
  // The options go back before the game writes them: the panels' defaults
  // would otherwise reach the next game in the process.
  GlobalGuard options(g_uiOptions);
  GlobalGuard orderMenu(g_selection.orderMenu);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  World& w = g_world;
  ScreenSet& s = g_screens;
  SetGameSpeed(w.gameState, 0);
  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  // The two nearest tanks of the player, and open ground two hexes from
  // the first.
  std::vector<Walker> tanks;
  uint32_t to = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    const HexMapShape shape = MapShape(w);
    for (const UnitRecord* u : SampleGame::OwnUnitsOnMap(kSampleTankClass)) tanks.push_back({u->id, MakeHexPos(u->x, u->y)});
    ASSERT_GE(tanks.size(), 2u);
    size_t best = 1;
    for (size_t i = 2; i < tanks.size(); ++i)
      if (HexDistance(shape, tanks[0].at, tanks[i].at) < HexDistance(shape, tanks[0].at, tanks[best].at)) best = i;
    tanks = {tanks[0], tanks[best]};
    const HexCell* start = HexCellAt(w, shape, tanks[0].at);
    for (int d = 0; d < 6 && !to; ++d) {
      uint32_t h = tanks[0].at;
      for (int i = 0; i < 2 && h; ++i) {
        h = HexNeighbour(shape, h, d);
        const HexCell* c = HexCellAt(w, shape, h);
        if (!c || CellTerrain(c->word) != CellTerrain(start->word)) h = 0;
      }
      to = h;
    }
    ASSERT_NE(to, 0u);
    for (const Walker& t : tanks) AddUnitRef(s.SelectionList(), *FindUnitById(w, t.id));
  }
  IssueOrderToSelection(s, kMoveOrder, to, nullptr, false, 0);
  SampleGame::Pump();

  // The dock's second level before and after the panel docks there.
  const auto pixelAt = [](int32_t x, int32_t y) {
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    EXPECT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
    const size_t at = static_cast<size_t>(y) * width + static_cast<size_t>(x);
    return at < pixels.size() ? pixels[at] : 0u;
  };
  const plat::Rect dock = ControlAbsoluteRect(DockHost(s, kDockLevelSecond));
  const int32_t px = dock.left + 60, py = dock.top + 40;
  const uint32_t before = pixelAt(px, py);
  g_selection.orderMenu = 1;
  ShowUnitOrdersPanel(s);
  SampleGame::Pump();
  ASSERT_EQ(DockHost(s, kDockLevelSecond)->firstChild, s.unitOrders.currentForm) << "the settings panel is docked";
  EXPECT_NE(pixelAt(px, py), before) << "the back buffer shows the panel";

  SampleGame::ClickControl(FormFindControlByTag(s.unitOrders.currentForm, "MISSION"));
  SampleGame::ClickControl(FormFindControlByTag(s.missionPanel.currentForm, "ATTACK"));
  SampleGame::ClickControl(FormFindControlById(s.targetTactic.currentForm, 112));
  EXPECT_EQ(s.ordersScreen.edit.commonOrders[kFieldTactic], 2);
  // The change asked for a full refresh: the window's timer shows CHANGE.
  Control* change = FormFindControlByTag(s.missionPanel.currentForm, "CHANGE");
  for (int i = 0; i < 500 && change->Hidden(); ++i) {
    SampleGame::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ASSERT_FALSE(change->Hidden());
  SampleGame::ClickControl(change);

  const auto done = [&] {
    plat::CriticalSectionLock lock(g_simulationLock);
    for (const Walker& t : tanks) {
      const UnitRecord* u = FindUnitById(w, t.id);
      if (!u || Tactic(*u) != 2 || MakeHexPos(u->x, u->y) != to) return false;
    }
    return true;
  };
  PlayDaysUntil(kWalkDays, done);
  plat::CriticalSectionLock lock(g_simulationLock);
  for (const Walker& t : tanks) {
    const UnitRecord* u = FindUnitById(w, t.id);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(Tactic(*u), 2u) << t.id;
    EXPECT_EQ(MakeHexPos(u->x, u->y), to) << t.id << " reaches the hex";
  }
}

}  // namespace
