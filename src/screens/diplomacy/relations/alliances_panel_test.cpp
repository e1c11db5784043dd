// The alliances panel: its two lists, the agreement buttons that fit the
// treaties in force, the surrender grid, and the offer an end asks for.
#include "screens/diplomacy/relations/alliances_panel.h"

#include <string>

#include "screens/diplomacy/relations/region_relations.h"
#include "screens/diplomacy/relations/region_relations_test_support.h"
#include "sim/dip_offer.h"
#include "sim/policy_block_fields.h"
#include "world/relation_fields.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"

namespace {

std::vector<std::string> s_offers;

class AlliancesPanelTest : public RegionPanelTest {
 protected:
  void SetUp() override {
    RegionPanelTest::SetUp();
    s_offers.clear();
    g_openOfferInDealEditor = [](const char* text, bool) { s_offers.emplace_back(text); };
    panel_.BindControls();
  }

  GlobalGuard<void (*)(const char*, bool)> hook_{g_openOfferInDealEditor};
  AlliancesPanel panel_;
  controltest::PanelForm form_{panel_, "DIPLOMACY1_SS2a", {"ALLIES", "ENEMIES", "GRIDSUR"},
                               {10, 11, 12, 13, 14, 20, 21, 22, 23, 24}, {"ALLIES", "ENEMIES"}};
};

TEST_F(AlliancesPanelTest, IdZeroListsOurAlliesAndAnEnemyOnlyOnce) {
  PlayerPolicyBlock& mine = g_world.players[1].displayPolicy;
  mine.friendlyMask = 1u << 3 | 1u << 5;
  mine.hostileMask = 1u << 5;
  panel_.Refresh();
  EXPECT_EQ(std::tuple(panel_.id, panel_.allies->rowCount, panel_.allies->firstRow->id, panel_.enemies->rowCount,
                       panel_.enemies->firstRow->id),
            std::tuple(intptr_t{1}, 1u, 3, 1u, 5));
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

TEST_F(AlliancesPanelTest, AProposalAndAnEndOpenTheirOffersAndAnEndReadsBackNegative) {
  panel_.id = 4;
  for (int32_t id : {11, 20, 15}) panel_.OnCommand(form_[14], id);
  DipOffer offer;
  ParseDipOffer(g_world, s_offers.back().c_str(), offer, false, false);
  EXPECT_EQ(std::tuple(s_offers.front(), s_offers.size(), offer.offered.agreements[1], offer.requested.agreements[1]),
            std::tuple(AgreementOfferText(4, 1, 30, 1), size_t{2}, uint8_t{0x81}, uint8_t{0x81}));
}

}  // namespace
