#include "platform/gl_gamma_pass.h"
#include "platform/gl_program.h"
#include "platform/picture_fit.h"

namespace plat::gl {
namespace {

// Texture units of the pass, above the two stages the game draws with, so
// presenting never disturbs what the drawing code has bound.
constexpr GLint kSourceUnit = 14;
constexpr GLint kRampUnit = 15;

// One triangle that covers the whole target: (0,0), (2,0), (0,2) in uv.
constexpr const char* kVertexSource = R"(#version 330 core
out vec2 uv;
void main() {
  vec2 p = vec2(float((gl_VertexID << 1) & 2), float(gl_VertexID & 2));
  uv = p;
  gl_Position = vec4(p * 2.0 - 1.0, 0.0, 1.0);
}
)";

// The window's bottom row shows the back buffer's last row.
constexpr const char* kFragmentSource = R"(#version 330 core
in vec2 uv;
uniform sampler2D source;
uniform usampler2D ramp;
out vec4 colour;
void main() {
  vec4 c = texture(source, vec2(uv.x, 1.0 - uv.y));
  ivec3 level = ivec3(clamp(c.rgb * 255.0 + 0.5, 0.0, 255.0));
  uint r = texelFetch(ramp, ivec2(level.r, 0), 0).r;
  uint g = texelFetch(ramp, ivec2(level.g, 0), 0).g;
  uint b = texelFetch(ramp, ivec2(level.b, 0), 0).b;
  colour = vec4(vec3(uvec3(r, g, b) >> 8u) / 255.0, 1.0);
}
)";

// The GL state the pass changes and gives back.
struct SavedState {
  GLint program = 0, vertexArray = 0, activeTexture = 0;
  GLint sourceUnitTexture = 0, rampUnitTexture = 0;
  GLboolean blend = GL_FALSE, depthTest = GL_FALSE, stencilTest = GL_FALSE, cullFace = GL_FALSE;
  GLboolean colourMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};

  void Save() {
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
    glActiveTexture(GL_TEXTURE0 + kSourceUnit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &sourceUnitTexture);
    glActiveTexture(GL_TEXTURE0 + kRampUnit);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &rampUnitTexture);
    blend = glIsEnabled(GL_BLEND);
    depthTest = glIsEnabled(GL_DEPTH_TEST);
    stencilTest = glIsEnabled(GL_STENCIL_TEST);
    cullFace = glIsEnabled(GL_CULL_FACE);
    glGetBooleanv(GL_COLOR_WRITEMASK, colourMask);
  }

  static void Toggle(GLenum cap, GLboolean on) {
    if (on)
      glEnable(cap);
    else
      glDisable(cap);
  }

  void Restore() const {
    glActiveTexture(GL_TEXTURE0 + kSourceUnit);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(sourceUnitTexture));
    glActiveTexture(GL_TEXTURE0 + kRampUnit);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(rampUnitTexture));
    glActiveTexture(static_cast<GLenum>(activeTexture));
    glUseProgram(static_cast<GLuint>(program));
    glBindVertexArray(static_cast<GLuint>(vertexArray));
    Toggle(GL_BLEND, blend);
    Toggle(GL_DEPTH_TEST, depthTest);
    Toggle(GL_STENCIL_TEST, stencilTest);
    Toggle(GL_CULL_FACE, cullFace);
    glColorMask(colourMask[0], colourMask[1], colourMask[2], colourMask[3]);
  }
};

}  // namespace

bool GammaPass::Init() {
  program_ = LinkProgram(kVertexSource, kFragmentSource);
  if (!program_) return false;
  sourceLocation_ = glGetUniformLocation(program_, "source");
  rampLocation_ = glGetUniformLocation(program_, "ramp");
  glGenVertexArrays(1, &vertexArray_);
  glGenTextures(1, &rampTexture_);

  GLint previousActive = 0, previousTexture = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &previousActive);
  glActiveTexture(GL_TEXTURE0 + kRampUnit);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
  glBindTexture(GL_TEXTURE_2D, rampTexture_);
  // Integer textures are only complete with nearest filtering.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16UI, 256, 1, 0, GL_RGB_INTEGER, GL_UNSIGNED_SHORT, nullptr);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
  glActiveTexture(static_cast<GLenum>(previousActive));

  GammaRamp identity;
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<uint16_t>(i * 257);
    identity.red[i] = identity.green[i] = identity.blue[i] = v;
  }
  SetRamp(identity);
  return glGetError() == GL_NO_ERROR;
}

void GammaPass::Release() {
  if (rampTexture_) glDeleteTextures(1, &rampTexture_);
  if (vertexArray_) glDeleteVertexArrays(1, &vertexArray_);
  if (program_) glDeleteProgram(program_);
  rampTexture_ = vertexArray_ = program_ = 0;
}

void GammaPass::SetRamp(const GammaRamp& ramp) {
  for (int i = 0; i < 256; ++i) {
    rampTexels_[i * 3 + 0] = ramp.red[i];
    rampTexels_[i * 3 + 1] = ramp.green[i];
    rampTexels_[i * 3 + 2] = ramp.blue[i];
  }
  rampDirty_ = true;
}

void GammaPass::UploadRamp() {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 256, 1, GL_RGB_INTEGER, GL_UNSIGNED_SHORT, rampTexels_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  rampDirty_ = false;
}

void GammaPass::Draw(GLuint sourceTexture, uint32_t sourceWidth, uint32_t sourceHeight, int drawableWidth,
                     int drawableHeight) {
  if (!program_ || drawableWidth <= 0 || drawableHeight <= 0) return;
  SavedState saved;
  saved.Save();

  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_CULL_FACE);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  const PictureFit fit = FitPicture(static_cast<int32_t>(sourceWidth), static_cast<int32_t>(sourceHeight),
                                    drawableWidth, drawableHeight);
  if (fit.width != drawableWidth || fit.height != drawableHeight) {
    glViewport(0, 0, drawableWidth, drawableHeight);
    GLfloat previousClear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, previousClear);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(previousClear[0], previousClear[1], previousClear[2], previousClear[3]);
  }
  // GL counts rows from the bottom; the fit's top bar is as tall as its bottom one, give or take a pixel.
  glViewport(fit.left, drawableHeight - fit.top - fit.height, fit.width, fit.height);
  const GLint filter = fit.WholeScale() ? GL_NEAREST : GL_LINEAR;
  glActiveTexture(GL_TEXTURE0 + kSourceUnit);
  glBindTexture(GL_TEXTURE_2D, sourceTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glActiveTexture(GL_TEXTURE0 + kRampUnit);
  glBindTexture(GL_TEXTURE_2D, rampTexture_);
  if (rampDirty_) UploadRamp();

  glUseProgram(program_);
  glUniform1i(sourceLocation_, kSourceUnit);
  glUniform1i(rampLocation_, kRampUnit);
  glBindVertexArray(vertexArray_);
  glDrawArrays(GL_TRIANGLES, 0, 3);

  saved.Restore();
}

}  // namespace plat::gl
