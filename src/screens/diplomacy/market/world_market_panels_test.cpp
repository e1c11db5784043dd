// The world-market panels: the figures of the aid panel, the join fee, the
// member notice, the membership command, and the request and vote panels.
#include "screens/diplomacy/market/world_market_panels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "app/calendar.h"
#include "records/command_ids.h"
#include "records/player_policy.h"
#include "screens/diplomacy/market/aid_request_panels.h"
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

class WorldMarketTest : public ::testing::Test {
 protected:
  void SetUp() override { g_world.gameState.localPlayer = 1, g_commandLog.Clear(); }
  void TearDown() override { g_commandLog.Clear(); }
  static PlayerRecord& Local() { return g_world.players[1]; }
  static void SetOpinion(float opinion) { StoreRegionFloat(Local(), kRegionWmIntegrity, opinion); }

  GlobalGuard<PlayerRecord[kMaxPlayers]> players_{g_world.players};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<uint8_t> endMode_{g_world.scenario.head.svictorycond};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth}, sidePopup_{g_ui.sidePopupOpen};
  GlobalGuard<int32_t> marker_{g_screens.cmdBar.dockedPanelMarker};
};

TEST_F(WorldMarketTest, CostFeeAndOpinionWordComeFromOpinionAndFeeBase) {
  DiplomacyAidPanel aid;
  controltest::PanelForm aidForm{aid, "DIPL1_SS1", {"WMCOST"}};
  std::unique_ptr<Screen> join = MakeWorldMarketJoinPanel();
  controltest::PanelForm joinForm{*join, "DIPL1_SS1C", {"JOINFEE"}};
  SetOpinion(0.5f);
  for (const auto& r : {std::tuple{1000000.0f, "$ 14,999", "$ 749"}, std::tuple{1048576.0f, "$ 15,728", "$ 786"}}) {
    Local().gdp = std::get<0>(r);
    aid.Refresh(), join->Refresh();
    EXPECT_EQ(aidForm.Text("WMCOST"), std::get<1>(r));
    EXPECT_EQ(joinForm.Text("JOINFEE"), std::get<2>(r));
  }
  EXPECT_EQ(WorldMarketCost(0.5f, 1000000.0f), std::nextafter(15000.0f, 0.0f));
  EXPECT_EQ(WorldMarketJoinFee(0.5f, 1000000.0f), std::nextafter(750.0f, 0.0f));
  for (const auto& [opinion, word] : {std::pair{0.95f, 6}, {0.5f, 4}, {-0.2f, 0}, {std::nanf(""), 0}})
    EXPECT_EQ(WorldMarketOpinionWord(opinion), word) << opinion;
}

// A machine that plays no region shows no region's figures, least of all
// region 0's.
TEST_F(WorldMarketTest, WithoutALocalRegionTheFiguresStayEmpty) {
  DiplomacyAidPanel aid;
  controltest::PanelForm aidForm{aid, "DIPL1_SS1", {"WMCOST"}};
  std::unique_ptr<Screen> join = MakeWorldMarketJoinPanel();
  controltest::PanelForm joinForm{*join, "DIPL1_SS1C", {"JOINFEE"}};
  StoreRegionFloat(g_world.players[0], kRegionWmIntegrity, 0.5f);
  g_world.players[0].gdp = 1000000.0f;
  for (int32_t local : {-1, kMaxPlayers, 1000}) {
    g_world.gameState.localPlayer = local;
    aid.Refresh(), join->Refresh();
    EXPECT_EQ(aidForm.Text("WMCOST"), "") << local;
    EXPECT_EQ(joinForm.Text("JOINFEE"), "") << local;
  }
  g_world.gameState.localPlayer = 0;
  aid.Refresh(), join->Refresh();
  EXPECT_EQ(joinForm.Text("JOINFEE"), "$ 749") << "region 0 played here shows its own fee";
}

TEST_F(WorldMarketTest, EndDateShowsOnlyForADatedEnd) {
  DiplomacyAidPanel aid;
  controltest::PanelForm form{aid, "DIPL1_SS1", {"ENDHIDE", "ENDDATE"}};
  GameDate end{.dayNumber = 0, .year = 2012, .month = 3, .day = 1};
  DateToDayNumber(end);
  g_world.gameState.endDay = static_cast<uint32_t>(end.dayNumber);
  for (const auto& [mode, shown] : {std::pair{kEndModeDate, true}, {uint8_t{2}, false}}) {
    g_world.scenario.head.svictorycond = mode;
    aid.Refresh();
    g_world.gameState.endDay += 40;  // an undated end leaves the old text
    EXPECT_EQ(form.Shown("ENDHIDE"), shown);
    EXPECT_EQ(form.Text("ENDDATE"), "Mar 1, 2012");
  }
}

TEST_F(WorldMarketTest, NoMemberNoticeFollowsTheSimulationsCopy) {
  std::unique_ptr<Screen> members = MakeWorldMarketMembersPanel();
  controltest::PanelForm form{*members, "DIPL1_SS1A", {"NOMEMBER"}};
  Local().displayPolicy.wageFlags = kWorldBodyMember;  // the display copy has no say
  for (const auto& [flags, opinion, shown] :
       {std::tuple{0u, 0.05f, true}, {kWorldBodyMember, 0.05f, false}, {0u, 0.1f, false}}) {
    Local().simPolicy.wageFlags = flags;
    SetOpinion(opinion);
    members->Refresh();
    EXPECT_EQ(form.Shown("NOMEMBER"), shown) << flags << " " << opinion;
  }
}

TEST_F(WorldMarketTest, ConfirmationsPostTheMembershipCommand) {
  std::unique_ptr<Screen> join = MakeWorldMarketJoinPanel();
  controltest::PanelForm joinForm{*join, "DIPL1_SS1C", {"YESBUT3"}};
  std::unique_ptr<Screen> leave = MakeWorldMarketLeavePanel();
  controltest::PanelForm leaveForm{*leave, "DIPL1_SS1B", {"YESBUT2"}};
  for (const auto& [panel, button, joins] :
       {std::tuple<Screen*, Control*, uint32_t>{join.get(), joinForm["YESBUT3"], 1}, {leave.get(), leaveForm["YESBUT2"], 0}}) {
    g_commandLog.Clear();
    panel->OnCommand(button, 0);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].id, kCmdPolicyFlag2);
    EXPECT_EQ(std::tuple(log[0].arg24, log[0].arg28, log[0].arg32, log[0].arg36), std::tuple(0u, joins, 0u, 0u));
  }
}

TEST_F(WorldMarketTest, RequestButtonWaitsForAnOptionAndOnlyResetsIt) {
  EconomicAidRequestPanel request;
  controltest::PanelForm form{request, "DIPL1_SS11", {"REQBUT"}, {101, 102, 103, 104, 105}};
  request.Refresh();
  EXPECT_FALSE(form.Shown("REQBUT"));
  SetControlFlag(form[103], kStateSelected, 1);
  request.OnCommand(form[103], 103);
  EXPECT_TRUE(form.Shown("REQBUT"));
  request.OnCommand(form["REQBUT"], 0);
  for (int32_t id = 101; id <= 105; ++id) EXPECT_FALSE(form[id]->Selected()) << id;
  EXPECT_TRUE(form.Shown("REQBUT"));
  EXPECT_TRUE(g_commandLog.Entries().empty());
}

TEST_F(WorldMarketTest, EconomicRequestReopensAtTheTopMilitaryKeepsItsPlace) {
  EconomicAidRequestPanel economic;
  controltest::PanelForm economicForm{economic, "DIPL1_SS11", {"DIPLIST2"}, {}, {"DIPLIST2"}};
  MilitaryAidRequestPanel military;
  controltest::PanelForm militaryForm{military, "DIPL1_SS12", {"DIPLIST3"}, {}, {"DIPLIST3"}};
  for (const auto& [panel, kept] : {std::pair<AidRequestPanel*, bool>{&economic, false}, {&military, true}}) {
    panel->BindControls();
    ASSERT_NE(panel->list, nullptr);
    panel->list->selectedId = 4, panel->list->scrollOffset = 24;
    panel->OnOpen();
    EXPECT_EQ(panel->list->selectedId, kept ? 4 : 0) << panel->formName;
    EXPECT_EQ(panel->list->scrollOffset, kept ? 24 : 0) << panel->formName;
  }
}

TEST_F(WorldMarketTest, VoteAcceptStaysHiddenWhileNoMotionIsListed) {
  std::unique_ptr<Screen> vote = MakeWorldMarketVotePanel();
  controltest::PanelForm form{*vote, "DIPL1_SS13", {"DIPLIST4", "DIPLIST5", "ACCPBUT"}, {}, {"DIPLIST4", "DIPLIST5"}};
  vote->BindControls();
  vote->OnOpen();
  ListBoxControl* regions = form.List("DIPLIST4");
  ASSERT_NE(regions, nullptr);
  regions->selectedId = 2;
  vote->OnControlChange(regions, 2);
  EXPECT_FALSE(form.Shown("ACCPBUT"));
}

}  // namespace
