// The relations panel: the region it steps to, the commands its switches
// post, what each standing shows, and the ceasefire offer's text.
#include "screens/diplomacy/region_relations.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "records/player_kinds.h"
#include "records/player_record.h"
#include "screens/diplomacy/contact_masks.h"
#include "sim/command_log.h"
#include "sim/dip_offer.h"
#include "sim/policy_block_fields.h"
#include "support/global_guard.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"
#include "ui/screen_manager.h"
#include "world/world.h"

namespace {

struct Posted {
  uint32_t id, player, a24, a28, a32, a36;
  bool operator==(const Posted&) const = default;
};

class RegionRelationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int p = 0; p < kMaxPlayers; ++p) {
      g_world.players[p].kind = p <= 9 ? kKindHuman : kKindEmpty;
      g_world.players[p].number = static_cast<uint8_t>(p);
    }
    g_world.players[3].kind = g_world.players[5].kind = kKindEmpty;
    g_world.gameState.highestPlayer = 9;
    g_world.gameState.localPlayer = 1;
    g_commandLog.Clear();
  }
  void TearDown() override { g_commandLog.Clear(); }

  GlobalGuard<PlayerRecord[kMaxPlayers]> players_{g_world.players};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<ContactMasks> masks_{g_contactMasks};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth, 0};
  RegionRelationsPanel panel_;
  controltest::PanelForm form_{panel_, "DIPLOMACY1_SS2",
                               {"REGION", "STATUS", "WAR", "OFFERP", "NWPARENT", "CFPARENT", "CEASEFIRE",
                                "CEASEGRID", "NEUTWAR", "PATH", "REGLAND"}};
};

TEST_F(RegionRelationsTest, StepsToTheNextRegionInPlay) {
  struct Row { int32_t from, to; };
  for (const Row& r : {Row{10, 2}, Row{3, 4}, Row{0, 9}}) EXPECT_EQ(StepToShownRegion(g_world, r.from), r.to) << r.from;
  for (int p = 2; p <= 9; ++p) g_world.players[p].kind = p % 2 ? kKindEmpty : kKindOut;
  EXPECT_EQ(StepToShownRegion(g_world, 4), 0);
}

TEST_F(RegionRelationsTest, SwitchesPostTheirCommandsByteForByte) {
  panel_.id = 4;
  struct Row { const char* tag; bool ticked; Posted posted; };
  for (const Row& r : {Row{"CEASEFIRE", true, {kCmdPairMaskSwap, 1, 0, 4, 1, 0}},
                       Row{"NEUTWAR", true, {kCmdRoeRegionFlag, 1, 0, 0x80000000u, 4, 1}},
                       Row{"PATH", false, {kCmdPairMask, 1, 0, 4, 0, 0}}}) {
    g_commandLog.Clear();
    SetControlFlag(form_[r.tag], kStateSelected, r.ticked);
    panel_.OnCommand(form_[r.tag], 0);
    const std::vector<GameCommand> log = g_commandLog.Entries();
    ASSERT_EQ(log.size(), 1u) << r.tag;
    const GameCommand& c = log[0];
    EXPECT_EQ((Posted{c.id, c.player, c.arg24, c.arg28, c.arg32, c.arg36}), r.posted) << r.tag;
  }
}

TEST_F(RegionRelationsTest, ShowsTheControlsThatFitTheStanding) {
  panel_.id = 4;
  PlayerPolicyBlock& mine = g_world.players[1].displayPolicy;
  struct Row {
    uint32_t hostile, ceasefire, truce;
    bool status, war, offer, neutral, ceasefireTicked, grid;
  };
  for (const Row& r : {Row{1, 0, 0, true, false, true, false, false, false},
                       Row{1, 1, 1, true, false, true, false, true, true},
                       Row{0, 1, 1, false, true, false, false, true, true},
                       Row{0, 1, 0, false, true, false, false, true, false},
                       Row{0, 0, 0, false, true, false, true, false, false}}) {
    mine.hostileMask = r.hostile << 4;
    SetPairMask1(mine, r.ceasefire << 4);
    SetTreatyMask(mine, 3, r.truce << 4);
    // Where the ceasefire controls are filled they start the other way.
    const bool filled = r.hostile || r.ceasefire;
    SetHidden(form_["CEASEGRID"], filled ? r.grid : true);
    SetControlFlag(form_["CEASEFIRE"], kStateSelected, filled && !r.ceasefireTicked);
    panel_.Refresh();
    EXPECT_EQ(std::tuple(form_["STATUS"]->Selected(), form_.Shown("WAR"), form_.Shown("OFFERP"),
                         form_.Shown("NWPARENT"), form_["CEASEFIRE"]->Selected(), form_.Shown("CEASEGRID"),
                         form_.Shown("CFPARENT")),
              std::tuple(r.status, r.war, r.offer, r.neutral, r.ceasefireTicked, r.grid, false))
        << r.hostile << r.ceasefire << r.truce;
  }
}

TEST_F(RegionRelationsTest, TheCeasefireOfferOpensTheEditorOnItsTemplate) {
  std::string minus;
  for (int i = 0; i < 6; ++i) minus += "-1\n";
  const std::string text = AgreementOfferText(5, 2, kCeasefireAgreement, 1);
  EXPECT_EQ(text, "DIPOFFER\n5,2,0,3,0,0,0,0,0\nITEMSOFFER\n4,1\n" + minus + "ITEMSREQUEST\n4,1\n" + minus + "\n");
  struct Row { int32_t value; uint8_t read; };
  for (const Row& r : {Row{1, 1}, Row{kCancelAgreementValue, 0x81}}) {
    DipOffer offer;
    ParseDipOffer(g_world, AgreementOfferText(5, 2, kCeasefireAgreement, r.value).c_str(), offer, false, false);
    EXPECT_EQ(std::tuple(offer.offered.agreements[4], offer.requested.agreements[4]), std::tuple(r.read, r.read))
        << r.value;
  }
}

}  // namespace
