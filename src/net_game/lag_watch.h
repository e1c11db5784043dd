#pragma once
// The host's watch over the clock's wait on a lagging person's peer: a
// wait that lasts is shown to the host with the player's name, and a peer
// that sends nothing for the session's limit is given up as a lost
// connection, which frees its slot and lets the clock go on.
#include <cstdint>

struct NetSession;
struct World;

// Called while the clock waits (turn thread), with the time in ms.
void WatchLaggingPeer(NetSession& session, const World& world, uint64_t nowMs);
