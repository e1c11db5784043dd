#include "screens/frontend/tutorial_window.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/app_object.h"
#include "app/log.h"
#include "platform/messages.h"
#include "screens/docked_panels.h"
#include "screens/frontend/tutorial_marker.h"
#include "screens/keys/key_actions.h"
#include "screens/common/frame/map_geometry.h"
#include "screens/common/frame/map_view_state.h"
#include "screens/common/frame/map_selection.h"
#include "screens/common/frame/main_layout.h"
#include "screens/common/frame/map_popups.h"
#include "screens/common/frame/tutorial_map_links.h"
#include "screens/screen_set.h"
#include "sim/game_start.h"
#include "sim/game_stop.h"
#include "sim/save_file.h"
#include "sim/simulation_lock.h"
#include "ui/bitmap_control.h"
#include "ui/box_control.h"
#include "ui/control.h"
#include "ui/control_bits.h"
#include "ui/control_tree.h"
#include "ui/list_control.h"
#include "ui/panel_helpers.h"
#include "ui/panel_vocabulary.h"
#include "ui/popups.h"
#include "ui/screen_manager.h"
#include "ui/string_control.h"
#include "ui/text_box.h"
#include "world/game_speed.h"
#include "world/object_hex.h"
#include "world/text/tutorial_table.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

constexpr const char* kTutorialTags[] = {"TITLE", "TEXTBOX", "PREV", "NEXT", "TCLOSE"};
// The page's texts: the controls to press, the controls to mark, the words.
constexpr int kFirstMarkerText = kTutorialClickTags;
constexpr int kPageText = kFirstMarkerText + kTutorialMarkers;
// A page no smaller than its text box's top, its buttons and one line.
constexpr int32_t kMinimumTextRoom = 64;
constexpr int32_t kMarkerMargin = 10;
// Room kept between a page's window and the hex the page speaks of.
constexpr int32_t kHexClearance = 40;
// The grid the window is moved on to stand clear of what a page shows.
constexpr int32_t kPlacementStep = 8;
constexpr int32_t kTextFontSlot = 2;
constexpr uint32_t kTextCapacity = 8192;
// The red frame of a marker: a cell of the unit graphics sheet, tinted.
constexpr plat::Rect kMarkerCell{576, 640, 640, 704};
constexpr uint32_t kMarkerColour = 0xE6FF0000u;
// Drawn on every frame: the controls they frame redraw on their own, and a
// marker drawn only once would go under them.
constexpr uint32_t kMarkerFlags = kCtlFlushBefore | kCtlTintFrame | kCtlAlwaysRedraw;
// The selection's click lands inside the hex, clear of its edge.
constexpr int32_t kSelectNudge = 4;

TutorialStep* NextOf(const TutorialStep* step) { return static_cast<TutorialStep*>(step->next()); }
TutorialStep* PreviousOf(const TutorialStep* step) { return static_cast<TutorialStep*>(step->prev()); }

bool TagSet(const OwnedText& text) { return text.get() && text.get()[0] != '\0'; }

// Pressed controls are looked for in the docked levels, then over the whole
// screen (the pop-ups); marked ones in the command bar first as well.
Control* FindPageControl(const char* tag, bool withCommandBar) {
  ScreenManager& ui = g_ui;
  if (withCommandBar)
    if (Control* c = Tag(ui.bottomBoxes[0], tag)) return c;
  for (int level = 1; level < kBottomBoxes; ++level)
    if (Control* c = Tag(ui.bottomBoxes[level], tag)) return c;
  return Tag(ui.rootForm, tag);
}

bool SelectedHexHasUnits() {
  plat::CriticalSectionLock lock(g_simulationLock);
  const World& w = g_world;
  const HexPosition& hex = w.gameState.currentHex;
  if ((hex.x == 0 && hex.y == 0) || hex.cellIndex >= w.cells.size()) return false;
  return !FillHexUnitList(hex.cellIndex).empty();
}

void CloseMail() {
  if (g_ui.sidePopupOpen) ClosePopup(g_ui, g_screens.mailWindow);
}

// The command bar's button of the panel lights, and no other, as the
// player's press of it would leave them.
void LightPanelButton(int32_t panel) {
  Control* button = FormFindControlById(g_screens.cmdBar.currentForm, panel);
  if (!button) return;
  ControlClearSelection(button, 0);
  SetControlFlag(button, kStateSelected, 1);
}

// The area two rectangles share; 0 when they do not meet.
int64_t SharedArea(const plat::Rect& a, const plat::Rect& b) {
  const int64_t w = std::min(a.right, b.right) - std::max(a.left, b.left);
  const int64_t h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return w > 0 && h > 0 ? w * h : 0;
}

// What the open pop-ups show, on the screen, and where their texts stand.
std::vector<plat::Rect> OpenPopupForms(const Control* backdrop, std::vector<plat::Rect>& texts) {
  std::vector<plat::Rect> out;
  Control* root = g_ui.rootForm;
  Control* first = root ? root->firstChild : nullptr;
  for (Control* c = first; c; c = c->NextInRing() == first ? nullptr : c->NextInRing()) {
    if (c == backdrop || !IsPopupFrame(c) || c->Hidden() || !c->firstChild || c->firstChild->Hidden()) continue;
    out.push_back(ControlAbsoluteRect(c->firstChild));
    ControlTreeForEach(c->firstChild, kAnyDepth, 0, [&](Control* t) {
      if (!IsStringKind(t) || t->text.empty()) return;
      for (const Control* up = t; up && up != c; up = up->parent)
        if (up->Hidden()) return;
      texts.push_back(ControlAbsoluteRect(t));
    });
  }
  return out;
}

void RunAction(int32_t action, TutorialPoint at) {
  ScreenManager& ui = g_ui;
  switch (action) {
    case kTutorialBackOneLevel:
      BackspaceKey(ui);
      return;
    case kTutorialCloseAll:
      PopPopupsTo(ui, 0);
      CloseMail();
      return;
    case kTutorialHexMenu:
      if (SelectedHexHasUnits() && g_tutorialMapLinks.openHexMenu) g_tutorialMapLinks.openHexMenu(at.x, at.y);
      return;
    case kTutorialSelect:
    case kTutorialSelectAdd:
      if (g_tutorialMapLinks.selectUnitsAtClick)
        g_tutorialMapLinks.selectUnitsAtClick(g_screens, at.x + kSelectNudge, at.y - kSelectNudge,
                                              action == kTutorialSelectAdd ? 1 : 0);
      return;
    case kTutorialOrderMenu:
      if (g_tutorialMapLinks.openOrderMenu && SelectedHexHasUnits()) g_tutorialMapLinks.openOrderMenu(at.x, at.y);
      return;
    case kTutorialEscape:
      CloseAllPopups(ui, 0);
      UndoMapState(g_screens);
      return;
    case kTutorialUnitPopup:
      if (SelectedHexHasUnits()) UnitPopupKey(ui);
      return;
    default:
      if (action >= kTutorialFirstPanel && action <= kTutorialLastPanel) {
        ShowMainPanel(action, 0, g_screens);
        LightPanelButton(action);
      }
      return;
  }
}

// A list activates its selected row (the first when none is); any other
// control is pressed, and unless it stays down by itself, let go at once.
void PressControl(Control* control) {
  if (auto* list = dynamic_cast<ListBoxControl*>(control)) {
    Control* row = ListNextSelected(list, nullptr);
    if (!row) {
      row = ListNextRow(list, nullptr);
      if (!row) return;
      ListSelectItem(0, list, row, 0);
    }
    if (list->owner) list->owner->OnCommand(list, row->id);
    return;
  }
  ControlSetStyleArgs(control, kStateSelected, 1, static_cast<int32_t>(plat::kWmLButtonDown), 0, 0, 0);
  const bool staysDown = (control->flags & kCtlButton) && !(control->flags & kCtlMomentary);
  if (!staysDown) SetControlFlag(control, kStateSelected, 0);
}

}  // namespace

TutorialWindow::TutorialWindow() : Screen("TUTORIAL1", {kTutorialTags, {}}) {}

TutorialWindow::~TutorialWindow() {
  // The markers and the backdrop are this window's own; the form is not.
  for (BitmapControl*& marker : markers) {
    delete marker;
    marker = nullptr;
  }
  if (backdrop) {
    if (currentForm && currentForm->parent == backdrop) currentForm->Unlink();
    delete backdrop;
  }
}

bool TutorialWindowOpen(const TutorialWindow& window) {
  return window.currentForm && window.currentForm->parent;
}

void TutorialWindow::BindControls() {
  Control* f = currentForm;
  if (!f) return;
  textBox = MakeTextBox("TEXTBOX", 0, f);
  if (textBox && textBox->prototype) textBox->prototype->fontSlot = kTextFontSlot;
  defaultHeight = Height(f);
  textBottomGap = textBox ? defaultHeight - textBox->rect.bottom : 0;
  const Control* prev = FormFindControlByTag(f, "PREV");
  buttonTopGap = prev ? defaultHeight - prev->rect.top : 0;
  for (BitmapControl*& marker : markers) {
    if (marker) continue;
    marker = new TutorialMarker;
    marker->flags = kMarkerFlags;
    // No backing fill: the frame outlines the control and leaves it seen.
    marker->frameStyle = 1;
    marker->fills[kLookNormal] = kMarkerColour;
    marker->pictureSlot = &g_ui.bitmaps.ugbits;
    for (BitmapImage& image : marker->images) image.source = kMarkerCell;
  }
}

void TutorialWindow::OnOpen() {
  page = g_tutorialSteps;
  if (page) BuildPage(page);
}

void TutorialWindow::OnCommand(Control* control, int32_t) {
  if (Is(control, "NEXT")) {
    NextPage();
  } else if (Is(control, "PREV")) {
    PreviousPage();
  } else if (Is(control, "TCLOSE")) {
    CloseTutorialWindow(*this);
  }
}

void TutorialWindow::PlaceWindow(const TutorialStep* step) {
  Control* f = currentForm;
  if (!f) return;
  const int32_t textTop = textBox ? textBox->rect.top : 0;
  const int32_t askedHeight = step->values[2];
  const int32_t height =
      askedHeight < 0 ? defaultHeight : std::max(askedHeight, textTop + textBottomGap + kMinimumTextRoom);
  const int32_t left = step->values[0] >= 0 ? step->values[0] : (ClientWidth() - Width(f)) / 2;
  const int32_t top = step->values[1] >= 0 ? step->values[1] : (ClientHeight() - height) / 2 - 16;
  RectMoveTo(&f->rect, left, top);
  f->rect.bottom = top + height;
  if (textBox) textBox->rect.bottom = height - textBottomGap;
  // The buttons keep to the bottom edge.
  for (const char* tag : {"PREV", "NEXT", "TCLOSE"})
    if (Control* button = FormFindControlByTag(f, tag))
      RectMoveTo(&button->rect, button->rect.left, height - buttonTopGap);
  f->state |= kStateDirty;
}

void TutorialWindow::ActOnGameScreen(TutorialStep* step) {
  MapView& view = g_mapView;
  const int32_t column = step->extra[0], row = step->extra[1];
  if (column > 0 && column < view.columns && row > 0 && row < view.rows) {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      SetObjectHex(g_world, column, row, g_world.gameState.currentHex);
    }
    CentreMapOnHex(view, PackHex(column, row));
  }
  RunAction(step->number, TutorialHexPoint(view, column, row));
  for (int i = 0; i < kTutorialClickTags; ++i) {
    if (!TagSet(step->texts[i])) continue;
    if (Control* control = FindPageControl(step->texts[i].get(), false)) PressControl(control);
  }
}

void TutorialWindow::KeepHexInSight(const TutorialStep* step) {
  Control* f = currentForm;
  const int32_t column = step->extra[0], row = step->extra[1];
  if (!f || !f->parent || column <= 0 || column >= g_mapView.columns || row <= 0 || row >= g_mapView.rows) return;
  // The hex the page speaks of stands at the middle of the view, where a
  // centred window would hide it: the window stands aside, left of it when
  // there is room, else right of it.
  const TutorialPoint at = TutorialHexPoint(g_mapView, column, row);
  const plat::Rect origin = ControlAbsoluteRect(f->parent);
  const plat::Rect r = ControlAbsoluteRect(f);
  if (at.x < r.left - kHexClearance || at.x >= r.right + kHexClearance || at.y < r.top - kHexClearance ||
      at.y >= r.bottom + kHexClearance)
    return;
  const int32_t width = Width(f);
  const int32_t left = at.x - kHexClearance - width >= 0 ? at.x - kHexClearance - width : at.x + kHexClearance;
  RectMoveTo(&f->rect, left - origin.left, f->rect.top);
  f->state |= kStateDirty;
}

void TutorialWindow::PlaceMarkers(const TutorialStep* step) {
  for (BitmapControl* marker : markers)
    if (marker && marker->parent) marker->Unlink();
  Control* holder = currentForm ? currentForm->parent : nullptr;
  if (!holder) return;
  const plat::Rect origin = ControlAbsoluteRect(holder);
  const Control* marked[kTutorialMarkers] = {};
  std::vector<plat::Rect> places;
  for (int i = 0; i < kTutorialMarkers; ++i) {
    const OwnedText& tag = step->texts[kFirstMarkerText + i];
    if (!markers[i] || !TagSet(tag)) continue;
    marked[i] = FindPageControl(tag.get(), true);
    if (marked[i]) places.push_back(ControlAbsoluteRect(marked[i]));
  }
  // A control at the screen's edge keeps its marker on the screen, in a
  // narrower band on that side.
  const plat::Rect screen{0, 0, ClientWidth(), ClientHeight()};
  for (int i = 0; i < kTutorialMarkers; ++i) {
    if (!marked[i]) continue;
    const plat::Rect own = ControlAbsoluteRect(marked[i]);
    std::vector<plat::Rect> others;
    for (const plat::Rect& r : places)
      if (r.left != own.left || r.top != own.top || r.right != own.right || r.bottom != own.bottom) others.push_back(r);
    auto* frame = static_cast<TutorialMarker*>(markers[i]);
    frame->Surround(own, others, screen, kMarkerMargin);
    RectMoveTo(&frame->rect, frame->rect.left - origin.left, frame->rect.top - origin.top);
    ControlAddChild(holder, frame);
  }
}

void TutorialWindow::StandClear(const TutorialStep* step) {
  Control* f = currentForm;
  Control* holder = f ? f->parent : nullptr;
  if (!holder) return;
  // What the page frames and the hex it speaks of must stay in sight; what
  // its action opened should, as far as the screen leaves room for both.
  std::vector<plat::Rect> marked;
  for (const BitmapControl* marker : markers)
    if (marker && marker->parent) marked.push_back(ControlAbsoluteRect(marker));
  const int32_t column = step->extra[0], row = step->extra[1];
  if (column > 0 && column < g_mapView.columns && row > 0 && row < g_mapView.rows) {
    const TutorialPoint at = TutorialHexPoint(g_mapView, column, row);
    marked.push_back({at.x - kHexClearance, at.y - kHexClearance, at.x + kHexClearance, at.y + kHexClearance});
  }
  std::vector<plat::Rect> texts;
  const std::vector<plat::Rect> opened = OpenPopupForms(backdrop, texts);
  const plat::Rect origin = ControlAbsoluteRect(holder);
  const plat::Rect now = ControlAbsoluteRect(f);
  const int32_t width = Width(f), height = Height(f);
  // Hiding any of the marked outweighs hiding all of a pop-up's texts, and
  // hiding any of its texts (a unit's name, a header) all of its bare parts.
  const int64_t screenArea = int64_t{ClientWidth()} * ClientHeight() + 1;
  const auto cost = [&](const plat::Rect& r) {
    int64_t hidden = 0, written = 0, covered = 0;
    for (const plat::Rect& m : marked) hidden += SharedArea(r, m);
    for (const plat::Rect& t : texts) written += SharedArea(r, t);
    for (const plat::Rect& p : opened) covered += SharedArea(r, p);
    return (hidden * screenArea + written) * screenArea + covered;
  };
  int64_t best = cost(now);
  if (best == 0) return;
  plat::Rect chosen = now;
  int64_t chosenDistance = 0;
  const int32_t right = std::max(0, ClientWidth() - width), bottom = std::max(0, ClientHeight() - height);
  for (int32_t top = 0; top <= bottom; top += kPlacementStep) {
    for (int32_t left = 0; left <= right; left += kPlacementStep) {
      const plat::Rect r{left, top, left + width, top + height};
      const int64_t c = cost(r);
      const int64_t dx = left - now.left, dy = top - now.top, distance = dx * dx + dy * dy;
      if (c < best || (c == best && distance < chosenDistance)) best = c, chosen = r, chosenDistance = distance;
    }
  }
  RectMoveTo(&f->rect, chosen.left - origin.left, chosen.top - origin.top);
  f->state |= kStateDirty;
}

void TutorialWindow::BuildPage(TutorialStep* step) {
  if (!step || !g_tutorialSteps) return;
  page = step;
  PlaceWindow(step);
  ActOnGameScreen(step);
  for (TutorialStep* next = NextOf(step); page->flag && next && next != g_tutorialSteps; next = NextOf(page)) {
    page = next;
    ActOnGameScreen(page);
  }
  Control* f = currentForm;
  if (!f) return;
  // A page's action may close the last pop-up, which lets the screen go
  // back to drawing only what changed; under the see-through window and its
  // markers everything is drawn again on every frame while it is open.
  if (backdrop && g_ui.rootForm) g_ui.rootForm->flags |= kCtlAlwaysRedraw;
  KeepHexInSight(page);
  PlaceMarkers(page);
  StandClear(page);
  ControlSetText(FormFindControlByTag(f, "TITLE"), page->title.get() ? page->title.get() : "");
  if (textBox) TextBoxSetText(textBox, page->texts[kPageText].get(), kTextCapacity, 1);
  const TutorialStep* following = NextOf(page);
  SetControlFlag(FormFindControlByTag(f, "PREV"), kStateHidden, page == g_tutorialSteps ? 1 : 0);
  SetControlFlag(FormFindControlByTag(f, "NEXT"), kStateHidden,
                 (!following || following == g_tutorialSteps) ? 1 : 0);
  f->state |= kStateDirty;
}

void TutorialWindow::NextPage() {
  if (!page) return;
  TutorialStep* next = NextOf(page);
  if (!next || next == g_tutorialSteps) return;
  // What the page opened to show goes with it: pop-ups left over would
  // pile up under the following pages. Panels and the selection stay for
  // the pages that build on them.
  CloseAllPopups(g_ui, 0);
  if (MapPopupsOpen(g_screens)) CloseMapPopups(g_screens);
  BuildPage(next);
}

void TutorialWindow::PreviousPage() {
  TutorialStep* first = g_tutorialSteps;
  if (!page || page == first) return;
  TutorialStep* target = PreviousOf(page);
  while (target && target != first && target->flag) target = PreviousOf(target);
  if (!target) return;
  ScreenManager& ui = g_ui;
  CloseAllPopups(ui, 0);
  UndoMapState(g_screens);
  PopPopupsTo(ui, 0);
  CloseMail();
  BuildPage(first);
  // Each build may run on through a chain; a chain ends on a page without
  // the flag, so none runs past the target.
  while (page && page != target) {
    TutorialStep* next = NextOf(page);
    if (!next || next == first) break;
    BuildPage(next);
  }
}

TutorialPoint TutorialHexPoint(const MapView& view, int32_t column, int32_t row) {
  const float zoom = view.zoom > 0.0f ? view.zoom : 1.0f;
  const int32_t mapX = column * kHexColumnWidth + 12;
  const int32_t mapY = row * kHexHeight + ((column & 1) ? kHexHeight / 2 : 0);
  TutorialPoint p;
  p.x = static_cast<int32_t>(std::lround(static_cast<float>(mapX - view.panX) / zoom)) + view.viewLeft;
  p.y = static_cast<int32_t>(std::lround(static_cast<float>(mapY - view.panY) / zoom)) + view.viewTop;
  return p;
}

void OpenTutorialPage(TutorialWindow& window) {
  plat::CriticalSectionLock lock(g_simulationLock);
  ScreenManager& ui = g_ui;
  CloseAllPopups(ui, 0);
  SetGameSpeed(g_world.gameState, 0);
  Control* f = window.currentForm;
  if (!g_tutorialSteps || !f || f->parent || !ui.rootForm) return;
  ControlInit init;
  init.kind = kKindBox;
  init.id = static_cast<int32_t>(kAlwaysOnTopMark);
  init.width = ClientWidth();
  init.height = ClientHeight();
  auto* backdrop = new BoxControl(init);
  backdrop->index = kGeneratedFrameIndex;
  // Pop-ups the pages open go beneath it: the window stays on top.
  backdrop->userWord = kAlwaysOnTopMark;
  window.backdrop = backdrop;
  const uint32_t alpha = g_uiOptions.popupalpha;
  SetAlpha(f->fills[kLookNormal], alpha);
  ControlAddChild(backdrop, f);
  ControlAddChild(ui.rootForm, backdrop);
  f->flags |= kCtlAlwaysRedraw;
  ui.rootForm->flags |= kCtlAlwaysRedraw;
  g_mapWheelLock = 1;
  // The pages centre the map, place the window beside the hex and frame
  // controls by the game screen's layout and view, which the game's first
  // frame would make only after the first page is built: that page would
  // measure a screen laid out for the last game, or for none, and the frame
  // would then move the map and the bars from under it.
  MapView& view = g_mapView;
  if (view.layoutPending) ApplySideScreensLayout(view);
  CentreOnPendingHex(view);
  window.OnOpen();
  window.Refresh();
}

namespace {

// Takes the window off the screen; the pages stay.
void DetachTutorialWindow(TutorialWindow& window) {
  for (BitmapControl* marker : window.markers)
    if (marker && marker->parent) marker->Unlink();
  Control* f = window.currentForm;
  if (window.backdrop) {
    if (f && f->parent == window.backdrop) f->Unlink();
    window.backdrop->Unlink();
    delete window.backdrop;
    window.backdrop = nullptr;
    if (f) f->flags &= ~kCtlAlwaysRedraw;
    if (g_ui.rootForm && g_ui.popupCount == 0) g_ui.rootForm->flags &= ~kCtlAlwaysRedraw;
    g_mapWheelLock = 0;
  }
}

}  // namespace

void CloseTutorialWindow(TutorialWindow& window) {
  if (!window.backdrop) {
    if (TutorialWindowOpen(window)) window.Close(1);
    return;
  }
  DetachTutorialWindow(window);
  window.page = nullptr;
  SwitchGameScreen(&g_ui, false);
}

void ReleaseTutorial(TutorialWindow& window) {
  DetachTutorialWindow(window);
  window.page = nullptr;
  FreeTutorialSteps(g_tutorialSteps);
}

bool StartTutorial(ScreenManager& ui, const char* name) {
  static constexpr const char* kFolder = "Tutorials\\";
  {
    // Not held into the start, which stops a running game's threads first.
    plat::CriticalSectionLock lock(g_simulationLock);
    FreeTutorialSteps(g_tutorialSteps);
    if (plat::Failed(LoadTutorialTable(g_world, name)) || !g_tutorialSteps) {
      LogWrite(g_platform, "Tutorial %s: %s%s.CSV holds no pages.\n", name, kFolder, name);
      FreeTutorialSteps(g_tutorialSteps);
      return false;
    }
    if (plat::Failed(LoadSaveGame(g_world, name, kFolder, false, false))) {
      LogWrite(g_platform, "Tutorial %s: %s cannot be loaded.\n", name, SaveGamePath(name, kFolder).c_str());
      FreeTutorialSteps(g_tutorialSteps);
      return false;
    }
    g_world.campaignMessage.flags &= ~kGameParamsSavedGame;
  }
  StartGameSession(&ui, 1, 0, 0);
  return true;
}
