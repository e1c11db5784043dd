#pragma once
// The main window and the thread's message queue, with Windows semantics:
// messages are posted from any thread and kept in order (never merged, except
// WM_TIMER, which is coalesced per timer id and WM_QUIT, which is a flag),
// peeked without removal, got, translated (key-down to character) and
// dispatched to the window's class procedure. SDL's input and window events
// become the matching window messages; SDL's quit event (window closed,
// SIGINT, SIGTERM) arrives as WM_CLOSE.
#include <cstdint>
#include <string>

#include "platform/messages.h"

namespace plat {

using WindowProc = LResult (*)(Window* window, uint32_t message, WParam wParam, LParam lParam);

// Class styles.
inline constexpr uint32_t kCsDblClks = 0x0008;
inline constexpr uint32_t kCsOwnDc = 0x0020;

// Window styles.
inline constexpr uint32_t kWsPopup = 0x80000000u;
inline constexpr uint32_t kWsVisible = 0x10000000u;
inline constexpr uint32_t kWsOverlappedWindow = 0x00CF0000u;
inline constexpr uint32_t kWsExTopmost = 0x00000008u;
inline constexpr uint32_t kWsExAppWindow = 0x00040000u;

// WM_NCHITTEST answer for the client area.
inline constexpr LResult kHtClient = 1;

struct WindowClass {
  std::string name;
  uint32_t style = 0;
  WindowProc proc = nullptr;
  int iconResource = 0;
};

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Whether the two rectangles share a pixel (right and bottom are outside).
inline bool RectsOverlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

struct Point {
  int32_t x = 0, y = 0;
};

// Registers a class; false when the name is taken or the procedure is null.
bool RegisterWindowClass(const WindowClass& cls);
void UnregisterAllWindowClasses();

// Creates the window of a registered class. A kWsPopup window covers the
// whole desktop (its mode unchanged) and the given size is the back buffer's,
// shown scaled with its aspect kept; under the offscreen driver it is a
// borderless window at (x, y) with the given size; otherwise a decorated window whose client area
// has that size. The window is an OpenGL window (the device draws into it).
// Without a usable video driver, returns null. When kWsVisible is given the
// window is shown and activated, which sends WM_ACTIVATE (kWaActive).
Window* CreateAppWindow(const std::string& className, const std::string& title, uint32_t exStyle,
                        uint32_t style, int x, int y, int width, int height);
// Sends WM_DESTROY to the window's procedure, then releases it; its timers die with it.
void DestroyAppWindow(Window* window);
bool IsWindowValid(const Window* window);
// Showing a hidden window activates it (WM_ACTIVATE kWaActive, sent before the
// call returns); hiding an active one deactivates it. Showing a shown window
// changes nothing.
void ShowAppWindow(Window* window, bool show);
bool IsWindowMinimised(const Window* window);
void MaximiseWindow(Window* window);
// For the full-screen window, only the back buffer's size changes.
void SetWindowBounds(Window* window, int x, int y, int width, int height);
// For a window that fills the screen, the client area is the back buffer's:
// the game's pixels, whatever the screen's size.
Rect GetClientRect(const Window* window);
// True for the full-screen window (a popup window under a driver with a
// screen); false under the offscreen driver, where the back buffer is the window.
bool FillsScreen(const Window* window);
bool IsWindowActive(const Window* window);

// Calls the window's class procedure at once on this thread.
LResult SendWindowMessage(Window* window, uint32_t message, WParam wParam, LParam lParam);
// The answers a window procedure gives to what it does not handle: WM_CLOSE
// destroys the window, WM_NCHITTEST answers kHtClient, WM_SYSCOMMAND with
// SC_CLOSE sends WM_CLOSE, all else 0.
inline constexpr uint32_t kScClose = 0xF060;
LResult DefaultWindowProc(Window* window, uint32_t message, WParam wParam, LParam lParam);

// Thread-safe: appends to the queue of the thread that owns the window (the
// main thread). False when the window is not valid. Wakes a waiting GetMessage.
bool PostWindowMessage(Window* window, uint32_t message, WParam wParam, LParam lParam);
// Marks the queue as quitting: once no posted message is left, GetMessage and
// PeekMessage return WM_QUIT with the exit code in wParam.
void PostQuitMessage(int exitCode);

// Polls SDL for input and window events (main thread only; no-op without a
// window) and turns due timers into WM_TIMER, then looks at the queue's head.
// With remove false the message stays queued. False when nothing is waiting.
bool PeekWindowMessage(Message* out, bool remove);
// Waits for the next message. Returns false (and the WM_QUIT message) when it
// is the quit message, true otherwise.
bool GetWindowMessage(Message* out);
// WM_KEYDOWN: posts the WM_CHAR messages that key produced (backspace 8, tab 9,
// enter 13, escape 27, and the typed text in Windows-1252). True when any.
bool TranslateWindowMessage(const Message& msg);
// Hands the message to its window's class procedure; WM_TIMER of a timer goes
// there too. Returns the procedure's answer (0 for a message without window).
LResult DispatchWindowMessage(const Message& msg);

// Window timers: every elapse ms (at least 10) a WM_TIMER (wParam = id) becomes
// due; at most one per id waits in the queue, and it is handed out only when no
// posted message is waiting. Setting an existing id restarts it. Timers follow
// TickCount, so a test's clock source drives them. False for an invalid window
// (set) or an unknown timer (kill).
bool SetWindowTimer(Window* window, uintptr_t id, uint32_t elapseMs);
bool KillWindowTimer(Window* window, uintptr_t id);

// Empties the queue, the quit flag and the timers (start of a new run of the
// entry routine, and between tests).
void ResetMessageQueue();
// Drops the key, character and mouse-button messages waiting in the queue or
// still unread from the window system, and the click history, so input made
// before a screen appeared does not act on it. Main thread.
void DiscardPendingInput();

// Whether a key or mouse button (virtual-key number; kVkShift, kVkControl and
// kVkMenu stand for either side) is held, as of the input read so far. Main
// thread.
bool IsKeyHeld(uint32_t virtualKey);

// Mouse pointer. Rectangles and positions are in client coordinates (the back
// buffer's pixels); points over the bars beside the picture come clamped to it.
void ClipCursorToRect(Window* window, const Rect* rect);  // null unclips
// Shows or hides the pointer (not counted: the last call holds).
void ShowSystemCursor(bool show);
// The pointer's position as of the last input read from the window system.
// Safe from any thread (the cursor thread polls it).
Point GetCursorPosition(const Window* window);
// Moves the pointer within the window.
void SetCursorPosition(Window* window, int x, int y);
// Raises the window and gives it the keyboard focus. The pointer is captured
// while a button is held (as Windows does for a capture), so drags that leave
// the window keep reporting, with negative coordinates to the left and above.
void SetCaptureAndFocus(Window* window);

// Pointer images by name: "IDC_ARROWN" (arrow), "IDC_BUSYN" (busy),
// "IDC_TARGET" (cross-hair) and "IDC_BLANK" (invisible); null for any other
// name. Handles stay valid for the whole run and may be loaded before any
// window exists.
void* LoadAppCursor(const char* name);
// Makes the cursor the pointer's image; null hides the pointer.
void SetAppCursor(void* cursor);
// Releases the images behind the handles (they are made again if used).
void FreeAppCursors();

// The time in milliseconds within which a second click counts as a double
// click. The controls time their press deadline (and with it the first
// auto-repeat) by the same value, so a press and its double click agree.
inline constexpr uint32_t kDoubleClickMs = 250;
uint32_t DoubleClickTimeMs();

}  // namespace plat
