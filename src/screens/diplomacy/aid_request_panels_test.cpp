// The aid request and world-market vote panels: the request button, the
// lists' places between openings, the vote's accept button.
#include "screens/diplomacy/aid_request_panels.h"

#include <gtest/gtest.h>

#include "screens/screen_set.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "world/world.h"

namespace {

class AidRequestTest : public ::testing::Test {
 protected:
  void SetUp() override { g_commandLog.Clear(); }
  void TearDown() override { g_commandLog.Clear(); }

  GlobalGuard<PlayerRecord[kMaxPlayers]> players_{g_world.players};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth};
  GlobalGuard<int32_t> sidePopup_{g_ui.sidePopupOpen};
  GlobalGuard<int32_t> marker_{g_screens.cmdBar.dockedPanelMarker};
};

TEST_F(AidRequestTest, RequestButtonWaitsForAnOptionAndOnlyResetsIt) {
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

TEST_F(AidRequestTest, EconomicRequestReopensAtTheTopMilitaryKeepsItsPlace) {
  EconomicAidRequestPanel economic;
  controltest::PanelForm economicForm{economic, "DIPL1_SS11", {"DIPLIST2"}, {}, {"DIPLIST2"}};
  MilitaryAidRequestPanel military;
  controltest::PanelForm militaryForm{military, "DIPL1_SS12", {"DIPLIST3"}, {}, {"DIPLIST3"}};
  const struct {
    AidRequestPanel& panel;
    int32_t selected;
  } rows[] = {{economic, 0}, {military, 4}};
  for (const auto& r : rows) {
    r.panel.BindControls();
    ASSERT_NE(r.panel.list, nullptr);
    r.panel.list->selectedId = 4, r.panel.list->savedSelectedId = 4, r.panel.list->scrollOffset = 24;
    r.panel.OnOpen();
    EXPECT_EQ(r.panel.list->selectedId, r.selected) << r.panel.formName;
    EXPECT_EQ(r.panel.list->scrollOffset, r.selected ? 24 : 0) << r.panel.formName;
  }
}

TEST_F(AidRequestTest, VoteAcceptStaysHiddenWhileNoMotionIsListed) {
  WorldMarketVotePanel vote;
  controltest::PanelForm form{vote, "DIPL1_SS13", {"DIPLIST4", "DIPLIST5", "ACCPBUT"}, {}, {"DIPLIST4", "DIPLIST5"}};
  vote.BindControls();
  ASSERT_NE(vote.regions, nullptr);
  vote.OnOpen();
  vote.regions->selectedId = 2;
  vote.OnControlChange(vote.regions, 2);
  EXPECT_FALSE(form.Shown("ACCPBUT"));
}

}  // namespace
