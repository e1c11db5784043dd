#include "app/gfx/cursor.h"

#include "app/app_object.h"
#include "app/gfx/renderer.h"

void HideCursor(PlatformState& platform) {
  plat::SetAppCursor(nullptr);
  if (platform.deviceCursor && g_renderer.cursorWake) g_renderer.cursorWake->Reset();
}

void ShowCurrentCursor(PlatformState& platform) {
  if (platform.deviceCursor) {
    plat::SetAppCursor(nullptr);
    if (g_renderer.cursorWake) g_renderer.cursorWake->Set();
    return;
  }
  plat::SetAppCursor(platform.currentCursor);
}

void RestoreCursor(PlatformState& platform) {
  if (!platform.deviceCursor) platform.currentCursor = platform.cursorArrow;
  ShowCurrentCursor(platform);
}
