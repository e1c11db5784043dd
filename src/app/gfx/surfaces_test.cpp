// Image surfaces, copies into textures and the PNG header reader.
#include "app/gfx/surfaces.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/gfx/gfx_test_support.h"
#include "app/gfx/texture.h"

namespace {

using gfxtest::GlRendererTest;
using SurfacesTest = GlRendererTest;

// The 33 bytes of a PNG signature and IHDR with the given fields.
std::string PngHeader(uint32_t width, uint32_t height, uint8_t colourType) {
  std::string b = "\x89PNG\r\n\x1a\n";
  auto put = [&b](uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<char>(v >> s));
  };
  put(13);
  b += "IHDR";
  put(width);
  put(height);
  b.push_back(8);
  b.push_back(static_cast<char>(colourType));
  b.append(3, '\0');
  put(0);  // CRC: not read
  return b;
}

TEST_F(SurfacesTest, PngInfoReadsTheLowSixteenBitsAndTheColourType) {
  dir_.Write("G/WIDE.PNG", PngHeader(70000, 65537, 6) + std::string(100, 'x'));
  uint32_t w = 1, h = 1, size = 1;
  int32_t format = 1;
  ASSERT_EQ(ReadPngImageInfo("G\\WIDE.PNG", &w, &h, &format, &size), plat::kOk);
  EXPECT_EQ(w, 4464u);
  EXPECT_EQ(h, 1u);
  EXPECT_EQ(format, plat::kFmtA8R8G8B8);
  EXPECT_EQ(size, 133u);
  dir_.Write("G/RGB.PNG", PngHeader(300, 200, 2));
  ASSERT_EQ(ReadPngImageInfo("G\\RGB.PNG", &w, &h, &format, &size), plat::kOk);
  EXPECT_EQ(w, 300u);
  EXPECT_EQ(h, 200u);
  EXPECT_EQ(format, plat::kFmtR8G8B8);
  EXPECT_EQ(size, 33u);
  dir_.Write("G/PAL.PNG", PngHeader(3, 4, 3));
  ASSERT_EQ(ReadPngImageInfo("G\\PAL.PNG", &w, &h, &format, &size), plat::kOk);
  EXPECT_EQ(format, 0);
  // A real file agrees.
  WritePng("G/REAL.PNG", 17, 9, std::vector<uint32_t>(17 * 9, 0xFF000000u), true);
  ASSERT_EQ(ReadPngImageInfo("G\\REAL.PNG", &w, &h, &format, &size), plat::kOk);
  EXPECT_EQ(w, 17u);
  EXPECT_EQ(h, 9u);
  EXPECT_EQ(format, plat::kFmtA8R8G8B8);
}

TEST_F(SurfacesTest, PngInfoRefusesShortForeignAndMissingFiles) {
  dir_.Write("G/SHORT.PNG", PngHeader(64, 64, 6).substr(0, 32));
  uint32_t w = 1, h = 1, size = 1;
  int32_t format = 1;
  EXPECT_EQ(ReadPngImageInfo("G\\SHORT.PNG", &w, &h, &format, &size), plat::kFail);
  EXPECT_EQ(w, 0u);
  EXPECT_EQ(h, 0u);
  EXPECT_EQ(format, 0);
  EXPECT_EQ(size, 32u);  // the size is taken before the header is read
  std::string notPng = PngHeader(64, 64, 6);
  notPng[1] = 'Q';
  dir_.Write("G/Q.PNG", notPng);
  EXPECT_EQ(ReadPngImageInfo("G\\Q.PNG", &w, &h, &format, &size), plat::kFail);
  EXPECT_EQ(w, 0u);
  EXPECT_EQ(ReadPngImageInfo("G\\NONE.PNG", &w, &h, &format, &size), plat::kFail);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(ReadPngImageInfo(nullptr, &w, &h, &format, &size), plat::kFail);
}

TEST_F(SurfacesTest, ImageSurfacesTakeTheBackBuffersSizeAndFormatForZero) {
  std::unique_ptr<plat::Surface> s(CreateImageSurface(g_renderer, 0, 0, 0));
  ASSERT_NE(s, nullptr);
  plat::SurfaceDesc d;
  s->GetDesc(&d);
  EXPECT_EQ(d.width, kWidth);
  EXPECT_EQ(d.height, kHeight);
  EXPECT_EQ(d.format, g_renderer.backBufferDesc.format);
  EXPECT_EQ(d.pool, plat::kPoolSystemMem);
  std::unique_ptr<plat::Surface> small(CreateImageSurface(g_renderer, 5, 0, plat::kFmtA4R4G4B4));
  ASSERT_NE(small, nullptr);
  small->GetDesc(&d);
  EXPECT_EQ(d.width, 5u);
  EXPECT_EQ(d.height, kHeight);
  EXPECT_EQ(d.format, plat::kFmtA4R4G4B4);
  EXPECT_EQ(CreateImageSurface(g_renderer, 4, 4, plat::kFmtR8G8B8), nullptr);
}

TEST_F(SurfacesTest, ACopyIntoATextureIsCutToWhatFitsFromThePoint) {
  Texture tex(plat::kFmtA8R8G8B8, 8, 4, 0, 0);
  Fill(tex.deviceTexture, std::vector<uint32_t>(32, 0xFF0000FFu));
  std::unique_ptr<plat::Surface> src(CreateImageSurface(g_renderer, 16, 16, plat::kFmtA8R8G8B8));
  std::vector<uint32_t> px(256);
  for (uint32_t i = 0; i < 256; ++i) px[i] = 0xFF000000u | i;
  src->WritePixels(plat::Rect{0, 0, 16, 16}, px.data());
  const plat::Rect from{2, 3, 12, 13};  // 10 x 10: cut to 3 x 2 at (5, 2)
  const plat::Point to{5, 2};
  ASSERT_EQ(CopySurfaceToTexture(&from, g_renderer, &tex, src.get(), &to), plat::kOk);
  const std::vector<uint32_t> t = Texels(tex.deviceTexture);
  for (uint32_t y = 0; y < 4; ++y)
    for (uint32_t x = 0; x < 8; ++x) {
      uint32_t expected = 0xFF0000FFu;
      if (x >= 5 && y >= 2) expected = 0xFF000000u | ((y - 2 + 3) * 16 + (x - 5 + 2));
      ASSERT_EQ(t[y * 8 + x], expected) << x << "," << y;
    }
  // Without a point, to the corner; a whole source too big for the texture fails.
  const plat::Rect one{0, 0, 1, 1};
  ASSERT_EQ(CopySurfaceToTexture(&one, g_renderer, &tex, src.get(), nullptr), plat::kOk);
  EXPECT_EQ(Texels(tex.deviceTexture)[0], 0xFF000000u);
  EXPECT_LT(CopySurfaceToTexture(nullptr, g_renderer, &tex, src.get(), nullptr), 0);
  const plat::Point outside{8, 0};
  EXPECT_LT(CopySurfaceToTexture(&one, g_renderer, &tex, src.get(), &outside), 0);
  Texture none;
  EXPECT_EQ(CopySurfaceToTexture(&one, g_renderer, &none, src.get(), nullptr), plat::kInvalidArg);
  // The back buffer copies in as well.
  ClearTo(0xFF123456u);
  ASSERT_EQ(CopySurfaceToTexture(&one, g_renderer, &tex, g_renderer.backBuffer, nullptr), plat::kOk);
  EXPECT_EQ(Texels(tex.deviceTexture)[0], 0xFF123456u);
}

}  // namespace
