// The trade restriction panel: the all-products buttons' commands, the
// switches that follow our restrictions, and their hover texts.
#include "screens/diplomacy/relations/trade_restriction.h"

#include <memory>
#include <vector>

#include "records/command_ids.h"
#include "screens/diplomacy/relations/region_relations_test_support.h"
#include "ui/control_test_support.h"
#include "ui/mouse.h"
#include "world/text/policy_fields.h"
#include "world/text/text_list_test_support.h"

namespace {

class TradeRestrictionTest : public RegionPanelTest {
 protected:
  ListWords products_{kListProductsl, {"Produce", "Rubber", "Timber", "Crude Petroleum"}};
  std::unique_ptr<Screen> panel_ = MakeTradeRestrictionPanel();
  controltest::PanelForm form_{*panel_, "DIPLOMACY1_SS3", {}, {20, 23, 104, 204}};
};

TEST_F(TradeRestrictionTest, TheAllProductsButtonsPostElevenCommandsInOrder) {
  panel_->id = 4;
  std::vector<PostedCommand> want;
  for (auto [button, command, restrict] : {std::tuple{20, kCmdProdPlayerMask2, 1u}, {23, kCmdProdPlayerMask, 0u}}) {
    panel_->OnCommand(form_[button], button);
    for (uint32_t k = 0; k < 11; ++k) want.emplace_back(command, 1, 0, k, 4, restrict);
  }
  EXPECT_EQ(Posted(), want);
}

TEST_F(TradeRestrictionTest, SwitchesFollowOurRestrictionsAndSayWhatTheyRestrict) {
  panel_->id = 4;
  ProductPolicy& petroleum = g_world.players[1].displayPolicy.productPolicy[3];
  for (auto [sales, ticked] : {std::pair{1u << 4, true}, {1u << 2, false}}) {
    SetProductWord(petroleum, kProductPlayerMask2, sales);
    SetProductWord(petroleum, kProductPlayerMask, 1u << 4);
    panel_->Refresh();
    EXPECT_EQ(std::tuple(form_[104]->Selected(), form_[204]->Selected()), std::tuple(ticked, true));
  }
  EXPECT_STREQ(ControlTooltipText(form_[104]), "Restrict Crude Petroleum Sales/Exports");
  EXPECT_STREQ(ControlTooltipText(form_[204]), "Restrict Crude Petroleum Purchases/Imports");
}

}  // namespace
