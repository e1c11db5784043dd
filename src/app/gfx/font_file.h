#pragma once
// The ".D3F" metrics file of a bitmap font: its name, two construction
// values, the glyph page's size, a scale, and for every code from 32 to 255
// the texture coordinates of the glyph's cell on the page. The file is the
// byte image of the font record (3,716 bytes, little-endian); the slots that
// held the run-time handles are written as 0 and ignored when read.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/status.h"

inline constexpr int kFirstGlyphCode = 32;
inline constexpr int kGlyphCount = 224;  // codes 32 to 255
inline constexpr size_t kFontFileSize = 3716;
inline constexpr size_t kFontNameSize = 80;
// Pages wider or taller than this are refused.
inline constexpr uint32_t kMaxGlyphPageSide = 16384;

// The edges of one glyph's cell as texture coordinates (0 to 1).
struct GlyphCell {
  float uLeft, vTop, uRight, vBottom;
};
static_assert(sizeof(GlyphCell) == 16);

struct FontFileImage {
  char name[kFontNameSize];  // zero-terminated
  uint32_t value1;           // construction values: pixel size and style
  uint32_t value2;
  uint32_t deviceSlot;  // run time only (the device, the page and the vertex
  uint32_t pageSlot;    // buffer): 0 in the file, never read from it
  uint32_t vertexBufferSlot;
  uint32_t pageWidth;  // the glyph page in pixels
  uint32_t pageHeight;
  float scale;  // a glyph is drawn at its cell's size divided by this
  GlyphCell glyphs[kGlyphCount];
  uint8_t unused[8];
  uint32_t writeOffset;  // run time: the glyph queue (bytes written, bytes
  uint32_t flushedOffset;  // drawn, something to draw); 0 in the file
  uint32_t pending;
};
static_assert(sizeof(FontFileImage) == kFontFileSize);
static_assert(offsetof(FontFileImage, value1) == 80);
static_assert(offsetof(FontFileImage, value2) == 84);
static_assert(offsetof(FontFileImage, deviceSlot) == 88);
static_assert(offsetof(FontFileImage, pageSlot) == 92);
static_assert(offsetof(FontFileImage, vertexBufferSlot) == 96);
static_assert(offsetof(FontFileImage, pageWidth) == 100);
static_assert(offsetof(FontFileImage, pageHeight) == 104);
static_assert(offsetof(FontFileImage, scale) == 108);
static_assert(offsetof(FontFileImage, glyphs) == 112);
static_assert(offsetof(FontFileImage, unused) == 3696);
static_assert(offsetof(FontFileImage, writeOffset) == 3704);
static_assert(offsetof(FontFileImage, flushedOffset) == 3708);
static_assert(offsetof(FontFileImage, pending) == 3712);

// The cell of a code from 32 to 255.
inline const GlyphCell& GlyphOf(const FontFileImage& image, int code) {
  return image.glyphs[code - kFirstGlyphCode];
}

// Reads a font file image. kFail, with the image left as it was, when the
// size is not 3,716 bytes, the name is not terminated, the page is empty or
// larger than kMaxGlyphPageSide, the scale is not a positive finite number,
// or a cell's coordinates are not finite, outside 0 to 1 or turned inside
// out. The run-time slots and the queue come out 0. why, when given,
// receives the reason.
plat::Status ParseFontFile(const uint8_t* bytes, size_t size, FontFileImage* image, const char** why = nullptr);
// The file's bytes for an image (run-time slots and queue written as 0).
std::vector<uint8_t> EncodeFontFile(const FontFileImage& image);
// Writes the image to a game path ("FONTS\FONT1.D3F") through a temporary
// file; kOk or kFail.
plat::Status WriteFontFile(std::string_view gamePath, const FontFileImage& image);
