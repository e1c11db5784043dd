// The standings text: one line per rank, the first region of a shared rank,
// the local region marked, the closing blank lines.
#include "screens/diplomacy/standings_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "records/player_kinds.h"
#include "world/world.h"

namespace {

TEST(StandingsText, ListsTheFirstRegionOfEachRankAndMarksTheLocalOne) {
  auto world = std::make_unique<World>();
  const struct {
    const char* name;
    int32_t rank;
    float share;
  } players[] = {{"Westholm", 2, 0.25f}, {"Eastmark", 1, 0.5f}, {"Northby", 2, 0.25f}};
  for (int p = 1; p <= 3; ++p) {
    PlayerRecord& r = world->players[p];
    r.kind = kKindComputer;
    std::strncpy(r.name, players[p - 1].name, sizeof r.name - 1);
    world->stats.rank[p] = players[p - 1].rank;
    world->stats.share[p] = players[p - 1].share;
  }
  world->gameState.highestPlayer = 3;
  world->gameState.localPlayer = 1;
  EXPECT_EQ(BuildStandingsText(*world), "1 : 50.0% - Eastmark \n2 : 25.0% - Westholm  <<<<<\n\n\n");
}

}  // namespace
