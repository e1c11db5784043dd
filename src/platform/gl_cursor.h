#pragma once
// Platform-internal: the device cursor of the OpenGL device, shown as the
// window system's colour cursor (which the system moves with the mouse, so
// the position the game sends is only recorded).
#include <SDL.h>

#include <mutex>

#include "platform/graphics_device.h"

namespace plat::gl {

class DeviceCursor {
 public:
  DeviceCursor() = default;
  DeviceCursor(const DeviceCursor&) = delete;
  DeviceCursor& operator=(const DeviceCursor&) = delete;
  ~DeviceCursor();

  // The image must be A8R8G8B8, at most 256 pixels a side, with the hot spot
  // inside it; kInvalidArg otherwise. Main thread.
  Status SetImage(uint32_t hotX, uint32_t hotY, Surface* image);
  // Any thread.
  void SetPosition(int32_t x, int32_t y);
  // Returns whether it was shown before. Main thread.
  bool Show(bool show);
  void GetState(DeviceCursorState* state);

 private:
  void Apply();
  std::mutex mutex_;
  DeviceCursorState state_;
  SDL_Cursor* cursor_ = nullptr;
};

}  // namespace plat::gl
