#include "ui/background_bitmap.h"

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"

namespace {
constexpr plat::Rect kSource{0, 0, kBackgroundWidth, kBackgroundHeight};
}

BackgroundBitmap::BackgroundBitmap(const ControlInit& init, Texture* const* slot) : Control(init), slot_(slot) {}

int32_t BackgroundBitmap::Draw(const plat::Rect* clip) {
  Control::Draw(clip);
  Texture* texture = slot_ ? *slot_ : nullptr;
  if (!texture) return plat::kFail;
  const plat::Rect at = ControlAbsoluteRect(this);
  return DrawTextureFlipped(&at, &kSource, 0, texture, g_renderer, 0xFFFFFFFFu);
}
