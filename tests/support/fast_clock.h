#pragma once
// A clock for tests that start the whole program: real time, except that
// sleeping passes at once, so the splash and loading fades and the turn
// clock's pacing run their whole course without taking seconds.
#include <atomic>
#include <cstdint>
#include <thread>

#include "platform/clock.h"

class FastClock : public plat::ClockSource {
 public:
  FastClock() : real_(plat::SystemClockSource()) {}
  uint64_t MonotonicMs() override { return real_.MonotonicMs() + skipped_.load(); }
  void SleepMs(uint32_t ms) override {
    skipped_ += ms;
    std::this_thread::yield();
  }
  plat::LocalTime Now() override { return real_.Now(); }

 private:
  plat::ClockSource& real_;
  std::atomic<uint64_t> skipped_{0};
};
