// The standings text: the first region of each rank, the local one marked.
#include "screens/diplomacy/reports/standings_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "records/player_kinds.h"
#include "world/world.h"

TEST(StandingsText, ListsTheFirstRegionOfEachRankAndMarksTheLocalOne) {
  auto w = std::make_unique<World>();
  const char* names[] = {"Westholm", "Eastmark", "Northby"};
  const int32_t ranks[] = {2, 1, 2};
  const float shares[] = {0.25f, 0.5f, 0.25f};
  for (int p = 1; p <= 3; ++p) {
    w->players[p].kind = kKindComputer;
    std::strncpy(w->players[p].name, names[p - 1], sizeof w->players[p].name - 1);
    w->stats.rank[p] = ranks[p - 1], w->stats.share[p] = shares[p - 1];
  }
  w->gameState.highestPlayer = 3, w->gameState.localPlayer = 1;
  EXPECT_EQ(BuildStandingsText(*w), "1 : 50.0% - Eastmark \n2 : 25.0% - Westholm  <<<<<\n\n\n");
}
