#include "world/game_time.h"

#include "world/world.h"

namespace {
constexpr uint32_t kMinutesPerDay = 1440;
}

GameDateTime GameMinutesToDate(const World& world, uint32_t minutes) {
  GameDateTime out;
  out.date.dayNumber = static_cast<int32_t>(world.mapHeader.startDay + minutes / kMinutesPerDay);
  DayNumberToDate(out.date);
  const uint32_t ofDay = minutes % kMinutesPerDay;
  out.hour = static_cast<uint8_t>(ofDay / 60);
  out.minute = static_cast<uint8_t>(ofDay % 60);
  return out;
}

int32_t DateTimeToGameMinutes(const World& world, uint32_t dayNumber, uint32_t hourMinute) {
  const uint32_t hour = hourMinute & 0xFFu;
  uint32_t minute = (hourMinute >> 8) & 0xFFu;
  if (minute > 59) minute = 59;
  // Worked in 32-bit words that wrap, as the tick does; the result reads as signed.
  const uint32_t minutes = (dayNumber - world.mapHeader.startDay) * kMinutesPerDay + hour * 60 + minute;
  return static_cast<int32_t>(minutes);
}
