#include "sim/daily/product_economy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "sim/daily/product_fields.h"
#include "records/player_record.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

using namespace product;

namespace {

struct Economy {
  std::unique_ptr<World> w = std::make_unique<World>();
  PlayerRecord& r = w->players[1];
  Economy() {
    w->worldEconomy.assign(1024, 0);
    r.kind = kKindComputer;
    r.number = 1;
    for (float& f : w->techEffects[1]) f = 1.0f;
  }
  void WorldSet(int p, size_t at, float v) { le::StoreF32(w->worldEconomy.data() + 64 * p + at, v); }
  void Set(int p, size_t at, float v) { product::Set(r, p, at, v); }
  float Get(int p, size_t at) const { return product::Get(r, p, at); }
  ProductPolicy& Policy(int p) { return r.simPolicy.productPolicy[p]; }
};

TEST(ProductEconomy, OutputIsCutToWhatTheGdpCanPay) {
  Economy e;
  e.WorldSet(0, kWorldPrice, 10.0f);
  e.WorldSet(0, kWorldOutputWeight, 1.0f);
  e.Set(0, kProductivity, 1.0f);
  e.Set(0, kBaseLevel, 1.0f);
  e.r.priceIndex = 1.0f;
  e.r.costFactor = 1.0f;
  e.r.dayProduction[0] = 100.0f;
  e.r.gdp = 500.0f;
  e.r.dayApproval = 0.25f;
  e.r.techLevel = 100.0f;
  DailyProductPrices(*e.w, e.r);
  // k = 1, output 100, price 10 x 1 x 1 x r(1 / 1) = 10; 10 x 100 > 500, so
  // output = 500 / 10 = 50. No subsidy: productivity (r(0.01) + 29) / 30 =
  // 0.97 and the price stays 10.
  EXPECT_FLOAT_EQ(e.Get(0, kOutput), 50.0f);
  EXPECT_FLOAT_EQ(e.Get(0, kPrice), 10.0f);
  EXPECT_FLOAT_EQ(e.Get(0, kUnitCost), 10.0f);
  // (0.97 x 19 + 0.25 / 2 + 100 / 100 + 1 x 1 + 2 x 0.5 x 1 x 1) / 24.
  EXPECT_NEAR(e.Get(0, kProductivity), (0.97f * 19.0f + 0.125f + 1.0f + 1.0f + 1.0f) / 24.0f, 1e-5);
  // A product with no world price and no productivity is raised to 0.01
  // and keeps a zero price rather than a NaN.
  EXPECT_FLOAT_EQ(e.Get(3, kPrice), 0.0f);
}

TEST(ProductEconomy, ASubsidyRaisesProductivityAndLowersThePrice) {
  Economy e;
  e.WorldSet(2, kWorldPrice, 4.0f);
  e.WorldSet(2, kWorldOutputWeight, 1.0f);
  e.Set(2, kProductivity, 1.0f);
  e.Set(2, kBaseLevel, 1.0f);
  e.Set(2, kProduction, 100.0f);
  SetProductReal(e.Policy(2), kProductSubsidy, 0.25f);
  e.r.priceIndex = 2.0f;
  e.r.govtype = 3;  // price column 0.7
  e.r.costFactor = 1.0f;
  e.r.dayProduction[2] = 10.0f;
  e.r.gdp = 1.0e6f;
  DailyProductPrices(*e.w, e.r);
  // price = 4 / 2 x 0.7 x 1 x 1 = 1.4; output 10. d = 100 x 0.25 x 4 = 100;
  // price = max(0.04, 1.4 - (100 / 10) / 4) = 0.04.
  EXPECT_FLOAT_EQ(e.Get(2, kOutput), 10.0f);
  EXPECT_FLOAT_EQ(e.Get(2, kPrice), 0.04f);
}

TEST(ProductEconomy, FuelIsRationedByWhatProductSevenCanSpare) {
  Economy e;
  e.WorldSet(0, kWorldEnergyContent, 2.0f);
  e.Set(0, kFuelDemand, 100.0f);
  e.Set(0, kStock, 10.0f);
  e.Set(0, kUnitCost, 3.0f);
  e.Set(0, kDemand, 50.0f);
  e.Set(7, kOutput, 150.0f);
  e.Set(7, kUnitCost, 1.0f);
  SetProductReal(e.Policy(7), kProductProductionCap, 0.8f);
  SetProductWord(e.Policy(7), kProductFlags, 1u << 5);  // capped by capacity: production 120
  DailyProduction(*e.w, e.r);
  // Granted min(100, 2 x 10 x 365) = 100; avail = max(0, 150 - 100) = 50;
  // f = 120 - 50 = 70; ratio 0.7: 70 granted, 70 / 2 / 365 leaves the stock.
  EXPECT_FLOAT_EQ(e.Get(7, kProduction), 120.0f);
  EXPECT_FLOAT_EQ(e.Get(0, kFuelGranted), 70.0f);
  const float used = 70.0f / 2.0f / 365.0f;
  EXPECT_FLOAT_EQ(e.Get(0, kStock), 10.0f - used);
  EXPECT_FLOAT_EQ(e.Get(0, kDemand), 50.0f - 15.0f);  // (100 - 70) / 2
  EXPECT_NEAR(e.Get(7, kUnitCost), 1.0f + used * 3.0f / (120.0f / 365.0f), 1e-5);
  EXPECT_EQ(le::Load32(e.r.products[7].bytes + kFlags2) & 1u, 0u);
}

TEST(ProductEconomy, WithoutFuelDemandProductSevenKeepsItsOwnOutput) {
  Economy e;
  e.Set(7, kOutput, 100.0f);
  e.Set(7, kDemand, 1000.0f);
  SetProductReal(e.Policy(7), kProductProductionCap, 1.0f);
  le::Store32(e.r.products[7].bytes + kFlags2, 1u);
  DailyProduction(*e.w, e.r);
  EXPECT_FLOAT_EQ(e.Get(7, kProduction), 100.0f);
  EXPECT_EQ(le::Load32(e.r.products[7].bytes + kFlags2) & 1u, 0u);
}

TEST(ProductEconomy, SurplusIsOfferedAndShortfallIsBoughtAutomatically) {
  Economy e;
  // Product 1 sells its surplus.
  e.Set(1, kOutput, 1095.0f);
  e.Set(1, kDemand, 365.0f);
  e.Set(1, kStock, 100.0f);
  e.Set(1, kUnitCost, 4.0f);
  SetProductReal(e.Policy(1), kProductProductionCap, 10.0f);
  SetProductWord(e.Policy(1), kProductFlags, 1u << 3);
  SetProductReal(e.Policy(1), kProductAutoSellSurplusPercent, 0.5f);
  SetProductReal(e.Policy(1), kProductAutoSellMargin, 2.0f);
  SetProductReal(e.Policy(1), kProductSellParam2, 7.0f);
  // Product 5 buys what it lacks.
  e.Set(5, kDemand, 10000.0f);
  e.Set(5, kStock, 20.0f);
  SetProductWord(e.Policy(5), kProductFlags, 1u << 0);
  e.WorldSet(5, kWorldImportPrice, 5.0f);
  product::Set(e.w->players[0], 5, kAskPrice, 3.0f);
  DailyProduction(*e.w, e.r);
  // Product 1: production min(1095, 10 x 1.02 x 365) = 1095; stock 100 +
  // 3 = 103; q = (1095 - 365) / 365 x 0.5 = 1; ask = (2 x 4 x 1 + 7 x 0) /
  // (1 + 0) = 8; for sale 1.
  EXPECT_FLOAT_EQ(e.Get(1, kStock), 103.0f);
  EXPECT_FLOAT_EQ(e.Get(1, kAskPrice), 8.0f);
  EXPECT_FLOAT_EQ(e.Get(1, kForSale), 1.0f);
  EXPECT_FLOAT_EQ(ProductReal(e.r.displayPolicy.productPolicy[1], kProductSellParam2), 8.0f);
  EXPECT_FLOAT_EQ(RecordReal(e.r, kTurnAutoSale), 8.0f);
  // Product 5: wanted max(0, 10000 x 0.007 - 20) = 50 at max(3, 6) = 6.
  EXPECT_FLOAT_EQ(e.Get(5, kAutoWanted), 50.0f);
  EXPECT_FLOAT_EQ(RecordReal(e.r, kTurnAutoPurchase), 300.0f);
}

TEST(ProductEconomy, RefinedOutputIsLimitedByItsInputsAndShortagesCutConsumption) {
  Economy e;
  e.WorldSet(2, kWorldNeedFor8 + 4, 1.0f);  // one unit of product 2 per unit of product 9
  e.Set(9, kProduction, 365.0f);
  e.Set(9, kDemand, 100.0f);
  e.Set(9, kUnitCost, 2.0f);
  e.Set(2, kDemand, 730.0f);
  e.Set(2, kStock, 0.5f);
  e.Set(2, kProduction, 182.5f);
  e.Set(2, kUnitCost, 1.0f);
  e.Set(3, kConsumption, 3650.0f);
  e.Set(3, kStock, 4.0f);
  e.Set(3, kDemand, 5.0f);
  e.Set(3, kProduction, 5.0f);
  e.WorldSet(3, kWorldConsumerWeight, 1.0f);
  e.r.dayApproval = 0.5f;
  DailyBudgetAndTrade(*e.w, e.r);
  // ratio = (0.5 x 365 + 182.5) / 730 = 0.5: product 9 makes 182.5 and
  // product 2's consumption grows by 182.5, half a unit a day.
  EXPECT_FLOAT_EQ(e.Get(9, kProduction), 182.5f);
  EXPECT_EQ(le::Load32(e.r.products[9].bytes + kFlags2) & 1u, 1u);
  EXPECT_FLOAT_EQ(e.Get(2, kConsumption), 182.5f);
  EXPECT_FLOAT_EQ(e.Get(2, kStock), 0.0f);
  // Product 3 needs 10 a day and has 4: it uses 4, consumption 4 x 365,
  // approval (r(0.4 + 0.01) + 19) x 0.5 / 20.
  EXPECT_FLOAT_EQ(e.Get(3, kConsumption), 1460.0f);
  EXPECT_FLOAT_EQ(e.Get(3, kStock), 0.0f);
  EXPECT_NEAR(e.r.dayApproval, (0.6403124f + 19.0f) * 0.5f / 20.0f, 1e-5);
  // Imports: product 2 lacks 547.5 at its unit cost 1; exports: product 9's
  // 82.5 over demand at 2.
  EXPECT_FLOAT_EQ(e.r.importValue, 547.5f);
  EXPECT_FLOAT_EQ(e.r.exportValue, 165.0f);
}

TEST(ProductEconomy, ConsumerDemandFollowsPopulationAndPrice) {
  Economy e;
  e.WorldSet(4, kWorldPrice, 1.0f);
  e.WorldSet(4, kWorldConsumerWeight, 2.0f);
  e.Set(4, kPerCapitaUse, 3.0f);
  e.Set(4, kPrice, 1.0f);
  e.Set(4, kDayDemand, 1.0f);
  SetProductReal(e.Policy(4), kProductDomesticMargin, 1.0f);
  e.r.dayPopulation = 100.0f;
  e.r.costFactor = 1.0f;
  e.r.dayApproval = 0.5f;
  DailyProductOutput(*e.w, e.r);
  // c = 1 x 3 x 2 x 100 = 600; e = q(1 / (1 x 1 x 1) + 0.01) = q(1.01);
  // c = 600 e; approval (q(r(e)) + 87) x 0.5 / 88; f = 1.5 x r(r(e)) x c
  // stays above c. Demand then gains the day's demand x 365.
  const float q = std::sqrt(std::sqrt(1.01f));
  const float c = 600.0f * q;
  EXPECT_NEAR(e.Get(4, kConsumerDemand), c, 1e-3);
  EXPECT_NEAR(e.Get(4, kConsumption), c, 1e-3);
  EXPECT_NEAR(e.Get(4, kDemand), c + 365.0f, 1e-3);
  EXPECT_FLOAT_EQ(e.Get(4, kLastDayDemand), 1.0f);
  EXPECT_NEAR(e.r.dayApproval, (std::sqrt(std::sqrt(std::sqrt(q))) + 87.0f) * 0.5f / 88.0f, 1e-6);
}

}  // namespace

#include "sim/daily/world_market.h"

namespace {

TEST(ProductEconomy, OneDayOfTwoRegionsAndThreeProducts) {
  Economy e;  // region 1, the maker
  World& w = *e.w;
  PlayerRecord& b = w.players[2];  // region 2, the buyer
  b.kind = kKindHuman;
  b.number = 2;
  for (float& f : w.techEffects[2]) f = 1.0f;
  const float worldPrice[3] = {2.0f, 1.0f, 4.0f};
  for (int p = 0; p < 3; ++p) {
    e.WorldSet(p, kWorldPrice, worldPrice[p]);
    e.WorldSet(p, kWorldOutputWeight, 1.0f);
    e.Set(p, kProductivity, 1.0f);
    e.Set(p, kBaseLevel, 1.0f);
    e.Set(p, kStock, 100.0f);
    SetProductReal(e.Policy(p), kProductProductionCap, 1.0f);
    SetProductWord(e.Policy(p), kProductFlags, 1u << 5);  // capped by capacity
  }
  PlayerRecord& a = e.r;
  a.priceIndex = 1.0f;
  a.costFactor = 1.0f;
  a.gdp = 1.0e9f;
  a.dayProduction[0] = 365.0f;
  a.dayProduction[2] = 730.0f;
  e.Set(1, kDayDemand, 1.0f);
  SetProductWord(e.Policy(0), kProductFlags, (1u << 5) | (1u << 3));  // and sells its surplus
  SetProductReal(e.Policy(0), kProductAutoSellSurplusPercent, 20.0f);
  SetProductReal(e.Policy(0), kProductAutoSellMargin, 1.5f);
  b.treasury = 1000.0f;
  SetProductReal(b.simPolicy.productPolicy[0], kProductBuyParam, 15.0f);
  SetProductReal(b.simPolicy.productPolicy[0], kProductPurchaseMax, 5.0f);

  for (PlayerRecord* r : {&a, &b}) {
    DailyProductPrices(w, *r);
    DailyProductOutput(w, *r);
    DailyProduction(w, *r);
  }
  // Prices: world price x 1 x 1 x r(1 / 1); outputs 365, 0 and 730 (k = 1).
  EXPECT_FLOAT_EQ(e.Get(0, kPrice), 2.0f);
  EXPECT_FLOAT_EQ(e.Get(1, kPrice), 1.0f);
  EXPECT_FLOAT_EQ(e.Get(2, kPrice), 4.0f);
  // Productivity: with output, (r(0.01) + 29) / 30 = 0.97 first; then
  // (0.97 x 19 + 0 + 0 + 1 x 1 + 0) / 24; without output (1 x 19 + 1) / 24.
  EXPECT_NEAR(e.Get(0, kProductivity), (0.97f * 19.0f + 1.0f) / 24.0f, 1e-5);
  EXPECT_NEAR(e.Get(1, kProductivity), 20.0f / 24.0f, 1e-6);
  // No consumers: demand is product 1's 1 a day x 365 and nothing else.
  EXPECT_FLOAT_EQ(e.Get(1, kDemand), 365.0f);
  // Production at capacity: 365 and 730; stocks grow by a day of it.
  EXPECT_FLOAT_EQ(e.Get(0, kProduction), 365.0f);
  EXPECT_FLOAT_EQ(e.Get(2, kStock), 102.0f);
  // Product 0's surplus 365 / 365 x 20 = 20 is offered at (1.5 x 2 x 20) /
  // 20 = 3.
  EXPECT_FLOAT_EQ(e.Get(0, kForSale), 20.0f);
  EXPECT_FLOAT_EQ(e.Get(0, kAskPrice), 3.0f);

  ClearWorldMarket(w);
  // Region 2 buys its 15 at 3; the 5 left are below an offer's 10.
  EXPECT_FLOAT_EQ(a.treasury, 45.0f);
  EXPECT_FLOAT_EQ(e.Get(0, kStock), 101.0f - 15.0f);
  EXPECT_FLOAT_EQ(e.Get(0, kForSale), 0.0f);
  EXPECT_FLOAT_EQ(b.treasury, 955.0f);
  EXPECT_FLOAT_EQ(product::Get(b, 0, kStock), 15.0f);

  for (PlayerRecord* r : {&a, &b}) DailyBudgetAndTrade(w, *r);
  // Exports: 365 x 2 + 730 x 4; imports: product 1's 365 at its unit cost 1.
  EXPECT_FLOAT_EQ(a.exportValue, 3650.0f);
  EXPECT_FLOAT_EQ(a.importValue, 365.0f);
  EXPECT_FLOAT_EQ(b.exportValue, 0.0f);
  EXPECT_FLOAT_EQ(b.importValue, 0.0f);
  EXPECT_FLOAT_EQ(product::Get(b, 0, kStock), 15.0f);
}

}  // namespace

namespace {

TEST(ProductEconomy, EmptyFiguresNeverGiveNaNOrInfinity) {
  Economy e;
  // A zeroed economy block: no world prices, no world minimum GDP per head,
  // but people who want every product.
  for (int p = 0; p < kProductCount; ++p) e.WorldSet(p, kWorldConsumerWeight, 1.0f);
  PlayerRecord& r = e.r;
  r.simPolicy.taxRates[0] = -1.0f;  // a sales tax that would zero a divisor
  r.gdpPerCapita = -5.0f;           // below a world minimum of 0
  r.dayPopulation = 100.0f;
  for (int p = 0; p < kProductCount; ++p) {
    e.Set(p, kPerCapitaUse, 1.0f);
    e.Set(p, kProduction, 10.0f);
  }
  DailyProductPrices(*e.w, r);
  DailyProductOutput(*e.w, r);
  DailyProduction(*e.w, r);
  DailyBudgetAndTrade(*e.w, r);
  for (int p = 0; p < kProductCount; ++p)
    for (size_t at = 0; at < 96; at += 4) {
      if (at == kFlags2) continue;
      EXPECT_TRUE(std::isfinite(e.Get(p, at))) << "product " << p << " field " << at;
    }
  EXPECT_TRUE(std::isfinite(r.dayApproval));
  EXPECT_TRUE(std::isfinite(r.importValue));
  EXPECT_TRUE(std::isfinite(r.exportValue));
}

}  // namespace
