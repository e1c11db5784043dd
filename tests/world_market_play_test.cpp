// The world market in a game of the sample scenario: the diplomacy
// department's world-market button opens the aid panel, its member panel
// leads to the leave or join question, and the answer changes Westholm's
// membership in both copies after the day.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/fpenv.h"
#include "platform/messages.h"
#include "records/player_policy.h"
#include "records/player_record.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "world/game_speed.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

TEST(WorldMarketPlay, TheMembershipAnswerReachesBothCopiesAfterTheDay) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard options(g_uiOptions);
  g_uiOptions.bnoconfirmturn = 1;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  ScreenSet& s = g_screens;
  World& w = g_world;
  const PlayerRecord& local = w.players[w.gameState.localPlayer];
  bool member = false;
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
    member = (local.simPolicy.wageFlags & kWorldBodyMember) != 0;
  }
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, plat::kVkF1 + 4, 0);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, plat::kVkF1 + 4, 0);
  SampleGame::Pump();
  SampleGame::ClickControl(FormFindControlByTag(s.diplomacyScreen.currentForm, "WMBUT"));
  ASSERT_NE(s.diplomacyAidPanel.currentForm->parent, nullptr) << "the aid panel docks";
  ASSERT_NE(s.worldMarketMembers->currentForm->parent, nullptr) << "the member panel sits in it";
  SampleGame::ClickControl(FormFindControlByTag(s.worldMarketMembers->currentForm, "MEMBERBUT"));
  Screen& question = member ? *s.worldMarketLeave : *s.worldMarketJoin;
  ASSERT_NE(question.currentForm->parent, nullptr) << "the question follows the membership";
  SampleGame::ClickControl(FormFindControlByTag(question.currentForm, member ? "YESBUT2" : "YESBUT3"));

  const uint32_t today = w.gameState.currentDay;
  ASSERT_TRUE(PlayUntilDay(today + 1));
  plat::CriticalSectionLock lock(g_simulationLock);
  EXPECT_EQ((local.simPolicy.wageFlags & kWorldBodyMember) != 0, !member);
  EXPECT_EQ((local.displayPolicy.wageFlags & kWorldBodyMember) != 0, !member);
}

}  // namespace
