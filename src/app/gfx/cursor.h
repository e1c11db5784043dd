#pragma once
// The pointer: the system cursor, or the device cursor drawn from the cells
// of the cursor sheet and moved by the cursor thread.
#include <cstdint>

#include "platform/graphics_device.h"
#include "platform/window.h"

struct PlatformState;
struct Renderer;

inline constexpr int32_t kCursorCellSize = 32;

// The hot spot of a cell: cells 0 to 3 at (0, 0), 4 to 7 at (15, 15), 8 at
// (4, 11); any other at (0, 0).
plat::Point CursorHotSpot(int32_t cell);

// Shows the cell as the device cursor; the current cell becomes the cell in
// any case. kFail without a sheet; else the result of taking the cell from
// the sheet (a cell outside the sheet leaves the cursor as it was).
plat::Status UpdateHardwareCursor(Renderer& renderer, int32_t cell);

void HideCursor(PlatformState& platform);
void ShowCurrentCursor(PlatformState& platform);
// The arrow: cell 0 of the device cursor, or the system arrow.
void RestoreCursor(PlatformState& platform);
