#include <atomic>

#include "app/gfx/cursor.h"
#include "app/gfx/renderer.h"
#include "shell/shell.h"
#include "editor/editor_autosave.h"
#include "net_game/net_events.h"
#include "net_game/session_message_handler.h"
#include "platform/fpenv.h"
#include "platform/window.h"
#include "screens/screen_set.h"
#include "app/window_messages.h"
#include "sim/simulation_lock.h"
#include "ui/deferred_actions.h"
#include "ui/screen_manager.h"
#include "world/game_speed.h"
#include "world/world.h"

using namespace plat;

namespace {

bool IsSizeMoveOrMaximise(WParam wParam) {
  const uint32_t cmd = static_cast<uint32_t>(wParam) & 0xFFF0u;
  return cmd == kScSize || cmd == kScMove || cmd == kScMaximize;
}

// The work of the window timer and of a notification from another thread.
void RunDeferredAndRedraw(ScreenManager& ui) {
  RunDeferredActions(g_screens.pollRing);
  RedrawControlTree(ui, ui.rootForm, 0, 0);
  // The turn thread raises the flag as units change.
  std::atomic_ref<int32_t>(ui.modal).store(0, std::memory_order_relaxed);
}

// Activation: frames stop until the device has been reset for the window;
// true when it has, and the pointer shows again. Without leave to activate
// the window only stops.
bool ActivateWindow(WParam wParam, bool allowed) {
  g_platform.active = 0;
  if (g_renderer.cursorWake) g_renderer.cursorWake->Reset();
  if (!allowed || LoWord(wParam) == kWaInactive || AppWindowActivate(g_renderer, nullptr) < 0) return false;
  g_platform.active = 1;
  ShowCurrentCursor(g_platform);
  return true;
}

}  // namespace

LResult AppWindowProc(Window* window, uint32_t message, WParam wParam, LParam lParam) {
  // Libraries and drivers may change the floating-point mode behind the
  // game's back; every message puts it right before game code runs.
  RestoreFloatControl(g_platform.floatControl);
  const int32_t mode = g_platform.appMode;
  if (mode < 0 || mode >= kAppModeCount || !g_app.windowProcs[mode]) return 0;
  return g_app.windowProcs[mode](window, message, wParam, lParam);
}

LResult StartupWindowProc(Window* window, uint32_t message, WParam wParam, LParam lParam) {
  switch (message) {
    case kWmDestroy:
      // Closing the program during the start-up screens ends it, as it does
      // once the front end runs; otherwise it would go on without a window.
      if (!g_platform.quitSuppress) PostQuitMessage(0);
      return 0;
    case kWmActivate:
      ActivateWindow(wParam, true);
      return 0;
    case kWmPaint:
      return 0;
    case kWmEraseBkgnd:
      return 1;
    case kWmKeyDown:
    case kWmLButtonDown:
      g_platform.skip = 1;
      break;
    case kWmNcHitTest:
      if (g_renderer.fullScreen) return 1;
      break;
    case kWmSysCommand:
      if (IsSizeMoveOrMaximise(wParam) && g_renderer.fullScreen) return 1;
      break;
    default:
      break;
  }
  return DefaultWindowProc(window, message, wParam, lParam);
}

LResult GameWindowProc(Window* window, uint32_t message, WParam wParam, LParam lParam) {
  ScreenManager& ui = g_ui;
  ui.lastWParam = wParam;
  // Anything but the window timer can change what the frame shows; the
  // timer's refresh marks what it changes.
  if (message != kWmTimer) ui.redrawWanted = 1;
  switch (message) {
    case kWmDestroy:
      if (!g_platform.quitSuppress) PostQuitMessage(0);
      return 0;
    case kWmActivate:
      if (ActivateWindow(wParam, !g_platform.quitSuppress) && ui.rootForm) ui.rootForm->state |= kStateDirty;
      return 0;
    case kWmPaint:
      return 0;
    case kWmEraseBkgnd:
    case kWmSetCursor:
      return 1;
    case kWmNcHitTest:
      if (g_renderer.fullScreen) return 1;
      break;
    case kWmSysCommand:
      if (IsSizeMoveOrMaximise(wParam) && g_renderer.fullScreen) return 1;
      break;
    case kWmKeyDown:
      return OnKeyDown(ui, static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
    case kWmKeyUp:
      return OnKeyUp(ui, static_cast<uint32_t>(wParam));
    case kWmChar:
      return OnChar(ui, static_cast<uint32_t>(wParam));
    case kWmTimer:
      // The latch keeps the timer's redraw to one per frame: timers that
      // pile up while a frame is slow do their work once.
      if (wParam == kUiTimerId && !ui.timerLatch) {
        RunDeferredAndRedraw(ui);
        if (ui.mode == kUiMapEditor) EditorAutosave(ui, 0);
        ui.timerLatch = 1;
      }
      break;
    case kWmLButtonDown:
    case kWmLButtonUp:
    case kWmLButtonDblClk:
    case kWmRButtonDown:
    case kWmRButtonUp:
    case kWmRButtonDblClk:
    case kWmMButtonDown:
    case kWmMButtonUp:
    case kWmMButtonDblClk:
    case kWmXButtonDown:
    case kWmXButtonUp:
    case kWmXButtonDblClk:
      return OnMouseMessage(ui, message, wParam, SignedLoWord(lParam), SignedHiWord(lParam));
    case kWmMouseWheel:
      return OnMouseWheel(ui, wParam, SignedLoWord(lParam), SignedHiWord(lParam));
    case kWmNetEvent: {
      RunDeferredAndRedraw(ui);
      const uint32_t code = static_cast<uint32_t>(wParam);
      if (code & kNetCodePause) {
        plat::CriticalSectionLock lock(g_simulationLock);
        SetGameSpeed(g_world.gameState, 0);
      }
      if ((code & 0xFFu) == kNetCodeChat) OnNetEvent4(ui);
      if (code == kNetCodePlayerLeft) OnNetEvent8001(ui.networked != 0, lParam);
      if (code == kNetCodeSetup) ReportVersionMismatch(ui);
      if (code == kNetCodeSessionEnded) (void)OpenHostLostRoom(g_screens.waitingRoom);
      break;
    }
    case kWmNetQueue:
      DrainNetQueue(ui);
      break;
    case kWmTurnEvent:
      OnAppMessage2(ui, static_cast<uint32_t>(wParam));
      break;
    default:
      break;
  }
  return DefaultWindowProc(window, message, wParam, lParam);
}
