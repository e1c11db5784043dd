// The running deals between two regions: which rows, of which kind, and the
// selection following its deal when the rows move.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "screens/diplomacy/deals/pending_deals.h"
#include "sim/message_test_support.h"
#include "sim/policy_block_fields.h"
#include "ui/list_control.h"
#include "world/recurring_item.h"

namespace {

void AddItem(World& world, uint32_t id, uint8_t payer, uint8_t payee, bool goods, uint8_t kind = 0) {
  auto* item = NewZeroed<RecurringItem>();
  RecurringFields f{};
  f.kind = kind;
  f.payer = payer;
  f.payee = payee;
  f.periodKind = kPeriodMonthly;
  f.paymentsLeft = 12;
  f.flags = goods ? kRecurringGoods : 0;
  f.amount = 1000.0f;
  f.globalSerial = id;
  StoreRecurringFields(*item, f);
  if (world.recurringItems)
    world.recurringItems->Append(item);
  else
    world.recurringItems = item;
}

void SetInForce(World& world, int type, int holder, int partner) {
  PlayerPolicyBlock& b = world.players[holder].displayPolicy;
  SetTreatyMask(b, type, TreatyMask(b, type) | (1u << partner));
}

TEST(PendingDeals, RowsByKindAndSelectionFollowsItsDeal) {
  MessageTestWorld w;
  w.NameTreaty(3, "Ceasefire");
  w.NameTreaty(5, "Alliance");
  w.SetListEntry(kListPayfrequency, kPeriodMonthly, "Monthly");
  World& world = *w.world;
  SetInForce(world, 5, 1, 2);
  SetInForce(world, 7, 1, 2);  // no such agreement: not listed
  AddItem(world, 5, 2, 1, false);
  AddItem(world, 6, 2, 1, true);
  AddItem(world, 7, 2, 1, false, kRecurringFinished);
  AddItem(world, 8, 1, 2, false);
  struct Case {
    int receiver, giver;
    std::vector<PendingDealRow> rows;
  };
  for (const Case& c : {Case{1, 2, {{kPendingAgreement, 5}, {kPendingMoney, 5}, {kPendingGoods, 6}}},
                        Case{2, 1, {{kPendingMoney, 8}}}, Case{1, 3, {}}}) {
    SCOPED_TRACE(c.receiver * 10 + c.giver);
    EXPECT_EQ(CollectPendingDeals(world, c.receiver, c.giver), c.rows);
  }

  std::unique_ptr<ListBoxControl> list{ListBoxConstruct(0, 0, 200, 100, 0, 0, nullptr)};
  PendingDealRows rows;
  FillPendingDeals(world, list.get(), 1, 2, rows);
  ASSERT_EQ(list->rowCount, 3u);
  EXPECT_STREQ(list->firstRow->text.c_str(), "Alliance");
  EXPECT_NE(PendingItemText(world, 5).find("12x Monthly "), std::string::npos);
  ListSetSelection(0, list.get(), 2, 0);
  SetInForce(world, 3, 1, 2);  // a new first row
  FillPendingDeals(world, list.get(), 1, 2, rows);
  const PendingDealRow* selected = SelectedPendingDeal(list.get(), rows);
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(*selected, (PendingDealRow{kPendingMoney, 5}));
}

}  // namespace
