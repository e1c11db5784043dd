#include "headless_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/paths.h"
#include "sim/player_messages.h"
#include "world/list_items.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// What one turn end leaves in the regions' message lists.
struct TurnCount {
  int stored = 0;  // messages in all lists
  int posted = 0;  // messages first seen at this turn end
};

// The oldest a message may be once the turn-end work has run: news lives
// half its priority plus the news days, unkept e-mail the e-mail days; a
// message of neither kind, and kept e-mail, has no limit.
int64_t AgeLimit(const PlayerMessage& m) {
  if (m.flags & kMessageNews) return m.priority / 2 + g_uiOptions.newsdeldays;
  if ((m.flags & kMessageEmail) && !(m.flags & kMessageKept) && g_uiOptions.emaildeldays != 0)
    return g_uiOptions.emaildeldays;
  return INT64_MAX;
}

// The sample world for 64 days with the runner's own turn ends: after each,
// no region holds a message past its age limit, and in the end the lists
// hold no more than the last few weeks brought, far fewer than the game
// posted.
TEST(HeadlessRunner, MessageListsStayWithinTheirDaysOverALongRun) {
  plat::SetDataRoot(VD_GAME_DIR);
  constexpr int kDays = 64;
  std::vector<TurnCount> turns;
  int64_t longestLimit = 0;
  uint32_t newestSerial = 0;
  int overAge = 0;

  headless::Options options;
  options.game = "Channel";
  options.days = kDays;
  options.afterTurnEnd = [&](World& world) {
    const int64_t today = world.gameState.currentDay;
    TurnCount count;
    uint32_t newest = newestSerial;
    for (int p = 0; p < kMaxPlayers; ++p) {
      ListNode& head = world.messageLists[p];
      for (ListNode* node = head.next(); node && node != &head; node = node->next()) {
        const auto& m = *static_cast<PlayerMessage*>(node);
        ++count.stored;
        if (m.serial > newestSerial) ++count.posted;
        newest = std::max(newest, m.serial);
        const int64_t limit = AgeLimit(m);
        if (limit != INT64_MAX) longestLimit = std::max(longestLimit, limit);
        if (today - static_cast<int64_t>(m.day) > limit && ++overAge <= 5)
          ADD_FAILURE() << "day " << today << ": region " << p << " keeps message " << m.typeId << " of day "
                        << m.day << " (flags " << m.flags << ", priority " << int{m.priority} << ")";
      }
    }
    newestSerial = newest;
    turns.push_back(count);
  };

  std::FILE* out = std::fopen("/dev/null", "w");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(headless::Run(options, out, stderr), 0);
  std::fclose(out);

  ASSERT_EQ(turns.size(), static_cast<size_t>(kDays));
  EXPECT_EQ(overAge, 0);
  // Every message stored at the end arrived within the longest limit (plus
  // the day it arrived on).
  ASSERT_GT(longestLimit, 0);
  ASSERT_LT(longestLimit + 1, kDays / 2) << "the run is too short to see the lists level off";
  int lastWeeks = 0, total = 0;
  for (int t = 0; t < kDays; ++t) {
    total += turns[t].posted;
    if (t >= kDays - (longestLimit + 1)) lastWeeks += turns[t].posted;
  }
  EXPECT_LE(turns.back().stored, lastWeeks);
  // The game posts enough that keeping everything would be seen.
  EXPECT_GT(total, 2 * turns.back().stored);
  // Half-way the lists are full already; the second half adds nothing
  // beyond what the same number of days' postings may vary.
  const int halfWay = turns[kDays / 2 - 1].stored;
  EXPECT_LE(turns.back().stored, halfWay + halfWay / 2);
}

}  // namespace
