// Clipping with the viewport on the OpenGL device.
#include "app/gfx/clipping.h"

#include <gtest/gtest.h>

#include "app/gfx/gfx_test_support.h"
#include "app/gfx/sprite_batch.h"

namespace {

using gfxtest::GlRendererTest;
using ClippingTest = GlRendererTest;

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kRed = 0xFFFF0000u;

plat::Viewport Current() {
  plat::Viewport vp;
  g_renderer.device->GetViewport(&vp);
  return vp;
}

TEST_F(ClippingTest, ARectangleReachingOffTheScreenIsCutToIt) {
  ClearTo(kBlack);
  ASSERT_EQ(SetClipRect(g_renderer, -5, -5, 10, 10), plat::kOk);
  const plat::Viewport vp = Current();
  EXPECT_EQ(vp.x, 0u);
  EXPECT_EQ(vp.y, 0u);
  EXPECT_EQ(vp.width, 10u);
  EXPECT_EQ(vp.height, 10u);
  EXPECT_EQ(vp.minZ, 0.0f);
  EXPECT_EQ(vp.maxZ, 1.0f);
  const plat::Rect across{0, 0, 40, 40};
  FillSolidRect(&across, g_renderer, kRed);
  RestoreViewport(g_renderer);  // flushes under the clip first
  const gfxtest::Image image = Read();
  for (uint32_t y = 0; y < 40; ++y)
    for (uint32_t x = 0; x < 40; ++x) ASSERT_EQ(image.At(x, y), (x < 10 && y < 10) ? kRed : kBlack) << x << "," << y;
  EXPECT_EQ(Current().width, kWidth);

  ASSERT_EQ(SetClipRect(g_renderer, 100, 90, 200, 200), plat::kOk);
  EXPECT_EQ(Current().width, 28u);
  EXPECT_EQ(Current().height, 6u);
}

TEST_F(ClippingTest, ARectangleWhollyOffTheScreenFailsAndKeepsTheViewport) {
  ASSERT_EQ(SetClipRect(g_renderer, 4, 4, 20, 20), plat::kOk);
  EXPECT_EQ(SetClipRect(g_renderer, 200, 200, 300, 300), plat::kFail);
  EXPECT_EQ(SetClipRect(g_renderer, -20, -20, -5, -5), plat::kFail);
  EXPECT_EQ(SetClipRect(g_renderer, -20, 10, 0, 20), plat::kFail);
  EXPECT_EQ(SetClipRect(g_renderer, 30, 30, 20, 40), plat::kFail);  // inside out
  EXPECT_EQ(Current().x, 4u);
  EXPECT_EQ(Current().width, 16u);
}

TEST_F(ClippingTest, ClearingInsideAViewportClearsOnlyTheViewport) {
  ClearTo(0xFF00FF00u);
  ASSERT_EQ(SetClipRect(g_renderer, 10, 20, 30, 25), plat::kOk);
  ClearBackBuffer(g_renderer);
  const gfxtest::Image image = Read();
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x) {
      const bool inside = x >= 10 && x < 30 && y >= 20 && y < 25;
      ASSERT_EQ(image.At(x, y), inside ? kBlack : 0xFF00FF00u) << x << "," << y;
    }
}

TEST_F(ClippingTest, IntersectAndRestoreBracketClippedDrawing) {
  ClearTo(kBlack);
  ASSERT_EQ(SetClipRect(g_renderer, 10, 10, 50, 50), plat::kOk);
  plat::Viewport saved;
  ASSERT_EQ(IntersectClipRect(&saved, g_renderer, 40, 0, 100, 20), plat::kOk);
  EXPECT_EQ(saved.x, 10u);
  EXPECT_EQ(saved.width, 40u);
  EXPECT_EQ(Current().x, 40u);
  EXPECT_EQ(Current().y, 10u);
  EXPECT_EQ(Current().width, 10u);
  EXPECT_EQ(Current().height, 10u);
  const plat::Rect all{0, 0, 128, 96};
  FillSolidRect(&all, g_renderer, kRed);
  ASSERT_EQ(SetViewportOrDefault(g_renderer, &saved), plat::kOk);
  EXPECT_EQ(Current().x, 10u);
  EXPECT_EQ(Current().width, 40u);
  const gfxtest::Image image = Read();
  EXPECT_EQ(image.At(40, 10), kRed);
  EXPECT_EQ(image.At(49, 19), kRed);
  EXPECT_EQ(image.At(39, 10), kBlack);
  EXPECT_EQ(image.At(40, 20), kBlack);

  // The renderer's own saved viewport when none is given; no overlap fails.
  ASSERT_EQ(IntersectClipRect(nullptr, g_renderer, 0, 0, 20, 20), plat::kOk);
  EXPECT_EQ(g_renderer.savedViewport.width, 40u);
  EXPECT_EQ(IntersectClipRect(nullptr, g_renderer, 60, 60, 70, 70), plat::kFail);
  ASSERT_EQ(SetViewportOrDefault(g_renderer, nullptr), plat::kOk);
  EXPECT_EQ(Current().x, 10u);
  EXPECT_EQ(Current().width, 10u);  // the viewport in force before the failed call
}

TEST_F(ClippingTest, QuadsQueuedBeforeAClipAreDrawnUnclipped) {
  ClearTo(kBlack);
  const plat::Rect all{0, 0, 64, 64};
  FillSolidRect(&all, g_renderer, kRed);
  ASSERT_EQ(SetClipRect(g_renderer, 0, 0, 8, 8), plat::kOk);
  EXPECT_EQ(Read().At(60, 60), kRed);
}

}  // namespace
