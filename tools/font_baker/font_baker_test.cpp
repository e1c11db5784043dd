// The font baker: the files it writes, their metrics and pages, the same
// bytes on every run, and a baked font loaded and drawn by the game.
#include "font_baker.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/gfx/fonts.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/gfx_test_support.h"
#include "platform/image_loader.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

int RunTool(const std::string& arguments) {
  const std::string command = std::string(VD_FONT_BAKER_EXE) + " " + arguments + " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    uint8_t buf[4096];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + got);
    std::fclose(f);
  }
  return bytes;
}

struct LoadedFont {
  FontFileImage metrics{};
  plat::DecodedImage page;
};

LoadedFont ReadBaked(const std::string& dir, const std::string& name) {
  LoadedFont font;
  const std::vector<uint8_t> d3f = ReadAll(dir + "/FONTS/" + name + ".D3F");
  EXPECT_EQ(d3f.size(), kFontFileSize) << name;
  EXPECT_EQ(ParseFontFile(d3f.data(), d3f.size(), &font.metrics), plat::kOk) << name;
  const std::vector<uint8_t> png = ReadAll(dir + "/FONTS/" + name + ".PNG");
  EXPECT_EQ(plat::DecodeImage(png.data(), png.size(), &font.page), plat::kOk) << name;
  return font;
}

struct Ink {
  uint32_t pixels = 0;
  // The width of the ink in its first and last inked rows.
  int32_t topWidth = 0, bottomWidth = 0;
  // The first and last inked rows, from the top of the cell.
  int32_t firstRow = -1, lastRow = -1;
};

Ink InkOf(const LoadedFont& f, int code) {
  const GlyphCell& c = GlyphOf(f.metrics, code);
  const auto x0 = static_cast<uint32_t>(c.uLeft * f.metrics.pageWidth);
  const auto x1 = static_cast<uint32_t>(c.uRight * f.metrics.pageWidth);
  const auto y0 = static_cast<uint32_t>(c.vTop * f.metrics.pageHeight);
  const auto y1 = static_cast<uint32_t>(c.vBottom * f.metrics.pageHeight);
  Ink ink;
  bool seenRow = false;
  for (uint32_t y = y0; y < y1; ++y) {
    int32_t rowWidth = 0;
    for (uint32_t x = x0; x < x1; ++x) {
      if ((f.page.pixels[size_t{y} * f.page.info.width + x] >> 24) >= 0x80) {
        ++ink.pixels;
        ++rowWidth;
      }
    }
    if (rowWidth) {
      if (!seenRow) ink.topWidth = rowWidth, ink.firstRow = static_cast<int32_t>(y - y0);
      ink.lastRow = static_cast<int32_t>(y - y0);
      ink.bottomWidth = rowWidth;
      seenRow = true;
    }
  }
  return ink;
}

float Advance(const LoadedFont& f, int code) {
  const GlyphCell& c = GlyphOf(f.metrics, code);
  return (c.uRight - c.uLeft) * static_cast<float>(f.metrics.pageWidth);
}

class BakedFontsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    ASSERT_EQ(RunTool(dir_->path() + " " + VD_DEJAVU_DIR), 0);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static TempDir* dir_;
};
TempDir* BakedFontsTest::dir_ = nullptr;

TEST(FontBakerTest, RunningTheToolTwiceWritesTheSameBytes) {
  TempDir first, second;
  ASSERT_EQ(RunTool(first.path()), 0);
  ASSERT_EQ(RunTool(second.path() + " " + VD_DEJAVU_DIR), 0);
  size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(first.path())) {
    if (!entry.is_regular_file()) continue;
    ++files;
    const std::string relative = fs::relative(entry.path(), first.path()).string();
    const std::vector<uint8_t> a = ReadAll(entry.path().string());
    ASSERT_FALSE(a.empty()) << relative;
    EXPECT_EQ(a, ReadAll(second.path() + "/" + relative)) << relative;
  }
  EXPECT_EQ(files, 20u);  // ten fonts of two files, nothing left behind
}

TEST(FontBakerTest, TheToolRefusesBadArgumentsAndMissingFaces) {
  EXPECT_EQ(RunTool(""), 2);
  TempDir dir;
  EXPECT_EQ(RunTool(dir.path() + " " + dir.path()), 1);  // no faces there
}

TEST(FontBakerTest, CodesFollowWindows1252WithTheTwoIndicators) {
  using font_baker::CodePoint;
  EXPECT_EQ(CodePoint('A'), 0x41u);
  EXPECT_EQ(CodePoint(0x7F), 0x25B2u);
  EXPECT_EQ(CodePoint(0x80), 0x20ACu);
  EXPECT_EQ(CodePoint(0x81), 0x25BCu);
  EXPECT_EQ(CodePoint(0x8D), 0u);
  EXPECT_EQ(CodePoint(0x92), 0x2019u);
  EXPECT_EQ(CodePoint(0x9F), 0x0178u);
  EXPECT_EQ(CodePoint(0xE9), 0xE9u);
}

TEST_F(BakedFontsTest, EveryFontHasItsValuesAndAPageMatchingItsMetrics) {
  for (const font_baker::FontSpec& spec : font_baker::FontSpecs()) {
    SCOPED_TRACE(spec.name);
    const LoadedFont f = ReadBaked(dir_->path(), spec.name);
    EXPECT_STREQ(f.metrics.name, spec.name);
    EXPECT_EQ(f.metrics.value1, spec.value1);
    EXPECT_EQ(f.metrics.value2, spec.value2);
    EXPECT_EQ(f.metrics.scale, 1.0f);
    EXPECT_EQ(f.page.info.width, f.metrics.pageWidth);
    EXPECT_EQ(f.page.info.height, f.metrics.pageHeight);
    // One line height for every cell, a little above the pixel size.
    const GlyphCell& space = GlyphOf(f.metrics, ' ');
    const float line = (space.vBottom - space.vTop) * static_cast<float>(f.metrics.pageHeight);
    EXPECT_GE(line, static_cast<float>(spec.pixelSize));
    EXPECT_LE(line, static_cast<float>(spec.pixelSize) * 1.5f);
    for (int code = kFirstGlyphCode; code < 256; ++code) {
      const GlyphCell& c = GlyphOf(f.metrics, code);
      EXPECT_EQ((c.vBottom - c.vTop) * static_cast<float>(f.metrics.pageHeight), line) << code;
      EXPECT_GE(Advance(f, code), 1.0f) << code;
    }
    EXPECT_EQ(InkOf(f, ' ').pixels, 0u);
    EXPECT_EQ(InkOf(f, 0x8D).pixels, 0u);  // unassigned: blank
    for (int code : {int{'A'}, int{'g'}, int{'0'}, 0x80, 0xE9, 0x7F, 0x81}) EXPECT_GT(InkOf(f, code).pixels, 0u) << code;
    // The indicators point up and down.
    const Ink up = InkOf(f, 0x7F), down = InkOf(f, 0x81);
    EXPECT_LT(up.topWidth, up.bottomWidth);
    EXPECT_GT(down.topWidth, down.bottomWidth);
  }
}

// The font of lists, pop-up menus and text boxes (slot 3) and the title and
// label fonts read at 1024 x 768: from the top of a capital to the foot of
// a descender at least 12 pixels.
TEST_F(BakedFontsTest, TextFontsStandAtLeastTwelvePixelsHigh) {
  for (const char* name : {"FONT1", "FONT2", "FONT3"}) {
    const LoadedFont f = ReadBaked(dir_->path(), name);
    const Ink cap = InkOf(f, 'A'), descender = InkOf(f, 'g');
    EXPECT_GE(descender.lastRow - cap.firstRow + 1, 12) << name;
  }
}

TEST_F(BakedFontsTest, ProportionalFontsAreProportionalAndTheMonospacedOneIsNot) {
  const LoadedFont sans = ReadBaked(dir_->path(), "FONT2");
  EXPECT_GT(Advance(sans, 'W'), Advance(sans, 'i') + 4.0f);
  const LoadedFont mono = ReadBaked(dir_->path(), "FONT10");
  for (int code = 33; code < 127; ++code) EXPECT_EQ(Advance(mono, code), Advance(mono, 'M')) << code;
  // The bold font inks more of the same letters than the slanted plain one
  // its size.
  const LoadedFont plain = ReadBaked(dir_->path(), "FONT4");
  const LoadedFont bold = ReadBaked(dir_->path(), "FONT5");
  EXPECT_GT(InkOf(bold, 'H').pixels, InkOf(plain, 'H').pixels);
}

// A baked font as the game loads and draws it.
class BakedFontDrawTest : public gfxtest::GlRendererTest {};

TEST_F(BakedFontDrawTest, ABakedFontLoadsAndDrawsItsText) {
  ASSERT_EQ(RunTool(dir_.path() + " " + VD_DEJAVU_DIR), 0);
  BitmapFont font;
  CreateBitmapFont(&font, "FONT1", 0, 0);
  ASSERT_NE(font.page, nullptr);
  ASSERT_EQ(font.device, g_renderer.device);
  EXPECT_EQ(font.image.value1, 12u);  // the file's values replace the given ones
  ASSERT_EQ(CreateFontVertexBuffer(&font), plat::kOk);
  int32_t width = 0, height = 0;
  ASSERT_EQ(MeasureText(&font, "Hello", &width, &height), plat::kOk);
  EXPECT_GT(width, 30);
  EXPECT_LT(width, 60);
  EXPECT_GE(height, 16);

  ClearTo(0xFF000000u);
  g_renderer.device->BeginScene();
  ASSERT_EQ(DrawTextString(&font, 10.0f, 20.0f, "Hello", 0xFFFFFFFFu), plat::kOk);
  ASSERT_EQ(FlushFontGlyphBatch(&font), plat::kOk);
  g_renderer.device->EndScene();
  const gfxtest::Image image = Read();
  uint32_t lit = 0;
  for (uint32_t y = 0; y < image.height; ++y) {
    for (uint32_t x = 0; x < image.width; ++x) {
      if (gfxtest::Channel(image.At(x, y), 8) < 0x80) continue;
      ++lit;
      EXPECT_GE(x, 10u);
      EXPECT_LT(x, 10u + static_cast<uint32_t>(width));
      EXPECT_GE(y, 20u);
      EXPECT_LT(y, 20u + static_cast<uint32_t>(height));
    }
  }
  EXPECT_GT(lit, 40u);
  delete font.vertexBuffer;
  ForgetSpriteTexture(g_renderer, font.page);
  delete font.page;
}

}  // namespace
