#pragma once
// A one-line text fitted to the width of its control, so that a name or a
// figure longer than its label never runs into the control beside it.
#include <cstdint>
#include <string>

struct BitmapFont;

// The font slot a figure too wide for its own font falls back to.
inline constexpr int32_t kSmallFigureFontSlot = 7;

struct FittedText {
  BitmapFont* font;
  std::string text;
};

// The text itself when it fits the width in its font. A figure (digits with
// their signs, separators and units) that does not fit is shown whole in the
// small font when it fits there, since a cut figure reads as another one.
// Anything else is cut to leave room for "..." after it; a width too narrow
// for even that shows nothing. A missing font leaves the text as it is.
FittedText FitTextToWidth(BitmapFont* font, BitmapFont* smallFont, const std::string& text, int32_t width);

// The width of a one-line text in the font; 0 when it cannot be measured.
int32_t TextWidth(BitmapFont* font, const std::string& text);

// Whether the text is a figure: at least one digit, and nothing but digits,
// spaces and the signs and units figures are written with.
bool IsFigureText(const std::string& text);
