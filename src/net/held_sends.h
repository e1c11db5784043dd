#pragma once
// Nothing goes to the peers while the simulation lock is held. A thread
// that holds the lock the network is told of (the simulation's) and sends
// leaves its message here, and what waits goes out, in the order it was
// sent, as soon as that thread lets the lock go. A send made without the
// lock first sends what waits, so the peers hear every message in the
// order the game sent it: a player's commands keep their stamps' order.
#include <cstddef>
#include <cstdint>

namespace plat {
class CriticalSection;
}
struct NetSession;

// The lock sends wait for, or none; returns the one before. The lock's own
// release must call NetSendHeldMessages.
plat::CriticalSection* NetSendsWaitFor(plat::CriticalSection* lock);

// Sends one message to the session's peers (Peer::SendTo's target and
// flags): now, or once the lock is let go. What waits counts as sent.
int32_t NetPeerSend(NetSession& session, uint32_t target, const uint8_t* data, size_t size, uint32_t flags);

// Sends what waits, unless this thread holds the lock.
void NetSendHeldMessages();
// The session closes: what waits for it goes first; none is left behind.
void NetSendHeldMessagesOf(const NetSession& session);

// What a test reads: messages that went to the peers while the sending
// thread held the lock (none, while all is well), and those that waited.
uint64_t NetSendsUnderLock();
uint64_t NetSendsHeldBack();
