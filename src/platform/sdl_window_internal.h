#pragma once
// Platform-internal: the SDL window behind a window handle, for the parts of
// the platform layer that draw into it (the OpenGL device makes its context on
// it). Windows are created as OpenGL windows; no context is made here.
#include <SDL.h>

#include "platform/messages.h"
#include "platform/picture_fit.h"

namespace plat {

// Null for an invalid or destroyed window.
SDL_Window* NativeSdlWindow(Window* window);
// Where the back buffer's picture sits in the window (window pixels).
PictureFit WindowPictureFit(Window* window);

}  // namespace plat
