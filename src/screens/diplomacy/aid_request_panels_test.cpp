// The aid request and world-market vote panels: the request button, the
// lists' places between openings, the vote's accept button.
#include "screens/diplomacy/aid_request_panels.h"

#include <gtest/gtest.h>

#include <utility>

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
  g_commandLog.Clear();
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
  for (const auto& [panel, kept] : {std::pair<AidRequestPanel*, bool>{&economic, false}, {&military, true}}) {
    panel->BindControls();
    ASSERT_NE(panel->list, nullptr);
    panel->list->selectedId = 4, panel->list->scrollOffset = 24;
    panel->OnOpen();
    EXPECT_EQ(panel->list->selectedId, kept ? 4 : 0) << panel->formName;
    EXPECT_EQ(panel->list->scrollOffset, kept ? 24 : 0) << panel->formName;
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
