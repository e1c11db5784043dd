#include "platform/image_loader.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>

#include "platform/graphics_device.h"
#include "platform/jpeg_test_writer.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace plat {
namespace {

std::vector<uint32_t> Pattern(uint32_t w, uint32_t h, bool alpha) {
  std::vector<uint32_t> p(size_t{w} * h);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x)
      p[size_t{y} * w + x] = (alpha ? (x * 37 + y * 11) & 0xFFu : 0xFFu) << 24 | (x * 20) << 16 | (y * 30) << 8 | 0x5Au;
  return p;
}

std::vector<uint8_t> EncodeGreyPng(uint32_t w, uint32_t h, const std::vector<uint8_t>& grey) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = w;
  image.height = h;
  image.format = PNG_FORMAT_GRAY;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, grey.data(), 0, nullptr);
  std::vector<uint8_t> out(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, grey.data(), 0, nullptr));
  out.resize(size);
  return out;
}

void PutBigEndian(std::vector<uint8_t>& b, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}

// A PNG signature and an IHDR chunk (correct CRC) of the size, nothing after.
std::vector<uint8_t> HeaderOnlyPng(uint32_t w, uint32_t h) {
  std::vector<uint8_t> b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  PutBigEndian(b, 13);
  const size_t typeAt = b.size();
  b.insert(b.end(), {'I', 'H', 'D', 'R'});
  PutBigEndian(b, w);
  PutBigEndian(b, h);
  b.insert(b.end(), {8, 6, 0, 0, 0});
  PutBigEndian(b, static_cast<uint32_t>(crc32(0, b.data() + typeAt, 17)));
  return b;
}

TEST(ImageLoaderTest, PngRoundTripsWithAndWithoutAlpha) {
  const std::vector<uint32_t> pixels = Pattern(7, 5, true);
  std::vector<uint8_t> png;
  ASSERT_EQ(EncodePng(7, 5, pixels.data(), true, &png), kOk);
  DecodedImage image;
  ASSERT_EQ(DecodeImage(png.data(), png.size(), &image), kOk);
  EXPECT_EQ(image.info.width, 7u);
  EXPECT_EQ(image.info.height, 5u);
  EXPECT_EQ(image.info.format, kFmtA8R8G8B8);
  EXPECT_EQ(image.info.fileFormat, kImageFilePng);
  EXPECT_EQ(image.pixels, pixels);

  ASSERT_EQ(EncodePng(7, 5, pixels.data(), false, &png), kOk);
  ASSERT_EQ(DecodeImage(png.data(), png.size(), &image), kOk);
  EXPECT_EQ(image.info.format, kFmtR8G8B8);
  for (size_t i = 0; i < pixels.size(); ++i) ASSERT_EQ(image.pixels[i], pixels[i] | 0xFF000000u) << i;
}

TEST(ImageLoaderTest, GreyPngComesOutAsGreyOpaqueWords) {
  const std::vector<uint8_t> grey = {0, 17, 128, 255, 3, 200};
  const std::vector<uint8_t> png = EncodeGreyPng(3, 2, grey);
  DecodedImage image;
  ASSERT_EQ(DecodeImage(png.data(), png.size(), &image), kOk);
  EXPECT_EQ(image.info.format, kFmtL8);
  for (size_t i = 0; i < grey.size(); ++i) ASSERT_EQ(image.pixels[i], 0xFF000000u | grey[i] * 0x010101u) << i;
}

TEST(ImageLoaderTest, JpegDecodesNearItsColours) {
  // Flat blocks survive JPEG almost unchanged.
  std::vector<uint32_t> pixels(32 * 16);
  for (uint32_t y = 0; y < 16; ++y)
    for (uint32_t x = 0; x < 32; ++x) pixels[y * 32 + x] = x < 16 ? 0xFFC83214u : 0xFF1464C8u;
  const std::vector<uint8_t> jpeg = testing::EncodeJpeg(32, 16, pixels, false);
  DecodedImage image;
  ASSERT_EQ(DecodeImage(jpeg.data(), jpeg.size(), &image), kOk);
  EXPECT_EQ(image.info.width, 32u);
  EXPECT_EQ(image.info.height, 16u);
  EXPECT_EQ(image.info.format, kFmtX8R8G8B8);
  EXPECT_EQ(image.info.fileFormat, kImageFileJpg);
  for (size_t i = 0; i < pixels.size(); ++i)
    for (int s = 0; s < 32; s += 8)
      ASSERT_NEAR(static_cast<int>((image.pixels[i] >> s) & 0xFFu), static_cast<int>((pixels[i] >> s) & 0xFFu), 4)
          << i << " " << s;

  const std::vector<uint8_t> greyJpeg = testing::EncodeJpeg(8, 8, std::vector<uint32_t>(64, 0x80), true);
  ASSERT_EQ(DecodeImage(greyJpeg.data(), greyJpeg.size(), &image), kOk);
  EXPECT_EQ(image.info.format, kFmtL8);
  EXPECT_NEAR(static_cast<int>(image.pixels[9] & 0xFFu), 0x80, 2);
  EXPECT_EQ(image.pixels[9] >> 24, 0xFFu);
}

TEST(ImageLoaderTest, DamagedTruncatedOversizedAndForeignFilesAreRefused) {
  const std::vector<uint32_t> pixels = Pattern(16, 16, true);
  std::vector<uint8_t> png;
  ASSERT_EQ(EncodePng(16, 16, pixels.data(), true, &png), kOk);
  DecodedImage image;
  image.info.width = 99;
  for (size_t cut : {size_t{4}, size_t{20}, png.size() / 2, png.size() - 13}) {
    EXPECT_EQ(DecodeImage(png.data(), cut, &image), kFail) << cut;
    EXPECT_EQ(image.info.width, 99u);  // untouched
  }
  std::vector<uint8_t> flipped = png;
  flipped[flipped.size() / 2] ^= 0xFF;
  EXPECT_EQ(DecodeImage(flipped.data(), flipped.size(), &image), kFail);

  const std::vector<uint8_t> jpeg = testing::EncodeJpeg(16, 16, pixels, false);
  EXPECT_EQ(DecodeImage(jpeg.data(), jpeg.size() / 2, &image), kFail);
  EXPECT_EQ(DecodeImage(jpeg.data(), 3, &image), kFail);

  const std::vector<uint8_t> wide = HeaderOnlyPng(kMaxImageSide + 1, 4);
  EXPECT_EQ(DecodeImage(wide.data(), wide.size(), &image), kFail);
  const std::vector<uint8_t> many = HeaderOnlyPng(10000, 10000);
  EXPECT_EQ(DecodeImage(many.data(), many.size(), &image), kFail);

  const uint8_t bmp[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(DecodeImage(bmp, sizeof bmp, &image), kFail);
  EXPECT_EQ(DecodeImage(nullptr, 0, &image), kInvalidArg);
  EXPECT_EQ(EncodePng(0, 4, pixels.data(), true, &png), kInvalidArg);
}

TEST(ImageLoaderTest, FilesAreFoundByGamePath) {
  TempDir dir;
  const std::string oldRoot = DataRoot();
  SetDataRoot(dir.path());
  const std::vector<uint32_t> pixels = Pattern(3, 3, false);
  std::vector<uint8_t> png;
  ASSERT_EQ(EncodePng(3, 3, pixels.data(), false, &png), kOk);
  dir.Write("graphics/tbits.png", std::string(png.begin(), png.end()));
  DecodedImage image;
  EXPECT_EQ(DecodeImageFile("GRAPHICS\\TBITS.PNG", &image), kOk);
  EXPECT_EQ(image.info.width, 3u);
  EXPECT_EQ(DecodeImageFile("GRAPHICS\\NONE.PNG", &image), kFail);
  SetDataRoot(oldRoot);
}

}  // namespace
}  // namespace plat
