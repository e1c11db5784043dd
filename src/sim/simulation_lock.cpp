#include "sim/simulation_lock.h"

#include "net/held_sends.h"

// What a thread sends to the peers while it holds the lock goes out as it
// lets the lock go.
plat::CriticalSection g_simulationLock(&NetSendHeldMessages);

namespace {
[[maybe_unused]] const bool g_sendsWait = (NetSendsWaitFor(&g_simulationLock), true);
}  // namespace
