// The splash screens' timeline on an injected clock, the full-screen image on
// the OpenGL device, the custom ramp, and the interface's and the map's
// bitmap sets with their slot rules, formats and deferred names.
#include "app/gfx/bitmap_sets.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/gfx/gamma_fade.h"
#include "app/gfx/gfx_test_support.h"
#include "app/gfx/texture.h"
#include "platform/window.h"
#include "support/global_guard.h"

namespace {

using gfxtest::ClockScope;
using gfxtest::FakeClock;
using gfxtest::RecordingDevice;

// The time a full fade-in takes: 64 levels waiting 15 ms, 16 waiting 7, 48
// waiting 1; a fade-out passes levels 0 and 0x8000 too: 65, 16 and 47.
constexpr uint64_t kFadeMs = 64 * 15 + 16 * 7 + 48;
constexpr uint64_t kFadeOutMs = 65 * 15 + 16 * 7 + 47;

// The splash on a device that records the ramps and draws nothing (so no
// picture loads: the timing runs as usual).
class SplashTimelineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::ResetMessageQueue();
    g_renderer.caps.caps2 = plat::kCaps2FullscreenGamma;
    g_renderer.baseRamp = std::make_unique<plat::GammaRamp>();
    g_renderer.customRamp = std::make_unique<plat::GammaRamp>();
    for (int i = 0; i < 256; ++i)
      g_renderer.baseRamp->red[i] = g_renderer.baseRamp->green[i] = g_renderer.baseRamp->blue[i] =
          static_cast<uint16_t>(i * 256);
    g_platform.skip = 0;
  }
  void TearDown() override {
    g_renderer.caps = plat::DeviceCaps{};
    g_renderer.baseRamp.reset();
    g_renderer.customRamp.reset();
    g_platform.skip = 0;
    plat::ResetMessageQueue();
  }

  // The level of a fade step's ramp (the base entry 255 lowered by it).
  static uint32_t Level(const RecordingDevice::RampCall& call) { return 255u * 256 - call.ramp.red[255]; }
  // Whether the ramp is the base ramp itself.
  static bool IsBase(const RecordingDevice::RampCall& call) {
    return call.ramp.red[255] == 255 * 256 && call.ramp.red[1] == 256;
  }

  RecordingDevice device_;
  GlobalGuard<plat::GraphicsDevice*> rendererDevice_{g_renderer.device, &device_};
  FakeClock clock_;
};

TEST_F(SplashTimelineTest, WithNoInputBothSplashesRunTheirFullFadesAndWaits) {
  ClockScope scope(&clock_);
  const uint64_t start = clock_.now;
  EXPECT_EQ(ShowSplashScreens(), 0);
  const auto& r = device_.ramps;
  // The custom ramp, the first fade-in, its fade-out, the custom ramp again,
  // the second fade-in.
  ASSERT_EQ(r.size(), 1u + 128 + 128 + 1 + 128);
  EXPECT_TRUE(IsBase(r[0]));  // no brightness chosen: the base ramp stands in
  EXPECT_EQ(r[0].atMs, start);
  EXPECT_EQ(Level(r[1]), 0xFF00u);
  EXPECT_EQ(Level(r[128]), 0x100u);
  // The first splash stays 2 seconds after its fade-in, then fades out.
  EXPECT_EQ(r[129].atMs, start + kFadeMs + 2000);
  EXPECT_EQ(Level(r[129]), 0u);
  EXPECT_EQ(Level(r[256]), 0xFE00u);
  EXPECT_TRUE(IsBase(r[257]));
  EXPECT_EQ(r[257].atMs, start + kFadeMs + 2000 + kFadeOutMs);
  EXPECT_EQ(Level(r[258]), 0xFF00u);
  EXPECT_EQ(Level(r[385]), 0x100u);
  // And the second one stays 2 seconds after its fade-in.
  EXPECT_EQ(clock_.now, start + 2 * kFadeMs + kFadeOutMs + 4000);
}

TEST_F(SplashTimelineTest, AKeyDuringTheFirstFadeSkipsItsWaitsAndTheSecondSplashStillShows) {
  ClockScope scope(&clock_);
  const uint64_t start = clock_.now;
  // The start-up window procedure sets the skip flag on a key; here it comes
  // with the 100th millisecond slept, during the first fade-in.
  clock_.onSleep = [](size_t sleeps) {
    if (sleeps == 100) g_platform.skip = 1;
  };
  EXPECT_EQ(ShowSplashScreens(), 0);
  const auto& r = device_.ramps;
  // 48 steps of 1 ms and 7 of 7 ms take 97 ms; the 56th step is cut short
  // after 3 of its 7. No wait, no fade-out: the custom ramp follows at once.
  const size_t firstSteps = 56;
  ASSERT_EQ(r.size(), 1u + firstSteps + 1 + 128);
  EXPECT_EQ(Level(r[firstSteps]), 0xFF00u - 55 * 0x200);
  EXPECT_TRUE(IsBase(r[firstSteps + 1]));
  EXPECT_EQ(r[firstSteps + 1].atMs, start + 100);
  // The flag was cleared: the second splash fades in fully and waits.
  EXPECT_EQ(g_platform.skip, 0);
  EXPECT_EQ(Level(r[firstSteps + 2]), 0xFF00u);
  EXPECT_EQ(Level(r.back()), 0x100u);
  EXPECT_EQ(clock_.now, start + 100 + kFadeMs + 2000);
}

TEST_F(SplashTimelineTest, AKeyDuringTheSecondSplashEndsItsWait) {
  ClockScope scope(&clock_);
  const uint64_t start = clock_.now;
  constexpr uint64_t secondWait = 2 * kFadeMs + kFadeOutMs + 2000;  // sleeps before the last wait
  clock_.onSleep = [](size_t sleeps) {
    if (sleeps == secondWait + 500) g_platform.skip = 1;
  };
  EXPECT_EQ(ShowSplashScreens(), 0);
  EXPECT_EQ(device_.ramps.size(), 1u + 128 + 128 + 1 + 128);
  EXPECT_EQ(clock_.now, start + secondWait + 500);
}

TEST_F(SplashTimelineTest, ClosingTheProgramEndsTheSplashWaits) {
  ClockScope scope(&clock_);
  const uint64_t start = clock_.now;
  clock_.onSleep = [](size_t sleeps) {
    if (sleeps == 10) plat::PostQuitMessage(0);
  };
  EXPECT_EQ(ShowSplashScreens(), 0);
  // The fade that was running finishes; nothing waits after it.
  EXPECT_EQ(clock_.now, start + kFadeMs);
}

TEST_F(SplashTimelineTest, TheCustomRampIsTheChosenBrightnessWhenThereIsOne) {
  for (int i = 0; i < 256; ++i) g_renderer.customRamp->red[i] = static_cast<uint16_t>(i * 128);
  ApplyCustomRamp(g_renderer);
  ASSERT_EQ(device_.ramps.size(), 1u);
  EXPECT_EQ(device_.ramps[0].ramp.red[255], 255 * 128);
  // Without full-screen gamma nothing is applied.
  g_renderer.caps.caps2 = 0;
  ApplyCustomRamp(g_renderer);
  EXPECT_EQ(device_.ramps.size(), 1u);
}

// On the OpenGL device, with image files under a temporary data root.
class BitmapSetTest : public gfxtest::GlRendererTest {
 protected:
  void TearDown() override {
    DestroyUiBitmaps(bitmaps_);
    for (Texture*& t : g_renderer.bitmapSets) {
      delete t;
      t = nullptr;
    }
    GlRendererTest::TearDown();
  }
  void Png(const std::string& relative, uint32_t w, uint32_t h, uint32_t colour = 0xFF808080u) {
    WritePng(relative, w, h, std::vector<uint32_t>(size_t{w} * h, colour));
  }
  // A 1024 x 768 picture: its left half one colour, its right half another.
  void Picture(const std::string& relative, uint32_t left, uint32_t right) {
    std::vector<uint32_t> px(1024 * 768);
    for (uint32_t y = 0; y < 768; ++y)
      for (uint32_t x = 0; x < 1024; ++x) px[y * 1024 + x] = x < 512 ? left : right;
    WritePng(relative, 1024, 768, px, false);
  }
  UiBitmaps bitmaps_;
};

TEST_F(BitmapSetTest, ASplashIsDrawnStretchedOverTheWholeScreen) {
  Picture("GRAPHICS/PXSPLASH.PNG", 0xFFFF0000u, 0xFF0000FFu);
  Picture("GRAPHICS/SPLASH.PNG", 0xFF00FF00u, 0xFFFFFFFFu);
  FakeClock clock;
  std::vector<gfxtest::Image> shown;
  // What the back buffer holds while the first and the second splash fade in.
  clock.onSleep = [&](size_t sleeps) {
    if (sleeps == 1 || sleeps == kFadeMs + 2000 + kFadeOutMs + 1) shown.push_back(Read());
  };
  {
    ClockScope scope(&clock);
    EXPECT_EQ(ShowSplashScreens(), 0);
  }
  ASSERT_EQ(shown.size(), 2u);
  for (uint32_t y : {2u, kHeight / 2, kHeight - 3}) {
    EXPECT_EQ(shown[0].At(3, y), 0xFFFF0000u) << y;
    EXPECT_EQ(shown[0].At(kWidth - 4, y), 0xFF0000FFu) << y;
    EXPECT_EQ(shown[1].At(3, y), 0xFF00FF00u) << y;
    EXPECT_EQ(shown[1].At(kWidth - 4, y), 0xFFFFFFFFu) << y;
  }
}

TEST_F(BitmapSetTest, AMissingPictureDrawsNothing) {
  ClearTo(0xFF000000u);
  std::unique_ptr<Texture> missing(MakeLoadingImage("GRAPHICS\\NONE.PNG"));
  EXPECT_EQ(missing->deviceTexture, nullptr);
  DrawFullScreenImage(g_renderer, missing.get());
  const gfxtest::Image image = Read();
  for (uint32_t p : image.pixels) ASSERT_EQ(p, 0xFF000000u);
}

TEST_F(BitmapSetTest, TheInterfaceSetsAreMadeOnceAndRestoredAfterwards) {
  std::vector<uint32_t> cursors(288 * 32, 0xFFFFFFFFu);
  WritePng("GRAPHICS/CURSORS.PNG", 288, 32, cursors);
  for (const char* f : {"GRAPHICS/VDBITS0.PNG", "GRAPHICS/VDBITS2.PNG", "GRAPHICS/VDBITS4.PNG",
                        "GRAPHICS/CABINET.PNG", "GRAPHICS/AVATAR.PNG", "GRAPHICS/BKGND.PNG", "GRAPHICS/MENUNEW.PNG"})
    Png(f, 16, 16);
  g_app.SetFlag(kSetVDBitshires, true);
  EXPECT_EQ(LoadInterfaceBitmapSets(bitmaps_), 0);
  ASSERT_NE(g_renderer.cursorSheet, nullptr);
  plat::SurfaceDesc sheet;
  g_renderer.cursorSheet->GetDesc(&sheet);
  EXPECT_EQ(sheet.width, 288u);
  EXPECT_EQ(sheet.height, 32u);
  EXPECT_EQ(sheet.format, plat::kFmtA8R8G8B8);
  for (int set : {0, 2, 4}) {
    ASSERT_NE(g_renderer.bitmapSets[set], nullptr) << set;
    ASSERT_NE(g_renderer.bitmapSets[set]->deviceTexture, nullptr) << set;
    EXPECT_EQ(g_renderer.bitmapSets[set]->desc.format, plat::kFmtA8R8G8B8) << set;
  }
  for (int set : {1, 3, 5, 6, 7, 8}) EXPECT_EQ(g_renderer.bitmapSets[set], nullptr) << set;
  ASSERT_NE(bitmaps_.menuNew, nullptr);
  EXPECT_NE(bitmaps_.menuNew->deviceTexture, nullptr);
  EXPECT_EQ(bitmaps_.tbits, nullptr);

  // A second call keeps the textures and loads a released one again.
  Texture* const set0 = g_renderer.bitmapSets[0];
  Texture* const background = bitmaps_.background;
  TextureDestroy(background);
  ASSERT_EQ(background->deviceTexture, nullptr);
  EXPECT_EQ(LoadInterfaceBitmapSets(bitmaps_), 0);
  EXPECT_EQ(g_renderer.bitmapSets[0], set0);
  EXPECT_EQ(bitmaps_.background, background);
  EXPECT_NE(background->deviceTexture, nullptr);
}

TEST_F(BitmapSetTest, AMissingFileIsReportedAndTheRestStillLoads) {
  Png("GRAPHICS/VDBITS0.PNG", 16, 16);
  EXPECT_LT(LoadInterfaceBitmapSets(bitmaps_), 0);
  EXPECT_NE(g_renderer.bitmapSets[0]->deviceTexture, nullptr);
  EXPECT_EQ(g_renderer.bitmapSets[2]->deviceTexture, nullptr);
  ASSERT_NE(bitmaps_.menuNew, nullptr);
}

TEST_F(BitmapSetTest, TheMapSetsFollowTheirTable) {
  for (const char* f : {"GRAPHICS/HEXALPHA128.PNG", "GRAPHICS/LINE.PNG", "GRAPHICS/UGBITS0.PNG", "GRAPHICS/UBITS.PNG",
                        "GRAPHICS/EBITS.PNG", "GRAPHICS/CABINET.PNG", "GRAPHICS/VDBITS1.PNG", "GRAPHICS/VDBITS4.PNG",
                        "GRAPHICS/VDBITS5.PNG", "GRAPHICS/VDBITS6.PNG", "GRAPHICS/VDBITS7.PNG",
                        "GRAPHICS/TBITS.PNG", "GRAPHICS/AVATAR.PNG"})
    Png(f, 32, 32);
  Png("GRAPHICS/UNITS/UNITBITS007.PNG", 504, 420);
  Png("GRAPHICS/TECHBITS/Techbits02.PNG", 102, 102);
  g_app.settingsFlags = kSetUseHWCursor;  // no hires setting
  EXPECT_EQ(LoadMapBitmapSets(bitmaps_, 0), 0);

  ASSERT_NE(bitmaps_.hexAlpha128, nullptr);
  EXPECT_EQ(bitmaps_.hexAlpha128->desc.format, plat::kFmtA8R8G8B8);
  EXPECT_EQ(bitmaps_.line->desc.format, plat::kFmtA8R8G8B8);
  EXPECT_EQ(bitmaps_.ugbits->desc.format, DefaultTextureFormat());
  EXPECT_STREQ(bitmaps_.ugbits->name, "GRAPHICS\\UGBITS0.PNG");
  // The close-up work texture: blank, 128 x 128, in the back buffer's format.
  ASSERT_NE(bitmaps_.closeUp->deviceTexture, nullptr);
  EXPECT_EQ(bitmaps_.closeUp->desc.width, 128u);
  EXPECT_EQ(bitmaps_.closeUp->desc.format, g_renderer.backBufferDesc.format);
  EXPECT_STREQ(bitmaps_.closeUp->name, "");
  // Deferred names: kept without the "-", loaded on first use.
  EXPECT_EQ(bitmaps_.tbits->deviceTexture, nullptr);
  EXPECT_STREQ(bitmaps_.tbits->name, "GRAPHICS\\TBITS.PNG");
  EXPECT_EQ(g_renderer.bitmapSets[3]->deviceTexture, nullptr);
  EXPECT_STREQ(g_renderer.bitmapSets[3]->name, "GRAPHICS\\VDBITS3.PNG");
  EXPECT_STREQ(g_renderer.bitmapSets[8]->name, "GRAPHICS\\VDBITS8.PNG");
  EXPECT_NE(g_renderer.bitmapSets[5]->deviceTexture, nullptr);
  EXPECT_EQ(bitmaps_.avatar->deviceTexture, nullptr);
  EXPECT_EQ(bitmaps_.ugbitsMe, nullptr);  // not in the map editor

  // Unit image 7 is UNITBITS007.PNG, held at half size in 4 bits a channel.
  Texture* unit = bitmaps_.unitPictures[7];
  EXPECT_STREQ(unit->name, "GRAPHICS\\UNITS\\UNITBITS007.PNG");
  EXPECT_STREQ(bitmaps_.unitPictures2[7]->name, "GRAPHICS\\UNITS\\UNITBITS007t.PNG");
  EXPECT_STREQ(bitmaps_.techPictures[2]->name, "GRAPHICS\\TECHBITS\\Techbits02.PNG");
  EXPECT_STREQ(bitmaps_.unitPictures[429]->name, "GRAPHICS\\UNITS\\UNITBITS429.PNG");
  EXPECT_EQ(unit->deviceTexture, nullptr);
  ASSERT_GE(TextureAcquire(unit), 0);
  EXPECT_EQ(unit->desc.width, 252u);
  EXPECT_EQ(unit->desc.height, 210u);
  EXPECT_EQ(unit->desc.format, plat::kFmtA4R4G4B4);
  ASSERT_GE(TextureAcquire(bitmaps_.techPictures[2]), 0);
  EXPECT_EQ(bitmaps_.techPictures[2]->desc.width, 51u);
  // A missing deferred picture fails when first used, not before.
  EXPECT_LT(TextureAcquire(bitmaps_.unitPictures[8]), 0);
}

TEST_F(BitmapSetTest, FullUnitPicturesNeedTheSettingAndMoreThan16Bits) {
  Png("GRAPHICS/UNITS/UNITBITS007.PNG", 504, 420);
  g_app.settingsFlags = kSetUseHWCursor | kSetUnitbitshires;
  LoadMapBitmapSets(bitmaps_, 0);
  ASSERT_GE(TextureAcquire(bitmaps_.unitPictures[7]), 0);
  EXPECT_EQ(bitmaps_.unitPictures[7]->desc.width, 504u);
  EXPECT_EQ(bitmaps_.unitPictures[7]->desc.format, plat::kFmtA8R8G8B8);
  g_app.gamerezbpp = 16;
  LoadMapBitmapSets(bitmaps_, 0);
  ASSERT_GE(TextureAcquire(bitmaps_.unitPictures[7]), 0);
  EXPECT_EQ(bitmaps_.unitPictures[7]->desc.width, 504u);
  EXPECT_EQ(bitmaps_.unitPictures[7]->desc.format, plat::kFmtA4R4G4B4);
}

TEST_F(BitmapSetTest, TheMapEditorAlsoGetsItsPaletteAndEveryCallMakesTheMapSetsAnew) {
  Png("GRAPHICS/UGBITSME.PNG", 16, 16);
  Png("GRAPHICS/VDBITS1.PNG", 16, 16);
  LoadMapBitmapSets(bitmaps_, 1);
  ASSERT_NE(bitmaps_.ugbitsMe, nullptr);
  EXPECT_NE(bitmaps_.ugbitsMe->deviceTexture, nullptr);
  Texture* const set1 = g_renderer.bitmapSets[1];
  Texture* const set3 = g_renderer.bitmapSets[3];
  LoadMapBitmapSets(bitmaps_, 1);
  // The renderer's sets are kept (and a deferred one is loaded now) ...
  EXPECT_EQ(g_renderer.bitmapSets[1], set1);
  EXPECT_EQ(g_renderer.bitmapSets[3], set3);
  // ... while the map's own are made again, loaded as the first time.
  EXPECT_STREQ(bitmaps_.tbits->name, "GRAPHICS\\TBITS.PNG");
  EXPECT_EQ(bitmaps_.tbits->deviceTexture, nullptr);
}

}  // namespace
