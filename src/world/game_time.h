#pragma once
// Game minutes (the tick that stamps commands) and calendar dates: minute 0
// is midnight at the start of the map's start day.
#include <cstdint>

#include "app/calendar.h"

struct World;

struct GameDateTime {
  GameDate date;
  uint8_t hour = 0;
  uint8_t minute = 0;
};

// The date and time of a game minute. Uses the calendar, so call it in the
// game's floating-point mode.
GameDateTime GameMinutesToDate(const World& world, uint32_t minutes);

// The game minute of a day number and a packed hour (low byte) and minute
// (next byte; 59 or more counts as 59). A day before the start day gives a
// negative count.
int32_t DateTimeToGameMinutes(const World& world, uint32_t dayNumber, uint32_t hourMinute);
