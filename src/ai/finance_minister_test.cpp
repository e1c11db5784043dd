#include "ai/finance_minister.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ai/minister_test_support.h"
#include "sim/relation_commands.h"
#include "world/id_lookups.h"
#include "world/recurring_item.h"

namespace {

// A served finance post with a minister of skill 0 and rating 0 (r 0.1),
// and figures that raise nothing by themselves: one unit of income and of
// spending a day and cash of 1,000 (1,000 days of cover: request 11).
struct FinanceWorld : MinisterTestWorld {
  FinanceWorld() {
    Serve(kPostFinance);
    World& w = *world;
    w.gameState.currentDay = 400;
    w.worldEconomy.assign(1024, 0);
    le::StoreF32(w.worldEconomy.data() + 4 * 194, 0.05f);
    PlayerRecord& r = Region();
    r.creditRating = 0.5f;
    r.standing = 0.5f;
    r.gdpInput2 = 0.8f;
    r.gdp = 1000000.0f;
    r.treasury = 1000.0f;
    w.players[0].commandCounter = 70;
    figures.dailyIncome = 1.0f;
    figures.dailySpending = 1.0f;
    figures.nationalOutput = 1000000.0f;
  }
  // A loan taken in two steps (offer, then acceptance): the region's item 71.
  RecurringItem* TakeLoan() {
    TakeLoanCommand(*world, Region(), 0, 12);
    TakeLoanCommand(*world, Region(), 1, 12);
    return FindRecurringItemById(*world, 71);
  }
  void Taxes(std::initializer_list<std::pair<int, float>> rates, float fees) {
    for (PlayerPolicyBlock* b : {&Region().simPolicy, &Region().displayPolicy}) {
      for (auto [i, v] : rates) b->taxRates[i] = v;
      b->userfees = fees;
    }
  }
  void Step() { FinanceMinisterStep(*world, Region(), figures); }
  FinanceFigures figures;
};

TEST(FinanceMinister, TaxesMoveTowardTheTarget) {
  struct Row {
    const char* what;
    float stability;
    uint32_t locks;
    float tax2, fees;
    float tax0;
    // Expected.
    float tax2After, feesAfter, tax0After;
  } rows[] = {
      // W = 0.5 / 5 = 0.1, A = -0.1: no rise; X = W x 1.005; the tax at 0
      // becomes a tenth of its maximum, and is then scaled with the rest.
      {"a tax at 0 becomes max / 10", 0.0f, 0, 0.5f, 0.0f, 0.0f, 0.5f * 1.005f, 0.0f, 0.05f * 1.005f},
      {"a locked tax at 0 stays", 0.0f, 0x1u, 0.5f, 0.0f, 0.0f, 0.5f * 1.005f, 0.0f, 0.0f},
      // W = 1: A = 9 > 0, taxes up by max / 100, X = 1.02 x 1.005 above 0.95:
      // scaled by 0.95; the fees, locked, are still capped at 0.05.
      {"a target above 0.95 scales by 0.95 / W", 10.0f, 0xFFBu | 0x100u, 0.5f, 0.9f, 0.0f, (0.5f + 0.0065f) * 0.95f,
       0.05f, 0.0f},
      {"below 0.95 by X / W", 10.0f, 0xFFBu | 0x100u, 0.5f, 0.4f, 0.0f, (0.5f + 0.0065f) * (0.5f * 1.02f * 1.005f / 0.5f),
       0.05f, 0.0f},
      {"lock bit 16 leaves every tax", 10.0f, kLockAllTaxes, 0.5f, 0.4f, 0.0f, 0.5f, 0.4f, 0.0f},
  };
  for (const Row& row : rows) {
    FinanceWorld t;
    t.Taxes({{2, row.tax2}, {0, row.tax0}}, row.fees);
    t.figures.stability = row.stability;
    t.Post(kPostFinance, 1u << 2, row.locks);
    t.Step();
    for (const PlayerPolicyBlock* b : {&t.Region().simPolicy, &t.Region().displayPolicy}) {
      EXPECT_NEAR(b->taxRates[2], row.tax2After, 1e-6f) << row.what;
      EXPECT_NEAR(b->userfees, row.feesAfter, 1e-6f) << row.what;
      EXPECT_NEAR(b->taxRates[0], row.tax0After, 1e-6f) << row.what;
    }
    EXPECT_EQ(PostRequests(t.Region().simPolicy.cabinetPolicy[kPostFinance]), 0u) << row.what;
  }
}

TEST(FinanceMinister, LockBitSixteenSkipsTheFirstCutsButNotTheSecondNorLoans) {
  struct Row {
    uint32_t locks;
    float uiAfter, pensAfter;
    bool repaid;
  } rows[] = {{0, 0.8f * 0.996f, 0.8f * 0.996f * 0.996f, true}, {kLockAllTaxes, 0.8f, 0.8f * 0.996f, true}};
  for (const Row& row : rows) {
    FinanceWorld t;
    RecurringItem* loan = t.TakeLoan();
    ASSERT_NE(loan, nullptr);
    t.Region().treasury = 5000.0f;
    for (PlayerPolicyBlock* b : {&t.Region().simPolicy, &t.Region().displayPolicy}) {
      b->uispend = 0.8f;
      b->pensspend = 0.8f;
    }
    t.Post(kPostFinance, (1u << 7) | (1u << 8), row.locks);
    t.Step();
    EXPECT_FLOAT_EQ(t.Region().simPolicy.uispend, row.uiAfter) << row.locks;
    EXPECT_FLOAT_EQ(t.Region().displayPolicy.uispend, row.uiAfter) << row.locks;
    EXPECT_FLOAT_EQ(t.Region().simPolicy.pensspend, row.pensAfter) << row.locks;
    EXPECT_EQ(LoadRecurringFields(*loan).kind == kRecurringFinished, row.repaid) << row.locks;
  }
}

TEST(FinanceMinister, ALoanIsRepaidOnlyWhenTwiceItIsBelowTheCash) {
  struct Row {
    float cash;
    bool repaid;
  } rows[] = {{2000.0f, false}, {2001.0f, true}, {1500.0f, false}};
  for (const Row& row : rows) {
    FinanceWorld t;
    RecurringItem* loan = t.TakeLoan();
    ASSERT_NE(loan, nullptr);
    ASSERT_EQ(LoadRecurringFields(*loan).amount, 1000.0f);
    t.Region().treasury = row.cash;
    t.Step();
    EXPECT_EQ(LoadRecurringFields(*loan).kind == kRecurringFinished, row.repaid) << row.cash;
    EXPECT_FLOAT_EQ(t.Region().treasury, row.repaid ? row.cash - 1000.0f : row.cash) << row.cash;
  }
}

TEST(FinanceMinister, AQuotientThatIsNotANumberFailsItsComparisons) {
  // A yearly deficit of 365 against no output: the headroom is -infinity,
  // which must not pass for "below -1" (that would ask the other posts to
  // cut and the product post to raise prices).
  struct Row {
    float output;
    uint32_t productRequests;
  } rows[] = {{0.0f, 0u}, {1.0f, (1u << 3) | (1u << 5) | (1u << 12)}};
  for (const Row& row : rows) {
    FinanceWorld t;
    t.figures.nationalOutput = row.output;
    t.figures.dailyIncome = 0.0f;
    t.Region().treasury = 1000000.0f;
    t.Post(kPostFinance, 0, 1u << 18);
    t.Step();
    EXPECT_EQ(PostRequests(t.Region().simPolicy.cabinetPolicy[kPostProducts]), row.productRequests) << row.output;
  }
}

TEST(FinanceMinister, InfiniteCoverDoesNotPassForAmpleCover) {
  // No expense at all: the days of cover are +infinity, which must not
  // count as more than 20 days and repay the loan.
  struct Row {
    float spending;
    bool repaid;
  } rows[] = {{0.0f, false}, {1.0f, true}};
  for (const Row& row : rows) {
    FinanceWorld t;
    RecurringItem* loan = t.TakeLoan();
    ASSERT_NE(loan, nullptr);
    t.figures.dailySpending = row.spending;
    t.figures.dailyIncome = row.spending;
    t.Region().treasury = 5000.0f;
    t.Step();
    EXPECT_EQ(LoadRecurringFields(*loan).kind == kRecurringFinished, row.repaid) << row.spending;
  }
}

}  // namespace
