// What a stopped game leaves to the next one started in the same run.
#include "screens/game_session_ui.h"

#include <gtest/gtest.h>

#include "app/app_object.h"
#include "screens/screen_set.h"
#include "sim/sim_ui_link.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"

namespace {

TEST(GameSessionUi, AStoppedGameLeavesNoSidePanelOrTabAndAnEnteredOneOpensTheScoreCardAtItsStart) {
  GlobalGuard link(g_simUi);
  MapScreen& map = g_screens.mapScreen;
  GlobalGuard side(map.currentSidePanel, static_cast<Screen*>(&map.units));
  GlobalGuard tab(map.selectedTab, kMapTabFacility);
  GlobalGuard autoTab(map.autoTab, kMapTabFacility);
  GlobalGuard page(g_screens.scoreCard.page, 5);
  GlobalGuard form(map.form), shown(map.currentForm);
  controltest::PanelForm tabs(map, "MAP1", {}, {kMapTabUnits, kMapTabFacility});
  SetControlFlag(tabs[kMapTabFacility], kStateSelected, 1);
  InstallGameSessionUi();
  ASSERT_TRUE(g_simUi.stopGameInterface);
  g_simUi.stopGameInterface(nullptr);
  // Otherwise the next game's first hex refreshes a panel it never showed.
  EXPECT_EQ(map.currentSidePanel, nullptr);
  EXPECT_EQ(map.selectedTab, 0);
  EXPECT_EQ(map.autoTab, 0);
  EXPECT_FALSE(tabs[kMapTabFacility]->Selected()) << "its tab button is released";
  // The result screen shows the score card after the stop; the next game
  // still opens it on its first page.
  g_screens.scoreCard.page = 5;
  GlobalGuard mode(g_platform.appMode);
  ASSERT_TRUE(g_simUi.enterGame);
  g_simUi.enterGame(nullptr);
  EXPECT_EQ(g_screens.scoreCard.page, 0) << "the score card opens on its first page again";
}

}  // namespace
