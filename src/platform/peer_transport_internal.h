#pragma once
// What a peer needs of its transport: links that carry whole frames, a
// listener for a host and an outgoing link for a joiner. The session rules
// live above this, once for every transport.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/peer.h"
#include "platform/status.h"

namespace plat {

// One connection. Send and Close are safe from any thread; after Close no
// frame goes out and no event of this link arrives.
class PeerLink {
 public:
  virtual ~PeerLink() = default;
  virtual void Send(std::vector<uint8_t> frame) = 0;
  virtual void Close() = 0;
};

// The peer's side: the transport calls these from its own threads; each
// only queues work for the peer's network thread.
class LinkSink {
 public:
  virtual ~LinkSink() = default;
  virtual void OnLinkOpened(std::shared_ptr<PeerLink> link) = 0;  // host: a joiner connected
  virtual void OnLinkFrame(PeerLink* link, std::vector<uint8_t> frame) = 0;
  // The link broke or its far side closed it (not called after our own Close).
  virtual void OnLinkClosed(PeerLink* link) = 0;
};

class PeerTransport {
 public:
  virtual ~PeerTransport() = default;
  virtual Status Listen(LinkSink& sink, const char* bindAddress, uint16_t port, uint16_t* bound) = 0;
  // Calls `done` once, from any thread, with the link or null.
  virtual void Connect(LinkSink& sink, const char* address, uint16_t port,
                       std::function<void(std::shared_ptr<PeerLink>)> done) = 0;
  // Closes every link and the listener; no sink call follows.
  virtual void Shutdown() = 0;
};

std::unique_ptr<PeerTransport> MakeTcpTransport();
std::unique_ptr<PeerTransport> MakeInProcessTransport(InProcessNetwork& network);

}  // namespace plat
