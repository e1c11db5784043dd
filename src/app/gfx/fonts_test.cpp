// Bitmap fonts on the OpenGL device: loading and its refusals, measuring,
// the glyph queue and its flushes, boxed and aligned text read back from the
// back buffer, and the 16-slot table.
#include "app/gfx/fonts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/gfx/clipping.h"
#include "app/gfx/gfx_test_support.h"
#include "app/gfx/sprite_batch.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

// A font of three kinds of cell on a 64 x 16 page, every cell 8 pixels high:
// 'A' a solid 4-pixel block, 'B' a solid 6-pixel block, every other code a
// clear 2-pixel cell.
class FontTest : public gfxtest::GlRendererTest {
 protected:
  void SetUp() override {
    GlRendererTest::SetUp();
    WriteFont("T");
  }
  void TearDown() override {
    if (g_platform.fontTable == table_) {
      g_platform.fontTable = nullptr;
      g_renderer.flushFontGlyphs = nullptr;
    }
    delete[] table_;
    Discard(font_);
    GlRendererTest::TearDown();
  }

  void WriteFont(const std::string& name, size_t d3fBytes = kFontFileSize) {
    FontFileImage image{};
    std::strncpy(image.name, name.c_str(), sizeof image.name - 1);
    image.value1 = 7;
    image.value2 = 1;
    image.pageWidth = 64;
    image.pageHeight = 16;
    image.scale = 1.0f;
    for (GlyphCell& cell : image.glyphs) cell = GlyphCell{0.0f, 0.0f, 2.0f / 64, 0.5f};
    image.glyphs['A' - 32] = GlyphCell{4.0f / 64, 0.0f, 8.0f / 64, 0.5f};
    image.glyphs['B' - 32] = GlyphCell{10.0f / 64, 0.0f, 16.0f / 64, 0.5f};
    std::vector<uint8_t> bytes = EncodeFontFile(image);
    bytes.resize(d3fBytes);
    dir_.Write("FONTS/" + name + ".D3F", std::string(bytes.begin(), bytes.end()));
    std::vector<uint32_t> page(64 * 16, 0x00FFFFFFu);
    for (uint32_t y = 0; y < 8; ++y) {
      for (uint32_t x = 4; x < 8; ++x) page[y * 64 + x] = kWhite;
      for (uint32_t x = 10; x < 16; ++x) page[y * 64 + x] = kWhite;
    }
    WritePng("FONTS/" + name + ".PNG", 64, 16, page);
  }

  static void Discard(BitmapFont& font) {
    delete font.vertexBuffer;
    font.vertexBuffer = nullptr;
    ForgetSpriteTexture(g_renderer, font.page);
    delete font.page;
    font.page = nullptr;
  }

  // Loads the font into slot 3 of a table of its own, so that the
  // renderer's flushes (viewport changes, the end of a frame) draw it.
  void Load() {
    CreateBitmapFont(&font_, "T", 0, 0);
    ASSERT_NE(font_.page, nullptr);
    ASSERT_EQ(CreateFontVertexBuffer(&font_), plat::kOk);
    table_ = new BitmapFont*[kFontSlots]();
    table_[3] = &font_;
    g_platform.fontTable = table_;
    g_renderer.flushFontGlyphs = [] { FlushAllFontGlyphs(g_platform); };
  }

  void Record() {
    g_renderer.device->SetDrawHook([this](const plat::DrawRecord& r) { draws_.push_back(r); });
  }

  // Whether the pixel is lit (white) or dark (black); anything else fails.
  static bool Lit(const gfxtest::Image& image, uint32_t x, uint32_t y) {
    const uint32_t p = image.At(x, y) | 0xFF000000u;
    EXPECT_TRUE(p == kWhite || p == kBlack) << x << "," << y << " " << std::hex << p;
    return p == kWhite;
  }

  // The lit pixels must be exactly the rectangle.
  static void ExpectLitExactly(const gfxtest::Image& image, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    for (uint32_t y = 0; y < image.height; ++y)
      for (uint32_t x = 0; x < image.width; ++x) {
        const bool inside = int32_t(x) >= left && int32_t(x) < right && int32_t(y) >= top && int32_t(y) < bottom;
        ASSERT_EQ(Lit(image, x, y), inside) << x << "," << y;
      }
  }

  BitmapFont font_;
  BitmapFont** table_ = nullptr;
  std::vector<plat::DrawRecord> draws_;
};

TEST_F(FontTest, AFontLoadsItsMetricsAndPageAndTheFileValuesWin) {
  Load();
  EXPECT_EQ(font_.device, g_renderer.device);
  EXPECT_STREQ(font_.image.name, "T");
  EXPECT_EQ(font_.image.value1, 7u);
  EXPECT_EQ(font_.image.value2, 1u);
  plat::SurfaceDesc desc;
  font_.page->GetLevelDesc(0, &desc);
  EXPECT_EQ(desc.format, plat::kFmtA4R4G4B4);
  EXPECT_EQ(desc.pool, plat::kPoolManaged);
  EXPECT_EQ(desc.width, 64u);
  EXPECT_EQ(font_.vertexBuffer->desc().size, 16800u);
  EXPECT_EQ(font_.vertexBuffer->desc().usage, plat::kUsageWriteOnly | plat::kUsageDynamic);
}

TEST_F(FontTest, AD3fOf3715BytesLeavesTheFontWithoutAPageAndEveryDrawFails) {
  WriteFont("SHORT", 3715);
  CreateBitmapFont(&font_, "SHORT", 7, 0);
  EXPECT_EQ(font_.page, nullptr);
  EXPECT_EQ(font_.device, nullptr);
  EXPECT_EQ(g_renderer.lastError, plat::kFail);
  EXPECT_EQ(font_.image.value1, 7u);  // nothing of the file was taken
  EXPECT_EQ(CreateFontVertexBuffer(&font_), plat::kFail);
  EXPECT_EQ(DrawTextString(&font_, 0, 0, "AB", kWhite), plat::kFail);
  EXPECT_EQ(FlushFontGlyphBatch(&font_), plat::kFail);
  plat::Rect box{0, 0, 50, 20};
  ClearTo(kBlack);
  Record();
  DrawTextAt(&box, &font_, "AB", 0, kWhite);
  FlushAllDrawing(g_renderer);
  EXPECT_TRUE(draws_.empty());
}

TEST_F(FontTest, AMissingPageFailsTheSameWay) {
  dir_.Write("FONTS/NOPAGE.D3F", std::string(kFontFileSize, '\0'));  // not even valid metrics
  EXPECT_EQ(LoadBitmapFont(&font_, "NOPAGE", g_renderer.device), plat::kFail);
  WriteFont("ONLY");
  std::remove((dir_.path() + "/FONTS/ONLY.PNG").c_str());
  EXPECT_LT(LoadBitmapFont(&font_, "ONLY", g_renderer.device), 0);
  EXPECT_EQ(font_.page, nullptr);
  EXPECT_EQ(font_.device, nullptr);
  EXPECT_EQ(DrawTextString(&font_, 0, 0, "A", kWhite), plat::kFail);
}

TEST_F(FontTest, MeasuringCountsAdvancesAndLines) {
  Load();
  int32_t w = -1, h = -1;
  ASSERT_EQ(MeasureText(&font_, "", &w, &h), plat::kOk);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 8);  // one line height
  ASSERT_EQ(MeasureText(&font_, "AB", &w, &h), plat::kOk);
  EXPECT_EQ(w, 10);
  EXPECT_EQ(h, 8);
  // Two characters, a line break and one character: the wider line by two lines.
  ASSERT_EQ(MeasureText(&font_, "AB\nA", &w, &h), plat::kOk);
  EXPECT_EQ(w, 10);
  EXPECT_EQ(h, 16);
  ASSERT_EQ(MeasureText(&font_, "A\xB6" "BB", &w, &h), plat::kOk);  // 0xB6 breaks too
  EXPECT_EQ(w, 12);
  EXPECT_EQ(h, 16);
  // Other codes below 32 neither draw nor advance.
  ASSERT_EQ(MeasureText(&font_, "A\tB\x01", &w, &h), plat::kOk);
  EXPECT_EQ(w, 10);
  EXPECT_EQ(h, 8);
  EXPECT_EQ(MeasureText(&font_, nullptr, &w, &h), plat::kFail);
  EXPECT_EQ(MeasureText(&font_, "A", nullptr, &h), plat::kFail);
  EXPECT_EQ(MeasureText(nullptr, "A", &w, &h), plat::kFail);
}

TEST_F(FontTest, AGlyphInWhiteOnBlackLightsItsCellAndNothingElse) {
  Load();
  ClearTo(kBlack);
  ASSERT_EQ(DrawTextString(&font_, 10, 20, "A", kWhite), plat::kOk);
  ASSERT_EQ(FlushFontGlyphBatch(&font_), plat::kOk);
  ExpectLitExactly(Read(), 10, 20, 14, 28);
}

TEST_F(FontTest, GlyphsAreQueuedAsSixVerticesEachAndDrawnInOneCall) {
  Load();
  Record();
  ASSERT_EQ(DrawTextString(&font_, 10, 20, "AB", 0xFF112233u), plat::kOk);
  EXPECT_TRUE(draws_.empty());  // queued, not drawn
  EXPECT_EQ(font_.image.writeOffset, 2 * kGlyphQuadBytes);
  EXPECT_EQ(font_.image.pending, 1u);
  ASSERT_EQ(FlushFontGlyphBatch(&font_), plat::kOk);
  ASSERT_EQ(draws_.size(), 1u);
  const plat::DrawRecord& d = draws_[0];
  EXPECT_EQ(d.primitiveType, plat::kPrimTriangleList);
  EXPECT_EQ(d.vertexShader, kGlyphFvf);
  EXPECT_EQ(d.stride, 28u);
  EXPECT_EQ(d.startVertex, 0u);
  EXPECT_EQ(d.primitiveCount, 4u);
  EXPECT_EQ(d.textures[0], font_.page);
  ASSERT_EQ(d.vertices.size(), 12u * 28u);
  GlyphVertex v[12];
  std::memcpy(v, d.vertices.data(), sizeof v);
  // Bottom-left, top-left, bottom-right, top-right, bottom-right, top-left,
  // moved by -0.5; the second glyph starts where the first ends.
  const float xs[6] = {9.5f, 9.5f, 13.5f, 13.5f, 13.5f, 9.5f};
  const float ys[6] = {27.5f, 19.5f, 27.5f, 19.5f, 27.5f, 19.5f};
  const float us[6] = {4.0f / 64, 4.0f / 64, 8.0f / 64, 8.0f / 64, 8.0f / 64, 4.0f / 64};
  const float vs[6] = {0.5f, 0.0f, 0.5f, 0.0f, 0.5f, 0.0f};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(v[i].x, xs[i]) << i;
    EXPECT_EQ(v[i].y, ys[i]) << i;
    EXPECT_EQ(v[i].z, 0.9f);
    EXPECT_EQ(v[i].rhw, 1.0f);
    EXPECT_EQ(v[i].diffuse, 0xFF112233u);
    EXPECT_EQ(v[i].tu, us[i]) << i;
    EXPECT_EQ(v[i].tv, vs[i]) << i;
  }
  EXPECT_EQ(v[6].x, 13.5f);
  EXPECT_EQ(v[8].x, 19.5f);
  EXPECT_EQ(font_.image.pending, 0u);
  EXPECT_EQ(font_.image.flushedOffset, font_.image.writeOffset);
  // A second flush has nothing to draw.
  ASSERT_EQ(FlushFontGlyphBatch(&font_), plat::kOk);
  EXPECT_EQ(draws_.size(), 1u);
}

TEST_F(FontTest, ALineBreakStartsTheNextLineAtTheStartingX) {
  Load();
  ClearTo(kBlack);
  ASSERT_EQ(DrawTextString(&font_, 30, 10, "B\nA", kWhite), plat::kOk);
  FlushAllFontGlyphs(g_platform);
  const gfxtest::Image image = Read();
  for (uint32_t y = 0; y < image.height; ++y)
    for (uint32_t x = 0; x < image.width; ++x) {
      const bool b = x >= 30 && x < 36 && y >= 10 && y < 18;
      const bool a = x >= 30 && x < 34 && y >= 18 && y < 26;
      ASSERT_EQ(Lit(image, x, y), a || b) << x << "," << y;
    }
}

TEST_F(FontTest, TextLongerThan99GlyphsFlushesInTheMiddleAndGoesOnAtTheStart) {
  Load();
  Record();
  const std::string text(150, 'A');
  ASSERT_EQ(DrawTextString(&font_, 0, 0, text.c_str(), kWhite), plat::kOk);
  ASSERT_EQ(draws_.size(), 1u);
  EXPECT_EQ(draws_[0].startVertex, 0u);
  EXPECT_EQ(draws_[0].primitiveCount, 99u * 2);
  EXPECT_EQ(font_.image.writeOffset, 51u * kGlyphQuadBytes);
  ASSERT_EQ(FlushFontGlyphBatch(&font_), plat::kOk);
  ASSERT_EQ(draws_.size(), 2u);
  EXPECT_EQ(draws_[1].startVertex, 0u);
  EXPECT_EQ(draws_[1].primitiveCount, 51u * 2);
  EXPECT_EQ(draws_[1].lockFlags, plat::kLockDiscard);
  // The next text goes on after it without discarding.
  ASSERT_EQ(DrawTextString(&font_, 0, 0, "A", kWhite), plat::kOk);
  ASSERT_EQ(FlushFontGlyphBatch(&font_), plat::kOk);
  ASSERT_EQ(draws_.size(), 3u);
  EXPECT_EQ(draws_[2].startVertex, 51u * 6);
  EXPECT_EQ(draws_[2].lockFlags, plat::kLockNoOverwrite);
}

TEST_F(FontTest, RightAlignmentPutsTheLastGlyphAgainstTheBoxsRightEdge) {
  Load();
  ClearTo(kBlack);
  plat::Rect box{20, 10, 100, 40};
  EXPECT_EQ(DrawTextAt(&box, &font_, "AB", kTextRight, kWhite), 8);
  FlushAllDrawing(g_renderer);
  // "AB" is 10 wide: A from 90, B from 94 to the edge at 100.
  const gfxtest::Image image = Read();
  for (uint32_t y = 0; y < image.height; ++y)
    for (uint32_t x = 0; x < image.width; ++x) {
      const bool inText = y >= 10 && y < 18 && ((x >= 90 && x < 94) || (x >= 94 && x < 100));
      ASSERT_EQ(Lit(image, x, y), inText) << x << "," << y;
    }
  // Centre and right together align right.
  ClearTo(kBlack);
  DrawTextAt(&box, &font_, "AB", kTextRight | kTextCentre, kWhite);
  FlushAllDrawing(g_renderer);
  ExpectLitExactly(Read(), 90, 10, 100, 18);
}

TEST_F(FontTest, CentringPutsTheTextsMiddleAtTheBoxsMiddle) {
  Load();
  ClearTo(kBlack);
  plat::Rect box{20, 10, 100, 40};
  DrawTextAt(&box, &font_, "AB", kTextCentre | kTextVCentre, kWhite);
  FlushAllDrawing(g_renderer);
  // Horizontally (80 - 10) / 2 = 35; vertically (30 - 8 - 1) / 2 = 10. The
  // text's middle, 60 across, is the box's.
  ExpectLitExactly(Read(), 55, 20, 65, 28);
  ClearTo(kBlack);
  DrawTextAt(&box, &font_, "AB", kTextBottom | kTextVCentre, kWhite);
  FlushAllDrawing(g_renderer);
  ExpectLitExactly(Read(), 20, 32, 30, 40);
  // A box narrower than the text does not centre to the left of its start.
  plat::Rect narrow{20, 10, 26, 40};
  ClearTo(kBlack);
  DrawTextAt(&narrow, &font_, "AB", kTextCentre | kTextNoClip, kWhite);
  FlushAllDrawing(g_renderer);
  ExpectLitExactly(Read(), 20, 10, 30, 18);
}

TEST_F(FontTest, BoxedTextIsClippedToItsBoxUnlessAskedNot) {
  Load();
  ClearTo(kBlack);
  plat::Rect box{20, 10, 26, 40};
  DrawTextAt(&box, &font_, "AB", 0, kWhite);
  FlushAllDrawing(g_renderer);
  ExpectLitExactly(Read(), 20, 10, 26, 18);
  // The viewport is back as it was.
  plat::Viewport vp;
  g_renderer.device->GetViewport(&vp);
  EXPECT_EQ(vp.width, kWidth);
  EXPECT_EQ(vp.height, kHeight);
  ClearTo(kBlack);
  DrawTextAt(&box, &font_, "AB", kTextNoClip, kWhite);
  FlushAllDrawing(g_renderer);
  ExpectLitExactly(Read(), 20, 10, 30, 18);
}

TEST_F(FontTest, CalcRectMeasuresIntoTheBoxAndDrawsNothing) {
  Load();
  Record();
  plat::Rect box{20, 10, 100, 40};
  EXPECT_EQ(DrawTextAt(&box, &font_, "AB\nB", kTextCalcRect | kTextCentre, kWhite), 16);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, 10);
  EXPECT_EQ(box.bottom, 16);
  FlushAllDrawing(g_renderer);
  EXPECT_TRUE(draws_.empty());
  EXPECT_EQ(font_.image.writeOffset, 0u);
}

TEST_F(FontTest, WordBreakWrapsAfterTheLastCharacterBelow33ThatFits) {
  Load();
  // 'A' advances 4, every other code 2; lines are 8 high. "AA AA" is
  // 4 + 4 + 2 + 4 + 4 = 18 wide.
  struct Row {
    const char* text;
    int32_t width;
    uint32_t flags;
    int32_t height;
  };
  const Row rows[] = {
      {"AA AA", 12, kTextWordBreak, 16},         // "AA " then "AA"
      {"AA AA", 12, 0, 8},                       // no break asked: one line
      {"AA AA", 18, kTextWordBreak, 8},          // fits exactly
      {"AAAAAA", 12, kTextWordBreak, 8},         // no break character: the word stays whole
      {"AA\nAA AA", 12, kTextWordBreak, 24},     // a break of its own starts a new line
      {"A A A A", 7, kTextWordBreak, 32},        // "A " per line
      {"AA\tAA", 10, kTextWordBreak, 16},        // a tab (below 33) breaks too
  };
  for (const Row& row : rows) {
    plat::Rect box{0, 0, row.width, 40};
    EXPECT_EQ(DrawTextAt(&box, &font_, row.text, row.flags | kTextCalcRect, kWhite), row.height) << row.text;
  }
  // The second line is drawn one line lower, at the box's left.
  ClearTo(kBlack);
  plat::Rect box{30, 10, 42, 40};
  EXPECT_EQ(DrawTextAt(&box, &font_, "AA AA", kTextWordBreak | kTextNoClip, kWhite), 16);
  FlushAllFontGlyphs(g_platform);
  const gfxtest::Image image = Read();
  EXPECT_TRUE(Lit(image, 30, 18));
  EXPECT_TRUE(Lit(image, 37, 18));
  EXPECT_FALSE(Lit(image, 40, 10));  // nothing of the second word on the first line
}

TEST_F(FontTest, TextShowsAboveTheSpritesQueuedBeforeTheFlush) {
  Load();
  ClearTo(kBlack);
  const plat::Rect red{0, 0, 50, 50};
  FillSolidRect(&red, g_renderer, 0xFFFF0000u);
  ASSERT_EQ(DrawTextString(&font_, 10, 10, "A", kWhite), plat::kOk);
  EndSceneAndFlush(g_renderer);
  const gfxtest::Image image = Read();
  EXPECT_EQ(image.At(11, 11) | 0xFF000000u, kWhite);
  EXPECT_EQ(image.At(30, 30) | 0xFF000000u, 0xFFFF0000u);
  EXPECT_EQ(g_renderer.batch.filterMode, -1);
  // A sprite after the text draws with its own states again.
  FillSolidRect(&red, g_renderer, 0xFF00FF00u);
  FlushSpriteBatches(g_renderer);
  EXPECT_EQ(Read().At(11, 11) | 0xFF000000u, 0xFF00FF00u);
}

TEST_F(FontTest, TheTableHoldsTenFontsAndFollowsTheDevice) {
  for (const char* name : {"FONT1", "FONT2", "FONT3", "FONT4", "FONT5", "FONT6", "FONT7", "FONT8", "FONT9"})
    WriteFont(name);  // FONT10 is missing
  LoadFontTable();
  ASSERT_NE(g_platform.fontTable, nullptr);
  EXPECT_NE(g_renderer.flushFontGlyphs, nullptr);
  const char* names[11] = {"FONT6", "FONT1", "FONT2", "FONT3", "FONT4", "FONT5",
                           "FONT6", "FONT7", "FONT8", "FONT9", "FONT10"};
  for (int slot = 0; slot < 11; ++slot) {
    BitmapFont* f = FontSlot(slot);
    ASSERT_NE(f, nullptr) << slot;
    EXPECT_STREQ(f->image.name, names[slot]) << slot;
    EXPECT_EQ(f->vertexBuffer != nullptr, slot != 10) << slot;
  }
  EXPECT_NE(FontSlot(0), FontSlot(6));
  for (int slot = 11; slot < kFontSlots; ++slot) EXPECT_EQ(FontSlot(slot), nullptr);
  EXPECT_EQ(FontSlot(-1), nullptr);
  EXPECT_EQ(FontSlot(16), nullptr);
  // The missing font is there but draws nothing.
  EXPECT_EQ(FontSlot(10)->page, nullptr);
  EXPECT_EQ(DrawTextString(FontSlot(10), 0, 0, "A", kWhite), plat::kFail);

  // A device reset lets go of the buffers and makes them again, empty.
  ASSERT_EQ(DrawTextString(FontSlot(1), 0, 0, "AB", kWhite), plat::kOk);
  ASSERT_EQ(AppWindowActivate(g_renderer, nullptr), plat::kOk);
  ASSERT_NE(FontSlot(1)->vertexBuffer, nullptr);
  EXPECT_EQ(FontSlot(1)->image.writeOffset, 0u);
  EXPECT_EQ(FontSlot(1)->image.pending, 0u);
  ReleaseFontBuffers(g_platform);
  EXPECT_EQ(FontSlot(1)->vertexBuffer, nullptr);
  RestoreFontBuffers(g_platform);
  EXPECT_NE(FontSlot(1)->vertexBuffer, nullptr);

  // Text drawn through a slot shows once the frame is flushed.
  ClearTo(kBlack);
  ASSERT_EQ(DrawTextString(FontSlot(2), 40, 40, "A", kWhite), plat::kOk);
  ClearBackBuffer(g_renderer);  // flushes the queue before it clears
  EXPECT_EQ(FontSlot(2)->image.pending, 0u);
  FreeAllFonts(g_platform);
  EXPECT_EQ(g_platform.fontTable, nullptr);
  EXPECT_EQ(g_renderer.flushFontGlyphs, nullptr);
}

}  // namespace
