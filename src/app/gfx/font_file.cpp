#include "app/gfx/font_file.h"

#include <cmath>
#include <cstring>

#include "platform/paths.h"
#include "records/le_bytes.h"

namespace {

bool ValidCoordinate(float v) { return std::isfinite(v) && v >= 0.0f && v <= 1.0f; }

plat::Status Refuse(const char** why, const char* reason) {
  if (why) *why = reason;
  return plat::kFail;
}

}  // namespace

plat::Status ParseFontFile(const uint8_t* bytes, size_t size, FontFileImage* image, const char** why) {
  if (!bytes || !image) return Refuse(why, "nothing to read");
  if (size != kFontFileSize) return Refuse(why, "the file is not 3,716 bytes long");
  FontFileImage read{};
  std::memcpy(read.name, bytes, kFontNameSize);
  if (!std::memchr(read.name, '\0', kFontNameSize)) return Refuse(why, "the font name is not terminated");
  read.value1 = le::Load32(bytes + offsetof(FontFileImage, value1));
  read.value2 = le::Load32(bytes + offsetof(FontFileImage, value2));
  read.pageWidth = le::Load32(bytes + offsetof(FontFileImage, pageWidth));
  read.pageHeight = le::Load32(bytes + offsetof(FontFileImage, pageHeight));
  read.scale = le::LoadF32(bytes + offsetof(FontFileImage, scale));
  if (read.pageWidth == 0 || read.pageHeight == 0 || read.pageWidth > kMaxGlyphPageSide ||
      read.pageHeight > kMaxGlyphPageSide)
    return Refuse(why, "the glyph page size is out of range");
  if (!std::isfinite(read.scale) || read.scale <= 0.0f) return Refuse(why, "the scale is not a positive number");
  for (int i = 0; i < kGlyphCount; ++i) {
    const uint8_t* g = bytes + offsetof(FontFileImage, glyphs) + sizeof(GlyphCell) * static_cast<size_t>(i);
    GlyphCell& cell = read.glyphs[i];
    cell.uLeft = le::LoadF32(g);
    cell.vTop = le::LoadF32(g + 4);
    cell.uRight = le::LoadF32(g + 8);
    cell.vBottom = le::LoadF32(g + 12);
    if (!ValidCoordinate(cell.uLeft) || !ValidCoordinate(cell.vTop) || !ValidCoordinate(cell.uRight) ||
        !ValidCoordinate(cell.vBottom) || cell.uRight < cell.uLeft || cell.vBottom < cell.vTop)
      return Refuse(why, "a glyph cell lies outside the page");
  }
  std::memcpy(read.unused, bytes + offsetof(FontFileImage, unused), sizeof read.unused);
  *image = read;
  return plat::kOk;
}

std::vector<uint8_t> EncodeFontFile(const FontFileImage& image) {
  std::vector<uint8_t> bytes(kFontFileSize, 0);
  uint8_t* b = bytes.data();
  std::memcpy(b, image.name, kFontNameSize);
  b[kFontNameSize - 1] = 0;
  le::Store32(b + offsetof(FontFileImage, value1), image.value1);
  le::Store32(b + offsetof(FontFileImage, value2), image.value2);
  le::Store32(b + offsetof(FontFileImage, pageWidth), image.pageWidth);
  le::Store32(b + offsetof(FontFileImage, pageHeight), image.pageHeight);
  le::StoreF32(b + offsetof(FontFileImage, scale), image.scale);
  for (int i = 0; i < kGlyphCount; ++i) {
    uint8_t* g = b + offsetof(FontFileImage, glyphs) + sizeof(GlyphCell) * static_cast<size_t>(i);
    const GlyphCell& cell = image.glyphs[i];
    le::StoreF32(g, cell.uLeft);
    le::StoreF32(g + 4, cell.vTop);
    le::StoreF32(g + 8, cell.uRight);
    le::StoreF32(g + 12, cell.vBottom);
  }
  std::memcpy(b + offsetof(FontFileImage, unused), image.unused, sizeof image.unused);
  return bytes;
}

plat::Status WriteFontFile(std::string_view gamePath, const FontFileImage& image) {
  const std::vector<uint8_t> bytes = EncodeFontFile(image);
  return plat::Failed(plat::WriteFileReplacing(gamePath, bytes.data(), bytes.size())) ? plat::kFail : plat::kOk;
}
