#pragma once
// Platform-internal: the OpenGL program that draws pre-transformed vertices
// the way the device's states describe: two texture stages, alpha test,
// blending, culling, depth and the colour write mask.
#include <epoxy/gl.h>

#include <cstdint>
#include <map>

#include "platform/device_state.h"
#include "platform/graphics_device.h"

namespace plat::gl {

struct DrawInput {
  const DeviceStateTable* states = nullptr;
  GLuint textures[kDrawnStages] = {};  // 0: the stage has none
  uint32_t fvf = 0, stride = 0;
  const uint8_t* vertices = nullptr;  // the first vertex drawn
  uint32_t vertexCount = 0;
  GLenum mode = GL_TRIANGLES;
  Viewport viewport;  // positions are back-buffer pixels whatever the viewport
};

class DrawPipeline {
 public:
  // Builds the program, vertex array, stream buffer and samplers (the
  // context current); false when the program does not build.
  bool Init();
  void Release();
  // Draws into the framebuffer bound for drawing, within the GL viewport and
  // scissor the device has set.
  bool Draw(const DrawInput& input);

 private:
  struct Locations {
    GLint target = -1, stage0 = -1, stage1 = -1, hasTexture = -1, coordIndex = -1;
    GLint colourOp = -1, colourArg1 = -1, colourArg2 = -1, alphaOp = -1, alphaArg1 = -1, alphaArg2 = -1;
    GLint factor = -1, alphaTest = -1, alphaRef = -1, alphaFunc = -1;
    GLuint program = 0;
  };
  // Whether the states are the plain sprite's (stage 0 texture times
  // diffuse, or diffuse alone; stage 1 off), which the short program draws.
  static bool IsPlainSprite(const DeviceStateTable& states);
  static void Locate(GLuint program, Locations* at);
  // The plain sprite's program for the states, made on first use; null
  // when it does not build (the general program draws then).
  const Locations* PlainProgram(bool modulate, uint32_t alphaFunc, uint32_t alphaRef);
  void SetVertexLayout(uint32_t fvf, uint32_t stride);
  void SetStages(const DrawInput& input);
  void SetFixedState(const DeviceStateTable& states);

  GLuint program_ = 0;
  // The same drawing for the plain sprite without the per-pixel choice of
  // operations and arguments, one program per texture use and alpha test
  // (keyed by them): most quads of a frame are plain sprites, and a
  // software rasteriser spends nearly all of a frame in the fragment program.
  std::map<uint32_t, Locations> plainPrograms_;
  GLuint vertexArray_ = 0;
  GLuint stream_ = 0;
  GLuint samplers_[kDrawnStages] = {};
  Locations genericAt_;
  const Locations* at_ = &genericAt_;  // the program in use
};

// The number of vertices a draw of count primitives of the type uses, or 0
// for an unknown type.
uint32_t VerticesFor(uint32_t primitiveType, uint32_t primitiveCount);
// Bytes of one vertex of the format; 0 when the device cannot draw it (only
// pre-transformed positions are drawn).
uint32_t VertexSize(uint32_t fvf);

}  // namespace plat::gl
