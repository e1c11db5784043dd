#pragma once
// Pixel formats as the drawing code sees them: every pixel travels as a
// 0xAARRGGBB word, and a format decides how many bits of each channel it
// keeps. Narrow channels are rounded to the nearest level and widened again by
// repeating their bits, so a stored value reads back the same every time.
#include <cstdint>

namespace plat {

// True for the formats a texture or an image surface can have.
bool IsSurfaceFormat(int32_t format);
// The format an image of the given format is held in when the caller leaves
// the choice to the loader (unknown) or asks for one no texture has.
int32_t TextureFormatFor(int32_t requested, int32_t imageFormat);
// Bytes per pixel as the format would store it (for descriptions).
uint32_t FormatBytesPerPixel(int32_t format);
// The word as the format keeps it.
uint32_t QuantiseToFormat(uint32_t argb, int32_t format);

}  // namespace plat
