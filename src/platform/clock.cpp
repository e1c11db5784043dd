#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

namespace plat {
namespace {

class SystemClock final : public ClockSource {
 public:
  uint64_t MonotonicMs() override {
    // steady_clock counts from an arbitrary point (boot on Linux), as the
    // Windows tick does, so the 32-bit tick wraps as it would there.
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  }

  void SleepMs(uint32_t ms) override {
    if (ms == 0) {
      std::this_thread::yield();
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
  }

  LocalTime Now() override {
    const auto now = std::chrono::system_clock::now();
    const auto sinceEpochMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm parts{};
    LocalTime t;
    if (localtime_r(&seconds, &parts) == nullptr) return t;
    t.year = static_cast<uint16_t>(parts.tm_year + 1900);
    t.month = static_cast<uint16_t>(parts.tm_mon + 1);
    t.dayOfWeek = static_cast<uint16_t>(parts.tm_wday);  // 0 is Sunday
    t.day = static_cast<uint16_t>(parts.tm_mday);
    t.hour = static_cast<uint16_t>(parts.tm_hour);
    t.minute = static_cast<uint16_t>(parts.tm_min);
    // A leap second shows as 60 in struct tm; the Windows record stops at 59.
    t.second = static_cast<uint16_t>(parts.tm_sec > 59 ? 59 : parts.tm_sec);
    t.milliseconds = static_cast<uint16_t>(((sinceEpochMs % 1000) + 1000) % 1000);
    return t;
  }
};

SystemClock& TheSystemClock() {
  static SystemClock clock;
  return clock;
}

std::atomic<ClockSource*> g_source{nullptr};
std::atomic<int> g_timerPeriods{0};

}  // namespace

void SetClockSource(ClockSource* source) { g_source.store(source); }

ClockSource& SystemClockSource() { return TheSystemClock(); }

ClockSource& CurrentClock() {
  ClockSource* source = g_source.load();
  return source != nullptr ? *source : TheSystemClock();
}

uint32_t TickCount() { return static_cast<uint32_t>(CurrentClock().MonotonicMs()); }

uint64_t MonotonicMs() { return CurrentClock().MonotonicMs(); }

void SleepMs(uint32_t ms) { CurrentClock().SleepMs(ms); }

LocalTime GetLocalTime() { return CurrentClock().Now(); }

uint32_t MultimediaTimeMs() { return TickCount(); }

void BeginTimerPeriod(uint32_t /*ms*/) { g_timerPeriods.fetch_add(1); }

void EndTimerPeriod(uint32_t /*ms*/) {
  int current = g_timerPeriods.load();
  while (current > 0 && !g_timerPeriods.compare_exchange_weak(current, current - 1)) {
  }
}

int TimerPeriodRequests() { return g_timerPeriods.load(); }

}  // namespace plat
