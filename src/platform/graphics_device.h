#pragma once
// The drawing device the renderer talks to, with the semantics of a Direct3D 8
// device for pre-transformed 2D drawing. It draws into an offscreen
// framebuffer that is the back buffer and presents it through a pass that
// applies the current gamma ramp. GraphicsSystem stands for the Direct3D
// object: it reports adapters and display modes and creates devices; tests
// give the renderer a fake one.
//
// Drawing follows the fixed pipeline of the game's design for pre-transformed
// 2D: vertices carry screen positions (x, y, z, rhw), a diffuse colour and up
// to two texture-coordinate pairs; two texture stages combine texture and
// colour; alpha test and blending follow the render states; the viewport clips
// and does not move the origin; pixel centres sit on whole coordinates, so a
// quad whose corners are moved by -0.5 covers whole pixels exactly.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/graphics_states.h"
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
  kFmtP8 = 41,
  kFmtL8 = 50,
  kFmtA8L8 = 51,
  kFmtD16 = 80,
  kFmtVertexData = 100,
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

// A rectangle of pixels: an image surface in memory, a texture's level or the
// back buffer. Pixels travel as 0xAARRGGBB words, rows top to bottom; a write
// is stored in the surface's format (so a 4-bit format keeps 4 bits of each
// channel, and a format without alpha reads back opaque). The back buffer
// keeps 8 bits per channel whatever format it was asked for.
class Surface {
 public:
  virtual ~Surface() = default;
  virtual Status GetDesc(SurfaceDesc* desc) = 0;
  // kInvalidArg for an empty rectangle or one that reaches outside.
  virtual Status ReadPixels(const Rect& rect, uint32_t* argb) = 0;
  virtual Status WritePixels(const Rect& rect, const uint32_t* argb) = 0;
};

// A texture made by a device. Textures have one level. Deleting a texture
// that is still bound to a stage keeps its image until the stage lets go.
class DeviceTexture {
 public:
  virtual ~DeviceTexture() = default;
  virtual uint32_t GetLevelCount() = 0;
  virtual Status GetLevelDesc(uint32_t level, SurfaceDesc* desc) = 0;
  // A surface over the level; the caller deletes it (the texture stays).
  virtual Status GetSurfaceLevel(uint32_t level, Surface** surface) = 0;
  // True when a device reset has discarded the texture's contents (textures
  // of the default pool); the owner makes it again.
  virtual bool IsLost() = 0;
  // The device that made it.
  const void* owner() const { return owner_; }

 protected:
  explicit DeviceTexture(const void* owner) : owner_(owner) {}

 private:
  const void* owner_;
};

struct VertexBufferDesc {
  int32_t format = kFmtVertexData;
  uint32_t type = kResourceVertexBuffer, usage = 0, pool = kPoolDefault, size = 0, fvf = 0;
};

// Vertex memory the device draws from. The bytes live as long as the buffer
// or a stream that it is bound to, whichever is longer.
class VertexBuffer {
 public:
  struct Contents {
    std::vector<uint8_t> bytes;
    uint32_t lastLockFlags = 0;  // the flags of the latest lock
    bool locked = false;
  };

  VertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool);
  VertexBuffer(const VertexBuffer&) = delete;
  VertexBuffer& operator=(const VertexBuffer&) = delete;

  // Hands out the address of size bytes from offset (size 0: to the end).
  // One lock at a time; kInvalidArg for a range past the end.
  Status Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags);
  Status Unlock();
  const VertexBufferDesc& desc() const { return desc_; }
  const std::shared_ptr<Contents>& contents() const { return contents_; }

 private:
  VertexBufferDesc desc_;
  std::shared_ptr<Contents> contents_;
};

// One draw call as the device saw it (tests install a hook to see them).
struct DrawRecord {
  uint32_t primitiveType = 0, startVertex = 0, primitiveCount = 0;
  uint32_t vertexShader = 0;  // the vertex format
  uint32_t stride = 0;
  uint32_t lockFlags = 0;         // flags of the latest lock of the stream's buffer
  std::vector<uint8_t> vertices;  // the vertices drawn, stride bytes each
  std::array<DeviceTexture*, kDrawnStages> textures{};
  std::array<uint32_t, kRenderStateCount> renderStates{};
  std::array<std::array<uint32_t, kStageStateCount>, kDrawnStages> stageStates{};
  Viewport viewport;
};
using DrawHook = std::function<void(const DrawRecord&)>;

// The device cursor as last set.
struct DeviceCursorState {
  bool visible = false;
  uint32_t hotX = 0, hotY = 0;
  uint32_t width = 0, height = 0;
  std::vector<uint32_t> image;  // 0xAARRGGBB, rows top to bottom
  int32_t x = 0, y = 0;         // the latest position sent
  uint32_t moves = 0;           // positions sent so far
};

// An image surface in memory of the format (one of the texture formats).
// Null for a zero size or a format it cannot hold.
Surface* CreateMemorySurface(uint32_t width, uint32_t height, int32_t format);

// Copies rectangles between any two surfaces: each source rectangle (the
// whole surface when rects is null) goes to its point (the rectangle's own
// top-left when points is null). kInvalidArg when a rectangle does not fit
// either surface; nothing is copied then.
Status CopySurfaceRects(Surface* source, const Rect* rects, uint32_t count, Surface* dest, const Point* points);

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
  // The ramp the present pass applies; identity (i x 257) when new. Setting
  // it shows the last presented frame again through the new ramp.
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
  // Reads what the window shows, the gamma ramp applied (tests).
  virtual Status ReadFrontBuffer(std::vector<uint32_t>*, uint32_t*, uint32_t*) { return kFail; }

  // What follows has working defaults where the operation needs no drawing
  // (memory surfaces, vertex buffers, copies between surfaces); a device that
  // does not draw (a test's fake) answers kFail to the rest.

  // Textures: width and height at least 1 and at most the caps' maximum; one
  // level whatever is asked. Render targets and the default pool are what a
  // reset discards (IsLost).
  virtual Status CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, int32_t format,
                               uint32_t pool, DeviceTexture** texture);
  virtual Status CreateImageSurface(uint32_t width, uint32_t height, int32_t format, Surface** surface);
  // The back buffer as a surface; the caller deletes it.
  virtual Status GetBackBuffer(Surface** surface);
  virtual Status CopyRects(Surface* source, const Rect* rects, uint32_t count, Surface* dest, const Point* points);
  virtual Status CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                    VertexBuffer** buffer);

  // States. Between BeginStateBlock and EndStateBlock render and stage states
  // are recorded into the block instead of being set; ApplyStateBlock sets
  // them. Textures are bound at once and are not part of a block. A stage
  // without a texture reads its texture as opaque white.
  virtual Status SetRenderState(uint32_t state, uint32_t value);
  virtual Status GetRenderState(uint32_t state, uint32_t* value);
  virtual Status SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value);
  virtual Status GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value);
  virtual Status SetTexture(uint32_t stage, DeviceTexture* texture);
  // Only 0 (the fixed pipeline) exists.
  virtual Status SetPixelShader(uint32_t handle);
  virtual Status BeginStateBlock();
  virtual Status EndStateBlock(uint32_t* token);
  virtual Status ApplyStateBlock(uint32_t token);
  virtual Status DeleteStateBlock(uint32_t token);

  // Drawing: the vertex format, the buffer and stride of stream 0, and a draw
  // of primitives from a start vertex.
  virtual Status SetVertexShader(uint32_t fvf);
  virtual Status SetStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride);
  virtual Status DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount);
  // Called with every draw before it is drawn; an empty hook removes it.
  virtual void SetDrawHook(DrawHook hook);

  // The device cursor: an image with its hot spot, shown over everything.
  // SetCursorPosition may be called from any thread.
  virtual Status SetCursorProperties(uint32_t hotX, uint32_t hotY, Surface* image);
  virtual void SetCursorPosition(int32_t x, int32_t y, uint32_t flags);
  // Returns whether it was shown before.
  virtual bool ShowCursor(bool show);
  virtual void GetCursorState(DeviceCursorState* state);
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
