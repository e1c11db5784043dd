// The 2D drawing helpers built on the sprite batch.
#include <algorithm>
#include <cstdlib>

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"

namespace {

void RectCorners(float left, float top, float right, float bottom, SpritePoint corners[4]) {
  corners[0] = {left, top};
  corners[1] = {right, bottom};
  corners[2] = {left, bottom};
  corners[3] = {right, top};
}

uint32_t Shade(uint32_t colour, bool light) {
  uint32_t out = colour & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t c = (colour >> shift) & 0xFFu;
    out |= (light ? (c + 255) / 2 : c / 2) << shift;
  }
  return out;
}

}  // namespace

plat::Status DrawSprite(Renderer& renderer, Texture* texture, float x, float y, float z, float width, float height,
                        uint32_t colour, const plat::Rect* sourceRect, int32_t mode, const plat::Rect* maskRect,
                        Texture* mask) {
  SpritePoint corners[4];
  RectCorners(x, y, x + std::abs(width), y + std::abs(height), corners);
  return QueueSpriteQuad(renderer, texture, corners, z, width < 0.0f, height < 0.0f, colour, sourceRect, mode,
                         maskRect, mask);
}

plat::Status DrawTextureFlipped(const plat::Rect* destRect, const plat::Rect* sourceRect, uint32_t flags,
                                Texture* texture, Renderer& renderer, uint32_t colour) {
  float left = 0.0f, top = 0.0f, width = 0.0f, height = 0.0f;
  if (destRect) {
    left = static_cast<float>(destRect->left);
    top = static_cast<float>(destRect->top);
    width = static_cast<float>(destRect->right - destRect->left);
    height = static_cast<float>(destRect->bottom - destRect->top);
  } else if (sourceRect) {
    width = static_cast<float>(sourceRect->right - sourceRect->left);
    height = static_cast<float>(sourceRect->bottom - sourceRect->top);
  } else if (texture) {
    width = static_cast<float>(texture->desc.width);
    height = static_cast<float>(texture->desc.height);
  } else {
    return plat::kInvalidArg;
  }
  const bool flipX = sourceRect && (flags & kFlipHorizontal);
  const bool flipY = sourceRect && (flags & kFlipVertical);
  SpritePoint corners[4];
  RectCorners(left, top, left + width, top + height, corners);
  return QueueSpriteQuad(renderer, texture, corners, 1.0f, flipX, flipY, colour, sourceRect, kFilterModeLinear,
                         nullptr, nullptr);
}

plat::Status FillSolidRect(const plat::Rect* rect, Renderer& renderer, uint32_t colour) {
  if (!rect) return plat::kInvalidArg;
  SpritePoint corners[4];
  RectCorners(static_cast<float>(rect->left), static_cast<float>(rect->top), static_cast<float>(rect->right),
              static_cast<float>(rect->bottom), corners);
  return QueueSpriteQuad(renderer, nullptr, corners, 1.0f, 0, 0, colour, nullptr, kFilterModePoint, nullptr, nullptr);
}

uint32_t BevelLight(uint32_t colour) { return Shade(colour, true); }
uint32_t BevelDark(uint32_t colour) { return Shade(colour, false); }

plat::Status DrawBevelBox(uint32_t colour, Renderer& renderer, int32_t left, int32_t top, int32_t right,
                          int32_t bottom, int32_t noFill, uint32_t fillColour, int32_t border, int32_t style) {
  if (int64_t{bottom} - top < 1 || int64_t{right} - left < 1) return plat::kInvalidArg;
  if (!noFill) {
    const plat::Rect box{left, top, right, bottom};
    FillSolidRect(&box, renderer, fillColour);
  }
  if (border == 0) return plat::kOk;
  const int64_t t = border < 0 ? -int64_t{border} : int64_t{border};
  int64_t l = left, tp = top, r = right, b = bottom;
  if (border > 0) {
    l -= t;
    tp -= t;
    r += t;
    b += t;
  }
  uint32_t topLeft = colour, bottomRight = colour;
  if (style & kBevelRaised) {
    topLeft = BevelLight(colour);
    bottomRight = BevelDark(colour);
  } else if (style & kBevelSunken) {
    topLeft = BevelDark(colour);
    bottomRight = BevelLight(colour);
  }
  auto strip = [&renderer](int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t c) {
    const plat::Rect rect{static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1),
                          static_cast<int32_t>(y1)};
    FillSolidRect(&rect, renderer, c);
  };
  strip(l, tp, r, tp + t, topLeft);      // top
  strip(l, tp, l + t, b, topLeft);       // left
  strip(l, b - t, r, b, bottomRight);    // bottom
  strip(r - t, tp, r, b, bottomRight);   // right
  return plat::kOk;
}

plat::Status FillRect2D(uint32_t colour, Renderer& renderer, int32_t left, int32_t top, int32_t right, int32_t bottom,
                        int32_t frameStyle, uint32_t outlineColour, int32_t outlineWidth, int32_t mode) {
  if (int64_t{bottom} - top < 1 || int64_t{right} - left < 1) return plat::kInvalidArg;
  // Cut to the screen, so that a control far off it queues nothing huge.
  // The cut keeps a margin wider than any outline, which therefore stays
  // off the screen on a cut edge.
  constexpr int64_t kMargin = 256;
  const plat::Viewport& screen = renderer.viewport;
  if (screen.width > 0 && screen.height > 0) {
    const int64_t sl = screen.x, st = screen.y, sr = sl + screen.width, sb = st + screen.height;
    if (right <= sl || bottom <= st || left >= sr || top >= sb) return plat::kOk;
    left = static_cast<int32_t>(std::max<int64_t>(left, sl - kMargin));
    top = static_cast<int32_t>(std::max<int64_t>(top, st - kMargin));
    right = static_cast<int32_t>(std::min<int64_t>(right, sr + kMargin));
    bottom = static_cast<int32_t>(std::min<int64_t>(bottom, sb + kMargin));
  }
  const int32_t noFill = frameStyle == 1 ? 1 : 0;
  const int32_t width = std::max(outlineWidth, 0);
  if (width == 0) {
    if (noFill) return plat::kOk;
    const plat::Rect box{left, top, right, bottom};
    return FillSolidRect(&box, renderer, colour);
  }
  const int32_t style = mode == kFillModeButton ? kBevelRaised : mode == kFillModeButtonSelected ? kBevelSunken : 0;
  return DrawBevelBox(outlineColour, renderer, left, top, right, bottom, noFill, colour, -width, style);
}
