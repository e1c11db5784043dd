// The force size panel: a minimum age no button offers is repaired to 16,
// and the age ids post their age.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/military/military_test_support.h"
#include "screens/military/operations/force_size_panel.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "world/world.h"

namespace {

using militarytest::TestSheet;

constexpr int kLocal = 1;

std::vector<std::tuple<uint32_t, uint32_t>> Posted() {
  std::vector<std::tuple<uint32_t, uint32_t>> posted;
  for (const GameCommand& c : g_commandLog.Entries()) posted.emplace_back(c.id, c.arg28);
  g_commandLog.Clear();
  return posted;
}

TEST(ForceSizePanelTest, AnAgeNoButtonOffersIsRepairedAndAgeIdsPostTheirAge) {
  const GlobalGuard<GameState> state(g_world.gameState);
  const GlobalGuard<PlayerRecord> local(g_world.players[kLocal]);
  g_world.gameState.localPlayer = kLocal;
  g_world.players[kLocal].displayPolicy.soldierminage = 17;
  TestSheet sheet;
  for (int32_t age : kForceSizeAgeIds) sheet.Add(nullptr, age);
  ForceSizePanel panel;
  panel.currentForm = sheet.root;
  g_commandLog.Clear();
  panel.Refresh();
  using Posts = std::vector<std::tuple<uint32_t, uint32_t>>;
  EXPECT_EQ(Posted(), (Posts{{kCmdSoldierMinAge, 16u}}));
  EXPECT_TRUE(sheet.Find(16)->Selected());
  struct Row { int32_t id; Posts want; };
  const Row rows[] = {{15, {{kCmdSoldierMinAge, 15u}}}, {17, {{kCmdSoldierMinAge, 17u}}},
                      {19, {{kCmdSoldierMinAge, 19u}}}, {20, {{kCmdSoldierMinAge, 20u}}},
                      {13, {}},                         {22, {}}};
  for (const Row& r : rows) {
    Control button;
    panel.OnCommand(&button, r.id);
    EXPECT_EQ(Posted(), r.want) << r.id;
  }
  panel.currentForm = nullptr;
}

}  // namespace
