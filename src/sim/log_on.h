#pragma once
// Log-on: prepares a loaded or blank world to run and starts its threads.
#include <cstdint>

struct ScreenManager;

// Returns the status of loading the map images, or the generic failure when
// the turn thread cannot be made.
int32_t LogOn(ScreenManager& ui, int32_t loadedFromSave, int32_t joining);
