// The renderer's start-up, set-up, reset and shut-down against a recording
// fake graphics system, and once against the real OpenGL device.
#include "app/gfx/renderer.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/app_object.h"
#include "app/gfx/cursor_thread.h"
#include "platform/clock.h"
#include "platform/window.h"

namespace {

using plat::kFmtA8R8G8B8;
using plat::kFmtR5G6B5;
using plat::kFmtR8G8B8;
using plat::kFmtX1R5G5B5;
using plat::kFmtX8R8G8B8;

constexpr plat::Status kDeviceLost = static_cast<plat::Status>(0x88760868u);
constexpr uint32_t kAllSettingBits = (1u << 17) - 1;

struct Attempt {
  uint32_t adapter, width, height;
  bool operator==(const Attempt&) const = default;
};

struct Check {
  uint32_t adapter;
  int32_t format;
  bool operator==(const Check&) const = default;
};

// What the fake system and device are told to do, and what they saw.
struct FakeWorld {
  // Device creation succeeds only for this adapter and size (width 0: never).
  Attempt accept{0, 0, 0};
  bool acceptAny = false;
  std::vector<Attempt> attempts;
  std::vector<uint32_t> behaviourFlags;
  // CheckDeviceType passes for these (adapter, format) pairs.
  std::vector<Check> supported;
  std::vector<Check> checks;
  uint32_t adapterCount = 2;
  uint32_t textureMemory = 256u * 1024u * 1024u;
  uint32_t cursorCaps = plat::kCursorCapsColor;
  bool capsFail = false;
  plat::Status resetResult = plat::kOk;
  int devicesAlive = 0;
  int systemsAlive = 0;
  int backBufferTakes = 0;
  int resets = 0;
  int capsReads = 0;
  plat::PresentParams lastReset;
  std::vector<plat::PresentParams> created;
  struct ClearCall {
    uint32_t count, flags, colour;
    float z;
    uint32_t stencil;
  };
  std::vector<ClearCall> clears;
  int endScenes = 0;
};

FakeWorld* g_fake = nullptr;

class FakeDevice final : public plat::GraphicsDevice {
 public:
  explicit FakeDevice(const plat::PresentParams& params) : params_(params) { ++g_fake->devicesAlive; }
  ~FakeDevice() override { --g_fake->devicesAlive; }

  plat::Status GetDeviceCaps(plat::DeviceCaps* caps) override {
    ++g_fake->capsReads;
    if (g_fake->capsFail) return plat::kFail;
    *caps = plat::DeviceCaps{};
    caps->caps2 = plat::kCaps2FullscreenGamma;
    caps->cursorCaps = g_fake->cursorCaps;
    caps->maxTextureWidth = caps->maxTextureHeight = 4096;
    return plat::kOk;
  }
  plat::Status GetBackBufferDesc(plat::SurfaceDesc* desc) override {
    *desc = plat::SurfaceDesc{};
    desc->format = params_.backBufferFormat;
    desc->width = params_.backBufferWidth;
    desc->height = params_.backBufferHeight;
    return plat::kOk;
  }
  uint32_t GetAvailableTextureMem() override { return g_fake->textureMemory; }
  plat::Status GetViewport(plat::Viewport* vp) override {
    *vp = plat::Viewport{0, 0, params_.backBufferWidth, params_.backBufferHeight, 0.0f, 1.0f};
    return plat::kOk;
  }
  plat::Status SetViewport(const plat::Viewport&) override { return plat::kOk; }
  void GetGammaRamp(plat::GammaRamp* ramp) override {
    // A device ramp that is not the identity, so that overwriting shows.
    for (int i = 0; i < 256; ++i) ramp->red[i] = ramp->green[i] = ramp->blue[i] = 7;
  }
  void SetGammaRamp(uint32_t, const plat::GammaRamp&) override {}
  plat::Status Clear(uint32_t count, const plat::ClearRect*, uint32_t flags, uint32_t colour, float z,
                     uint32_t stencil) override {
    g_fake->clears.push_back({count, flags, colour, z, stencil});
    return plat::kOk;
  }
  plat::Status BeginScene() override { return plat::kOk; }
  plat::Status EndScene() override {
    ++g_fake->endScenes;
    return plat::kOk;
  }
  plat::Status Present() override { return plat::kOk; }
  plat::Status Reset(const plat::PresentParams& params) override {
    ++g_fake->resets;
    g_fake->lastReset = params;
    if (plat::Succeeded(g_fake->resetResult)) params_ = params;
    return g_fake->resetResult;
  }
  plat::Status ReadBackBuffer(std::vector<uint32_t>*, uint32_t*, uint32_t*) override { return plat::kFail; }
  plat::Status GetBackBuffer(plat::Surface** surface) override {
    ++g_fake->backBufferTakes;
    *surface = plat::CreateMemorySurface(params_.backBufferWidth, params_.backBufferHeight, plat::kFmtX8R8G8B8);
    return plat::kOk;
  }

 private:
  plat::PresentParams params_;
};

class FakeSystem final : public plat::GraphicsSystem {
 public:
  FakeSystem() { ++g_fake->systemsAlive; }
  ~FakeSystem() override { --g_fake->systemsAlive; }
  uint32_t GetAdapterCount() override { return g_fake->adapterCount; }
  plat::Status GetAdapterDisplayMode(uint32_t adapter, plat::DisplayMode* mode) override {
    if (adapter >= g_fake->adapterCount) return plat::kInvalidArg;
    *mode = plat::DisplayMode{1600, 1200, 60, kFmtX8R8G8B8};
    return plat::kOk;
  }
  plat::Status CheckDeviceType(uint32_t adapter, int32_t displayFormat, int32_t backBufferFormat, bool) override {
    EXPECT_EQ(displayFormat, backBufferFormat);
    g_fake->checks.push_back({adapter, displayFormat});
    for (const Check& c : g_fake->supported)
      if (c == Check{adapter, displayFormat}) return plat::kOk;
    return plat::kFail;
  }
  plat::Status CreateDevice(uint32_t adapter, plat::Window*, uint32_t flags, plat::PresentParams* params,
                            plat::GraphicsDevice** device) override {
    *device = nullptr;
    const Attempt attempt{adapter, params->backBufferWidth, params->backBufferHeight};
    g_fake->attempts.push_back(attempt);
    g_fake->behaviourFlags.push_back(flags);
    g_fake->created.push_back(*params);
    if (!g_fake->acceptAny && !(attempt == g_fake->accept)) return plat::kFail;
    *device = new FakeDevice(*params);
    return plat::kOk;
  }
};

plat::GraphicsSystem* MakeFakeSystem() { return new FakeSystem; }

plat::LResult MainProc(plat::Window* window, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
  return plat::DefaultWindowProc(window, message, wParam, lParam);
}

// Every test starts from default settings and no device, with the main
// window's class registered.
class RendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::ResetMessageQueue();
    plat::RegisterWindowClass({"VDClass", plat::kCsDblClks | plat::kCsOwnDc, MainProc, 104});
    g_fake = &fake_;
    plat::SetGraphicsSystemFactory(MakeFakeSystem);
    g_app.settingsFlags = 0;
    g_app.gamerezx = 320;
    g_app.gamerezy = 240;
    g_app.gamerezbpp = 32;
    g_app.gameadapternum = 0;
    g_app.soundSimDef = 0;
    g_platform.mainWindow = nullptr;
    g_platform.clientRect = plat::Rect{};
    fake_.supported = {{0, kFmtR5G6B5}, {0, kFmtX1R5G5B5}, {0, kFmtX8R8G8B8}, {0, kFmtA8R8G8B8},
                       {1, kFmtR5G6B5}, {1, kFmtX1R5G5B5}, {1, kFmtX8R8G8B8}, {1, kFmtA8R8G8B8}};
  }

  void TearDown() override {
    StopApp(g_renderer);
    if (g_platform.mainWindow && plat::IsWindowValid(g_platform.mainWindow))
      plat::DestroyAppWindow(g_platform.mainWindow);
    g_platform.mainWindow = nullptr;
    g_renderer.fullScreen = 0;
    g_renderer.deviceCreationFlag = 0;
    plat::SetGraphicsSystemFactory(nullptr);
    g_fake = nullptr;
    plat::ResetMessageQueue();
  }

  // A renderer of its own for ChooseDisplayFormat, with a fake system.
  struct LocalRenderer {
    Renderer r;
    LocalRenderer() {
      r.d3d = new FakeSystem;
      r.deviceCreationFlag = 1;
      r.fullScreen = 1;
    }
    ~LocalRenderer() { delete r.d3d; }
  };

  FakeWorld fake_;
};

TEST_F(RendererTest, RefusedAdapterOneFallsBackToAdapterZeroThenTo1024x768) {
  g_app.gameadapternum = 1;
  g_app.gamerezx = 1280;
  g_app.gamerezy = 1024;
  fake_.accept = {0, 1024, 768};
  ASSERT_EQ(StartApp(g_renderer, 1), plat::kOk);
  const std::vector<Attempt> expected = {{1, 1280, 1024}, {0, 1280, 1024}, {0, 1024, 768}};
  EXPECT_EQ(fake_.attempts, expected);
  ASSERT_NE(g_renderer.device, nullptr);
  EXPECT_EQ(g_renderer.adapter, 0u);
  for (uint32_t flags : fake_.behaviourFlags) EXPECT_EQ(flags, 0x26u);
  for (const plat::PresentParams& p : fake_.created) {
    EXPECT_EQ(p.swapEffect, plat::kSwapEffectCopy);
    EXPECT_FALSE(p.windowed);
    EXPECT_EQ(p.backBufferFormat, kFmtX8R8G8B8);
    EXPECT_EQ(p.deviceWindow, g_platform.mainWindow);
  }
  EXPECT_EQ(g_renderer.backBufferDesc.width, 1024u);
  EXPECT_EQ(g_renderer.backBufferDesc.height, 768u);
  EXPECT_EQ(g_renderer.mipLevels, 1u);
  EXPECT_EQ(g_renderer.fullScreen, 1);
  // The settings keep what the player chose.
  EXPECT_EQ(g_app.gamerezx, 1280);
  EXPECT_EQ(g_app.gameadapternum, 1);

  StopApp(g_renderer);
  EXPECT_EQ(g_renderer.device, nullptr);
  EXPECT_EQ(g_renderer.d3d, nullptr);
  EXPECT_EQ(fake_.devicesAlive, 0);
  EXPECT_EQ(fake_.systemsAlive, 0);
}

TEST_F(RendererTest, OnAdapterZeroTheLadderGoesTo1024x768Then800x600) {
  g_app.gamerezx = 1600;
  g_app.gamerezy = 1200;
  fake_.accept = {0, 800, 600};
  ASSERT_EQ(StartApp(g_renderer, 1), plat::kOk);
  const std::vector<Attempt> expected = {{0, 1600, 1200}, {0, 1024, 768}, {0, 800, 600}};
  EXPECT_EQ(fake_.attempts, expected);
  // The window covers the display at the size the device got.
  EXPECT_EQ(g_platform.clientRect.right, 800);
  EXPECT_EQ(g_platform.clientRect.bottom, 600);
}

TEST_F(RendererTest, ThreeRefusalsFailTheStartAndLeaveNothing) {
  g_app.gameadapternum = 1;
  g_app.gamerezx = 1280;
  g_app.gamerezy = 1024;
  fake_.accept = {0, 0, 0};
  EXPECT_EQ(StartApp(g_renderer, 1), plat::kFail);
  const std::vector<Attempt> expected = {{1, 1280, 1024}, {0, 1280, 1024}, {0, 1024, 768}};
  EXPECT_EQ(fake_.attempts, expected);
  EXPECT_EQ(g_renderer.device, nullptr);
  EXPECT_EQ(g_renderer.d3d, nullptr);
  EXPECT_EQ(fake_.devicesAlive, 0);
  EXPECT_EQ(fake_.systemsAlive, 0);
  EXPECT_EQ(g_platform.mainWindow, nullptr);
  EXPECT_EQ(g_renderer.cursorThread, nullptr);
}

TEST_F(RendererTest, AFailingDeviceSetUpFailsTheStart) {
  fake_.acceptAny = true;
  fake_.capsFail = true;
  EXPECT_EQ(StartApp(g_renderer, 1), plat::kFail);
  EXPECT_EQ(fake_.attempts.size(), 1u);
  EXPECT_EQ(g_renderer.device, nullptr);
  EXPECT_EQ(fake_.devicesAlive, 0);
  EXPECT_EQ(fake_.systemsAlive, 0);
}

TEST_F(RendererTest, Bpp24OnAnAdapterRejectingR8G8B8TakesTheFirstOf23_24_22_20ThatPasses) {
  g_app.gamerezbpp = 24;
  {
    LocalRenderer lr;
    ChooseDisplayFormat(lr.r, g_app, 1ull << 32);
    EXPECT_EQ(lr.r.presentParams.backBufferFormat, kFmtR5G6B5);
    const std::vector<Check> expected = {{0, kFmtR8G8B8}, {0, kFmtR5G6B5}};
    EXPECT_EQ(fake_.checks, expected);
  }
  fake_.checks.clear();
  fake_.supported = {{0, kFmtX8R8G8B8}};
  {
    LocalRenderer lr;
    ChooseDisplayFormat(lr.r, g_app, 1ull << 32);
    EXPECT_EQ(lr.r.presentParams.backBufferFormat, kFmtX8R8G8B8);
    const std::vector<Check> expected = {{0, kFmtR8G8B8}, {0, kFmtR5G6B5}, {0, kFmtX1R5G5B5}, {0, kFmtX8R8G8B8}};
    EXPECT_EQ(fake_.checks, expected);
  }
  // Nothing passes: the first candidate stays.
  fake_.supported.clear();
  g_app.gamerezbpp = 15;
  {
    LocalRenderer lr;
    ChooseDisplayFormat(lr.r, g_app, 1ull << 32);
    EXPECT_EQ(lr.r.presentParams.backBufferFormat, kFmtX1R5G5B5);
  }
}

TEST_F(RendererTest, ARefusalOnAnotherAdapterMovesToAdapterZeroForTheSameFormat) {
  g_app.gameadapternum = 1;
  g_app.gamerezbpp = 31;
  fake_.supported = {{0, kFmtA8R8G8B8}};
  LocalRenderer lr;
  ChooseDisplayFormat(lr.r, g_app, 1ull << 32);
  const std::vector<Check> expected = {{1, kFmtA8R8G8B8}, {0, kFmtA8R8G8B8}};
  EXPECT_EQ(fake_.checks, expected);
  EXPECT_EQ(lr.r.adapter, 0u);
  EXPECT_EQ(lr.r.presentParams.backBufferFormat, kFmtA8R8G8B8);
}

TEST_F(RendererTest, FirstCandidatesByBitsPerPixel) {
  const std::pair<int32_t, int32_t> cases[] = {
      {15, kFmtX1R5G5B5}, {16, kFmtR5G6B5}, {31, kFmtA8R8G8B8}, {32, kFmtX8R8G8B8}, {8, kFmtR5G6B5}};
  for (auto [bpp, format] : cases) {
    g_app.gamerezbpp = bpp;
    fake_.checks.clear();
    LocalRenderer lr;
    ChooseDisplayFormat(lr.r, g_app, 1ull << 32);
    ASSERT_FALSE(fake_.checks.empty());
    EXPECT_EQ(fake_.checks.front().format, format) << bpp;
    EXPECT_EQ(lr.r.presentParams.backBufferFormat, format) << bpp;
  }
}

TEST_F(RendererTest, ZeroSizeAndDepthTakeTheDefaults) {
  g_app.gamerezx = 0;
  g_app.gamerezy = 768;
  g_app.gamerezbpp = 0;
  LocalRenderer lr;
  ChooseDisplayFormat(lr.r, g_app, 1ull << 32);
  EXPECT_EQ(g_app.gamerezx, 800);
  EXPECT_EQ(g_app.gamerezy, 600);
  EXPECT_EQ(g_app.gamerezbpp, 16);
  EXPECT_EQ(lr.r.presentParams.backBufferWidth, 800u);
  EXPECT_EQ(lr.r.presentParams.backBufferHeight, 600u);
  EXPECT_EQ(lr.r.presentParams.backBufferFormat, kFmtR5G6B5);

  g_app.gamerezx = 1024;
  g_app.gamerezy = 0;
  ChooseDisplayFormat(lr.r, g_app, 1ull << 32);
  EXPECT_EQ(g_app.gamerezx, 800);
  EXPECT_EQ(g_app.gamerezy, 600);
}

TEST_F(RendererTest, WithoutTheCreationFlagNothingIsChosen) {
  g_app.gamerezx = 0;
  LocalRenderer lr;
  lr.r.deviceCreationFlag = 0;
  ChooseDisplayFormat(lr.r, g_app, 1000);
  EXPECT_EQ(g_app.gamerezx, 0);
  EXPECT_TRUE(fake_.checks.empty());
  EXPECT_EQ(lr.r.presentParams.backBufferWidth, 0u);
}

TEST_F(RendererTest, LowPhysicalMemoryDropsTheSixHiresBitsAndTheDepth) {
  g_app.settingsFlags = kAllSettingBits;
  g_app.gamerezbpp = 32;
  g_app.soundSimDef = 5;
  {
    LocalRenderer lr;
    ChooseDisplayFormat(lr.r, g_app, 250000000);
  }
  EXPECT_EQ(g_app.settingsFlags, kAllSettingBits);
  EXPECT_EQ(g_app.gamerezbpp, 32);
  EXPECT_EQ(g_app.soundSimDef, 5);
  {
    LocalRenderer lr;
    ChooseDisplayFormat(lr.r, g_app, 249999999);
    EXPECT_EQ(lr.r.presentParams.backBufferFormat, kFmtR5G6B5);
  }
  const uint32_t six =
      kSetVDBitshires | kSetTbitshires | kSetUbitshires | kSetUnitbitshires | kSetMapbackhires | kSetMapbasehires;
  EXPECT_EQ(g_app.settingsFlags, kAllSettingBits & ~six);
  EXPECT_TRUE(g_app.Flag(kSetLoadingbitshires));
  EXPECT_TRUE(g_app.Flag(kSetBackbufhires));
  EXPECT_TRUE(g_app.Flag(kSetMinimapbasevidmem));
  EXPECT_EQ(g_app.gamerezbpp, 16);
  EXPECT_EQ(g_app.soundSimDef, 2);
}

TEST_F(RendererTest, LowTextureMemoryClearsExactlyTheSixHiresBits) {
  fake_.acceptAny = true;
  fake_.textureMemory = 40000000;
  g_app.settingsFlags = kAllSettingBits;
  ASSERT_EQ(StartApp(g_renderer, 1), plat::kOk);
  EXPECT_EQ(g_app.settingsFlags, kAllSettingBits);

  fake_.textureMemory = 39999999;
  ASSERT_EQ(SetupDeviceState(g_renderer), plat::kOk);
  const uint32_t six =
      kSetVDBitshires | kSetTbitshires | kSetUbitshires | kSetUnitbitshires | kSetMapbackhires | kSetMapbasehires;
  EXPECT_EQ(g_app.settingsFlags, kAllSettingBits & ~six);
}

TEST_F(RendererTest, SetUpReadsTheDeviceAndMakesTheBaseRampTheIdentity) {
  fake_.acceptAny = true;
  ASSERT_EQ(StartApp(g_renderer, 1), plat::kOk);
  ASSERT_NE(g_renderer.baseRamp, nullptr);
  ASSERT_NE(g_renderer.customRamp, nullptr);
  for (int i = 0; i < 256; ++i) {
    ASSERT_EQ(g_renderer.baseRamp->red[i], i * 256);
    ASSERT_EQ(g_renderer.baseRamp->green[i], i * 256);
    ASSERT_EQ(g_renderer.baseRamp->blue[i], i * 256);
  }
  EXPECT_EQ(g_renderer.caps.caps2, plat::kCaps2FullscreenGamma);
  EXPECT_EQ(g_renderer.backBufferDesc.width, 320u);
  EXPECT_EQ(g_renderer.backBufferDesc.format, kFmtX8R8G8B8);
  EXPECT_EQ(g_renderer.viewport.width, 320u);
  EXPECT_EQ(g_renderer.viewport.height, 240u);
  EXPECT_EQ(g_platform.clientRect.left, 0);
  EXPECT_EQ(g_platform.clientRect.right, 320);
  EXPECT_EQ(g_platform.clientRect.bottom, 240);
  EXPECT_EQ(g_renderer.displayMode.width, 1600u);
}

TEST_F(RendererTest, ActivationResetsWithTheRenderersParametersAndSetsUpAgain) {
  EXPECT_EQ(AppWindowActivate(g_renderer, nullptr), plat::kOk);  // no device yet
  EXPECT_EQ(fake_.resets, 0);
  fake_.acceptAny = true;
  ASSERT_EQ(StartApp(g_renderer, 1), plat::kOk);
  const int reads = fake_.capsReads;
  ASSERT_EQ(AppWindowActivate(g_renderer, nullptr), plat::kOk);
  EXPECT_EQ(fake_.resets, 1);
  EXPECT_EQ(fake_.lastReset.backBufferWidth, 320u);
  EXPECT_EQ(fake_.capsReads, reads + 1);

  plat::PresentParams other = g_renderer.presentParams;
  other.backBufferWidth = 200;
  other.backBufferHeight = 100;
  ASSERT_EQ(AppWindowActivate(g_renderer, &other), plat::kOk);
  EXPECT_EQ(fake_.lastReset.backBufferWidth, 200u);
  EXPECT_EQ(g_renderer.backBufferDesc.width, 200u);
  EXPECT_EQ(g_renderer.viewport.height, 100u);

  fake_.resetResult = kDeviceLost;
  EXPECT_EQ(AppWindowActivate(g_renderer, nullptr), kDeviceLost);
  EXPECT_EQ(fake_.capsReads, reads + 2);  // no set-up after a failed reset
  EXPECT_EQ(g_renderer.backBufferDesc.width, 200u);
}

TEST_F(RendererTest, ClearAndEndSceneReachTheDevice) {
  ClearBackBuffer(g_renderer);  // no device: nothing happens
  EndSceneAndFlush(g_renderer);
  fake_.acceptAny = true;
  ASSERT_EQ(StartApp(g_renderer, 1), plat::kOk);
  ClearBackBuffer(g_renderer);
  ASSERT_EQ(fake_.clears.size(), 1u);
  EXPECT_EQ(fake_.clears[0].count, 0u);
  EXPECT_EQ(fake_.clears[0].colour, 0xFF000000u);
  EXPECT_EQ(fake_.clears[0].flags, plat::kClearTarget | plat::kClearZBuffer);
  EXPECT_EQ(fake_.clears[0].z, 1.0f);
  EXPECT_EQ(fake_.clears[0].stencil, 0u);
  EndSceneAndFlush(g_renderer);
  EXPECT_EQ(fake_.endScenes, 1);
}

struct CursorCase {
  bool useHwCursor;
  bool overrideDefault;
  uint32_t cursorCaps;
  bool threadExpected;
};

TEST_F(RendererTest, TheCursorThreadRunsWithoutAColourCursorOrWhenOverridden) {
  const CursorCase cases[] = {
      {false, false, 0, true}, {false, false, plat::kCursorCapsColor, false},
      {false, true, 0, false}, {false, true, plat::kCursorCapsColor, true},
      {true, false, 0, false}, {true, true, plat::kCursorCapsColor, false},
  };
  fake_.acceptAny = true;
  for (const CursorCase& c : cases) {
    g_app.SetFlag(kSetUseHWCursor, c.useHwCursor);
    g_app.SetFlag(kSetOverrideCurThreadDef, c.overrideDefault);
    fake_.cursorCaps = c.cursorCaps;
    ASSERT_EQ(StartApp(g_renderer, 1), plat::kOk);
    EXPECT_EQ(g_renderer.cursorThread != nullptr, c.threadExpected)
        << c.useHwCursor << c.overrideDefault << c.cursorCaps;
    if (c.threadExpected) {
      ASSERT_NE(g_renderer.cursorStop, nullptr);
      ASSERT_NE(g_renderer.cursorWake, nullptr);
      EXPECT_FALSE(g_renderer.cursorStop->IsSet());
      EXPECT_FALSE(g_renderer.cursorWake->IsSet());
      EXPECT_TRUE(g_renderer.cursorStop->manualReset());
      EXPECT_TRUE(g_renderer.cursorWake->manualReset());
      EXPECT_EQ(g_renderer.cursorThread->Priority(), plat::Thread::kPriorityTimeCritical);
      EXPECT_TRUE(g_renderer.cursorThread->Running());
      g_renderer.cursorWake->Set();  // running, not just blocked, when stopped
    }
    StopApp(g_renderer);
    EXPECT_EQ(g_renderer.cursorThread, nullptr);
    EXPECT_EQ(g_renderer.cursorStop, nullptr);
    EXPECT_EQ(g_renderer.cursorWake, nullptr);
    plat::DestroyAppWindow(g_platform.mainWindow);
    g_platform.mainWindow = nullptr;
  }
}

TEST(CursorThreadTest, BlocksUntilWokenAndEndsWithCode23OnStop) {
  Renderer r;
  plat::Event stop(true, false), wake(true, false);
  r.cursorStop = &stop;
  r.cursorWake = &wake;
  plat::Thread thread;
  ASSERT_TRUE(thread.Start([&r] { return CursorThreadMain(r); }));
  EXPECT_FALSE(thread.Wait(30));  // blocked: nothing set
  wake.Set();
  EXPECT_FALSE(thread.Wait(30));  // polling while woken
  stop.Set();
  ASSERT_TRUE(thread.Wait(10000));
  EXPECT_EQ(thread.ExitCode(), kCursorThreadExitCode);
  EXPECT_EQ(kCursorThreadExitCode, 23u);
}

// The real OpenGL device under the offscreen driver.
class RendererGlTest : public RendererTest {
 protected:
  void SetUp() override {
    RendererTest::SetUp();
    plat::SetGraphicsSystemFactory(nullptr);
  }
};

TEST_F(RendererGlTest, StartsClearsResetsAndStops) {
  g_app.gamerezx = 64;
  g_app.gamerezy = 48;
  g_app.SetFlag(kSetUseHWCursor, true);
  const uint32_t before = plat::TickCount();
  ASSERT_EQ(StartApp(g_renderer, 1), plat::kOk);
  const uint32_t after = plat::TickCount();
  ASSERT_NE(g_renderer.device, nullptr);
  EXPECT_LE(g_renderer.creationTime - before, after - before);
  EXPECT_EQ(g_renderer.backBufferDesc.width, 64u);
  EXPECT_EQ(g_renderer.backBufferDesc.height, 48u);
  EXPECT_EQ(g_platform.clientRect.right, 64);
  EXPECT_EQ(g_platform.clientRect.bottom, 48);
  EXPECT_NE(g_renderer.caps.caps2 & plat::kCaps2FullscreenGamma, 0u);

  ASSERT_EQ(g_renderer.device->Clear(0, nullptr, plat::kClearTarget, 0xFF808080u, 1.0f, 0), plat::kOk);
  ClearBackBuffer(g_renderer);
  std::vector<uint32_t> pixels;
  uint32_t w = 0, h = 0;
  ASSERT_EQ(g_renderer.device->ReadBackBuffer(&pixels, &w, &h), plat::kOk);
  ASSERT_EQ(w, 64u);
  ASSERT_EQ(h, 48u);
  for (uint32_t p : pixels) ASSERT_EQ(p, 0xFF000000u);
  EXPECT_EQ(g_renderer.device->Present(), plat::kOk);

  ASSERT_EQ(AppWindowActivate(g_renderer, nullptr), plat::kOk);
  EXPECT_EQ(g_renderer.viewport.width, 64u);
  StopApp(g_renderer);
  EXPECT_EQ(g_renderer.device, nullptr);
  EXPECT_EQ(g_renderer.d3d, nullptr);
}

}  // namespace
