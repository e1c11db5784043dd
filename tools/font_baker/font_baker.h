#pragma once
// The game's ten bitmap fonts, baked from DejaVu with FreeType: for each, a
// glyph page (white, the glyphs' coverage in alpha) and its ".D3F" metrics,
// written as "FONTS\FONTn.PNG" and "FONTS\FONTn.D3F" under a data root.
//
// Every code from 32 to 255 gets a cell as wide as its advance (wider when
// its ink reaches further) and as tall as the font's line; codes are read as
// Windows-1252, with 0x7F an up triangle and 0x81 a down triangle (the list
// scroll indicators) and the codes that page leaves unassigned blank.
#include <cstdint>
#include <string>
#include <vector>

#include "app/gfx/font_file.h"

namespace font_baker {

inline constexpr const char* kDefaultFontDir = "/usr/share/fonts/truetype/dejavu";

enum class Face { kSans, kSansBold, kSansMono };

// One font of the table: the pixel size suits the first construction value
// (a point size), the second picks the style (1 bold, 2 slanted).
struct FontSpec {
  const char* name;
  uint32_t value1, value2;
  Face face;
  uint32_t pixelSize;
  bool slanted;
};

const std::vector<FontSpec>& FontSpecs();

// The character a Windows-1252 code stands for in the fonts (0 for none).
uint32_t CodePoint(int code);

struct BakedFont {
  FontFileImage metrics{};
  uint32_t pageWidth = 0, pageHeight = 0;
  std::vector<uint32_t> page;  // 0xAARRGGBB, rows top to bottom
};

// Bakes one font from the faces in fontDir; false (with a message on
// stderr) when a face cannot be read.
bool BakeFont(const FontSpec& spec, const std::string& fontDir, BakedFont* out);

// Bakes every font and writes it under the data root's FONTS folder.
bool WriteAllFonts(const std::string& dataRoot, const std::string& fontDir);

}  // namespace font_baker
