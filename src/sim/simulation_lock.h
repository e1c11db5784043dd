#pragma once
// The simulation lock: held while anything changes the simulation copies of
// the world (the simulation pass of each command, the minute's unit work,
// the daily steps) and by screen code that walks the world. It comes before
// the command-log lock in the lock order. A display pass takes it only when
// it links records into the world's lists (DisplayPassLinksRecords), and
// then before the command-log lock. Nothing goes to the peers while it is
// held: a send made under it waits and goes out as it is let go
// (net/held_sends.h).
#include "platform/threads.h"

extern plat::CriticalSection g_simulationLock;
