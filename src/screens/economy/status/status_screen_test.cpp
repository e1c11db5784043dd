// The status department's news list, from the local region's messages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/calendar.h"
#include "app/list_node.h"
#include "screens/economy/status/status_screen.h"
#include "screens/common/frame/command_bars.h"
#include "sim/command_log.h"
#include "sim/player_messages.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 3;

int32_t Day(int16_t year, uint8_t month, uint8_t day) {
  GameDate d{0, year, month, day};
  DateToDayNumber(d);
  return d.dayNumber;
}

struct Item {
  uint32_t flags;
  int32_t day;
  uint8_t importance;
  const char* headline;
};

void File(const Item& item) {
  auto* m = NewZeroed<PlayerMessage>();
  m->flags = item.flags, m->day = static_cast<uint32_t>(item.day), m->priority = item.importance;
  if (item.headline) m->texts[0] = strdup(item.headline);
  g_world.messageLists[kLocal].Append(m);
}

void EmptyMessages() {
  for (ListNode& head = g_world.messageLists[kLocal]; head.next() && head.next() != &head;)
    DeleteZeroed(static_cast<PlayerMessage*>(head.next()));
}

using Shown = std::pair<std::string, uint32_t>;  // a row's text and colour

TEST(StatusNews, TheListShowsTheRegionsNewsInListOrder) {
  GlobalGuard<GameState> state(g_world.gameState);
  GlobalGuard<uint8_t[10]> panelFlags(g_panelFlags);
  g_world.gameState.localPlayer = kLocal;
  g_commandLog.Clear();
  StatusScreen screen;
  controltest::PanelForm form(screen, "STATUS1", {"GRAPHS", "STATS", "SCENARIO", "NEWSLIST"}, {}, {"NEWSLIST"});
  screen.BindControls();
  ASSERT_NE(screen.newsList, nullptr);
  const uint32_t plain = screen.newsList->prototype->textColour;

  struct Case {
    const char* name;
    std::vector<Item> items;
    std::vector<Shown> rows;
  };
  const Case cases[] = {
      {"no news", {{kMessageEmail, Day(2001, 3, 1), 90, "Mail"}}, {}},
      {"news only, in list order, urgent from 50",
       {{kMessageNews, Day(2000, 12, 24), 49, "Quiet day"},
        {kMessageEmail, Day(2000, 12, 25), 90, "A letter"},
        {kMessageNews, Day(2001, 3, 5), 50, nullptr},
        {kMessageNews | kMessageKept, Day(2001, 1, 31), 255, "War"}},
       {{"Dec 24 Quiet day", plain}, {"Mar 5 ", kUrgentNewsColour}, {"Jan 31 War", kUrgentNewsColour}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const Item& item : c.items) File(item);
    screen.Refresh();
    std::vector<Shown> rows;
    for (Control* row = ListNextRow(screen.newsList, nullptr); row; row = ListNextRow(screen.newsList, row))
      rows.push_back({row->text, static_cast<const ListTextRow*>(row)->textColour});
    EXPECT_EQ(rows, c.rows);
    EmptyMessages();
  }

  // The tabs and a row open pages and post nothing.
  File({kMessageNews, Day(2000, 6, 1), 10, "June"});
  screen.Refresh();
  GlobalGuard<int32_t> depth(g_ui.panelDepth);
  g_ui.panelDepth = 2;
  ListSelectItem(0, screen.newsList, screen.newsList->firstRow, 1);
  EXPECT_NE(screen.newsViewer.id, 0);
  EXPECT_EQ(g_ui.panelDepth, 2) << "a row opens the viewer and closes no page";
  for (const char* tag : {"GRAPHS", "STATS", "SCENARIO"}) screen.OnCommand(form[tag], 0);
  EXPECT_TRUE(g_commandLog.Entries().empty());
  EmptyMessages();
}

}  // namespace
