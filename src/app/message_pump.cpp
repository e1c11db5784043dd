#include "app/message_pump.h"

#include "app/app_object.h"
#include "platform/clock.h"
#include "platform/window.h"

int32_t PumpMessages(PlatformState& platform, uint32_t milliseconds, int32_t pump) {
  const uint64_t end = plat::MonotonicMs() + milliseconds;
  for (;;) {
    if (pump) {
      plat::Message msg;
      while (plat::PeekWindowMessage(&msg, false) && msg.message != plat::kWmQuit) {
        plat::PeekWindowMessage(&msg, true);
        plat::TranslateWindowMessage(msg);
        plat::DispatchWindowMessage(msg);
      }
    }
    if (platform.skip) return 1;
    if (plat::MonotonicMs() >= end) return 0;
    plat::SleepMs(1);
  }
}
