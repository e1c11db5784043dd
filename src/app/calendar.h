#pragma once
// The game calendar: a day number (day 2,451,544 is 1 January 2000) and the
// year, month and day it stands for. The conversions are the Julian day rule
// in single precision with truncation, and they give back every date only
// in the game's floating-point mode (round toward zero); call them on game
// threads.
#include <cstddef>
#include <cstdint>

struct GameDate {
  int32_t dayNumber = 0;
  int16_t year = 0;   // no year 0: year -1 directly precedes year 1
  uint8_t month = 0;  // 1 to 12
  uint8_t day = 0;    // 1 to 31
};
static_assert(sizeof(GameDate) == 8);
static_assert(offsetof(GameDate, dayNumber) == 0);
static_assert(offsetof(GameDate, year) == 4);
static_assert(offsetof(GameDate, month) == 6);
static_assert(offsetof(GameDate, day) == 7);

// Sets dayNumber from year, month and day (Julian calendar before
// 15 October 1582, Gregorian from then on).
void DateToDayNumber(GameDate& date);
// Sets year, month and day from dayNumber.
void DayNumberToDate(GameDate& date);
// Moves the month by a signed count, carrying into the year, and recomputes
// the day number; the day of the month stays (31 January plus one month is
// the day number of 2 or 3 March).
void DateAddMonths(GameDate& date, int8_t months);
// Gregorian rule from 1582 on, every fourth year before.
bool IsLeapYear(const GameDate& date);
// Days of the date's month; 0 for a month outside 1 to 12.
int32_t DaysInMonth(const GameDate& date);

// Month names: 1 to 12 the full names, 13 to 24 the short ones; an empty
// text for any other index.
const char* MonthName(int index);

// "Jan 5, 2000". The text is cut to fit outSize (terminator included).
void FormatDateShort(const GameDate& date, char* out, size_t outSize);
template <size_t N>
void FormatDateShort(const GameDate& date, char (&out)[N]) {
  FormatDateShort(date, out, N);
}
// The same in a 32-byte buffer of the calling thread, valid until its next call.
const char* FormatDateShortStatic(const GameDate& date);
// "January 5, 2000" in a 32-byte buffer of the calling thread, valid until its next call.
const char* FormatDateLong(const GameDate& date);
