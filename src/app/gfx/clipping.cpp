#include "app/gfx/clipping.h"

#include <algorithm>

#include "app/app_object.h"
#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"

namespace {

// The overlap of two rectangles; all zero when they do not meet.
plat::Rect Intersect(const plat::Rect& a, const plat::Rect& b) {
  const plat::Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                     std::min(a.bottom, b.bottom)};
  if (r.left >= r.right || r.top >= r.bottom) return plat::Rect{};
  return r;
}

}  // namespace

plat::Status SetClipRect(Renderer& renderer, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  FlushAllDrawing(renderer);
  if (!renderer.device) return plat::kFail;
  const int32_t width = g_platform.clientRect.right, height = g_platform.clientRect.bottom;
  if (left < 0 || top < 0 || right > width || bottom > height) {
    const plat::Rect cut = Intersect(plat::Rect{left, top, right, bottom}, plat::Rect{0, 0, width, height});
    if (cut.right == 0 || cut.bottom == 0) return plat::kFail;
    left = cut.left;
    top = cut.top;
    right = cut.right;
    bottom = cut.bottom;
  }
  // A rectangle turned inside out holds nothing to draw into.
  if (right < left || bottom < top) return plat::kFail;
  const plat::Viewport vp{static_cast<uint32_t>(left), static_cast<uint32_t>(top), static_cast<uint32_t>(right - left),
                          static_cast<uint32_t>(bottom - top), 0.0f, 1.0f};
  return renderer.device->SetViewport(vp);
}

plat::Status IntersectClipRect(plat::Viewport* saved, Renderer& renderer, int32_t left, int32_t top, int32_t right,
                               int32_t bottom) {
  FlushAllDrawing(renderer);
  if (!renderer.device) return plat::kFail;
  plat::Viewport& keep = saved ? *saved : renderer.savedViewport;
  renderer.device->GetViewport(&keep);
  const plat::Rect current{static_cast<int32_t>(keep.x), static_cast<int32_t>(keep.y),
                           static_cast<int32_t>(keep.x + keep.width), static_cast<int32_t>(keep.y + keep.height)};
  const plat::Rect cut = Intersect(plat::Rect{left, top, right, bottom}, current);
  if (cut.right == 0 || cut.bottom == 0) return plat::kFail;
  return SetClipRect(renderer, cut.left, cut.top, cut.right, cut.bottom);
}

plat::Status SetViewportOrDefault(Renderer& renderer, const plat::Viewport* viewport) {
  FlushAllDrawing(renderer);
  if (!renderer.device) return plat::kFail;
  return renderer.device->SetViewport(viewport ? *viewport : renderer.savedViewport);
}

plat::Status RestoreViewport(Renderer& renderer) {
  FlushAllDrawing(renderer);
  if (!renderer.device) return plat::kFail;
  return renderer.device->SetViewport(renderer.viewport);
}
