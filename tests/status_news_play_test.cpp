// The status department in a game of the sample scenario: after ten days
// F9 docks it with one row for each news item of the region.
#include <gtest/gtest.h>

#include "platform/fpenv.h"
#include "platform/messages.h"
#include "screens/screen_set.h"
#include "sim/player_messages.h"
#include "support/sample_game.h"
#include "ui/list_control.h"
#include "world/world.h"

namespace {

TEST(StatusNewsPlay, AfterTenDaysTheNewsListHoldsEveryNewsItem) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  World& w = g_world;
  SampleGame::PlayDays(10);
  SampleGame::PressKey(plat::kVkF1 + 8);  // F9
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
