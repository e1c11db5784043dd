// Pointer images by name and the pointer's visibility.
#include <SDL.h>

#include <cstring>

#include "platform/window.h"
#include "platform/window_internal.h"

namespace plat {
namespace {

struct AppCursor {
  const char* name;
  SDL_SystemCursor shape;
  bool blank;
  SDL_Cursor* made;
};

AppCursor g_cursors[] = {
    {"IDC_ARROWN", SDL_SYSTEM_CURSOR_ARROW, false, nullptr},
    {"IDC_BUSYN", SDL_SYSTEM_CURSOR_WAIT, false, nullptr},
    {"IDC_TARGET", SDL_SYSTEM_CURSOR_CROSSHAIR, false, nullptr},
    {"IDC_BLANK", SDL_SYSTEM_CURSOR_ARROW, true, nullptr},
};

// Until the game picks a cursor the system's own pointer shows.
bool g_chosen = false;
AppCursor* g_current = nullptr;
bool g_shown = true;

SDL_Cursor* Make(AppCursor& c) {
  if (c.made != nullptr) return c.made;
  if (!c.blank) {
    c.made = SDL_CreateSystemCursor(c.shape);
    return c.made;
  }
  SDL_Surface* clear = SDL_CreateRGBSurfaceWithFormat(0, 1, 1, 32, SDL_PIXELFORMAT_ARGB8888);
  if (clear == nullptr) return nullptr;
  SDL_FillRect(clear, nullptr, 0);  // fully transparent
  c.made = SDL_CreateColorCursor(clear, 0, 0);
  SDL_FreeSurface(clear);
  return c.made;
}

}  // namespace

void* LoadAppCursor(const char* name) {
  if (name == nullptr) return nullptr;
  for (AppCursor& c : g_cursors) {
    if (std::strcmp(c.name, name) == 0) return &c;
  }
  return nullptr;
}

void SetAppCursor(void* cursor) {
  g_chosen = true;
  g_current = nullptr;
  for (AppCursor& c : g_cursors) {
    if (&c == cursor) g_current = &c;
  }
  detail::ApplyPointerState();
}

void ShowSystemCursor(bool show) {
  g_shown = show;
  detail::ApplyPointerState();
}

void FreeAppCursors() {
  for (AppCursor& c : g_cursors) {
    // SDL puts its default pointer back when the one in use is freed.
    if (c.made != nullptr) SDL_FreeCursor(c.made);
    c.made = nullptr;
  }
}

namespace detail {

void ApplyPointerState() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
  if (g_current != nullptr) {
    // A video driver without pointer images (the offscreen one) keeps its own.
    if (SDL_Cursor* made = Make(*g_current)) SDL_SetCursor(made);
  }
  const bool visible = g_shown && (!g_chosen || g_current != nullptr);
  SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace detail
}  // namespace plat
