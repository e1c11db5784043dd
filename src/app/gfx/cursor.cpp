#include "app/gfx/cursor.h"

#include <memory>

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "platform/texture_loader.h"

plat::Point CursorHotSpot(int32_t cell) {
  if (cell >= 4 && cell <= 7) return plat::Point{15, 15};
  if (cell == 8) return plat::Point{4, 11};
  return plat::Point{0, 0};
}

plat::Status UpdateHardwareCursor(Renderer& renderer, int32_t cell) {
  renderer.cursorCell = cell;
  if (!renderer.cursorSheet || !renderer.device) return plat::kFail;
  plat::Surface* made = nullptr;
  if (plat::Failed(renderer.device->CreateImageSurface(kCursorCellSize, kCursorCellSize, plat::kFmtA8R8G8B8, &made)) ||
      !made)
    return plat::kFail;
  std::unique_ptr<plat::Surface> image(made);
  const int64_t left = int64_t{kCursorCellSize} * cell;
  if (left < 0 || left + kCursorCellSize > INT32_MAX) return plat::kInvalidArg;
  const plat::Rect from{static_cast<int32_t>(left), 0, static_cast<int32_t>(left + kCursorCellSize), kCursorCellSize};
  const plat::Status loaded =
      plat::LoadSurfaceFromSurface(image.get(), nullptr, renderer.cursorSheet, &from, plat::kFilterNone, 0);
  if (plat::Succeeded(loaded)) {
    const plat::Point hot = CursorHotSpot(cell);
    renderer.device->SetCursorProperties(static_cast<uint32_t>(hot.x), static_cast<uint32_t>(hot.y), image.get());
  }
  return loaded;
}

void HideCursor(PlatformState& platform) {
  if (platform.deviceCursor) {
    if (g_renderer.device) g_renderer.device->ShowCursor(false);
    plat::SetAppCursor(nullptr);
    if (g_renderer.cursorWake) g_renderer.cursorWake->Reset();
    return;
  }
  plat::SetAppCursor(nullptr);
}

namespace {

void ShowDeviceCursor(int32_t cell) {
  UpdateHardwareCursor(g_renderer, cell);
  plat::SetAppCursor(nullptr);
  if (g_renderer.device) g_renderer.device->ShowCursor(true);
  if (g_renderer.cursorWake) g_renderer.cursorWake->Set();
}

}  // namespace

void ShowCurrentCursor(PlatformState& platform) {
  if (platform.deviceCursor) {
    ShowDeviceCursor(g_renderer.cursorCell);
    return;
  }
  plat::SetAppCursor(platform.currentCursor);
}

void RestoreCursor(PlatformState& platform) {
  if (platform.deviceCursor) {
    ShowDeviceCursor(0);
    return;
  }
  platform.currentCursor = platform.cursorArrow;
  plat::SetAppCursor(platform.currentCursor);
}
