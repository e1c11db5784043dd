#pragma once
// The interface root: the mode, the root forms, the frame, and the entry
// points through which the main window hands over input.
#include <cstdint>

#include "app/gfx/bitmap_sets.h"
#include "platform/messages.h"
#include "ui/control.h"
#include "ui/interface_images.h"

class MapView;
struct ScreenSet;

// The interface's own mode word.
enum UiMode : int32_t { kUiMapEditor = 0, kUiFrontEnd = 1, kUiInGame = 2 };
// The network role given on the command line.
enum NetRole : int32_t { kRoleNone = 0, kRoleHost = 1, kRoleClient = 2 };

struct ScreenManager {
  ScreenManager();
  ~ScreenManager();
  ScreenManager(const ScreenManager&) = delete;
  ScreenManager& operator=(const ScreenManager&) = delete;

  int32_t mode = kUiFrontEnd;
  Control* currentRoot = nullptr;
  Control frontEndRoot;
  Control gameRoot;
  Control* rootControls = nullptr;  // null until first built
  plat::WParam lastWParam = 0;
  int32_t timerLatch = 0;
  int32_t modal = 0;
  int32_t netRole = kRoleNone;
  int32_t networked = 0;
  int32_t mapEditor = 0;
  int32_t loading = 0;
  int32_t (*gameStartHook)() = nullptr;
  int32_t (*frontEndHook)() = nullptr;
  int32_t (*abortHook)() = nullptr;
  int32_t bitmapsLoaded = 0;
  int32_t loadingShown = 0;
  int32_t pendingTitleBarId = 0x7FFFFFFF;
  int32_t titleBarState[2] = {};
  UiBitmaps bitmaps;  // the interface's image slots and picture tables
  uint32_t pendingRedraw = 0;
  MapView* mapView = nullptr;
  ScreenSet* screens = nullptr;
  // The right column's boxes; side panels hang under the second.
  Control* rightColumn[2] = {};
  // While set only the filter panel may take the right column.
  int32_t sideBarLock = 0;
  uint32_t frameCount = 0;
  uint32_t frameStart = 0;
};

extern ScreenManager g_ui;

// Redraws a control and, with recurse, its children, skipping hidden ones.
void RedrawControlTree(ScreenManager& ui, Control* control, int32_t recurse, uint32_t flags);
// One interface frame: timing, drawing, and the release of the timer latch.
void UpdateFrameUi(ScreenManager& ui);
void FrameTiming(ScreenManager& ui);
void ReleaseUiTextures(ScreenManager& ui);
void BuildRootControls(ScreenManager& ui);

plat::LResult OnKeyDown(ScreenManager& ui, uint32_t key);
plat::LResult OnKeyUp(ScreenManager& ui, uint32_t key);
plat::LResult OnChar(ScreenManager& ui, uint32_t character);
plat::LResult OnMouseMessage(ScreenManager& ui, uint32_t message, plat::WParam wParam, int x, int y);
plat::LResult OnMouseWheel(ScreenManager& ui, plat::WParam wParam, int x, int y);
