#include "screens/frontend/tutorial_marker.h"

#include <algorithm>

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"
#include "ui/control_frame.h"

namespace {

// Where the cell's hexagon turns, from the cell's left and top edges: its
// flat top and bottom run between these columns, its side corners lie
// between these rows.
constexpr int32_t kMarkerCutLeft = 20, kMarkerCutRight = 44;
constexpr int32_t kMarkerCutTop = 21, kMarkerCutBottom = 43;

}  // namespace

void TutorialMarker::Surround(const plat::Rect& control, const std::vector<plat::Rect>& others,
                              const plat::Rect& screen, int32_t margin) {
  int32_t left = std::min(margin, control.left - screen.left), top = std::min(margin, control.top - screen.top);
  int32_t right = std::min(margin, screen.right - control.right);
  int32_t bottom = std::min(margin, screen.bottom - control.bottom);
  for (const plat::Rect& o : others) {
    const bool besideRows = o.top < control.bottom && control.top < o.bottom;
    const bool besideColumns = o.left < control.right && control.left < o.right;
    if (besideRows && o.right <= control.left) left = std::min(left, (control.left - o.right) / 2);
    if (besideRows && o.left >= control.right) right = std::min(right, (o.left - control.right) / 2);
    if (besideColumns && o.bottom <= control.top) top = std::min(top, (control.top - o.bottom) / 2);
    if (besideColumns && o.top >= control.bottom) bottom = std::min(bottom, (o.top - control.bottom) / 2);
  }
  bandLeft = std::max(0, left), bandTop = std::max(0, top), bandRight = std::max(0, right);
  bandBottom = std::max(0, bottom);
  rect = {control.left - bandLeft, control.top - bandTop, control.right + bandRight, control.bottom + bandBottom};
}

int32_t TutorialMarker::Draw(const plat::Rect*) {
  if (!ControlBeginDraw(this)) return 0;
  Texture* texture = pictureSlot ? *pictureSlot : BitmapSetTexture(images[kLookNormal].set);
  if (!texture || plat::Failed(TextureAcquire(texture)) || !texture->deviceTexture) return plat::kFail;
  const plat::Rect cell = images[kLookNormal].source;
  const plat::Rect box = ControlAbsoluteRect(this);
  const int32_t sourceX[4] = {cell.left, cell.left + kMarkerCutLeft, cell.left + kMarkerCutRight, cell.right};
  const int32_t sourceY[4] = {cell.top, cell.top + kMarkerCutTop, cell.top + kMarkerCutBottom, cell.bottom};
  const int32_t destX[4] = {box.left, box.left + bandLeft, box.right - bandRight, box.right};
  const int32_t destY[4] = {box.top, box.top + bandTop, box.bottom - bandBottom, box.bottom};
  const uint32_t tint = (flags & kCtlTintFrame) ? ControlLookOf(this).fill : 0xFFFFFFFFu;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      // The middle piece is the control's own place.
      if (row == 1 && column == 1) continue;
      const plat::Rect dest{destX[column], destY[row], destX[column + 1], destY[row + 1]};
      if (dest.right <= dest.left || dest.bottom <= dest.top) continue;
      const plat::Rect source{sourceX[column], sourceY[row], sourceX[column + 1], sourceY[row + 1]};
      DrawTextureFlipped(&dest, &source, 0, texture, g_renderer, tint);
    }
  }
  return 0;
}
