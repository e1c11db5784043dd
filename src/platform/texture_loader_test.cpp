#include "platform/texture_loader.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/gl_test_fixture.h"
#include "platform/jpeg_test_writer.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace plat {
namespace {

TEST(ResampleTest, EqualSizesCopy) {
  const uint32_t src[] = {1, 2, 3, 4, 5, 6};
  uint32_t dst[6] = {};
  ASSERT_EQ(ResampleImage(src, 3, 2, dst, 3, 2, kFilterLinear), kOk);
  EXPECT_EQ(std::vector<uint32_t>(dst, dst + 6), std::vector<uint32_t>(src, src + 6));
}

TEST(ResampleTest, NoneCopiesTheOverlapToTheCornerAndLeavesTheRestClear) {
  const uint32_t src[] = {0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u};  // 2 x 2
  uint32_t dst[9];
  ASSERT_EQ(ResampleImage(src, 2, 2, dst, 3, 3, kFilterNone), kOk);
  const uint32_t expected[] = {0xFF000001u, 0xFF000002u, 0, 0xFF000003u, 0xFF000004u, 0, 0, 0, 0};
  EXPECT_EQ(std::vector<uint32_t>(dst, dst + 9), std::vector<uint32_t>(expected, expected + 9));
  uint32_t one = 7;
  ASSERT_EQ(ResampleImage(src, 2, 2, &one, 1, 1, kFilterNone), kOk);
  EXPECT_EQ(one, 0xFF000001u);
}

TEST(ResampleTest, PointTakesTheNearestPixel) {
  const uint32_t src[] = {10, 20, 30, 40};  // 4 x 1
  uint32_t half[2], twice[8];
  ASSERT_EQ(ResampleImage(src, 4, 1, half, 2, 1, kFilterPoint), kOk);
  EXPECT_EQ(half[0], 20u);  // centre 0.5 of 2 -> source 1
  EXPECT_EQ(half[1], 40u);
  ASSERT_EQ(ResampleImage(src, 4, 1, twice, 8, 1, kFilterPoint), kOk);
  const uint32_t expected[] = {10, 10, 20, 20, 30, 30, 40, 40};
  EXPECT_EQ(std::vector<uint32_t>(twice, twice + 8), std::vector<uint32_t>(expected, expected + 8));
}

TEST(ResampleTest, LinearAveragesPairsWhenHalvingAndWeighsByDistance) {
  // 4 x 2 -> 2 x 1: each destination pixel is the mean of a 2 x 2 square.
  const uint32_t src[] = {0x00000000u, 0x40404040u, 0x80808080u, 0xFFFFFFFFu,
                          0x20202020u, 0x60606060u, 0x10101010u, 0x30303030u};
  uint32_t dst[2];
  ASSERT_EQ(ResampleImage(src, 4, 2, dst, 2, 1, kFilterLinear), kOk);
  EXPECT_EQ(dst[0], 0x30303030u);  // (0 + 0x40 + 0x20 + 0x60) / 4
  EXPECT_EQ(dst[1], 0x70707070u);  // (128 + 255 + 16 + 48) / 4 = 111.75, rounded
  // 2 -> 4 across: centres at -0.25, 0.25, 0.75, 1.25 of the source.
  const uint32_t two[] = {0xFF000000u, 0xFF0000FFu};
  uint32_t four[4];
  ASSERT_EQ(ResampleImage(two, 2, 1, four, 4, 1, kFilterTriangle), kOk);
  EXPECT_EQ(four[0], 0xFF000000u);
  EXPECT_EQ(four[1], 0xFF000040u);
  EXPECT_EQ(four[2], 0xFF0000BFu);
  EXPECT_EQ(four[3], 0xFF0000FFu);
}

TEST(ResampleTest, BadArgumentsAreRefused) {
  const uint32_t src[] = {1};
  uint32_t dst[1];
  EXPECT_EQ(ResampleImage(src, 1, 1, dst, 1, 1, 7), kInvalidArg);
  EXPECT_EQ(ResampleImage(src, 0, 1, dst, 1, 1, kFilterPoint), kInvalidArg);
  EXPECT_EQ(ResampleImage(src, 1, 1, dst, 1, 0, kFilterPoint), kInvalidArg);
  EXPECT_EQ(ResampleImage(nullptr, 1, 1, dst, 1, 1, kFilterPoint), kInvalidArg);
  EXPECT_EQ(ResampleImage(src, 1, 1, dst, 1, 1, kLoaderDefault), kOk);
}

TEST(ColourKeyTest, OnlyExactMatchesBecomeClear) {
  std::vector<uint32_t> p = {0xFF000000u, 0xFE000000u, 0xFF000001u, 0xFF000000u};
  ApplyColourKey(&p, 0xFF000000u);
  EXPECT_EQ(p, (std::vector<uint32_t>{0, 0xFE000000u, 0xFF000001u, 0}));
  ApplyColourKey(&p, 0);
  EXPECT_EQ(p[1], 0xFE000000u);
}

// Loading into the OpenGL device from files under a temporary data root.
class TextureLoaderTest : public testing::GlFixture {
 protected:
  void SetUp() override {
    GlFixture::SetUp();
    oldRoot_ = DataRoot();
    SetDataRoot(dir_.path());
  }
  void TearDown() override {
    SetDataRoot(oldRoot_);
    GlFixture::TearDown();
  }
  void WritePng(const std::string& name, uint32_t w, uint32_t h, const std::vector<uint32_t>& argb, bool alpha) {
    std::vector<uint8_t> png;
    ASSERT_EQ(EncodePng(w, h, argb.data(), alpha, &png), kOk);
    dir_.Write(name, std::string(png.begin(), png.end()));
  }
  std::vector<uint32_t> Texels(DeviceTexture* t) {
    SurfaceDesc d;
    t->GetLevelDesc(0, &d);
    Surface* s = nullptr;
    t->GetSurfaceLevel(0, &s);
    std::vector<uint32_t> out(size_t{d.width} * d.height);
    EXPECT_EQ(s->ReadPixels(Rect{0, 0, int32_t(d.width), int32_t(d.height)}, out.data()), kOk);
    delete s;
    return out;
  }

  TempDir dir_;
  std::string oldRoot_;
};

TEST_F(TextureLoaderTest, AFileTakesItsOwnSizeAndFormatWhenLeftToTheLoader) {
  std::vector<uint32_t> px(5 * 3);
  for (size_t i = 0; i < px.size(); ++i) px[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x0A0B0C);
  WritePng("GRAPHICS/ODD.PNG", 5, 3, px, false);
  DeviceTexture* t = nullptr;
  ImageInfo info;
  ASSERT_EQ(CreateTextureFromFile(device_.get(), "GRAPHICS\\ODD.PNG", 0, 0, 1, 0, kFmtUnknown, kPoolManaged,
                                  kFilterNone, kLoaderDefault, 0, &info, &t),
            kOk);
  std::unique_ptr<DeviceTexture> owned(t);
  SurfaceDesc d;
  ASSERT_EQ(t->GetLevelDesc(0, &d), kOk);
  EXPECT_EQ(d.width, 5u);  // not rounded to a power of two
  EXPECT_EQ(d.height, 3u);
  EXPECT_EQ(d.format, kFmtX8R8G8B8);
  EXPECT_EQ(d.pool, kPoolManaged);
  EXPECT_EQ(info.width, 5u);
  EXPECT_EQ(info.format, kFmtR8G8B8);
  EXPECT_EQ(Texels(t), px);
}

TEST_F(TextureLoaderTest, SizeFormatAndColourKeyAreAppliedAsAsked) {
  // 4 x 2: black (the key) in the first column, the rest a 4-bit-unfriendly grey.
  std::vector<uint32_t> px(8, 0xFF7F7F7Fu);
  px[0] = px[4] = 0xFF000000u;
  WritePng("G/KEY.PNG", 4, 2, px, true);
  DeviceTexture* t = nullptr;
  ASSERT_EQ(CreateTextureFromFile(device_.get(), "G\\KEY.PNG", 0, 0, 1, 0, kFmtA4R4G4B4, kPoolManaged, kFilterNone,
                                  kLoaderDefault, 0xFF000000u, nullptr, &t),
            kOk);
  std::unique_ptr<DeviceTexture> keyed(t);
  std::vector<uint32_t> texels = Texels(t);
  EXPECT_EQ(texels[0], 0u);
  EXPECT_EQ(texels[4], 0u);
  EXPECT_EQ(texels[1], 0xFF777777u);

  // Asked at 2 x 1 with point filtering: the nearest pixels of each half.
  ASSERT_EQ(CreateTextureFromFile(device_.get(), "G\\KEY.PNG", 2, 1, 1, 0, kFmtA8R8G8B8, kPoolManaged, kFilterPoint,
                                  kLoaderDefault, 0, nullptr, &t),
            kOk);
  std::unique_ptr<DeviceTexture> small(t);
  SurfaceDesc d;
  t->GetLevelDesc(0, &d);
  EXPECT_EQ(d.width, 2u);
  EXPECT_EQ(d.height, 1u);
  EXPECT_EQ(Texels(t), (std::vector<uint32_t>{0xFF7F7F7Fu, 0xFF7F7F7Fu}));
}

TEST_F(TextureLoaderTest, AJpegFileLoadsAsOpaqueColourAtItsSizeOrTheOneAsked) {
  std::vector<uint32_t> px(24 * 8, 0xFF3264C8u);
  const std::vector<uint8_t> jpeg = testing::EncodeJpeg(24, 8, px, false);
  dir_.Write("G/PHOTO.JPG", std::string(jpeg.begin(), jpeg.end()));
  DeviceTexture* t = nullptr;
  ImageInfo info;
  ASSERT_EQ(CreateTextureFromFile(device_.get(), "G\\PHOTO.JPG", 0, 0, 1, 0, kFmtUnknown, kPoolManaged, kFilterNone,
                                  kLoaderDefault, 0, &info, &t),
            kOk);
  std::unique_ptr<DeviceTexture> whole(t);
  SurfaceDesc d;
  t->GetLevelDesc(0, &d);
  EXPECT_EQ(d.width, 24u);
  EXPECT_EQ(d.height, 8u);
  EXPECT_EQ(d.format, kFmtX8R8G8B8);
  EXPECT_EQ(info.fileFormat, kImageFileJpg);
  for (uint32_t texel : Texels(t)) {
    ASSERT_EQ(texel >> 24, 0xFFu);
    ASSERT_NEAR(static_cast<int>((texel >> 16) & 0xFFu), 0x32, 3);
    ASSERT_NEAR(static_cast<int>(texel & 0xFFu), 0xC8, 3);
  }
  ASSERT_EQ(CreateTextureFromFile(device_.get(), "G\\PHOTO.JPG", 12, 4, 1, 0, kFmtA4R4G4B4, kPoolManaged,
                                  kFilterLinear, kLoaderDefault, 0, nullptr, &t),
            kOk);
  std::unique_ptr<DeviceTexture> half(t);
  t->GetLevelDesc(0, &d);
  EXPECT_EQ(d.width, 12u);
  EXPECT_EQ(d.height, 4u);
  EXPECT_EQ(d.format, kFmtA4R4G4B4);
  EXPECT_EQ(Texels(t)[5], 0xFF3366CCu);  // the flat colour kept in four bits
}

TEST_F(TextureLoaderTest, MissingOrBrokenFilesAndBadFiltersLeaveNoTexture) {
  dir_.Write("G/BAD.PNG", "\x89PNG not really");
  DeviceTexture* t = reinterpret_cast<DeviceTexture*>(this);
  EXPECT_LT(CreateTextureFromFile(device_.get(), "G\\NONE.PNG", 0, 0, 1, 0, 0, kPoolManaged, kFilterNone, 0, 0,
                                  nullptr, &t),
            0);
  EXPECT_EQ(t, nullptr);
  t = reinterpret_cast<DeviceTexture*>(this);
  EXPECT_LT(CreateTextureFromFile(device_.get(), "G\\BAD.PNG", 0, 0, 1, 0, 0, kPoolManaged, kFilterNone, 0, 0,
                                  nullptr, &t),
            0);
  EXPECT_EQ(t, nullptr);
  WritePng("G/OK.PNG", 1, 1, {0xFFFFFFFFu}, true);
  EXPECT_EQ(CreateTextureFromFile(device_.get(), "G\\OK.PNG", 0, 0, 1, 0, 0, kPoolManaged, 9, 0, 0, nullptr, &t),
            kInvalidArg);
  EXPECT_EQ(t, nullptr);
}

TEST_F(TextureLoaderTest, BlankTexturesTakeTheDefaultSizeAndANearbyFormat) {
  DeviceTexture* t = nullptr;
  ASSERT_EQ(CreateBlankTexture(device_.get(), 0, 0, 1, 0, kFmtR8G8B8, kPoolManaged, &t), kOk);
  std::unique_ptr<DeviceTexture> owned(t);
  SurfaceDesc d;
  t->GetLevelDesc(0, &d);
  EXPECT_EQ(d.width, 256u);
  EXPECT_EQ(d.height, 256u);
  EXPECT_EQ(d.format, kFmtX8R8G8B8);
  EXPECT_EQ(Texels(t)[77], 0xFF000000u);  // blank: opaque black where there is no alpha
  ASSERT_EQ(CreateBlankTexture(device_.get(), 1u << 30, 3, 1, 0, kFmtA8R8G8B8, kPoolManaged, &t), kOk);
  std::unique_ptr<DeviceTexture> wide(t);
  DeviceCaps caps;
  device_->GetDeviceCaps(&caps);
  t->GetLevelDesc(0, &d);
  EXPECT_EQ(d.width, caps.maxTextureWidth);
  EXPECT_EQ(Texels(t)[0], 0u);
}

TEST_F(TextureLoaderTest, SurfacesLoadFromRectanglesOfFilesAndOfOtherSurfaces) {
  std::vector<uint32_t> px(4 * 4);
  for (uint32_t i = 0; i < 16; ++i) px[i] = 0xFF000000u | i;
  WritePng("G/SHEET.PNG", 4, 4, px, true);
  std::unique_ptr<Surface> sheet(CreateMemorySurface(4, 4, kFmtA8R8G8B8));
  ASSERT_EQ(LoadSurfaceFromFile(sheet.get(), nullptr, "G\\SHEET.PNG", nullptr, kFilterNone, 0, nullptr), kOk);
  std::unique_ptr<Surface> cell(CreateMemorySurface(2, 2, kFmtA8R8G8B8));
  const Rect second{2, 0, 4, 2};
  ASSERT_EQ(LoadSurfaceFromSurface(cell.get(), nullptr, sheet.get(), &second, kFilterNone, 0), kOk);
  uint32_t got[4];
  ASSERT_EQ(cell->ReadPixels(Rect{0, 0, 2, 2}, got), kOk);
  EXPECT_EQ(std::vector<uint32_t>(got, got + 4), (std::vector<uint32_t>{0xFF000002u, 0xFF000003u, 0xFF000006u, 0xFF000007u}));
  const Rect outside{3, 0, 5, 2};
  EXPECT_EQ(LoadSurfaceFromSurface(cell.get(), nullptr, sheet.get(), &outside, kFilterNone, 0), kInvalidArg);
  ImageInfo info;
  const Rect corner{1, 1, 2, 2};
  ASSERT_EQ(LoadSurfaceFromFile(cell.get(), &corner, "G\\SHEET.PNG", &second, kFilterPoint, 0, &info), kOk);
  EXPECT_EQ(info.width, 4u);
  ASSERT_EQ(cell->ReadPixels(Rect{1, 1, 2, 2}, got), kOk);
  EXPECT_EQ(got[0], 0xFF000007u);  // nearest to the centre of the 2 x 2 rectangle
  EXPECT_EQ(LoadSurfaceFromFile(cell.get(), nullptr, "G\\NONE.PNG", nullptr, kFilterNone, 0, nullptr), kFail);
}

}  // namespace
}  // namespace plat
