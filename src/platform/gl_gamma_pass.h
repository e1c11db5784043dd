#pragma once
// Platform-internal: the pass that shows the back buffer in the window. Each
// colour channel of every pixel is looked up in the gamma ramp (the high byte
// of the 16-bit entry is the shown level, as display hardware takes it), so
// gamma fades work windowed and full screen alike. The image is turned the
// right way up here (the back buffer is stored top row first) and scaled
// into the window with its aspect kept, black bars beside it. Whole-number
// scales are drawn with nearest filtering (text stays crisp), others with
// linear filtering (no uneven pixel columns).
#include <epoxy/gl.h>

#include <cstdint>

#include "platform/graphics_device.h"

namespace plat::gl {

class GammaPass {
 public:
  // Compiles the program and makes the ramp texture (identity ramp). Needs a
  // current context; false when the program does not build.
  bool Init();
  // Frees what Init made (the context must be current).
  void Release();
  // Takes effect at the next Draw.
  void SetRamp(const GammaRamp& ramp);
  // Draws the texture into the default framebuffer of the given drawable
  // size, fitted with its aspect kept; the rest is black. GL state it touches is put back, except the draw
  // framebuffer, viewport and scissor, which the caller sets again.
  void Draw(GLuint sourceTexture, uint32_t sourceWidth, uint32_t sourceHeight, int drawableWidth, int drawableHeight);

 private:
  void UploadRamp();
  GLuint program_ = 0;
  GLuint vertexArray_ = 0;
  GLuint rampTexture_ = 0;
  GLint sourceLocation_ = -1;
  GLint rampLocation_ = -1;
  uint16_t rampTexels_[256 * 3] = {};
  bool rampDirty_ = true;
};

}  // namespace plat::gl
