#pragma once
// The simulation lock: held while anything changes the simulation copies of
// the world (the simulation pass of each command, the minute's unit work,
// the daily steps) and by screen code that walks the world. It comes before
// the command-log lock in the lock order; a display pass never takes it.
#include "platform/threads.h"

extern plat::CriticalSection g_simulationLock;
