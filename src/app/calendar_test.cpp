#include "app/calendar.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cstring>
#include <string>
#include <thread>

#include "platform/fpenv.h"

namespace {

constexpr int32_t kFirstDay = 1721423;  // 1 January of year 1
constexpr int32_t kLastDay = 2816787;  // 1 January 3000

GameDate Date(int year, int month, int day) {
  GameDate d;
  d.year = static_cast<int16_t>(year);
  d.month = static_cast<uint8_t>(month);
  d.day = static_cast<uint8_t>(day);
  DateToDayNumber(d);
  return d;
}

GameDate FromDayNumber(int32_t dayNumber) {
  GameDate d;
  d.dayNumber = dayNumber;
  DayNumberToDate(d);
  return d;
}

int CountRoundTripFailures() {
  int failures = 0;
  for (int32_t n = kFirstDay; n <= kLastDay; ++n) {
    GameDate d = FromDayNumber(n);
    d.dayNumber = 0;
    DateToDayNumber(d);
    if (d.dayNumber != n) ++failures;
  }
  return failures;
}

TEST(Calendar, TestsRunInTheGameFloatMode) { ASSERT_TRUE(plat::InGameFloatMode()); }

TEST(Calendar, EveryDayNumberRoundTripsInGameMode) {
  ASSERT_TRUE(plat::InGameFloatMode());
  EXPECT_EQ(CountRoundTripFailures(), 0);
}

// The same conversion under round-to-nearest loses days: the round trip
// above really depends on the game's floating-point mode.
TEST(Calendar, RoundToNearestBreaksTheRoundTrip) {
  int failures = -1;
  std::thread worker([&] {
    std::fesetround(FE_TONEAREST);
    failures = CountRoundTripFailures();
  });
  worker.join();
  EXPECT_EQ(failures, 483);
}

TEST(Calendar, KnownDayNumbers) {
  EXPECT_EQ(Date(2000, 1, 1).dayNumber, 2451544);
  EXPECT_EQ(Date(1582, 10, 15).dayNumber, 2299160);
  EXPECT_EQ(Date(1582, 10, 4).dayNumber, 2299159);  // the Julian day before
  EXPECT_EQ(Date(1, 1, 1).dayNumber, 1721423);
  EXPECT_EQ(Date(-1, 12, 31).dayNumber, 1721422);

  const GameDate a = FromDayNumber(2451544);
  EXPECT_EQ(a.year, 2000);
  EXPECT_EQ(a.month, 1);
  EXPECT_EQ(a.day, 1);
  const GameDate b = FromDayNumber(2299160);
  EXPECT_EQ(b.year, 1582);
  EXPECT_EQ(b.month, 10);
  EXPECT_EQ(b.day, 15);
  const GameDate c = FromDayNumber(1721423);
  EXPECT_EQ(c.year, 1);
  EXPECT_EQ(c.month, 1);
  EXPECT_EQ(c.day, 1);
}

TEST(Calendar, LeapDaySurvives) {
  const GameDate leap = Date(2024, 2, 29);
  EXPECT_EQ(leap.dayNumber, Date(2024, 3, 1).dayNumber - 1);
  const GameDate back = FromDayNumber(leap.dayNumber);
  EXPECT_EQ(back.year, 2024);
  EXPECT_EQ(back.month, 2);
  EXPECT_EQ(back.day, 29);
}

TEST(Calendar, DaysInMonth) {
  EXPECT_EQ(DaysInMonth(Date(2024, 2, 1)), 29);
  EXPECT_EQ(DaysInMonth(Date(2023, 2, 1)), 28);
  EXPECT_EQ(DaysInMonth(Date(1900, 2, 1)), 28);
  EXPECT_EQ(DaysInMonth(Date(2000, 2, 1)), 29);
  EXPECT_EQ(DaysInMonth(Date(1500, 2, 1)), 29);  // every fourth year before 1582
  EXPECT_EQ(DaysInMonth(Date(1582, 2, 1)), 28);
  EXPECT_EQ(DaysInMonth(Date(2023, 4, 1)), 30);
  EXPECT_EQ(DaysInMonth(Date(2023, 12, 1)), 31);
  GameDate bad;
  bad.year = 2000;
  bad.month = 13;
  EXPECT_EQ(DaysInMonth(bad), 0);
  bad.month = 0;
  EXPECT_EQ(DaysInMonth(bad), 0);
}

// Walks the calendar a day at a time with DaysInMonth and checks every day
// against the day-number conversions, across the Gregorian reform.
TEST(Calendar, DayByDayWalkMatchesTheConversions) {
  int year = 1, month = 1, day = 1;
  for (int32_t n = kFirstDay; n <= kLastDay; ++n) {
    const GameDate d = FromDayNumber(n);
    ASSERT_EQ(d.year, year) << n;
    ASSERT_EQ(d.month, month) << n;
    ASSERT_EQ(d.day, day) << n;
    ASSERT_EQ(Date(year, month, day).dayNumber, n);
    if (year == 1582 && month == 10 && day == 4) {
      day = 15;  // the ten days the reform dropped
      continue;
    }
    if (++day > DaysInMonth(d)) {
      day = 1;
      if (++month > 12) {
        month = 1;
        ++year;
      }
    }
  }
  // The last day checked was 1 January 3000.
  EXPECT_EQ(year, 3000);
  EXPECT_EQ(month, 1);
  EXPECT_EQ(day, 2);
}

TEST(Calendar, AddMonths) {
  GameDate d = Date(2009, 12, 15);
  DateAddMonths(d, 1);
  EXPECT_EQ(d.year, 2010);
  EXPECT_EQ(d.month, 1);
  EXPECT_EQ(d.dayNumber, Date(2010, 1, 15).dayNumber);

  DateAddMonths(d, -1);
  EXPECT_EQ(d.year, 2009);
  EXPECT_EQ(d.month, 12);
  EXPECT_EQ(d.dayNumber, Date(2009, 12, 15).dayNumber);

  d = Date(2010, 3, 1);
  DateAddMonths(d, -13);
  EXPECT_EQ(d.year, 2009);
  EXPECT_EQ(d.month, 2);
  EXPECT_EQ(d.day, 1);
  EXPECT_EQ(d.dayNumber, Date(2009, 2, 1).dayNumber);

  d = Date(2010, 1, 20);
  DateAddMonths(d, -13);  // exactly a year and a month back
  EXPECT_EQ(d.year, 2008);
  EXPECT_EQ(d.month, 12);

  d = Date(2010, 1, 20);
  DateAddMonths(d, -12);
  EXPECT_EQ(d.year, 2009);
  EXPECT_EQ(d.month, 1);

  d = Date(2010, 5, 2);
  DateAddMonths(d, 127);  // 10 years and 7 months
  EXPECT_EQ(d.year, 2020);
  EXPECT_EQ(d.month, 12);
  DateAddMonths(d, -128);
  EXPECT_EQ(d.year, 2010);
  EXPECT_EQ(d.month, 4);
}

TEST(Calendar, AddMonthsKeepsTheDayOfTheMonth) {
  GameDate d = Date(2010, 1, 31);
  DateAddMonths(d, 1);
  EXPECT_EQ(d.month, 2);
  EXPECT_EQ(d.day, 31);
  EXPECT_EQ(d.dayNumber, Date(2010, 3, 3).dayNumber);
  d = Date(2012, 1, 31);
  DateAddMonths(d, 1);
  EXPECT_EQ(d.dayNumber, Date(2012, 3, 2).dayNumber);
}

TEST(Calendar, AddMonthsStepsOverTheMissingYearZero) {
  GameDate d = Date(1, 1, 10);
  DateAddMonths(d, -1);
  EXPECT_EQ(d.year, -1);
  EXPECT_EQ(d.month, 12);
  EXPECT_EQ(d.dayNumber, Date(1, 1, 10).dayNumber - 31);
  DateAddMonths(d, 1);
  EXPECT_EQ(d.year, 1);
  EXPECT_EQ(d.month, 1);
  d = Date(-1, 6, 1);
  DateAddMonths(d, 12);
  EXPECT_EQ(d.year, 1);
  EXPECT_EQ(d.month, 6);
}

TEST(Calendar, DateTexts) {
  const GameDate d = Date(2000, 1, 5);
  char text[32];
  FormatDateShort(d, text);
  EXPECT_STREQ(text, "Jan 5, 2000");
  EXPECT_STREQ(FormatDateShortStatic(Date(1999, 9, 30)), "Sep 30, 1999");
  EXPECT_STREQ(FormatDateLong(Date(2010, 12, 25)), "December 25, 2010");
  EXPECT_STREQ(FormatDateLong(Date(-44, 3, 15)), "March 15, -44");

  char small[6];
  FormatDateShort(d, small);
  EXPECT_STREQ(small, "Jan 5");

  GameDate bad = d;
  bad.month = 13;
  FormatDateShort(bad, text);
  EXPECT_STREQ(text, " 5, 2000");
  EXPECT_STREQ(FormatDateLong(bad), " 5, 2000");
  EXPECT_STREQ(MonthName(12), "December");
  EXPECT_STREQ(MonthName(24), "Dec");
  EXPECT_STREQ(MonthName(25), "");
}

TEST(Calendar, DateTextBuffersBelongToTheirThread) {
  const char* mine = FormatDateLong(Date(2000, 1, 1));
  std::string other;
  std::thread worker([&] {
    plat::SetGameFloatMode();
    other = FormatDateLong(Date(1999, 7, 4));
  });
  worker.join();
  EXPECT_EQ(other, "July 4, 1999");
  EXPECT_STREQ(mine, "January 1, 2000");
}

// Before the era too: day 0 is 1 January 4713 BC (year -4713).
TEST(Calendar, DaysBeforeTheEraRoundTrip) {
  int failures = 0;
  for (int32_t n = 0; n < kFirstDay; ++n) {
    GameDate d = FromDayNumber(n);
    d.dayNumber = -1;
    DateToDayNumber(d);
    if (d.dayNumber != n) ++failures;
  }
  EXPECT_EQ(failures, 0);
  const GameDate first = FromDayNumber(0);
  EXPECT_EQ(first.year, -4713);
  EXPECT_EQ(first.month, 1);
  EXPECT_EQ(first.day, 1);
}

}  // namespace
