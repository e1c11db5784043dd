#include "sim/daily/recurring_payments.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/calendar.h"
#include "app/list_node.h"
#include "records/le_bytes.h"
#include "records/player_record.h"
#include "world/recurring_item.h"
#include "world/region_figures.h"
#include "world/world.h"

namespace {

int32_t Day(int year, int month, int day) {
  GameDate d;
  d.year = static_cast<int16_t>(year);
  d.month = static_cast<uint8_t>(month);
  d.day = static_cast<uint8_t>(day);
  DateToDayNumber(d);
  return d.dayNumber;
}

RecurringFields Monthly(uint8_t dueDay) {
  RecurringFields f{};
  f.periodKind = kPeriodMonthly;
  f.dueDay = dueDay;
  return f;
}

TEST(RecurringDueDays, DayThirtyOneOfAMonthFallsOnTheMonthsLastDay) {
  const RecurringFields f = Monthly(31);
  EXPECT_EQ(Day(2000, 1, 1), 2451544);
  EXPECT_TRUE(RecurringItemDueOn(f, Day(2000, 1, 31)));
  EXPECT_FALSE(RecurringItemDueOn(f, Day(2000, 1, 30)));
  EXPECT_TRUE(RecurringItemDueOn(f, Day(2000, 4, 30)));
  EXPECT_FALSE(RecurringItemDueOn(f, Day(2000, 4, 29)));
  EXPECT_TRUE(RecurringItemDueOn(f, Day(2000, 2, 29)));
  EXPECT_FALSE(RecurringItemDueOn(f, Day(2000, 2, 28)));
  EXPECT_TRUE(RecurringItemDueOn(f, Day(2001, 2, 28)));
  EXPECT_FALSE(RecurringItemDueOn(f, Day(2001, 3, 1)));
  // Day 15 is an ordinary day of every month.
  EXPECT_TRUE(RecurringItemDueOn(Monthly(15), Day(2001, 2, 15)));
  EXPECT_FALSE(RecurringItemDueOn(Monthly(15), Day(2001, 2, 28)));
}

TEST(RecurringDueDays, YearlyDaySixtyPaysTwiceInALeapYear) {
  RecurringFields f{};
  f.periodKind = kPeriodYearly;
  f.dueDay = 60;
  // 2000: 29 February is day 60 and 1 March day 61, counted as 60.
  EXPECT_TRUE(RecurringItemDueOn(f, Day(2000, 2, 29)));
  EXPECT_TRUE(RecurringItemDueOn(f, Day(2000, 3, 1)));
  EXPECT_FALSE(RecurringItemDueOn(f, Day(2000, 3, 2)));
  EXPECT_FALSE(RecurringItemDueOn(f, Day(2000, 2, 28)));
  // 2001: only 1 March is day 60.
  EXPECT_TRUE(RecurringItemDueOn(f, Day(2001, 3, 1)));
  EXPECT_FALSE(RecurringItemDueOn(f, Day(2001, 2, 28)));
  // Later in a leap year the count runs one behind: day 201 counts as 200,
  // and day 200 as 199, so only day 60 is doubled.
  f.dueDay = 200;
  EXPECT_FALSE(RecurringItemDueOn(f, Day(2000, 1, 1) + 199));
  EXPECT_TRUE(RecurringItemDueOn(f, Day(2000, 1, 1) + 200));
  EXPECT_FALSE(RecurringItemDueOn(f, Day(2000, 1, 1) + 201));
  EXPECT_TRUE(RecurringItemDueOn(f, Day(2001, 1, 1) + 199));
  EXPECT_FALSE(RecurringItemDueOn(f, Day(2001, 1, 1) + 200));
}

TEST(RecurringDueDays, WeeklyAndDaily) {
  RecurringFields f{};
  f.periodKind = kPeriodWeekly;
  // (2451544 + 2) mod 7 = 6, so 1 January 2000 is weekday 7.
  f.dueDay = 7;
  EXPECT_TRUE(RecurringItemDueOn(f, 2451544));
  EXPECT_FALSE(RecurringItemDueOn(f, 2451545));
  EXPECT_TRUE(RecurringItemDueOn(f, 2451551));
  f.dueDay = 1;
  EXPECT_TRUE(RecurringItemDueOn(f, 2451545));
  f.periodKind = 0;
  EXPECT_TRUE(RecurringItemDueOn(f, 2451545));
  f.periodKind = kPeriodDaily;
  EXPECT_TRUE(RecurringItemDueOn(f, 2451546));
  f.periodKind = 9;
  EXPECT_FALSE(RecurringItemDueOn(f, 2451546));
}

class RecurringItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = std::make_unique<World>();
    World& w = *world_;
    w.worldEconomy.assign(1024, 0);
    le::StoreF32(w.worldEconomy.data() + kWorldPrimeRateAt, 0.05f);
    w.gameState.currentDay = static_cast<uint32_t>(Day(2000, 1, 1));
    for (int p = 0; p < kMaxPlayers; ++p) w.players[p].number = static_cast<uint8_t>(p);
    w.players[1].kind = kKindHuman;
    w.players[2].kind = kKindComputer;
    w.players[1].creditRating = 0.5f;
  }
  RecurringItem* Add(const RecurringFields& f) {
    auto* item = NewZeroed<RecurringItem>();
    StoreRecurringFields(*item, f);
    if (world_->recurringItems)
      world_->recurringItems->Append(item);
    else
      world_->recurringItems = item;
    return item;
  }
  RecurringFields Money(uint8_t kind, uint8_t payer, uint8_t payee) {
    RecurringFields f = Monthly(1);
    f.kind = kind;
    f.payer = payer;
    f.payee = payee;
    return f;
  }
  std::unique_ptr<World> world_;
};

TEST_F(RecurringItemsTest, AnInstallmentWithInterestIsPaidAndTheTotalsAreKept) {
  World& w = *world_;
  RecurringFields f = Money(0, 1, 2);
  f.flags = kRecurringInterest | kRecurringRepays;
  f.amount = 3650.0f;
  f.installment = 100.0f;
  f.rate = 0.1f;
  RecurringItem* item = Add(f);
  w.players[1].treasury = 1000.0f;
  RunRecurringItems(w, w.players[1]);
  // Interest 0.1 x 3650 / 365 = 1.0 a day, booked on both sides.
  EXPECT_FLOAT_EQ(w.players[1].dayInterestPaid, 1.0f);
  EXPECT_FLOAT_EQ(w.players[2].dayInterestReceived, 1.0f);
  // Due on the 1st: min(100, 3650) repays 100 of the amount.
  const RecurringFields after = LoadRecurringFields(*item);
  EXPECT_FLOAT_EQ(after.amount, 3550.0f);
  EXPECT_FLOAT_EQ(w.players[1].treasury, 900.0f);
  EXPECT_FLOAT_EQ(w.players[2].treasury, 100.0f);
  // The total counts the amount as it stood before the payment.
  EXPECT_FLOAT_EQ(w.players[1].debtKind0, 3650.0f);
  EXPECT_FLOAT_EQ(w.players[1].creditRating, 0.5f);
  // The payee's walk only counts what it holds.
  RunRecurringItems(w, w.players[2]);
  EXPECT_FLOAT_EQ(w.players[2].heldDebt, 3550.0f);
  EXPECT_FLOAT_EQ(w.players[2].debtKind0, 0.0f);
  EXPECT_FLOAT_EQ(w.players[2].treasury, 100.0f);
}

TEST_F(RecurringItemsTest, ADefaultCarriesTheShortfallAndCostsTwoPerCentOfTheRating) {
  World& w = *world_;
  RecurringFields f = Money(1, 1, 2);
  f.periodKind = kPeriodDaily;
  f.installment = 100.0f;
  f.amount = 1000.0f;
  f.rate = 0.1f;
  RecurringItem* item = Add(f);
  w.players[1].treasury = 30.0f;
  RunRecurringItems(w, w.players[1]);
  // 30 of 100 paid: arrears 70, rating 0.5 x 0.98 = 0.49.
  RecurringFields after = LoadRecurringFields(*item);
  EXPECT_FLOAT_EQ(after.arrears, 70.0f);
  EXPECT_FLOAT_EQ(w.players[1].treasury, 0.0f);
  EXPECT_FLOAT_EQ(w.players[2].treasury, 30.0f);
  EXPECT_FLOAT_EQ(w.players[1].creditRating, 0.49f);
  EXPECT_FLOAT_EQ(w.players[1].turnDefaulted, 70.0f);
  EXPECT_FLOAT_EQ(w.players[1].dayInterestPaid, 0.0f) << "no interest flag and no arrears yet";
  EXPECT_FLOAT_EQ(w.players[1].debtKind1, 1000.0f);
  // Next day, penniless (a debt below 0 counts as nothing): the whole
  // installment goes to arrears, the rating falls again, and the arrears
  // bear interest 0.1 x 70 / 365.
  w.players[1].treasury = -5.0f;
  w.gameState.currentDay += 1;
  RunRecurringItems(w, w.players[1]);
  after = LoadRecurringFields(*item);
  EXPECT_FLOAT_EQ(after.arrears, 170.0f);
  EXPECT_FLOAT_EQ(w.players[1].creditRating, 0.4802f);
  EXPECT_FLOAT_EQ(w.players[1].turnDefaulted, 170.0f);
  EXPECT_NEAR(w.players[1].dayInterestPaid, 0.0191781f, 1e-6f);
  EXPECT_FLOAT_EQ(w.players[1].treasury, -5.0f);
  // With money again: the installment and as much of the arrears as one
  // more installment: min(1000 - 100, 100, 170) = 100; paid 200.
  w.players[1].treasury = 1000.0f;
  w.gameState.currentDay += 1;
  RunRecurringItems(w, w.players[1]);
  after = LoadRecurringFields(*item);
  EXPECT_FLOAT_EQ(after.arrears, 70.0f);
  EXPECT_FLOAT_EQ(w.players[1].treasury, 800.0f);
}

TEST_F(RecurringItemsTest, AnUnpaidLoanAtMaturityBecomesADailyRepayment) {
  World& w = *world_;
  RecurringFields f = Money(0, 1, 0);
  f.dueDay = 15;
  f.amount = 3650.0f;
  f.installment = 10.0f;
  f.rate = 0.02f;
  f.maturityDay = w.gameState.currentDay;
  f.termYears = 5;
  RecurringItem* item = Add(f);
  w.players[1].treasury = 100.0f;
  RunRecurringItems(w, w.players[1]);
  const RecurringFields after = LoadRecurringFields(*item);
  EXPECT_EQ(after.kind, 0);
  EXPECT_EQ(after.periodKind, kPeriodDaily);
  EXPECT_EQ(after.dueDay, 1);
  EXPECT_EQ(after.paymentsLeft, 0);
  EXPECT_EQ(after.flags, kRecurringInterest | kRecurringRepays);
  EXPECT_FLOAT_EQ(after.installment, 10.0f);  // 3650 / 365
  EXPECT_EQ(after.startDay, w.gameState.currentDay);
  EXPECT_EQ(after.maturityDay, 0u);
  EXPECT_FLOAT_EQ(after.rate, 0.07f);  // base 0.05 + 0.02
  EXPECT_FLOAT_EQ(w.players[1].creditRating, 0.475f);  // x 0.95
  EXPECT_FLOAT_EQ(w.players[1].treasury, 100.0f);
}

TEST_F(RecurringItemsTest, ALoanRepaidAtMaturityIsFinishedAndSkippedAfterwards) {
  World& w = *world_;
  RecurringFields f = Money(0, 1, 2);
  f.dueDay = 15;
  f.amount = 3650.0f;
  f.arrears = 50.0f;
  f.rate = -0.01f;  // base 0.05 + 0.01
  f.maturityDay = w.gameState.currentDay;
  RecurringItem* item = Add(f);
  w.players[1].treasury = 5000.0f;
  RunRecurringItems(w, w.players[1]);
  // Interest on the arrears: 0.06 x 50 / 365.
  EXPECT_NEAR(w.players[1].dayInterestPaid, 0.00821918f, 1e-7f);
  RecurringFields after = LoadRecurringFields(*item);
  EXPECT_EQ(after.kind, kRecurringFinished);
  EXPECT_FLOAT_EQ(after.amount, 0.0f);
  EXPECT_FLOAT_EQ(after.arrears, 0.0f);
  // 3650 + 50 paid over at once.
  EXPECT_FLOAT_EQ(w.players[1].treasury, 1300.0f);
  EXPECT_FLOAT_EQ(w.players[2].treasury, 3700.0f);
  EXPECT_FLOAT_EQ(w.players[1].debtKind0, 3650.0f);
  w.gameState.currentDay += 1;
  RunRecurringItems(w, w.players[1]);
  EXPECT_FLOAT_EQ(w.players[1].debtKind0, 0.0f);
  EXPECT_FLOAT_EQ(w.players[1].treasury, 1300.0f);
}

TEST_F(RecurringItemsTest, DeliveriesMoveStockAndTheLastPaymentEndsTheItem) {
  World& w = *world_;
  RecurringFields f = Money(2, 1, 2);
  f.flags = kRecurringGoods;
  f.product = 3;
  f.installment = 40.0f;
  f.paymentsLeft = 1;
  f.termYears = 1;
  RecurringItem* item = Add(f);
  le::StoreF32(w.players[1].products[3].bytes + 8, 100.0f);
  w.players[1].treasury = 7.0f;
  RunRecurringItems(w, w.players[1]);
  EXPECT_FLOAT_EQ(le::LoadF32(w.players[1].products[3].bytes + 8), 60.0f);
  EXPECT_FLOAT_EQ(le::LoadF32(w.players[2].products[3].bytes + 8), 40.0f);
  EXPECT_FLOAT_EQ(w.players[1].treasury, 7.0f);
  const RecurringFields after = LoadRecurringFields(*item);
  EXPECT_EQ(after.paymentsLeft, 0);
  // Kind 2 rolls over: a maturity one year on.
  EXPECT_EQ(after.maturityDay, static_cast<uint32_t>(Day(2001, 1, 1)));
  EXPECT_EQ(after.kind, 2);
}

TEST_F(RecurringItemsTest, AGoodsItemNamingNoProductIsLeftAlone) {
  World& w = *world_;
  RecurringFields f = Money(0, 1, 2);
  f.flags = kRecurringGoods;
  f.product = 40;
  f.installment = 10.0f;
  f.amount = 5.0f;
  Add(f);
  w.players[1].treasury = 50.0f;
  RunRecurringItems(w, w.players[1]);
  EXPECT_FLOAT_EQ(w.players[1].treasury, 50.0f);
  EXPECT_FLOAT_EQ(w.players[1].debtKind0, 0.0f);
}

}  // namespace
