#include "sim/relation_commands.h"

#include <gtest/gtest.h>

#include "app/calendar.h"
#include "sim/command_test_world.h"
#include "world/id_lookups.h"
#include "records/le_bytes.h"
#include "sim/player_services.h"
#include "world/recurring_item.h"

namespace {

constexpr uint32_t kToday = 2451545;  // 2 January 2000

// Region 2 with a credit rating of 0.5, standing 0.5, a trade input of 0.8
// and a GDP of 1,000,000, no debts; the world's base rate 0.05.
struct LoanWorld : CommandTestWorld {
  LoanWorld() {
    World& w = *world;
    w.gameState.currentDay = kToday;
    w.worldEconomy.assign(1024, 0);
    le::StoreF32(w.worldEconomy.data() + 4 * 194, 0.05f);
    PlayerRecord& r = P();
    r.creditRating = 0.5f;
    r.standing = 0.5f;
    r.gdpInput2 = 0.8f;
    r.gdp = 1000000.0f;
    r.treasury = 1000.0f;
    r.itemSerial = 5;
    SetBlockReal(r.simPolicy, 54, 100.0f);  // revenue, with no deficit
    w.players[0].commandCounter = 70;
  }
  PlayerRecord& P(int p = 2) { return world->players[p]; }
  void Take(uint32_t months, int p = 2) {
    TakeLoanCommand(*world, P(p), 0, months);
    TakeLoanCommand(*world, P(p), 1, months);
  }
  void Repay(uint32_t id, int p = 2) {
    RepayLoanCommand(*world, P(p), 0, id);
    RepayLoanCommand(*world, P(p), 1, id);
  }
};

TEST(Loans, ALoanOfWhatTheRegionMayBorrowAtItsRateForTheTerm) {
  LoanWorld t;
  t.Take(18);
  // May borrow 0.5 x 0.5 x 0.8 x 1,000,000 / 200 = 1,000 (no debts to take off).
  // Rate: (0 x 6 / GDP + 1) x 0.05 = 0.05, times (18 - 18 x 0.5) / 6 + 1 = 2.5:
  // 0.125, below the cap of 0.05 + 0.3.
  RecurringItem* item = FindRecurringItemById(*t.world, 71);
  ASSERT_NE(item, nullptr);
  const RecurringFields f = LoadRecurringFields(*item);
  EXPECT_EQ(f.kind, 1);
  EXPECT_EQ(f.payer, 2);
  EXPECT_EQ(f.payee, 0);
  EXPECT_EQ(f.serial, 5);
  EXPECT_EQ(t.P().itemSerial, 6);
  EXPECT_EQ(f.amount, 1000.0f);
  EXPECT_FLOAT_EQ(f.rate, 0.125f);
  EXPECT_EQ(f.termYears, 1);
  EXPECT_EQ(f.flags, kRecurringInterest);
  EXPECT_EQ(f.startDay, kToday);
  GameDate due;
  due.year = 2001;
  due.month = 7;
  due.day = 2;
  DateToDayNumber(due);
  EXPECT_EQ(f.maturityDay, static_cast<uint32_t>(due.dayNumber));
  EXPECT_EQ(t.P().treasury, 2000.0f);
  EXPECT_EQ(t.P().debtKind1, 1000.0f);
  EXPECT_EQ(t.P().creditRating, 0.5f * 0.99f);
  EXPECT_EQ(t.P().displayPolicy.wageFlags & (kLoanWaiting | kHasTakenLoan), kHasTakenLoan);
  EXPECT_EQ(t.P().simPolicy.wageFlags & kHasTakenLoan, kHasTakenLoan);
}

TEST(Loans, NoLoanForNothingToBorrowOrATermOutOfRange) {
  LoanWorld t;
  t.Take(0);
  t.Take(255 * 12 + 1);
  t.P().debtKind0 = 1000000.0f;  // owes its whole GDP: may borrow nothing
  t.Take(12);
  EXPECT_EQ(t.world->recurringItems, nullptr);
  EXPECT_EQ(t.P().treasury, 1000.0f);
  EXPECT_EQ(t.P().displayPolicy.wageFlags & kLoanWaiting, 0u);
  // The longest term fits the item's years.
  t.P().debtKind0 = 0.0f;
  t.Take(255 * 12);
  ASSERT_NE(t.world->recurringItems, nullptr);
  EXPECT_EQ(LoadRecurringFields(*t.world->recurringItems).termYears, 255);
}

TEST(Loans, RepayingEarlyWithTheMoneyToHand) {
  LoanWorld t;
  t.Take(12);
  RecurringItem* item = FindRecurringItemById(*t.world, 71);
  ASSERT_NE(item, nullptr);
  // Another region cannot repay it, nor can a region repay what is not there.
  t.Repay(71, 3);
  t.Repay(99);
  EXPECT_EQ(LoadRecurringFields(*item).amount, 1000.0f);
  // Not enough money: nothing moves, the mark still goes.
  t.P().treasury = 999.0f;
  t.Repay(71);
  EXPECT_EQ(LoadRecurringFields(*item).kind, 1);
  EXPECT_EQ(t.P().displayPolicy.wageFlags & kRepayWaiting, 0u);
  t.P().treasury = 1500.0f;
  const float credit = t.P().creditRating;
  t.Repay(71);
  const RecurringFields f = LoadRecurringFields(*item);
  EXPECT_EQ(f.kind, kRecurringFinished);
  EXPECT_EQ(f.amount, 0.0f);
  EXPECT_EQ(t.P().treasury, 500.0f);
  EXPECT_EQ(t.P().debtKind1, 0.0f);
  EXPECT_EQ(t.P().creditRating, credit * 1.01f);
  // Repaid once only.
  t.Repay(71);
  EXPECT_EQ(t.P().treasury, 500.0f);
}

TEST(Loans, TheDisplayPassOnlyMarksTheRequest) {
  LoanWorld t;
  TakeLoanCommand(*t.world, t.P(), 0, 12);
  RepayLoanCommand(*t.world, t.P(), 0, 71);
  EXPECT_EQ(t.P().displayPolicy.wageFlags & (kLoanWaiting | kRepayWaiting), kLoanWaiting | kRepayWaiting);
  EXPECT_EQ(t.world->recurringItems, nullptr);
  EXPECT_EQ(t.P().treasury, 1000.0f);
}

}  // namespace
