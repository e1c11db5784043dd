// The force size panel: a minimum age no button offers is repaired to 16,
// the age ids post their age, and each service switch a player presses
// comes back from the simulation's handler as that switch pressed.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "records/player_record.h"
#include "screens/military/department/department_text.h"
#include "screens/common/local_region_fixture.h"
#include "screens/common/military_test_support.h"
#include "screens/military/operations/force_size_panel.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "world/text/player_settings.h"
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

class ForceSizePanelTest : public militarytest::LocalRegionTest<kLocal, 0> {};

TEST_F(ForceSizePanelTest, AnAgeNoButtonOffersIsRepairedAndAgeIdsPostTheirAge) {
  g_world.players[kLocal].displayPolicy.soldierminage = 17;
  TestSheet sheet;
  for (int32_t age : kForceSizeAgeIds) sheet.Add(nullptr, age);
  std::unique_ptr<Screen> panel = MakeForceSizePanel();
  panel->currentForm = sheet.root;
  g_commandLog.Clear();
  panel->Refresh();
  using Posts = std::vector<std::tuple<uint32_t, uint32_t>>;
  EXPECT_EQ(Posted(), (Posts{{kCmdSoldierMinAge, 16u}}));
  EXPECT_TRUE(sheet.Find(16)->Selected());
  struct Row { int32_t id; Posts want; };
  const Row rows[] = {{15, {{kCmdSoldierMinAge, 15u}}}, {17, {{kCmdSoldierMinAge, 17u}}},
                      {19, {{kCmdSoldierMinAge, 19u}}}, {20, {{kCmdSoldierMinAge, 20u}}},
                      {13, {}},                         {22, {}}};
  for (const Row& r : rows) {
    Control button;
    panel->OnCommand(&button, r.id);
    EXPECT_EQ(Posted(), r.want) << r.id;
  }
  panel->currentForm = nullptr;
}

// The player presses conscription, or women in service, on a page showing
// neither; the command it posts is run by the settings handler on the
// region's policy, and the page drawn again from that policy shows the same
// switch pressed, the other not, and the age choice with conscription only.
TEST_F(ForceSizePanelTest, EachServiceSwitchPressedComesBackPressedFromItsCommand) {
  struct Row {
    const char* pressed;
    const char* other;
    uint32_t command;
    bool agesShown;
  };
  const Row rows[] = {{"CONSCRIPBUT", "COEDBUT", kCmdBConscript, true}, {"COEDBUT", "CONSCRIPBUT", kCmdBCoed, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.pressed);
    PlayerPolicyBlock& policy = g_world.players[kLocal].displayPolicy;
    policy.militaryFlags = 0;
    policy.soldierminage = 16;
    TestSheet sheet;
    sheet.Texts({"CONSCRIPBUT", "COEDBUT", "AGEHIDE"});
    for (int32_t age : kForceSizeAgeIds) sheet.Add(nullptr, age);
    std::unique_ptr<Screen> panel = MakeForceSizePanel();
    panel->currentForm = sheet.root;
    panel->Refresh();
    ASSERT_FALSE(sheet.Find(r.pressed)->Selected());
    g_commandLog.Clear();
    Control* button = sheet.Find(r.pressed);
    SetPressed(button, true);
    panel->OnCommand(button, 0);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    g_commandLog.Clear();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].id, r.command);
    EXPECT_TRUE(ApplySettingCommand(policy, log[0].id, log[0].arg28, log[0].arg32, log[0].arg36));
    SetPressed(button, false);
    panel->Refresh();
    EXPECT_TRUE(sheet.Find(r.pressed)->Selected());
    EXPECT_FALSE(sheet.Find(r.other)->Selected());
    EXPECT_EQ(sheet.Find("AGEHIDE")->Hidden(), !r.agesShown);
    panel->currentForm = nullptr;
  }
}

}  // namespace
