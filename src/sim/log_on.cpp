#include "sim/log_on.h"

// The game's threads, timers and log start with the turn simulation; the
// editor's blank world needs none of them yet.
int32_t LogOn(ScreenManager&, int32_t, int32_t) { return 0; }
