#include "app/gfx/fonts.h"

// No font is loaded yet: the table stays empty, so there is nothing to walk.
void LoadFontTable() {}

void RestoreFontBuffers(PlatformState&) {}

void ReleaseFontBuffers(PlatformState&) {}

void FreeAllFonts(PlatformState&) {}
