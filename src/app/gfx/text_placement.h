#pragma once
// Where the font drawer puts a text's glyphs in its box, for code that must
// know what a drawn text covers (a check that texts read whole).
#include <cstdint>

#include "platform/window.h"

struct BitmapFont;

// The rectangle the glyphs of the text take when DrawTextAt draws it in the
// box with the flags (wrapped as it wraps); an empty one at the box's corner
// when the text cannot be measured.
plat::Rect TextPlacement(const plat::Rect& box, BitmapFont* font, const char* text, uint32_t flags);
