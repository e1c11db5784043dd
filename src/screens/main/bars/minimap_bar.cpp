#include "screens/main/bars/minimap_bar.h"

#include <algorithm>
#include <cstring>

#include "screens/common/frame/map_geometry.h"
#include "screens/main/map/map_view.h"
#include "screens/main/bars/minimap_picture.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/screen_manager.h"
#include "ui/screen_reopen.h"
#include "ui/slide_bar.h"
#include "ui/string_control.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

// The floating minimap keeps 24 pixels from the pane's right edge, and from
// its top or 40 from its bottom.
constexpr int32_t kFloatMargin = 24;
constexpr int32_t kFloatBottomGap = 40;
// A title longer than this takes the small font when the minimap floats.
constexpr size_t kShortTitle = 6;
constexpr uint32_t kSmallTitleFont = 5;
constexpr uint32_t kTitleFont = 2;

SlideBarControl* SlideBar(Control* form, const char* tag) {
  Control* c = FormFindControlByTag(form, tag);
  return c && c->kind == kKindSlideBar ? static_cast<SlideBarControl*>(c) : nullptr;
}

bool SliderTagged(Control* control, const char* tag) {
  return control && control->kind == kKindSlideBar && ControlTagMatches(control->tag, tag);
}

void SetTitleFont(Control* form, bool floating) {
  Control* title = FormFindControlByTag(form, "MAPTITLE");
  if (!title || !IsStringKind(title)) return;
  const bool longTitle = title->text.size() > kShortTitle;
  static_cast<StringControl*>(title)->fontSlot = floating && longTitle ? kSmallTitleFont : kTitleFont;
}

// Takes the form out of wherever it hangs and makes it the last child of
// the map control, so it floats over the map.
void HangUnderMapPane(Control* form) {
  Control* pane = g_ui.mapArea;
  if (!pane || form->parent == pane) return;
  if (form->parent) form->Unlink();
  pane->Invalidate();
  ControlAddChild(pane, form);
}

void StoreMinimapRect(MapView& view) {
  Control* minimap = MinimapControl();
  if (!minimap) return;
  const plat::Rect r = ControlAbsoluteRect(minimap);
  view.minimapLeft = r.left, view.minimapTop = r.top, view.minimapRight = r.right, view.minimapBottom = r.bottom;
}

void ShapeFrame(Control* form, const plat::Rect& rect) {
  form->rect = rect;
  for (const char* tag : {"BORDER1", "BACKGROUND"}) {
    Control* c = FormFindControlByTag(form, tag);
    if (c && c != form) c->rect = {0, 0, Width(form), Height(form)};
  }
}

}  // namespace

void ApplyZoomSliderValue(MapView& view, float value) {
  view.zoom = value + view.zoomMin;
  ComputeMapScrollLimits(view);
}

Control* MinimapControl() { return FormFindControlByTag(g_screens.minimapBar.form, "MINIMAPBOX"); }
Control* MinimapDragControl() { return FormFindControlByTag(g_screens.minimapBar.form, "MINIMAPRECT"); }

void MinimapBar::BindControls() {
  MapView& view = *g_ui.mapView;
  if (Control* border = FormFindControlByTag(currentForm, "BORDER1")) border->outlines[kLookNormal] &= ~0x80000000u;
  Control* minimap = MinimapControl();
  Control* box = MinimapDragControl();
  view.minimapPane.currentForm = minimap;
  view.dragPanPane.currentForm = box;
  // The view box moves over the minimap, so it hangs under it.
  if (minimap && box && box->parent != minimap) {
    box->Unlink();
    ControlAddChild(minimap, box);
  }
  AttachMinimapPicture(minimap);
  StoreMinimapRect(view);
}

int32_t MinimapBar::AttachForm(Control* newHost) {
  currentForm = form;
  Control* f = currentForm;
  ScreenManager& ui = g_ui;
  Control* minimap = MinimapControl();
  if (!f || !minimap) return Screen::AttachForm(newHost);
  const bool docked = g_uiOptions.sidescreens != 0;
  for (const char* tag : {"MAPZOOMSLDR", "MAPSKEWSLDR", "FILTER"}) SetHidden(FormFindControlByTag(f, tag), !docked);
  SetTitleFont(f, !docked);
  const int32_t w = Width(minimap);
  if (docked) {
    f->outlineWidths[kLookNormal] = 0;
    Control* slot = ui.rightBoxes[0];
    const int32_t slotWidth = slot ? Width(slot) : Width(f), slotHeight = slot ? Height(slot) : Height(f);
    ShapeFrame(f, {0, 0, slotWidth, slotHeight});
    minimap->rect.left = (slotWidth - w - 20) / 2 + 16;
    minimap->rect.right = minimap->rect.left + w;
    if (f->parent && f->parent != slot) f->Unlink();
    f->flags &= ~kCtlAlwaysRedraw;
    Screen::AttachForm(slot ? slot : newHost);
  } else {
    f->outlineWidths[kLookNormal] = 1;
    minimap->rect.left = 0;
    minimap->rect.right = w;
    ShapeFrame(f, {0, 0, w, minimap->rect.bottom});
    HangUnderMapPane(f);
    if (Control* pane = ui.mapArea) {
      const int32_t x = Width(pane) - w - kFloatMargin;
      const int32_t y = g_uiOptions.minimapfloattop ? kFloatMargin : Height(pane) - Height(minimap) - kFloatBottomGap;
      RectMoveTo(&f->rect, x, y);
    }
    f->flags |= kCtlAlwaysRedraw;
  }
  return 0;
}

void MinimapBar::OnOpen() {
  plat::CriticalSectionLock lock(g_simulationLock);
  MapView& view = *g_ui.mapView;
  if (SlideBarControl* zoom = SlideBar(currentForm, "MAPZOOMSLDR")) {
    SliderSetMaxFloat(zoom, view.zoomMax - view.zoomMin);
    SliderSetValueFloat(zoom, view.zoom - view.zoomMin);
    SliderSetDefaultFloat(zoom, std::min(1.0f, view.zoomMax) - view.zoomMin);
  }
  if (SlideBarControl* skew = SlideBar(currentForm, "MAPSKEWSLDR")) {
    SliderSetMaxFloat(skew, 1.0f);
    SliderSetValueFloat(skew, 1.0f);
  }
  view.facilityFade = 1.0f;
  ShowMapTitle();
  StoreMinimapRect(view);
}

void MinimapBar::ShowMapTitle() {
  Control* title = currentForm ? FormFindControlByTag(currentForm, "MAPTITLE") : nullptr;
  if (!title) return;
  plat::CriticalSectionLock lock(g_simulationLock);
  const char* t = g_world.mapHeader.mapTitle;
  const std::string text(t, strnlen(t, sizeof g_world.mapHeader.mapTitle));
  ControlSetText(title, text.empty() ? nullptr : text.c_str());
  title->Invalidate();
}

void MinimapBar::OnCommand(Control* control, int32_t) {
  if (!control || !ControlTagMatches(control->tag, "FILTER")) return;
  filterShown = control->Selected() ? 1 : 0;
  Screen& side = filterShown ? *g_screens.filterBar : g_screens.hexInfoPopup;
  ReopenScreen(side);
}

void MinimapBar::OnControlChange(Control* control, int32_t) {
  MapView& view = *g_ui.mapView;
  if (SliderTagged(control, "MAPZOOMSLDR")) {
    ApplyZoomSliderValue(view, SliderGetValueFloat(static_cast<SlideBarControl*>(control)));
  } else if (SliderTagged(control, "MAPSKEWSLDR")) {
    view.facilityFade = SliderGetValueFloat(static_cast<SlideBarControl*>(control));
    view.redrawPending = 1;
  }
}
