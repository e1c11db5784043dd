// Windows, their classes and procedures, and the reading of SDL's events into
// the message queue.
#include "platform/window.h"

#include <SDL.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/clock.h"
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
};

namespace {

inline constexpr uint32_t kDoubleClickMs = 500;

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
  if ((style & kWsPopup) != 0) flags |= SDL_WINDOW_BORDERLESS;
  if ((exStyle & kWsExTopmost) != 0) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  SDL_Window* sdl = SDL_CreateWindow(title.c_str(), x, y, width, height, flags);
  if (sdl == nullptr) return nullptr;

  auto window = std::make_unique<Window>();
  window->sdl = sdl;
  window->sdlId = SDL_GetWindowID(sdl);
  window->proc = cls.proc;
  window->classStyle = cls.style;
  window->visible = visible;
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
  if (SDL_Window* sdl = NativeSdlWindow(window)) SDL_MaximizeWindow(sdl);
}

void SetWindowBounds(Window* window, int x, int y, int width, int height) {
  SDL_Window* sdl = NativeSdlWindow(window);
  if (sdl == nullptr) return;
  SDL_SetWindowPosition(sdl, x, y);
  SDL_SetWindowSize(sdl, width, height);
}

Rect GetClientRect(const Window* window) {
  Rect rect;
  SDL_Window* sdl = NativeSdlWindow(const_cast<Window*>(window));
  if (sdl == nullptr) return rect;
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
  const SDL_Rect area{rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top};
  SDL_SetWindowMouseRect(sdl, &area);
  SDL_SetWindowGrab(sdl, SDL_TRUE);
}

Point GetCursorPosition(const Window* /*window*/) { return Translator().LastPointer(); }

void SetCursorPosition(Window* window, int x, int y) {
  SDL_Window* sdl = NativeSdlWindow(window);
  if (sdl == nullptr) return;
  SDL_WarpMouseInWindow(sdl, x, y);
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
