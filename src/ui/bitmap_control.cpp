#include "ui/bitmap_control.h"

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"
#include "ui/control_frame.h"

namespace {

ControlInit AsBitmap(ControlInit init) {
  init.kind = kKindBitmap;
  return init;
}

bool AnimationRuns(const BitmapControl& c) {
  return (c.flags & kCtlAnimate) || ((c.flags & kCtlAnimateWhenOn) && c.state != 0);
}

}  // namespace

BitmapControl::BitmapControl(const ControlInit& init, const BitmapImage& normal, const BitmapImage& selected,
                             const BitmapImage& focused)
    : Control(AsBitmap(init)), images{normal, selected, focused} {}

Texture* BitmapSetTexture(int32_t set) {
  if (set < 0 || set >= kBitmapSetSlots) return nullptr;
  return g_renderer.bitmapSets[set];
}

FoldedFrame FoldMirroredFrame(int32_t frame, int32_t frameCount) {
  if (frame > frameCount / 2) return {frameCount - frame, true};
  return {frame, false};
}

BitmapFrame BitmapFrameSource(const plat::Rect& first, uint32_t flags, uint8_t frame, uint8_t frameCount,
                              uint8_t framesPerRow) {
  BitmapFrame out;
  int32_t shown = frame;
  // Back and forth: the second half of the frames runs the first half
  // backwards, mirrored.
  if ((flags & kCtlMultiLine) && frameCount > 0) {
    const FoldedFrame folded = FoldMirroredFrame(frame, frameCount);
    shown = folded.frame;
    out.mirrored = folded.mirrored;
  }
  int32_t perRow = framesPerRow ? framesPerRow : frameCount ? frameCount : shown + 1;
  if (perRow <= 0) perRow = 1;
  const int32_t w = first.right - first.left, h = first.bottom - first.top;
  const int32_t dx = w * (shown % perRow), dy = h * (shown / perRow);
  out.source = plat::Rect{first.left + dx, first.top + dy, first.right + dx, first.bottom + dy};
  return out;
}

bool BitmapControl::AnimationDue() const { return AnimationRuns(*this) && delayCounter + 1 > frameDelay; }

void BitmapControl::TickAnimation() {
  if (!AnimationRuns(*this)) return;
  if (++delayCounter <= frameDelay) return;
  delayCounter = 0;
  ++frame;
  if (frame >= frameCount) frame = 0;
  state |= kStateDirty;
}

int32_t BitmapControl::Draw(const plat::Rect*) {
  if (!ControlBeginDraw(this)) return 0;
  const ControlLookState look = ControlLookOf(this);
  const BitmapImage* image = &images[kLookNormal];
  if (look.focused && BitmapSetTexture(images[kLookFocused].set))
    image = &images[kLookFocused];
  else if (look.selected && BitmapSetTexture(images[kLookSelected].set))
    image = &images[kLookSelected];
  Texture* texture = pictureSlot ? *pictureSlot : BitmapSetTexture(image->set);
  if (!texture || plat::Failed(TextureAcquire(texture)) || !texture->deviceTexture) return plat::kFail;

  plat::Rect source = image->source;
  bool mirrorX = (flags & kCtlMirrorX) != 0;
  if ((flags & kCtlAnimate) || frame != 0 || ((flags & kCtlAnimateWhenOn) && look.focused)) {
    const BitmapFrame f = BitmapFrameSource(image->source, flags, frame, frameCount, framesPerRow);
    source = f.source;
    mirrorX = mirrorX != f.mirrored;
  }
  plat::Rect box = ControlAbsoluteRect(this);
  if (frameStyle == 0 && box.right > box.left && box.bottom > box.top) {
    const plat::Rect back = box;
    FillSolidRect(&back, g_renderer, look.fill);
  }
  if (look.selected && (flags & kCtlTexturedFrame)) {
    box.left += look.outlineWidth;
    box.top += look.outlineWidth;
    box.right -= look.outlineWidth;
    box.bottom -= look.outlineWidth;
  }
  const uint32_t tint = (flags & kCtlTintFrame) ? look.fill : 0xFFFFFFFFu;
  const uint32_t mirror = (mirrorX ? kFlipHorizontal : 0) | ((flags & kCtlMirrorY) ? kFlipVertical : 0);
  DrawTextureFlipped(&box, &source, mirror, texture, g_renderer, tint);
  if (look.outlineWidth > 0) {
    const plat::Rect edge = ControlAbsoluteRect(this);
    FillRect2D(0, g_renderer, edge.left, edge.top, edge.right, edge.bottom, 1, look.outline, look.outlineWidth,
               kFillModePlain);
  }
  return 0;
}
