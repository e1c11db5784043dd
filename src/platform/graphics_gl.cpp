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
#include <new>

#include "platform/fpenv.h"
#include "platform/gl_backbuffer.h"
#include "platform/gl_gamma_pass.h"
#include "platform/sdl_window_internal.h"
#include "platform/window.h"

namespace plat {
namespace {

GraphicsSystemFactory g_factory = nullptr;

// GL has no portable query for free video memory; a figure that keeps every
// high-resolution image set on.
constexpr uint32_t kReportedTextureMemory = 256u * 1024u * 1024u;

constexpr uint32_t kUsageRenderTarget = 0x1;
constexpr uint32_t kResourceSurface = 1;
constexpr uint32_t kPresentIntervalImmediate = 0x80000000u;

bool IsDisplayableFormat(int32_t format) {
  switch (format) {
    case kFmtA8R8G8B8:
    case kFmtX8R8G8B8:
    case kFmtR5G6B5:
    case kFmtX1R5G5B5:
    case kFmtA1R5G5B5:
    case kFmtA4R4G4B4:
      return true;
    default:
      return false;
  }
}

uint32_t BytesPerPixel(int32_t format) {
  switch (format) {
    case kFmtR8G8B8:
      return 3;
    case kFmtR5G6B5:
    case kFmtX1R5G5B5:
    case kFmtA1R5G5B5:
    case kFmtA4R4G4B4:
    case kFmtD16:
      return 2;
    default:
      return 4;
  }
}

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

class GlDevice final : public GraphicsDevice {
 public:
  GlDevice(Window* window, SDL_GLContext context) : window_(window), context_(context) {}
  ~GlDevice() override;

  // Sets up the back buffer and the present pass; false when either fails.
  bool Init(const PresentParams& params);

  Status GetDeviceCaps(DeviceCaps* caps) override;
  Status GetBackBufferDesc(SurfaceDesc* desc) override;
  uint32_t GetAvailableTextureMem() override { return kReportedTextureMemory; }
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

  Status ReadPresented(std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height);

 private:
  // The SDL window with the context current on it; null when the window is gone.
  SDL_Window* MakeCurrent();
  void ApplyViewport();
  void ApplySwapInterval();
  void DrawPresentPass(SDL_Window* sdl);

  Window* window_;
  SDL_GLContext context_;
  gl::BackBuffer backBuffer_;
  gl::GammaPass gammaPass_;
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
  if (MakeCurrent()) {
    gammaPass_.Release();
    gl::DestroyBackBuffer(&backBuffer_);
  }
  // Deleting the context frees whatever of it is left.
  SDL_GL_DeleteContext(context_);
}

bool GlDevice::Init(const PresentParams& params) {
  if (!MakeCurrent()) return false;
  NearestRoundingScope nearest;
  if (!gammaPass_.Init()) return false;
  if (!gl::CreateBackBuffer(params.backBufferWidth, params.backBufferHeight, &backBuffer_)) return false;
  params_ = params;
  for (int i = 0; i < 256; ++i) {
    const auto v = static_cast<uint16_t>(i * 257);
    ramp_.red[i] = ramp_.green[i] = ramp_.blue[i] = v;
  }
  viewport_ = Viewport{0, 0, backBuffer_.width, backBuffer_.height, 0.0f, 1.0f};
  ApplyViewport();
  ApplySwapInterval();
  return true;
}

SDL_Window* GlDevice::MakeCurrent() {
  SDL_Window* sdl = NativeSdlWindow(window_);
  if (!sdl) return nullptr;
  if (SDL_GL_GetCurrentContext() != context_ || SDL_GL_GetCurrentWindow() != sdl) {
    if (SDL_GL_MakeCurrent(sdl, context_) != 0) return nullptr;
  }
  return sdl;
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

Status GlDevice::GetBackBufferDesc(SurfaceDesc* desc) {
  if (!desc) return kInvalidArg;
  *desc = SurfaceDesc{};
  desc->format = params_.backBufferFormat;
  desc->type = kResourceSurface;
  desc->usage = kUsageRenderTarget;
  desc->pool = kPoolDefault;
  desc->width = backBuffer_.width;
  desc->height = backBuffer_.height;
  desc->size = backBuffer_.width * backBuffer_.height * BytesPerPixel(params_.backBufferFormat);
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

void GlDevice::DrawPresentPass(SDL_Window* sdl) {
  int w = 0, h = 0;
  SDL_GL_GetDrawableSize(sdl, &w, &h);
  gammaPass_.Draw(backBuffer_.colour, backBuffer_.width, backBuffer_.height, w, h);
}

Status GlDevice::Present() {
  SDL_Window* sdl = MakeCurrent();
  if (!sdl) return kFail;
  NearestRoundingScope nearest;
  DrawPresentPass(sdl);
  SDL_GL_SwapWindow(sdl);
  ApplyViewport();
  return kOk;
}

Status GlDevice::Reset(const PresentParams& params) {
  PresentParams resolved = params;
  if (!ResolveParams(window_, &resolved)) return kInvalidArg;
  if (!MakeCurrent()) return kFail;
  NearestRoundingScope nearest;
  gl::BackBuffer fresh;
  if (!gl::CreateBackBuffer(resolved.backBufferWidth, resolved.backBufferHeight, &fresh)) {
    ApplyViewport();
    return kFail;
  }
  gl::DestroyBackBuffer(&backBuffer_);
  backBuffer_ = fresh;
  params_ = resolved;
  params_.deviceWindow = window_;
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

Status GlDevice::ReadPresented(std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height) {
  if (!pixels) return kInvalidArg;
  SDL_Window* sdl = MakeCurrent();
  if (!sdl) return kFail;
  NearestRoundingScope nearest;
  DrawPresentPass(sdl);
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
  auto* gl = dynamic_cast<GlDevice*>(device);
  if (!gl) return kInvalidArg;
  return gl->ReadPresented(pixels, width, height);
}

}  // namespace plat
