#include "net/held_sends.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <vector>

#include "app/app_object.h"
#include "app/log.h"
#include "net/net_session.h"
#include "platform/peer.h"
#include "platform/threads.h"

namespace {

struct Held {
  NetSession* session = nullptr;
  uint32_t target = 0;
  uint32_t flags = 0;
  std::vector<uint8_t> data;
};

// Never destroyed: a session closing as the program ends still finds it.
struct Outbox {
  std::atomic<plat::CriticalSection*> waitFor{nullptr};
  // Taken by whoever sends to the peers, for the whole of its sending: what
  // waits and a send made now go out one after another, in order. Only the
  // peer's own lock is taken inside it.
  std::mutex order;
  std::mutex queueLock;  // leaf: only the queue below
  std::deque<Held> queue;
  std::atomic<size_t> waiting{0};
  std::atomic<uint64_t> underLock{0};
  std::atomic<uint64_t> heldBack{0};
};

Outbox& TheOutbox() {
  static Outbox* outbox = new Outbox;
  return *outbox;
}

bool LockHeld(const Outbox& o) {
  const plat::CriticalSection* lock = o.waitFor.load(std::memory_order_acquire);
  return lock && lock->HeldByThisThread();
}

// With the order taken.
int32_t SendNow(Outbox& o, NetSession& session, uint32_t target, const uint8_t* data, size_t size, uint32_t flags) {
  if (LockHeld(o)) {
    o.underLock.fetch_add(1, std::memory_order_relaxed);
    LogWrite(g_platform, "NetStage: a message of %zu bytes was sent with the simulation lock held\n", size);
  }
  if (!session.peer) return plat::kFail;
  return session.peer->SendTo(target, data, size, flags);
}

// With the order taken: what waits, oldest first.
void SendWaiting(Outbox& o) {
  for (;;) {
    Held h;
    {
      std::lock_guard<std::mutex> hold(o.queueLock);
      if (o.queue.empty()) return;
      h = std::move(o.queue.front());
      o.queue.pop_front();
      o.waiting.fetch_sub(1, std::memory_order_relaxed);
    }
    // A message for a session closed since is for nobody.
    if (h.session->inSession.load()) (void)SendNow(o, *h.session, h.target, h.data.data(), h.data.size(), h.flags);
  }
}

}  // namespace

plat::CriticalSection* NetSendsWaitFor(plat::CriticalSection* lock) {
  return TheOutbox().waitFor.exchange(lock, std::memory_order_acq_rel);
}

int32_t NetPeerSend(NetSession& session, uint32_t target, const uint8_t* data, size_t size, uint32_t flags) {
  Outbox& o = TheOutbox();
  if (!session.peer || (size && !data)) return plat::kFail;
  if (LockHeld(o)) {
    Held h{&session, target, flags, std::vector<uint8_t>(data, data + size)};
    std::lock_guard<std::mutex> hold(o.queueLock);
    o.queue.push_back(std::move(h));
    o.waiting.fetch_add(1, std::memory_order_relaxed);
    o.heldBack.fetch_add(1, std::memory_order_relaxed);
    return plat::kOk;
  }
  std::lock_guard<std::mutex> order(o.order);
  SendWaiting(o);
  return SendNow(o, session, target, data, size, flags);
}

void NetSendHeldMessages() {
  Outbox& o = TheOutbox();
  // Every release of the lock comes here: mostly there is nothing.
  if (o.waiting.load(std::memory_order_relaxed) == 0 || LockHeld(o)) return;
  std::lock_guard<std::mutex> order(o.order);
  SendWaiting(o);
}

void NetSendHeldMessagesOf(const NetSession& session) {
  Outbox& o = TheOutbox();
  if (o.waiting.load(std::memory_order_relaxed) == 0) return;
  std::lock_guard<std::mutex> order(o.order);
  // Closing under the lock still sends what the game said before it closed
  // (and counts it).
  SendWaiting(o);
  std::lock_guard<std::mutex> hold(o.queueLock);
  const auto gone = std::remove_if(o.queue.begin(), o.queue.end(), [&](const Held& h) { return h.session == &session; });
  o.waiting.fetch_sub(static_cast<size_t>(o.queue.end() - gone), std::memory_order_relaxed);
  o.queue.erase(gone, o.queue.end());
}

uint64_t NetSendsUnderLock() { return TheOutbox().underLock.load(std::memory_order_relaxed); }
uint64_t NetSendsHeldBack() { return TheOutbox().heldBack.load(std::memory_order_relaxed); }
