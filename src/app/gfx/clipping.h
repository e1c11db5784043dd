#pragma once
// Clipping with the device viewport. Each call flushes the queued 2D drawing
// first, so what was queued is clipped as it was when it was queued.
#include <cstdint>

#include "platform/graphics_device.h"

struct Renderer;

// Sets the viewport to the rectangle, cut to the screen when it reaches
// outside; kFail when nothing of it is on the screen.
plat::Status SetClipRect(Renderer& renderer, int32_t left, int32_t top, int32_t right, int32_t bottom);
// Keeps the current viewport in saved (the renderer's saved viewport when
// null) and clips to the rectangle within it; kFail when they do not meet.
plat::Status IntersectClipRect(plat::Viewport* saved, Renderer& renderer, int32_t left, int32_t top, int32_t right,
                               int32_t bottom);
// Sets the viewport given, or the renderer's saved viewport when null.
plat::Status SetViewportOrDefault(Renderer& renderer, const plat::Viewport* viewport);
// Back to the full-screen viewport.
plat::Status RestoreViewport(Renderer& renderer);
