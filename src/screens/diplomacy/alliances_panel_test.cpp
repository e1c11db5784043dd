// The alliances panel: its two lists, the agreement buttons that fit the
// treaties in force, the surrender grid, and the offer an end asks for.
#include "screens/diplomacy/alliances_panel.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "records/player_kinds.h"
#include "records/player_record.h"
#include "screens/diplomacy/region_relations.h"
#include "sim/dip_offer.h"
#include "sim/policy_block_fields.h"
#include "sim/relation_fields.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "world/world.h"

namespace {

std::vector<std::string> s_offers;

class AlliancesPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int p = 0; p < 6; ++p) {
      g_world.players[p].kind = kKindComputer;
      g_world.players[p].number = static_cast<uint8_t>(p);
    }
    g_world.gameState.highestPlayer = 5;
    g_world.gameState.localPlayer = 1;
    s_offers.clear();
    g_openOfferInDealEditor = [](const char* text, bool) { s_offers.emplace_back(text); };
    panel_.BindControls();
  }

  static std::vector<int32_t> RowIds(ListBoxControl* list) {
    std::vector<int32_t> ids;
    for (Control* r = list->firstRow; r; r = ListNextRow(list, r)) ids.push_back(r->id);
    return ids;
  }

  GlobalGuard<PlayerRecord[kMaxPlayers]> players_{g_world.players};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<void (*)(const char*, bool)> hook_{g_openOfferInDealEditor};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth, 0};
  AlliancesPanel panel_;
  controltest::PanelForm form_{panel_, "DIPLOMACY1_SS2a", {"REGNAME", "ALLIES", "ENEMIES", "GRIDSUR"},
                               {10, 11, 12, 13, 14, 20, 21, 22, 23, 24}, {"ALLIES", "ENEMIES"}};
};

TEST_F(AlliancesPanelTest, IdZeroListsOurAlliesAndAnEnemyOnlyOnce) {
  PlayerPolicyBlock& mine = g_world.players[1].displayPolicy;
  mine.friendlyMask = 1u << 3 | 1u << 5;
  mine.hostileMask = 1u << 5;
  panel_.id = 0;
  panel_.Refresh();
  EXPECT_EQ(panel_.id, 1);
  EXPECT_EQ(RowIds(panel_.allies), (std::vector<int32_t>{3}));
  EXPECT_EQ(RowIds(panel_.enemies), (std::vector<int32_t>{5}));
}

TEST_F(AlliancesPanelTest, ButtonsFollowTheTreatiesInForceAndTheSurrender) {
  PlayerPolicyBlock& mine = g_world.players[1].displayPolicy;
  panel_.id = 4;
  struct Row { uint32_t alliance, kind62; uint8_t surrenderedTo; bool propose, cancel, grid; };
  for (const Row& r : {Row{1u << 4, 0, 0, false, true, false}, Row{0, 1u << 4, 2, true, false, true},
                       Row{1u << 2, 1u << 4, 0, true, false, false}}) {
    SetTreatyMask(mine, 1, r.alliance);
    SetTreatyMask(mine, 62, r.kind62);
    SetSurrenderTarget(mine, r.surrenderedTo);
    panel_.Refresh();
    EXPECT_EQ(std::tuple(!form_[10]->Hidden(), !form_[20]->Hidden(), form_.Shown("GRIDSUR"), form_[13]->Hidden(),
                         form_[23]->Hidden()),
              std::tuple(r.propose, r.cancel, r.grid, true, true))
        << r.alliance << " " << r.kind62;
  }
}

TEST_F(AlliancesPanelTest, AnEndAsksForTheAgreementAtOneHundredTwentyNine) {
  panel_.id = 4;
  struct Row { int32_t id; int kind; uint8_t value; };
  for (const Row& r : {Row{11, 30, 1}, Row{20, 1, 0x81}, Row{24, 87, 0x81}}) {
    s_offers.clear();
    panel_.OnCommand(form_[r.id], r.id);
    ASSERT_EQ(s_offers.size(), 1u) << r.id;
    DipOffer offer;
    ParseDipOffer(g_world, s_offers[0].c_str(), offer, false, false);
    EXPECT_EQ(std::tuple(offer.firstPlayer, offer.offered.agreements[r.kind], offer.requested.agreements[r.kind]),
              std::tuple(uint8_t{4}, r.value, r.value))
        << r.id;
  }
  panel_.OnCommand(form_[14], 15);
  panel_.OnCommand(form_[24], 29);
  EXPECT_EQ(s_offers.size(), 1u);
}

}  // namespace
