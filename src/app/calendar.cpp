#include "app/calendar.h"

#include "app/game_math.h"
#include "platform/fpenv.h"

namespace {

// Conversions to integers truncate toward zero; out-of-range values (only
// reachable from a nonsense day number) become INT32_MIN.
int64_t Trunc(float value) { return CheckedTrunc(value); }

constexpr const char* kMonthNames[25] = {
    "",    "January", "February", "March", "April", "May", "June", "July", "August", "September", "October",
    "November", "December", "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

constexpr int32_t kDaysPerMonth[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Every integer the calendar turns into a float is far below 2^24 for any
// date the game can show, so those conversions are exact in any mode.
float F(int64_t value) { return static_cast<float>(value); }

}  // namespace

void DateToDayNumber(GameDate& date) {
  int64_t y = date.year;
  if (y < 0) y += 1;
  int64_t m = date.month;
  if (m == 1 || m == 2) {
    y -= 1;
    m += 12;
  }
  int64_t b = 0;
  if ((y * 100 + m) * 100 + date.day >= 15821015) {
    const int64_t a = y / 100;
    b = 2 - a + a / 4;
  }
  const int64_t dayNumber = Trunc(365.25f * F(y)) + Trunc(30.6001f * F(m + 1)) + date.day + b + 1720994;
  date.dayNumber = static_cast<int32_t>(dayNumber);
}

void DayNumberToDate(GameDate& date) {
  int64_t z = int64_t{date.dayNumber} + 1;
  if (z >= 2299161) {
    const int64_t alpha = Trunc((F(z) - 1867216.25f) / 36524.25f);
    z = z + 1 + alpha - alpha / 4;
  }
  const int64_t t = z > 1721423 ? z + 1524 : z + 1158;
  const int64_t u = Trunc((F(t) - 122.1f) / 365.25f);
  const int64_t w = Trunc(365.25f * F(u));
  const int64_t k = Trunc(F(t - w) / 30.6001f);
  const int64_t day = t - w - Trunc(30.6001f * F(k));
  const int64_t month = k < 14 ? k - 1 : k - 13;
  const int64_t year = month > 2 ? u - 4716 : u - 4715;
  date.day = static_cast<uint8_t>(day);
  date.month = static_cast<uint8_t>(month);
  date.year = static_cast<int16_t>(year);
}

void DateAddMonths(GameDate& date, int8_t months) {
  // Counted on a year line with a year 0, so that stepping across the start
  // of the era lands on year -1 or 1, never on the missing year 0.
  int32_t year = date.year < 0 ? date.year + 1 : date.year;
  const int32_t m = date.month + months;
  if (m > 12) {
    year += (m - 1) / 12;
    date.month = static_cast<uint8_t>((m - 1) % 12 + 1);
  } else if (m < 1) {
    year += m / 12 - 1;
    date.month = static_cast<uint8_t>(12 - ((-m) % 12));
  } else {
    date.month = static_cast<uint8_t>(m);
  }
  date.year = static_cast<int16_t>(year <= 0 ? year - 1 : year);
  DateToDayNumber(date);
}

bool IsLeapYear(const GameDate& date) {
  const int32_t y = date.year;
  if (y >= 1582) return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return y % 4 == 0;
}

int32_t DaysInMonth(const GameDate& date) {
  if (date.month < 1 || date.month > 12) return 0;
  return kDaysPerMonth[date.month] + (date.month == 2 && IsLeapYear(date) ? 1 : 0);
}

const char* MonthName(int index) { return index >= 1 && index <= 24 ? kMonthNames[index] : ""; }

void FormatDateShort(const GameDate& date, char* out, size_t outSize) {
  if (!out || outSize == 0) return;
  const bool valid = date.month >= 1 && date.month <= 12;
  plat::FormatText(out, outSize, "%.3s %d, %d", MonthName(valid ? date.month + 12 : 0), static_cast<int>(date.day),
                   static_cast<int>(date.year));
}

const char* FormatDateShortStatic(const GameDate& date) {
  thread_local char text[32];
  FormatDateShort(date, text, sizeof text);
  return text;
}

const char* FormatDateLong(const GameDate& date) {
  thread_local char text[32];
  plat::FormatText(text, sizeof text, "%s %d, %d", MonthName(date.month <= 12 ? date.month : 0),
                   static_cast<int>(date.day), static_cast<int>(date.year));
  return text;
}
