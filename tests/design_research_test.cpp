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
// build sites and order options, every text whole and apart.
TEST(DesignResearch, AnAvailableDesignsBuildPopupReadsWholeAndApart) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  constexpr int32_t kBattleTanks = 8;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(g_world.gameState, 0);
  }
  g_screens.unitBuild.Popup(kBattleTanks, nullptr);
  SampleGame::Pump();
  ASSERT_NE(g_screens.unitBuild.currentForm->parent, nullptr);
  EXPECT_GE(TextsReadWhole(g_screens.unitBuild.currentForm, "build pop-up"), 20);
  TextsApart(g_screens.unitBuild.currentForm, "build pop-up");
}

}  // namespace
