// The shipped content as start-up uses it: the splash pictures read back
// from the back buffer, every font and every bitmap set of the data root
// loading without an error, and the loading picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/gfx/bitmap_sets.h"
#include "app/gfx/fonts.h"
#include "app/gfx/gfx_test_support.h"
#include "app/gfx/texture.h"
#include "platform/image_loader.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "support/private_game_root.h"
#include "support/global_guard.h"
#include "ui/screen_manager.h"

namespace {

using gfxtest::ClockScope;
using gfxtest::FakeClock;

constexpr uint64_t kFadeInMs = 64 * 15 + 16 * 7 + 48;
constexpr uint64_t kFadeOutMs = 65 * 15 + 16 * 7 + 47;

class ShippedContentTest : public gfxtest::GlRendererTest {
 protected:
  void SetUp() override {
    // The window takes the test's procedure, not the game's from an earlier start.
    plat::UnregisterAllWindowClasses();
    GlRendererTest::SetUp();
    plat::SetDataRoot(PrivateGameRoot());
  }
  void TearDown() override {
    DestroyUiBitmaps(g_ui.bitmaps);
    for (Texture*& t : g_renderer.bitmapSets) {
      delete t;
      t = nullptr;
    }
    g_ui.loadingShown = 0;
    g_ui.bitmapsLoaded = 0;
    g_ui.mode = kUiFrontEnd;
    GlRendererTest::TearDown();
  }

  // Compares what the back buffer shows with the picture it was stretched
  // from, wherever the picture is flat enough for the scaling not to matter;
  // returns how many places were compared.
  static int ExpectShows(const gfxtest::Image& shown, const std::string& gamePath) {
    plat::DecodedImage picture;
    EXPECT_EQ(plat::DecodeImageFile(gamePath, &picture), plat::kOk) << gamePath;
    if (picture.info.width != 1024 || picture.info.height != 768) {
      ADD_FAILURE() << gamePath << " is not 1024 x 768";
      return 0;
    }
    const uint32_t sx = 1024 / kWidth, sy = 768 / kHeight;
    int compared = 0, wrong = 0;
    for (uint32_t y = 1; y + 1 < kHeight; ++y) {
      for (uint32_t x = 1; x + 1 < kWidth; ++x) {
        int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0}, sum[3] = {0, 0, 0};
        for (uint32_t py = y * sy - 2; py < (y + 1) * sy + 2; ++py)
          for (uint32_t px = x * sx - 2; px < (x + 1) * sx + 2; ++px)
            for (int c = 0; c < 3; ++c) {
              const int v = gfxtest::Channel(picture.pixels[size_t{py} * 1024 + px], 16 - 8 * c);
              lo[c] = std::min(lo[c], v);
              hi[c] = std::max(hi[c], v);
              sum[c] += v;
            }
        bool flat = true;
        for (int c = 0; c < 3; ++c) flat = flat && hi[c] - lo[c] <= 6;
        if (!flat) continue;
        ++compared;
        const int n = static_cast<int>((sx + 4) * (sy + 4));
        for (int c = 0; c < 3; ++c) {
          if (std::abs(gfxtest::Channel(shown.At(x, y), 16 - 8 * c) - sum[c] / n) <= 8) continue;
          if (wrong++ == 0) ADD_FAILURE() << gamePath << " differs at " << x << "," << y;
        }
      }
    }
    EXPECT_EQ(wrong, 0) << gamePath;
    return compared;
  }
};

TEST_F(ShippedContentTest, TheSplashShowsThePublishersPictureThenTheGamesOwn) {
  FakeClock clock;
  std::vector<gfxtest::Image> shown;
  clock.onSleep = [&](size_t sleeps) {
    if (sleeps == 1 || sleeps == kFadeInMs + 2000 + kFadeOutMs + 1) shown.push_back(Read());
  };
  {
    ClockScope scope(&clock);
    EXPECT_EQ(ShowSplashScreens(), 0);
  }
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_GT(ExpectShows(shown[0], "GRAPHICS\\PXSPLASH.PNG"), 2000);
  EXPECT_GT(ExpectShows(shown[1], "GRAPHICS\\SPLASH.PNG"), 2000);
}

TEST_F(ShippedContentTest, TheLoadingScreenShowsTheLoadingPicture) {
  // The first loading screen of a run shows the picture; a game started
  // earlier in the process showed it already.
  GlobalGuard firstLoading(g_ui.loadingShown, 0);
  FakeClock clock;
  {
    ClockScope scope(&clock);
    EXPECT_EQ(ShowLoadingScreen(0), 0);
  }
  EXPECT_GT(ExpectShows(Read(), "GRAPHICS\\MENULOAD.PNG"), 1000);
}

TEST_F(ShippedContentTest, EveryShippedBitmapSetLoads) {
  EXPECT_EQ(LoadUiBitmaps(g_ui), 0);
  ASSERT_NE(g_renderer.cursorSheet, nullptr);
  plat::SurfaceDesc sheet;
  g_renderer.cursorSheet->GetDesc(&sheet);
  EXPECT_EQ(sheet.width, 9u * 32);
  EXPECT_EQ(sheet.height, 32u);
  g_ui.mode = kUiMapEditor;
  EXPECT_EQ(LoadMapBitmaps(g_ui), 0);
  UiBitmaps& b = g_ui.bitmaps;
  for (Texture* deferred : {b.tbits, b.avatar, g_renderer.bitmapSets[3], g_renderer.bitmapSets[8]})
    EXPECT_GE(TextureAcquire(deferred), 0) << deferred->name;
  for (int n = 0; n < 40; ++n) EXPECT_GE(TextureAcquire(b.unitPictures[n]), 0) << n;
  for (int n = 0; n < 10; ++n) EXPECT_GE(TextureAcquire(b.unitPictures2[n]), 0) << n;
  for (Texture* t : b.techPictures) EXPECT_GE(TextureAcquire(t), 0) << t->name;
  for (int set = 0; set < kBitmapSetSlots; ++set) {
    ASSERT_NE(g_renderer.bitmapSets[set], nullptr) << set;
    EXPECT_NE(g_renderer.bitmapSets[set]->deviceTexture, nullptr) << set;
  }
  EXPECT_NE(b.ugbitsMe->deviceTexture, nullptr);
  EXPECT_NE(b.hexAlpha128->deviceTexture, nullptr);
}

TEST_F(ShippedContentTest, EveryShippedFontLoadsAndWrites) {
  LoadFontTable();
  for (int slot = 0; slot <= 10; ++slot) {
    BitmapFont* font = FontSlot(slot);
    ASSERT_NE(font, nullptr) << slot;
    EXPECT_NE(font->page, nullptr) << slot;
    EXPECT_NE(font->vertexBuffer, nullptr) << slot;
    int32_t w = 0, h = 0;
    ASSERT_EQ(MeasureText(font, "Veldrane\n\x7F\x81", &w, &h), plat::kOk);
    EXPECT_GT(w, 20) << slot;
    EXPECT_GE(h, 16) << slot;
  }
  ClearTo(0xFF000000u);
  plat::Rect box{0, 0, static_cast<int32_t>(kWidth), static_cast<int32_t>(kHeight)};
  EXPECT_GT(DrawTextAt(&box, FontSlot(1), "Veldrane", kTextCentre | kTextVCentre, 0xFFFFFFFFu), 0);
  EndSceneAndFlush(g_renderer);
  const gfxtest::Image image = Read();
  int lit = 0;
  for (uint32_t p : image.pixels) lit += gfxtest::Channel(p, 8) > 0x80;
  EXPECT_GT(lit, 60);
}

}  // namespace
