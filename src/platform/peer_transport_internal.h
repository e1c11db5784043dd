#pragma once
// What a peer needs of its transport: links that carry whole frames, a
// listener for a host and an outgoing link for a joiner. The session rules
// live above this, once for every transport.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/peer.h"
#include "platform/status.h"

namespace plat {

// The largest frame a link carries: a data frame's head on the largest message.
inline constexpr uint32_t kPeerMaxFrame = static_cast<uint32_t>(kPeerMaxMessage) + 64;

// One connection. Send and Close are safe from any thread; after Close no
// frame goes out and no event of this link arrives.
class PeerLink {
 public:
  virtual ~PeerLink() = default;
  virtual void Send(std::vector<uint8_t> frame) = 0;
  virtual void Close() = 0;
  // A frame announced longer than this (at most kPeerMaxFrame) breaks the
  // framing; set before the first read, or raised between frames.
  virtual void SetFrameLimit(uint32_t bytes) = 0;
  // Bytes held for a frame being read.
  virtual size_t Buffered() const = 0;
  // The far side's address, for the log.
  virtual std::string Address() const = 0;
};

// The peer's side: the transport calls these from its own threads; each
// only queues work for the peer's network thread.
class LinkSink {
 public:
  virtual ~LinkSink() = default;
  virtual void OnLinkOpened(std::shared_ptr<PeerLink> link) = 0;  // host: a joiner connected
  virtual void OnLinkFrame(PeerLink* link, std::vector<uint8_t> frame) = 0;
  // The link broke or its far side closed it (not called after our own
  // Close), and why.
  virtual void OnLinkClosed(PeerLink* link, std::string why) = 0;
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
