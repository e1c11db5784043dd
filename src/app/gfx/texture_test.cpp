// Textures made blank and from files on the OpenGL device: deferred names,
// OverrideSqTex, scale, colour key, failures, and render targets made again
// after a device reset.
#include "app/gfx/texture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "app/gfx/gfx_test_support.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/surfaces.h"

namespace {

using gfxtest::GlRendererTest;
using TextureTest = GlRendererTest;

// Columns alternately black and white, opaque.
std::vector<uint32_t> Stripes(uint32_t w, uint32_t h) {
  std::vector<uint32_t> p(size_t{w} * h);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) p[size_t{y} * w + x] = (x & 1) ? 0xFFFFFFFFu : 0xFF000000u;
  return p;
}

TEST_F(TextureTest, ADeferredNameKeepsTheRestAndLoadsOnFirstAcquire) {
  WritePng("GRAPHICS/TBITS.PNG", 12, 6, std::vector<uint32_t>(72, 0xFF336699u));
  Texture t;
  ASSERT_EQ(TextureCreateFromFile(&t, "-GRAPHICS\\TBITS.PNG", plat::kFmtA8R8G8B8, 0, 0, 1.0f, 0, 0, 1, 0), plat::kOk);
  EXPECT_STREQ(t.name, "GRAPHICS\\TBITS.PNG");
  EXPECT_EQ(t.deviceTexture, nullptr);
  EXPECT_EQ(t.desc.width, 0u);
  ASSERT_GE(TextureAcquire(&t), 0);
  ASSERT_NE(t.deviceTexture, nullptr);
  EXPECT_EQ(t.desc.width, 12u);  // no power-of-two rounding
  EXPECT_EQ(t.desc.height, 6u);
  EXPECT_EQ(t.desc.pool, plat::kPoolManaged);
  EXPECT_EQ(t.imageInfo.width, 12u);
  EXPECT_EQ(Texels(t.deviceTexture)[5], 0xFF336699u);
  plat::DeviceTexture* first = t.deviceTexture;
  ASSERT_GE(TextureAcquire(&t), 0);
  EXPECT_EQ(t.deviceTexture, first);  // a managed texture is left alone
  EXPECT_EQ(TextureAcquire(nullptr), 0);
}

TEST_F(TextureTest, OverrideSqTexLoadsA512x256FileAt512x512) {
  WritePng("GRAPHICS/WIDE.PNG", 512, 256, std::vector<uint32_t>(512 * 256, 0xFF204060u), false);
  g_app.SetFlag(kSetOverrideSqTex, true);
  Texture fromFileSize("GRAPHICS\\WIDE.PNG", plat::kFmtA8R8G8B8, 0, 0, 1.0f, 0, 0, 1, 0);
  ASSERT_NE(fromFileSize.deviceTexture, nullptr);
  EXPECT_EQ(fromFileSize.desc.width, 512u);
  EXPECT_EQ(fromFileSize.desc.height, 512u);
  Texture asked("GRAPHICS\\WIDE.PNG", plat::kFmtA8R8G8B8, 512, 256, 1.0f, 0, 0, 1, 0);
  EXPECT_EQ(asked.desc.height, 512u);
  // Unscaled, the image sits in the top half and the rest is clear.
  const std::vector<uint32_t> texels = Texels(asked.deviceTexture);
  EXPECT_EQ(texels[255 * 512 + 7], 0xFF204060u);
  EXPECT_EQ(texels[256 * 512 + 7], 0u);
  Texture blank(plat::kFmtA8R8G8B8, 64, 16, 0, 0);
  EXPECT_EQ(blank.desc.width, 64u);
  EXPECT_EQ(blank.desc.height, 64u);
  g_app.SetFlag(kSetOverrideSqTex, false);
  Texture plain("GRAPHICS\\WIDE.PNG", plat::kFmtA8R8G8B8, 0, 0, 1.0f, 0, 0, 1, 0);
  EXPECT_EQ(plain.desc.height, 256u);
}

TEST_F(TextureTest, Scale2With256x128LoadsAt128x64WithLinearFiltering) {
  WritePng("GRAPHICS/UNITS/UNITBITS007.PNG", 256, 128, Stripes(256, 128));
  Texture t("GRAPHICS\\UNITS\\UNITBITS007.PNG", plat::kFmtA8R8G8B8, 256, 128, 2.0f, 0, 0, 1, 0);
  ASSERT_NE(t.deviceTexture, nullptr);
  EXPECT_EQ(t.desc.width, 128u);
  EXPECT_EQ(t.desc.height, 64u);
  EXPECT_EQ(t.filter, 1u);
  // Linear: each texel is the mean of a black and a white column; point or
  // none would have kept one of them.
  for (uint32_t texel : Texels(t.deviceTexture)) ASSERT_EQ(texel, 0xFF808080u);

  // Deferred with no size: the size comes from the PNG's header, then halves.
  Texture deferred("-GRAPHICS\\UNITS\\UNITBITS007.PNG", plat::kFmtA4R4G4B4, 0, 0, 2.0f, 0, 0, 1, 0);
  EXPECT_EQ(deferred.deviceTexture, nullptr);
  ASSERT_GE(TextureAcquire(&deferred), 0);
  EXPECT_EQ(deferred.desc.width, 128u);
  EXPECT_EQ(deferred.desc.height, 64u);
  EXPECT_EQ(deferred.desc.format, plat::kFmtA4R4G4B4);
  EXPECT_EQ(Texels(deferred.deviceTexture)[3], 0xFF888888u);  // 0x80 kept in four bits
}

TEST_F(TextureTest, AScaledImageWhoseSizeNoPngHeaderGivesIsStillHeldAtItsScaledSize) {
  // ".png" in lower case is not read for its header: the size comes from
  // loading the image instead.
  WritePng("GRAPHICS/UNITS/lower.png", 256, 128, Stripes(256, 128));
  Texture t("GRAPHICS\\UNITS\\lower.png", plat::kFmtA8R8G8B8, 0, 0, 2.0f, 0, 0, 1, 0);
  ASSERT_NE(t.deviceTexture, nullptr);
  EXPECT_EQ(t.desc.width, 128u);
  EXPECT_EQ(t.desc.height, 64u);
  EXPECT_EQ(Texels(t.deviceTexture)[9], 0xFF808080u);
  Texture missing("GRAPHICS\\UNITS\\none.png", plat::kFmtA8R8G8B8, 0, 0, 2.0f, 0, 0, 1, 0);
  EXPECT_EQ(missing.deviceTexture, nullptr);
  EXPECT_STREQ(missing.name, "");
}

TEST_F(TextureTest, AMissingFileLeavesNoTextureNoNameAndTheLastErrorSet) {
  Texture t("GRAPHICS\\NOWHERE.PNG", 0, 0, 0, 1.0f, 0, 0, 1, 0);
  EXPECT_EQ(t.deviceTexture, nullptr);
  EXPECT_STREQ(t.name, "");
  EXPECT_LT(g_renderer.lastError, 0);

  g_renderer.lastError = plat::kOk;
  Texture deferred("-GRAPHICS\\NOWHERE.PNG", 0, 0, 0, 1.0f, 0, 0, 1, 0);
  EXPECT_EQ(g_renderer.lastError, plat::kOk);  // nothing tried yet
  EXPECT_LT(TextureAcquire(&deferred), 0);
  EXPECT_LT(g_renderer.lastError, 0);
  EXPECT_STREQ(deferred.name, "");
  EXPECT_EQ(TextureAcquire(&deferred), plat::kOk);  // not tried again
  EXPECT_EQ(deferred.deviceTexture, nullptr);

  // A name that does not fit is refused, not cut.
  const std::string longName = "GRAPHICS\\" + std::string(60, 'A') + ".PNG";
  Texture tooLong(longName.c_str(), 0, 0, 0, 1.0f, 0, 0, 1, 0);
  EXPECT_STREQ(tooLong.name, "");
  EXPECT_EQ(tooLong.deviceTexture, nullptr);
  EXPECT_EQ(g_renderer.lastError, plat::kInvalidArg);
}

TEST_F(TextureTest, TheColourKeyMakesItsColourClear) {
  std::vector<uint32_t> px(4, 0xFF00FF00u);
  px[1] = px[2] = 0xFF000000u;
  WritePng("G/K.PNG", 2, 2, px);
  Texture t("G\\K.PNG", plat::kFmtA8R8G8B8, 0, 0, 1.0f, 0xFF000000u, 0, 1, 0);
  ASSERT_NE(t.deviceTexture, nullptr);
  EXPECT_EQ(Texels(t.deviceTexture), (std::vector<uint32_t>{0xFF00FF00u, 0, 0, 0xFF00FF00u}));
}

TEST_F(TextureTest, BlankTexturesTakeTheDefaultSizeAndFormat) {
  Texture defaults(0, 0, 0, 0, 0);
  ASSERT_NE(defaults.deviceTexture, nullptr);
  EXPECT_EQ(defaults.desc.width, 256u);
  EXPECT_EQ(defaults.desc.height, 256u);
  EXPECT_EQ(defaults.desc.format, plat::kFmtA8R8G8B8);
  g_app.gamerezbpp = 16;
  Texture sixteen(0, 8, 8, 0, 0);
  EXPECT_EQ(sixteen.desc.format, plat::kFmtA4R4G4B4);
  g_app.gamerezbpp = 32;
  Texture likeBackBuffer(plat::kFmtA4R4G4B4, 8, 8, 0, 1);
  EXPECT_EQ(likeBackBuffer.desc.format, g_renderer.backBufferDesc.format);
  Texture fromEmptyName("", plat::kFmtA8R8G8B8, 40, 20, 2.0f, 0, 0, 1, 0);
  EXPECT_EQ(fromEmptyName.desc.width, 20u);
  EXPECT_EQ(fromEmptyName.desc.height, 10u);
}

TEST_F(TextureTest, ARenderTargetKeepsItsImageUntilAResetLosesItThenIsMadeAgain) {
  Texture target(plat::kFmtX8R8G8B8, 32, 16, 1, 0);
  ASSERT_NE(target.deviceTexture, nullptr);
  EXPECT_EQ(target.desc.pool, plat::kPoolDefault);
  EXPECT_EQ(target.desc.usage, plat::kUsageRenderTarget);
  // Something copied in stays over an acquire.
  plat::Surface* image = CreateImageSurface(g_renderer, 4, 4, plat::kFmtX8R8G8B8);
  ASSERT_NE(image, nullptr);
  std::vector<uint32_t> red(16, 0xFFFF0000u);
  image->WritePixels(plat::Rect{0, 0, 4, 4}, red.data());
  ASSERT_EQ(CopySurfaceToTexture(nullptr, g_renderer, &target, image, nullptr), plat::kOk);
  delete image;
  plat::DeviceTexture* before = target.deviceTexture;
  ASSERT_GE(TextureAcquire(&target), 0);
  EXPECT_EQ(target.deviceTexture, before);
  EXPECT_EQ(Texels(target.deviceTexture)[0], 0xFFFF0000u);

  ASSERT_EQ(AppWindowActivate(g_renderer, nullptr), plat::kOk);  // resets the device
  EXPECT_TRUE(target.deviceTexture->IsLost());
  ASSERT_GE(TextureAcquire(&target), 0);
  ASSERT_NE(target.deviceTexture, nullptr);
  EXPECT_FALSE(target.deviceTexture->IsLost());
  EXPECT_EQ(target.desc.width, 32u);
  EXPECT_EQ(target.desc.height, 16u);
  EXPECT_EQ(target.desc.pool, plat::kPoolDefault);

  // A managed file texture survives the reset untouched.
  WritePng("G/M.PNG", 2, 2, std::vector<uint32_t>(4, 0xFF0000FFu));
  Texture managed("G\\M.PNG", 0, 0, 0, 1.0f, 0, 0, 1, 0);
  plat::DeviceTexture* kept = managed.deviceTexture;
  ASSERT_EQ(AppWindowActivate(g_renderer, nullptr), plat::kOk);
  ASSERT_GE(TextureAcquire(&managed), 0);
  EXPECT_EQ(managed.deviceTexture, kept);
  EXPECT_EQ(Texels(kept)[3], 0xFF0000FFu);
}

TEST_F(TextureTest, TexturesLiveInListsAndAreFreedThroughTheirDestructor) {
  auto* head = NewZeroed<Texture>(plat::kFmtA8R8G8B8, 4, 4, 0, 0);
  auto* second = NewZeroed<Texture>(plat::kFmtA8R8G8B8, 4, 4, 0, 0);
  ASSERT_NE(head, nullptr);
  head->Append(second);
  EXPECT_EQ(head->next(), second);
  second->Unlink();
  DeleteZeroed(second);
  DeleteZeroed(head);
}

}  // namespace
