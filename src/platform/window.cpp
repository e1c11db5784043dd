// Windows, their classes and procedures, and the reading of SDL's events into
// the message queue.
#include "platform/window.h"

#include <SDL.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/picture_fit.h"
#include "platform/sdl_input.h"
#include "platform/sdl_window_internal.h"
#include "platform/window_internal.h"

namespace plat {

class Window {
 public:
  SDL_Window* sdl = nullptr;
  uint32_t sdlId = 0;
  WindowProc proc = nullptr;
  uint32_t classStyle = 0;
  bool alive = true;
  bool destroying = false;
  bool visible = false;
  bool active = false;
  // Filling the desktop: the window is the screen's size and the back buffer
  // keeps the size the game asked for, scaled into it by the present pass.
  bool fillsScreen = false;
  int bufferWidth = 0, bufferHeight = 0;
};

namespace {

struct Registry {
  std::mutex mutex;
  std::vector<WindowClass> classes;
  // Every window ever made, kept after it is destroyed: a stale handle then
  // never meets a new window at the same address, and it is known to be dead.
  std::vector<std::unique_ptr<Window>> windows;
  // SDL's events are read on the thread that made the first window.
  bool haveOwner = false;
  std::thread::id owner;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

// Compares addresses only: a handle is never followed until it is found here.
Window* FindLocked(Registry& r, const Window* handle) {
  if (handle == nullptr) return nullptr;
  for (auto& w : r.windows) {
    if (w.get() == handle) return w->alive ? w.get() : nullptr;
  }
  return nullptr;
}

Window* MainWindowLocked(Registry& r) {
  for (auto& w : r.windows) {
    if (w->alive) return w.get();
  }
  return nullptr;
}

// True when the window's activation changed.
bool ChangeActivationOf(Window* window, bool active) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  Window* w = FindLocked(r, window);
  if (w == nullptr || w->active == active) return false;
  w->active = active;
  return true;
}

// The offscreen driver (tests, the headless runner) has no screen to fill:
// there the back buffer is the window.
bool DriverHasScreen() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr) return false;
  const std::string name(driver);
  return name != "offscreen" && name != "dummy";
}

// Window pixels against back-buffer pixels; 1:1 for a window that does not fill the screen.
PictureFit FitOf(SDL_Window* sdl, int bufferWidth, int bufferHeight, bool fillsScreen) {
  int width = bufferWidth, height = bufferHeight;
  if (fillsScreen && sdl != nullptr) SDL_GetWindowSize(sdl, &width, &height);
  return FitPicture(bufferWidth, bufferHeight, width, height);
}

PictureFit FitOfWindow(const Window* window) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  Window* w = FindLocked(r, window);
  if (w == nullptr) return FitPicture(0, 0, 0, 0);
  return FitOf(w->sdl, w->bufferWidth, w->bufferHeight, w->fillsScreen);
}

class RegistryTarget final : public detail::InputTarget {
 public:
  Window* Resolve(uint32_t sdlWindowId) override {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (sdlWindowId == 0) return MainWindowLocked(r);
    for (auto& w : r.windows) {
      if (w->alive && w->sdl != nullptr && w->sdlId == sdlWindowId) return w.get();
    }
    return nullptr;
  }

  Window* MainWindow() override {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    return MainWindowLocked(r);
  }

  bool WantsDoubleClicks(Window* window) override {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    Window* w = FindLocked(r, window);
    return w != nullptr && (w->classStyle & kCsDblClks) != 0;
  }

  bool ChangeActivation(Window* window, bool active) override { return ChangeActivationOf(window, active); }

  Point ToBuffer(Window* window, int32_t x, int32_t y) override {
    const PictureFit fit = FitOfWindow(window);
    Point p{x, y};
    if (fit.bufferWidth > 0 && (fit.width != fit.bufferWidth || fit.height != fit.bufferHeight || fit.left != 0 ||
                                fit.top != 0)) {
      fit.WindowToBuffer(x, y, &p.x, &p.y);
    }
    return p;
  }
};

detail::SdlInputTranslator& Translator() {
  static RegistryTarget target;
  static detail::SdlInputTranslator translator(target);
  return translator;
}

// Windows activates a window as it becomes visible, sending WM_ACTIVATE before
// the call that showed it returns; the game runs frames only once activated.
void SetActivation(Window* window, bool active) {
  if (ChangeActivationOf(window, active)) {
    SendWindowMessage(window, kWmActivate, active ? kWaActive : kWaInactive, 0);
  }
}

bool EnsureVideo() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  // SDL loads the OpenGL library with each OpenGL window and unloads it with
  // the last one; loading it once more keeps it for the whole run, so that
  // windows come and go (tests, a restart) without the driver set up anew.
  static bool glLoaded = false;
  if (!glLoaded) glLoaded = SDL_GL_LoadLibrary(nullptr) == 0;
  return true;
}

}  // namespace

bool RegisterWindowClass(const WindowClass& cls) {
  if (cls.proc == nullptr || cls.name.empty()) return false;
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  for (const WindowClass& c : r.classes) {
    if (c.name == cls.name) return false;
  }
  r.classes.push_back(cls);
  return true;
}

void UnregisterAllWindowClasses() {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.classes.clear();
}

Window* CreateAppWindow(const std::string& className, const std::string& title, uint32_t exStyle,
                        uint32_t style, int x, int y, int width, int height) {
  Registry& r = TheRegistry();
  WindowClass cls;
  {
    std::lock_guard lock(r.mutex);
    auto it = std::find_if(r.classes.begin(), r.classes.end(),
                           [&](const WindowClass& c) { return c.name == className; });
    if (it == r.classes.end()) return nullptr;
    cls = *it;
  }
  if (!EnsureVideo()) return nullptr;

  // The drawing device makes an OpenGL 3.3 core context on this window.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

  const bool visible = (style & kWsVisible) != 0;
  Uint32 flags = SDL_WINDOW_OPENGL | (visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
  // A popup window is the game's full-screen window: it covers the desktop at
  // the desktop's own mode (a mode change is left alone: desktops handle it
  // badly) and the present pass scales the back buffer into it.
  const bool fillsScreen = (style & kWsPopup) != 0 && DriverHasScreen();
  if (fillsScreen) {
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
  } else if ((style & kWsPopup) != 0) {
    flags |= SDL_WINDOW_BORDERLESS;
  }
  if ((exStyle & kWsExTopmost) != 0 && !fillsScreen) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  // Made at the screen's size as well, so that it covers the screen even
  // where no window manager acts on the full-screen request.
  int windowX = x, windowY = y, windowWidth = width, windowHeight = height;
  SDL_Rect screen{};
  if (fillsScreen && SDL_GetDisplayBounds(0, &screen) == 0 && screen.w > 0 && screen.h > 0) {
    windowX = screen.x;
    windowY = screen.y;
    windowWidth = screen.w;
    windowHeight = screen.h;
  }
  SDL_Window* sdl = SDL_CreateWindow(title.c_str(), windowX, windowY, windowWidth, windowHeight, flags);
  if (sdl == nullptr) return nullptr;

  auto window = std::make_unique<Window>();
  window->sdl = sdl;
  window->sdlId = SDL_GetWindowID(sdl);
  window->proc = cls.proc;
  window->classStyle = cls.style;
  window->visible = visible;
  window->fillsScreen = fillsScreen;
  window->bufferWidth = width;
  window->bufferHeight = height;
  Window* handle = window.get();
  {
    std::lock_guard lock(r.mutex);
    r.windows.push_back(std::move(window));
    if (!r.haveOwner) {
      r.haveOwner = true;
      r.owner = std::this_thread::get_id();
    }
  }
  SDL_StartTextInput();
  detail::ApplyPointerState();
  if (visible) SetActivation(handle, true);
  return handle;
}

void DestroyAppWindow(Window* window) {
  Registry& r = TheRegistry();
  {
    std::lock_guard lock(r.mutex);
    Window* w = FindLocked(r, window);
    // A procedure that destroys its window again while handling WM_DESTROY
    // must not get a second one.
    if (w == nullptr || w->destroying) return;
    w->destroying = true;
  }
  SendWindowMessage(window, kWmDestroy, 0, 0);
  SDL_Window* sdl = nullptr;
  {
    std::lock_guard lock(r.mutex);
    window->alive = false;
    window->active = false;
    sdl = window->sdl;
    window->sdl = nullptr;
  }
  detail::ForgetWindowInQueue(window);
  Translator().ForgetWindow(window);
  if (sdl != nullptr) SDL_DestroyWindow(sdl);
}

bool IsWindowValid(const Window* window) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  return FindLocked(r, window) != nullptr;
}

SDL_Window* NativeSdlWindow(Window* window) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  Window* w = FindLocked(r, window);
  return w != nullptr ? w->sdl : nullptr;
}

void ShowAppWindow(Window* window, bool show) {
  Registry& r = TheRegistry();
  SDL_Window* sdl = nullptr;
  bool changed = false;
  {
    std::lock_guard lock(r.mutex);
    Window* w = FindLocked(r, window);
    if (w == nullptr) return;
    sdl = w->sdl;
    changed = w->visible != show;
    w->visible = show;
  }
  if (show) {
    SDL_ShowWindow(sdl);
  } else {
    SDL_HideWindow(sdl);
  }
  // Only a change of visibility activates or deactivates: showing a window
  // that is already shown leaves its activation as the user left it.
  if (changed) SetActivation(window, show);
}

bool IsWindowMinimised(const Window* window) {
  SDL_Window* sdl = NativeSdlWindow(const_cast<Window*>(window));
  return sdl != nullptr && (SDL_GetWindowFlags(sdl) & SDL_WINDOW_MINIMIZED) != 0;
}

void MaximiseWindow(Window* window) {
  SDL_Window* sdl = NativeSdlWindow(window);
  if (sdl == nullptr) return;
  // A window that fills the screen comes back from the task bar to full screen.
  if (FillsScreen(window))
    SDL_RestoreWindow(sdl);
  else
    SDL_MaximizeWindow(sdl);
}

void SetWindowBounds(Window* window, int x, int y, int width, int height) {
  Registry& r = TheRegistry();
  SDL_Window* sdl = nullptr;
  bool fills = false;
  {
    std::lock_guard lock(r.mutex);
    Window* w = FindLocked(r, window);
    if (w == nullptr) return;
    sdl = w->sdl;
    fills = w->fillsScreen;
    if (width > 0 && height > 0) {
      w->bufferWidth = width;
      w->bufferHeight = height;
    }
  }
  // A full-screen window keeps covering the screen; only the picture's size changes.
  if (fills) return;
  SDL_SetWindowPosition(sdl, x, y);
  SDL_SetWindowSize(sdl, width, height);
}

bool FillsScreen(const Window* window) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  Window* w = FindLocked(r, window);
  return w != nullptr && w->fillsScreen;
}

Rect GetClientRect(const Window* window) {
  Rect rect;
  Registry& r = TheRegistry();
  SDL_Window* sdl = nullptr;
  {
    std::lock_guard lock(r.mutex);
    Window* w = FindLocked(r, window);
    if (w == nullptr) return rect;
    // The game draws and reads the pointer in back-buffer pixels.
    if (w->fillsScreen) {
      rect.right = w->bufferWidth;
      rect.bottom = w->bufferHeight;
      return rect;
    }
    sdl = w->sdl;
  }
  int width = 0, height = 0;
  SDL_GetWindowSize(sdl, &width, &height);
  rect.right = width;
  rect.bottom = height;
  return rect;
}

bool IsWindowActive(const Window* window) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  Window* w = FindLocked(r, window);
  return w != nullptr && w->active;
}

LResult SendWindowMessage(Window* window, uint32_t message, WParam wParam, LParam lParam) {
  WindowProc proc = nullptr;
  {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    Window* w = FindLocked(r, window);
    if (w == nullptr) return 0;
    proc = w->proc;
  }
  return proc(window, message, wParam, lParam);
}

LResult DefaultWindowProc(Window* window, uint32_t message, WParam wParam, LParam /*lParam*/) {
  switch (message) {
    case kWmClose:
      DestroyAppWindow(window);
      return 0;
    case kWmNcHitTest:
      return kHtClient;
    case kWmSysCommand:
      // The low four bits of the command are the system's own.
      if ((wParam & 0xFFF0) == kScClose) SendWindowMessage(window, kWmClose, 0, 0);
      return 0;
    default:
      return 0;
  }
}

LResult DispatchWindowMessage(const Message& msg) {
  if (msg.window == nullptr) return 0;
  // A message for a window destroyed since it was queued is dropped.
  return SendWindowMessage(msg.window, msg.message, msg.wParam, msg.lParam);
}

bool IsKeyHeld(uint32_t virtualKey) { return Translator().IsKeyHeld(virtualKey); }

void ClipCursorToRect(Window* window, const Rect* rect) {
  SDL_Window* sdl = NativeSdlWindow(window);
  if (sdl == nullptr) return;
  if (rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top) {
    SDL_SetWindowMouseRect(sdl, nullptr);
    SDL_SetWindowGrab(sdl, SDL_FALSE);
    return;
  }
  // Confined to the picture: the bars are not part of the game's screen.
  const PictureFit fit = FitOfWindow(window);
  int32_t left = rect->left, top = rect->top, right = rect->right, bottom = rect->bottom;
  if (FillsScreen(window)) {
    fit.BufferToWindow(rect->left, rect->top, &left, &top);
    fit.BufferToWindow(rect->right, rect->bottom, &right, &bottom);
  }
  const SDL_Rect area{left, top, std::max(1, right - left), std::max(1, bottom - top)};
  SDL_SetWindowMouseRect(sdl, &area);
  SDL_SetWindowGrab(sdl, SDL_TRUE);
}

Point GetCursorPosition(const Window* /*window*/) { return Translator().LastPointer(); }

void SetCursorPosition(Window* window, int x, int y) {
  SDL_Window* sdl = NativeSdlWindow(window);
  if (sdl == nullptr) return;
  int32_t wx = x, wy = y;
  if (FillsScreen(window)) FitOfWindow(window).BufferToWindow(x, y, &wx, &wy);
  SDL_WarpMouseInWindow(sdl, wx, wy);
  Translator().SetLastPointer(x, y);
}

void SetCaptureAndFocus(Window* window) {
  SDL_Window* sdl = NativeSdlWindow(window);
  if (sdl == nullptr) return;
  SDL_RaiseWindow(sdl);
  // No explicit capture: SDL captures the pointer by itself while a button is
  // held, which is all a Windows capture does for the pointer outside the
  // window, and a permanent grab would take the pointer from the desktop.
}

uint32_t DoubleClickTimeMs() { return kDoubleClickMs; }

namespace detail {

bool PumpsWindowEventsHere() {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  return r.haveOwner && r.owner == std::this_thread::get_id() && MainWindowLocked(r) != nullptr;
}

void PumpWindowEvents() {
  if (!PumpsWindowEventsHere()) return;
  SdlInputTranslator& translator = Translator();
  translator.BeginPass();
  std::vector<QueuedMessage> batch;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) translator.Translate(event, TickCount(), &batch);
  AppendInputMessages(std::move(batch));
}

void ForgetClicks() {
  Registry& r = TheRegistry();
  Window* window = nullptr;
  {
    std::lock_guard lock(r.mutex);
    window = MainWindowLocked(r);
  }
  if (window) Translator().ForgetWindow(window);
}

void ResetWindowInput() {
  Translator().Reset();
  Registry& r = TheRegistry();
  bool owner = false;
  {
    std::lock_guard lock(r.mutex);
    owner = !r.haveOwner || r.owner == std::this_thread::get_id();
  }
  if (owner && SDL_WasInit(SDL_INIT_VIDEO) != 0) {
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
}

}  // namespace detail
}  // namespace plat
