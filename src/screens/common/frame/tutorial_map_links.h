#pragma once
// What the tutorial window does on the map as the player would, and the
// lock it puts on the wheel. The map's input puts its operations in at
// start-up (InstallMapPaneLinks); one left null does nothing.
#include <cstdint>

#include "screens/common/screen_types_fwd.h"

struct TutorialMapLinks {
  // The hex menu at (x, y) for the selected hex.
  void (*openHexMenu)(int32_t x, int32_t y) = nullptr;
  // Selects the units at the click, as SelectUnitsAtClick.
  void (*selectUnitsAtClick)(ScreenSet& screens, int32_t x, int32_t y, int32_t add) = nullptr;
  // The order menu at (x, y), once the player has opened it before.
  void (*openOrderMenu)(int32_t x, int32_t y) = nullptr;
};
extern TutorialMapLinks g_tutorialMapLinks;

// Set by the tutorial while the wheel must not zoom.
extern int32_t g_mapWheelLock;
