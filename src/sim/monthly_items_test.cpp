#include "sim/monthly_items.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/calendar.h"
#include "sim/game_session_test_support.h"

namespace {

// Day numbers worked out from 1 January 2000 = 2,451,544.
constexpr uint32_t k5March2000 = 2451608;
constexpr uint32_t k11March2000 = 2451614;
constexpr uint32_t k15March2000 = 2451618;
constexpr uint32_t k15April2000 = 2451649;
constexpr uint32_t k15February2001 = 2451955;
constexpr uint32_t k15March2001 = 2451983;

class MonthlyItemsTest : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(6, 4, 3);
    for (int p = 1; p <= 2; ++p) {
      g_world.players[p].monthlyYearlyAmount = 1200.0f;
      g_world.players[p].monthlyRate = 0.05f;
    }
    g_world.players[0].commandCounter = 40;
  }

  std::vector<RecurringFields> Items() {
    std::vector<RecurringFields> out;
    RecurringItem* first = g_world.recurringItems;
    if (!first) return out;
    ListNode* node = first;
    do {
      out.push_back(LoadRecurringFields(*static_cast<RecurringItem*>(node)));
      node = node->next();
    } while (node && node != first);
    return out;
  }
};

TEST_F(MonthlyItemsTest, AGameStartedOnTheFifthGetsItsFirstItemOnTheFifteenth) {
  g_world.gameState.currentDay = k5March2000;
  CreateMonthlyItems(g_world);
  const std::vector<RecurringFields> items = Items();
  ASSERT_EQ(items.size(), 24u) << "twelve for each of the two regions with a yearly amount";
  for (int i = 0; i < 12; ++i) {
    const RecurringFields& f = items[static_cast<size_t>(i)];
    EXPECT_EQ(f.payer, 1);
    EXPECT_EQ(f.payee, 0);
    EXPECT_EQ(f.kind, 1);
    EXPECT_EQ(f.serial, i + 1);
    EXPECT_EQ(f.periodKind, kPeriodMonthly);
    EXPECT_EQ(f.dueDay, 15);
    EXPECT_EQ(f.flags, kRecurringInterest);
    EXPECT_EQ(f.termYears, 1);
    EXPECT_FLOAT_EQ(f.amount, 100.0f);
    EXPECT_FLOAT_EQ(f.rate, 0.05f);
    EXPECT_EQ(f.startDay, k5March2000);
    EXPECT_EQ(f.globalSerial, 41u + static_cast<uint32_t>(i));
  }
  EXPECT_EQ(items[0].maturityDay, k15March2000);
  EXPECT_EQ(items[1].maturityDay, k15April2000);
  EXPECT_EQ(items[11].maturityDay, k15February2001);
  EXPECT_EQ(items[12].payer, 2);
  EXPECT_EQ(items[12].serial, 1);
  EXPECT_EQ(g_world.players[1].itemSerial, 13);
  EXPECT_FLOAT_EQ(g_world.players[1].scheduledTotal, 1200.0f);
  EXPECT_EQ(g_world.players[0].commandCounter, 64u);
}

TEST_F(MonthlyItemsTest, AGameStartedOnTheEleventhGetsItNextMonth) {
  g_world.gameState.currentDay = k11March2000;
  CreateMonthlyItems(g_world);
  const std::vector<RecurringFields> items = Items();
  ASSERT_EQ(items.size(), 24u);
  EXPECT_EQ(items[0].maturityDay, k15April2000);
  EXPECT_EQ(items[11].maturityDay, k15March2001);
}

TEST_F(MonthlyItemsTest, ARegionWithoutAYearlyAmountGetsNoItemsAndKeepsSerialOne) {
  g_world.gameState.currentDay = k5March2000;
  g_world.players[3].monthlyYearlyAmount = 0.0f;
  g_world.players[3].itemSerial = 7;
  CreateMonthlyItems(g_world);
  for (const RecurringFields& f : Items()) EXPECT_NE(f.payer, 3);
  EXPECT_EQ(g_world.players[3].itemSerial, 1);
  EXPECT_FLOAT_EQ(g_world.players[3].scheduledTotal, 0.0f);
}

TEST_F(MonthlyItemsTest, RegionsOutOfPlayGetNothing) {
  g_world.gameState.currentDay = k5March2000;
  g_world.players[2].kind = kKindOut;
  CreateMonthlyItems(g_world);
  EXPECT_EQ(Items().size(), 12u);
}

TEST(LeapYears, AsTheCalendarRuleSays) {
  auto leap = [](int year) {
    GameDate d;
    d.year = static_cast<int16_t>(year);
    return IsLeapYear(d);
  };
  EXPECT_TRUE(leap(1500)) << "before 1582 every fourth year";
  EXPECT_TRUE(leap(1600));
  EXPECT_FALSE(leap(1700));
  EXPECT_TRUE(leap(2000));
  EXPECT_FALSE(leap(1900));
  EXPECT_TRUE(leap(1300));
}

}  // namespace
