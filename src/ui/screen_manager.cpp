#include "ui/screen_manager.h"

#include "app/app_object.h"
#include "app/gfx/bitmap_sets.h"
#include "app/gfx/clipping.h"
#include "app/gfx/fonts.h"
#include "app/gfx/renderer.h"
#include "app/gfx/sprite_batch.h"
#include "app/gfx/texture.h"
#include <algorithm>
#include <atomic>
#include <vector>

#include "app/init_order.h"
#include "platform/clock.h"
#include "ui/background_bitmap.h"
#include "ui/bitmap_control.h"
#include "ui/box_control.h"
#include "ui/control_focus.h"
#include "ui/control_tree.h"
#include "ui/mouse.h"
#include "ui/tooltip.h"
#include "ui/ui_screen_hooks.h"
#include "world/text/ui_options.h"

UiInputSeam g_uiInput;

// The map view is the screens' own: they hand it over with their hooks.
ScreenManager::ScreenManager() = default;

// Deleting the root panel deletes the boxes under it; the backgrounds stand
// alone.
ScreenManager::~ScreenManager() {
  delete rootPanel;
  delete frontEndBackground;
  delete gameBackground;
}

ScreenManager g_ui VD_INIT_SCREEN_MANAGER;

namespace {

constexpr int32_t kTopHeight = 24;
constexpr int32_t kBottomHeight = 194;

Control* Box(int32_t left, int32_t top, int32_t width, int32_t height, uint32_t fill, uint32_t flags = 0,
             uint8_t frameStyle = 0) {
  ControlInit init;
  init.kind = kKindBox;
  init.left = left, init.top = top, init.width = width, init.height = height;
  init.fillNormal = init.fillSelected = fill;
  init.flags = flags;
  init.frameStyle = frameStyle;
  return new BoxControl(init);
}

PolledInput PlatformInput() {
  PolledInput in;
  const plat::Point p = plat::GetCursorPosition(g_platform.mainWindow);
  in.x = p.x, in.y = p.y;
  in.left = plat::IsKeyHeld(plat::kVkLButton);
  in.right = plat::IsKeyHeld(plat::kVkRButton);
  in.middle = plat::IsKeyHeld(plat::kVkMButton);
  in.shift = plat::IsKeyHeld(plat::kVkShift);
  in.ctrl = plat::IsKeyHeld(plat::kVkControl);
  in.alt = plat::IsKeyHeld(plat::kVkMenu);
  return in;
}

void CountFrameRate(ScreenManager& ui) {
  if (++ui.frameCount < 20) return;
  float elapsed = static_cast<float>(static_cast<int64_t>(ui.nowTick) - static_cast<int64_t>(ui.frameRateTick));
  if (elapsed < 0.0f) elapsed += 4294967296.0f;
  ui.framesPerSecond = elapsed > 0.0f ? 20000.0f / elapsed : 0.0f;
  ui.frameCount = 0;
  ui.frameRateTick = ui.nowTick;
  if (ui.mode == kUiInGame && g_uiScreenHooks.frameRateChanged) g_uiScreenHooks.frameRateChanged();
}

}  // namespace

void SetHidden(Control* control, bool hidden) {
  if (control) SetControlFlag(control, kStateHidden, hidden ? 1 : 0);
}

void OpenScreen(Screen& screen) {
  screen.AttachForm(nullptr);
  screen.OnOpen();
  screen.Refresh();
}

void RedrawChildRing(ScreenManager& ui, Control* parent) {
  Control* first = parent ? parent->firstChild : nullptr;
  if (!first) return;
  Control* child = first;
  do {
    Control* next = child->NextInRing();
    RedrawControlTree(ui, child, 1, 0);
    child = next;
  } while (child && child != first);
}

void NoteUserInput(ScreenManager& ui) {
  if (ui.tooltipShown) {
    ui.tooltipShown = 0;
    ui.tooltipControl = nullptr;
    if (ui.rootForm) ui.rootForm->state |= kStateDirty;
  }
  ui.lastInputTick = ui.nowTick;
}

uint32_t MouseKeyState(const PolledInput& in, bool swapped) {
  uint32_t word = 0;
  if (in.left) word |= swapped ? plat::kMkRButton : plat::kMkLButton;
  if (in.right) word |= swapped ? plat::kMkLButton : plat::kMkRButton;
  if (in.shift) word |= plat::kMkShift;
  if (in.ctrl) word |= plat::kMkControl;
  if (in.middle) word |= plat::kMkMButton;
  return word;
}

void BuildRootControls(ScreenManager& ui) {
  if (ui.rootPanel) return;
  const int32_t w = g_platform.clientRect.right, h = g_platform.clientRect.bottom;
  ControlInit root;
  root.left = 0, root.top = 0, root.width = w, root.height = h;
  ui.rootPanel = new Control(root);
  ControlInit bitmap = root;
  bitmap.kind = kKindPlainBitmap;
  ui.frontEndBackground = new BackgroundBitmap(bitmap, &ui.backgroundTextures[0]);
  ui.gameBackground = new BackgroundBitmap(bitmap, &ui.backgroundTextures[1]);

  ui.topBar = Box(0, 0, w, kTopHeight, 0xFF000064);
  ui.rightColumn = Box(w - kRightColumnWidth, kTopHeight, kRightColumnWidth, h, 0xFF000000);
  ui.bottomStrip = Box(0, h - kBottomHeight, w, kBottomHeight, 0xFF000000);
  SetHidden(ui.bottomStrip, true);
  // The map is drawn before the controls each frame: a fill here would
  // cover it whenever the whole tree redraws, as it does every frame while
  // a pop-up over the map is open.
  ui.mapBackdrop = Box(0, kTopHeight, w - kRightColumnWidth, h, 0xFF000000, 0, 1);
  ui.mapArea = Box(0, kTopHeight, w - kRightColumnWidth, h, 0xFF000000, 0x200044, 1);
  ui.mapArea->outlines[0] = 0xFFFFFF00;
  ui.bottomBar = Box(0, h - 218, 800, kBottomHeight, 0xFF000000);
  for (Control* c : {ui.topBar, ui.rightColumn, ui.bottomStrip, ui.mapBackdrop, ui.mapArea})
    ControlAddChild(ui.rootPanel, c);
  ControlAddChild(ui.mapArea, ui.bottomBar);

  const struct {
    int32_t top, height;
    uint32_t fill;
  } kRight[] = {{0, 125, 0xFF5A5A5A}, {125, kSideBoxHeight, 0xFF5A5A5A}, {125 + kSideBoxHeight, h - 399, 0xFF007800}, {h, 0, 0xFF008200}};
  for (int i = 0; i < 4; ++i)
    ui.rightBoxes[i] = ControlAddChild(ui.rightColumn, Box(0, kRight[i].top, kRightColumnWidth, kRight[i].height, kRight[i].fill));
  const int32_t kBottomLeft[] = {0, 60, 360, 580}, kBottomWidth[] = {60, 300, 220, 220};
  for (int i = 0; i < kBottomBoxes; ++i)
    ui.bottomBoxes[i] = ControlAddChild(ui.bottomBar, Box(kBottomLeft[i], 0, kBottomWidth[i], kBottomHeight, 0xFF000000));
}

void ReleaseRootControls(ScreenManager& ui) {
  delete ui.rootPanel;
  delete ui.frontEndBackground;
  delete ui.gameBackground;
  ui.rootForm = ui.rootPanel = ui.frontEndBackground = ui.gameBackground = nullptr;
  ui.topBar = ui.bottomStrip = ui.rightColumn = ui.bottomBar = ui.mapArea = ui.mapBackdrop = nullptr;
  for (Control*& box : ui.rightBoxes) box = nullptr;
  for (Control*& box : ui.bottomBoxes) box = nullptr;
  ui.tooltipControl = nullptr;
  // The pop-ups' frames went with the roots: none is counted open.
  ui.popupCount = ui.lastPopupFlags = 0;
  ui.keepPopups = 0;
}

void DrawFrameOverlays(ScreenManager& ui) {
  Tooltip* tooltip = g_uiScreenHooks.tooltip;
  if (ui.tooltipShown && tooltip && tooltip->currentForm) {
    FlushSpriteBatches(g_renderer);
    if (g_renderer.flushFontGlyphs) g_renderer.flushFontGlyphs();
    ControlDrawTree(tooltip->currentForm, kAnyDepth, 1, nullptr, 0);
  }
  if (ui.mode == kUiMapEditor) {
    if (g_uiScreenHooks.drawEditorOverlay) g_uiScreenHooks.drawEditorOverlay(ui);
    return;
  }
  if (!ui.fadeEndTick) return;
  // The tick wraps: the fade runs while its end lies ahead within a day.
  const int32_t left = static_cast<int32_t>(ui.fadeEndTick - ui.nowTick);
  if (left <= 0 || ui.fadeDuration == 0) {
    ui.fadeEndTick = 0;
    return;
  }
  const float alpha = std::min(1.0f, static_cast<float>(left) / static_cast<float>(ui.fadeDuration));
  const uint32_t a = static_cast<uint32_t>(alpha * 255.0f);
  const plat::Rect whole{0, 0, g_platform.clientRect.right, g_platform.clientRect.bottom};
  FillSolidRect(&whole, g_renderer, (a << 24) | 0xFFFFFFu);
  if (ui.rootForm) ui.rootForm->state |= kStateDirty;
}

namespace {

// A shown control waits to be drawn.
bool TreeWantsDrawing(const Control* control) {
  if (!control || (control->state & kStateHidden)) return false;
  if (control->state & kStateDirty) return true;
  const Control* first = control->firstChild;
  if (!first) return false;
  const Control* c = first;
  do {
    if (TreeWantsDrawing(c)) return true;
    c = c->NextInRing();
  } while (c && c != first && c->parent == control);
  return false;
}

// The shown controls whose next picture is due this frame.
void CollectDueAnimations(Control* control, std::vector<Control*>& due) {
  if (!control || (control->state & kStateHidden)) return;
  if (control->AnimationDue()) due.push_back(control);
  Control* first = control->firstChild;
  if (!first) return;
  Control* c = first;
  do {
    CollectDueAnimations(c, due);
    c = c->NextInRing();
  } while (c && c != first && c->parent == control);
}

// A frame not drawn whole still counts towards the shown animations' next
// pictures, as the drawing walk does.
void TickShownAnimations(Control* control) {
  if (!control || (control->state & kStateHidden)) return;
  control->TickAnimation();
  Control* first = control->firstChild;
  if (!first) return;
  Control* c = first;
  do {
    Control* following = c->NextInRing();
    TickShownAnimations(c);
    c = following;
  } while (c && c != first && c->parent == control);
}

bool Meets(const plat::Rect& a, const plat::Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The drawing walk within one rectangle, over what the back buffer already
// holds: every shown control that reaches into it, in tree order. The
// animations were counted for this frame already.
void DrawTreeWithin(Control* control, const plat::Rect& clip) {
  if (!control || (control->state & kStateHidden)) return;
  if (!Meets(ControlAbsoluteRect(control), clip)) return;
  if (control->flags & kCtlAlwaysRedraw) FlushAllDrawing(g_renderer);
  control->Draw(&clip);
  Control* first = control->firstChild;
  if (!first) return;
  Control* c = first;
  do {
    Control* following = c->NextInRing();
    DrawTreeWithin(c, clip);
    c = following;
  } while (c && c != first && c->parent == control);
}

// Software drivers spend a core drawing and showing an unchanged frame 60
// times a second; the back buffer keeps the last one, so it is drawn again
// only when something on it can have changed.
bool FrameWanted(ScreenManager& ui) {
  if (ui.redrawWanted || ui.fadeEndTick || ui.showFrameRate || ui.mode == kUiMapEditor) return true;
  if (ui.mode != kUiFrontEnd && ui.mapView && g_uiScreenHooks.mapWantsFrame && g_uiScreenHooks.mapWantsFrame(ui))
    return true;
  Tooltip* tooltip = g_uiScreenHooks.tooltip;
  if (ui.tooltipShown && tooltip && TreeWantsDrawing(tooltip->currentForm)) return true;
  return TreeWantsDrawing(ui.rootForm);
}

// Only animations move: their rectangles alone are drawn again (the map
// under them, then the controls that reach into them), and the rest of the
// last frame stays as it was.
void DrawAnimationsOnly(ScreenManager& ui, plat::GraphicsDevice* device, const std::vector<Control*>& due) {
  TickShownAnimations(ui.rootForm);
  ++ui.framesPresented;
  device->BeginScene();
  const plat::Rect map = ui.mapArea ? ControlAbsoluteRect(ui.mapArea) : plat::Rect{};
  for (Control* control : due) {
    const plat::Rect r = ControlAbsoluteRect(control);
    plat::Viewport saved{};
    if (plat::Failed(IntersectClipRect(&saved, g_renderer, r.left, r.top, r.right, r.bottom))) continue;
    if (ui.mode != kUiFrontEnd && ui.mapView && g_uiScreenHooks.drawMapWithin && Meets(r, map))
      g_uiScreenHooks.drawMapWithin(ui);
    if (ui.backgroundSurface && g_renderer.backBuffer) {
      const plat::Point at{r.left, r.top};
      device->CopyRects(ui.backgroundSurface, &r, 1, g_renderer.backBuffer, &at);
    }
    DrawTreeWithin(ui.rootForm, r);
    SetViewportOrDefault(g_renderer, &saved);
  }
  EndSceneAndFlush(g_renderer);
  device->Present();
}

}  // namespace

void UpdateFrameUi(ScreenManager& ui) {
  if (!ui.rootForm) return;
  ui.nowTick = plat::TickCount();
  if (ui.showFrameRate) CountFrameRate(ui);
  if (ui.mode == kUiMapEditor && g_uiScreenHooks.editorFrame) g_uiScreenHooks.editorFrame(ui);

  if (ui.swapButtons < 0) ui.swapButtons = g_uiInput.swapButtons && g_uiInput.swapButtons() ? 1 : 0;
  const PolledInput in = g_uiInput.poll ? g_uiInput.poll() : PlatformInput();
  ui.keyState = MouseKeyState(in, ui.swapButtons != 0);
  if (in.x != ui.lastCursorX || in.y != ui.lastCursorY) {
    NoteUserInput(ui);
    ui.redrawWanted = 1;  // the map outlines the hex under the pointer
  }
  ui.lastCursorX = in.x, ui.lastCursorY = in.y;
  HoverAndEdgeScroll(ui, ui.keyState, in.x, in.y);

  plat::GraphicsDevice* device = g_renderer.device;
  bool wanted = FrameWanted(ui);
  std::vector<Control*> due;
  if (device && !wanted) {
    CollectDueAnimations(ui.rootForm, due);
    // A tooltip lies over whatever moves under it: the whole frame then.
    wanted = !due.empty() && ui.tooltipShown;
  }
  if (device && !wanted) {
    if (due.empty()) {
      TickShownAnimations(ui.rootForm);
    } else {
      DrawAnimationsOnly(ui, device, due);
    }
  }
  if (device && wanted) {
    ui.redrawWanted = 0;
    ++ui.framesPresented;
    device->BeginScene();
    if (ui.mode != kUiFrontEnd && ui.mapView && g_uiScreenHooks.drawMap) g_uiScreenHooks.drawMap(ui);
    if (ui.backgroundSurface && g_renderer.backBuffer)
      device->CopyRects(ui.backgroundSurface, nullptr, 0, g_renderer.backBuffer, nullptr);
    ControlDrawTree(ui.rootForm, kAnyDepth, 1, nullptr, 1);
    DrawFrameOverlays(ui);
    EndSceneAndFlush(g_renderer);
    device->Present();
  }
  ui.frameFlags = 0;
  ui.timerLatch = 0;
}

void RedrawControlTree(ScreenManager& ui, Control* control, int32_t force, int32_t defer) {
  if (!control || control->Hidden()) return;
  Screen* screen = control->owner;
  if (screen && screen->currentForm == control &&
      (force || (screen->refreshRequest & (kScreenRefreshAsked | kScreenRefreshDeferred)) ||
       std::atomic_ref<int32_t>(ui.modal).load(std::memory_order_relaxed))) {
    if (defer) {
      screen->refreshRequest |= kScreenRefreshDeferred;
    } else {
      screen->Refresh();
      screen->refreshRequest &= ~kScreenRefreshDeferred;
    }
  }
  Control* first = control->firstChild;
  if (!first) return;
  Control* child = first;
  do {
    Control* next = child->NextInRing();
    RedrawControlTree(ui, child, force, defer);
    child = next;
  } while (child && child != first);
}

void RequestFullRefresh(ScreenManager& ui) { ui.modal = 1; }

void ReleaseUiTextures(ScreenManager& ui) {
  for (Texture*& set : g_renderer.bitmapSets) {
    delete set;
    set = nullptr;
  }
  for (Texture*& slot : ui.backgroundTextures) slot = nullptr;  // the interface's images own them
  delete ui.backgroundSurface;
  ui.backgroundSurface = nullptr;
  if (g_uiScreenHooks.releaseTextures) g_uiScreenHooks.releaseTextures();
  // The interface's own images go with the device: kept, a program started
  // again in this process would bring back what the last start loaded (or
  // failed to load, from another data folder) instead of reading its files.
  DestroyUiBitmaps(ui.bitmaps);
  g_controls = ControlGlobals{};
}
