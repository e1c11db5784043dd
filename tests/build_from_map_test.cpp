// The whole program on the sample scenario as Westholm: an industry picked
// from the build list's industry page and clicked onto an own hex with the
// confirm option on opens the build pop-up; its OK builds, and the next day
// the industry stands there under construction.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/fpenv.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/common/frame/side_bars.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/common/frame/map_selection.h"
#include "screens/main/panels/map_screen.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "units/facilities/facility_build.h"
#include "units/hex_geometry.h"
#include "world/game_speed.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace {

// The sample's farm, an industry without prerequisites.
constexpr int32_t kFarm = 4016;

int RowOf(const ListBoxControl* list, int32_t id) {
  int n = 0;
  for (Control* row = list ? ListNextRow(list, nullptr) : nullptr; row; row = ListNextRow(list, row), ++n)
    if (row->id == id) return n;
  return -1;
}

TEST(BuildFromMap, AnIndustryPickedFromTheListAndConfirmedStandsUnderConstructionTheNextDay) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  uint32_t site = 0;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    // The sample offers its regions no facility type; the player is given
    // the farm here.
    DesignRow(w, w.gameState.localPlayer)[kFarm] |= 1;
    const HexMapShape shape = MapShape(w);
    for (int32_t y = 2; y + 2 < shape.height && !site; ++y)
      for (int32_t x = 2; x + 2 < shape.width && !site; ++x) {
        HexCell& cell = w.cells[static_cast<size_t>(y * shape.width + x)];
        if (!LoadHexStack(cell) && ProcessUnitStack(w, cell, 0, 0, kFarm, 1.0f, true, true, true))
          site = MakeHexPos(x, y);
      }
  }
  ASSERT_NE(site, 0u) << "Westholm has an empty hex a farm may stand on";

  SampleGame::ClickControl(FormFindControlByTag(s.cmdBar.currentForm, "MAP"));
  SampleGame::ClickControl(FormFindControlByTag(s.mapScreen.currentForm, "UPGRADEBUT"));
  ASSERT_EQ(DockHost(s, kDockLevelSecond)->firstChild, s.mapScreen.buildList.currentForm) << "MAP1_ss1 is shown";
  SampleGame::ClickControl(FormFindControlById(s.mapScreen.buildList.currentForm, 3));
  const int row = RowOf(s.mapScreen.buildList.list, kFarm + 1000);
  ASSERT_GE(row, 0) << "the industry page lists the farm";
  SampleGame::ClickControl(s.mapScreen.buildList.list, row);
  EXPECT_EQ(g_mapPlacement.active, 1);
  EXPECT_EQ(g_mapPlacement.classIndex, kFarm);
  EXPECT_EQ(DockHost(s, kDockLevelThird)->firstChild, s.mapScreen.facilityUpgrade.currentForm) << "MAP1_ss1a1 is shown";
  EXPECT_EQ(g_mapPlacement.placementConfirm, 1) << "CONFIRMBUT is on";

  int32_t x = 0, y = 0;
  ASSERT_TRUE(SampleGame::PointOn(site, x, y));
  SampleGame::Click(x, y);
  ASSERT_NE(s.upgradePopup.currentForm->parent, nullptr) << "the click opens POPUP_UPGRADE";
  const uint32_t today = w.gameState.currentDay;
  SampleGame::ClickControl(FormFindControlByTag(s.upgradePopup.currentForm, "OKBUT"));
  EXPECT_EQ(s.upgradePopup.currentForm->parent, nullptr);
  EXPECT_EQ(g_mapPlacement.active, 0) << "placement ends without REPEATBUT";

  // One day and no more: a later one would finish building the farm.
  ASSERT_TRUE(PlayUntilDay(today + 1));
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexCell* cell = HexCellAt(w, MapShape(w), site);
  const UnitRecord* lead = cell && LoadHexStack(*cell) ? LoadHexStack(*cell)->lead : nullptr;
  ASSERT_NE(lead, nullptr);
  EXPECT_EQ(lead->classIndex, kFarm);
  EXPECT_LT(lead->strength, lead->targetStrength) << "under construction";
}

}  // namespace
