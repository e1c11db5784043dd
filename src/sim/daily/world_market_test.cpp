#include "sim/daily/world_market.h"

#include <gtest/gtest.h>

#include <memory>

#include "records/le_bytes.h"
#include "records/player_record.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

constexpr int kP = 4;  // the product every test trades

float Stock(const PlayerRecord& r) { return le::LoadF32(r.products[kP].bytes + 8); }
float ForSale(const PlayerRecord& r) { return le::LoadF32(r.products[kP].bytes + 60); }
float Wanted(const PlayerRecord& r) { return ProductReal(r.simPolicy.productPolicy[kP], kProductBuyParam); }

struct Market {
  std::unique_ptr<World> w = std::make_unique<World>();
  PlayerRecord& operator[](int p) { return w->players[p]; }
  void Seller(int p, float stock, float forSale, float price) {
    PlayerRecord& r = w->players[p];
    r.kind = kKindComputer;
    le::StoreF32(r.products[kP].bytes + 8, stock);
    le::StoreF32(r.products[kP].bytes + 60, forSale);
    le::StoreF32(r.products[kP].bytes + 64, price);
  }
  void Buyer(int p, float treasury, float wanted, float purchaseMax) {
    PlayerRecord& r = w->players[p];
    if (r.kind == kKindEmpty) r.kind = kKindHuman;
    r.treasury = treasury;
    SetProductReal(r.simPolicy.productPolicy[kP], kProductBuyParam, wanted);
    SetProductReal(r.displayPolicy.productPolicy[kP], kProductBuyParam, wanted);
    SetProductReal(r.simPolicy.productPolicy[kP], kProductPurchaseMax, purchaseMax);
  }
};

TEST(WorldMarket, NineAndAHalfUnitsAreNeverOffered) {
  Market m;
  m.Seller(2, 100.0f, 9.5f, 1.0f);
  m.Buyer(1, 1000.0f, 50.0f, 10.0f);
  ClearWorldMarket(*m.w);
  EXPECT_EQ(ForSale(m[2]), 0.0f);
  EXPECT_EQ(Stock(m[2]), 100.0f);
  EXPECT_EQ(Stock(m[1]), 0.0f);
  EXPECT_EQ(m[1].treasury, 1000.0f);
}

TEST(WorldMarket, AStockOfOneAndAHalfLeftAfterASaleBecomesZero) {
  Market m;
  m.Seller(2, 11.5f, 11.5f, 2.0f);
  m.Buyer(1, 1000.0f, 10.0f, 10.0f);
  ClearWorldMarket(*m.w);
  // One buyer, one offer: amount = min(10 / 1, 11.5 / 1) = 10 at 2.
  EXPECT_EQ(Stock(m[1]), 10.0f);
  EXPECT_EQ(m[1].treasury, 980.0f);
  EXPECT_EQ(m[1].turnPurchaseCost, 20.0f);
  EXPECT_EQ(m[1].turnProductTotals[kP], -20.0f);
  EXPECT_EQ(m[2].treasury, 20.0f);
  EXPECT_EQ(m[2].turnSalesRevenue, 20.0f);
  EXPECT_EQ(m[2].turnProductTotals[kP], 20.0f);
  EXPECT_EQ(Stock(m[2]), 0.0f);    // 1.5 is below 2
  EXPECT_EQ(ForSale(m[2]), 0.0f);  // 1.5 is below 10
  EXPECT_EQ(Wanted(m[1]), 0.0f);
  EXPECT_EQ(ProductReal(m[1].displayPolicy.productPolicy[kP], kProductBuyParam), 0.0f);
}

TEST(WorldMarket, TwoSellersAtOnePriceShareALevel) {
  Market m;
  m.Seller(2, 100.0f, 100.0f, 5.0f);
  m.Seller(3, 100.0f, 100.0f, 5.0f);
  m.Buyer(1, 1000.0f, 40.0f, 10.0f);
  m.Buyer(4, 1000.0f, 40.0f, 10.0f);
  ClearWorldMarket(*m.w);
  // n = 2 buyers, 2 offers on the one level: each buyer takes min(40 / 2,
  // 100 / 2) = 20 from each offer, 40 in all for 200.
  for (int b : {1, 4}) {
    EXPECT_EQ(Stock(m[b]), 40.0f) << b;
    EXPECT_EQ(m[b].treasury, 800.0f) << b;
  }
  for (int s : {2, 3}) {
    EXPECT_EQ(m[s].treasury, 200.0f) << s;
    EXPECT_EQ(Stock(m[s]), 60.0f) << s;
    EXPECT_EQ(ForSale(m[s]), 60.0f) << s;
  }
}

TEST(WorldMarket, AnOfferIsCappedByTheNumberOfBuyers) {
  Market m;
  m.Seller(2, 30.0f, 30.0f, 1.0f);
  m.Buyer(1, 1000.0f, 100.0f, 10.0f);
  m.Buyer(3, 1000.0f, 100.0f, 10.0f);
  ClearWorldMarket(*m.w);
  // Round 1: n = 2, buyer 1 takes min(100, 30 / 2) = 15, buyer 3 then
  // min(100, 15 / 2) = 7.5. Round 2: 7.5 left, buyer 1 takes 3.75 and buyer
  // 3 takes 1.875, leaving 1.875. Round 3: buyer 1 takes 0.9375, leaving
  // 0.9375, below 1: the offer goes.
  EXPECT_FLOAT_EQ(Stock(m[1]), 15.0f + 3.75f + 0.9375f);
  EXPECT_FLOAT_EQ(Stock(m[3]), 7.5f + 1.875f);
  EXPECT_FLOAT_EQ(m[2].treasury, 30.0f - 0.9375f);
  // Five amounts changed hands: five purchases and five sales.
  const DayTallyCounts day = TakeDayTallies(*m.w);
  EXPECT_EQ(day.purchases, 5u);
  EXPECT_EQ(day.sales, 5u);
}

TEST(WorldMarket, TheCheapestLevelSellsFirst) {
  Market m;
  m.Seller(2, 20.0f, 20.0f, 4.0f);
  m.Seller(3, 20.0f, 20.0f, 2.0f);
  m.Buyer(1, 1000.0f, 30.0f, 10.0f);
  ClearWorldMarket(*m.w);
  // 20 at 2 from player 3, then the remaining 10 at 4 from player 2.
  EXPECT_EQ(Stock(m[1]), 30.0f);
  EXPECT_EQ(m[1].treasury, 1000.0f - 40.0f - 40.0f);
  EXPECT_EQ(Stock(m[3]), 0.0f);
  EXPECT_EQ(Stock(m[2]), 10.0f);
}

TEST(WorldMarket, PlayerZeroBuysWithoutMoneyOthersDoNot) {
  Market m;
  m.Seller(2, 100.0f, 100.0f, 3.0f);
  m[0].kind = kKindWorld;
  m.Buyer(0, 0.0f, 20.0f, 10.0f);
  m.Buyer(1, 0.0f, 20.0f, 10.0f);
  ClearWorldMarket(*m.w);
  EXPECT_EQ(Stock(m[0]), 20.0f);
  EXPECT_EQ(m[0].treasury, -60.0f);
  EXPECT_EQ(Stock(m[1]), 0.0f);
  EXPECT_EQ(m[1].treasury, 0.0f);
  // The world body is no region: its purchase is a region's sale only.
  const DayTallyCounts day = TakeDayTallies(*m.w);
  EXPECT_EQ(day.purchases, 0u);
  EXPECT_EQ(day.sales, 1u);
}

TEST(WorldMarket, PriceLimitsAndRefusals) {
  Market m;
  m.Seller(2, 100.0f, 100.0f, 3.0f);
  m.Buyer(1, 1000.0f, 20.0f, 2.5f);  // will not pay 3
  m.Buyer(3, 1000.0f, 20.0f, 10.0f);
  // Player 2 refuses to sell to 3...
  SetProductWord(m[2].simPolicy.productPolicy[kP], kProductPlayerMask, 1u << 3);
  ClearWorldMarket(*m.w);
  EXPECT_EQ(Stock(m[1]), 0.0f);
  EXPECT_EQ(Stock(m[3]), 0.0f);
  // ...unless its no-boycott switch is on.
  SetProductWord(m[2].simPolicy.productPolicy[kP], kProductFlags, 1u << 2);
  ClearWorldMarket(*m.w);
  EXPECT_EQ(Stock(m[3]), 20.0f);
}

TEST(WorldMarket, AutomaticWantsComeFirstUpToTheirLimit) {
  Market m;
  m.Seller(2, 100.0f, 100.0f, 3.0f);
  m.Buyer(1, 1000.0f, 20.0f, 10.0f);
  le::StoreF32(m[1].products[kP].bytes + 68, 5.0f);
  SetProductReal(m[1].simPolicy.productPolicy[kP], kProductAutoBuyMax, 4.0f);
  ClearWorldMarket(*m.w);
  // Round 1 draws on the automatic 5, round 2 on the 20 wanted by hand.
  EXPECT_EQ(Stock(m[1]), 25.0f);
  EXPECT_EQ(le::LoadF32(m[1].products[kP].bytes + 68), 0.0f);
  EXPECT_EQ(Wanted(m[1]), 0.0f);
}

}  // namespace
