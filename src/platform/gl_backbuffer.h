#pragma once
// Platform-internal: the offscreen framebuffer that is the device's back
// buffer. Back-buffer row y is GL row y: the image is stored top row first,
// so viewports, scissors and read-backs use the game's coordinates unchanged
// and only the present pass turns the image the right way up.
#include <epoxy/gl.h>

#include <cstdint>

namespace plat::gl {

struct BackBuffer {
  GLuint framebuffer = 0;
  GLuint colour = 0;        // RGBA8 texture, sampled by the present pass
  GLuint depthStencil = 0;  // DEPTH24_STENCIL8 renderbuffer
  uint32_t width = 0, height = 0;
};

// Makes a complete framebuffer of the size, cleared to zero (depth 1,
// stencil 0), and leaves it bound. On failure nothing is left behind and
// *out is untouched.
bool CreateBackBuffer(uint32_t width, uint32_t height, BackBuffer* out);
void DestroyBackBuffer(BackBuffer* buffer);

}  // namespace plat::gl
