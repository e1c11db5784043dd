// The OpenGL 3.3 core device on SDL.
//
// GL state kept between calls, on the device's context: the back buffer's
// framebuffer bound for drawing and reading, and both the GL viewport and the
// scissor rectangle (scissor test on) equal to the device viewport, with the
// depth range its minZ..maxZ. Back-buffer row y is GL row y (the image is
// stored top row first), so the game's top-left coordinates are used as they
// are; only the present pass turns the image the right way up.
//
// The GL driver computes colours in floating point; the calls run under
// round-to-nearest so that a colour survives the trip exactly whatever
// rounding mode the game's thread is in. A software driver shades on threads
// of its own that take the rounding mode of the thread that made the
// context, so the context is made under round-to-nearest too.
#include "platform/graphics_gl.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstdint>
#include <new>

#include "platform/device_state.h"
#include "platform/fpenv.h"
#include "platform/gl_backbuffer.h"
#include "platform/gl_cursor.h"
#include "platform/gl_draw.h"
#include "platform/gl_gamma_pass.h"
#include "platform/gl_link.h"
#include "platform/gl_texture.h"
#include "platform/pixel_formats.h"
#include "platform/sdl_window_internal.h"
#include "platform/window.h"

namespace plat {
namespace {

GraphicsSystemFactory g_factory = nullptr;

// GL has no portable query for free video memory: drivers that offer one of
// the two common extensions are asked; the rest (software drivers among them)
// report a figure that keeps every high-resolution image set on.
constexpr uint32_t kReportedTextureMemory = 256u * 1024u * 1024u;
constexpr GLenum kNvxCurrentAvailableVidmem = 0x9049;  // GL_NVX_gpu_memory_info, kilobytes
constexpr GLenum kAtiTextureFreeMemory = 0x87FC;       // GL_ATI_meminfo, kilobytes first

uint32_t KilobytesToBytes(GLint kb) {
  const uint64_t bytes = static_cast<uint64_t>(std::max<GLint>(kb, 0)) * 1024u;
  return bytes > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(bytes);
}

constexpr uint32_t kPresentIntervalImmediate = 0x80000000u;

// A display takes the formats a surface can hold; the back buffer is RGBA8
// inside whatever it reports.
bool IsDisplayableFormat(int32_t format) { return IsSurfaceFormat(format); }

void RequestCoreContext() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
}

uint32_t AdapterCount() {
  const int n = SDL_GetNumVideoDisplays();
  return n < 1 ? 1u : static_cast<uint32_t>(n);
}

float UnitColour(uint32_t colour, int shift) { return static_cast<float>((colour >> shift) & 0xFFu) / 255.0f; }

// A texture bound to a stage: the device's handle for records, and the image
// that keeps it drawable even if the texture is deleted while bound.
struct BoundTexture {
  DeviceTexture* texture = nullptr;
  std::shared_ptr<gl::TextureImage> image;
};

class GlDevice final : public GraphicsDevice {
 public:
  GlDevice(Window* window, SDL_GLContext context) : link_(std::make_shared<gl::DeviceLink>()) {
    link_->window = window;
    link_->context = context;
  }
  ~GlDevice() override;

  // Sets up the back buffer, the present pass and the drawing program; false
  // when any fails.
  bool Init(const PresentParams& params);

  Status GetDeviceCaps(DeviceCaps* caps) override;
  Status GetBackBufferDesc(SurfaceDesc* desc) override;
  uint32_t GetAvailableTextureMem() override;
  Status GetViewport(Viewport* viewport) override;
  Status SetViewport(const Viewport& viewport) override;
  void GetGammaRamp(GammaRamp* ramp) override;
  void SetGammaRamp(uint32_t flags, const GammaRamp& ramp) override;
  Status Clear(uint32_t count, const ClearRect* rects, uint32_t flags, uint32_t colour, float z,
               uint32_t stencil) override;
  Status BeginScene() override;
  Status EndScene() override;
  Status Present() override;
  Status Reset(const PresentParams& params) override;
  Status ReadBackBuffer(std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height) override;
  Status ReadFrontBuffer(std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height) override;

  Status CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, int32_t format, uint32_t pool,
                       DeviceTexture** texture) override;
  Status GetBackBuffer(Surface** surface) override;

  Status SetRenderState(uint32_t state, uint32_t value) override { return states_.SetRenderState(state, value); }
  Status GetRenderState(uint32_t state, uint32_t* value) override { return states_.GetRenderState(state, value); }
  Status SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override {
    return states_.SetTextureStageState(stage, type, value);
  }
  Status GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value) override {
    return states_.GetTextureStageState(stage, type, value);
  }
  Status SetTexture(uint32_t stage, DeviceTexture* texture) override;
  Status SetPixelShader(uint32_t handle) override { return handle == 0 ? kOk : kInvalidArg; }
  Status BeginStateBlock() override { return states_.BeginStateBlock(); }
  Status EndStateBlock(uint32_t* token) override { return states_.EndStateBlock(token); }
  Status ApplyStateBlock(uint32_t token) override { return states_.ApplyStateBlock(token); }
  Status DeleteStateBlock(uint32_t token) override { return states_.DeleteStateBlock(token); }

  Status SetVertexShader(uint32_t fvf) override;
  Status SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) override;
  Status DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) override;
  void SetDrawHook(DrawHook hook) override { hook_ = std::move(hook); }

  Status SetCursorProperties(uint32_t hotX, uint32_t hotY, Surface* image) override {
    return cursor_.SetImage(hotX, hotY, image);
  }
  void SetCursorPosition(int32_t x, int32_t y, uint32_t) override { cursor_.SetPosition(x, y); }
  bool ShowCursor(bool show) override { return cursor_.Show(show); }
  void GetCursorState(DeviceCursorState* state) override { cursor_.GetState(state); }

 private:
  // The SDL window with the context current on it; null when the window is gone.
  SDL_Window* MakeCurrent() { return link_->MakeCurrent(); }
  void ApplyViewport();
  void ApplySwapInterval();
  void DrawPresentPass(SDL_Window* sdl, const gl::BackBuffer& source);
  // Shows the last presented frame again through the current ramp, as a
  // display's gamma ramp changes what is on screen at once.
  void ShowAgain();
  void UnbindAll();
  void Record(uint32_t type, uint32_t start, uint32_t count, const uint8_t* first, uint32_t vertices);

  std::shared_ptr<gl::DeviceLink> link_;
  gl::BackBuffer& backBuffer_ = link_->backBuffer;
  gl::BackBuffer shown_;  // the frame last presented
  bool presented_ = false;
  gl::GammaPass gammaPass_;
  gl::DrawPipeline pipeline_;
  gl::DeviceCursor cursor_;
  DeviceStateTable states_;
  BoundTexture bound_[kTextureStages];
  std::shared_ptr<VertexBuffer::Contents> stream_;
  uint32_t streamStride_ = 0;
  uint32_t fvf_ = 0;
  DrawHook hook_;
  PresentParams params_;
  Viewport viewport_;
  GammaRamp ramp_;
  bool inScene_ = false;
};

// Fills in what a zero in the parameters leaves to the device: the size of
// the window's client area and the desktop's format.
bool ResolveParams(Window* window, PresentParams* params) {
  if (params->backBufferWidth == 0 || params->backBufferHeight == 0) {
    const Rect client = GetClientRect(window);
    if (params->backBufferWidth == 0)
      params->backBufferWidth = static_cast<uint32_t>(std::max(0, client.right - client.left));
    if (params->backBufferHeight == 0)
      params->backBufferHeight = static_cast<uint32_t>(std::max(0, client.bottom - client.top));
  }
  if (params->backBufferFormat == kFmtUnknown) params->backBufferFormat = kFmtX8R8G8B8;
  return params->backBufferWidth > 0 && params->backBufferHeight > 0 && IsDisplayableFormat(params->backBufferFormat);
}

GlDevice::~GlDevice() {
  UnbindAll();
  if (MakeCurrent()) {
    NearestRoundingScope nearest;
    pipeline_.Release();
    gammaPass_.Release();
    gl::DestroyBackBuffer(&backBuffer_);
    gl::DestroyBackBuffer(&shown_);
  }
  // Deleting the context frees whatever of it is left; resources still held
  // elsewhere see the device gone and let go of nothing.
  link_->alive = false;
  SDL_GL_DeleteContext(link_->context);
  link_->context = nullptr;
}

bool GlDevice::Init(const PresentParams& params) {
  if (!MakeCurrent()) return false;
  NearestRoundingScope nearest;
  if (!gammaPass_.Init()) return false;
  if (!pipeline_.Init()) return false;
  if (!gl::CreateBackBuffer(params.backBufferWidth, params.backBufferHeight, &backBuffer_)) return false;
  if (!gl::CreateBackBuffer(params.backBufferWidth, params.backBufferHeight, &shown_)) return false;
  params_ = params;
  link_->backBufferFormat = params.backBufferFormat;
  states_.SetDefaults(params.enableAutoDepthStencil);
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<uint16_t>(i * 257);
    ramp_.red[i] = ramp_.green[i] = ramp_.blue[i] = v;
  }
  viewport_ = Viewport{0, 0, backBuffer_.width, backBuffer_.height, 0.0f, 1.0f};
  ApplyViewport();
  ApplySwapInterval();
  return true;
}

void GlDevice::ApplyViewport() {
  glBindFramebuffer(GL_FRAMEBUFFER, backBuffer_.framebuffer);
  const auto x = static_cast<GLint>(viewport_.x), y = static_cast<GLint>(viewport_.y);
  const auto w = static_cast<GLsizei>(viewport_.width), h = static_cast<GLsizei>(viewport_.height);
  glViewport(x, y, w, h);
  glEnable(GL_SCISSOR_TEST);
  glScissor(x, y, w, h);
  glDepthRange(viewport_.minZ, viewport_.maxZ);
}

void GlDevice::ApplySwapInterval() {
  // Frames follow the display's refresh unless the game asked for immediate presents.
  SDL_GL_SetSwapInterval(params_.fullScreenPresentationInterval == kPresentIntervalImmediate ? 0 : 1);
}

Status GlDevice::GetDeviceCaps(DeviceCaps* caps) {
  if (!caps) return kInvalidArg;
  if (!MakeCurrent()) return kFail;
  GLint maxTexture = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
  *caps = DeviceCaps{};
  caps->caps2 = kCaps2FullscreenGamma;
  // The pointer image is the window system's own cursor, moved by the system
  // whatever the frame rate: a colour hardware cursor.
  caps->cursorCaps = kCursorCapsColor;
  caps->maxTextureWidth = caps->maxTextureHeight = static_cast<uint32_t>(std::max(0, maxTexture));
  return kOk;
}

uint32_t GlDevice::GetAvailableTextureMem() {
  if (!MakeCurrent()) return kReportedTextureMemory;
  NearestRoundingScope nearest;
  while (glGetError() != GL_NO_ERROR) {
  }
  if (epoxy_has_gl_extension("GL_NVX_gpu_memory_info")) {
    GLint kb = 0;
    glGetIntegerv(kNvxCurrentAvailableVidmem, &kb);
    if (glGetError() == GL_NO_ERROR && kb > 0) return KilobytesToBytes(kb);
  }
  if (epoxy_has_gl_extension("GL_ATI_meminfo")) {
    GLint info[4] = {};
    glGetIntegerv(kAtiTextureFreeMemory, info);
    if (glGetError() == GL_NO_ERROR && info[0] > 0) return KilobytesToBytes(info[0]);
  }
  return kReportedTextureMemory;
}

Status GlDevice::GetBackBufferDesc(SurfaceDesc* desc) {
  if (!desc) return kInvalidArg;
  *desc = SurfaceDesc{};
  desc->format = params_.backBufferFormat;
  desc->type = kResourceSurface;
  desc->usage = kUsageRenderTarget;
  desc->pool = kPoolDefault;
  desc->width = backBuffer_.width;
  desc->height = backBuffer_.height;
  desc->size = backBuffer_.width * backBuffer_.height * FormatBytesPerPixel(params_.backBufferFormat);
  return kOk;
}

Status GlDevice::GetViewport(Viewport* viewport) {
  if (!viewport) return kInvalidArg;
  *viewport = viewport_;
  return kOk;
}

Status GlDevice::SetViewport(const Viewport& viewport) {
  const uint64_t right = uint64_t{viewport.x} + viewport.width;
  const uint64_t bottom = uint64_t{viewport.y} + viewport.height;
  if (right > backBuffer_.width || bottom > backBuffer_.height) return kInvalidArg;
  if (!(viewport.minZ >= 0.0f && viewport.minZ <= 1.0f && viewport.maxZ >= 0.0f && viewport.maxZ <= 1.0f))
    return kInvalidArg;
  if (!MakeCurrent()) return kFail;
  NearestRoundingScope nearest;
  viewport_ = viewport;
  ApplyViewport();
  return kOk;
}

void GlDevice::GetGammaRamp(GammaRamp* ramp) {
  if (ramp) *ramp = ramp_;
}

void GlDevice::SetGammaRamp(uint32_t, const GammaRamp& ramp) {
  ramp_ = ramp;
  gammaPass_.SetRamp(ramp);
  ShowAgain();
}

void GlDevice::ShowAgain() {
  if (!presented_) return;
  SDL_Window* sdl = MakeCurrent();
  if (!sdl) return;
  NearestRoundingScope nearest;
  DrawPresentPass(sdl, shown_);
  SDL_GL_SwapWindow(sdl);
  ApplyViewport();
}

Status GlDevice::Clear(uint32_t count, const ClearRect* rects, uint32_t flags, uint32_t colour, float z,
                       uint32_t stencil) {
  GLbitfield mask = 0;
  if (flags & kClearTarget) mask |= GL_COLOR_BUFFER_BIT;
  if (flags & kClearZBuffer) mask |= GL_DEPTH_BUFFER_BIT;
  if (flags & kClearStencil) mask |= GL_STENCIL_BUFFER_BIT;
  if (mask == 0 || (count > 0 && !rects)) return kInvalidArg;
  if (!(z >= 0.0f && z <= 1.0f)) return kInvalidArg;
  if (!MakeCurrent()) return kFail;
  NearestRoundingScope nearest;

  GLboolean colourMask[4], depthMask = GL_TRUE;
  GLint stencilMask = 0;
  glGetBooleanv(GL_COLOR_WRITEMASK, colourMask);
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
  glGetIntegerv(GL_STENCIL_WRITEMASK, &stencilMask);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glStencilMask(0xFFu);
  glClearColor(UnitColour(colour, 16), UnitColour(colour, 8), UnitColour(colour, 0), UnitColour(colour, 24));
  glClearDepth(z);
  glClearStencil(static_cast<GLint>(stencil & 0xFFu));

  // Only the viewport is cleared, also where a rectangle reaches past it.
  const int64_t vx1 = viewport_.x, vy1 = viewport_.y;
  const int64_t vx2 = vx1 + viewport_.width, vy2 = vy1 + viewport_.height;
  if (count == 0) {
    glClear(mask);
  } else {
    for (uint32_t i = 0; i < count; ++i) {
      const int64_t x1 = std::max<int64_t>(rects[i].x1, vx1), y1 = std::max<int64_t>(rects[i].y1, vy1);
      const int64_t x2 = std::min<int64_t>(rects[i].x2, vx2), y2 = std::min<int64_t>(rects[i].y2, vy2);
      if (x2 <= x1 || y2 <= y1) continue;
      glScissor(static_cast<GLint>(x1), static_cast<GLint>(y1), static_cast<GLsizei>(x2 - x1),
                static_cast<GLsizei>(y2 - y1));
      glClear(mask);
    }
    ApplyViewport();
  }

  glColorMask(colourMask[0], colourMask[1], colourMask[2], colourMask[3]);
  glDepthMask(depthMask);
  glStencilMask(static_cast<GLuint>(stencilMask));
  return kOk;
}

Status GlDevice::BeginScene() {
  if (inScene_) return kInvalidArg;
  inScene_ = true;
  return kOk;
}

Status GlDevice::EndScene() {
  if (!inScene_) return kInvalidArg;
  inScene_ = false;
  return kOk;
}

void GlDevice::DrawPresentPass(SDL_Window* sdl, const gl::BackBuffer& source) {
  int w = 0, h = 0;
  SDL_GL_GetDrawableSize(sdl, &w, &h);
  gammaPass_.Draw(source.colour, source.width, source.height, w, h);
}

Status GlDevice::Present() {
  SDL_Window* sdl = MakeCurrent();
  if (!sdl) return kFail;
  NearestRoundingScope nearest;
  DrawPresentPass(sdl, backBuffer_);
  SDL_GL_SwapWindow(sdl);
  // Keep the frame, so a change of ramp can show it again.
  glBindFramebuffer(GL_READ_FRAMEBUFFER, backBuffer_.framebuffer);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, shown_.framebuffer);
  const auto w = static_cast<GLint>(backBuffer_.width), h = static_cast<GLint>(backBuffer_.height);
  glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  presented_ = true;
  ApplyViewport();
  return kOk;
}

Status GlDevice::Reset(const PresentParams& params) {
  PresentParams resolved = params;
  if (!ResolveParams(link_->window, &resolved)) return kInvalidArg;
  if (!MakeCurrent()) return kFail;
  NearestRoundingScope nearest;
  gl::BackBuffer fresh, freshShown;
  if (!gl::CreateBackBuffer(resolved.backBufferWidth, resolved.backBufferHeight, &fresh)) {
    ApplyViewport();
    return kFail;
  }
  if (!gl::CreateBackBuffer(resolved.backBufferWidth, resolved.backBufferHeight, &freshShown)) {
    gl::DestroyBackBuffer(&fresh);
    ApplyViewport();
    return kFail;
  }
  gl::DestroyBackBuffer(&backBuffer_);
  gl::DestroyBackBuffer(&shown_);
  backBuffer_ = fresh;
  shown_ = freshShown;
  presented_ = false;
  params_ = resolved;
  params_.deviceWindow = link_->window;
  link_->backBufferFormat = params_.backBufferFormat;
  // Default-pool textures lose their contents, and the device starts again
  // from its first states with nothing bound.
  ++link_->resets;
  UnbindAll();
  states_.SetDefaults(params_.enableAutoDepthStencil);
  inScene_ = false;
  viewport_ = Viewport{0, 0, backBuffer_.width, backBuffer_.height, 0.0f, 1.0f};
  ApplyViewport();
  ApplySwapInterval();
  return kOk;
}

Status GlDevice::ReadBackBuffer(std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height) {
  if (!pixels) return kInvalidArg;
  if (!MakeCurrent()) return kFail;
  NearestRoundingScope nearest;
  pixels->assign(size_t{backBuffer_.width} * backBuffer_.height, 0);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, backBuffer_.framebuffer);
  glReadBuffer(GL_COLOR_ATTACHMENT0);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, static_cast<GLsizei>(backBuffer_.width), static_cast<GLsizei>(backBuffer_.height), GL_BGRA,
               GL_UNSIGNED_INT_8_8_8_8_REV, pixels->data());
  if (width) *width = backBuffer_.width;
  if (height) *height = backBuffer_.height;
  return glGetError() == GL_NO_ERROR ? kOk : kFail;
}

Status GlDevice::ReadFrontBuffer(std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height) {
  if (!pixels) return kInvalidArg;
  SDL_Window* sdl = MakeCurrent();
  if (!sdl) return kFail;
  NearestRoundingScope nearest;
  // What is on screen: the frame last presented, or before any present the
  // back buffer as a present would show it.
  DrawPresentPass(sdl, presented_ ? shown_ : backBuffer_);
  int w = 0, h = 0;
  SDL_GL_GetDrawableSize(sdl, &w, &h);
  const auto uw = static_cast<uint32_t>(std::max(0, w)), uh = static_cast<uint32_t>(std::max(0, h));
  std::vector<uint32_t> bottomUp(size_t{uw} * uh);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, bottomUp.data());
  const bool ok = glGetError() == GL_NO_ERROR;
  ApplyViewport();
  pixels->resize(bottomUp.size());
  for (uint32_t row = 0; row < uh; ++row)
    std::copy_n(bottomUp.begin() + ptrdiff_t{row} * uw, uw, pixels->begin() + ptrdiff_t{uh - 1 - row} * uw);
  if (width) *width = uw;
  if (height) *height = uh;
  return ok ? kOk : kFail;
}

void GlDevice::UnbindAll() {
  for (BoundTexture& b : bound_) b = BoundTexture{};
  stream_.reset();
  streamStride_ = 0;
}

Status GlDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t, uint32_t usage, int32_t format,
                               uint32_t pool, DeviceTexture** texture) {
  if (!texture) return kInvalidArg;
  *texture = nullptr;
  if (width == 0 || height == 0 || !IsSurfaceFormat(format) || pool > kPoolSystemMem) return kInvalidArg;
  if (!MakeCurrent()) return kFail;
  NearestRoundingScope nearest;
  GLint maxTexture = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
  if (width > static_cast<uint32_t>(maxTexture) || height > static_cast<uint32_t>(maxTexture)) return kInvalidArg;
  const Status s = gl::MakeTexture(link_, width, height, usage, format, pool, texture);
  ApplyViewport();
  return s;
}

Status GlDevice::GetBackBuffer(Surface** surface) {
  if (!surface) return kInvalidArg;
  *surface = gl::MakeBackBufferSurface(link_);
  return *surface ? kOk : kFail;
}

Status GlDevice::SetTexture(uint32_t stage, DeviceTexture* texture) {
  if (stage >= kTextureStages) return kInvalidArg;
  if (!texture) {
    bound_[stage] = BoundTexture{};
    return kOk;
  }
  std::shared_ptr<gl::TextureImage> image = gl::ImageOf(link_, texture);
  if (!image) return kInvalidArg;  // another device's texture
  bound_[stage] = BoundTexture{texture, std::move(image)};
  return kOk;
}

Status GlDevice::SetVertexShader(uint32_t fvf) {
  if (gl::VertexSize(fvf) == 0) return kInvalidArg;
  fvf_ = fvf;
  return kOk;
}

Status GlDevice::SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) {
  if (stream != 0) return kInvalidArg;
  if (!buffer) {
    stream_.reset();
    streamStride_ = 0;
    return kOk;
  }
  if (stride == 0) return kInvalidArg;
  stream_ = buffer->contents();
  streamStride_ = stride;
  return kOk;
}

void GlDevice::Record(uint32_t type, uint32_t start, uint32_t count, const uint8_t* first, uint32_t vertices) {
  DrawRecord r;
  r.primitiveType = type;
  r.startVertex = start;
  r.primitiveCount = count;
  r.vertexShader = fvf_;
  r.stride = streamStride_;
  r.lockFlags = stream_->lastLockFlags;
  r.vertices.assign(first, first + size_t{vertices} * streamStride_);
  for (uint32_t s = 0; s < kDrawnStages; ++s) {
    r.textures[s] = bound_[s].texture;
    r.stageStates[s] = states_.stageStates()[s];
  }
  r.renderStates = states_.renderStates();
  r.viewport = viewport_;
  hook_(r);
}

Status GlDevice::DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
  const uint32_t vertexSize = gl::VertexSize(fvf_);
  const uint32_t vertices = gl::VerticesFor(type, primitiveCount);
  if (vertexSize == 0 || vertices == 0 || !stream_ || streamStride_ < vertexSize || stream_->locked)
    return kInvalidArg;
  const uint64_t end = (uint64_t{startVertex} + vertices) * streamStride_;
  if (end > stream_->bytes.size()) return kInvalidArg;
  const uint8_t* first = stream_->bytes.data() + size_t{startVertex} * streamStride_;
  if (hook_) Record(type, startVertex, primitiveCount, first, vertices);
  if (!MakeCurrent()) return kFail;
  NearestRoundingScope nearest;
  gl::DrawInput input;
  input.states = &states_;
  for (uint32_t s = 0; s < kDrawnStages; ++s) input.textures[s] = bound_[s].image ? bound_[s].image->name : 0;
  input.fvf = fvf_;
  input.stride = streamStride_;
  input.vertices = first;
  input.vertexCount = vertices;
  switch (type) {
    case kPrimPointList:
      input.mode = GL_POINTS;
      break;
    case kPrimLineList:
      input.mode = GL_LINES;
      break;
    case kPrimLineStrip:
      input.mode = GL_LINE_STRIP;
      break;
    case kPrimTriangleStrip:
      input.mode = GL_TRIANGLE_STRIP;
      break;
    case kPrimTriangleFan:
      input.mode = GL_TRIANGLE_FAN;
      break;
    default:
      input.mode = GL_TRIANGLES;
      break;
  }
  input.viewport = viewport_;
  glBindFramebuffer(GL_FRAMEBUFFER, backBuffer_.framebuffer);
  return pipeline_.Draw(input) ? kOk : kFail;
}

class GlSystem final : public GraphicsSystem {
 public:
  // True when SDL's video driver can make OpenGL contexts.
  bool Open();

  uint32_t GetAdapterCount() override { return AdapterCount(); }
  Status GetAdapterDisplayMode(uint32_t adapter, DisplayMode* mode) override;
  Status CheckDeviceType(uint32_t adapter, int32_t displayFormat, int32_t backBufferFormat, bool windowed) override;
  Status CreateDevice(uint32_t adapter, Window* focusWindow, uint32_t behaviourFlags, PresentParams* params,
                      GraphicsDevice** device) override;
};

bool GlSystem::Open() {
  // Video and the OpenGL library stay up for the whole run once started:
  // setting the driver up anew for every system (tests, a restart) costs
  // time and leaves the driver's own allocations behind.
  static bool videoUp = false;
  static bool libraryLoaded = false;
  if (!videoUp) videoUp = SDL_WasInit(SDL_INIT_VIDEO) != 0 || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  if (!videoUp) return false;
  if (!libraryLoaded) {
    RequestCoreContext();
    NearestRoundingScope nearest;
    libraryLoaded = SDL_GL_LoadLibrary(nullptr) == 0;
  }
  return libraryLoaded;
}

Status GlSystem::GetAdapterDisplayMode(uint32_t adapter, DisplayMode* mode) {
  if (!mode || adapter >= AdapterCount()) return kInvalidArg;
  SDL_DisplayMode desktop{};
  if (SDL_GetDesktopDisplayMode(static_cast<int>(adapter), &desktop) != 0) return kFail;
  mode->width = static_cast<uint32_t>(std::max(0, desktop.w));
  mode->height = static_cast<uint32_t>(std::max(0, desktop.h));
  mode->refreshRate = static_cast<uint32_t>(std::max(0, desktop.refresh_rate));
  mode->format = kFmtX8R8G8B8;
  return kOk;
}

Status GlSystem::CheckDeviceType(uint32_t adapter, int32_t displayFormat, int32_t backBufferFormat, bool) {
  if (adapter >= AdapterCount()) return kInvalidArg;
  // Whatever the format, the back buffer is drawn in 32 bits and shown on
  // the desktop; the 16- and 32-bit formats are the ones the game may ask for.
  if (!IsDisplayableFormat(displayFormat) || !IsDisplayableFormat(backBufferFormat)) return kFail;
  return kOk;
}

Status GlSystem::CreateDevice(uint32_t adapter, Window* focusWindow, uint32_t, PresentParams* params,
                              GraphicsDevice** device) {
  if (!device) return kInvalidArg;
  *device = nullptr;
  if (!params || adapter >= AdapterCount()) return kInvalidArg;
  Window* window = params->deviceWindow ? params->deviceWindow : focusWindow;
  SDL_Window* sdl = window ? NativeSdlWindow(window) : nullptr;
  if (!sdl) return kInvalidArg;
  PresentParams resolved = *params;
  if (!ResolveParams(window, &resolved)) return kInvalidArg;
  resolved.deviceWindow = window;

  RequestCoreContext();
  SDL_GLContext context = nullptr;
  {
    NearestRoundingScope nearest;
    context = SDL_GL_CreateContext(sdl);
  }
  if (!context) return kFail;
  if (epoxy_gl_version() < 33) {
    SDL_GL_DeleteContext(context);
    return kFail;
  }
  auto* made = new (std::nothrow) GlDevice(window, context);
  if (!made) {
    SDL_GL_DeleteContext(context);
    return kFail;
  }
  if (!made->Init(resolved)) {
    delete made;
    return kFail;
  }
  params->backBufferWidth = resolved.backBufferWidth;
  params->backBufferHeight = resolved.backBufferHeight;
  params->backBufferFormat = resolved.backBufferFormat;
  *device = made;
  return kOk;
}

}  // namespace

GraphicsSystem* CreateGraphicsSystem() {
  if (g_factory) return g_factory();
  auto* system = new (std::nothrow) GlSystem;
  if (system && !system->Open()) {
    delete system;
    return nullptr;
  }
  return system;
}

void SetGraphicsSystemFactory(GraphicsSystemFactory factory) { g_factory = factory; }

Status ReadPresentedPixels(GraphicsDevice* device, std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height) {
  if (!device) return kInvalidArg;
  return device->ReadFrontBuffer(pixels, width, height);
}

}  // namespace plat
