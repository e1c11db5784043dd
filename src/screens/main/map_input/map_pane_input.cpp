#include "screens/main/map_input/map_pane_input.h"

#include <cstdlib>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/cursor.h"
#include "app/gfx/renderer.h"
#include "editor/editor_map_input.h"
#include "editor/editor_palette.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "records/hex_cell.h"
#include "records/hex_unit_stack.h"
#include "records/unit_record.h"
#include "screens/docked_panels.h"
#include "screens/main/bars/minimap_picture.h"
#include "screens/main/popups/hex_list_popups.h"
#include "screens/common/frame/main_layout.h"
#include "screens/main/panels/main_panels.h"
#include "screens/common/frame/map_click.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/main/map_input/map_placement.h"
#include "screens/common/frame/map_popups.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/tutorial_map_links.h"
#include "screens/main/map/map_view.h"
#include "screens/common/facilities/object_popups.h"
#include "screens/common/units/order_choice.h"
#include "screens/main/map_input/selection.h"
#include "screens/common/units/hex_unit_actions.h"
#include "screens/screen_set.h"
#include "sim/simulation_lock.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/slide_bar.h"
#include "units/hex_geometry.h"
#include "world/unit_class.h"
#include "world/object_hex.h"
#include "world/text/ui_options.h"
#include "world/unit_class_flags.h"
#include "world/world.h"

MapPaneLinks g_mapPaneLinks;
int32_t g_mapHoverTerrain = 0;

namespace {

constexpr int32_t kBandThreshold = 4;     // map pixels a left drag moves before it is a band
constexpr int32_t kWheelNotch = 120;
constexpr int32_t kZoomStep = 1000;       // a tenth of the zoom slider a notch, all of it with Shift
constexpr int32_t kCursorTarget = 4;      // the device cursor sheet's target cell
constexpr uint32_t kXButton1 = 1;

constexpr bool IsMessage(int32_t message, uint32_t wm) { return message == static_cast<int32_t>(wm); }

struct Keys {
  bool shift = false, ctrl = false;
};
// The modifiers as they were when the mouse message was made: read from
// the keyboard when it is handled, a quick Ctrl+click could arrive
// without its Ctrl.
Keys HeldKeys(intptr_t keyState) {
  return {(keyState & plat::kMkShift) != 0, (keyState & plat::kMkControl) != 0};
}

MapView& View() { return g_ui.mapView ? *g_ui.mapView : g_mapView; }

Hex MapPoint(const MapView& view, int32_t x, int32_t y) { return ScreenToMapPixel(view, x, y); }

uint32_t HexAt(const MapView& view, int32_t x, int32_t y) {
  const Hex p = MapPoint(view, x, y);
  const Hex hex = MapPixelToHex(view, p.x, p.y);
  return PackHex(hex.x, hex.y);
}

void SetClickedHex(uint32_t packed) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  SetObjectHex(w, PackedHexColumn(packed), PackedHexRow(packed), w.gameState.currentHex);
}

uint32_t ClickedHex() {
  plat::CriticalSectionLock lock(g_simulationLock);
  return PackHex(g_world.gameState.currentHex.x, g_world.gameState.currentHex.y);
}

void SetDockClickThrough(bool on) {
  if (Control* dock = g_ui.bottomBar) dock->flags = on ? dock->flags | kCtlClickThrough : dock->flags & ~kCtlClickThrough;
}

void HoldBegins(MapView& view) {
  const plat::Rect viewport{view.viewLeft, view.viewTop, view.viewRight, view.viewBottom};
  plat::ClipCursorToRect(g_platform.mainWindow, &viewport);
  view.buttonHeld = 1;
  SetDockClickThrough(true);
}

void HoldEnds(MapView& view) {
  plat::ClipCursorToRect(g_platform.mainWindow, nullptr);
  view.buttonHeld = 0;
  SetDockClickThrough(false);
}

void DragPanBegins(MapView& view, int32_t x, int32_t y, bool hideCursor) {
  view.dragPan = 1;
  view.dragMoved = 0;
  if (hideCursor) HideCursor(g_platform);
  view.lastDragX = x;
  view.lastDragY = y;
}

void DragPanEnds(MapView& view) {
  if (!view.dragPan) return;
  view.dragPan = 0;
  ShowCurrentCursor(g_platform);
}

bool InGame() { return g_ui.mode == kUiInGame; }
bool InEditor() { return g_ui.mode == kUiMapEditor; }

const HexCell* CellAt(uint32_t packed) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  return HexCellAt(w, MapShape(w), packed);
}

// The map screen in the dock's first bar, with its panel open.
bool MapScreenKeptOpen(ScreenSet& s) {
  const Control* form = s.mapScreen.currentForm;
  return g_uiOptions.bmapkeepopen && form && form->parent == g_ui.bottomBoxes[1] && s.cmdBar.dockedPanelMarker;
}

void ShowMapScreen(ScreenSet& s) { s.mapScreen.Show(kKeepScreenId, nullptr); }

// The side column shows the combat odds: the selection's orders are shown
// and the filter panel does not take the column.
bool CombatOddsShown(const ScreenSet& s) {
  return g_uiOptions.sidescreens && s.selectionOrdersShown && !s.minimapBar.filterShown;
}

// Where a left click in the game lands when nothing waits for a hex.
void LeftClickPanels(MapView& view, ScreenSet& s) {
  if (g_uiOptions.bclicklmaptab) {
    s.cmdBar.dockedPanelMarker = 0;
    s.cmdBar.id = 1;
    ApplySideScreensLayout(view);
    RefreshSelection(s);
    CloseMapPopups(s);
    ShowMapScreen(s);
  } else if (MapScreenKeptOpen(s)) {
    ShowMapScreen(s);
  } else {
    PopPopupsTo(g_ui, 0);
  }
}

void GameLeftDown(MapView& view, ScreenSet& s, const Keys& keys) {
  if (g_mapPlacement.active) {
    PlaceAtClickedHex(s);
    HoldEnds(view);
  } else if (s.mapClickMode != kClickNone) {
    const int32_t mode = s.mapClickMode;
    ExecuteHexClick(s, ClickedHex());
    if (mode != kClickAreaPaint) HoldEnds(view);
  } else if (s.selectionOrdersShown) {
    int32_t* orderMenuShown = g_mapPaneLinks.orderMenuShown;
    if (orderMenuShown && *orderMenuShown) {
      CloseMapPopups(s);
    } else if (keys.ctrl && s.SelectionList().first) {
      if (orderMenuShown) *orderMenuShown = 1;
      if (g_mapPaneLinks.showUnitOrdersPanel) g_mapPaneLinks.showUnitOrdersPanel(s);
    } else if (keys.ctrl) {
      CloseMapPopups(s);
    } else if (g_uiOptions.bunitorderdef && g_mapPaneLinks.executeOrderChoice) {
      g_mapPaneLinks.executeOrderChoice(s, kDefaultOrderChoice);
    } else if (CombatOddsShown(s) && s.SelectionList().first) {
      // The first click holds the odds on the clicked hex, the next lets
      // the selection go.
      if (s.mapTargetLocked)
        CloseMapPopups(s);
      else
        s.mapTargetLocked = 1;
    }
    HoldEnds(view);
  } else {
    LeftClickPanels(view, s);
  }
}

// The lead object of a hex, when it counts: not hidden, with a class, and
// not another owner's concealed unit.
const UnitRecord* LeadObject(const HexCell* cell) {
  if (!cell || !cell->stack || !cell->stack->lead) return nullptr;
  const UnitRecord* lead = cell->stack->lead;
  if ((lead->unitFlags & kUnitGone) || lead->classIndex == 0) return nullptr;
  return lead;
}

void GameDoubleClick(ScreenSet& s) {
  plat::CriticalSectionLock lock(g_simulationLock);
  CloseAllPopups(g_ui, 0);
  const HexCell* cell = CellAt(ClickedHex());
  const UnitRecord* lead = LeadObject(cell);
  const bool own = lead && CellOwner(cell->word) == g_world.gameState.localPlayer;
  const std::vector<intptr_t> units = cell ? FillHexUnitList(g_world.gameState.currentHex.cellIndex)
                                           : std::vector<intptr_t>{};
  if (!units.empty() && (!own || g_uiOptions.showUnitsLayer)) {
    ScreenParameterList list;
    list.entries = units;
    s.unitDetail.Popup(units.front(), &list);
  } else if (own) {
    OpenObjectPopup(s, cell, 0);
  }
}

// In the editor a double click shows the hex's units (with the all-units
// switch on), else an industry's pop-up; any other object opens nothing.
void EditorDoubleClick(ScreenSet& s) {
  plat::CriticalSectionLock lock(g_simulationLock);
  const HexCell* cell = CellAt(ClickedHex());
  if (!cell || !cell->stack) return;
  const std::vector<intptr_t> units = FillHexUnitList(g_world.gameState.currentHex.cellIndex);
  if (!units.empty() && g_uiOptions.showUnitsLayer) {
    ScreenParameterList list;
    list.entries = units;
    s.unitDetail.Popup(units.front(), &list);
    return;
  }
  const UnitRecord* lead = LeadObject(cell);
  const UnitClassRecord* cls = lead ? ClassRecordAt(g_world, lead->classIndex) : nullptr;
  if (cls && (cls->flags & kClassProduction)) OpenObjectPopup(s, cell, 0);
}

void LeftDown(MapView& view, int32_t message, intptr_t keyState, int32_t x, int32_t y) {
  ScreenSet& s = g_screens;
  const bool dbl = IsMessage(message, plat::kWmLButtonDblClk);
  if (dbl && InGame() && s.selectionOrdersShown) CloseMapPopups(s);
  EndTextEdit();
  SetClickedHex(HexAt(view, x, y));
  if (!dbl) {
    HoldBegins(view);
    const Hex p = MapPoint(view, x, y);
    view.pressX = p.x;
    view.pressY = p.y;
  }
  if (InEditor()) {
    if (!dbl && EditorBrushAtHex(0)) view.redrawPending = 1;
    OpenEditorModePanel(g_editorMap.mode);
  } else if (InGame()) {
    GameLeftDown(view, s, HeldKeys(keyState));
  }
  RedrawGameRoot(s);
  if (dbl && InGame()) GameDoubleClick(s);
  if (dbl && InEditor()) EditorDoubleClick(s);
}

void LeftUp(MapView& view, int32_t x, int32_t y) {
  ScreenSet& s = g_screens;
  if (InGame() && view.buttonHeld) {
    if (s.mapClickMode == kClickAreaPaint && view.rubberBand) {
      uint32_t first = 0, last = 0;
      if (g_mapPaneLinks.bandToHexes) g_mapPaneLinks.bandToHexes(first, last);
      PaintAreaBand(s, first, last);
    } else if (s.mapClickMode == kClickNone && !s.selectionOrdersShown && !g_mapPlacement.active) {
      const HexCell* cell = CellAt(ClickedHex());
      if (((cell && cell->stack) || view.rubberBand) && g_mapPaneLinks.selectUnitsAtClick)
        g_mapPaneLinks.selectUnitsAtClick(s, x + 4, y - 4, -1);
    }
  }
  view.rubberBand = 0;
  HoldEnds(view);
  if (InEditor()) {
    // What the brush painted shows on the minimap as well.
    DropMinimapPicture();
    if (Control* minimap = view.minimapPane.currentForm) {
      AttachMinimapPicture(minimap);  // marks the picture for its next draw
      minimap->Invalidate();
    }
    view.minimapRedrawPending = 1;
  }
}

void RightDown(MapView& view, intptr_t keyState, int32_t x, int32_t y) {
  ScreenSet& s = g_screens;
  HoldBegins(view);
  EndTextEdit();
  SetClickedHex(HexAt(view, x, y));
  if (InEditor()) {
    const HexCell* cell = CellAt(ClickedHex());
    if (g_editorMap.brushKind == kBrushTerrain && cell) {
      SetMapEditMode(kBrushTerrain, CellTerrain(cell->word));
    } else if (g_editorMap.brushKind == kBrushObject) {
      const UnitRecord* lead = LeadObject(cell);
      SetMapEditMode(kBrushObject, lead ? lead->classIndex : 0);
    }
    OpenEditorModePanel(g_editorMap.mode);
  } else if (InGame() && !g_mapPlacement.active && s.mapClickMode == kClickNone) {
    const bool mapTab = (g_uiOptions.bclickrmaptab != 0) != HeldKeys(keyState).ctrl;
    if (mapTab) {
      ShowMainPanel(1, 1, s);
    } else if (MapScreenKeptOpen(s)) {
      s.mapScreen.Show(kKeepScreenId, nullptr);
    } else {
      PopPopupsTo(g_ui, 0);
    }
  }
  RedrawGameRoot(s);
  if (keyState & plat::kMkRButton) DragPanBegins(view, x, y, true);
}

void MiddleUp(MapView& view) {
  HoldEnds(view);
  DragPanEnds(view);
}

void RightUp(MapView& view, intptr_t keyState, int32_t x, int32_t y) {
  ScreenSet& s = g_screens;
  if (InGame() && view.buttonHeld) {
    const Keys keys = HeldKeys(keyState);
    if (s.selectionOrdersShown) {
      if (g_mapPaneLinks.openOrderMenu) g_mapPaneLinks.openOrderMenu(s, x, y);
    } else if (g_mapPlacement.active) {
      CancelMapPlacement(s);
    } else if (s.mapClickMode != kClickNone) {
      ClearMapSelection(s);
    } else {
      const bool menu = !keys.ctrl && ((g_uiOptions.bclickrmenu != 0) != keys.shift);
      const bool moved = view.dragPan && view.dragMoved;
      if (menu && !moved && g_mapPaneLinks.openHexMenu) g_mapPaneLinks.openHexMenu(s, x, y);
    }
  }
  MiddleUp(view);
}

void MoveZoomSlider(int32_t amount) {
  if (g_mapPaneLinks.moveZoomSlider) {
    g_mapPaneLinks.moveZoomSlider(amount);
    return;
  }
  Control* form = g_screens.minimapBar.currentForm;
  Control* c = form ? FormFindControlByTag(form, "MAPZOOMSLDR") : nullptr;
  if (!c || c->kind != kKindSlideBar) return;
  auto* bar = static_cast<SlideBarControl*>(c);
  bar->SetSelected(static_cast<int32_t>(bar->position) - amount);
}

void Wheel(MapView& view, intptr_t keyState) {
  const int32_t delta = static_cast<int16_t>(static_cast<uint32_t>(keyState) >> 16);
  const int32_t notch = delta / kWheelNotch;
  if (notch == 0 || g_mapWheelLock) return;
  const Keys keys = HeldKeys(keyState);
  if (!keys.ctrl) {
    int32_t amount = notch * (keys.shift ? 10 * kZoomStep : kZoomStep);
    if (g_uiOptions.brevwheelzoom) amount = -amount;
    MoveZoomSlider(amount);
    return;
  }
  const float move = static_cast<float>(notch) * g_uiOptions.mapscrollspeed * view.zoom * -32.0f;
  const int32_t amount = static_cast<int32_t>(move);
  const int32_t oldX = view.panX, oldY = view.panY;
  (keys.shift ? view.panX : view.panY) += amount;
  ClampMapPan(view);
  if (g_mapPaneLinks.mapPanned) g_mapPaneLinks.mapPanned(view, oldX, oldY);
}

void DragPan(MapView& view, intptr_t keyState, int32_t x, int32_t y) {
  if (x == view.lastDragX && y == view.lastDragY) return;
  if (view.zoom > 1.0f) {
    view.panX -= static_cast<int32_t>(static_cast<float>(x - view.lastDragX) * view.zoom);
    view.panY -= static_cast<int32_t>(static_cast<float>(y - view.lastDragY) * view.zoom);
  } else {
    view.panX += view.lastDragX - x;
    view.panY += view.lastDragY - y;
  }
  ClampMapPan(view);
  if (keyState & plat::kMkRButton) {
    view.lastDragX = x;
    view.lastDragY = y;
  } else {
    // A middle-button drag pins the pointer so it can go on without end.
    plat::SetCursorPosition(g_platform.mainWindow, view.lastDragX, view.lastDragY);
  }
  view.dragMoved = 1;
}

void MouseMove(MapView& view, intptr_t keyState, int32_t x, int32_t y) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (view.dragPan) {
    DragPan(view, keyState, x, y);
    return;
  }
  World& w = g_world;
  const uint32_t hex = HexAt(view, x, y);
  const bool changed = hex != PackHex(w.gameState.viewHex.x, w.gameState.viewHex.y);
  if (changed) ForwardPackedHex(hex);
  // The build panel's figures are for the hex under the pointer.
  if (changed && g_mapPlacement.active) g_screens.mapScreen.facilityUpgrade.Refresh();
  // Unless locked, the odds are against the hex under the pointer.
  if (changed && CombatOddsShown(g_screens) && !g_screens.mapTargetLocked) g_screens.combatOdds.Refresh();
  const HexCell* cell = CellAt(hex);
  g_mapHoverTerrain = cell ? CellTerrain(cell->word) : 0;
  const bool leftHeld = (keyState & plat::kMkLButton) && view.buttonHeld;
  if (InGame() && leftHeld) {
    const Hex p = MapPoint(view, x, y);
    if (!view.rubberBand && !view.pickHex &&
        (std::abs(p.x - view.pressX) > kBandThreshold || std::abs(p.y - view.pressY) > kBandThreshold))
      view.rubberBand = 1;
    if (view.rubberBand) {
      view.bandDx = p.x - view.pressX;
      view.bandDy = p.y - view.pressY;
    }
  } else if (InEditor() && leftHeld) {
    SetClickedHex(hex);
    if (EditorBrushAtHex(1)) view.redrawPending = 1;
    OpenEditorModePanel(g_editorMap.mode);
    RedrawGameRoot(g_screens);
    return;
  }
  if (changed) RedrawGameRoot(g_screens);
}

void XButtonDown(MapView& view, intptr_t keyState, int32_t x, int32_t y) {
  EndTextEdit();
  const uint32_t button = static_cast<uint32_t>(keyState) >> 16;
  if (button != kXButton1 || !InGame() || g_screens.selectionOrdersShown) return;
  SetClickedHex(HexAt(view, x, y));
  ShowMainPanel(1, 1, g_screens);
  RedrawGameRoot(g_screens);
}

}  // namespace

int32_t MapPane::OnControlMessage(uint32_t, uint32_t, int32_t, int32_t message, intptr_t keyState, intptr_t px,
                                  intptr_t py, Control*, int32_t) {
  if (g_ui.mode == kUiFrontEnd) return 0;
  MapView& view = View();
  const auto x = static_cast<int32_t>(px), y = static_cast<int32_t>(py);
  switch (static_cast<uint32_t>(message)) {
    case plat::kWmMouseMove: MouseMove(view, keyState, x, y); break;
    case plat::kWmLButtonDown:
    case plat::kWmLButtonDblClk: LeftDown(view, message, keyState, x, y); break;
    case plat::kWmLButtonUp: LeftUp(view, x, y); break;
    case plat::kWmRButtonDown:
    case plat::kWmRButtonDblClk: RightDown(view, keyState, x, y); break;
    case plat::kWmRButtonUp: RightUp(view, keyState, x, y); break;
    case plat::kWmMButtonUp: MiddleUp(view); break;
    case plat::kWmMButtonDown:
    case plat::kWmMButtonDblClk:
      HoldBegins(view);
      EndTextEdit();
      DragPanBegins(view, x, y, true);
      break;
    case plat::kWmMouseWheel: Wheel(view, keyState); break;
    case plat::kWmXButtonDown:
    case plat::kWmXButtonDblClk: XButtonDown(view, keyState, x, y); break;
    default: break;
  }
  return 0;
}

void MapPane::OnMouseEnter(Control*, int32_t) {
  if (g_ui.mode == kUiFrontEnd) return;
  if (g_platform.deviceCursor) {
    UpdateHardwareCursor(g_renderer, kCursorTarget);
    plat::SetAppCursor(nullptr);
    ShowCurrentCursor(g_platform);
    if (g_renderer.cursorWake) g_renderer.cursorWake->Set();
  } else {
    g_platform.currentCursor = g_platform.cursorTarget;
    plat::SetAppCursor(g_platform.currentCursor);
  }
}

void MapPane::OnMouseLeave(Control*, int32_t) {
  plat::CriticalSectionLock lock(g_simulationLock);
  if (g_ui.mode == kUiFrontEnd) return;
  MapView& view = View();
  HoldEnds(view);
  view.rubberBand = 0;
  view.dragPan = 0;
  if (InEditor()) view.minimapRedrawPending = 1;
  World& w = g_world;
  SetViewObjectHex(w, 0, 0, w.gameState.viewHex);
  RedrawGameRoot(g_screens);
  RestoreCursor(g_platform);
}

void MapPane::OnSetFocus(Control* control, int32_t) {
  if (!control || g_controls.capture == control || (control->flags & kCtlNoFocus)) return;
  ReleaseCaptureControl(control, 0, 0, 0, 0);
  control->HandleInput(kControlEnter, 0, 0, 0);
  g_controls.capture = control;
}

void MapPane::OnKillFocus(Control* control, int32_t) {
  if (!control || g_controls.capture != control) return;
  control->state &= ~kStateFocused;
  control->Invalidate();
  control->HandleInput(kControlLeave, 0, 0, 0);
  g_controls.capture = nullptr;
}

namespace {

// The minimap's drag box hands a message on to the map control as it came.
void WheelToMap(int32_t message, intptr_t keyState, intptr_t x, intptr_t y) {
  if (g_ui.mapArea) g_ui.mapArea->HandleInput(message, keyState, x, y);
}

}  // namespace

int32_t MinimapPane::OnControlMessage(uint32_t, uint32_t, int32_t, int32_t message, intptr_t keyState, intptr_t px,
                                      intptr_t py, Control*, int32_t) {
  MapView& view = View();
  if (IsMessage(message, plat::kWmLButtonDown) || IsMessage(message, plat::kWmLButtonDblClk)) {
    if (view.minimapPixelsPerHexX <= 0.0f || view.minimapPixelsPerHexY <= 0.0f) return 0;
    const float halfW = static_cast<float>(view.viewRight - view.viewLeft) / 2.0f;
    const float halfH = static_cast<float>(view.viewBottom - view.viewTop) / 2.0f;
    view.panX = static_cast<int32_t>(static_cast<float>(px - view.minimapLeft) * 18.0f / view.minimapPixelsPerHexX -
                                     halfW * view.zoom);
    view.panY = static_cast<int32_t>(static_cast<float>(py - view.minimapTop) * 22.0f / view.minimapPixelsPerHexY -
                                     halfH * view.zoom);
    ClampMapPan(view);
    if (Control* box = view.dragPanPane.currentForm)
      box->HandleMouse(static_cast<int32_t>(plat::kWmLButtonDown), keyState, px, py);
  } else if (IsMessage(message, plat::kWmMouseWheel)) {
    WheelToMap(message, keyState, px, py);
  }
  return 0;
}

int32_t DragPanPane::OnControlMessage(uint32_t, uint32_t, int32_t, int32_t message, intptr_t keyState, intptr_t px,
                                      intptr_t py, Control*, int32_t) {
  MapView& view = View();
  const auto x = static_cast<int32_t>(px), y = static_cast<int32_t>(py);
  switch (static_cast<uint32_t>(message)) {
    case plat::kWmLButtonDown:
    case plat::kWmLButtonDblClk:
    case plat::kWmRButtonDown:
    case plat::kWmRButtonDblClk:
    case plat::kWmMButtonDown:
    case plat::kWmMButtonDblClk: {
      DragPanBegins(view, x, y, false);
      const plat::Rect minimap{view.minimapLeft, view.minimapTop, view.minimapRight, view.minimapBottom};
      plat::ClipCursorToRect(g_platform.mainWindow, &minimap);
      break;
    }
    case plat::kWmLButtonUp:
    case plat::kWmRButtonUp:
    case plat::kWmMButtonUp:
      plat::ClipCursorToRect(g_platform.mainWindow, nullptr);
      view.dragPan = 0;
      break;
    case plat::kWmMouseMove:
      if (!view.dragPan || (x == view.lastDragX && y == view.lastDragY)) break;
      if (view.minimapPixelsPerHexX <= 0.0f || view.minimapPixelsPerHexY <= 0.0f) break;
      view.panX += static_cast<int32_t>(static_cast<float>((x - view.lastDragX) * 18) / view.minimapPixelsPerHexX);
      view.panY += static_cast<int32_t>(static_cast<float>((y - view.lastDragY) * 22) / view.minimapPixelsPerHexY);
      ClampMapPan(view);
      view.lastDragX = x;
      view.lastDragY = y;
      view.dragMoved = 1;
      break;
    case plat::kWmMouseWheel: WheelToMap(message, keyState, px, py); break;
    default: break;
  }
  return 0;
}

void DragPanPane::OnMouseLeave(Control*, int32_t) { View().dragPan = 0; }

namespace {

// An open hex list pop-up stays over its map point while the map pans,
// pushed back inside the viewport where it would stick out.
void KeepHexListOverMap(const MapView& view, int32_t oldPanX, int32_t oldPanY) {
  HexListMemory& memory = g_hexListMemory;
  Control* form = memory.form;
  if (!form) return;
  memory.x = memory.x + oldPanX - view.panX;
  memory.y = memory.y + oldPanY - view.panY;
  const int32_t w = form->rect.right - form->rect.left, h = form->rect.bottom - form->rect.top;
  int32_t left = memory.x, top = memory.y;
  if (left < view.viewLeft) left = view.viewLeft;
  else if (left + w > view.viewRight) left = view.viewRight - w;
  if (top < view.viewTop) top = view.viewTop;
  else if (top + h > view.viewBottom) top = view.viewBottom - h;
  RectMoveTo(&form->rect, left, top);
  form->Invalidate();
}

void ApplyAtPackedHex(ScreenSet& screens, uint32_t hex) {
  plat::CriticalSectionLock lock(g_simulationLock);
  World& w = g_world;
  ApplyToUnitsAtHex(screens, HexCellAt(w, MapShape(w), hex));
}

// The order choice's target picker, where the last hex list opened.
void TargetPickerAtLastList(int32_t orderId) {
  OpenTargetPicker(orderId, g_hexListLastOpened.x, g_hexListLastOpened.y);
}

// The tutorial's hex menu, for the selected hex.
void TutorialHexMenu(int32_t x, int32_t y) { ShowHexListPopupFor(g_screens.hexMenu, 0, x, y); }
// The tutorial's order menu, only while the player has one open: a menu
// Escape closed leaves its memory behind.
void TutorialOrderMenu(int32_t x, int32_t y) {
  if (g_hexListMemory.form && g_hexListMemory.form->parent) ShowHexListPopupAt(g_screens.hexListA, x, y);
}

}  // namespace

void InstallMapPaneLinks() {
  g_mapPaneLinks.selectUnitsAtClick = SelectUnitsAtClick;
  g_mapPaneLinks.openOrderMenu = OpenHexListA;
  g_mapPaneLinks.openHexMenu = OpenHexProductList;
  g_mapPaneLinks.executeOrderChoice = ExecuteOrderChoice;
  g_mapPaneLinks.bandToHexes = BandToHexes;
  g_mapPaneLinks.showUnitOrdersPanel = ShowUnitOrdersPanel;
  g_mapPaneLinks.orderMenuShown = &g_selection.orderMenu;
  g_mapPaneLinks.mapPanned = KeepHexListOverMap;
  g_hexMenuLinks.applyToUnitsAtHex = ApplyAtPackedHex;
  g_tutorialMapLinks.openHexMenu = TutorialHexMenu;
  g_tutorialMapLinks.selectUnitsAtClick = SelectUnitsAtClick;
  g_tutorialMapLinks.openOrderMenu = TutorialOrderMenu;
  g_openTargetPicker = TargetPickerAtLastList;
}
