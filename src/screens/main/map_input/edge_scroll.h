#pragma once
// Scrolling the map while the pointer rests on an edge of the screen, or of
// the map's viewport while the pointer is held inside it; a drag rectangle
// being drawn keeps its anchor on the same map point as the map moves.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

// One frame of edge scrolling for the pointer at (x, y) in screen pixels.
// Nothing in the front end, while the map was dragged this frame, while the
// view's scroll lock or the interface's edge-scroll block is set.
void EdgeScrollMap(ScreenManager& ui, int32_t x, int32_t y);
