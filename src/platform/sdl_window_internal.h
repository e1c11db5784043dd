#pragma once
// Platform-internal: the SDL window behind a window handle, for the parts of
// the platform layer that draw into it (the OpenGL device makes its context on
// it). Windows are created as OpenGL windows; no context is made here.
#include <SDL.h>

#include "platform/messages.h"

namespace plat {

// Null for an invalid or destroyed window.
SDL_Window* NativeSdlWindow(Window* window);

}  // namespace plat
