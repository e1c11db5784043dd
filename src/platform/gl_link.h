#pragma once
// Platform-internal: what an OpenGL device and the resources it made share.
// Resources outlive their device safely: once the device is gone (alive
// false) they let go of nothing, because deleting the context freed it all.
#include <SDL.h>

#include <cstdint>

#include "platform/gl_backbuffer.h"
#include "platform/messages.h"

namespace plat::gl {

struct DeviceLink {
  Window* window = nullptr;
  SDL_GLContext context = nullptr;
  bool alive = true;
  BackBuffer backBuffer;
  int32_t backBufferFormat = 0;
  // Device resets so far: a default-pool texture made before the latest one
  // has lost its contents.
  uint64_t resets = 0;

  // Makes the context current on the window; null when the window or the
  // device is gone.
  SDL_Window* MakeCurrent();
};

}  // namespace plat::gl
