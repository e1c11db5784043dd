#pragma once
// The close-up picture of the map panel: the selected hex and its six
// neighbours enlarged, with the ground under them, their connections,
// facilities and units.
#include <cstdint>

#include "platform/window.h"
#include "screens/common/screen_types_fwd.h"

// Draws the close-up into the panel's screen rectangle; nothing without a
// selected hex. The device viewport is as it was afterwards.
void DrawMapBase(const MapView& view, const plat::Rect& panel);
// Fills the close-up's 128 x 128 work texture with one colour (the ground
// off the map's picture, or of a map without one); false without the
// texture.
bool FillCloseUpGround(uint32_t colour);
