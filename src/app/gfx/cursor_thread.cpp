#include "app/gfx/cursor_thread.h"

#include "app/gfx/renderer.h"
#include "platform/clock.h"

uint32_t CursorThreadMain(Renderer& renderer) {
  plat::Event* const events[2] = {renderer.cursorStop, renderer.cursorWake};
  if (!events[0] || !events[1]) return kCursorThreadExitCode;
  for (;;) {
    if (plat::WaitAny(events, 2, plat::kInfinite) == 0) return kCursorThreadExitCode;
    plat::SleepMs(10);
  }
}
