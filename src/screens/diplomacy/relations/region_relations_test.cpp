// The relations panel: the region it steps to, its switches' commands, what
// each standing shows, and the ceasefire offer's text.
#include "screens/diplomacy/relations/region_relations.h"

#include <memory>

#include "records/command_ids.h"
#include "screens/diplomacy/relations/region_relations_test_support.h"
#include "sim/policy_block_fields.h"
#include "ui/control_bits.h"
#include "ui/control_test_support.h"

namespace {

class RegionRelationsTest : public RegionPanelTest {
 protected:
  std::unique_ptr<Screen> panel_ = MakeRegionRelationsPanel();
  controltest::PanelForm form_{*panel_, "DIPLOMACY1_SS2",
                               {"STATUS", "WAR", "OFFERP", "NWPARENT", "CFPARENT", "CEASEFIRE", "CEASEGRID", "NEUTWAR",
                                "PATH"}};
};

TEST_F(RegionRelationsTest, StepsToTheNextRegionInPlay) {
  for (int p = 6; p <= 9; ++p) g_world.players[p].kind = kKindHuman;
  g_world.players[3].kind = g_world.players[5].kind = kKindEmpty;
  g_world.gameState.highestPlayer = 9;
  for (auto [from, to] : {std::pair{10, 2}, {3, 4}, {0, 9}}) EXPECT_EQ(StepToShownRegion(g_world, from), to) << from;
  for (int p = 2; p <= 9; ++p) g_world.players[p].kind = p % 2 ? kKindEmpty : kKindOut;
  EXPECT_EQ(StepToShownRegion(g_world, 4), 0);
}

TEST_F(RegionRelationsTest, SwitchesPostTheirCommandsByteForByte) {
  panel_->id = 4;
  for (auto [tag, ticked] : {std::pair{"CEASEFIRE", 1}, {"NEUTWAR", 1}, {"PATH", 0}}) {
    SetControlFlag(form_[tag], kStateSelected, ticked);
    panel_->OnCommand(form_[tag], 0);
  }
  EXPECT_EQ(Posted(), (std::vector<PostedCommand>{{kCmdPairMaskSwap, 1, 0, 4, 1, 0},
                                          {kCmdRoeRegionFlag, 1, 0, 0x80000000u, 4, 1},
                                          {kCmdPairMask, 1, 0, 4, 0, 0}}));
}

TEST_F(RegionRelationsTest, ShowsTheControlsThatFitTheStanding) {
  panel_->id = 4;
  PlayerPolicyBlock& mine = g_world.players[1].displayPolicy;
  struct Row { uint32_t hostile, ceasefire, truce; bool status, war, offer, neutral, ceasefireTicked, grid; };
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
    panel_->Refresh();
    EXPECT_EQ(std::tuple(form_["STATUS"]->Selected(), form_.Shown("WAR"), form_.Shown("OFFERP"), form_.Shown("NWPARENT"),
                         form_["CEASEFIRE"]->Selected(), form_.Shown("CEASEGRID"), form_.Shown("CFPARENT")),
              std::tuple(r.status, r.war, r.offer, r.neutral, r.ceasefireTicked, r.grid, filled))
        << r.hostile << r.ceasefire << r.truce;
  }
}

TEST_F(RegionRelationsTest, TheCeasefireOfferIsItsTemplate) {
  const std::string none = "-1\n-1\n-1\n-1\n-1\n-1\n";
  EXPECT_EQ(AgreementOfferText(5, 2, kCeasefireAgreement, 1),
            "DIPOFFER\n5,2,0,3,0,0,0,0,0\nITEMSOFFER\n4,1\n" + none + "ITEMSREQUEST\n4,1\n" + none + "\n");
}

}  // namespace
