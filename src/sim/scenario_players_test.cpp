#include "sim/scenario_players.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/paths.h"
#include "platform/status.h"
#include "support/temp_dir.h"
#include "world/map_folders_test_support.h"
#include "world/world.h"

namespace {

class ScenarioPlayersOfTheWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
  }
  void TearDown() override { plat::SetDataRoot(oldRoot_); }

  TempDir dir_;
  std::string oldRoot_;
};

// The custom folder's file is read while the world's folder state says so,
// and only the players up to the world's highest take their sections.
TEST_F(ScenarioPlayersOfTheWorld, FollowTheFolderRuleUpToTheHighestPlayer) {
  auto world = std::make_unique<World>();
  dir_.Write("CUSTOM/Same.GMC", "difficulty: 1\r\n&&PLAYER01\r\n01avatar: 5\r\n&&PLAYER02\r\n02avatar: 6\r\n");
  dir_.Write("Scenario/Same.GMC", "difficulty: 2\r\n&&PLAYER01\r\n01avatar: 7\r\n");
  TestMapFolders folders(false, true);
  world->gameState.highestPlayer = 1;
  ASSERT_EQ(LoadScenarioPlayers(*world, nullptr, "Same"), plat::kOk);
  EXPECT_EQ(world->players[1].avatar, 5);
  EXPECT_EQ(world->players[2].avatar, 0);  // above the highest player
  folders.Set(false, false);
  ASSERT_EQ(LoadScenarioPlayers(*world, nullptr, "Same"), plat::kOk);
  EXPECT_EQ(world->players[1].avatar, 7);
}

TEST_F(ScenarioPlayersOfTheWorld, NoSettingsAreReadWithoutARegionRecord) {
  auto world = std::make_unique<World>();
  dir_.Write("PlayerSet/One.INI", "minwage\t2.5\r\n");
  EXPECT_EQ(LoadPlayerSettings(*world, "One", 3, nullptr), plat::kFail);
  EXPECT_EQ(LoadPlayerSettings(nullptr, 3, "One", nullptr), plat::kFail);
}

}  // namespace
