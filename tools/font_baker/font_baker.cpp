#include "font_baker.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/image_loader.h"
#include "platform/paths.h"
#include "platform/text_encoding.h"

namespace font_baker {
namespace {

constexpr uint32_t kUpTriangle = 0x25B2;
constexpr uint32_t kDownTriangle = 0x25BC;
// Cells stand a pixel apart so that no glyph can pick up its neighbour.
constexpr uint32_t kCellGap = 1;
// A slanted face leans by this much (16.16 fixed point, about 0.2).
constexpr FT_Fixed kSlant = 0x3333;

const char* FaceFile(Face face) {
  switch (face) {
    case Face::kSansBold:
      return "DejaVuSans-Bold.ttf";
    case Face::kSansMono:
      return "DejaVuSansMono.ttf";
    default:
      return "DejaVuSans.ttf";
  }
}

// One glyph as rendered: its coverage, where it sits and how far it moves.
struct Glyph {
  std::vector<uint8_t> coverage;
  int32_t width = 0, rows = 0, left = 0, top = 0;
  int32_t advance = 0;
};

class FreeTypeFace {
 public:
  ~FreeTypeFace() {
    if (face_) FT_Done_Face(face_);
    if (library_) FT_Done_FreeType(library_);
  }
  bool Open(const std::string& path, uint32_t pixelSize, bool slanted) {
    if (FT_Init_FreeType(&library_) != 0) return false;
    if (FT_New_Face(library_, path.c_str(), 0, &face_) != 0) {
      face_ = nullptr;
      return false;
    }
    if (FT_Set_Pixel_Sizes(face_, 0, pixelSize) != 0) return false;
    if (slanted) {
      FT_Matrix shear{0x10000, kSlant, 0, 0x10000};
      FT_Set_Transform(face_, &shear, nullptr);
    }
    return true;
  }
  // Whole pixels above and below the baseline (rounded outward).
  int32_t Ascender() const { return static_cast<int32_t>((face_->size->metrics.ascender + 63) >> 6); }
  int32_t Descender() const { return static_cast<int32_t>(face_->size->metrics.descender >> 6); }
  bool Render(uint32_t codePoint, Glyph* out) {
    *out = Glyph{};
    const FT_UInt index = FT_Get_Char_Index(face_, codePoint);
    if (index == 0) return false;
    if (FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) != 0) return false;
    if (FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    out->advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
    out->left = slot->bitmap_left;
    out->top = slot->bitmap_top;
    out->width = static_cast<int32_t>(bitmap.width);
    out->rows = static_cast<int32_t>(bitmap.rows);
    out->coverage.resize(static_cast<size_t>(out->width) * static_cast<size_t>(out->rows));
    for (int32_t y = 0; y < out->rows; ++y) {
      const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
      for (int32_t x = 0; x < out->width; ++x) {
        uint8_t level = row[x];
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) level = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        out->coverage[static_cast<size_t>(y) * static_cast<size_t>(out->width) + static_cast<size_t>(x)] = level;
      }
    }
    return true;
  }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

uint32_t NextPowerOfTwo(uint32_t v) {
  uint32_t p = 1;
  while (p < v) p <<= 1;
  return p;
}

}  // namespace

const std::vector<FontSpec>& FontSpecs() {
  static const std::vector<FontSpec> specs = {
      {"FONT1", 12, 0, Face::kSans, 16, false},      {"FONT2", 9, 0, Face::kSans, 12, false},
      {"FONT3", 7, 0, Face::kSans, 13, false},       {"FONT4", 7, 2, Face::kSans, 10, true},
      {"FONT5", 7, 1, Face::kSansBold, 10, false},   {"FONT6", 5, 0, Face::kSans, 8, false},
      {"FONT7", 6, 0, Face::kSans, 9, false},        {"FONT8", 20, 0, Face::kSans, 27, false},
      {"FONT9", 14, 0, Face::kSans, 19, false},      {"FONT10", 9, 0, Face::kSansMono, 12, false},
  };
  return specs;
}

uint32_t CodePoint(int code) {
  if (code == 0x7F) return kUpTriangle;
  if (code == 0x81) return kDownTriangle;
  if (code >= 0x80 && code <= 255) return plat::Windows1252CodePoint(static_cast<unsigned char>(code));
  if (code >= 32 && code < 0x80) return static_cast<uint32_t>(code);
  return 0;
}

bool BakeFont(const FontSpec& spec, const std::string& fontDir, BakedFont* out) {
  FreeTypeFace face;
  const std::string path = fontDir + "/" + FaceFile(spec.face);
  if (!face.Open(path, spec.pixelSize, spec.slanted)) {
    std::fprintf(stderr, "font_baker: cannot read %s at %u pixels\n", path.c_str(), spec.pixelSize);
    return false;
  }
  const int32_t ascender = face.Ascender();
  const int32_t lineHeight = std::max(1, ascender - face.Descender());

  const bool fixedPitch = spec.face == Face::kSansMono;
  Glyph glyphs[kGlyphCount];
  int32_t cellWidths[kGlyphCount];
  Glyph space;
  face.Render(' ', &space);
  for (int i = 0; i < kGlyphCount; ++i) {
    const uint32_t cp = CodePoint(kFirstGlyphCode + i);
    if (cp == 0 || !face.Render(cp, &glyphs[i])) {
      glyphs[i] = Glyph{};
      glyphs[i].advance = space.advance;
    }
    Glyph& g = glyphs[i];
    if (fixedPitch) {
      // Every cell keeps the one advance: ink that reaches past it moves
      // left as far as its bearing allows, and the rest is cut off.
      const int32_t over = g.left + g.width - g.advance;
      if (over > 0 && g.rows > 0) g.left -= std::min(over, std::max(g.left, 0));
      cellWidths[i] = std::max(1, g.advance);
    } else {
      const int32_t inkRight = g.rows > 0 ? g.left + g.width : 0;
      cellWidths[i] = std::max({1, g.advance, inkRight});
    }
  }

  // Rows of cells across a page wide enough for the size.
  const uint32_t pageWidth = spec.pixelSize <= 12 ? 256 : 512;
  uint32_t x = 0, y = 0;
  uint32_t cellX[kGlyphCount], cellY[kGlyphCount];
  for (int i = 0; i < kGlyphCount; ++i) {
    const auto w = static_cast<uint32_t>(cellWidths[i]);
    if (x + w > pageWidth) {
      x = 0;
      y += static_cast<uint32_t>(lineHeight) + kCellGap;
    }
    cellX[i] = x;
    cellY[i] = y;
    x += w + kCellGap;
  }
  const uint32_t pageHeight = NextPowerOfTwo(y + static_cast<uint32_t>(lineHeight));

  out->pageWidth = pageWidth;
  out->pageHeight = pageHeight;
  out->page.assign(static_cast<size_t>(pageWidth) * pageHeight, 0x00FFFFFFu);
  FontFileImage& m = out->metrics;
  m = FontFileImage{};
  std::strncpy(m.name, spec.name, sizeof m.name - 1);
  m.value1 = spec.value1;
  m.value2 = spec.value2;
  m.pageWidth = pageWidth;
  m.pageHeight = pageHeight;
  m.scale = 1.0f;
  const auto pw = static_cast<float>(pageWidth), ph = static_cast<float>(pageHeight);
  for (int i = 0; i < kGlyphCount; ++i) {
    const Glyph& g = glyphs[i];
    const int32_t w = cellWidths[i];
    for (int32_t gy = 0; gy < g.rows; ++gy) {
      const int32_t cy = ascender - g.top + gy;
      if (cy < 0 || cy >= lineHeight) continue;
      for (int32_t gx = 0; gx < g.width; ++gx) {
        const int32_t cx = g.left + gx;
        if (cx < 0 || cx >= w) continue;
        const uint8_t level = g.coverage[static_cast<size_t>(gy) * static_cast<size_t>(g.width) + static_cast<size_t>(gx)];
        const size_t at = static_cast<size_t>(cellY[i] + static_cast<uint32_t>(cy)) * pageWidth + cellX[i] +
                          static_cast<uint32_t>(cx);
        out->page[at] = (static_cast<uint32_t>(level) << 24) | 0x00FFFFFFu;
      }
    }
    GlyphCell& cell = m.glyphs[i];
    cell.uLeft = static_cast<float>(cellX[i]) / pw;
    cell.uRight = static_cast<float>(cellX[i] + static_cast<uint32_t>(w)) / pw;
    cell.vTop = static_cast<float>(cellY[i]) / ph;
    cell.vBottom = static_cast<float>(cellY[i] + static_cast<uint32_t>(lineHeight)) / ph;
  }
  return true;
}

bool WriteAllFonts(const std::string& dataRoot, const std::string& fontDir) {
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(dataRoot);
  bool ok = plat::MakeGameDirectories("FONTS");
  if (!ok) std::fprintf(stderr, "font_baker: cannot make the FONTS folder under %s\n", dataRoot.c_str());
  for (const FontSpec& spec : FontSpecs()) {
    if (!ok) break;
    BakedFont font;
    ok = BakeFont(spec, fontDir, &font);
    if (!ok) break;
    const std::string base = std::string("FONTS\\") + spec.name;
    std::vector<uint8_t> png;
    if (plat::Failed(plat::EncodePng(font.pageWidth, font.pageHeight, font.page.data(), true, &png)) ||
        plat::Failed(plat::WriteFileReplacing(base + ".PNG", png.data(), png.size())) ||
        plat::Failed(WriteFontFile(base + ".D3F", font.metrics))) {
      std::fprintf(stderr, "font_baker: cannot write %s under %s\n", base.c_str(), dataRoot.c_str());
      ok = false;
    }
  }
  plat::SetDataRoot(oldRoot);
  return ok;
}

}  // namespace font_baker
