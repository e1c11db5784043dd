#include "screens/common/frame/main_layout.h"

#include <algorithm>

#include "app/app_object.h"
#include "app/gfx/fonts.h"
#include "platform/window.h"
#include "screens/common/map_overlay.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/screen_set.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "world/text/ui_options.h"

MainLayoutLinks g_mainLayoutLinks;

namespace {

// A border of 3 pixels at the left and top and 4 at the right and bottom.
constexpr plat::Rect kBorderInset{3, 3, 4, 4};
// The status lines keep clear of the screen's right edge and of the dock.
constexpr int32_t kStatusRightGap = 32;
constexpr int32_t kStatusBottomGap = 230;

// The dock bar of a level, 1 to 3; level 0 holds the command bar.
Control* DockBar(int32_t level) { return level >= 0 && level < kBottomBoxes ? g_ui.bottomBoxes[level] : nullptr; }

void ReleaseDockBarToggles(int32_t level) {
  ControlTreeForEach(DockBar(level), kAnyDepth, 1, UnselectToggleControl);
}

// The side pop-up beside the map: the filter bar while its panel is open,
// the combat odds while the selection's orders are shown, else the hex.
Screen& SidePopup(ScreenSet& s) {
  if (s.minimapBar.filterShown) return *s.filterBar;
  if (s.selectionOrdersShown) return s.combatOdds;
  return s.hexInfoPopup;
}

}  // namespace

int32_t ClientWidth() { return g_platform.clientRect.right - g_platform.clientRect.left; }
int32_t ClientHeight() { return g_platform.clientRect.bottom - g_platform.clientRect.top; }

void LayoutMainPanels(int32_t h, MapView& view) {
  ScreenManager& ui = g_ui;
  Control* map = ui.mapArea;
  if (map) {
    int32_t top = kTitleBarHeight;
    if (g_uiOptions.btitlebartransp) {
      top = 0;
      h += kTitleBarHeight;
    }
    map->rect.top = top;
    map->rect.bottom = top + h;
    map->Invalidate();
    if (ui.mapBackdrop) ui.mapBackdrop->rect = map->rect;
    // The dock hangs in the map area, on its bottom edge.
    if (Control* dock = ui.bottomBar) {
      const int32_t height = Height(dock);
      dock->rect.bottom = h;
      dock->rect.top = h - height;
    }
    const plat::Rect r = ControlAbsoluteRect(map);
    view.viewLeft = r.left, view.viewTop = r.top, view.viewRight = r.right, view.viewBottom = r.bottom;
    if (!g_uiOptions.bnomapbord) {
      view.viewLeft += kBorderInset.left, view.viewTop += kBorderInset.top;
      view.viewRight -= kBorderInset.right, view.viewBottom -= kBorderInset.bottom;
    }
  }
  g_screens.mapBorder->Show(g_uiOptions.bnomapbord ? 0 : 1, nullptr);
  if (view.buttonHeld && g_platform.mainWindow) {
    const plat::Rect clip{view.viewLeft, view.viewTop, view.viewRight, view.viewBottom};
    plat::ClipCursorToRect(g_platform.mainWindow, &clip);
  }
}

void RelayoutMainScreen(MapView& view) {
  ScreenManager& ui = g_ui;
  int32_t h = ClientHeight() - kTitleBarHeight;
  if (ui.mode != kUiInGame) h -= Height(ui.bottomStrip);
  LayoutMainPanels(h, view);
  SetMapZoomLimits(view, g_uiOptions.bfullzoom != 0);
  ClampMapPan(view);
  if (ui.mapChildPopup) ui.mapChildPopup->Show(kKeepScreenId, nullptr);
  if (g_mainLayoutLinks.updateMinimapViewBox) {
    g_mainLayoutLinks.updateMinimapViewBox(view);
  } else {
    view.minimapRedrawPending = 1;
  }
  if (ui.rootForm) ui.rootForm->state |= kStateDirty;
}

bool g_cabinetBesidePage = false;

// The depth is the interface root's; the view is the one whose dock it is.
void SetPanelDepth(int32_t depth, int32_t release, MapView&) {
  ScreenManager& ui = g_ui;
  ScreenSet& s = g_screens;
  depth = std::min(depth, 3);
  const int32_t old = ui.panelDepth;
  if (depth == old) {
    if (release && (depth == 1 || depth == 2)) ReleaseDockBarToggles(depth);
    return;
  }
  if (depth >= 0) {
    ui.panelDepth = depth;
    PlayPopupSound(kSoundSidePopup);
    if (release && depth < old) {
      if (old >= 2) ReleaseDockBarToggles(2);
      if (old >= 1 && depth <= 1) ReleaseDockBarToggles(1);
    }
  }
  depth = ui.panelDepth;
  for (int32_t level = 1; level <= 3; ++level) SetHidden(DockBar(level), depth < level);
  if (Control* cabinet = FormFindControlByTag(MainPanelScreen(s, s.cmdBar.id).currentForm, "PARENT1"))
    SetHidden(cabinet, !g_cabinetBesidePage || depth >= 2);
  if (Control* dock = ui.bottomBar) {
    dock->rect.right = kDockWidths[std::clamp(depth, 0, 3)];
    dock->flags |= kCtlAlwaysRedraw;
  }
  if (depth == 0) {
    Control* bar = s.cmdBar.currentForm;
    Control* first = bar && bar->id == 1 ? bar : FormFindControlById(bar, 1);
    if (first) ControlClearSelection(first, 0);
    if (g_uiOptions.sidescreens) OpenScreen(SidePopup(s));
  }
  if (s.mapBorder->currentForm) s.mapBorder->currentForm->state |= kStateDirty;
}

Screen& MainPanelScreen(ScreenSet& s, int32_t panel) {
  switch (panel) {
    case 2: return s.operationsScreen;
    case 3: return s.militaryScreen;
    case 4: return s.diplomacyScreen;
    case 5: return *s.economyScreen;
    case 6: return s.productScreen;
    case 7: return s.policyScreen;
    case 8: return s.statusScreen;
    case 9: return s.ordersScreen;
    default: return s.mapScreen;
  }
}

void ShowMainPanel(int32_t panel, int32_t keepDepth, ScreenSet& screens) {
  MapView& view = *g_ui.mapView;
  if (!keepDepth) SetPanelDepth(1, 1, view);
  screens.cmdBar.id = panel;
  screens.cmdBar.dockedPanelMarker = keepDepth ? 0 : 1;
  ApplySideScreensLayout(view);
  RefreshSelection(screens);
  if (panel != 9 && g_mainLayoutLinks.closeMapPopups) g_mainLayoutLinks.closeMapPopups(screens);
  OpenScreen(MainPanelScreen(screens, panel));
  // The map's panel docks without passing the departments' own opening:
  // its button lights here, and the department's before it goes out.
  screens.cmdBar.Refresh();
}

void RefreshSelection(ScreenSet& screens) {
  EndTextEdit();
  if (g_mainLayoutLinks.cancelMapPlacement) g_mainLayoutLinks.cancelMapPlacement(screens);
  MapView& view = *g_ui.mapView;
  if (screens.mapClickMode) view.redrawPending = 1;
  EndUnitTargetPick(screens);
  screens.mapClickMode = 0;
  view.pickHex = 0;
  screens.selectionPanelPending = 0;
  if (g_mainLayoutLinks.clearAreaTagOverlay) g_mainLayoutLinks.clearAreaTagOverlay();
}

void ApplySideScreensLayout(MapView& view) {
  ScreenManager& ui = g_ui;
  ScreenSet& s = g_screens;
  for (Control* slot : ui.rightBoxes) {
    while (slot && slot->firstChild) slot->firstChild->Unlink();
  }
  SetPanelDepth(-1, 1, view);
  if (ClientWidth() < kSideScreensMinWidth) g_uiOptions.sidescreens = 0;
  const bool on = g_uiOptions.sidescreens != 0;
  SetHidden(ui.rightColumn, !on);
  if (ui.mapArea) ui.mapArea->rect.right = on && ui.rightColumn ? ui.rightColumn->rect.left : ClientWidth();
  SetHidden(s.mailBar.currentForm, on);
  if (on) {
    OpenScreen(s.minimapBar.filterShown ? *s.filterBar : s.hexInfoPopup);
  } else {
    s.mailBar.Show(kKeepScreenId, nullptr);
  }
  LayoutStatusOverlay();
  SetHidden(FormFindControlByTag(s.minimapBar.currentForm, "FILTER"), !on);
  RelayoutMainScreen(view);
  // The mail frame comes back into its slot (emptied above) before the
  // mailbox hangs in it.
  for (Screen* bar : {static_cast<Screen*>(&s.minimapBar), static_cast<Screen*>(&s.sideBar3),
                      static_cast<Screen*>(&s.mailWindow),
                      static_cast<Screen*>(&s.speedBar), static_cast<Screen*>(&s.mailBar)})
    OpenScreen(*bar);
  Control* area = ui.rightColumn;
  if (on && area && !area->Hidden()) {
    Screen* owner = area->owner;
    if (owner && owner->currentForm == area) {
      owner->Refresh();
      owner->refreshRequest &= ~kScreenRefreshDeferred;
    }
    RedrawChildRing(ui, area);
  }
  view.layoutPending = 0;
}

void LayoutStatusOverlay() {
  Control* form = g_screens.statMap.currentForm;
  if (!form) return;
  Control* list = FormFindControlByTag(form, "STATLIST");
  // Without its font the overlay keeps the height its form gives it; with
  // no lines it is empty.
  const int32_t height =
      OverlayHeight(g_uiOptions.statshowlines, OverlayLineHeight(g_uiOptions.fontstatus), Height(form));
  form->rect.bottom = form->rect.top + height;
  if (list && list != form) list->rect.top = 0, list->rect.bottom = height;
  const int32_t formWidth = form->rect.right - form->rect.left;
  const int32_t right = ClientWidth() - kStatusRightGap - (g_uiOptions.sidescreens ? kRightColumnWidth : 0);
  const int32_t bottom = ClientHeight() - kStatusBottomGap;
  // An overlay hanging nowhere is placed for the map pane it is hung under
  // when it has lines.
  const Control* under = form->parent ? form->parent : g_ui.mapArea;
  const plat::Rect parent = under ? ControlAbsoluteRect(under) : plat::Rect{};
  RectMoveTo(&form->rect, right - formWidth - parent.left, bottom - height - parent.top);
  if (list && list->kind == kKindListBox) ListClear(static_cast<ListBoxControl*>(list), 0);
}

void UnselectToggleControl(Control* control) {
  if (!control) return;
  constexpr uint32_t kRadioButton = kCtlRadio | kCtlButton;
  if ((control->flags & kRadioButton) != kRadioButton || !(control->state & kStateSelected)) return;
  control->SetState(control->state & ~kStateSelected, 0, nullptr, 0, 0, 0, 0, 0);
}

void RedrawGameRoot(ScreenSet&) {
  if (g_ui.mode != kUiInGame) return;
  // The frame draws only dirty controls: the whole tree becomes dirty.
  if (g_ui.rootForm) ControlTreeForEach(g_ui.rootForm, kAnyDepth, 0, [](Control* c) { c->state |= kStateDirty; });
  (g_ui.mapView ? *g_ui.mapView : g_mapView).redrawPending = 0;
}
