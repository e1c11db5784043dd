#include "sim/daily/gdp.h"

#include <gtest/gtest.h>

#include <memory>

#include "sim/daily/economy_fields.h"
#include "sim/daily/product_fields.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "world/world.h"

namespace {

struct GdpWorld {
  std::unique_ptr<World> w = std::make_unique<World>();
  PlayerRecord& r = w->players[1];
  GdpWorld() {
    w->worldEconomy.assign(1024, 0);
    le::StoreF32(w->worldEconomy.data() + product::kWorldGdpPerHead, 10.0f);
    r.kind = kKindComputer;
    r.number = 1;
    // Inputs chosen so that every factor but H is 1: A = q(42 / 42) = 1,
    // G = r(2 - 1) = 1, B = r(0.9 + 0.1) = 1, N = D = q(0.6 + 0.4) = 1,
    // E = r(0.7 + 0.3) = 1, F = q(0.6 + 0.4) = 1, I = q(100 / 100) = 1,
    // J = q(0.75 + 0.25) = 1.
    r.gdpInput7 = 42.0f;
    r.gdpInput1 = 0.9f;
    r.gdpInput2 = 0.6f;
    r.gdpInput3 = 0.6f;
    r.gdpInput4 = 0.7f;
    r.gdpInput6 = 0.6f;
    r.gdpInput5 = 1.0f;
    r.techLevel = 100.0f;
    r.dayApproval = 0.75f;
    r.simPolicy.defcon = 2;  // 1.08 - 2 x 0.04 = 1.0
    r.unemployment = 0.2f;
    r.dayPopulation = 100.0f;
    r.gdpPerCapita = 10.0f;
    r.baseGdpPerCapita = 10.0f;
    r.serviceAdd = 0.1f;
    r.turnBuildSpending = 1.0f;
    r.priceIndex = 1.0f;
    r.creditRating = 1.2f;
  }
};

TEST(Gdp, TaxBurdenWeighsEachTax) {
  PlayerPolicyBlock b{};
  for (float& t : b.taxRates) t = 1.0f;
  b.userfees = 0.5f;
  // 2 / 52 + 2 / 166 + 5 / 5 + 0.5 + 3.
  EXPECT_NEAR(TaxBurden(b), 2.0f / 52.0f + 2.0f / 166.0f + 1.0f + 0.5f + 3.0f, 1e-6);
}

TEST(Gdp, OneDayOfAHandBuiltRegion) {
  GdpWorld g;
  DailyGdpCalc(*g.w, g.r);
  // No taxes: T = 0, H = r(2) = 1.4142136. K = 0.8 x 1 x 1 x 1 x H =
  // 1.1313708; V = r(K) x 1 (government 0) = 1.0636541.
  // O = (V + 0.3) x (1 x 365) / 100 = 4.9773374.
  // GDP/c = (10 x 88 + 10 x 0.1 + 4.9773374 + 10) / 90 = 9.9553037.
  EXPECT_NEAR(g.r.gdpPerCapita, 9.9553037f, 2e-5);
  EXPECT_NEAR(g.r.gdp, 995.53037f, 2e-3);
  // cost factor r(0.99553037 + 0.1) = 1.0466761.
  EXPECT_NEAR(g.r.costFactor, 1.0466761f, 2e-6);
  // u = 0.49773374; U' = (0.2 x 58 + 0.25 / r(0.59773374)) / 60 = 0.19872266.
  EXPECT_NEAR(g.r.unemployment, 0.19872266f, 2e-6);
  // g = q(0.99553037) - 1 - (0.19872266 - 0.08) = -0.11984 below 0.05, so
  // g += r(1.05 + 0.11984) - 1: g = -0.0382496; the price index stays.
  EXPECT_NEAR(g.r.growthRate, -0.0382496f, 2e-5);
  EXPECT_EQ(g.r.priceIndex, 1.0f);
  // m = 1 - 0.001 (O below 0.65 GDP/c) - 0.0004 (defcon 2) - 0.0001
  // (treasury 0 below gdp / 6000) = 0.9985; rating 0.9985 x 1.2 + 0.00005.
  EXPECT_NEAR(g.r.creditRating, 1.19825f, 2e-6);
  // approval (0.75 x 48 + r(0.99553037) + V^2) / 50 = 0.7625827.
  EXPECT_NEAR(g.r.dayApproval, 0.7625827f, 2e-6);
}

TEST(Gdp, ACreditRatingOfOneAndAHalfStays) {
  for (float rating : {1.5f, 1.8f}) {
    GdpWorld g;
    g.r.creditRating = rating;
    DailyGdpCalc(*g.w, g.r);
    EXPECT_EQ(g.r.creditRating, rating);
  }
  // Below it a rising m raises the rating by its root: output per head above
  // GDP/c (+0.001), a full treasury (+0.001), defcon 0.
  GdpWorld g;
  g.r.simPolicy.defcon = 0;
  g.r.turnBuildSpending = 10.0f;
  g.r.treasury = 1.0e6f;
  g.r.creditRating = 1.2f;
  DailyGdpCalc(*g.w, g.r);
  EXPECT_GT(g.r.creditRating, 1.2f);
  EXPECT_LT(g.r.creditRating, 1.2f * 1.0011f);
}

TEST(Gdp, ARegionWithoutPeopleIsLeftAlone) {
  GdpWorld g;
  g.r.dayPopulation = 0.0f;
  DailyGdpCalc(*g.w, g.r);
  EXPECT_EQ(g.r.gdpPerCapita, 10.0f);
  EXPECT_EQ(g.r.creditRating, 1.2f);
}

TEST(Gdp, AGovernmentTypeOutsideTheTableUsesRowZero) {
  GdpWorld a, b;
  b.r.govtype = 77;
  DailyGdpCalc(*a.w, a.r);
  DailyGdpCalc(*b.w, b.r);
  EXPECT_EQ(a.r.gdpPerCapita, b.r.gdpPerCapita);
}

}  // namespace
