// The world-market panels: the figures of the aid panel, the join fee, the
// member notice and the membership command.
#include "screens/diplomacy/world_market_panels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "app/calendar.h"
#include "records/command_ids.h"
#include "records/player_policy.h"
#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "world/region_figures.h"
#include "world/world.h"

namespace {

constexpr int kLocal = 1;

class WorldMarketTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.gameState.localPlayer = kLocal;
    g_commandLog.Clear();
  }
  void TearDown() override { g_commandLog.Clear(); }
  static PlayerRecord& Local() { return g_world.players[kLocal]; }
  static void SetOpinion(float opinion) { StoreRegionFloat(Local(), kRegionWmIntegrity, opinion); }

  GlobalGuard<PlayerRecord[kMaxPlayers]> players_{g_world.players};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<uint8_t> endMode_{g_world.scenario.head.svictorycond};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth};
  GlobalGuard<int32_t> sidePopup_{g_ui.sidePopupOpen};
  GlobalGuard<int32_t> marker_{g_screens.cmdBar.dockedPanelMarker};
};

TEST_F(WorldMarketTest, CostAndFeeComeFromOpinionAndFeeBase) {
  DiplomacyAidPanel aid;
  controltest::PanelForm aidForm{aid, "DIPL1_SS1", {"WMCOST"}};
  WorldMarketJoinPanel join;
  controltest::PanelForm joinForm{join, "DIPL1_SS1C", {"JOINFEE"}};
  struct Row {
    float base;
    const char* cost;
    const char* fee;
  };
  const Row rows[] = {{1000000.0f, "$ 14,999", "$ 749"}, {1048576.0f, "$ 15,728", "$ 786"}};
  SetOpinion(0.5f);
  for (const Row& r : rows) {
    Local().gdp = r.base;
    aid.Refresh();
    join.Refresh();
    EXPECT_EQ(aidForm.Text("WMCOST"), r.cost) << r.base;
    EXPECT_EQ(joinForm.Text("JOINFEE"), r.fee) << r.base;
  }
  EXPECT_EQ(WorldMarketCost(0.5f, 1000000.0f), std::nextafter(15000.0f, 0.0f));
  EXPECT_EQ(WorldMarketJoinFee(0.5f, 1000000.0f), std::nextafter(750.0f, 0.0f));
}

TEST_F(WorldMarketTest, OpinionWordsAreClampedEighths) {
  const struct {
    float opinion;
    int32_t word;
  } rows[] = {{0.95f, 6}, {0.5f, 4}, {-0.2f, 0}, {std::numeric_limits<float>::quiet_NaN(), 0}};
  for (const auto& r : rows) EXPECT_EQ(WorldMarketOpinionWord(r.opinion), r.word) << r.opinion;
}

TEST_F(WorldMarketTest, EndDateShowsOnlyForADatedEnd) {
  DiplomacyAidPanel aid;
  controltest::PanelForm form{aid, "DIPL1_SS1", {"ENDHIDE", "ENDDATE"}};
  GameDate end{.dayNumber = 0, .year = 2012, .month = 3, .day = 1};
  DateToDayNumber(end);
  g_world.gameState.endDay = static_cast<uint32_t>(end.dayNumber);
  g_world.scenario.head.svictorycond = kEndModeDate;
  aid.Refresh();
  EXPECT_TRUE(form.Shown("ENDHIDE"));
  EXPECT_EQ(form.Text("ENDDATE"), "Mar 1, 2012");
  g_world.scenario.head.svictorycond = 2;
  g_world.gameState.endDay += 40;
  aid.Refresh();
  EXPECT_FALSE(form.Shown("ENDHIDE"));
  EXPECT_EQ(form.Text("ENDDATE"), "Mar 1, 2012");
}

TEST_F(WorldMarketTest, NoMemberNoticeFollowsTheSimulationsCopy) {
  WorldMarketMembersPanel members;
  controltest::PanelForm form{members, "DIPL1_SS1A", {"NOMEMBER", "MEMBERGRID"}};
  const struct {
    bool member;
    float opinion;
    bool shown;
  } rows[] = {{false, 0.05f, true}, {true, 0.05f, false}, {false, 0.1f, false}};
  for (const auto& r : rows) {
    Local().simPolicy.wageFlags = r.member ? kWorldBodyMember : 0;
    Local().displayPolicy.wageFlags = kWorldBodyMember;  // the display copy has no say
    SetOpinion(r.opinion);
    members.Refresh();
    EXPECT_EQ(form.Shown("NOMEMBER"), r.shown) << r.member << " " << r.opinion;
  }
}

TEST_F(WorldMarketTest, ConfirmationsPostTheMembershipCommand) {
  WorldMarketJoinPanel join;
  controltest::PanelForm joinForm{join, "DIPL1_SS1C", {"YESBUT3"}};
  WorldMarketLeavePanel leave;
  controltest::PanelForm leaveForm{leave, "DIPL1_SS1B", {"YESBUT2"}};
  const struct {
    Screen& panel;
    Control* button;
    uint32_t join;
  } rows[] = {{join, joinForm["YESBUT3"], 1}, {leave, leaveForm["YESBUT2"], 0}};
  for (const auto& r : rows) {
    g_commandLog.Clear();
    r.panel.OnCommand(r.button, 0);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].id, kCmdPolicyFlag2);
    EXPECT_EQ(log[0].arg24, 0u);
    EXPECT_EQ(log[0].arg28, r.join);
    EXPECT_EQ(log[0].arg32, 0u);
    EXPECT_EQ(log[0].arg36, 0u);
  }
}

}  // namespace
