// The whole program on the sample scenario as Westholm: a design the player
// may research, opened in the unit build pop-up, shows its research panel;
// BEGIN there gives the player a design project once the command is due.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/fpenv.h"
#include "screens/military/production/unit_build_popup.h"
#include "screens/screen_set.h"
#include "sim/daily/product_fields.h"
#include "sim/simulation_lock.h"
#include "support/control_layout.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/bitmap_control.h"
#include "ui/control_tree.h"
#include "world/game_speed.h"
#include "world/list_items.h"
#include "world/world.h"

namespace {

TEST(DesignResearch, BeginInTheBuildPopupGivesThePlayerADesignProject) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  int32_t design = -1;
  int32_t player = -1;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    player = w.gameState.localPlayer;
    WorldLockGuard hold(w, kLockProjects);
    for (int32_t c = 1; c < static_cast<int32_t>(w.unitClasses.size()) && design < 0; ++c)
      if (DesignResearchable(w, player, c) && !FindDesignProject(w, player, c)) design = c;
  }
  ASSERT_GE(design, 0) << "Westholm has a design to research";

  s.unitBuild.Popup(design, nullptr);
  SampleGame::Pump();
  Control* panel = s.unitResearch[0].currentForm;
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->parent, s.unitBuild.panelHost) << "the research panel is shown";
  const auto* picture = dynamic_cast<BitmapControl*>(FormFindControlByTag(s.unitBuild.currentForm, "UNITPIC"));
  ASSERT_NE(picture, nullptr);
  EXPECT_TRUE(picture->pictureSlot && *picture->pictureSlot) << "the design's picture is drawn";
  EXPECT_GE(TextsReadWhole(s.unitBuild.currentForm, "research pop-up"), 10);
  TextsApart(s.unitBuild.currentForm, "research pop-up");
  const uint32_t today = w.gameState.currentDay;
  SampleGame::ClickControl(FormFindControlByTag(panel, "BEGIN"));

  ASSERT_TRUE(PlayUntilDay(today + 1));
  plat::CriticalSectionLock lock(g_simulationLock);
  WorldLockGuard hold(w, kLockProjects);
  EXPECT_NE(FindDesignProject(w, player, design), nullptr);
}

// A design the player has, opened in the unit build pop-up, offers its
// build sites and order options, every text whole and apart; its price and
// build time beside the order, and its class sheet's, are those of the
// sample's class figures.
TEST(DesignResearch, AnAvailableDesignsBuildPopupReadsWholeAndApart) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  float goodsRate = 0.0f, costFactor = 0.0f;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(g_world.gameState, 0);
    const PlayerRecord& local = g_world.players[static_cast<size_t>(g_world.gameState.localPlayer)];
    goodsRate = product::Get(local, 10, product::kUnitCost), costFactor = local.costFactor;
  }
  // Westholm starts with goods at 33.32 a unit and a cost factor of 1.3575.
  ASSERT_NEAR(goodsRate, 33.32f, 0.01f);
  ASSERT_NEAR(costFactor, 1.3575f, 0.0001f);
  // Price: n x cost per element + (n x weight x h + 0.9) x goods + 0.9, the
  // bytes the sheet's cost reads at the cost factor: n x cost per element +
  // (n x weight x h + 0.9) x cost factor + 0.9. Time: n x days an element +
  // 1, a part day counted whole, on the order and the sheet alike.
  const struct {
    int32_t cls;
    const char *price, *time, *sheetDays, *sheetCost;
  } rows[] = {
      // Light Tanks: 54 + 1.35 x 33.32 + 0.9 = 99.9; 45 x 0.5 + 1 = 23.5; 54 + 1.35 x 1.3575 + 0.9 = 56.7.
      {7, "99", "24 Days", "24", "$ 56"},
      // Battle Tanks: 72 + 1.3 x 33.32 + 0.9 = 116.2; 40 x 0.8 + 1 = 33; 72 + 1.3 x 1.3575 + 0.9 = 74.7.
      {8, "116", "33 Days", "33", "$ 74"},
      // Destroyer: 12 + (5 x 0.5 + 0.9) x 33.32 + 0.9 = 126.2; 60 + 1 = 61; 12 + 3.4 x 1.3575 + 0.9 = 17.5.
      {30, "126", "61 Days", "61", "$ 17"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.cls);
    g_screens.unitBuild.Popup(r.cls, nullptr);
    SampleGame::Pump();
    ASSERT_NE(g_screens.unitBuild.currentForm->parent, nullptr);
    EXPECT_GE(TextsReadWhole(g_screens.unitBuild.currentForm, "build pop-up"), 20);
    TextsApart(g_screens.unitBuild.currentForm, "build pop-up");
    Control* order = g_screens.unitBuildSite.currentForm;
    Control* sheet = g_screens.unitClassSheet.currentForm;
    ASSERT_TRUE(order && sheet);
    EXPECT_EQ(ShownText(order, "PRICEBUILD"), r.price);
    EXPECT_EQ(ShownText(order, "DAYS"), r.time);
    EXPECT_EQ(ShownText(sheet, "DAYS"), r.sheetDays);
    EXPECT_EQ(ShownText(sheet, "DOLCOST"), r.sheetCost);
  }
}

}  // namespace
