#include "app/main_window.h"

namespace {

constexpr const char* kMainWindowClass = "VDClass";
constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;

}  // namespace

plat::Window* CreateMainWindow(PlatformState& platform) {
  int width = g_app.gamerezx, height = g_app.gamerezy;
  if (width <= 0 || height <= 0) {
    width = kDefaultWidth;
    height = kDefaultHeight;
  }
  plat::Window* window =
      plat::CreateAppWindow(kMainWindowClass, platform.windowTitle, plat::kWsExTopmost | plat::kWsExAppWindow,
                            plat::kWsPopup | plat::kWsVisible, 0, 0, width, height);
  if (!window) return nullptr;
  plat::SendWindowMessage(window, plat::kWmPaint, 0, 0);
  plat::SetCaptureAndFocus(window);
  platform.mainWindow = window;
  platform.clientRect = plat::GetClientRect(window);
  return window;
}
