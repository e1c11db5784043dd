// The whole program on the sample scenario as Westholm: the army base
// chosen in the build order panel and clicked onto an own supplied hex is
// confirmed in the build pop-up and placed; the next day it stands there,
// unfinished.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/fpenv.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/common/facilities/build_classes.h"
#include "screens/common/frame/map_selection.h"
#include "screens/main/popups/upgrade_popup.h"
#include "screens/military/facilities/build_order_panel.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/string_control.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/text/ui_options.h"
#include "world/unit_class.h"
#include "world/world.h"

namespace {

constexpr int32_t kArmyBase = 4054;

TEST(BuildOrderPlay, AnArmyBaseOrderedFromThePanelStandsUnderConstructionTheNextDay) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  GlobalGuard placement(g_mapPlacement);
  World& w = g_world;
  uint32_t site = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    DesignRow(w, w.gameState.localPlayer)[kArmyBase] |= 1;  // the sample offers no facility type
    const std::vector<uint32_t> sites = SampleGame::BuildSites(kArmyBase, 1);
    if (!sites.empty()) site = sites.front();
  }
  ASSERT_NE(site, 0u);
  SampleGame::ClickControl(FormFindControlByTag(g_screens.cmdBar.currentForm, "MAP"));
  BuildOrderPanel& panel = g_screens.buildOrderPanel;
  panel.Show(-1, nullptr);
  int row = 0;
  Control* r = panel.list ? ListNextRow(panel.list, nullptr) : nullptr;
  for (; r && r->id != kArmyBase + kBuildOrderRowBase; r = ListNextRow(panel.list, r)) ++row;
  ASSERT_NE(r, nullptr) << "LIST1 lists the army base";
  SampleGame::ClickControl(panel.list, row);
  ASSERT_EQ(g_mapPlacement.classIndex, kArmyBase);
  g_mapPlacement.placementConfirm = 1;  // the build pop-up asks first
  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(site, x, y));
  SampleGame::Click(x, y);
  SampleGame::Pump();
  Control* ask = g_screens.upgradePopup.currentForm;
  ASSERT_TRUE(ask && ask->parent) << "the build pop-up asks";
  ASSERT_FALSE(FormFindControlByTag(ask, "MAINHDR")->Selected()) << "amounts a year";
  SampleGame::ClickControl(FormFindControlByTag(ask, "OKBUT"));
  const uint32_t today = w.gameState.currentDay;
  ASSERT_TRUE(PlayUntilDay(today + 1));
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexUnitStack* stack = LoadHexStack(*HexCellAt(w, MapShape(w), site));
  ASSERT_TRUE(stack && stack->lead);
  EXPECT_EQ(stack->lead->classIndex, kArmyBase);
  EXPECT_LT(stack->lead->strength, stack->lead->targetStrength) << "under construction";
}

}  // namespace
