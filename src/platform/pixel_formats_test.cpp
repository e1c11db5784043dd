#include "platform/pixel_formats.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/graphics_device.h"

namespace plat {
namespace {

// The level a narrow channel keeps for an 8-bit value, widened back.
uint32_t Kept(uint32_t value, int32_t format, int shift) { return (QuantiseToFormat(value << shift, format) >> shift) & 0xFFu; }

TEST(PixelFormatsTest, WorkedValues) {
  EXPECT_EQ(QuantiseToFormat(0x7F8A1234u, kFmtA4R4G4B4), 0x77881133u);
  EXPECT_EQ(QuantiseToFormat(0x7F8A1234u, kFmtA8R8G8B8), 0x7F8A1234u);
  EXPECT_EQ(QuantiseToFormat(0x7F8A1234u, kFmtX8R8G8B8), 0xFF8A1234u);
  // 0x80 in five bits is level 16, widened to 0x84; in six bits level 32, 0x82.
  EXPECT_EQ(QuantiseToFormat(0x00808080u, kFmtR5G6B5), 0xFF848284u);
  EXPECT_EQ(QuantiseToFormat(0x7FFFFFFFu, kFmtA1R5G5B5), 0x00FFFFFFu);
  EXPECT_EQ(QuantiseToFormat(0x80000000u, kFmtA1R5G5B5), 0xFF000000u);
  EXPECT_EQ(QuantiseToFormat(0x12345678u, kFmtX1R5G5B5) >> 24, 0xFFu);
}

TEST(PixelFormatsTest, EveryValueGoesToTheNearestLevelAndStaysThere) {
  struct Case {
    int32_t format;
    int shift;
    uint32_t bits;
  };
  const Case cases[] = {{kFmtA4R4G4B4, 24, 4}, {kFmtA4R4G4B4, 0, 4}, {kFmtR5G6B5, 16, 5},
                        {kFmtR5G6B5, 8, 6},    {kFmtX1R5G5B5, 0, 5}, {kFmtA8R8G8B8, 8, 8}};
  for (const Case& c : cases) {
    // Every level the channel has, widened by repeating its bits.
    std::vector<int> levels;
    const uint32_t top = (1u << c.bits) - 1;
    for (uint32_t q = 0; q <= top; ++q) levels.push_back(static_cast<int>(q * 255 / top));
    for (uint32_t v = 0; v < 256; ++v) {
      const uint32_t kept = Kept(v, c.format, c.shift);
      EXPECT_EQ(Kept(kept, c.format, c.shift), kept) << c.format << " " << v;
      bool isLevel = false;
      int best = 1000;
      for (int level : levels) {
        isLevel |= std::abs(level - static_cast<int>(kept)) <= 1;  // repetition is within one of q*255/top
        best = std::min(best, std::abs(level - static_cast<int>(v)));
      }
      EXPECT_TRUE(isLevel) << c.format << " " << v;
      EXPECT_LE(std::abs(static_cast<int>(kept) - static_cast<int>(v)), best + 1) << c.format << " " << v;
    }
  }
}

TEST(PixelFormatsTest, FormatsChosenForImages) {
  EXPECT_EQ(TextureFormatFor(kFmtA4R4G4B4, kFmtR8G8B8), kFmtA4R4G4B4);
  EXPECT_EQ(TextureFormatFor(kFmtUnknown, kFmtR8G8B8), kFmtX8R8G8B8);
  EXPECT_EQ(TextureFormatFor(kFmtUnknown, kFmtA8R8G8B8), kFmtA8R8G8B8);
  EXPECT_EQ(TextureFormatFor(kFmtUnknown, kFmtP8), kFmtA8R8G8B8);
  EXPECT_EQ(TextureFormatFor(kFmtUnknown, kFmtL8), kFmtX8R8G8B8);
  EXPECT_EQ(TextureFormatFor(kFmtR8G8B8, kFmtA8R8G8B8), kFmtX8R8G8B8);
  EXPECT_EQ(TextureFormatFor(kFmtD16, kFmtA8R8G8B8), kFmtA8R8G8B8);
  EXPECT_TRUE(IsSurfaceFormat(kFmtR5G6B5));
  EXPECT_FALSE(IsSurfaceFormat(kFmtR8G8B8));
  EXPECT_FALSE(IsSurfaceFormat(kFmtUnknown));
  EXPECT_EQ(FormatBytesPerPixel(kFmtA4R4G4B4), 2u);
  EXPECT_EQ(FormatBytesPerPixel(kFmtX8R8G8B8), 4u);
}

}  // namespace
}  // namespace plat
