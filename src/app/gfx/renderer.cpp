#include "app/gfx/renderer.h"

#include <unistd.h>

#include <new>

#include "app/gfx/cursor_thread.h"
#include "app/gfx/fonts.h"
#include "app/gfx/sprite_batch.h"
#include "app/main_window.h"
#include "platform/clock.h"
#include "platform/window.h"

Renderer g_renderer;

namespace {

// Software vertex processing, multithreaded (the cursor thread moves the
// device cursor), and the game's floating-point mode kept.
constexpr uint32_t kBehaviourFlags =
    plat::kCreateSoftwareVertexProcessing | plat::kCreateMultithreaded | plat::kCreateFpuPreserve;
constexpr int kCreationAttempts = 3;
constexpr uint32_t kCursorThreadStopWaitMs = 1000;

uint64_t PhysicalMemoryBytes() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return UINT64_MAX;  // unknown: assume plenty
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

int32_t FirstCandidateFormat(int32_t bitsPerPixel) {
  switch (bitsPerPixel) {
    case 15:
      return plat::kFmtX1R5G5B5;
    case 24:
      return plat::kFmtR8G8B8;
    case 31:
      return plat::kFmtA8R8G8B8;
    case 32:
      return plat::kFmtX8R8G8B8;
    default:
      return plat::kFmtR5G6B5;
  }
}

void ReleaseDevice(Renderer& renderer) {
  delete renderer.device;
  renderer.device = nullptr;
}

void ReleaseSystem(Renderer& renderer) {
  delete renderer.d3d;
  renderer.d3d = nullptr;
}

// A start-up that failed part-way leaves nothing behind.
plat::Status AbandonStart(Renderer& renderer) {
  ReleaseDeviceResources(renderer);
  ReleaseDevice(renderer);
  ReleaseSystem(renderer);
  if (g_platform.mainWindow) {
    plat::DestroyAppWindow(g_platform.mainWindow);
    g_platform.mainWindow = nullptr;
  }
  return plat::kFail;
}

bool WantsCursorThread(const Renderer& renderer) {
  if (g_app.Flag(kSetUseHWCursor)) return false;
  const bool noColourCursor = (renderer.caps.cursorCaps & plat::kCursorCapsColor) == 0;
  return noColourCursor != g_app.Flag(kSetOverrideCurThreadDef);
}

void StartCursorThread(Renderer& renderer) {
  renderer.cursorStop = new plat::Event(true, false);
  renderer.cursorWake = new plat::Event(true, false);
  renderer.cursorThread = new plat::Thread;
  Renderer* r = &renderer;
  if (!renderer.cursorThread->Start([r] { return CursorThreadMain(*r); })) {
    delete renderer.cursorThread;
    delete renderer.cursorStop;
    delete renderer.cursorWake;
    renderer.cursorThread = nullptr;
    renderer.cursorStop = renderer.cursorWake = nullptr;
    return;
  }
  renderer.cursorThread->SetPriority(plat::Thread::kPriorityTimeCritical);
}

void StopCursorThread(Renderer& renderer) {
  if (!renderer.cursorThread) return;
  renderer.cursorStop->Set();
  const bool ended = renderer.cursorThread->Wait(kCursorThreadStopWaitMs);
  renderer.cursorThread->Close();
  delete renderer.cursorThread;
  renderer.cursorThread = nullptr;
  // A thread that has not ended may still be waiting on its events: they
  // are left to it rather than freed under it.
  if (ended) {
    delete renderer.cursorStop;
    delete renderer.cursorWake;
  }
  renderer.cursorStop = renderer.cursorWake = nullptr;
}

}  // namespace

void ChooseDisplayFormat(Renderer& renderer, AppObject& app) {
  ChooseDisplayFormat(renderer, app, PhysicalMemoryBytes());
}

void ChooseDisplayFormat(Renderer& renderer, AppObject& app, uint64_t physicalMemoryBytes) {
  if (!renderer.deviceCreationFlag) return;
  if (app.gamerezx == 0 || app.gamerezy == 0) {
    app.gamerezx = 800;
    app.gamerezy = 600;
  }
  if (app.gamerezbpp == 0) app.gamerezbpp = 16;

  if (physicalMemoryBytes < kLowPhysicalMemory) {
    app.settingsFlags &= ~kSetHiresImageBits;
    app.gamerezbpp = 16;
    app.soundSimDef = 2;
  }

  renderer.presentParams.backBufferWidth = static_cast<uint32_t>(app.gamerezx);
  renderer.presentParams.backBufferHeight = static_cast<uint32_t>(app.gamerezy);
  renderer.adapter = static_cast<uint32_t>(app.gameadapternum);

  const int32_t first = FirstCandidateFormat(app.gamerezbpp);
  const int32_t candidates[] = {first, plat::kFmtR5G6B5, plat::kFmtX1R5G5B5, plat::kFmtX8R8G8B8, plat::kFmtR8G8B8};
  const bool windowed = !renderer.fullScreen;
  int32_t chosen = first;
  for (int32_t format : candidates) {
    if (!renderer.d3d) break;
    bool ok = plat::Succeeded(renderer.d3d->CheckDeviceType(renderer.adapter, format, format, windowed));
    if (!ok && renderer.adapter != 0) {
      renderer.adapter = 0;
      ok = plat::Succeeded(renderer.d3d->CheckDeviceType(renderer.adapter, format, format, windowed));
    }
    if (ok) {
      chosen = format;
      break;
    }
  }
  renderer.presentParams.backBufferFormat = chosen;
}

plat::Status StartApp(Renderer& renderer, int32_t fullScreen) {
  plat::Window* window = CreateMainWindow(g_platform);
  if (!window) return plat::kFail;
  renderer.fullScreen = fullScreen;

  renderer.d3d = plat::CreateGraphicsSystem();
  if (!renderer.d3d) return AbandonStart(renderer);
  if (plat::Failed(renderer.d3d->GetAdapterDisplayMode(0, &renderer.displayMode))) return AbandonStart(renderer);

  renderer.deviceCreationFlag = 1;
  renderer.mipLevels = 1;
  renderer.presentParams = plat::PresentParams{};
  ChooseDisplayFormat(renderer, g_app);
  plat::PresentParams& params = renderer.presentParams;
  params.backBufferCount = 1;
  params.swapEffect = plat::kSwapEffectCopy;
  params.windowed = !fullScreen;
  params.deviceWindow = window;
  params.enableAutoDepthStencil = true;
  params.autoDepthStencilFormat = plat::kFmtD16;

  for (int attempt = 0; attempt < kCreationAttempts; ++attempt) {
    renderer.device = nullptr;
    const plat::Status s =
        renderer.d3d->CreateDevice(renderer.adapter, window, kBehaviourFlags, &params, &renderer.device);
    if (plat::Succeeded(s) && renderer.device) break;
    // A device made despite a failure is not trusted.
    ReleaseDevice(renderer);
    if (renderer.adapter != 0) {
      renderer.adapter = 0;
    } else if (params.backBufferWidth > 1024) {
      params.backBufferWidth = 1024;
      params.backBufferHeight = 768;
    } else if (params.backBufferWidth > 800) {
      params.backBufferWidth = 800;
      params.backBufferHeight = 600;
    }
  }
  if (!renderer.device) return AbandonStart(renderer);

  // The display now has the back buffer's size; the window covers it.
  plat::SetWindowBounds(window, 0, 0, static_cast<int>(params.backBufferWidth),
                        static_cast<int>(params.backBufferHeight));
  plat::ShowAppWindow(window, true);

  if (plat::Failed(SetupDeviceState(renderer))) return AbandonStart(renderer);
  renderer.creationTime = plat::TickCount();
  if (WantsCursorThread(renderer)) StartCursorThread(renderer);
  return plat::kOk;
}

plat::Status SetupDeviceState(Renderer& renderer) {
  plat::GraphicsDevice* device = renderer.device;
  if (!device) return plat::kFail;
  if (plat::Failed(device->GetDeviceCaps(&renderer.caps))) return plat::kFail;
  delete renderer.backBuffer;
  renderer.backBuffer = nullptr;
  if (plat::Failed(device->GetBackBuffer(&renderer.backBuffer)) || !renderer.backBuffer) return plat::kFail;
  if (plat::Failed(device->GetBackBufferDesc(&renderer.backBufferDesc))) return plat::kFail;

  if (!renderer.baseRamp) renderer.baseRamp.reset(new (std::nothrow) plat::GammaRamp);
  if (!renderer.customRamp) renderer.customRamp.reset(new (std::nothrow) plat::GammaRamp);
  if (!renderer.baseRamp || !renderer.customRamp) return plat::kFail;
  plat::GammaRamp& base = *renderer.baseRamp;
  device->GetGammaRamp(&base);
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<uint16_t>(i * 256);
    base.red[i] = base.green[i] = base.blue[i] = v;
  }

  device->GetViewport(&renderer.viewport);
  InitDeviceStates(renderer);

  if (plat::Window* window = g_platform.mainWindow) {
    if (plat::IsWindowMinimised(window)) plat::MaximiseWindow(window);
    g_platform.clientRect = plat::GetClientRect(window);
    plat::ClipCursorToRect(window, &g_platform.clientRect);
  }

  if (device->GetAvailableTextureMem() < kLowTextureMemory) g_app.settingsFlags &= ~kSetHiresImageBits;
  return plat::kOk;
}

plat::Status AppWindowActivate(Renderer& renderer, const plat::PresentParams* params) {
  if (!renderer.device) return plat::kOk;
  ReleaseDeviceResources(renderer);
  const plat::Status reset = renderer.device->Reset(params ? *params : renderer.presentParams);
  if (plat::Failed(reset)) return reset;
  const plat::Status setup = SetupDeviceState(renderer);
  if (plat::Failed(setup)) return setup;
  RestoreFontBuffers(g_platform);
  return plat::kOk;
}

void ReleaseDeviceResources(Renderer& renderer) {
  delete renderer.backBuffer;
  renderer.backBuffer = nullptr;
  ReleaseSpriteBatch(renderer);
  ReleaseFontBuffers(g_platform);
  if (g_platform.mainWindow) plat::ClipCursorToRect(g_platform.mainWindow, nullptr);
}

void StopApp(Renderer& renderer) {
  ReleaseDeviceResources(renderer);
  FreeAllFonts(g_platform);
  StopCursorThread(renderer);
  delete renderer.cursorSheet;
  renderer.cursorSheet = nullptr;
  ReleaseDevice(renderer);
  ReleaseSystem(renderer);
}

void ClearBackBuffer(Renderer& renderer) {
  FlushAllDrawing(renderer);
  if (!renderer.device) return;
  renderer.device->Clear(0, nullptr, plat::kClearTarget | plat::kClearZBuffer, 0xFF000000u, 1.0f, 0);
}

void EndSceneAndFlush(Renderer& renderer) {
  FlushAllDrawing(renderer);
  if (renderer.device) renderer.device->EndScene();
}
