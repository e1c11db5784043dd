// The offer under construction: a fresh one and when it is kept, when it
// may be sent, sending and answering it, and taking a running deal into it.
#include <gtest/gtest.h>

#include <vector>

#include "screens/diplomacy/deals/deal_items.h"
#include "screens/diplomacy/deals/deal_offer.h"
#include "screens/diplomacy/deals/deal_test_world.h"
#include "screens/diplomacy/mail/mail_popup.h"
#include "screens/diplomacy/deals/pending_deals.h"
#include "sim/message_ids.h"
#include "sim/policy_block_fields.h"
#include "support/global_guard.h"
#include "world/recurring_item.h"

namespace {

bool SameGroup(const OfferItemGroup& a, const OfferItemGroup& b) {
  if (a.agreements != b.agreements || a.discoveries != b.discoveries || a.dealItems.size() != b.dealItems.size())
    return false;
  for (size_t i = 0; i < a.dealItems.size(); ++i) {
    const DealItem &x = a.dealItems[i], &y = b.dealItems[i];
    if (x.frequency != y.frequency || x.paymentCount != y.paymentCount || x.amount != y.amount) return false;
  }
  return true;
}

TEST(DealOffer, SubmitDeliversAndAnAnswerReplacesItsMail) {
  DealTestWorld w;
  GlobalGuard<uint32_t> reply(g_replySourceMessage, 0);
  World& world = *w.world;
  w.Type(kMsgOffer);
  w.Type(kMsgOfferAnswer);
  w.Tech(2, 0, 0);
  world.players[2].displayPolicy.hostileMask = 1u << 1;  // Eastmark is hostile to us
  std::unique_ptr<DipOffer> offer;
  PrepareDealOffer(world, offer, 2);
  DealTemplates templates;
  FillDealTemplates(templates);
  DealItem* monthly = DealTemplate(templates, kDealPayment, 3);
  monthly->amount = 1000.0f;
  AddDealItem(world, offer->offered, kDealPayment, 3, 1, 2, monthly);
  AddDealItem(world, offer->requested, kDealDiscovery, 2, 2, 1);
  const DipOffer sent = *offer;
  SubmitDealOffer(world, offer);
  EXPECT_EQ(offer, nullptr);

  const std::vector<PlayerMessage*> mail = w.Messages(2);
  ASSERT_EQ(mail.size(), 1u);
  EXPECT_EQ(mail[0]->typeId, kMsgOffer);
  DipOffer read;
  ParseDipOffer(world, mail[0]->texts[2], read, false, false);
  EXPECT_TRUE(SameGroup(read.offered, sent.offered));
  EXPECT_TRUE(SameGroup(read.requested, sent.requested));
  EXPECT_EQ(read.offered.dealItems.at(0).paymentCount, 12);
  EXPECT_EQ(read.sentDay, kTestDay);
  EXPECT_NE(read.flags & kOfferWhileHostile, 0u);

  // Eastmark's offer to us in our mailbox, answered.
  DipOffer theirs = read;
  theirs.firstPlayer = 1, theirs.secondPlayer = 2;
  auto* received = NewZeroed<PlayerMessage>();
  received->typeId = kMsgOffer;
  received->texts[2] = TestCopy(WriteDipOffer(world, theirs).c_str());
  world.messageLists[1].Prepend(received);
  const uint32_t serial = received->serial;
  ASSERT_EQ(OpenOfferMail(world, offer, serial), 2);
  EXPECT_EQ(g_replySourceMessage, serial);
  SubmitDealOffer(world, offer);
  EXPECT_EQ(w.TypesOf(2), (std::vector<uint32_t>{kMsgOfferAnswer, kMsgOffer}));
  EXPECT_TRUE(w.Messages(1).empty());
  EXPECT_EQ(g_replySourceMessage, 0u);
}

TEST(DealOffer, SubmitNeedsItemsAndAnEmptySideOnPurpose) {
  DipOffer offer;
  struct Case {
    bool offered, requested, noneOffered, noneRequested, available;
  };
  for (const Case& c : {Case{false, false, true, true, false}, Case{false, true, false, false, false},
                        Case{false, true, true, false, true}, Case{true, false, false, false, false},
                        Case{true, true, false, false, true}}) {
    SCOPED_TRACE(testing::Message() << c.offered << c.requested << c.noneOffered << c.noneRequested);
    offer.offered.discoveries.assign(c.offered ? 1 : 0, 3);
    offer.requested.agreements[4] = c.requested ? 1 : 0;
    EXPECT_EQ(DealSubmitAvailable(offer, c.noneOffered, c.noneRequested), c.available);
  }
}

TEST(DealOffer, NewOffersAndWhenOneIsKept) {
  DealTestWorld w;
  GlobalGuard<uint32_t> reply(g_replySourceMessage, 0);
  World& world = *w.world;
  std::unique_ptr<DipOffer> offer;
  PrepareDealOffer(world, offer, 2);
  ASSERT_NE(offer, nullptr);
  EXPECT_EQ(offer->kind, 3);
  EXPECT_EQ(offer->expiryDay, kTestDay + 7);
  EXPECT_EQ(offer->secondPlayer, 1);
  offer->kind = 5;
  PrepareDealOffer(world, offer, 2);
  EXPECT_EQ(offer->kind, 5);
  PrepareDealOffer(world, offer, 3);
  EXPECT_EQ(offer->kind, 3);
  EXPECT_EQ(offer->firstPlayer, 3);
  offer->flags |= kOfferAnswer;  // an answer whose mail is no longer being answered
  offer->kind = 5;
  PrepareDealOffer(world, offer, 3);
  EXPECT_EQ(offer->kind, 3);
  offer->expiryDay = kTestDay;
  KeepDealExpiryAhead(world, *offer);
  EXPECT_EQ(offer->expiryDay, kTestDay + 1);
}

TEST(DealOffer, CancellingARunningDealGoesByItsKind) {
  DealTestWorld w;
  World& world = *w.world;
  w.NameTreaty(5, "Alliance");
  for (int p : {1, 2}) SetTreatyMask(world.players[p].displayPolicy, 5, 1u << (3 - p));
  auto* item = NewZeroed<RecurringItem>();
  RecurringFields f{};
  f.payer = 2, f.payee = 1, f.periodKind = kPeriodMonthly, f.amount = 100.0f, f.globalSerial = 5;
  StoreRecurringFields(*item, f);
  world.recurringItems = item;

  PendingDealRows rows;
  FillPendingDeals(world, nullptr, 1, 2, rows);
  ASSERT_EQ(rows.rows.size(), 2u);
  DipOffer offer;
  offer.firstPlayer = 2, offer.secondPlayer = 1;
  CancelPendingDeal(world, offer, rows.Find(2), nullptr);
  ASSERT_EQ(offer.offered.dealItems.size(), 1u);
  EXPECT_EQ(offer.offered.dealItems[0].id, 5u);
  EXPECT_FALSE(offer.offered.dealItems[0].goods());
  EXPECT_EQ(offer.offered.agreements[5], 0);
  CancelPendingDeal(world, offer, rows.Find(1), nullptr);
  EXPECT_EQ(offer.offered.agreements[5], 0x81);
  CancelPendingDeal(world, offer, nullptr, nullptr);
  EXPECT_EQ(offer.offered.dealItems.size(), 1u);
  EXPECT_TRUE(offer.requested.dealItems.empty());
}

}  // namespace
