// The alert-level panel: the order it posts, the clamped level it keeps,
// and the preparation cost that follows.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/common/military_test_support.h"
#include "screens/military/operations/defcon_panel.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/slide_bar.h"
#include "world/world.h"

namespace {

using militarytest::TestSheet;

constexpr int kLocal = 1;

void SetCosts(PlayerRecord& r) {
  r.yearlyCostHexLead = 1000000.0f;
  r.yearlyCostC = 500000.0f;
  r.yearlyCostD = 250000.0f;
  r.govtype = 3;
}

TEST(DefconPanelTest, TheBarPostsItsLevelAndKeepsTheClampedOne) {
  const GlobalGuard<GameState> state(g_world.gameState);
  const GlobalGuard<PlayerRecord> local(g_world.players[kLocal]);
  g_world.gameState.localPlayer = kLocal;
  PlayerRecord& r = g_world.players[kLocal];
  SetCosts(r);
  r.simPolicy.defcon = 1;
  TestSheet sheet;
  sheet.Texts({"DEFCON", "COSTPREP"});
  auto* bar = sheet.Add<SlideBarControl>("DEFCONSLDR");
  std::unique_ptr<Screen> panel = MakeDefconPanel();
  panel->currentForm = sheet.root;
  struct Row { uint32_t hostile; int32_t moved; int32_t stored; float cost; };
  const Row rows[] = {{0, 4, 3, 787500.0f}, {0x4, 0, 2, 350000.0f}};
  for (const Row& row : rows) {
    r.displayPolicy.hostileMask = r.simPolicy.hostileMask = row.hostile;
    SliderSetMaxInt(bar, 4);
    SliderSetValueInt(bar, row.moved);
    g_commandLog.Clear();
    panel->OnControlChange(bar, 0);
    std::vector<std::tuple<uint32_t, uint32_t, uint32_t>> posted;
    for (const GameCommand& c : g_commandLog.Entries()) posted.emplace_back(c.id, c.arg24, c.arg28);
    const std::vector<std::tuple<uint32_t, uint32_t, uint32_t>> want = {
        {kCmdDefcon, 0u, static_cast<uint32_t>(row.moved)}};
    EXPECT_EQ(posted, want) << row.moved;
    EXPECT_EQ(r.displayPolicy.defcon, row.stored) << row.moved;
    EXPECT_FLOAT_EQ(r.displayPolicy.readinessValue, row.cost) << row.moved;
    EXPECT_EQ(SliderGetValueInt(bar), row.stored) << row.moved;
  }
  g_commandLog.Clear();
  // The level in force is the simulation copy's.
  FillAlertInForce(sheet.root, r);
  EXPECT_EQ(sheet.Text("DEFCON"), "4");
  panel->currentForm = nullptr;
}

TEST(DefconPanelTest, PreparationGrowsWithTheSquareOfTheLevel) {
  PlayerRecord r{};
  SetCosts(r);
  r.displayPolicy.hostileMask = 1;
  EXPECT_FLOAT_EQ(AlertPreparationCost(r, 4), 1400000.0f);
  EXPECT_FLOAT_EQ(AlertPreparationCost(r, 0), 0.0f);
  r.displayPolicy.defcon = 4;
  r.displayPolicy.readinessValue = AlertPreparationCost(r, 4);
  TestSheet sheet;
  sheet.Texts({"COSTPREP", "BUILD", "MIN"});
  FillDefconPanel(sheet.root, r, 1.0f);
  EXPECT_EQ(sheet.Text("COSTPREP"), "$ 1.40 M");
  EXPECT_EQ(sheet.Text("MIN"), "(AT WAR - MIN DEFCON 3)");
}

}  // namespace
