// The .D3F image: byte layout, round trip, and the reader's refusals.
#include "app/gfx/font_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/paths.h"
#include "support/temp_dir.h"

namespace {

FontFileImage Sample() {
  FontFileImage image{};
  std::strcpy(image.name, "FONT3");
  image.value1 = 7;
  image.value2 = 2;
  image.pageWidth = 256;
  image.pageHeight = 64;
  image.scale = 1.0f;
  for (int i = 0; i < kGlyphCount; ++i)
    image.glyphs[i] = GlyphCell{static_cast<float>(i) / 256.0f, 0.25f, static_cast<float>(i + 1) / 256.0f, 0.5f};
  return image;
}

uint32_t Word(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 | static_cast<uint32_t>(b[at + 2]) << 16 |
         static_cast<uint32_t>(b[at + 3]) << 24;
}

void PutFloat(std::vector<uint8_t>& b, size_t at, float v) {
  uint32_t w;
  std::memcpy(&w, &v, 4);
  for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(w >> (8 * i));
}

TEST(FontFileTest, TheImageIsLaidOutLittleEndianAtItsOffsets) {
  const std::vector<uint8_t> b = EncodeFontFile(Sample());
  ASSERT_EQ(b.size(), 3716u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data())), "FONT3");
  EXPECT_EQ(b[5], 0);
  EXPECT_EQ(Word(b, 80), 7u);
  EXPECT_EQ(Word(b, 84), 2u);
  EXPECT_EQ(Word(b, 88), 0u);  // run-time slots are written empty
  EXPECT_EQ(Word(b, 92), 0u);
  EXPECT_EQ(Word(b, 96), 0u);
  EXPECT_EQ(Word(b, 100), 256u);
  EXPECT_EQ(Word(b, 104), 64u);
  EXPECT_EQ(Word(b, 108), 0x3F800000u);  // 1.0f
  // Code 'A' (65) at 112 + 16 x 33: uLeft 33/256, vTop 0.25, uRight 34/256, vBottom 0.5.
  const size_t a = 112 + 16 * (65 - 32);
  EXPECT_EQ(Word(b, a), 0x3E040000u);       // 0.12890625
  EXPECT_EQ(Word(b, a + 4), 0x3E800000u);   // 0.25
  EXPECT_EQ(Word(b, a + 8), 0x3E080000u);   // 0.1328125
  EXPECT_EQ(Word(b, a + 12), 0x3F000000u);  // 0.5
  EXPECT_EQ(Word(b, 3704), 0u);
  EXPECT_EQ(Word(b, 3712), 0u);
}

TEST(FontFileTest, ARoundTripGivesTheSameImageAndTheSameBytes) {
  const std::vector<uint8_t> bytes = EncodeFontFile(Sample());
  FontFileImage read;
  ASSERT_EQ(ParseFontFile(bytes.data(), bytes.size(), &read), plat::kOk);
  EXPECT_STREQ(read.name, "FONT3");
  EXPECT_EQ(read.value1, 7u);
  EXPECT_EQ(read.pageWidth, 256u);
  EXPECT_EQ(read.glyphs[33].uLeft, 33.0f / 256.0f);
  EXPECT_EQ(EncodeFontFile(read), bytes);
}

TEST(FontFileTest, RunTimeSlotsAndTheQueueAreNeverTakenFromTheFile) {
  std::vector<uint8_t> bytes = EncodeFontFile(Sample());
  for (size_t at : {88u, 92u, 96u, 3704u, 3708u, 3712u})
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = 0xAB;
  FontFileImage read;
  ASSERT_EQ(ParseFontFile(bytes.data(), bytes.size(), &read), plat::kOk);
  EXPECT_EQ(read.deviceSlot, 0u);
  EXPECT_EQ(read.pageSlot, 0u);
  EXPECT_EQ(read.vertexBufferSlot, 0u);
  EXPECT_EQ(read.writeOffset, 0u);
  EXPECT_EQ(read.flushedOffset, 0u);
  EXPECT_EQ(read.pending, 0u);
}

TEST(FontFileTest, TheReaderRefusesWhatItCannotUseAndLeavesTheImageAlone) {
  const std::vector<uint8_t> good = EncodeFontFile(Sample());
  FontFileImage kept = Sample();
  kept.value1 = 99;
  auto refused = [&](const std::vector<uint8_t>& bytes) {
    FontFileImage image = kept;
    const char* why = nullptr;
    const bool failed = ParseFontFile(bytes.data(), bytes.size(), &image, &why) == plat::kFail;
    EXPECT_NE(why, nullptr);
    EXPECT_EQ(image.value1, 99u) << "a refused file changes nothing";
    return failed;
  };
  EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.end() - 1)));  // 3,715 bytes
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  EXPECT_TRUE(refused(longer));
  std::vector<uint8_t> b = good;
  std::memset(b.data(), 'X', 80);  // name without its terminator
  EXPECT_TRUE(refused(b));
  b = good;
  b[100] = b[101] = b[102] = b[103] = 0;  // no page width
  EXPECT_TRUE(refused(b));
  b = good;
  b[104] = 0;
  b[105] = 0x80;  // page height 32,768
  EXPECT_TRUE(refused(b));
  b = good;
  PutFloat(b, 108, 0.0f);
  EXPECT_TRUE(refused(b));
  b = good;
  PutFloat(b, 108, std::numeric_limits<float>::infinity());
  EXPECT_TRUE(refused(b));
  b = good;
  PutFloat(b, 112 + 16 * 10, std::numeric_limits<float>::quiet_NaN());
  EXPECT_TRUE(refused(b));
  b = good;
  PutFloat(b, 112 + 16 * 10 + 8, 1.5f);  // past the page
  EXPECT_TRUE(refused(b));
  b = good;
  PutFloat(b, 112 + 16 * 10, 0.9f);  // right edge left of the left edge
  EXPECT_TRUE(refused(b));
  FontFileImage image;
  EXPECT_EQ(ParseFontFile(nullptr, 3716, &image), plat::kFail);
}

TEST(FontFileTest, WritingGoesThroughTheResolverAndReadsBack) {
  TempDir dir;
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(dir.path());
  ASSERT_TRUE(plat::MakeGameDirectories("FONTS"));
  ASSERT_EQ(WriteFontFile("FONTS\\FONT3.D3F", Sample()), plat::kOk);
  const auto bytes = plat::ReadFileBytes("FONTS\\FONT3.D3F");
  plat::SetDataRoot(oldRoot);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(*bytes, EncodeFontFile(Sample()));
}

}  // namespace
