#include "ui/control_frame.h"

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"
#include "ui/control.h"
#include "ui/screen.h"

namespace {

// One axis of the nine-piece frame: where each piece comes from in the
// texture and where it goes on the screen.
struct FrameSpan {
  int count = 0;
  int32_t source[4] = {};  // piece i spans source[i] to source[i + 1]
  int32_t dest[4] = {};
};

// One piece when the size is exactly the texture piece's; three above
// threeAbove (the corners keep their size, the middle stretches); else two
// halves.
FrameSpan SplitSpan(int32_t sourceStart, int32_t pieceSize, int32_t destStart, int32_t destSize, int32_t threeAbove) {
  FrameSpan s;
  const int32_t sourceEnd = sourceStart + pieceSize, destEnd = destStart + destSize;
  if (destSize == pieceSize) {
    s.count = 1;
    s.source[0] = sourceStart, s.source[1] = sourceEnd;
    s.dest[0] = destStart, s.dest[1] = destEnd;
  } else if (destSize > threeAbove) {
    s.count = 3;
    s.source[0] = sourceStart, s.source[1] = sourceStart + kFrameCorner;
    s.source[2] = sourceEnd - kFrameCorner, s.source[3] = sourceEnd;
    s.dest[0] = destStart, s.dest[1] = destStart + kFrameCorner;
    s.dest[2] = destEnd - kFrameCorner, s.dest[3] = destEnd;
  } else {
    s.count = 2;
    s.source[0] = sourceStart, s.source[1] = sourceStart + pieceSize / 2, s.source[2] = sourceEnd;
    s.dest[0] = destStart, s.dest[1] = destStart + destSize / 2, s.dest[2] = destEnd;
  }
  return s;
}

void DrawTexturedFrame(const Control* control, const ControlLookState& look, const plat::Rect& box) {
  Texture* sheet = g_renderer.bitmapSets[0];
  if (!sheet || plat::Failed(TextureAcquire(sheet)) || !sheet->deviceTexture) return;
  const int32_t sourceLeft = look.selected ? kFramePieceSelectedLeft : kFramePieceLeft;
  const FrameSpan cols = SplitSpan(sourceLeft, kFramePieceWidth, box.left, box.right - box.left, 118);
  const FrameSpan rows = SplitSpan(kFramePieceTop, kFramePieceHeight, box.top, box.bottom - box.top, 22);
  const uint32_t tint = (control->flags & kCtlTintFrame) ? look.fill : 0xFFFFFFFFu;
  for (int r = 0; r < rows.count; ++r) {
    for (int c = 0; c < cols.count; ++c) {
      const plat::Rect source{cols.source[c], rows.source[r], cols.source[c + 1], rows.source[r + 1]};
      const plat::Rect dest{cols.dest[c], rows.dest[r], cols.dest[c + 1], rows.dest[r + 1]};
      DrawTextureFlipped(&dest, &source, 0, sheet, g_renderer, tint);
    }
  }
}

}  // namespace

ControlLookState ControlLookOf(const Control* control) {
  ControlLookState s;
  s.selected = ((control->state & kStateSelected) != 0) != ((control->flags & kCtlInvertLook) != 0);
  s.focused = (control->flags & kCtlShowFocus) && (control->state & kStateFocused);
  const int base = s.selected ? kLookSelected : kLookNormal;
  s.look = s.focused ? kLookFocused : base;
  s.fill = control->fills[base];
  if (s.focused) {
    const uint32_t focusFill = control->fills[kLookFocused];
    s.fill = (control->flags & kCtlFocusReplaces) ? focusFill : s.fill | focusFill;
  }
  s.outline = control->outlines[s.look];
  const uint8_t focusWidth = control->outlineWidths[kLookFocused];
  s.outlineWidth = s.focused && focusWidth ? focusWidth : control->outlineWidths[base];
  return s;
}

void ControlDrawFrame(Control* control) {
  if (!control) return;
  const ControlLookState look = ControlLookOf(control);
  if (control->frameStyle == 1 && look.outlineWidth == 0) return;
  const plat::Rect box = ControlAbsoluteRect(control);
  // Text is drawn when its queue is flushed, above every fill queued before:
  // a control drawn over a sibling's text would otherwise show that text
  // through (a note over the buttons it stands for, a pop-up over a panel).
  if (TextQueuedUnder(g_renderer, box)) FlushAllDrawing(g_renderer);
  const bool textured = (control->flags & kCtlTexturedFrame) != 0;
  if (textured && !(control->flags & kCtlPlainFrame)) {
    DrawTexturedFrame(control, look, box);
    return;
  }
  const int32_t mode = textured ? (look.selected ? kFillModeButtonSelected : kFillModeButton) : kFillModePlain;
  FillRect2D(look.fill, g_renderer, box.left, box.top, box.right, box.bottom, control->frameStyle, look.outline,
             look.outlineWidth, mode);
}

bool ControlBeginDraw(Control* control) {
  control->state &= ~kStateDirty;
  if (control->state & kStateHidden) return false;
  if ((control->flags & kCtlOwnerDraw) && control->owner) control->owner->OnDrawControl(control, control->id);
  if (control->flags & kCtlFlushBefore) FlushAllDrawing(g_renderer);
  return true;
}
