#pragma once
// A clock for tests that start the whole program: real time, except that
// sleeping passes at once, so the splash and loading fades and the turn
// clock's pacing run their whole course without taking seconds.
#include <atomic>
#include <cstdint>
#include <thread>

#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/window.h"

class FastClock : public plat::ClockSource {
 public:
  FastClock() : real_(plat::SystemClockSource()) {}
  uint64_t MonotonicMs() override { return real_.MonotonicMs() + skipped_.load(); }
  void SleepMs(uint32_t ms) override {
    skipped_ += ms;
    if (keysTo_ && std::this_thread::get_id() == keysThread_)
      plat::PostWindowMessage(keysTo_, plat::kWmKeyDown, plat::kVkEscape, 0);
    std::this_thread::yield();
  }
  plat::LocalTime Now() override { return real_.Now(); }

  // While a window is given, every sleep of the calling thread posts it a
  // key press: a player who presses a key through each start-up screen.
  // Null stops it.
  void PressKeysWhileSleeping(plat::Window* window) {
    keysThread_ = std::this_thread::get_id();
    keysTo_ = window;
  }

 private:
  plat::ClockSource& real_;
  std::atomic<uint64_t> skipped_{0};
  std::atomic<plat::Window*> keysTo_{nullptr};
  std::thread::id keysThread_;
};
