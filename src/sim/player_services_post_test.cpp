#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <vector>

#include "sim/command_log.h"
#include "records/player_record.h"
#include "sim/player_services.h"
#include "support/global_guard.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

class ServicePosts : public ::testing::Test {
 protected:
  void SetUp() override {
    g_commandLog.Clear();
    std::memset(static_cast<void*>(g_world.players), 0, sizeof g_world.players);
    g_world.gameState.localPlayer = 2;
    g_world.gameState.currentTick = 700;
    g_world.gameState.commandLead = 4;
    g_world.players[2].kind = kKindHuman;
    g_world.players[2].number = 2;
  }
  void TearDown() override {
    g_commandLog.Clear();
  }
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<decltype(g_world.players)> players_{g_world.players};
};

TEST_F(ServicePosts, TaxRatesForALevelArePostedAsTwelveRatesAndTheUserFees) {
  float bases[13] = {};
  bases[0] = 52.0f;
  bases[12] = 0.04f;  // S = 1.04; k = 0.52 / 1.04 = 0.5
  SetTaxRatesForLevel(bases, 0.52f);
  const std::vector<GameCommand> log = g_commandLog.Entries();
  ASSERT_EQ(log.size(), 13u);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(log[i].id, 19u);
    EXPECT_EQ(log[i].arg28, static_cast<uint32_t>(i));
  }
  EXPECT_EQ(std::bit_cast<float>(log[0].arg32), 0.5f);  // min(0.5 x 52, 0.5)
  EXPECT_EQ(std::bit_cast<float>(log[1].arg32), 0.0f);
  EXPECT_EQ(log[12].id, 20u);
  EXPECT_EQ(std::bit_cast<float>(log[12].arg28), 0.02f);
}

TEST_F(ServicePosts, CabinetDefaultsSkipStaffedPostsAndMarkTheAdvancedOrders) {
  PlayerRecord& r = g_world.players[2];
  SetCabinetId(r.displayPolicy.cabinetPolicy[3], 0, 1);  // post 3 keeps its own
  r.displayPolicy.defsetadvorders[0] = 0x15;
  PostCabinetDefaults(g_world, r);
  const std::vector<GameCommand> log = g_commandLog.Entries();
  ASSERT_EQ(log.size(), 2u * 5u + 1u);
  std::vector<uint32_t> posts;
  for (const GameCommand& c : log) {
    if (c.id == 256) {
      posts.push_back(c.arg28);
      EXPECT_EQ(c.arg32, c.arg28 == 0 ? 2u : 1u);
      EXPECT_EQ(c.arg36, 14u + c.arg28);
    } else if (c.id == 257) {
      EXPECT_EQ(c.arg32, 10000u);
    } else {
      EXPECT_EQ(c.id, 260u);
      EXPECT_EQ(c.arg28, 0x80000015u);
      EXPECT_EQ(c.arg32, 135493u);
    }
  }
  EXPECT_EQ(posts, (std::vector<uint32_t>{0, 1, 2, 4, 5}));
}

TEST_F(ServicePosts, CabinetDefaultsResetEveryPostsState) {
  PlayerRecord& r = g_world.players[2];
  SetCabinetId(r.displayPolicy.cabinetPolicy[3], 0, 1);  // staffed: its state is reset all the same
  for (int post = 0; post < kCabinetPosts; ++post) {
    r.cabinetApproval[post] = 0.9f;
    r.cabinetConcern[post] = 0.1f;
    r.recommendedPriorities[post] = 0xFFu;
    r.cabinetStateWord[post] = 7u;
  }
  PostCabinetDefaults(g_world, r);
  for (int post = 0; post < kCabinetPosts; ++post) {
    EXPECT_EQ(r.cabinetApproval[post], 0.5f) << post;
    EXPECT_EQ(r.cabinetConcern[post], 0.5f) << post;
    EXPECT_EQ(r.recommendedPriorities[post], 0u) << post;
    EXPECT_EQ(r.cabinetStateWord[post], 0u) << post;
  }
  EXPECT_EQ(g_world.players[3].cabinetApproval[0], 0.0f) << "only this region";
}

}  // namespace
