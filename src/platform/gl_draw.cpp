#include "platform/gl_draw.h"
#include "platform/gl_program.h"

#include <string>

namespace plat::gl {
namespace {

// Positions are back-buffer pixels with pixel centres on whole numbers; GL
// puts them half a pixel further on, and counts from the viewport's corner,
// so the shader adds the half and takes the viewport's corner back out: the
// viewport clips without moving anything.
constexpr const char* kVertexSource = R"(#version 330 core
layout(location = 0) in vec4 position;
layout(location = 1) in vec4 diffuse;
layout(location = 2) in vec2 coords0;
layout(location = 3) in vec2 coords1;
uniform vec4 target;
out vec4 colour;
out vec2 uv0;
out vec2 uv1;
void main() {
  float w = position.w > 0.0 ? 1.0 / position.w : 1.0;
  vec2 ndc = (position.xy + 0.5 - target.xy) / target.zw * 2.0 - 1.0;
  gl_Position = vec4(ndc, position.z * 2.0 - 1.0, 1.0) * w;
  colour = diffuse;
  uv0 = coords0;
  uv1 = coords1;
}
)";

// The alpha test, shared by both fragment programs: a fragment whose alpha
// (as a byte) fails the comparison with the reference is discarded.
constexpr const char* kAlphaTestSource = R"(
uniform int alphaTest;
uniform int alphaRef;
uniform int alphaFunc;

bool Passes(int a) {
  if (alphaFunc == 1) return false;
  if (alphaFunc == 2) return a < alphaRef;
  if (alphaFunc == 3) return a == alphaRef;
  if (alphaFunc == 4) return a <= alphaRef;
  if (alphaFunc == 5) return a > alphaRef;
  if (alphaFunc == 6) return a != alphaRef;
  if (alphaFunc == 7) return a >= alphaRef;
  return true;
}

void Emit(vec4 current) {
  current = clamp(current, 0.0, 1.0);
  if (alphaTest != 0 && !Passes(int(floor(current.a * 255.0 + 0.5)))) discard;
  result = current;
}
)";

// The two stages: each combines its arguments (diffuse, the result so far,
// its texture, the texture factor) by its operation, colour and alpha apart.
// A disabled stage ends the chain. A stage without a texture reads white.
constexpr const char* kFragmentSource = R"(#version 330 core
in vec4 colour;
in vec2 uv0;
in vec2 uv1;
uniform sampler2D stage0;
uniform sampler2D stage1;
uniform int hasTexture[2];
uniform int coordIndex[2];
uniform int colourOp[2];
uniform int colourArg1[2];
uniform int colourArg2[2];
uniform int alphaOp[2];
uniform int alphaArg1[2];
uniform int alphaArg2[2];
uniform vec4 factor;
out vec4 result;

vec4 Arg(int arg, vec4 current, vec4 texel) {
  int which = arg & 15;
  vec4 v = which == 0 ? colour : which == 1 ? current : which == 2 ? texel : which == 3 ? factor : vec4(0.0);
  if ((arg & 16) != 0) v = vec4(1.0) - v;
  if ((arg & 32) != 0) v = vec4(v.a);
  return v;
}

vec4 Combine(int op, vec4 a, vec4 b) {
  if (op == 2) return a;
  if (op == 3) return b;
  if (op == 5) return min(a * b * 2.0, vec4(1.0));
  if (op == 6) return min(a * b * 4.0, vec4(1.0));
  if (op == 7) return min(a + b, vec4(1.0));
  if (op == 8) return clamp(a + b - 0.5, 0.0, 1.0);
  if (op == 9) return clamp((a + b - 0.5) * 2.0, 0.0, 1.0);
  if (op == 10) return clamp(a - b, 0.0, 1.0);
  return a * b;
}

vec4 Stage(int s, vec4 current, vec4 texel) {
  vec3 c = Combine(colourOp[s], Arg(colourArg1[s], current, texel), Arg(colourArg2[s], current, texel)).rgb;
  float a = alphaOp[s] == 1 ? current.a
                            : Combine(alphaOp[s], Arg(alphaArg1[s], current, texel), Arg(alphaArg2[s], current, texel)).a;
  return vec4(c, a);
}
)";

constexpr const char* kFragmentMain = R"(
void main() {
  vec4 current = colour;
  if (colourOp[0] != 1) {
    vec4 t0 = hasTexture[0] != 0 ? texture(stage0, coordIndex[0] == 1 ? uv1 : uv0) : vec4(1.0);
    current = Stage(0, current, t0);
    if (colourOp[1] != 1) {
      vec4 t1 = hasTexture[1] != 0 ? texture(stage1, coordIndex[1] == 0 ? uv0 : uv1) : vec4(1.0);
      current = Stage(1, current, t1);
    }
  }
  Emit(current);
}
)";

// The plain sprite: the texel times the diffuse colour (the same product,
// operand for operand, as the two-stage program's modulate), or the
// diffuse colour alone, with the alpha test's comparison written in. A
// software rasteriser runs every branch of a fragment program for every
// pixel, whether a uniform takes it or not, so each combination of these
// states is a program of its own with nothing left to choose per pixel.
constexpr const char* kPlainFragmentSource = R"(
in vec4 colour;
in vec2 uv0;
uniform sampler2D stage0;
out vec4 result;

void main() {
#if MODULATE
  vec4 current = clamp(texture(stage0, uv0) * colour, 0.0, 1.0);
#else
  vec4 current = clamp(colour, 0.0, 1.0);
#endif
#ifdef PASSES
  int a = int(floor(current.a * 255.0 + 0.5));
  if (!(PASSES)) discard;
#endif
  result = current;
}
)";

// The alpha test's comparison of the fragment's alpha byte a with the
// reference, as the program's condition; empty when every fragment passes.
std::string AlphaCondition(uint32_t func, uint32_t ref) {
  const std::string r = std::to_string(ref);
  switch (func) {
    case kCmpNever:
      return "false";
    case kCmpLess:
      return "a < " + r;
    case kCmpEqual:
      return "a == " + r;
    case kCmpLessEqual:
      return "a <= " + r;
    case kCmpGreater:
      return "a > " + r;
    case kCmpNotEqual:
      return "a != " + r;
    case kCmpGreaterEqual:
      return "a >= " + r;
    default:
      return {};
  }
}

GLenum BlendFactor(uint32_t blend) {
  switch (blend) {
    case kBlendZero:
      return GL_ZERO;
    case kBlendSrcColour:
      return GL_SRC_COLOR;
    case kBlendInvSrcColour:
      return GL_ONE_MINUS_SRC_COLOR;
    case kBlendSrcAlpha:
      return GL_SRC_ALPHA;
    case kBlendInvSrcAlpha:
      return GL_ONE_MINUS_SRC_ALPHA;
    case kBlendDestAlpha:
      return GL_DST_ALPHA;
    case kBlendInvDestAlpha:
      return GL_ONE_MINUS_DST_ALPHA;
    case kBlendDestColour:
      return GL_DST_COLOR;
    case kBlendInvDestColour:
      return GL_ONE_MINUS_DST_COLOR;
    case kBlendSrcAlphaSat:
      return GL_SRC_ALPHA_SATURATE;
    default:
      return GL_ONE;
  }
}

GLenum BlendEquation(uint32_t op) {
  switch (op) {
    case kBlendOpSubtract:
      return GL_FUNC_SUBTRACT;
    case kBlendOpRevSubtract:
      return GL_FUNC_REVERSE_SUBTRACT;
    case kBlendOpMin:
      return GL_MIN;
    case kBlendOpMax:
      return GL_MAX;
    default:
      return GL_FUNC_ADD;
  }
}

GLenum Comparison(uint32_t cmp) {
  switch (cmp) {
    case kCmpNever:
      return GL_NEVER;
    case kCmpLess:
      return GL_LESS;
    case kCmpEqual:
      return GL_EQUAL;
    case kCmpLessEqual:
      return GL_LEQUAL;
    case kCmpGreater:
      return GL_GREATER;
    case kCmpNotEqual:
      return GL_NOTEQUAL;
    case kCmpGreaterEqual:
      return GL_GEQUAL;
    default:
      return GL_ALWAYS;
  }
}

GLint Addressing(uint32_t address) {
  switch (address) {
    case kTaddressWrap:
      return GL_REPEAT;
    case kTaddressMirror:
      return GL_MIRRORED_REPEAT;
    case kTaddressBorder:
      return GL_CLAMP_TO_BORDER;
    default:
      return GL_CLAMP_TO_EDGE;
  }
}

GLint Filter(uint32_t filter) { return filter == kTexfLinear || filter == kTexfAnisotropic ? GL_LINEAR : GL_NEAREST; }

void Toggle(GLenum cap, bool on) {
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
}

}  // namespace

uint32_t VerticesFor(uint32_t primitiveType, uint32_t primitiveCount) {
  switch (primitiveType) {
    case kPrimPointList:
      return primitiveCount;
    case kPrimLineList:
      return primitiveCount * 2;
    case kPrimLineStrip:
      return primitiveCount + 1;
    case kPrimTriangleList:
      return primitiveCount * 3;
    case kPrimTriangleStrip:
    case kPrimTriangleFan:
      return primitiveCount + 2;
    default:
      return 0;
  }
}

uint32_t VertexSize(uint32_t fvf) {
  if ((fvf & kFvfPositionMask) != kFvfXyzRhw) return 0;
  if (fvf & ~(kFvfPositionMask | kFvfDiffuse | kFvfSpecular | kFvfTexCountMask)) return 0;
  const uint32_t texCount = (fvf & kFvfTexCountMask) >> kFvfTexCountShift;
  if (texCount > 8) return 0;
  uint32_t size = 16;
  if (fvf & kFvfDiffuse) size += 4;
  if (fvf & kFvfSpecular) size += 4;
  return size + texCount * 8;
}

// A uniform the program does not have stays at -1, which GL ignores.
void DrawPipeline::Locate(GLuint program, Locations* at) {
  at->target = glGetUniformLocation(program, "target");
  at->stage0 = glGetUniformLocation(program, "stage0");
  at->stage1 = glGetUniformLocation(program, "stage1");
  at->hasTexture = glGetUniformLocation(program, "hasTexture");
  at->coordIndex = glGetUniformLocation(program, "coordIndex");
  at->colourOp = glGetUniformLocation(program, "colourOp");
  at->colourArg1 = glGetUniformLocation(program, "colourArg1");
  at->colourArg2 = glGetUniformLocation(program, "colourArg2");
  at->alphaOp = glGetUniformLocation(program, "alphaOp");
  at->alphaArg1 = glGetUniformLocation(program, "alphaArg1");
  at->alphaArg2 = glGetUniformLocation(program, "alphaArg2");
  at->factor = glGetUniformLocation(program, "factor");
  at->alphaTest = glGetUniformLocation(program, "alphaTest");
  at->alphaRef = glGetUniformLocation(program, "alphaRef");
  at->alphaFunc = glGetUniformLocation(program, "alphaFunc");
}

bool DrawPipeline::IsPlainSprite(const DeviceStateTable& st) {
  if (st.stage(1, kTssColourOp) != kTopDisable || (st.stage(0, kTssTexCoordIndex) & 0xFFFFu) != 0) return false;
  const uint32_t cop = st.stage(0, kTssColourOp), aop = st.stage(0, kTssAlphaOp);
  const uint32_t ca1 = st.stage(0, kTssColourArg1), ca2 = st.stage(0, kTssColourArg2);
  const uint32_t aa1 = st.stage(0, kTssAlphaArg1), aa2 = st.stage(0, kTssAlphaArg2);
  const bool modulate = cop == kTopModulate && ca1 == kTaTexture && ca2 == kTaDiffuse && aop == kTopModulate &&
                        aa1 == kTaTexture && aa2 == kTaDiffuse;
  const bool diffuse = cop == kTopSelectArg1 && ca1 == kTaDiffuse && aop == kTopSelectArg1 && aa1 == kTaDiffuse;
  return modulate || diffuse;
}

const DrawPipeline::Locations* DrawPipeline::PlainProgram(bool modulate, uint32_t alphaFunc, uint32_t alphaRef) {
  const std::string condition = AlphaCondition(alphaFunc, alphaRef & 0xFFu);
  const uint32_t key = (modulate ? 1u : 0u) | (condition.empty() ? 0u : (alphaFunc & 0xFu) << 1 | (alphaRef & 0xFFu) << 8);
  const auto found = plainPrograms_.find(key);
  if (found != plainPrograms_.end()) return found->second.program ? &found->second : nullptr;
  std::string source = std::string("#version 330 core\n#define MODULATE ") + (modulate ? "1" : "0") + "\n";
  if (!condition.empty()) source += "#define PASSES " + condition + "\n";
  source += kPlainFragmentSource;
  Locations& made = plainPrograms_[key];  // a program that failed stays 0 and is not tried again
  const GLuint program = LinkProgram(kVertexSource, source.c_str());
  if (!program) return nullptr;
  Locate(program, &made);
  made.program = program;
  return &made;
}

bool DrawPipeline::Init() {
  const std::string generic = std::string(kFragmentSource) + kAlphaTestSource + kFragmentMain;
  program_ = LinkProgram(kVertexSource, generic.c_str());
  if (!program_) return false;
  Locate(program_, &genericAt_);
  genericAt_.program = program_;
  // The textured sprite over the 2D states, made now so that a program that
  // does not build shows at once.
  if (!PlainProgram(1, kCmpGreaterEqual, 8)) return false;
  glGenVertexArrays(1, &vertexArray_);
  glGenBuffers(1, &stream_);
  glGenSamplers(kDrawnStages, samplers_);
  return glGetError() == GL_NO_ERROR;
}

void DrawPipeline::Release() {
  if (samplers_[0]) glDeleteSamplers(kDrawnStages, samplers_);
  if (stream_) glDeleteBuffers(1, &stream_);
  if (vertexArray_) glDeleteVertexArrays(1, &vertexArray_);
  if (program_) glDeleteProgram(program_);
  for (auto& [key, plain] : plainPrograms_)
    if (plain.program) glDeleteProgram(plain.program);
  plainPrograms_.clear();
  program_ = vertexArray_ = stream_ = 0;
  for (GLuint& s : samplers_) s = 0;
}

void DrawPipeline::SetVertexLayout(uint32_t fvf, uint32_t stride) {
  const auto s = static_cast<GLsizei>(stride);
  uintptr_t offset = 0;
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, s, reinterpret_cast<const void*>(offset));
  offset += 16;
  if (fvf & kFvfDiffuse) {
    // A colour word's bytes are blue, green, red, alpha.
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, s, reinterpret_cast<const void*>(offset));
    offset += 4;
  } else {
    glDisableVertexAttribArray(1);
    glVertexAttrib4f(1, 1.0f, 1.0f, 1.0f, 1.0f);  // opaque white
  }
  if (fvf & kFvfSpecular) offset += 4;
  const uint32_t texCount = (fvf & kFvfTexCountMask) >> kFvfTexCountShift;
  for (GLuint set = 0; set < 2; ++set) {
    const GLuint location = 2 + set;
    if (set < texCount) {
      glEnableVertexAttribArray(location);
      glVertexAttribPointer(location, 2, GL_FLOAT, GL_FALSE, s, reinterpret_cast<const void*>(offset));
      offset += 8;
    } else {
      glDisableVertexAttribArray(location);
      glVertexAttrib2f(location, 0.0f, 0.0f);
    }
  }
}

void DrawPipeline::SetStages(const DrawInput& input) {
  const DeviceStateTable& st = *input.states;
  GLint has[kDrawnStages], coord[kDrawnStages], cop[kDrawnStages], ca1[kDrawnStages], ca2[kDrawnStages];
  GLint aop[kDrawnStages], aa1[kDrawnStages], aa2[kDrawnStages];
  for (uint32_t s = 0; s < kDrawnStages; ++s) {
    glActiveTexture(GL_TEXTURE0 + s);
    glBindTexture(GL_TEXTURE_2D, input.textures[s]);
    glBindSampler(s, samplers_[s]);
    glSamplerParameteri(samplers_[s], GL_TEXTURE_MIN_FILTER, Filter(st.stage(s, kTssMinFilter)));
    glSamplerParameteri(samplers_[s], GL_TEXTURE_MAG_FILTER, Filter(st.stage(s, kTssMagFilter)));
    glSamplerParameteri(samplers_[s], GL_TEXTURE_WRAP_S, Addressing(st.stage(s, kTssAddressU)));
    glSamplerParameteri(samplers_[s], GL_TEXTURE_WRAP_T, Addressing(st.stage(s, kTssAddressV)));
    const uint32_t border = st.stage(s, kTssBorderColour);
    const GLfloat borderColour[4] = {static_cast<GLfloat>((border >> 16) & 0xFFu) / 255.0f,
                                     static_cast<GLfloat>((border >> 8) & 0xFFu) / 255.0f,
                                     static_cast<GLfloat>(border & 0xFFu) / 255.0f,
                                     static_cast<GLfloat>(border >> 24) / 255.0f};
    glSamplerParameterfv(samplers_[s], GL_TEXTURE_BORDER_COLOR, borderColour);
    has[s] = input.textures[s] != 0;
    coord[s] = static_cast<GLint>(st.stage(s, kTssTexCoordIndex) & 0xFFFFu);
    cop[s] = static_cast<GLint>(st.stage(s, kTssColourOp));
    ca1[s] = static_cast<GLint>(st.stage(s, kTssColourArg1));
    ca2[s] = static_cast<GLint>(st.stage(s, kTssColourArg2));
    aop[s] = static_cast<GLint>(st.stage(s, kTssAlphaOp));
    aa1[s] = static_cast<GLint>(st.stage(s, kTssAlphaArg1));
    aa2[s] = static_cast<GLint>(st.stage(s, kTssAlphaArg2));
  }
  glUniform1i(at_->stage0, 0);
  glUniform1i(at_->stage1, 1);
  glUniform1iv(at_->hasTexture, kDrawnStages, has);
  glUniform1iv(at_->coordIndex, kDrawnStages, coord);
  glUniform1iv(at_->colourOp, kDrawnStages, cop);
  glUniform1iv(at_->colourArg1, kDrawnStages, ca1);
  glUniform1iv(at_->colourArg2, kDrawnStages, ca2);
  glUniform1iv(at_->alphaOp, kDrawnStages, aop);
  glUniform1iv(at_->alphaArg1, kDrawnStages, aa1);
  glUniform1iv(at_->alphaArg2, kDrawnStages, aa2);
  const uint32_t f = st.render(kRsTextureFactor);
  glUniform4f(at_->factor, static_cast<GLfloat>((f >> 16) & 0xFFu) / 255.0f,
              static_cast<GLfloat>((f >> 8) & 0xFFu) / 255.0f, static_cast<GLfloat>(f & 0xFFu) / 255.0f,
              static_cast<GLfloat>(f >> 24) / 255.0f);
}

void DrawPipeline::SetFixedState(const DeviceStateTable& st) {
  glUniform1i(at_->alphaTest, st.render(kRsAlphaTestEnable) != 0);
  glUniform1i(at_->alphaRef, static_cast<GLint>(st.render(kRsAlphaRef) & 0xFFu));
  glUniform1i(at_->alphaFunc, static_cast<GLint>(st.render(kRsAlphaFunc)));

  Toggle(GL_BLEND, st.render(kRsAlphaBlendEnable) != 0);
  glBlendFunc(BlendFactor(st.render(kRsSrcBlend)), BlendFactor(st.render(kRsDestBlend)));
  glBlendEquation(BlendEquation(st.render(kRsBlendOp)));

  Toggle(GL_DEPTH_TEST, st.render(kRsZEnable) != 0);
  glDepthFunc(Comparison(st.render(kRsZFunc)));
  glDepthMask(st.render(kRsZWriteEnable) != 0 ? GL_TRUE : GL_FALSE);
  glDisable(GL_STENCIL_TEST);

  // Back-buffer rows are GL rows, so clockwise on the screen is
  // counter-clockwise to GL.
  const uint32_t cull = st.render(kRsCullMode);
  Toggle(GL_CULL_FACE, cull == kCullCw || cull == kCullCcw);
  glFrontFace(GL_CCW);
  glCullFace(cull == kCullCw ? GL_FRONT : GL_BACK);

  const uint32_t fill = st.render(kRsFillMode);
  glPolygonMode(GL_FRONT_AND_BACK, fill == kFillPoint ? GL_POINT : fill == kFillWireframe ? GL_LINE : GL_FILL);

  const uint32_t mask = st.render(kRsColourWriteEnable);
  glColorMask((mask & 1) ? GL_TRUE : GL_FALSE, (mask & 2) ? GL_TRUE : GL_FALSE, (mask & 4) ? GL_TRUE : GL_FALSE,
              (mask & 8) ? GL_TRUE : GL_FALSE);
}

bool DrawPipeline::Draw(const DrawInput& input) {
  if (!program_ || !input.states || input.vertexCount == 0) return false;
  if (input.viewport.width == 0 || input.viewport.height == 0) return true;  // nothing can show
  const DeviceStateTable& st = *input.states;
  const Locations* plain = nullptr;
  if (IsPlainSprite(st)) {
    const bool modulate = st.stage(0, kTssColourOp) == kTopModulate && input.textures[0] != 0;
    const uint32_t func = st.render(kRsAlphaTestEnable) != 0 ? st.render(kRsAlphaFunc) : kCmpAlways;
    plain = PlainProgram(modulate, func, st.render(kRsAlphaRef));
  }
  at_ = plain ? plain : &genericAt_;
  glUseProgram(plain ? plain->program : program_);
  glBindVertexArray(vertexArray_);
  glBindBuffer(GL_ARRAY_BUFFER, stream_);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(size_t{input.vertexCount} * input.stride), input.vertices,
               GL_STREAM_DRAW);
  SetVertexLayout(input.fvf, input.stride);
  glUniform4f(at_->target, static_cast<GLfloat>(input.viewport.x), static_cast<GLfloat>(input.viewport.y),
              static_cast<GLfloat>(input.viewport.width), static_cast<GLfloat>(input.viewport.height));
  SetStages(input);
  SetFixedState(*input.states);
  glDrawArrays(input.mode, 0, static_cast<GLsizei>(input.vertexCount));
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  return glGetError() == GL_NO_ERROR;
}

}  // namespace plat::gl
