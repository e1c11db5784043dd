#pragma once
// The interface root: its mode, the root controls that frame the main
// screen, the root form drawn every frame, the per-frame update and draw,
// the refresh walk of the window timer, and the entry points through which
// the main window hands over input. Window thread only: other threads post
// the application messages 0x8000 to 0x8002 instead.
#include <atomic>
#include <cstdint>

#include "app/gfx/bitmap_sets.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "ui/control.h"
#include "ui/interface_images.h"

class MapView;
class Screen;
class Texture;
namespace plat {
class Surface;
}

// The interface's own mode word. Never mixed with the application's mode
// (AppMode, beside PlatformState).
enum UiMode : int32_t { kUiMapEditor = 0, kUiFrontEnd = 1, kUiInGame = 2 };
// The network role given on the command line.
enum NetRole : int32_t { kRoleNone = 0, kRoleHost = 1, kRoleClient = 2 };

// The window timer of the front end and of a running game.
inline constexpr uintptr_t kUiTimerId = 1;
inline constexpr uint32_t kUiTimerMs = 250;

// Bit of ScreenManager::frameFlags: a map drag moved the view this frame.
inline constexpr uint32_t kFrameMapDragged = 0x1;

// Width of the right column that holds the side screens.
inline constexpr int32_t kRightColumnWidth = 224;
// Height of the box under the minimap in which the side panels are placed,
// whole or as a top and a bottom half.
inline constexpr int32_t kSideBoxHeight = 250;
inline constexpr int kRightBoxSlots = 5;  // the first four are built
inline constexpr int kBottomBoxes = 4;

// The input the frame polls: the pointer in screen pixels and the physical
// buttons and keys held. Tests replace the poll.
struct PolledInput {
  int32_t x = 0, y = 0;
  bool left = false, right = false, middle = false, shift = false, ctrl = false, alt = false;
};
using InputPoll = PolledInput (*)();
// Whether the system swaps the mouse buttons (never on Linux).
using SwapButtonsQuery = bool (*)();
struct UiInputSeam {
  InputPoll poll = nullptr;               // null: the platform's pointer and held keys
  SwapButtonsQuery swapButtons = nullptr;  // null: not swapped
};
extern UiInputSeam g_uiInput;

struct ScreenManager {
  ScreenManager();
  ~ScreenManager();
  ScreenManager(const ScreenManager&) = delete;
  ScreenManager& operator=(const ScreenManager&) = delete;

  int32_t mode = kUiFrontEnd;  // UiMode
  uint32_t frameFlags = 0;     // kFrame bits; cleared after every drawn frame
  plat::Surface* backgroundSurface = nullptr;  // copied whole under each frame's 2D pass when set
  Texture* backgroundTextures[2] = {};         // shown by the front-end and game backgrounds
  // The root of the drawn tree: always one of the root controls below.
  Control* rootForm = nullptr;
  // The root controls, made once per start by BuildRootControls.
  Control* rootPanel = nullptr;
  Control* frontEndBackground = nullptr;
  Control* gameBackground = nullptr;
  Control* topBar = nullptr;
  Control* bottomStrip = nullptr;
  Control* rightColumn = nullptr;
  // The dock: a child of the map area on its bottom edge, as wide as its
  // open levels (bottomBoxes 1 to 3; box 0 holds the command bar).
  Control* bottomBar = nullptr;
  // The map control: the map pane's, whose rectangle is the map area; it
  // takes the wheel when nothing holds the capture.
  Control* mapArea = nullptr;
  Control* mapBackdrop = nullptr;  // the map border's anchor, laid out with the map area
  Control* rightBoxes[kRightBoxSlots] = {};
  Control* bottomBoxes[kBottomBoxes] = {};
  // The main panel shown full size over the map, shown again by each layout.
  Screen* mapChildPopup = nullptr;
  MapView* mapView = nullptr;
  uint32_t mapViewBlocks[2][8] = {};  // the map view's
  int32_t skipFrontEnd = 0;  // ShowFrontEndScreen opens no screen (a network role was given)
  int32_t tooltipShown = 0;
  int32_t keepPopups = 0;
  uint8_t popupCount = 0;       // pop-ups open over the root form
  uint8_t lastPopupFlags = 0;   // the open flags of the last opened, 0 once it closed
  int32_t uiLock = 0;           // while set no pop-up opens (a beep instead)
  int32_t sidePopupOpen = 0;
  // Refresh-all: makes the refresh walk refresh every screen it meets; set
  // by RequestFullRefresh (and by the simulation when units change),
  // cleared after each timer and notification redraw.
  int32_t modal = 0;
  int32_t timerLatch = 0;  // the timer's work ran this frame
  // A still frame is not drawn again: input, a window event or a message
  // from another thread asks for the next one (dirty controls, running
  // animations, a fade and the map's own needs ask for theirs).
  int32_t redrawWanted = 1;
  uint32_t framesPresented = 0;  // counts the frames shown
  int32_t edgeScrollBlock = 0;
  int32_t panelDepth = 0;
  int32_t savedPanelDepth = 0;
  Control* tooltipControl = nullptr;
  uint32_t lastInputTick = 0;
  // The interface clock: the tick at the start of the current frame. The
  // turn thread reads it to time the map effects it adds.
  std::atomic<uint32_t> nowTick{0};
  uint32_t fadeEndTick = 0;
  uint32_t fadeDuration = 0;
  int32_t lastCursorX = 0, lastCursorY = 0;
  // Frame-rate display (the F key).
  int32_t showFrameRate = 0;
  uint32_t frameCount = 0;
  uint32_t frameRateTick = 0;
  float framesPerSecond = 0.0f;

  // Start-up and session state the shell and the game flow keep here.
  plat::WParam lastWParam = 0;
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
  // While set only the filter panel may take the right column's side-panel
  // box (the second of rightBoxes).
  int32_t sideBarLock = 0;
  int32_t swapButtons = -1;  // read once, on the first frame
  uint32_t keyState = 0;     // the last frame's MK_ word
};

extern ScreenManager g_ui;

// Makes the root controls for the screen size (once; a second call keeps
// them).
void BuildRootControls(ScreenManager& ui);
// Frees the root controls when the program shuts down, so that a later
// start in the same process builds them for its own window size, with no
// pop-up counted open. The screens' forms must have left the tree first.
void ReleaseRootControls(ScreenManager& ui);
// One frame: input polling, the map, the root form's tree, the overlays.
// Nothing at all without a root form.
void UpdateFrameUi(ScreenManager& ui);
// The tooltip, the editor's brush (the screens' hook) and the fade, over
// the frame.
void DrawFrameOverlays(ScreenManager& ui);
// The refresh walk: from the control down, refreshes the screen whose form
// root a control is when forced, asked or refresh-all is set (with defer,
// only marks it); a hidden control stops its subtree.
void RedrawControlTree(ScreenManager& ui, Control* control, int32_t force, int32_t defer);
// The forced refresh walk over each child of a control, round its ring.
void RedrawChildRing(ScreenManager& ui, Control* parent);
void RequestFullRefresh(ScreenManager& ui);
// Shows or hides a control through its hidden state bit.
void SetHidden(Control* control, bool hidden);
// Binds a screen's form and opens and refreshes it.
void OpenScreen(Screen& screen);
// At shut-down: the interface's textures, and the capture, focus and text
// edit globals.
void ReleaseUiTextures(ScreenManager& ui);
// A key, a button, the wheel or a pointer movement: a shown tooltip goes,
// and the wait for the next one starts again.
void NoteUserInput(ScreenManager& ui);
// The MK_ word of the polled buttons and keys, the physical buttons swapped
// when the system swaps them.
uint32_t MouseKeyState(const PolledInput& input, bool swapped);

// keyBits is the message's lParam: the modifiers it carries are used over
// those held now.
plat::LResult OnKeyDown(ScreenManager& ui, uint32_t key, uint32_t keyBits = 0);
plat::LResult OnKeyUp(ScreenManager& ui, uint32_t key);
plat::LResult OnChar(ScreenManager& ui, uint32_t character);
plat::LResult OnMouseMessage(ScreenManager& ui, uint32_t message, plat::WParam wParam, int x, int y);
plat::LResult OnMouseWheel(ScreenManager& ui, plat::WParam wParam, int x, int y);
