#pragma once
// The renderer: the one record through which the program talks to the
// graphics device, and the start-up, reset and shut-down of that device.
#include <cstdint>
#include <memory>
#include <vector>

#include "app/app_object.h"
#include "app/gfx/sprite_batch.h"
#include "platform/graphics_device.h"
#include "platform/status.h"
#include "platform/threads.h"

class Texture;

inline constexpr int kBitmapSetSlots = 9;

struct Renderer {
  plat::GraphicsSystem* d3d = nullptr;     // owned; deleted by StopApp after the device
  plat::GraphicsDevice* device = nullptr;  // owned
  plat::Surface* backBuffer = nullptr;     // owned; taken at every device set-up
  plat::PresentParams presentParams;       // size and format from ChooseDisplayFormat
  plat::DisplayMode displayMode;           // adapter 0's mode when start-up began
  int32_t fullScreen = 0;
  plat::DeviceCaps caps;             // read at every device set-up
  plat::SurfaceDesc backBufferDesc;  // its format is the back-buffer format
  plat::Viewport viewport;           // the full-screen viewport
  plat::Viewport savedViewport;      // kept by clipped drawing
  int32_t deviceCreationFlag = 0;    // start-up asked for a device
  uint32_t mipLevels = 0;            // mip levels of file textures
  uint32_t adapter = 0;
  // Gamma ramps: the base ramp fades start from, and the one the start-up
  // screens build. Made at the first device set-up; null before.
  std::unique_ptr<plat::GammaRamp> baseRamp;
  std::unique_ptr<plat::GammaRamp> customRamp;
  uint32_t creationTime = 0;           // tick count when the device was made
  plat::Status lastError = plat::kOk;  // latest failing texture creation or load
  plat::CriticalSection lock;
  SpriteBatch batch;
  // Flushes every font's queued glyphs (the font table installs it); the
  // batch's flushes call it so that text shows above what came before.
  void (*flushFontGlyphs)() = nullptr;
  // Where the unclipped text queued since the last flush will show: it is
  // drawn above everything queued before the flush, so whatever is to
  // cover it must flush it first (TextQueuedUnder).
  std::vector<plat::Rect> queuedTextBoxes;
  Texture* bitmapSets[kBitmapSetSlots] = {};  // the VDBITS0 to VDBITS8 sets
  // The device cursor: the sheet of 32 x 32 cells and the cell shown.
  plat::Surface* cursorSheet = nullptr;  // owned
  int32_t cursorCell = 0;
  // The cursor thread and its events (manual reset): stop ends the thread,
  // wake lets it run while the device cursor is shown.
  plat::Thread* cursorThread = nullptr;
  plat::Event* cursorStop = nullptr;
  plat::Event* cursorWake = nullptr;
};

extern Renderer g_renderer;

// Physical memory below this makes the game drop its high-resolution images.
inline constexpr uint64_t kLowPhysicalMemory = 250000000;
// Texture memory below this does the same once the device exists.
inline constexpr uint32_t kLowTextureMemory = 40000000;

// Settles the back-buffer size and format and the adapter from the settings
// before the device is made (only when the device-creation flag is set).
// Writes the defaults it applies back into the settings.
void ChooseDisplayFormat(Renderer& renderer, AppObject& app);
// The same with the machine's physical memory given.
void ChooseDisplayFormat(Renderer& renderer, AppObject& app, uint64_t physicalMemoryBytes);

// Makes the main window and the device into it (the settings in g_app, the
// window in g_platform); 0 or kFail. On failure nothing of it is left: no
// window, no device, no graphics system.
plat::Status StartApp(Renderer& renderer, int32_t fullScreen);
// Reads back what the device was made or reset with and sets up 2D drawing;
// 0 or kFail.
plat::Status SetupDeviceState(Renderer& renderer);
// Makes the sprite batch and records and applies the 2D render states; 0 or
// the failing result of making the vertex buffer.
plat::Status InitDeviceStates(Renderer& renderer);
// Resets the device when the window is activated (the renderer's own
// parameters when none are given); 0 or the device's failure.
plat::Status AppWindowActivate(Renderer& renderer, const plat::PresentParams* params);
// Lets go of what does not survive a device reset.
void ReleaseDeviceResources(Renderer& renderer);
// Stops the cursor thread and releases the device and the graphics system.
void StopApp(Renderer& renderer);

// Draws what is queued, then clears the back buffer to opaque black, depth 1,
// stencil 0.
void ClearBackBuffer(Renderer& renderer);
// Draws what is queued and ends the device's scene.
void EndSceneAndFlush(Renderer& renderer);
