#pragma once
// A clock for tests that read the date: it always tells the time it is set
// to, and its sleeps pass at once.
#include <cstdint>

#include "platform/clock.h"

class FixedClock : public plat::ClockSource {
 public:
  explicit FixedClock(plat::LocalTime at, uint64_t monotonicMs = 0) : now(at), monotonic(monotonicMs) {}
  uint64_t MonotonicMs() override { return monotonic; }
  void SleepMs(uint32_t) override {}
  plat::LocalTime Now() override { return now; }

  plat::LocalTime now;
  uint64_t monotonic;
};
