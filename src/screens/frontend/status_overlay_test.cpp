// The status lines over the map: one revealed at a time, highest priority
// first, stale ones dropped, the rows standing at the bottom, and an
// overlay of no lines that is empty rather than upside down.
#include "screens/frontend/status_overlay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/status_queue.h"
#include "support/global_guard.h"
#include "ui/control.h"
#include "ui/control_test_support.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

class StatusLinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearStatusQueue(g_world);
    g_uiOptions.chatshowtime = 10000;
    g_uiOptions.statshowlines = 5;
    g_uiOptions.statlinehistory = 40;
    g_world.gameState.currentTick = 2000;
  }
  void TearDown() override { ClearStatusQueue(g_world); }

  static std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (ListNode* n = g_statusQueue.head.next(); n && n != &g_statusQueue.head; n = n->next())
      texts.emplace_back(static_cast<StatusQueueItem*>(n)->text);
    return texts;
  }
  // Every queued line as already shown at the time.
  static void MarkShown(uint32_t at) {
    for (ListNode* n = g_statusQueue.head.next(); n && n != &g_statusQueue.head; n = n->next())
      static_cast<StatusQueueItem*>(n)->shown = at;
  }

  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<GameState> state_{g_world.gameState};
};

// 10000 ms and 5 lines: one line per 2000 ms. Waiting priorities 2, 9, 5
// come up 9, 5, 2; a line stays up 10000 ms from its reveal.
TEST_F(StatusLinesTest, OneLineIsRevealedPerIntervalHighestPriorityFirst) {
  AppendStatusLine(g_world, "low", 1990, 2);
  AppendStatusLine(g_world, "high", 1995, 9);
  AppendStatusLine(g_world, "middle", 1999, 5);
  const struct {
    uint32_t now;
    std::vector<std::string> rows;
  } rows[] = {
      {2000, {}},                           // not past 0 + 2000 yet
      {2001, {"high"}},                     //
      {4000, {"high"}},                     // 2001 + 2000 not passed
      {4002, {"high", "middle"}},           //
      {6003, {"high", "middle", "low"}},    //
      {12001, {"middle", "low"}},           // "high" went up at 2001: 10000 ms are over
      {16003, {}},                          // all expired, nothing waits
  };
  uint32_t lastReveal = 0;
  for (const auto& r : rows) EXPECT_EQ(CollectStatusLines(g_world, r.now, lastReveal), r.rows) << r.now;
  // A clock that wrapped (now before the last reveal) reveals at once.
  AppendStatusLine(g_world, "after the wrap", 2000, 1);
  EXPECT_EQ(CollectStatusLines(g_world, 50, lastReveal), std::vector<std::string>{"after the wrap"});
  EXPECT_EQ(lastReveal, 50u);
  // Of two waiting lines of one priority the first goes up first.
  AppendStatusLine(g_world, "first", 2000, 4);
  AppendStatusLine(g_world, "second", 2000, 4);
  EXPECT_EQ(CollectStatusLines(g_world, 16200, lastReveal), std::vector<std::string>{"first"});
}

// The clock stands at minute 2000: a line posted 1441 minutes ago goes
// unseen and is freed; one of exactly 1440 minutes still waits, and so does
// one stamped ahead of the clock (a loaded game).
TEST_F(StatusLinesTest, AWaitingLineOlderThanADayIsFreed) {
  const struct {
    uint32_t tick;
    bool kept;
  } rows[] = {{559, false}, {560, true}, {1999, true}, {2500, true}, {0, false}};
  for (const auto& r : rows) AppendStatusLine(g_world, std::to_string(r.tick).c_str(), r.tick, 1);
  uint32_t lastReveal = 100000;  // nothing is revealed during this walk
  (void)CollectStatusLines(g_world, 100001, lastReveal);
  std::vector<std::string> kept;
  for (const auto& r : rows)
    if (r.kept) kept.push_back(std::to_string(r.tick));
  EXPECT_EQ(Texts(), kept);
  EXPECT_EQ(g_statusQueue.count, static_cast<int32_t>(kept.size()));
}

// Expired lines are kept up to "statlinehistory" + 1, the oldest first;
// later ones are freed.
TEST_F(StatusLinesTest, ExpiredLinesBeyondTheHistoryAreFreed) {
  g_uiOptions.statlinehistory = 1;
  for (const char* text : {"a", "b", "c", "d"}) AppendStatusLine(g_world, text, 1999, 1);
  MarkShown(1);
  uint32_t lastReveal = 1;
  EXPECT_TRUE(CollectStatusLines(g_world, 20000, lastReveal).empty());
  EXPECT_EQ(Texts(), (std::vector<std::string>{"a", "b"}));
}

// With 5 places, 3 rows start two rows down; 5 rows start at the top; a
// page that stored 0 lines neither divides by zero nor lifts the rows.
TEST_F(StatusLinesTest, FewRowsStandAtTheBottomOfTheOverlay) {
  StatusMapOverlay overlay;
  auto* form = new Control(controltest::Init("STATMAP", &overlay, 0, 0, 400, 90));
  ControlAddChild(form, new Control(controltest::Init("STATLIST", &overlay, 0, 0, 400, 90)));
  overlay.currentForm = overlay.form = form;
  overlay.list = MakeListBox("STATLIST", 0, form, 0, &overlay);
  ASSERT_NE(overlay.list, nullptr);
  const int32_t rowHeight = Height(overlay.list->prototype.get());
  ASSERT_GT(rowHeight, 0);
  const struct {
    int shown, lines;
    int32_t top;
  } rows[] = {{3, 5, 2 * rowHeight}, {5, 5, 0}, {1, 0, 0}, {2, -1, 0}};
  for (const auto& r : rows) {
    ClearStatusQueue(g_world);
    g_uiOptions.statshowlines = r.lines;
    for (int i = 0; i < r.shown; ++i) AppendStatusLine(g_world, "line", 1999, 1);
    MarkShown(5000);
    overlay.lastReveal = 5000;
    ListClear(overlay.list, 0);
    EXPECT_EQ(FillStatusLines(overlay, 5001), r.shown) << r.shown << " of " << r.lines;
    EXPECT_EQ(overlay.list->rowCount, static_cast<uint32_t>(r.shown));
    EXPECT_EQ(overlay.list->rect.top, r.top) << r.shown << " of " << r.lines;
  }
  overlay.currentForm = overlay.form = nullptr;
  delete form;
}

// Lines times the font's line height; without a font the form's own
// height; no lines or fewer give an empty overlay.
TEST(MapOverlayHeight, IsNeverNegative) {
  const struct {
    int32_t lines, lineHeight, formHeight, height;
  } rows[] = {{6, 12, 90, 72}, {1, 15, 90, 15}, {0, 12, 90, 0}, {-3, 12, 90, 0}, {5, 0, 90, 90}, {-1, 0, 90, 0}};
  for (const auto& r : rows)
    EXPECT_EQ(OverlayHeight(r.lines, r.lineHeight, r.formHeight), r.height) << r.lines << " " << r.lineHeight;
}

}  // namespace
