// The status department in a game of the sample scenario: after ten days
// F9 docks it with one row for each news item of the region.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/fpenv.h"
#include "platform/messages.h"
#include "screens/screen_set.h"
#include "sim/player_messages.h"
#include "sim/simulation_lock.h"
#include "support/global_guard.h"
#include "support/play_days.h"
#include "support/sample_game.h"
#include "ui/list_control.h"
#include "world/game_speed.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

TEST(StatusNewsPlay, AfterTenDaysTheNewsListHoldsEveryNewsItem) {
  plat::SetGameFloatMode();
  SampleGame game;
  GlobalGuard<UiOptions> options(g_uiOptions);
  ASSERT_NO_FATAL_FAILURE(game.Start());
  g_uiOptions.bnoconfirmturn = 1;
  World& w = g_world;
  const uint32_t start = w.gameState.currentDay;
  ASSERT_TRUE(PlayUntilDay(start + 10));
  {
    plat::CriticalSectionLock lock(g_simulationLock);
    SetGameSpeed(w.gameState, 0);
  }
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyDown, plat::kVkF1 + 8, 0);
  plat::PostWindowMessage(g_platform.mainWindow, plat::kWmKeyUp, plat::kVkF1 + 8, 0);
  SampleGame::Pump();
  StatusScreen& status = g_screens.status1;
  ASSERT_NE(status.currentForm->parent, nullptr) << "F9 docks STATUS1";
  ASSERT_NE(status.newsList, nullptr);
  status.Refresh();
  uint32_t news = 0;
  {
    WorldLockGuard hold(w, kLockMail);
    const ListNode& head = w.messageLists[w.gameState.localPlayer];
    for (const ListNode* n = head.next(); n && n != &head; n = n->next())
      news += (static_cast<const PlayerMessage*>(n)->flags & kMessageNews) != 0;
  }
  EXPECT_GT(news, 0u) << "ten days bring news";
  EXPECT_EQ(status.newsList->rowCount, news);
}

}  // namespace
