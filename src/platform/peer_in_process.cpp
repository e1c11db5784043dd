// The peer transport inside one process: a connection is a pair of ends
// that hand each frame straight to the other side's peer. Tests run whole
// sessions on it without sockets.
#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <mutex>

#include "platform/peer_transport_internal.h"

namespace plat {

class InProcessTransport;

struct InProcessNetwork::State {
  std::mutex lock;
  std::map<uint16_t, InProcessTransport*> listeners;
  uint16_t nextPort = 1;
};

InProcessNetwork::InProcessNetwork() : state(std::make_shared<State>()) {}
InProcessNetwork::~InProcessNetwork() = default;

namespace {

class PipeEnd;

// The two ends of one connection share this; its lock orders every frame
// and the close, and no frame crosses after the close.
struct Pipe {
  std::mutex lock;
  bool open = true;
  LinkSink* sinks[2] = {};
  PipeEnd* ends[2] = {};
};

class PipeEnd : public PeerLink {
 public:
  PipeEnd(std::shared_ptr<Pipe> pipe, int side) : pipe_(std::move(pipe)), side_(side) {
    pipe_->ends[side_] = this;
  }
  ~PipeEnd() override {
    Close();
    std::lock_guard<std::mutex> hold(pipe_->lock);
    pipe_->ends[side_] = nullptr;
  }

  void Send(std::vector<uint8_t> frame) override {
    std::lock_guard<std::mutex> hold(pipe_->lock);
    const int other = 1 - side_;
    if (!pipe_->open || !pipe_->ends[other]) return;
    PipeEnd* far = pipe_->ends[other];
    if (frame.empty() || frame.size() > far->limit_) {
      // The receiving end breaks the framing, as a socket would.
      const std::string why = "announced a frame of " + std::to_string(frame.size()) + " bytes, more than the " +
                              std::to_string(far->limit_.load()) + " allowed";
      pipe_->open = false;
      pipe_->sinks[other]->OnLinkClosed(far, why);
      pipe_->sinks[side_]->OnLinkClosed(this, "closed the connection");
      return;
    }
    pipe_->sinks[other]->OnLinkFrame(far, std::move(frame));
  }

  void Close() override {
    std::lock_guard<std::mutex> hold(pipe_->lock);
    if (!pipe_->open) return;
    pipe_->open = false;
    const int other = 1 - side_;
    if (pipe_->ends[other]) pipe_->sinks[other]->OnLinkClosed(pipe_->ends[other], "closed the connection");
  }

  void SetFrameLimit(uint32_t bytes) override { limit_ = std::min(bytes, kPeerMaxFrame); }
  size_t Buffered() const override { return 0; }  // frames cross whole
  std::string Address() const override { return "in-process end " + std::to_string(side_); }

 private:
  std::shared_ptr<Pipe> pipe_;
  int side_;
  std::atomic<uint32_t> limit_{kPeerMaxFrame};
};

}  // namespace

class InProcessTransport : public PeerTransport {
 public:
  explicit InProcessTransport(InProcessNetwork& network) : network_(network.state) {}
  ~InProcessTransport() override { Shutdown(); }

  Status Listen(LinkSink& sink, const char*, uint16_t port, uint16_t* bound) override {
    std::lock_guard<std::mutex> hold(network_->lock);
    if (port == 0) {
      while (network_->listeners.count(network_->nextPort) || network_->nextPort == 0) ++network_->nextPort;
      port = network_->nextPort++;
    } else if (network_->listeners.count(port)) {
      return kFail;
    }
    sink_ = &sink;
    port_ = port;
    network_->listeners[port] = this;
    *bound = port;
    return kOk;
  }

  void Connect(LinkSink& sink, const char*, uint16_t port,
               std::function<void(std::shared_ptr<PeerLink>)> done) override {
    std::shared_ptr<PipeEnd> mine;
    {
      std::lock_guard<std::mutex> hold(network_->lock);
      auto it = network_->listeners.find(port);
      if (it != network_->listeners.end()) {
        auto pipe = std::make_shared<Pipe>();
        pipe->sinks[0] = &sink;
        pipe->sinks[1] = it->second->sink_;
        mine = std::make_shared<PipeEnd>(pipe, 0);
        auto theirs = std::make_shared<PipeEnd>(pipe, 1);
        it->second->Track(theirs);
        it->second->sink_->OnLinkOpened(theirs);
      }
    }
    if (mine) Track(mine);
    done(mine);
  }

  void Shutdown() override {
    {
      std::lock_guard<std::mutex> hold(network_->lock);
      auto it = network_->listeners.find(port_);
      if (port_ && it != network_->listeners.end() && it->second == this) network_->listeners.erase(it);
      port_ = 0;
    }
    std::vector<std::shared_ptr<PeerLink>> links;
    {
      std::lock_guard<std::mutex> hold(linksLock_);
      for (auto& weak : links_)
        if (auto link = weak.lock()) links.push_back(link);
      links_.clear();
    }
    for (auto& link : links) link->Close();
  }

 private:
  void Track(const std::shared_ptr<PeerLink>& link) {
    std::lock_guard<std::mutex> hold(linksLock_);
    for (auto it = links_.begin(); it != links_.end();) it = it->expired() ? links_.erase(it) : std::next(it);
    links_.push_back(link);
  }

  std::shared_ptr<InProcessNetwork::State> network_;
  LinkSink* sink_ = nullptr;
  uint16_t port_ = 0;
  std::mutex linksLock_;
  std::vector<std::weak_ptr<PeerLink>> links_;
};

std::unique_ptr<PeerTransport> MakeInProcessTransport(InProcessNetwork& network) {
  return std::make_unique<InProcessTransport>(network);
}

}  // namespace plat
