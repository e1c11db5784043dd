// The agreements panel: an agreement and a payment that share the number 5,
// told apart by their row's kind when one is ended and when it is described.
#include "screens/diplomacy/agreements_panel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/list_node.h"
#include "records/command_ids.h"
#include "records/player_kinds.h"
#include "records/player_record.h"
#include "sim/command_log.h"
#include "sim/policy_block_fields.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"
#include "ui/text_box.h"
#include "world/recurring_item.h"
#include "world/text/rule_tables.h"
#include "world/world.h"

namespace {

constexpr int kAgreement = 5;
constexpr uint32_t kPaymentId = 5;

class AgreementsPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int p = 0; p < 6; ++p) {
      g_world.players[p].kind = kKindComputer;
      g_world.players[p].number = static_cast<uint8_t>(p);
    }
    g_world.gameState.highestPlayer = 5;
    g_world.gameState.localPlayer = 1;
    std::swap(g_ruleTables.rTreatyTypes, treaties_);
    g_ruleTables.rTreatyTypes = TreatyTypeTable(new TreatyTypeEntry[kTreatyTypeCount]);
    g_ruleTables.rTreatyTypes[kAgreement].name.reset(strdup("Trade Agreement"));
    g_ruleTables.rTreatyTypes[kAgreement].description.reset(strdup("Lower tariffs."));
    SetTreatyMask(g_world.players[1].displayPolicy, kAgreement, 1u << 4);
    RecurringFields f{};
    f.payer = 4;
    f.payee = 1;
    f.amount = 1000.0f;
    f.globalSerial = kPaymentId;
    StoreRecurringFields(*payment_, f);
    g_world.recurringItems = payment_;
    g_commandLog.Clear();
    panel_.BindControls();
    panel_.id = 4;
  }
  void TearDown() override {
    g_commandLog.Clear();
    std::swap(g_ruleTables.rTreatyTypes, treaties_);
    DeleteZeroed(payment_);
  }

  std::string Details() const { return TextBoxText(panel_.details); }

  GlobalGuard<PlayerRecord[kMaxPlayers]> players_{g_world.players};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<RecurringItem*> items_{g_world.recurringItems};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth, 0};
  TreatyTypeTable treaties_;
  RecurringItem* payment_ = NewZeroed<RecurringItem>();
  AgreementsPanel panel_;
  controltest::PanelForm form_{panel_, "DIPLOMACY1_SS2c",
                               {"REGNAME", "DIPLIST5", "DIPLIST6", "DETAILS", "DELAGREE", "HIDECONFIRM", "OKBUT"},
                               {}, {"DIPLIST5", "DIPLIST6", "DETAILS"}};
};

TEST_F(AgreementsPanelTest, AnAgreementEndsByItsKindAndAPaymentOnlyRefreshes) {
  struct Row { int32_t row; std::string details; size_t posted; uint32_t stillInForce; };
  // The agreement described first; the payment empties the description and
  // posts nothing; then the agreement ends.
  panel_.Refresh();
  ListSetSelection(0, panel_.received, 1, 0);
  panel_.Refresh();
  ASSERT_EQ(Details(), "Lower tariffs.");
  for (const Row& r : {Row{2, "", 0, 1u << 4}, Row{1, "Lower tariffs.", 1, 0}}) {
    panel_.Refresh();
    ASSERT_EQ(panel_.received->rowCount, 2u) << r.row;
    ListSetSelection(0, panel_.received, r.row, 0);
    panel_.Refresh();
    EXPECT_EQ(Details(), r.details) << r.row;
    panel_.OnCommand(form_["OKBUT"], 0);
    EXPECT_EQ(g_commandLog.Size(), r.posted) << r.row;
    EXPECT_EQ(std::tuple(panel_.received->selectedId, form_.Shown("DELAGREE")), std::tuple(0, false)) << r.row;
    EXPECT_EQ(TreatyMask(g_world.players[1].displayPolicy, kAgreement), r.stillInForce) << r.row;
  }
  const std::vector<GameCommand> log = g_commandLog.Entries();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(std::tuple(log[0].id, log[0].arg28, log[0].arg32), std::tuple(kCmdDeleteAgreement, 5u, 4u));
}

}  // namespace
