// Fitting one line of text to its control's width: whole, in the small
// font for a figure, or cut before an ellipsis.
#include "ui/text_fit.h"

#include <gtest/gtest.h>

#include "app/gfx/fonts.h"

namespace {

// A font whose every glyph is the given number of pixels wide.
BitmapFont Font(int32_t advance) {
  BitmapFont font;
  font.image.pageWidth = 64;
  font.image.pageHeight = 16;
  for (GlyphCell& cell : font.image.glyphs) cell = GlyphCell{0.0f, 0.0f, static_cast<float>(advance) / 64, 0.5f};
  return font;
}

TEST(TextFit, KeepsCutsOrShrinksByWhatTheTextIs) {
  BitmapFont big = Font(4), small = Font(2);
  const struct {
    const char* text;
    int32_t width;
    bool inSmall;
    const char* shown;
  } rows[] = {
      {"Westholm", 32, false, "Westholm"},
      {"Westholm", 31, false, "West..."},
      {"Pending Deployment", 44, false, "Pending..."},
      {"$ 462,928", 20, true, "$ 462,928"},
      {"62 %", 12, true, "62 %"},
      {"$ 6,000,009,000", 28, false, "$ 6,..."},
      {"Kessaria 12", 24, false, "Kes..."},
      {"Westholm", 11, false, ""},
  };
  for (const auto& r : rows) {
    const FittedText fitted = FitTextToWidth(&big, &small, r.text, r.width);
    EXPECT_EQ(fitted.font, r.inSmall ? &small : &big) << r.text << " in " << r.width;
    EXPECT_EQ(fitted.text, r.shown) << r.text << " in " << r.width;
  }
  EXPECT_EQ(FitTextToWidth(nullptr, &small, "Westholm", 4).text, "Westholm");
}

}  // namespace
