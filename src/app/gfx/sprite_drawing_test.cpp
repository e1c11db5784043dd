// The 2D helpers drawn on the OpenGL device: solid rectangles, bevelled
// boxes and flipped textures.
#include <gtest/gtest.h>

#include <memory>

#include "app/gfx/gfx_test_support.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"

namespace {

using gfxtest::GlRendererTest;
using DrawingTest = GlRendererTest;

constexpr uint32_t kBlack = 0xFF000000u;

TEST(BevelShadesTest, LightIsHalfwayToWhiteAndDarkIsHalfAlphaKept) {
  EXPECT_EQ(BevelLight(0xFF804020u), 0xFFBF9F8Fu);  // (128 + 255) / 2, (64 + 255) / 2, (32 + 255) / 2
  EXPECT_EQ(BevelDark(0xFF804020u), 0xFF402010u);
  EXPECT_EQ(BevelLight(0x40000000u), 0x407F7F7Fu);
  EXPECT_EQ(BevelDark(0x40FFFFFFu), 0x407F7F7Fu);
}

TEST_F(DrawingTest, FillSolidRectCoversItsRectangleExactly) {
  ClearTo(kBlack);
  const plat::Rect r{3, 5, 9, 7};
  ASSERT_EQ(FillSolidRect(&r, g_renderer, 0xFF336699u), plat::kOk);
  FlushSpriteBatches(g_renderer);
  const gfxtest::Image image = Read();
  for (uint32_t y = 0; y < 12; ++y)
    for (uint32_t x = 0; x < 12; ++x)
      ASSERT_EQ(image.At(x, y), (x >= 3 && x < 9 && y >= 5 && y < 7) ? 0xFF336699u : kBlack) << x << "," << y;
  EXPECT_EQ(FillSolidRect(nullptr, g_renderer, 0), plat::kInvalidArg);
}

TEST_F(DrawingTest, ABorderOfTwoAroundTenToTwentyDrawsStripsOnEightToTwentyTwo) {
  ClearTo(kBlack);
  const uint32_t colour = 0xFF804020u;
  ASSERT_EQ(DrawBevelBox(colour, g_renderer, 10, 10, 20, 20, 1, 0, 2, kBevelRaised), plat::kOk);
  FlushSpriteBatches(g_renderer);
  const gfxtest::Image image = Read();
  const uint32_t light = BevelLight(colour), dark = BevelDark(colour);
  for (uint32_t y = 0; y < 30; ++y)
    for (uint32_t x = 0; x < 30; ++x) {
      uint32_t expected = kBlack;  // outside, and inside with no fill
      const bool inBox = x >= 8 && x < 22 && y >= 8 && y < 22;
      if (inBox) {
        if (y < 10 || x < 10) expected = light;            // top, left
        if (y >= 20 || x >= 20) expected = dark;           // bottom, right, drawn after
        if (x >= 10 && x < 20 && y >= 10 && y < 20) expected = kBlack;
      }
      ASSERT_EQ(image.At(x, y), expected) << x << "," << y;
    }
}

TEST_F(DrawingTest, SunkenAndPlainBordersAndAnInsideBorderWithAFill) {
  ClearTo(kBlack);
  const uint32_t colour = 0xFF806040u;
  ASSERT_EQ(DrawBevelBox(colour, g_renderer, 10, 10, 20, 20, 1, 0, 2, kBevelSunken | 0x100), plat::kOk);
  ASSERT_EQ(DrawBevelBox(colour, g_renderer, 40, 10, 50, 20, 1, 0, 1, 0), plat::kOk);
  ASSERT_EQ(DrawBevelBox(colour, g_renderer, 60, 10, 70, 20, 0, 0xFF0000FFu, -3, kBevelRaised), plat::kOk);
  FlushSpriteBatches(g_renderer);
  const gfxtest::Image image = Read();
  EXPECT_EQ(image.At(15, 8), BevelDark(colour));   // sunken: dark above
  EXPECT_EQ(image.At(15, 21), BevelLight(colour));  // and light below
  EXPECT_EQ(image.At(45, 9), colour);               // plain: one colour
  EXPECT_EQ(image.At(50, 15), colour);
  EXPECT_EQ(image.At(51, 15), kBlack);
  EXPECT_EQ(image.At(59, 15), kBlack);              // inside border: nothing outside the box
  EXPECT_EQ(image.At(60, 15), BevelLight(colour));
  EXPECT_EQ(image.At(62, 15), BevelLight(colour));
  EXPECT_EQ(image.At(65, 15), 0xFF0000FFu);         // the fill in the middle
  EXPECT_EQ(image.At(67, 15), BevelDark(colour));
  EXPECT_EQ(image.At(69, 19), BevelDark(colour));
}

TEST_F(DrawingTest, AnEmptyBoxIsRefusedAndDrawsNothing) {
  ClearTo(kBlack);
  EXPECT_EQ(DrawBevelBox(0xFFFFFFFFu, g_renderer, 10, 10, 10, 20, 0, 0xFFFFFFFFu, 2, 1), plat::kInvalidArg);
  EXPECT_EQ(DrawBevelBox(0xFFFFFFFFu, g_renderer, 10, 20, 20, 19, 0, 0xFFFFFFFFu, 2, 1), plat::kInvalidArg);
  EXPECT_EQ(DrawBevelBox(0xFFFFFFFFu, g_renderer, 10, 10, 11, 11, 0, 0xFFFFFFFFu, 0, 1), plat::kOk);
  FlushSpriteBatches(g_renderer);
  const gfxtest::Image image = Read();
  EXPECT_EQ(image.At(10, 10), 0xFFFFFFFFu);
  EXPECT_EQ(image.At(9, 10), kBlack);
  EXPECT_EQ(image.At(10, 12), kBlack);
}

TEST_F(DrawingTest, DrawTextureFlippedPlacesAndMirrorsAsItsArgumentsSay) {
  ClearTo(kBlack);
  Texture tex(plat::kFmtA8R8G8B8, 4, 2, 0, 0);
  Fill(tex.deviceTexture, {0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u,  //
                           0xFF000005u, 0xFF000006u, 0xFF000007u, 0xFF000008u});
  // No rectangles: the whole texture at (0, 0).
  ASSERT_EQ(DrawTextureFlipped(nullptr, nullptr, kFlipHorizontal, &tex, g_renderer, 0xFFFFFFFFu), plat::kOk);
  // A source rectangle mirrored both ways, at the destination rectangle.
  const plat::Rect src{1, 0, 3, 2};
  const plat::Rect dst{20, 10, 22, 12};
  ASSERT_EQ(DrawTextureFlipped(&dst, &src, kFlipHorizontal | kFlipVertical, &tex, g_renderer, 0xFFFFFFFFu),
            plat::kOk);
  // Source rectangle only: placed at (0, 4).
  const plat::Rect row{0, 1, 4, 2};
  FlushSpriteBatches(g_renderer);
  const gfxtest::Image first = Read();
  EXPECT_EQ(first.At(0, 0), 0xFF000001u);  // no source rectangle: flags ignored
  EXPECT_EQ(first.At(3, 1), 0xFF000008u);
  EXPECT_EQ(first.At(4, 0), kBlack);
  EXPECT_EQ(first.At(20, 10), 0xFF000007u);
  EXPECT_EQ(first.At(21, 10), 0xFF000006u);
  EXPECT_EQ(first.At(20, 11), 0xFF000003u);
  EXPECT_EQ(first.At(21, 11), 0xFF000002u);
  ClearTo(kBlack);
  ASSERT_EQ(DrawTextureFlipped(nullptr, &row, 0, &tex, g_renderer, 0xFFFFFFFFu), plat::kOk);
  FlushSpriteBatches(g_renderer);
  const gfxtest::Image second = Read();
  EXPECT_EQ(second.At(0, 0), 0xFF000005u);
  EXPECT_EQ(second.At(3, 0), 0xFF000008u);
  EXPECT_EQ(second.At(0, 1), kBlack);
  EXPECT_EQ(DrawTextureFlipped(nullptr, nullptr, 0, nullptr, g_renderer, 0xFFFFFFFFu), plat::kInvalidArg);
  EXPECT_EQ(g_renderer.batch.filterMode, kFilterModeLinear);
}

TEST_F(DrawingTest, FillRect2DFillsAndOutlinesInsideItsBoxFlatOrAsAButton) {
  constexpr uint32_t kFill = 0xFF0000FFu, kLine = 0xFF808080u;
  struct Row {
    const char* what;
    int32_t frameStyle, width, mode;
    uint32_t middle, topLeft, bottomRight;  // at (15, 15), (10, 10) and (19, 19)
  };
  const Row rows[] = {
      {"fill only", 0, 0, kFillModePlain, kFill, kFill, kFill},
      {"fill and flat outline", 0, 2, kFillModePlain, kFill, kLine, kLine},
      {"outline only", 1, 2, kFillModePlain, kBlack, kLine, kLine},
      {"outline of nothing", 1, 0, kFillModePlain, kBlack, kBlack, kBlack},
      {"button", 0, 1, kFillModeButton, kFill, BevelLight(kLine), BevelDark(kLine)},
      {"selected button", 0, 1, kFillModeButtonSelected, kFill, BevelDark(kLine), BevelLight(kLine)},
  };
  for (const Row& row : rows) {
    ClearTo(kBlack);
    ASSERT_EQ(FillRect2D(kFill, g_renderer, 10, 10, 20, 20, row.frameStyle, kLine, row.width, row.mode), plat::kOk);
    FlushSpriteBatches(g_renderer);
    const gfxtest::Image image = Read();
    EXPECT_EQ(image.At(15, 15), row.middle) << row.what;
    EXPECT_EQ(image.At(10, 10), row.topLeft) << row.what;
    EXPECT_EQ(image.At(19, 19), row.bottomRight) << row.what;
    EXPECT_EQ(image.At(9, 9), kBlack) << row.what;  // nothing outside the box
    EXPECT_EQ(image.At(20, 20), kBlack) << row.what;
  }
  EXPECT_EQ(FillRect2D(kFill, g_renderer, 10, 10, 10, 20, 0, 0, 0, 0), plat::kInvalidArg);
  // Far off the screen: nothing queued, and no failure.
  EXPECT_EQ(FillRect2D(kFill, g_renderer, 5000, 5000, 6000, 6000, 0, 0, 0, 0), plat::kOk);
  EXPECT_EQ(g_renderer.batch.pending, 0);
}

}  // namespace
