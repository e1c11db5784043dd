#pragma once
// Waiting with the window kept alive: used by the start-up screens and their
// fades, which run before the message loop does.
#include <cstdint>

struct PlatformState;

// Waits the given time, dispatching window messages when pump is set;
// returns 1 as soon as the skip flag is seen, 0 when the time ran out.
int32_t PumpMessages(PlatformState& platform, uint32_t milliseconds, int32_t pump);
