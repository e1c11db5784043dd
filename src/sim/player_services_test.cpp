#include "sim/player_services.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/calendar.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "sim/daily/research_fields.h"
#include "world/text/policy_fields.h"
#include "world/world.h"

namespace {

void SetRecordReal(PlayerRecord& r, size_t offset, float v) { le::StoreF32(reinterpret_cast<uint8_t*>(&r) + offset, v); }
void SetProduct(PlayerRecord& r, int p, size_t offset, float v) { le::StoreF32(r.products[p].bytes + offset, v); }

std::unique_ptr<World> EconomyWorld() {
  auto w = std::make_unique<World>();
  w->worldEconomy.assign(1024, 0);
  return w;
}

TEST(PlayerServices, DayOfYearCountsFromFirstJanuary) {
  GameDate d{};
  d.year = 2001, d.month = 3, d.day = 1;
  DateToDayNumber(d);
  EXPECT_EQ(DayOfYear(d), 60);
  d.year = 2000;
  DateToDayNumber(d);
  EXPECT_EQ(DayOfYear(d), 61);
  d.month = 1;
  DateToDayNumber(d);
  EXPECT_EQ(DayOfYear(d), 1);
}

TEST(PlayerServices, SocialCostsFollowTheirFormulas) {
  auto w = EconomyWorld();
  PlayerRecord& r = w->players[2];
  r.number = 2;
  for (float& t : w->techEffects[2]) t = 1.0f;
  w->techEffects[2][110] = 1.5f;  // programme 2's multiplier
  w->mapHeader.hexScale = 3;
  r.dayPopulation = 10.0f;  // h
  r.costFactor = 2.0f;      // c
  SetRecordReal(r, 13040, 50.0f);
  r.gdpInput3 = 0.5f;
  r.hexCount = 4;
  r.unemployment = 0.1f;
  ComputeSocialCosts(*w, r);
  EXPECT_FLOAT_EQ(r.socialCosts[0], 15600.0f);  // 10 x 2 x 780
  EXPECT_FLOAT_EQ(r.socialCosts[1], 14000.0f);  // 10 x 2 x 700
  EXPECT_FLOAT_EQ(r.socialCosts[2], 12150.0f);  // (10 x 400 + 50) x 1.5 x 2
  // A = (1 - 0.5) x (4 x 3 x 3) x 1000 + 10 x 150 = 19500, above h x 1.5.
  EXPECT_FLOAT_EQ(r.socialCosts[3], 78000.0f);  // 2 x 2 x 19500
  // max((2 - 2) x 10 x 300 + 0.1 x 10 x 1200, 10 x 110) = 1200.
  EXPECT_FLOAT_EQ(r.socialCosts[4], 4800.0f);
  EXPECT_FLOAT_EQ(r.socialCosts[5], 3800.0f);  // 10 x 2 x 190
  EXPECT_FLOAT_EQ(r.socialCosts[6], 6800.0f);  // 10 x 2 x 2 x 170

  r.simPolicy.socialspend[0] = 0.5f;
  r.simPolicy.socialspend[6] = 1.0f;
  r.displayPolicy.socialspend[1] = 2.0f;
  EXPECT_FLOAT_EQ(GetSocialSpending(1, 0, r), 7800.0f);
  EXPECT_FLOAT_EQ(GetSocialSpending(1, -1, r), 14600.0f);  // 7800 + 6800
  EXPECT_FLOAT_EQ(GetSocialSpending(0, -1, r), 28000.0f);
}

TEST(PlayerServices, TaxRatesForLevelWithoutBasesAreTheDefaultFractions) {
  const float none[13] = {};
  const auto rates = TaxRatesForLevel(none, 0.2f);
  EXPECT_FLOAT_EQ(rates[0], 0.1f);
  EXPECT_FLOAT_EQ(rates[1], 0.1f);
  EXPECT_FLOAT_EQ(rates[2], 0.2f * 0.65f);
  EXPECT_FLOAT_EQ(rates[4], 0.2f * 0.099f);
  EXPECT_FLOAT_EQ(rates[8], 0.2f * 0.08f);
  EXPECT_FLOAT_EQ(rates[11], 0.2f * 0.65f);
  EXPECT_FLOAT_EQ(rates[12], 0.01f);
}

TEST(PlayerServices, TaxRatesForLevelSpreadTheLevelOverTheBasesUpToTheCaps) {
  float bases[13] = {};
  bases[0] = 52.0f;   // (b0 + b1) / 52 = 1
  bases[12] = 0.04f;  // S = 1.04, so k = 0.52 / 1.04 = 0.5
  bases[8] = 0.0f;
  const auto rates = TaxRatesForLevel(bases, 0.52f);
  EXPECT_FLOAT_EQ(rates[0], 0.5f);  // min(26, 0.5)
  EXPECT_FLOAT_EQ(rates[1], 0.0f);
  EXPECT_FLOAT_EQ(rates[12], 0.02f);  // min(0.02, 0.05)
}

// A fixture region whose budget words are worked out by hand.
void BudgetRegion(World& w, PlayerRecord& r) {
  le::StoreF32(w.worldEconomy.data() + 0, 4.0f);  // product 0's world price
  SetProduct(r, 0, 24, 100.0f);                   // production
  SetProduct(r, 0, 12, 2.0f);                     // price
  SetProduct(r, 0, 28, 730.0f);                   // consumption
  SetProduct(r, 0, 40, 1.0f);                     // yesterday's use
  PlayerPolicyBlock& b = r.simPolicy;
  SetProductReal(b.productPolicy[0], kProductDomesticMargin, 1.5f);
  SetProductReal(b.productPolicy[0], kProductSubsidy, 0.1f);
  r.gdp = 1000.0f;
  r.techLevel = 100.0f;
  r.serviceAdd = 0.1f;
  r.approval = 0.5f;
  r.unemployment = 0.2f;
  r.costFactor = 4.0f;
  r.immigrationPerYear = 100.0f;
  b.taxRates[0] = 1.0f;
  b.taxRates[1] = 0.25f;
  b.taxRates[2] = 0.5f;
  b.taxRates[4] = 0.1f;
  b.taxRates[9] = 0.25f;
  b.taxRates[10] = 0.35f;
  b.userfees = 0.1f;
  b.immigrationtax = 0.5f;
  r.socialCosts[0] = 100.0f;
  b.socialspend[0] = 0.5f;
  r.population = 10.0f;
  r.gdpPerCapita = 100.0f;
  SetRecordReal(r, 10452, 0.5f);
  b.uispend = 2.0f;
  b.wageFlags = 4;
  r.standing = 1.0f;
  r.govtype = 3;
  SetRecordReal(r, 10608, 10.0f);
  b.milspendsalary = 2.0f;
  b.readinessValue = 5.0f;
}

TEST(PlayerServices, BudgetTotalsOfTheSimulationCopy) {
  auto w = EconomyWorld();
  PlayerRecord& r = w->players[1];
  BudgetRegion(*w, r);
  RecalcPlayerTotals(*w, r, 1);
  const PlayerPolicyBlock& b = r.simPolicy;
  EXPECT_FLOAT_EQ(BlockReal(b, 282), 40.0f);    // subsidy 100 x 4 x 0.1
  EXPECT_FLOAT_EQ(BlockReal(b, 281), 240.0f);   // 40 + 2 x 100
  EXPECT_FLOAT_EQ(BlockReal(b, 280), 1095.0f);  // (730 - 365) x 2 x 1.5
  // E = min(0 + 0.1 + 0.35, 0.8) = 0.45; u = 0.8; D = 0.5; sqrt(c) = 2.
  EXPECT_NEAR(BlockReal(b, 26), 273.75f, 1e-3);  // 1095 / 2 x soft(1, 0.25) = 547.5 x 0.5
  EXPECT_NEAR(BlockReal(b, 27), 15.75f, 1e-3);   // 0.25 x 1000 x 0.45 x 0.14
  EXPECT_NEAR(BlockReal(b, 28), 50.0f, 1e-3);    // 0.5 x 1000 x 0.1
  EXPECT_NEAR(BlockReal(b, 30), 19.2f, 1e-3);    // 0.8 x 0.1 x 1000 x 0.24
  EXPECT_NEAR(BlockReal(b, 35), 30.0f, 1e-3);    // 0.8 x 1000 x 0.5 x 0.25 x 0.3
  EXPECT_NEAR(BlockReal(b, 36), 112.0f, 1e-3);   // 0.8 x 1000 x 0.5 x 2 x 0.35 x 0.4
  EXPECT_NEAR(BlockReal(b, 38), 25.0f, 1e-3);    // 0.1 x 1000 x 0.5 x 0.5
  EXPECT_NEAR(BlockReal(b, 39), 50.0f, 1e-3);    // 100 x 0.5
  EXPECT_NEAR(b.budgetRevenue, 575.7f, 1e-3);
  // Spending: 0.5 x 10 x 2 (forces, govtype 3) + 5 (readiness) + 0.5 x 2 x
  // (0.2 x 10 / 2 x 100) (unemployment aid) + 100 x 0.5 (social) + (0.02 -
  // 0.01) x 1000 (world body dues) = 10 + 5 + 100 + 50 + 10.
  EXPECT_NEAR(b.budgetSpending, 175.0f, 1e-3);
  EXPECT_NEAR(b.budgetBalance, 575.7f - 175.0f + 1095.0f - 240.0f, 1e-3);
}

TEST(PlayerServices, AGovtypeOutsideTheTableUsesRowZero) {
  auto w = EconomyWorld();
  PlayerRecord& r = w->players[1];
  BudgetRegion(*w, r);
  r.govtype = 200;
  RecalcPlayerTotals(*w, r, 1);
  EXPECT_NEAR(r.simPolicy.budgetSpending, 185.0f, 1e-3);  // the forces term at factor 1.0
  EXPECT_FLOAT_EQ(GovtypeSpendingFactor(5), 2.0f);
  EXPECT_FLOAT_EQ(GovtypeSpendingFactor(6), 1.0f);
}

TEST(PlayerServices, TheDisplayCopyAddsResearchAndTheDailyFlows) {
  auto w = EconomyWorld();
  PlayerRecord& r = w->players[1];
  BudgetRegion(*w, r);
  r.displayPolicy = r.simPolicy;
  r.researchBudget = 3.0f;
  r.displayPolicy.milspendresearch = 4.0f;  // record float 400
  le::StoreF32(reinterpret_cast<uint8_t*>(&r) + kCapacityByKind + 4, 9.0f);  // nine research sites: sqrt 3 caps it
  SetRecordReal(r, 10408, 1.0f);
  SetRecordReal(r, 10404, 2.0f);
  RecalcPlayerTotals(*w, r, 0);
  const PlayerPolicyBlock& b = r.displayPolicy;
  EXPECT_NEAR(b.budgetSpending, 175.0f + 3.0f * 3.0f + 365.0f, 1e-3);
  EXPECT_NEAR(b.budgetRevenue, 575.7f + 730.0f, 1e-3);
  EXPECT_NEAR(b.budgetBalance, b.budgetRevenue - b.budgetSpending + 1095.0f - 240.0f, 1e-3);
}

TEST(PlayerServices, RankCountsOnlyStrictlyGreaterActiveRegions) {
  auto w = EconomyWorld();
  w->gameState.highestPlayer = 4;
  const int kinds[] = {0, 2, 3, 5, 2};
  const float gdp[] = {99.0f, 5.0f, 5.0f, 50.0f, 7.0f};
  for (int p = 0; p < 5; ++p) w->players[p].kind = kinds[p], w->players[p].gdp = gdp[p];
  EXPECT_EQ(GetPlayerRank(*w, 4, offsetof(PlayerRecord, gdp)), 1);
  EXPECT_EQ(GetPlayerRank(*w, 1, offsetof(PlayerRecord, gdp)), 2);  // ties and the region out do not count
  EXPECT_EQ(GetPlayerRank(*w, 2, offsetof(PlayerRecord, gdp)), 2);
}

TEST(PlayerServices, RatioCIsZeroWithoutGdpAndNeverNaN) {
  PlayerRecord r{};
  r.creditRating = 1.0f, r.standing = 2.0f, r.gdpInput2 = 1.0f, r.gdp = 400.0f;
  r.debtKind0 = 100.0f;
  // v = 1 x 2 x 1 x 2 = 4; 4 x (400 - 100) / 400 = 3.
  EXPECT_FLOAT_EQ(PlayerRatioC(r), 3.0f);
  r.gdp = 0.0f;
  EXPECT_EQ(PlayerRatioC(r), 0.0f);
}

TEST(PlayerServices, SubsidyValueIsNeverNegative) {
  auto w = EconomyWorld();
  PlayerRecord& r = w->players[1];
  le::StoreF32(w->worldEconomy.data() + 64 * 3, 2.0f);
  SetProduct(r, 3, 24, 10.0f);
  SetProductReal(r.displayPolicy.productPolicy[3], kProductSubsidy, 0.5f);
  SetProductReal(r.simPolicy.productPolicy[3], kProductSubsidy, -0.5f);
  EXPECT_FLOAT_EQ(GetProductSubsidyValue(*w, r, 0, 3), 10.0f);
  EXPECT_EQ(GetProductSubsidyValue(*w, r, 1, 3), 0.0f);
}

}  // namespace

namespace {

TEST(PlayerServices, RatingBFromDebtBudgetAndCredit) {
  auto w = EconomyWorld();
  le::StoreF32(w->worldEconomy.data() + 4 * 194, 0.5f);  // e
  PlayerRecord& r = w->players[1];
  r.gdp = 1000.0f;
  r.creditRating = 0.5f;
  r.simPolicy.budgetRevenue = 100.0f;
  // No debt: a = (0 x 6 / 1000 + 1) x 0.5 = 0.5; a balanced budget leaves
  // it; t = (0.6 - 0.6 x 0.5) / 6 + 1 = 1.05: 0.525, under the cap 0.8.
  EXPECT_NEAR(PlayerRatingB(*w, r, 0.6f), 0.525f, 1e-6);
  // A deficit of a fifth of revenue: x 1.2 -> 0.63.
  r.simPolicy.budgetBalance = -20.0f;
  EXPECT_NEAR(PlayerRatingB(*w, r, 0.6f), 0.63f, 1e-6);
  // Debt of 500 (less 100 covered at 10,388): a = (400 x 6 / 1000 + 1) x
  // 0.5 = 1.7, x 1.2 x 1.05 = 2.142, capped at e + 0.3 = 0.8.
  r.debtKind0 = 500.0f;
  le::StoreF32(reinterpret_cast<uint8_t*>(&r) + 10388, 100.0f);
  EXPECT_NEAR(PlayerRatingB(*w, r, 0.6f), 0.8f, 1e-6);
  // No revenue at all multiplies by 5; a rating below 0.2 caps at 0.5 - c + e.
  r.simPolicy.budgetRevenue = 0.0f;
  r.creditRating = 0.1f;
  EXPECT_NEAR(PlayerRatingB(*w, r, 0.6f), 0.9f, 1e-6);
}

}  // namespace

namespace {

TEST(PlayerServices, PeakValueIsTheReferencePriceWhateverTheRegionsFlags) {
  struct Row {
    float reference;
    uint32_t flags;  // a region's product flags word, the word after the city output
    float peak;
  };
  const Row rows[] = {{10.0f, 0u, 30.0f}, {10.0f, 1u, 30.0f}, {10.0f, 0x42C80000u, 30.0f}, {0.0f, 1u, 0.0f}};
  auto w = EconomyWorld();
  w->players[1].kind = kKindHuman;
  for (const Row& row : rows) {
    le::StoreF32(w->worldEconomy.data() + 64 * 6 + 52, row.reference);
    le::Store32(w->players[1].products[6].bytes + 56, row.flags);
    EXPECT_FLOAT_EQ(GetProductPeakValue(*w, 6), row.peak) << row.reference << " " << row.flags;
  }
  EXPECT_EQ(GetProductPeakValue(*w, 11), 0.0f);
}

}  // namespace
