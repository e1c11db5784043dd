#pragma once
// For the graphics tests: the renderer started on the real OpenGL device
// under the offscreen driver, image files written under a temporary data
// root, a fake device that records gamma ramps and cursor moves, and a clock
// whose sleeps only move its own time.
#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "platform/clock.h"
#include "platform/image_loader.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "support/temp_dir.h"

namespace gfxtest {

inline plat::LResult MainProc(plat::Window* w, uint32_t m, plat::WParam wp, plat::LParam lp) {
  return plat::DefaultWindowProc(w, m, wp, lp);
}

struct Image {
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  uint32_t At(uint32_t x, uint32_t y) const { return pixels[size_t{y} * width + x]; }
};

inline int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFFu); }

// g_renderer on the OpenGL device, 128 x 96, system cursor, 32-bit colour,
// with a temporary data root.
class GlRendererTest : public ::testing::Test {
 protected:
  static constexpr uint32_t kWidth = 128;
  static constexpr uint32_t kHeight = 96;
  // The back buffer's size; a fixture that needs more sets these before SetUp.
  uint32_t width_ = kWidth, height_ = kHeight;

  void SetUp() override {
    plat::ResetMessageQueue();
    plat::RegisterWindowClass({"VDClass", plat::kCsDblClks | plat::kCsOwnDc, MainProc, 104});
    plat::SetGraphicsSystemFactory(nullptr);
    g_app.settingsFlags = kSetUseHWCursor;
    g_app.gamerezx = width_;
    g_app.gamerezy = height_;
    g_app.gamerezbpp = 32;
    g_app.gameadapternum = 0;
    g_platform.mainWindow = nullptr;
    g_platform.deviceCursor = 0;
    g_platform.skip = 0;
    ASSERT_EQ(StartApp(g_renderer, 1), plat::kOk);
    ASSERT_NE(g_renderer.device, nullptr);
    oldRoot_ = plat::DataRoot();
    plat::SetDataRoot(dir_.path());
    g_renderer.lastError = plat::kOk;
  }

  void TearDown() override {
    plat::SetDataRoot(oldRoot_);
    StopApp(g_renderer);
    if (g_platform.mainWindow && plat::IsWindowValid(g_platform.mainWindow))
      plat::DestroyAppWindow(g_platform.mainWindow);
    g_platform.mainWindow = nullptr;
    g_renderer.fullScreen = 0;
    g_renderer.deviceCreationFlag = 0;
    g_app.settingsFlags = 0;
    plat::ResetMessageQueue();
  }

  // Writes a PNG (relative path with slashes) under the data root.
  void WritePng(const std::string& relative, uint32_t w, uint32_t h, const std::vector<uint32_t>& argb,
                bool alpha = true) {
    std::vector<uint8_t> png;
    ASSERT_EQ(plat::EncodePng(w, h, argb.data(), alpha, &png), plat::kOk);
    dir_.Write(relative, std::string(png.begin(), png.end()));
  }

  Image Read() {
    Image image;
    EXPECT_EQ(g_renderer.device->ReadBackBuffer(&image.pixels, &image.width, &image.height), plat::kOk);
    return image;
  }

  // Texels of a texture's image.
  static std::vector<uint32_t> Texels(plat::DeviceTexture* t) {
    plat::SurfaceDesc d;
    t->GetLevelDesc(0, &d);
    plat::Surface* s = nullptr;
    t->GetSurfaceLevel(0, &s);
    std::vector<uint32_t> out(size_t{d.width} * d.height);
    EXPECT_EQ(s->ReadPixels(plat::Rect{0, 0, int32_t(d.width), int32_t(d.height)}, out.data()), plat::kOk);
    delete s;
    return out;
  }

  // Writes texels over a texture's whole image.
  static void Fill(plat::DeviceTexture* t, const std::vector<uint32_t>& texels) {
    plat::SurfaceDesc d;
    t->GetLevelDesc(0, &d);
    plat::Surface* s = nullptr;
    t->GetSurfaceLevel(0, &s);
    EXPECT_EQ(s->WritePixels(plat::Rect{0, 0, int32_t(d.width), int32_t(d.height)}, texels.data()), plat::kOk);
    delete s;
  }

  void ClearTo(uint32_t colour) {
    ASSERT_EQ(g_renderer.device->Clear(0, nullptr, plat::kClearTarget, colour, 1.0f, 0), plat::kOk);
  }

  TempDir dir_;
  std::string oldRoot_;
};

// A device that draws nothing and records what the fades and the cursor
// thread send it.
class RecordingDevice final : public plat::GraphicsDevice {
 public:
  struct RampCall {
    plat::GammaRamp ramp;
    uint64_t atMs;
  };
  std::vector<RampCall> ramps;
  std::vector<plat::Point> cursorMoves;
  std::mutex mutex;

  plat::Status GetDeviceCaps(plat::DeviceCaps* caps) override {
    *caps = plat::DeviceCaps{};
    caps->caps2 = plat::kCaps2FullscreenGamma;
    return plat::kOk;
  }
  plat::Status GetBackBufferDesc(plat::SurfaceDesc* desc) override {
    *desc = plat::SurfaceDesc{};
    return plat::kOk;
  }
  uint32_t GetAvailableTextureMem() override { return 0; }
  plat::Status GetViewport(plat::Viewport* vp) override {
    *vp = plat::Viewport{};
    return plat::kOk;
  }
  plat::Status SetViewport(const plat::Viewport&) override { return plat::kOk; }
  void GetGammaRamp(plat::GammaRamp*) override {}
  void SetGammaRamp(uint32_t, const plat::GammaRamp& ramp) override {
    ramps.push_back({ramp, plat::MonotonicMs()});
  }
  plat::Status Clear(uint32_t, const plat::ClearRect*, uint32_t, uint32_t, float, uint32_t) override {
    return plat::kOk;
  }
  plat::Status BeginScene() override { return plat::kOk; }
  plat::Status EndScene() override { return plat::kOk; }
  plat::Status Present() override { return plat::kOk; }
  plat::Status Reset(const plat::PresentParams&) override { return plat::kOk; }
  plat::Status ReadBackBuffer(std::vector<uint32_t>*, uint32_t*, uint32_t*) override { return plat::kFail; }
  void SetCursorPosition(int32_t x, int32_t y, uint32_t) override {
    std::lock_guard<std::mutex> lock(mutex);
    cursorMoves.push_back({x, y});
  }
};

// Time that moves only when someone sleeps; each sleep is recorded and may
// run a callback (to set an event after so many sleeps).
class FakeClock final : public plat::ClockSource {
 public:
  uint64_t now = 1000;
  std::vector<uint32_t> sleeps;
  std::function<void(size_t sleepsSoFar)> onSleep;

  uint64_t MonotonicMs() override { return now; }
  void SleepMs(uint32_t ms) override {
    sleeps.push_back(ms);
    now += ms;
    if (onSleep) onSleep(sleeps.size());
  }
  plat::LocalTime Now() override { return plat::LocalTime{}; }
};

// Installs the clock for the scope.
class ClockScope {
 public:
  explicit ClockScope(plat::ClockSource* clock) { plat::SetClockSource(clock); }
  ~ClockScope() { plat::SetClockSource(nullptr); }
  ClockScope(const ClockScope&) = delete;
  ClockScope& operator=(const ClockScope&) = delete;
};

}  // namespace gfxtest
