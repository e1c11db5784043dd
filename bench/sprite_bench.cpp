// A full 1024 x 768 screen of 32 x 32 sprites through the sprite batch and
// the OpenGL device, presented each frame. Reports sprites per second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"
#include "platform/window.h"

namespace {

plat::LResult BenchProc(plat::Window* w, uint32_t m, plat::WParam wp, plat::LParam lp) {
  return plat::DefaultWindowProc(w, m, wp, lp);
}

void BM_FullScreenOfSprites(benchmark::State& state) {
  // Without a display the offscreen driver draws, as in the tests.
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
  plat::RegisterWindowClass({"VDClass", plat::kCsDblClks | plat::kCsOwnDc, BenchProc, 104});
  g_app.settingsFlags = kSetUseHWCursor;
  g_app.gamerezx = 1024;
  g_app.gamerezy = 768;
  g_app.gamerezbpp = 32;
  if (StartApp(g_renderer, 0) < 0) {
    state.SkipWithError("no OpenGL device");
    return;
  }
  {
    Texture sheet(plat::kFmtA8R8G8B8, 128, 32, 0, 0);
    std::vector<uint32_t> texels(128 * 32);
    for (uint32_t i = 0; i < texels.size(); ++i) texels[i] = 0x80000000u | (i * 2654435761u >> 8);
    plat::Surface* level = nullptr;
    sheet.deviceTexture->GetSurfaceLevel(0, &level);
    level->WritePixels(plat::Rect{0, 0, 128, 32}, texels.data());
    delete level;

    constexpr int kColumns = 1024 / 32, kRows = 768 / 32;
    for (auto _ : state) {
      ClearBackBuffer(g_renderer);
      for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kColumns; ++x) {
          const int cell = (x + y) & 3;
          const plat::Rect source{cell * 32, 0, cell * 32 + 32, 32};
          DrawSprite(g_renderer, &sheet, static_cast<float>(x * 32), static_cast<float>(y * 32), 0.5f, 32, 32,
                     0xFFFFFFFFu, &source, 0, nullptr, nullptr);
        }
      EndSceneAndFlush(g_renderer);
      g_renderer.device->Present();
    }
    state.SetItemsProcessed(state.iterations() * kColumns * kRows);
    state.counters["sprites_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kColumns * kRows), benchmark::Counter::kIsRate);
  }
  StopApp(g_renderer);
  if (g_platform.mainWindow) plat::DestroyAppWindow(g_platform.mainWindow);
  g_platform.mainWindow = nullptr;
}
// Real time: a software driver draws on threads of its own.
BENCHMARK(BM_FullScreenOfSprites)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
