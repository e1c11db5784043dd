#include "screens/main/main_panels.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "screens/main/map_geometry.h"
#include "screens/main/map_view.h"
#include "ui/control.h"
#include "ui/control_tree.h"
#include "ui/panel_helpers.h"
#include "ui/screen_manager.h"
#include "ui/screen_set.h"
#include "ui/slide_bar.h"
#include "world/text/ui_options.h"

namespace {

// The floating minimap keeps 24 pixels from the pane's right edge, and from
// its top or 40 from its bottom.
constexpr int32_t kFloatMargin = 24;
constexpr int32_t kFloatBottomGap = 40;
constexpr int32_t kKeepEdge = INT32_MIN;

SlideBarControl* SlideBar(Control* form, const char* tag) {
  Control* c = FormFindControlByTag(form, tag);
  return c && c->kind == kKindSlideBar ? static_cast<SlideBarControl*>(c) : nullptr;
}

int32_t Width(const Control* c) { return c->rect.right - c->rect.left; }
int32_t Height(const Control* c) { return c->rect.bottom - c->rect.top; }

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

void MapBorder::BindControls() {
  hostLink = &g_ui.mapBackdrop;
  OnOpen();
  AttachForm(nullptr);
}

// The corners are 56 pixels wide, the sides 4 thick; the centre piece is
// never shown.
void MapBorder::OnOpen() {
  Control* f = currentForm;
  Control* pane = g_ui.mapArea;
  if (!f || !pane) return;
  const int32_t w = Width(pane), h = Height(pane);
  f->rect.right = w;
  f->rect.bottom = h;
  struct Edges {
    int32_t left, top, right, bottom;  // kKeepEdge keeps the form's value
  };
  constexpr int32_t k = kKeepEdge;
  const Edges pieces[9] = {{k, k, k, k},          {k, k, w - 56, k},    {w - 56, k, w, k},
                           {k, k, k, h - 4},      {k, k, k, k},         {w - 4, k, w, h - 4},
                           {k, h - 4, k, h},      {k, h - 4, w - 56, h}, {w - 56, h - 4, w, h}};
  for (int32_t piece = 1; piece <= 9; ++piece) {
    Control* c = FormFindControlById(f, piece);
    if (!c || c == f) continue;
    const Edges& e = pieces[piece - 1];
    for (const auto& [edge, value] : {std::pair{&c->rect.left, e.left}, std::pair{&c->rect.top, e.top},
                                      std::pair{&c->rect.right, e.right}, std::pair{&c->rect.bottom, e.bottom}})
      if (value != kKeepEdge) *edge = value;
    c->flags |= kCtlTintFrame;
    c->frameStyle = 3;
    c->fills[kLookNormal] = 0xFFC8C8C8;
    SetHidden(c, id == 0 || piece == 5);
  }
}

// Both take the whole side-panel box of the side screens column.
int32_t FilterBar::AttachForm(Control*) {
  currentForm = form;
  PlaceSidePanel(0, this, kPanelFull);
  return 0;
}

int32_t CombatOddsPopup::AttachForm(Control*) {
  currentForm = form;
  PlaceSidePanel(0, this, kPanelFull);
  return 0;
}

void ApplyZoomSliderValue(MapView& view, float value) {
  view.zoom = value + view.zoomMin;
  ComputeMapScrollLimits(view);
}

Control* MinimapControl() { return FormFindControlByTag(g_screens.minimapBar.form, "MINIMAPBOX"); }
Control* MinimapDragControl() { return FormFindControlByTag(g_screens.minimapBar.form, "MINIMAPRECT"); }

// The view box moves over the minimap, so it hangs under it.
void MinimapBar::BindControls() {
  Control* minimap = MinimapControl();
  Control* box = MinimapDragControl();
  if (minimap && box && box->parent != minimap) {
    box->Unlink();
    ControlAddChild(minimap, box);
  }
  StoreMinimapRect(*g_ui.mapView);
}

// Beside the map the bar fills the first side-screen slot with its slider
// and filter toggle; without side screens only the minimap floats in a
// corner of the map.
int32_t MinimapBar::AttachForm(Control* newHost) {
  currentForm = form;
  Control* f = currentForm;
  ScreenManager& ui = g_ui;
  Control* minimap = MinimapControl();
  if (!f || !minimap) return Screen::AttachForm(newHost);
  const bool docked = g_uiOptions.sidescreens != 0;
  for (const char* tag : {"MAPZOOMSLDR", "FILTER"}) SetHidden(FormFindControlByTag(f, tag), !docked);
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
      const int32_t y = g_uiOptions.minimapfloattop ? kFloatMargin : Height(pane) - Height(f) - kFloatBottomGap;
      RectMoveTo(&f->rect, x, y);
    }
    f->flags |= kCtlAlwaysRedraw;
  }
  return 0;
}

void MinimapBar::OnOpen() {
  MapView& view = *g_ui.mapView;
  if (SlideBarControl* zoom = SlideBar(currentForm, "MAPZOOMSLDR")) {
    SliderSetMaxFloat(zoom, view.zoomMax - view.zoomMin);
    SliderSetValueFloat(zoom, view.zoom - view.zoomMin);
    SliderSetDefaultFloat(zoom, std::min(1.0f, view.zoomMax) - view.zoomMin);
  }
  StoreMinimapRect(view);
}

void MinimapBar::OnCommand(Control* control, int32_t) {
  if (!control || !ControlTagMatches(control->tag, "FILTER")) return;
  filterShown = control->Selected() ? 1 : 0;
  Screen& side = filterShown ? static_cast<Screen&>(g_screens.filterBar) : g_screens.map2;
  side.AttachForm(nullptr);
  side.OnOpen();
  side.Refresh();
}

void MinimapBar::OnControlChange(Control* control, int32_t) {
  if (!control || control->kind != kKindSlideBar || !ControlTagMatches(control->tag, "MAPZOOMSLDR")) return;
  ApplyZoomSliderValue(*g_ui.mapView, SliderGetValueFloat(static_cast<SlideBarControl*>(control)));
}
