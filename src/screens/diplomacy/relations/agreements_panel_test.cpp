// The agreements panel: an agreement and a payment that share the number 5,
// told apart by their row's kind when one is ended and when it is described.
#include "screens/diplomacy/relations/agreements_panel.h"

#include <cstring>
#include <string>
#include <utility>

#include "app/list_node.h"
#include "records/command_ids.h"
#include "screens/diplomacy/relations/region_relations_test_support.h"
#include "sim/policy_block_fields.h"
#include "ui/control_test_support.h"
#include "ui/list_control.h"
#include "ui/text_box.h"
#include "world/recurring_item.h"
#include "world/text/rule_tables.h"

namespace {

class AgreementsPanelTest : public RegionPanelTest {
 protected:
  void SetUp() override {
    RegionPanelTest::SetUp();
    std::swap(g_ruleTables.rTreatyTypes, treaties_);
    g_ruleTables.rTreatyTypes = TreatyTypeTable(new TreatyTypeEntry[kTreatyTypeCount]);
    g_ruleTables.rTreatyTypes[5].name.reset(strdup("Trade Agreement"));
    g_ruleTables.rTreatyTypes[5].description.reset(strdup("Lower tariffs."));
    SetTreatyMask(g_world.players[1].displayPolicy, 5, 1u << 4);
    // A running payment from region 4 to us whose id is 5 as well.
    RecurringFields f{};
    f.payee = 1, f.payer = 4, f.amount = 1000.0f, f.globalSerial = 5;
    StoreRecurringFields(*payment_, f);
    g_world.recurringItems = payment_;
    panel_.BindControls();
    panel_.id = 4;
  }
  void TearDown() override {
    std::swap(g_ruleTables.rTreatyTypes, treaties_);
    DeleteZeroed(payment_);
    RegionPanelTest::TearDown();
  }
  void Pick(int32_t row) {
    panel_.Refresh();
    ASSERT_EQ(panel_.received->rowCount, 2u);
    ListSetSelection(0, panel_.received, row, 0);
    panel_.Refresh();
  }

  GlobalGuard<RecurringItem*> items_{g_world.recurringItems};
  TreatyTypeTable treaties_;
  RecurringItem* payment_ = NewZeroed<RecurringItem>();
  AgreementsPanel panel_;
  controltest::PanelForm form_{panel_, "DIPLOMACY1_SS2c", {"DIPLIST5", "DIPLIST6", "DETAILS", "DELAGREE", "OKBUT"},
                               {}, {"DIPLIST5", "DIPLIST6", "DETAILS"}};
};

TEST_F(AgreementsPanelTest, AnAgreementEndsByItsKindAndAPaymentOnlyRefreshes) {
  ASSERT_NO_FATAL_FAILURE(Pick(1));
  ASSERT_EQ(TextBoxText(panel_.details), "Lower tariffs.");
  // Row 2, the payment, then row 1, the agreement.
  struct Row { int32_t row; std::string details; size_t posted; uint32_t inForce; };
  for (const Row& r : {Row{2, "", 0, 1u << 4}, Row{1, "Lower tariffs.", 1, 0}}) {
    ASSERT_NO_FATAL_FAILURE(Pick(r.row));
    EXPECT_EQ(TextBoxText(panel_.details), r.details);
    panel_.OnCommand(form_["OKBUT"], 0);
    EXPECT_EQ(std::tuple(g_commandLog.Size(), panel_.received->selectedId, form_.Shown("DELAGREE"),
                         TreatyMask(g_world.players[1].displayPolicy, 5)),
              std::tuple(r.posted, 0, false, r.inForce))
        << r.row;
  }
  EXPECT_EQ(Posted(), (std::vector<PostedCommand>{{kCmdDeleteAgreement, 1, 0, 5, 4, 0}}));
}

}  // namespace
