// The map frame of the sample world on a 1280 x 1024 screen through the
// OpenGL device (the offscreen driver without a display): default options
// with the hex grid on, at the largest zoom and at 0.9, each frame drawn
// and waited for. Every case first times the naive frame: the sprite batch
// drawing each quad on its own and the grid and borders drawn over the
// picture hex by hex (no baked tiles); then the same batched but without
// the baked tiles ("direct"); then the frame as the game draws it, with
// the time the first frame took to bake the tiles reported apart. The
// "terrain" cases draw the map as one without a picture: a quad or more
// per hex in the baseline and "direct", its terrain baked with the grid
// and borders in the game's frame. block_diff is how far the game's frame
// strays from the direct one: the largest mean difference of a channel
// over a 16 x 16 block of the view (0 at zoom 1).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/bitmap_sets.h"
#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "records/text_field.h"
#include "screens/main/map/map_draw.h"
#include "screens/main/map/map_grid_bake.h"
#include "screens/main/map/map_imagery_tiles.h"
#include "screens/main/map/map_view_hooks.h"
#include "ui/screen_manager.h"
#include "world/map_file.h"
#include "world/terrain_file.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr int kScreenWidth = 1280, kScreenHeight = 1024;
constexpr int kBaselineFrames = 20;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Seconds of processor time the whole process (the rasteriser's threads
// too) has used: other work on a shared machine stretches the wall clock
// but not this.
double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

plat::LResult BenchProc(plat::Window* w, uint32_t m, plat::WParam wp, plat::LParam lp) {
  return plat::DefaultWindowProc(w, m, wp, lp);
}

// The map's part of a frame, waited for to the last pixel. Presenting is
// left out: it costs every frame the same whatever the map draws.
void DrawFrame() {
  g_renderer.device->BeginScene();
  DrawMapView(g_mapView, 0);
  EndSceneAndFlush(g_renderer);
  uint32_t pixel = 0;
  g_renderer.backBuffer->ReadPixels(plat::Rect{0, 0, 1, 1}, &pixel);  // waits for the device
  benchmark::DoNotOptimize(pixel);
}

// The map's part of the back buffer after a frame.
std::vector<uint32_t> ViewPixels() {
  DrawFrame();
  const plat::Rect view{g_mapView.viewLeft, g_mapView.viewTop, g_mapView.viewRight, g_mapView.viewBottom};
  std::vector<uint32_t> pixels(static_cast<size_t>(view.right - view.left) * static_cast<size_t>(view.bottom - view.top));
  g_renderer.backBuffer->ReadPixels(view, pixels.data());
  return pixels;
}

// The largest mean difference of a colour channel between two views' 16 x
// 16 blocks.
int WorstBlockDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int width) {
  const int height = static_cast<int>(a.size()) / width;
  int worst = 0;
  for (int by = 0; by + 16 <= height; by += 16) {
    for (int bx = 0; bx + 16 <= width; bx += 16) {
      for (int shift = 0; shift < 24; shift += 8) {
        int sum = 0;
        for (int y = by; y < by + 16; ++y) {
          for (int x = bx; x < bx + 16; ++x) {
            const size_t at = static_cast<size_t>(y * width + x);
            sum += static_cast<int>((a[at] >> shift) & 0xFFu) - static_cast<int>((b[at] >> shift) & 0xFFu);
          }
        }
        worst = std::max(worst, std::abs(sum) / 256);
      }
    }
  }
  return worst;
}

bool StartSampleWorld(benchmark::State& state) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
  plat::RegisterWindowClass({"VDClass", plat::kCsDblClks | plat::kCsOwnDc, BenchProc, 104});
  // The settings' defaults (full-colour images), with the system cursor.
  g_app.settingsFlags = kSetHiresImageBits | kSetLoadingbitshires | kSetBackbufhires | kSetUseHWCursor;
  g_app.gamerezx = kScreenWidth;
  g_app.gamerezy = kScreenHeight;
  g_app.gamerezbpp = 32;
  if (StartApp(g_renderer, 0) < 0) {
    state.SkipWithError("no OpenGL device");
    return false;
  }
  plat::SetDataRoot(VD_GAME_DIR);
  ResetUiOptions(g_uiOptions);
  g_uiOptions.ovshowgrid = 1;
  g_ui.mode = kUiInGame;
  LoadMapBitmapSets(g_ui.bitmaps, 0);
  InstallMapViewHooks();
  // The map's place on the main screen at this size.
  g_mapView.viewLeft = 3;
  g_mapView.viewTop = 27;
  g_mapView.viewRight = 1276;
  g_mapView.viewBottom = 1020;
  if (ReadMapFile(g_world, "CHANNEL") < 0 || ReadTerFile(g_world, FieldText(g_world.mapHeader.terrainFileName)) < 0) {
    state.SkipWithError("the sample world is not built");
    return false;
  }
  return true;
}

void StopSampleWorld() {
  ReleaseMapImagery(g_mapImagery);
  ReleaseMapGridBake();
  DestroyUiBitmaps(g_ui.bitmaps);
  StopApp(g_renderer);
  if (g_platform.mainWindow) plat::DestroyAppWindow(g_platform.mainWindow);
  g_platform.mainWindow = nullptr;
}

// range(0): 0 the largest zoom, 1 zoom 0.9; range(1): 1 the map drawn
// from its terrain instead of its picture.
void BM_MapFrame(benchmark::State& state) {
  if (!StartSampleWorld(state)) return;
  if (state.range(1)) g_world.mapHeader.flags &= static_cast<uint8_t>(~kMapFlagImagery);
  g_mapView.zoom = state.range(0) == 0 ? g_mapView.zoomMax : 0.9f;
  ComputeMapScrollLimits(g_mapView);
  CentreMapOnHex(g_mapView, PackHex(g_mapView.columns / 2, g_mapView.rows / 2));
  ResetMapFrame();
  DrawFrame();  // textures made and loaded before any timing

  g_mapGridBake.enabled = false;
  g_renderer.batch.drawEachQuad = true;
  const auto start = std::chrono::steady_clock::now();
  const double naiveCpuStart = ProcessCpuSeconds();
  for (int i = 0; i < kBaselineFrames; ++i) DrawFrame();
  const double naiveCpu = ProcessCpuSeconds() - naiveCpuStart;
  const double naive = Seconds(start);
  g_renderer.batch.drawEachQuad = false;
  const auto direct = std::chrono::steady_clock::now();
  for (int i = 0; i < kBaselineFrames; ++i) DrawFrame();
  const double directSeconds = Seconds(direct);

  g_mapGridBake.enabled = true;
  InvalidateMapGridBake();
  const int tilesBefore = g_mapGridBake.tilesBaked;
  const auto baking = std::chrono::steady_clock::now();
  DrawFrame();
  const double bakeSeconds = Seconds(baking);
  const int tiles = g_mapGridBake.tilesBaked - tilesBefore;

  const auto batched = std::chrono::steady_clock::now();
  const double cpuStart = ProcessCpuSeconds();
  for (auto _ : state) DrawFrame();
  const double cpu = ProcessCpuSeconds() - cpuStart;
  const double took = Seconds(batched);

  const std::vector<uint32_t> baked = ViewPixels();
  g_mapGridBake.enabled = false;
  const std::vector<uint32_t> unbaked = ViewPixels();
  g_mapGridBake.enabled = true;
  state.counters["block_diff"] = WorstBlockDifference(baked, unbaked, g_mapView.viewRight - g_mapView.viewLeft);

  const double fps = static_cast<double>(state.iterations()) / took;
  const double baselineFps = kBaselineFrames / naive;
  state.counters["fps"] = fps;
  state.counters["baseline_fps"] = baselineFps;
  state.counters["ratio"] = fps / baselineFps;
  state.counters["direct_fps"] = kBaselineFrames / directSeconds;
  state.counters["bake_ms"] = bakeSeconds * 1000.0;
  state.counters["baked_tiles"] = tiles;
  // The same by processor time: frames a second the process would draw
  // with its processor time to itself.
  const double frames = static_cast<double>(state.iterations());
  state.counters["cpu_ms"] = cpu * 1000.0 / frames;
  state.counters["cpu_fps"] = frames / cpu;
  state.counters["cpu_ratio"] = (frames / cpu) / (kBaselineFrames / naiveCpu);
  state.counters["zoom"] = g_mapView.zoom;
  state.SetLabel(state.range(1) ? "terrain" : "picture");
  StopSampleWorld();
}
BENCHMARK(BM_MapFrame)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(120);

}  // namespace
