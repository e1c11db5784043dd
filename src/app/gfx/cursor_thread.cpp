#include "app/gfx/cursor_thread.h"

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "platform/clock.h"

uint32_t CursorThreadMain(Renderer& renderer) {
  return CursorThreadMain(renderer, [] { return plat::GetCursorPosition(g_platform.mainWindow); });
}

uint32_t CursorThreadMain(Renderer& renderer, const std::function<plat::Point()>& readPosition) {
  plat::Event* const events[2] = {renderer.cursorStop, renderer.cursorWake};
  if (!events[0] || !events[1]) return kCursorThreadExitCode;
  plat::Point sent{0, 0};
  for (;;) {
    if (plat::WaitAny(events, 2, plat::kInfinite) == 0) return kCursorThreadExitCode;
    const plat::Point at = readPosition();
    if ((at.x != sent.x || at.y != sent.y) && renderer.device) {
      renderer.device->SetCursorPosition(at.x, at.y, plat::kCursorImmediateUpdate);
      sent = at;
    }
    plat::SleepMs(kCursorPollMs);
  }
}
