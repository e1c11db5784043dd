#include "platform/clock.h"

#include <gtest/gtest.h>

#include <ctime>
#include <vector>

namespace plat {
namespace {

// Time that moves only when told to, or when someone sleeps.
class FakeClock : public ClockSource {
 public:
  uint64_t MonotonicMs() override { return now; }
  void SleepMs(uint32_t ms) override {
    sleeps.push_back(ms);
    now += ms;
  }
  LocalTime Now() override { return local; }

  uint64_t now = 0;
  std::vector<uint32_t> sleeps;
  LocalTime local;
};

class FakeClockTest : public ::testing::Test {
 protected:
  void SetUp() override { SetClockSource(&fake_); }
  void TearDown() override { SetClockSource(nullptr); }
  FakeClock fake_;
};

TEST_F(FakeClockTest, TheTickIsTheLow32BitsOfTheMonotonicClock) {
  fake_.now = 0xFFFFFFFEull;
  EXPECT_EQ(TickCount(), 0xFFFFFFFEu);
  EXPECT_EQ(MultimediaTimeMs(), 0xFFFFFFFEu);
  fake_.now += 7;  // past 2^32
  EXPECT_EQ(TickCount(), 5u);
  EXPECT_EQ(MultimediaTimeMs(), 5u);
  EXPECT_EQ(MonotonicMs(), 0x100000005ull);
  // Differences taken in 32 bits survive the wrap.
  EXPECT_EQ(TickCount() - 0xFFFFFFFEu, 7u);
}

TEST_F(FakeClockTest, SleepAndLocalTimeGoThroughTheInstalledClock) {
  fake_.now = 1000;
  SleepMs(250);
  SleepMs(0);
  EXPECT_EQ(fake_.sleeps, (std::vector<uint32_t>{250, 0}));
  EXPECT_EQ(MonotonicMs(), 1250u);
  fake_.local.year = 1999;
  fake_.local.month = 12;
  fake_.local.day = 31;
  fake_.local.hour = 23;
  fake_.local.minute = 59;
  fake_.local.second = 58;
  fake_.local.milliseconds = 999;
  const LocalTime t = GetLocalTime();
  EXPECT_EQ(t.year, 1999);
  EXPECT_EQ(t.month, 12);
  EXPECT_EQ(t.day, 31);
  EXPECT_EQ(t.hour, 23);
  EXPECT_EQ(t.minute, 59);
  EXPECT_EQ(t.second, 58);
  EXPECT_EQ(t.milliseconds, 999);
  EXPECT_EQ(&CurrentClock(), &fake_);
}

TEST(SystemClockTest, ComesBackWhenTheFakeIsRemoved) {
  FakeClock fake;
  SetClockSource(&fake);
  SetClockSource(nullptr);
  EXPECT_NE(&CurrentClock(), static_cast<ClockSource*>(&fake));
}

TEST(SystemClockTest, NeverGoesBackAndSleepsAtLeastAsLongAsAsked) {
  const uint64_t before = MonotonicMs();
  for (int i = 0; i < 1000; ++i) {
    const uint64_t a = MonotonicMs();
    const uint64_t b = MonotonicMs();
    ASSERT_LE(a, b);
  }
  SleepMs(0);
  const uint64_t start = MonotonicMs();
  SleepMs(20);
  EXPECT_GE(MonotonicMs() - start, 20u);
  EXPECT_GE(start, before);
  // The system tick is the monotonic clock's low word, read a moment later.
  const uint64_t mono = MonotonicMs();
  const uint32_t tick = TickCount();
  EXPECT_LE(tick - static_cast<uint32_t>(mono), 1000u);
}

TEST(SystemClockTest, LocalTimeMatchesTheCLibrary) {
  std::time_t now = std::time(nullptr);
  std::tm expected{};
  ASSERT_NE(localtime_r(&now, &expected), nullptr);
  const LocalTime t = GetLocalTime();
  // A second may tick between the two readings; the date fields may then move
  // at midnight, so only what cannot change within a second apart from that is
  // compared strictly.
  EXPECT_GE(t.year, expected.tm_year + 1900);
  EXPECT_LE(t.year, expected.tm_year + 1901);
  EXPECT_GE(t.month, 1);
  EXPECT_LE(t.month, 12);
  EXPECT_GE(t.day, 1);
  EXPECT_LE(t.day, 31);
  EXPECT_LE(t.dayOfWeek, 6);
  EXPECT_LE(t.hour, 23);
  EXPECT_LE(t.minute, 59);
  EXPECT_LE(t.second, 59);
  EXPECT_LE(t.milliseconds, 999);
  if (t.day == expected.tm_mday) {
    EXPECT_EQ(t.month, expected.tm_mon + 1);
    EXPECT_EQ(t.dayOfWeek, expected.tm_wday);
  }
}

TEST(TimerPeriodTest, BeginsAndEndsStayBalancedAndAStrayEndIsHarmless) {
  const int base = TimerPeriodRequests();
  EndTimerPeriod(1);
  EndTimerPeriod(1);
  EXPECT_EQ(TimerPeriodRequests(), base > 2 ? base - 2 : 0);
  const int start = TimerPeriodRequests();
  BeginTimerPeriod(1);
  BeginTimerPeriod(1);
  EXPECT_EQ(TimerPeriodRequests(), start + 2);
  EndTimerPeriod(1);
  EndTimerPeriod(1);
  EXPECT_EQ(TimerPeriodRequests(), start);
}

}  // namespace
}  // namespace plat
