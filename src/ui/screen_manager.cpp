#include "ui/screen_manager.h"

#include "app/gfx/renderer.h"
#include "app/init_order.h"
#include "platform/clock.h"
#include "ui/control_tree.h"

ScreenManager::ScreenManager() { currentRoot = &frontEndRoot; }

ScreenManager::~ScreenManager() = default;

ScreenManager g_ui VD_INIT_SCREEN_MANAGER;

void RedrawControlTree(ScreenManager& ui, Control* control, int32_t recurse, uint32_t) {
  if (!control) return;
  const int32_t depth = recurse || control == ui.currentRoot ? kAnyDepth : 0;
  ControlDrawTree(control, depth, 1, nullptr, 0);
}

void UpdateFrameUi(ScreenManager& ui) {
  ++ui.frameCount;
  if (g_renderer.device) {
    ClearBackBuffer(g_renderer);
    g_renderer.device->BeginScene();
    RedrawControlTree(ui, ui.currentRoot, 1, 0);
    EndSceneAndFlush(g_renderer);
    g_renderer.device->Present();
  }
  ui.timerLatch = 0;
}

void FrameTiming(ScreenManager& ui) {
  ui.frameCount = 0;
  ui.frameStart = plat::TickCount();
}

void ReleaseUiTextures(ScreenManager& ui) { ui.rootControls = nullptr; }

void BuildRootControls(ScreenManager& ui) { ui.rootControls = &ui.gameRoot; }

plat::LResult OnKeyDown(ScreenManager&, uint32_t) { return 0; }
plat::LResult OnKeyUp(ScreenManager&, uint32_t) { return 0; }
plat::LResult OnChar(ScreenManager&, uint32_t) { return 0; }
plat::LResult OnMouseMessage(ScreenManager&, uint32_t, plat::WParam, int, int) { return 0; }
plat::LResult OnMouseWheel(ScreenManager&, plat::WParam, int, int) { return 0; }
