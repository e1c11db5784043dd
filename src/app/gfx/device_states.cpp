#include "app/gfx/renderer.h"

// The 2D render states go with the sprite batch; until it exists the device's
// own defaults stand.
plat::Status InitDeviceStates(Renderer&) { return plat::kOk; }
