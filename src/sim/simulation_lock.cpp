#include "sim/simulation_lock.h"

plat::CriticalSection g_simulationLock;
