#pragma once
// The drawing device the renderer talks to, with the semantics of a Direct3D 8
// device for pre-transformed 2D drawing. It draws into an offscreen
// framebuffer that is the back buffer and presents it through a pass that
// applies the current gamma ramp. GraphicsSystem stands for the Direct3D
// object: it reports adapters and display modes and creates devices; tests
// give the renderer a fake one.
#include <cstdint>
#include <vector>

#include "platform/status.h"
#include "platform/window.h"

namespace plat {

// Pixel formats, numbered as the game's files and settings number them.
enum PixelFormat : int32_t {
  kFmtUnknown = 0,
  kFmtR8G8B8 = 20,
  kFmtA8R8G8B8 = 21,
  kFmtX8R8G8B8 = 22,
  kFmtR5G6B5 = 23,
  kFmtX1R5G5B5 = 24,
  kFmtA1R5G5B5 = 25,
  kFmtA4R4G4B4 = 26,
  kFmtD16 = 80,
};

inline constexpr uint32_t kSwapEffectCopy = 3;

// Device-creation behaviour flags.
inline constexpr uint32_t kCreateFpuPreserve = 0x02;
inline constexpr uint32_t kCreateMultithreaded = 0x04;
inline constexpr uint32_t kCreateSoftwareVertexProcessing = 0x20;

// Clear flags.
inline constexpr uint32_t kClearTarget = 0x1;
inline constexpr uint32_t kClearZBuffer = 0x2;
inline constexpr uint32_t kClearStencil = 0x4;

// Capability bits.
inline constexpr uint32_t kCaps2FullscreenGamma = 0x00020000;
inline constexpr uint32_t kCursorCapsColor = 0x1;

// Pools.
inline constexpr uint32_t kPoolDefault = 0;
inline constexpr uint32_t kPoolManaged = 1;
inline constexpr uint32_t kPoolSystemMem = 2;

struct DisplayMode {
  uint32_t width = 0, height = 0, refreshRate = 0;
  int32_t format = kFmtUnknown;
};

struct PresentParams {
  uint32_t backBufferWidth = 0, backBufferHeight = 0;
  int32_t backBufferFormat = kFmtUnknown;
  uint32_t backBufferCount = 1;
  uint32_t multiSampleType = 0;
  uint32_t swapEffect = kSwapEffectCopy;
  Window* deviceWindow = nullptr;
  bool windowed = false;
  bool enableAutoDepthStencil = false;
  int32_t autoDepthStencilFormat = kFmtUnknown;
  uint32_t flags = 0;
  uint32_t fullScreenRefreshRate = 0;
  uint32_t fullScreenPresentationInterval = 0;
};

struct DeviceCaps {
  uint32_t caps2 = 0;
  uint32_t cursorCaps = 0;
  uint32_t maxTextureWidth = 0, maxTextureHeight = 0;
};

struct SurfaceDesc {
  int32_t format = kFmtUnknown;
  uint32_t type = 0, usage = 0, pool = kPoolDefault, size = 0;
  uint32_t width = 0, height = 0;
};

struct Viewport {
  uint32_t x = 0, y = 0, width = 0, height = 0;
  float minZ = 0.0f, maxZ = 1.0f;
};

struct GammaRamp {
  uint16_t red[256] = {}, green[256] = {}, blue[256] = {};
};

struct ClearRect {
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

class GraphicsDevice {
 public:
  virtual ~GraphicsDevice() = default;

  virtual Status GetDeviceCaps(DeviceCaps* caps) = 0;
  virtual Status GetBackBufferDesc(SurfaceDesc* desc) = 0;
  virtual uint32_t GetAvailableTextureMem() = 0;
  // The viewport, from the back buffer's top-left corner; creation and Reset
  // make it the whole back buffer. kInvalidArg when it reaches past the back
  // buffer.
  virtual Status GetViewport(Viewport* viewport) = 0;
  virtual Status SetViewport(const Viewport& viewport) = 0;
  // The ramp the present pass applies; identity (i x 257) when new.
  virtual void GetGammaRamp(GammaRamp* ramp) = 0;
  virtual void SetGammaRamp(uint32_t flags, const GammaRamp& ramp) = 0;

  // Clears the given rectangles, or the whole current viewport when none,
  // intersected with the viewport.
  virtual Status Clear(uint32_t count, const ClearRect* rects, uint32_t flags, uint32_t colour, float z,
                       uint32_t stencil) = 0;
  virtual Status BeginScene() = 0;
  virtual Status EndScene() = 0;
  // Shows the back buffer in the window through the gamma pass.
  virtual Status Present() = 0;
  // Recreates the back buffer after the window was lost or resized.
  virtual Status Reset(const PresentParams& params) = 0;

  // Reads the back buffer (tests and screenshots): rows top to bottom, one
  // 0xAARRGGBB word per pixel.
  virtual Status ReadBackBuffer(std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height) = 0;
};

class GraphicsSystem {
 public:
  virtual ~GraphicsSystem() = default;
  virtual uint32_t GetAdapterCount() = 0;
  virtual Status GetAdapterDisplayMode(uint32_t adapter, DisplayMode* mode) = 0;
  virtual Status CheckDeviceType(uint32_t adapter, int32_t displayFormat, int32_t backBufferFormat,
                                 bool windowed) = 0;
  // Creates a device on the adapter for the focus window (or the parameters'
  // device window when set); on failure *device stays null and a failure
  // status is returned. On success a zero back-buffer width or height in
  // *params becomes the window's client size and an unknown format
  // X8R8G8B8. The caller deletes the device, before the system.
  virtual Status CreateDevice(uint32_t adapter, Window* focusWindow, uint32_t behaviourFlags,
                              PresentParams* params, GraphicsDevice** device) = 0;
};

// The OpenGL 3.3 core system on SDL; null when the video driver cannot make
// OpenGL contexts. The caller owns the system and deletes it.
GraphicsSystem* CreateGraphicsSystem();

// Installs a factory that CreateGraphicsSystem uses instead (tests); null
// restores the OpenGL one.
using GraphicsSystemFactory = GraphicsSystem* (*)();
void SetGraphicsSystemFactory(GraphicsSystemFactory factory);

}  // namespace plat
