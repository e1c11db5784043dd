// Gamma fades: the 128 steps with their waits on an injected clock, the skip
// flag, the refusals, and on the OpenGL device the darkened picture.
#include "app/gfx/gamma_fade.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/gfx/gfx_test_support.h"
#include "app/gfx/sprite_batch.h"

namespace {

using gfxtest::ClockScope;
using gfxtest::FakeClock;
using gfxtest::RecordingDevice;

class GammaFadeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    renderer_.device = &device_;
    renderer_.caps.caps2 = plat::kCaps2FullscreenGamma;
    renderer_.baseRamp = std::make_unique<plat::GammaRamp>();
    for (int i = 0; i < 256; ++i)
      renderer_.baseRamp->red[i] = renderer_.baseRamp->green[i] = renderer_.baseRamp->blue[i] =
          static_cast<uint16_t>(i * 256);
    g_platform.skip = 0;
  }
  void TearDown() override {
    renderer_.device = nullptr;
    g_platform.skip = 0;
  }

  // Checks every step: the ramp is the base lowered by the level (not below
  // zero), and the time to the next step is the wait for that level.
  void CheckSteps(uint32_t firstLevel, int32_t step) {
    ASSERT_EQ(device_.ramps.size(), size_t{kGammaFadeSteps});
    for (size_t s = 0; s < device_.ramps.size(); ++s) {
      const uint32_t level = static_cast<uint32_t>(static_cast<int32_t>(firstLevel) + step * static_cast<int32_t>(s));
      const plat::GammaRamp& r = device_.ramps[s].ramp;
      for (uint32_t i = 0; i < 256; ++i) {
        const uint32_t base = i * 256;
        const uint32_t expected = base < level ? 0 : base - level;
        ASSERT_EQ(r.red[i], expected) << s << " " << i;
        ASSERT_EQ(r.green[i], expected);
        ASSERT_EQ(r.blue[i], expected);
      }
      const uint64_t next = s + 1 < device_.ramps.size() ? device_.ramps[s + 1].atMs : clock_.now;
      ASSERT_EQ(next - device_.ramps[s].atMs, GammaFadeWaitMs(level)) << s;
    }
  }

  Renderer renderer_;
  RecordingDevice device_;
  FakeClock clock_;
};

TEST_F(GammaFadeTest, WaitsByLevel) {
  EXPECT_EQ(GammaFadeWaitMs(0), 15u);
  EXPECT_EQ(GammaFadeWaitMs(0x8000), 15u);
  EXPECT_EQ(GammaFadeWaitMs(0x8001), 7u);
  EXPECT_EQ(GammaFadeWaitMs(0xA000), 7u);
  EXPECT_EQ(GammaFadeWaitMs(0xA001), 1u);
  EXPECT_EQ(GammaFadeWaitMs(0xFF00), 1u);
}

TEST_F(GammaFadeTest, FadeInStepsFromBlackToNearlyTheBaseRamp) {
  ClockScope scope(&clock_);
  const uint64_t start = clock_.now;
  ASSERT_EQ(GammaFadeIn(renderer_, 0), plat::kOk);
  CheckSteps(0xFF00, -0x200);
  // 64 levels up to 0x8000 wait 15 ms, 16 up to 0xA000 wait 7, 48 above wait 1.
  EXPECT_EQ(clock_.now - start, 64u * 15 + 16u * 7 + 48u * 1);
  EXPECT_EQ(device_.ramps.front().ramp.red[255], 0);
  EXPECT_EQ(device_.ramps.back().ramp.red[255], 0xFE00);
}

TEST_F(GammaFadeTest, FadeOutStepsFromTheBaseRampToBlack) {
  ClockScope scope(&clock_);
  const uint64_t start = clock_.now;
  ASSERT_EQ(GammaFadeOut(renderer_, 0), plat::kOk);
  CheckSteps(0, 0x200);
  EXPECT_EQ(clock_.now - start, 65u * 15 + 16u * 7 + 47u * 1);
  EXPECT_EQ(device_.ramps.front().ramp.red[255], 0xFF00);
  EXPECT_EQ(device_.ramps.back().ramp.red[255], 0x100);
}

TEST_F(GammaFadeTest, TheSkipFlagStopsTheFadeAfterOneStep) {
  ClockScope scope(&clock_);
  g_platform.skip = 1;
  ASSERT_EQ(GammaFadeIn(renderer_, 0), plat::kOk);
  EXPECT_EQ(device_.ramps.size(), 1u);
  ASSERT_EQ(GammaFadeOut(renderer_, 0), plat::kOk);
  EXPECT_EQ(device_.ramps.size(), 2u);
  // A key during the fade stops it at the step where it is seen.
  g_platform.skip = 0;
  device_.ramps.clear();
  clock_.onSleep = [this](size_t) {
    if (device_.ramps.size() == 10) g_platform.skip = 1;
  };
  ASSERT_EQ(GammaFadeOut(renderer_, 0), plat::kOk);
  EXPECT_EQ(device_.ramps.size(), 10u);
}

TEST_F(GammaFadeTest, NoBaseRampOrNoGammaCapabilityFails) {
  ClockScope scope(&clock_);
  renderer_.caps.caps2 = 0;
  EXPECT_EQ(GammaFadeIn(renderer_, 0), plat::kFail);
  renderer_.caps.caps2 = plat::kCaps2FullscreenGamma;
  renderer_.baseRamp.reset();
  EXPECT_EQ(GammaFadeOut(renderer_, 0), plat::kFail);
  EXPECT_TRUE(device_.ramps.empty());
  EXPECT_TRUE(clock_.sleeps.empty());
}

using GammaFadeGlTest = gfxtest::GlRendererTest;

TEST_F(GammaFadeGlTest, AFadeToBlackDarkensWhatIsShownButNotTheBackBuffer) {
  FakeClock clock;
  ClockScope scope(&clock);
  ClearTo(0xFFFFFFFFu);
  ASSERT_EQ(g_renderer.device->Present(), plat::kOk);
  ClearTo(0xFF000000u);  // the next frame is being drawn while the fade runs
  ASSERT_EQ(GammaFadeOut(g_renderer, 0), plat::kOk);
  std::vector<uint32_t> shown;
  uint32_t w = 0, h = 0;
  ASSERT_EQ(g_renderer.device->ReadFrontBuffer(&shown, &w, &h), plat::kOk);
  ASSERT_EQ(shown.size(), size_t{w} * h);
  // The last step leaves 0x100 of 0xFF00: level 1 of 255.
  for (uint32_t p : shown) ASSERT_EQ(p, 0xFF010101u);
  EXPECT_EQ(Read().At(5, 5), 0xFF000000u);
  ASSERT_EQ(GammaFadeIn(g_renderer, 0), plat::kOk);
  ASSERT_EQ(g_renderer.device->ReadFrontBuffer(&shown, &w, &h), plat::kOk);
  for (uint32_t p : shown) ASSERT_EQ(p, 0xFFFEFEFEu);
}

}  // namespace
