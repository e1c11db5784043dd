#include "screens/common/map_overlay.h"

#include "app/gfx/fonts.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/screen_manager.h"

namespace {

// The overlays draw no box: the map shows through everything but a
// selected row's faint shade.
constexpr uint32_t kOverlayListColour = 0x00000000;
constexpr uint32_t kRowSelectedShade = 0x21000000;
constexpr uint32_t kRowSelectedOutline = 0xFF00C800;
constexpr uint32_t kRowFocusedOutline = 0xFF00FF00;

}  // namespace

int32_t MapOverlay::Show(intptr_t newId, Control*) {
  if (newId != kKeepScreenId) id = newId;
  Refresh();
  Control* f = currentForm;
  if (!f) return 0;
  Control* pane = g_ui.mapArea;
  const bool hangs = pane && list && list->rowCount > 0;
  // Already the pane's last child, over everything else on the map: taken
  // off and hung again it would have the whole map drawn anew for nothing.
  if (hangs && f->parent == pane && pane->firstChild && pane->firstChild->PrevInRing() == f) return 0;
  if (f->parent) f->Unlink();
  if (!hangs) return 0;
  pane->Invalidate();
  ControlAddChild(pane, f);
  // Drawn over the map on every frame, as the floating bars are.
  f->flags |= kCtlAlwaysRedraw;
  return 0;
}

void MapOverlay::Poll(intptr_t) {
  if (g_ui.mode == kUiInGame) Show(kKeepScreenId, nullptr);
}

void StyleOverlayList(ListBoxControl* list, uint32_t textColour, int32_t fontSlot, uint32_t alignment) {
  if (!list) return;
  for (int i = 0; i < 3; ++i) list->fills[i] = list->outlines[i] = kOverlayListColour;
  ListTextRow* row = list->prototype.get();
  if (!row) return;
  row->fills[kLookNormal] = row->fills[kLookSelected] = 0;
  row->fills[kLookFocused] = kRowSelectedShade;
  row->outlines[kLookSelected] = kRowSelectedOutline;
  row->outlines[kLookFocused] = kRowFocusedOutline;
  row->textColour = row->selectedTextColour = textColour;
  row->fontSlot = static_cast<uint32_t>(fontSlot);
  row->alignment = alignment;
  // A row is one line of its font high, as the overlay's height counts
  // them: taller rows would leave the last line below the overlay's foot.
  if (const int32_t line = OverlayLineHeight(fontSlot); line > 0) row->rect.bottom = row->rect.top + line;
}

int32_t OverlayLineHeight(int32_t fontSlot) {
  int32_t width = 0, height = 0;
  if (BitmapFont* font = FontSlot(fontSlot)) MeasureText(font, "Ay", &width, &height);
  return height > 0 ? height : 0;
}

int32_t OverlayHeight(int32_t lines, int32_t lineHeight, int32_t formHeight) {
  if (lines <= 0) return 0;
  if (lineHeight <= 0) return formHeight > 0 ? formHeight : 0;
  return lines * lineHeight;
}
