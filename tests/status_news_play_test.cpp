// The status department in a game of the sample scenario: after ten days
// F9 docks it with one row for each news item of the region; its graphs
// page draws a bar of the active force from the first day.
#include <gtest/gtest.h>

#include <vector>

#include "app/gfx/renderer.h"
#include "platform/fpenv.h"
#include "platform/messages.h"
#include "screens/screen_set.h"
#include "sim/player_messages.h"
#include "support/sample_game.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "world/game_speed.h"
#include "world/world.h"

namespace {

TEST(StatusNewsPlay, AfterTenDaysTheNewsListHoldsEveryNewsItem) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.StartUnasked());
  World& w = g_world;
  SampleGame::PlayDays(10);
  SampleGame::PressKey(plat::kVkF1 + 8);  // F9
  StatusScreen& status = g_screens.statusScreen;
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

TEST(StatusNewsPlay, TheActiveForceGraphDrawsTheRegionsForces) {
  plat::SetGameFloatMode();
  SampleGame game;
  ASSERT_NO_FATAL_FAILURE(game.Start());
  SetGameSpeed(g_world.gameState, 0);
  SampleGame::PressKey(plat::kVkF1 + 8);  // F9
  StatusScreen& status = g_screens.statusScreen;
  ASSERT_NE(status.currentForm->parent, nullptr) << "F9 docks STATUS1";
  SampleGame::ClickControl(FormFindControlByTag(status.currentForm, "GRAPHS"));
  Screen& graph = *g_screens.graphPopup;
  ASSERT_NE(graph.currentForm, nullptr) << "the graphs page shows its chart";
  // The fifth series, after four steps on from the first.
  for (int i = 0; i < 4; ++i) SampleGame::ClickControl(FormFindControlByTag(graph.currentForm, "NEXGRAPH"));
  SampleGame::Pump();
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &width, &height), plat::kOk);
  const plat::Rect box = ControlAbsoluteRect(FormFindControlByTag(graph.currentForm, "GRAPH"));
  const auto pixel = [&](int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)]; };
  // A bar starts at the chart's left edge of its row: count the rows whose
  // first pixels inside the chart differ from the chart's right end.
  int bars = 0;
  for (int32_t y = box.top + 1; y < box.bottom - 1 && y < static_cast<int32_t>(height); ++y)
    bars += pixel(box.left + 2, y) != pixel(box.right - 2, y);
  EXPECT_GT(bars, 0) << "the active force draws bars";
}

}  // namespace
