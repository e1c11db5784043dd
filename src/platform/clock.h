#pragma once
// Time: a wrapping 32-bit millisecond tick, a 64-bit monotonic clock, sleep,
// and local time. All of them go through one clock source that tests replace.
#include <cstdint>

namespace plat {

struct LocalTime {
  uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
  uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

class ClockSource {
 public:
  virtual ~ClockSource() = default;
  virtual uint64_t MonotonicMs() = 0;
  virtual void SleepMs(uint32_t ms) = 0;
  virtual LocalTime Now() = 0;
};

// Installs a clock source (null restores the system clock). Not thread-safe
// against concurrent readers; tests install one before starting threads.
void SetClockSource(ClockSource* source);
ClockSource& CurrentClock();
// The system's own clock, whatever source is installed: a test clock built
// on it never leans on another test's clock.
ClockSource& SystemClockSource();

// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t TickCount();
// Whether one tick lies after another, across the wrap of the tick: right
// while they are less than 2^31 ms (24.8 days) apart.
inline bool TickAfter(uint32_t tick, uint32_t other) { return static_cast<int32_t>(tick - other) > 0; }
// Milliseconds since an arbitrary start; never wraps, never goes back.
uint64_t MonotonicMs();
// Sleep 0 yields the rest of the time slice.
void SleepMs(uint32_t ms);
LocalTime GetLocalTime();

// The multimedia timer: its time (the tick) and its resolution requests,
// which have no effect here beyond being balanced.
uint32_t MultimediaTimeMs();
void BeginTimerPeriod(uint32_t ms);
// An end without a matching begin is ignored.
void EndTimerPeriod(uint32_t ms);
// Begins not yet balanced by an end.
int TimerPeriodRequests();

}  // namespace plat
