// The interface root's loaders and screens: the abort hook, the flags, the
// map editor's palette, the loading screen's two pictures, and the release
// of the full-screen images when the music fades.
#include "ui/interface_images.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/gfx/bitmap_sets.h"
#include "app/gfx/gfx_test_support.h"
#include "app/gfx/texture.h"
#include "ui/screen_manager.h"

namespace {

using gfxtest::ClockScope;
using gfxtest::FakeClock;

// A fade-in's time: 64 levels waiting 15 ms, 16 waiting 7, 48 waiting 1; a
// fade-out's: 65, 16 and 47.
constexpr uint64_t kFadeInMs = 64 * 15 + 16 * 7 + 48;
constexpr uint64_t kFadeOutMs = 65 * 15 + 16 * 7 + 47;

int32_t Abort() { return 1; }
int32_t GoOn() { return 0; }

class InterfaceImagesTest : public gfxtest::GlRendererTest {
 protected:
  void SetUp() override {
    GlRendererTest::SetUp();
    Reset();
  }
  void TearDown() override {
    DestroyUiBitmaps(g_ui.bitmaps);
    for (Texture*& t : g_renderer.bitmapSets) {
      delete t;
      t = nullptr;
    }
    Reset();
    GlRendererTest::TearDown();
  }
  static void Reset() {
    g_ui.abortHook = nullptr;
    g_ui.bitmapsLoaded = 0;
    g_ui.loadingShown = 0;
    g_ui.mode = kUiFrontEnd;
    g_ui.mapEditor = 0;
  }
  void Solid(const std::string& relative, uint32_t w, uint32_t h, uint32_t colour) {
    WritePng(relative, w, h, std::vector<uint32_t>(size_t{w} * h, colour), false);
  }
  // Shows the loading screen; the picture it leaves on the back buffer and
  // the time it took.
  struct Shown {
    uint32_t picture;
    uint64_t ms;
  };
  Shown ShowLoading() {
    FakeClock clock;
    const uint64_t start = clock.now;
    {
      ClockScope scope(&clock);
      EXPECT_EQ(ShowLoadingScreen(0), 0);
    }
    return Shown{Read().At(kWidth / 2, kHeight / 2), clock.now - start};
  }
};

TEST_F(InterfaceImagesTest, TheLoadingImageShowsFirstAndTheMenuImageAfterwards) {
  Solid("GRAPHICS/MENULOAD.PNG", 1024, 768, 0xFF2040C0u);
  Solid("GRAPHICS/MENUNEW.PNG", 1024, 768, 0xFFC04020u);
  ASSERT_LT(LoadUiBitmaps(g_ui), 0);  // only the menu image is there
  ASSERT_NE(g_ui.bitmaps.menuNew->deviceTexture, nullptr);
  g_platform.skip = 1;  // a key from the splash: the fade-out is skipped, the fade-in is not
  const Shown first = ShowLoading();
  EXPECT_EQ(first.picture, 0xFF2040C0u);
  EXPECT_EQ(first.ms, kFadeInMs);
  EXPECT_EQ(g_platform.skip, 0);
  EXPECT_EQ(g_ui.loadingShown, 1);
  const Shown second = ShowLoading();
  EXPECT_EQ(second.picture, 0xFFC04020u);
  EXPECT_EQ(second.ms, kFadeOutMs + kFadeInMs);
  EXPECT_EQ(g_ui.loadingShown, 1);
}

TEST_F(InterfaceImagesTest, TheAbortHookMakesTheLoadersLoadNothing) {
  Solid("GRAPHICS/VDBITS0.PNG", 16, 16, 0xFFFFFFFFu);
  g_ui.abortHook = Abort;
  g_renderer.lastError = plat::kFail;
  EXPECT_EQ(LoadUiBitmaps(g_ui), 0);
  EXPECT_EQ(LoadMapBitmaps(g_ui), 0);
  EXPECT_EQ(g_renderer.bitmapSets[0], nullptr);
  EXPECT_EQ(g_ui.bitmaps.menuNew, nullptr);
  EXPECT_EQ(g_ui.bitmaps.hexAlpha128, nullptr);
  EXPECT_EQ(g_ui.bitmapsLoaded, 0);
  EXPECT_EQ(g_renderer.lastError, plat::kFail);
  // A hook that lets them go on.
  g_ui.abortHook = GoOn;
  LoadUiBitmaps(g_ui);
  EXPECT_NE(g_renderer.bitmapSets[0], nullptr);
}

TEST_F(InterfaceImagesTest, MapSetsSetTheLoadedFlagAndTheEditorGetsItsPalette) {
  Solid("GRAPHICS/UGBITSME.PNG", 16, 16, 0xFFFFFFFFu);
  EXPECT_LT(LoadMapBitmaps(g_ui), 0);  // most files are missing
  EXPECT_EQ(g_ui.bitmapsLoaded, 1);
  EXPECT_EQ(g_ui.bitmaps.ugbitsMe, nullptr);
  g_ui.mode = kUiMapEditor;
  LoadMapBitmaps(g_ui);
  ASSERT_NE(g_ui.bitmaps.ugbitsMe, nullptr);
  EXPECT_NE(g_ui.bitmaps.ugbitsMe->deviceTexture, nullptr);
}

TEST_F(InterfaceImagesTest, TheMusicFadeReleasesTheFullScreenImagesUntilTheyAreNextUsed) {
  for (const char* f : {"GRAPHICS/VDBITS0.PNG", "GRAPHICS/VDBITS2.PNG", "GRAPHICS/VDBITS4.PNG", "GRAPHICS/BKGND.PNG",
                        "GRAPHICS/MENUNEW.PNG", "GRAPHICS/CABINET.PNG", "GRAPHICS/AVATAR.PNG"})
    Solid(f, 16, 16, 0xFFFFFFFFu);
  LoadUiBitmaps(g_ui);
  ClearTo(0xFFFF0000u);
  FakeClock clock;
  {
    ClockScope scope(&clock);
    FadeOutMusic(g_ui);
  }
  EXPECT_EQ(clock.now - 1000, 40u * 30);  // 40 steps of 30 ms
  for (Texture* t : {g_ui.bitmaps.background, g_ui.bitmaps.menuNew, g_renderer.bitmapSets[2]}) {
    EXPECT_EQ(t->deviceTexture, nullptr);
    EXPECT_NE(t->name[0], '\0');  // kept, to load again
  }
  EXPECT_NE(g_renderer.bitmapSets[0]->deviceTexture, nullptr);
  EXPECT_NE(g_ui.bitmaps.cabinet->deviceTexture, nullptr);
  EXPECT_EQ(Read().At(5, 5), 0xFF000000u);
  ASSERT_GE(TextureAcquire(g_ui.bitmaps.menuNew), 0);
  EXPECT_NE(g_ui.bitmaps.menuNew->deviceTexture, nullptr);
}

}  // namespace
