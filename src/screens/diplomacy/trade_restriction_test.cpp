// The trade restriction panel: the all-products buttons' commands, the
// switches that follow our restrictions, and their hover texts.
#include "screens/diplomacy/trade_restriction.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "records/command_ids.h"
#include "records/player_kinds.h"
#include "records/player_record.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/mouse.h"
#include "ui/screen_manager.h"
#include "world/text/policy_fields.h"
#include "world/text/text_list_test_support.h"
#include "world/world.h"

namespace {

struct Posted {
  uint32_t id, a28, a32, a36;
  bool operator==(const Posted&) const = default;
};

std::vector<int32_t> AllIds() {
  std::vector<int32_t> ids;
  for (int32_t id : kTradeRestrictionIds) ids.push_back(id);
  return ids;
}

class TradeRestrictionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int p = 0; p < 6; ++p) {
      g_world.players[p].kind = kKindComputer;
      g_world.players[p].number = static_cast<uint8_t>(p);
    }
    g_world.gameState.highestPlayer = 5;
    g_world.gameState.localPlayer = 1;
    g_commandLog.Clear();
    panel_.id = 4;
  }
  void TearDown() override { g_commandLog.Clear(); }

  GlobalGuard<PlayerRecord[kMaxPlayers]> players_{g_world.players};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth, 0};
  ListWords products_{kListProductsl, {"Produce", "Rubber", "Timber", "Crude Petroleum"}};
  TradeRestrictionPanel panel_;
  controltest::PanelForm form_{panel_, "DIPLOMACY1_SS3", {}, AllIds()};
};

TEST_F(TradeRestrictionTest, TheAllProductsButtonsPostElevenCommandsInOrder) {
  struct Row { int32_t button; uint32_t command, restrict; };
  for (const Row& r : {Row{kRestrictAllSales, kCmdProdPlayerMask2, 1}, Row{kFreeAllPurchases, kCmdProdPlayerMask, 0}}) {
    g_commandLog.Clear();
    panel_.OnCommand(form_[r.button], r.button);
    std::vector<Posted> want, got;
    for (uint32_t k = 0; k < 11; ++k) want.push_back({r.command, k, 4, r.restrict});
    for (const GameCommand& c : g_commandLog.Entries()) got.push_back({c.id, c.arg28, c.arg32, c.arg36});
    EXPECT_EQ(got, want) << r.button;
  }
}

TEST_F(TradeRestrictionTest, SwitchesFollowOurRestrictionsAndSayWhatTheyRestrict) {
  ProductPolicy& petroleum = g_world.players[1].displayPolicy.productPolicy[3];
  struct Row { uint32_t sales, purchases; bool salesTicked, purchasesTicked; };
  for (const Row& r : {Row{1u << 4, 1u << 4, true, true}, Row{1u << 2, 1u << 4, false, true}}) {
    SetProductWord(petroleum, kProductPlayerMask2, r.sales);
    SetProductWord(petroleum, kProductPlayerMask, r.purchases);
    panel_.Refresh();
    EXPECT_EQ(std::tuple(form_[104]->Selected(), form_[204]->Selected()), std::tuple(r.salesTicked, r.purchasesTicked));
  }
  EXPECT_STREQ(ControlTooltipText(form_[104]), "Restrict Crude Petroleum Sales/Exports");
  EXPECT_STREQ(ControlTooltipText(form_[204]), "Restrict Crude Petroleum Purchases/Imports");
}

}  // namespace
