#include "platform/pixel_formats.h"

#include "platform/graphics_device.h"

namespace plat {
namespace {

// Rounds an 8-bit level to the nearest of a narrower channel's levels and
// widens it back by repeating its bits.
uint32_t Narrow(uint32_t v, uint32_t bits) {
  const uint32_t top = (1u << bits) - 1;
  const uint32_t q = (v * top + 127) / 255;
  uint32_t wide = 0;
  for (int shift = 8 - static_cast<int>(bits); shift > -static_cast<int>(bits); shift -= static_cast<int>(bits))
    wide |= shift >= 0 ? q << shift : q >> -shift;
  return wide & 0xFFu;
}

uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

}  // namespace

bool IsSurfaceFormat(int32_t format) {
  switch (format) {
    case kFmtA8R8G8B8:
    case kFmtX8R8G8B8:
    case kFmtR5G6B5:
    case kFmtX1R5G5B5:
    case kFmtA1R5G5B5:
    case kFmtA4R4G4B4:
      return true;
    default:
      return false;
  }
}

int32_t TextureFormatFor(int32_t requested, int32_t imageFormat) {
  if (IsSurfaceFormat(requested)) return requested;
  // Textures have no 24-bit format: the same colours with a spare byte.
  if (requested == kFmtR8G8B8) return kFmtX8R8G8B8;
  if (requested != kFmtUnknown) return kFmtA8R8G8B8;
  switch (imageFormat) {
    case kFmtR8G8B8:
    case kFmtX8R8G8B8:
    case kFmtL8:
      return kFmtX8R8G8B8;
    default:
      return IsSurfaceFormat(imageFormat) ? imageFormat : kFmtA8R8G8B8;
  }
}

uint32_t FormatBytesPerPixel(int32_t format) {
  switch (format) {
    case kFmtR8G8B8:
      return 3;
    case kFmtR5G6B5:
    case kFmtX1R5G5B5:
    case kFmtA1R5G5B5:
    case kFmtA4R4G4B4:
    case kFmtA8L8:
    case kFmtD16:
      return 2;
    case kFmtP8:
    case kFmtL8:
      return 1;
    default:
      return 4;
  }
}

uint32_t QuantiseToFormat(uint32_t argb, int32_t format) {
  const uint32_t a = argb >> 24, r = (argb >> 16) & 0xFFu, g = (argb >> 8) & 0xFFu, b = argb & 0xFFu;
  switch (format) {
    case kFmtX8R8G8B8:
    case kFmtR8G8B8:
      return Pack(0xFF, r, g, b);
    case kFmtR5G6B5:
      return Pack(0xFF, Narrow(r, 5), Narrow(g, 6), Narrow(b, 5));
    case kFmtX1R5G5B5:
      return Pack(0xFF, Narrow(r, 5), Narrow(g, 5), Narrow(b, 5));
    case kFmtA1R5G5B5:
      return Pack(a >= 128 ? 0xFF : 0, Narrow(r, 5), Narrow(g, 5), Narrow(b, 5));
    case kFmtA4R4G4B4:
      return Pack(Narrow(a, 4), Narrow(r, 4), Narrow(g, 4), Narrow(b, 4));
    default:
      return argb;
  }
}

}  // namespace plat
