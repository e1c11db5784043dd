#pragma once
// Platform-internal: what the OpenGL device offers beyond GraphicsDevice, for
// the platform's own tests.
#include <cstdint>
#include <vector>

#include "platform/graphics_device.h"

namespace plat {

// Runs the present pass (gamma ramp applied) into the device's window without
// swapping, and reads the window's pixels: rows top to bottom, one
// 0xAARRGGBB word per pixel (the device's ReadFrontBuffer).
Status ReadPresentedPixels(GraphicsDevice* device, std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height);

}  // namespace plat
