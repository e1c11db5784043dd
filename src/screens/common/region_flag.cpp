#include "screens/common/region_flag.h"

#include <algorithm>

#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "records/player_record.h"
#include "ui/control.h"
#include "ui/control_frame.h"
#include "ui/string_control.h"
#include "world/text/ui_options.h"

namespace {

constexpr char kFlagTag[] = "REGIONFLAG";
constexpr uint32_t kWhite = 0xFFF0F0F0u;
constexpr uint32_t kEdge = 0xFF202020u;
// A text row's flag is three halves as wide as it is high.
constexpr int32_t kFlagWidthPerHeight2 = 3;

// Drawn over its parent row and passing every click to it; its id is the
// region.
class RegionFlagControl : public Control {
 public:
  RegionFlagControl() {
    SetControlTag(this, kFlagTag);
    flags = kCtlClickThrough | kCtlNoFocus;
    id = -1;
  }
  int32_t Draw(const plat::Rect*) override {
    if (!ControlBeginDraw(this)) return 0;
    for (const FlagPiece& p : RegionFlagPieces(id, ControlAbsoluteRect(this))) {
      FillSolidRect(&p.rect, g_renderer, p.colour);
    }
    return 0;
  }
  Control* Clone() const override { return new RegionFlagControl(*this); }

 protected:
  RegionFlagControl(const RegionFlagControl&) = default;
};

Control* FindFlag(const Control* row) {
  Control* first = row ? row->firstChild : nullptr;
  if (!first) return nullptr;
  Control* c = first;
  do {
    if (ControlTagMatches(c->tag, kFlagTag)) return c;
    c = c->NextInRing();
  } while (c && c != first);
  return nullptr;
}

}  // namespace

std::vector<FlagPiece> RegionFlagPieces(int32_t player, const plat::Rect& box) {
  std::vector<FlagPiece> pieces;
  const int32_t w = box.right - box.left, h = box.bottom - box.top;
  if (player < 0 || player >= kMaxPlayers || w <= 2 || h <= 2) return pieces;
  const uint32_t colour = g_uiOptions.playercolor[player] | 0xFF000000u;
  pieces.push_back({box, kEdge});
  const plat::Rect inner{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
  pieces.push_back({inner, colour});
  const int32_t iw = inner.right - inner.left, ih = inner.bottom - inner.top;
  const int32_t bandH = std::max(1, ih / 3), bandW = std::max(1, iw / 3);
  const int32_t midX = inner.left + iw / 2, midY = inner.top + ih / 2;
  const int32_t barH = std::max(1, ih / 5), barW = std::max(1, ih / 5);
  switch (player % 8) {
    case 0:  // plain
      break;
    case 1:  // white lower band
      pieces.push_back({{inner.left, inner.bottom - bandH, inner.right, inner.bottom}, kWhite});
      break;
    case 2:  // white band at the hoist
      pieces.push_back({{inner.left, inner.top, inner.left + bandW, inner.bottom}, kWhite});
      break;
    case 3:  // white middle band
      pieces.push_back({{inner.left, inner.top + bandH, inner.right, inner.bottom - bandH}, kWhite});
      break;
    case 4:  // white cross
      pieces.push_back({{inner.left, midY - barH / 2, inner.right, midY - barH / 2 + barH}, kWhite});
      pieces.push_back({{midX - barW / 2, inner.top, midX - barW / 2 + barW, inner.bottom}, kWhite});
      break;
    case 5:  // white upper band
      pieces.push_back({{inner.left, inner.top, inner.right, inner.top + bandH}, kWhite});
      break;
    case 6:  // white canton
      pieces.push_back({{inner.left, inner.top, midX, midY}, kWhite});
      break;
    default:  // white middle stripe, upright
      pieces.push_back({{inner.left + bandW, inner.top, inner.right - bandW, inner.bottom}, kWhite});
      break;
  }
  return pieces;
}

void SetRowFlag(Control* row, int32_t player) {
  if (!row) return;
  Control* flag = FindFlag(row);
  const bool made = !flag;
  if (!flag) {
    flag = new RegionFlagControl;
    if (row->firstChild) {
      row->firstChild->AppendSibling(flag);
    } else {
      row->firstChild = flag;
      flag->parent = row;
    }
  }
  const int32_t w = Width(row), h = Height(row);
  plat::Rect box{0, 0, w, h};
  if (IsStringKind(row)) box.left = w - std::min(w, h * kFlagWidthPerHeight2 / 2);
  const int32_t id = player >= 0 && player < kMaxPlayers ? player : -1;
  const uint32_t hidden = id < 0 ? kStateHidden : 0u;
  // Rows filled again by every refresh keep their look unless the flag
  // changed.
  const plat::Rect& was = flag->rect;
  if (!made && flag->id == id && (flag->state & kStateHidden) == hidden && was.left == box.left &&
      was.top == box.top && was.right == box.right && was.bottom == box.bottom)
    return;
  flag->rect = box;
  flag->id = id;
  flag->state = (flag->state & ~kStateHidden) | kStateDirty | hidden;
  row->Invalidate();
}

int32_t RowFlagPlayer(const Control* row) {
  const Control* flag = FindFlag(row);
  return flag && !flag->Hidden() ? flag->id : -1;
}
