// The peer transport over TCP: each frame travels as a 32-bit little-endian
// length followed by that many bytes. A length of 0 or above the link's
// limit breaks the framing and closes the connection: the body's buffer is
// never larger than the limit, whatever a far side announces.
#include <asio.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <future>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "platform/peer_transport_internal.h"

namespace plat {
namespace {

// A far side that reads nothing while this much waits for it is dropped
// rather than left to fill the memory.
constexpr size_t kMaxQueuedBytes = 32u * 1024 * 1024;

class TcpLink : public PeerLink, public std::enable_shared_from_this<TcpLink> {
 public:
  TcpLink(asio::io_context& io, LinkSink& sink) : io_(io), socket_(io), linger_(io), sink_(sink) {}

  asio::ip::tcp::socket& socket() { return socket_; }

  // On the io thread, once connected and before anyone asks.
  void NoteAddress() {
    asio::error_code error;
    const asio::ip::tcp::endpoint far = socket_.remote_endpoint(error);
    if (error) return;
    std::lock_guard<std::mutex> hold(addressLock_);
    address_ = far.address().to_string() + ":" + std::to_string(far.port());
  }

  void Start() {
    asio::error_code ignored;
    socket_.set_option(asio::ip::tcp::no_delay(true), ignored);
    ReadHead();
  }

  void SetFrameLimit(uint32_t bytes) override { limit_ = std::min(bytes, kPeerMaxFrame); }
  size_t Buffered() const override { return buffered_; }
  std::string Address() const override {
    std::lock_guard<std::mutex> hold(addressLock_);
    return address_;
  }

  void Send(std::vector<uint8_t> frame) override {
    if (silent_) return;
    auto self = shared_from_this();
    asio::post(io_, [self, frame = std::move(frame)]() mutable { self->QueueWrite(std::move(frame)); });
  }

  // Our own close: what is queued still goes out, then the socket closes.
  void Close() override {
    silent_ = true;
    auto self = shared_from_this();
    asio::post(io_, [self] {
      self->closing_ = true;
      if (self->writes_.empty()) self->Shut();
    });
  }

  // The transport stops: closes at once, unless writes are pending.
  void CloseOnIo() {
    silent_ = true;
    closing_ = true;
    if (writes_.empty()) Shut();
  }

 private:
  void ReadHead() {
    auto self = shared_from_this();
    asio::async_read(socket_, asio::buffer(head_), [self](const asio::error_code& error, size_t) {
      if (error) return self->Fail(ReadError(error));
      const uint32_t length = static_cast<uint32_t>(self->head_[0]) | (static_cast<uint32_t>(self->head_[1]) << 8) |
                              (static_cast<uint32_t>(self->head_[2]) << 16) |
                              (static_cast<uint32_t>(self->head_[3]) << 24);
      const uint32_t limit = self->limit_;
      if (length == 0) return self->Fail("announced an empty frame");
      if (length > limit)
        return self->Fail("announced a frame of " + std::to_string(length) + " bytes, more than the " +
                          std::to_string(limit) + " allowed");
      self->body_.assign(length, 0);
      self->buffered_ = length;
      self->ReadBody();
    });
  }

  void ReadBody() {
    auto self = shared_from_this();
    asio::async_read(socket_, asio::buffer(body_), [self](const asio::error_code& error, size_t) {
      if (error) return self->Fail(error == asio::error::eof ? "closed in the middle of a frame" : ReadError(error));
      if (!self->silent_) self->sink_.OnLinkFrame(self.get(), std::move(self->body_));
      self->body_ = std::vector<uint8_t>();
      self->buffered_ = 0;
      self->ReadHead();
    });
  }

  void QueueWrite(std::vector<uint8_t> frame) {
    if (dead_ || closing_) return;
    if (queued_ + frame.size() > kMaxQueuedBytes) return Fail("read nothing while 32 MB waited for it");
    const auto length = static_cast<uint32_t>(frame.size());
    std::vector<uint8_t> out(4 + frame.size());
    for (int i = 0; i < 4; ++i) out[static_cast<size_t>(i)] = static_cast<uint8_t>(length >> (8 * i));
    std::copy(frame.begin(), frame.end(), out.begin() + 4);
    queued_ += out.size();
    writes_.push_back(std::move(out));
    if (writes_.size() == 1) WriteNext();
  }

  void WriteNext() {
    auto self = shared_from_this();
    asio::async_write(socket_, asio::buffer(writes_.front()), [self](const asio::error_code& error, size_t) {
      if (error) return self->Fail("the connection broke: " + error.message());
      self->queued_ -= self->writes_.front().size();
      self->writes_.pop_front();
      if (!self->writes_.empty())
        self->WriteNext();
      else if (self->closing_)
        self->Shut();
    });
  }

  // Our side is done: the far side gets an orderly end of the stream and is
  // read to its own end (for two seconds at most). Closed at once, a socket
  // with frames still unread resets the connection, and the far side's
  // kernel throws away our last frames (the session's end among them) before
  // they are read.
  void Shut() {
    if (dead_ || shut_) return;
    shut_ = true;
    asio::error_code ignored;
    socket_.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
    auto self = shared_from_this();
    linger_.expires_after(std::chrono::seconds(2));
    linger_.async_wait([self](const asio::error_code& error) {
      if (!error) self->Fail("did not close its side");
    });
  }

  static std::string ReadError(const asio::error_code& error) {
    if (error == asio::error::eof) return "closed the connection";
    return "the connection broke: " + error.message();
  }

  void Fail(std::string why) {
    if (dead_) return;
    dead_ = true;
    // Queued frames stay until the link goes: a write under way still uses
    // the first of them until its handler runs.
    asio::error_code ignored;
    socket_.close(ignored);
    linger_.cancel();
    body_ = std::vector<uint8_t>();
    buffered_ = 0;
    if (!silent_) sink_.OnLinkClosed(this, std::move(why));
  }

  asio::io_context& io_;
  asio::ip::tcp::socket socket_;
  asio::steady_timer linger_;
  LinkSink& sink_;
  std::atomic<bool> silent_{false};
  std::atomic<uint32_t> limit_{kPeerMaxFrame};
  std::atomic<size_t> buffered_{0};
  mutable std::mutex addressLock_;
  std::string address_ = "an unknown address";
  bool closing_ = false;
  bool shut_ = false;
  bool dead_ = false;
  uint8_t head_[4] = {};
  std::vector<uint8_t> body_;
  std::deque<std::vector<uint8_t>> writes_;
  size_t queued_ = 0;
};

class TcpTransport : public PeerTransport {
 public:
  TcpTransport() : guard_(asio::make_work_guard(io_)), acceptor_(io_) {
    std::promise<void> ended;
    ended_ = ended.get_future();
    thread_ = std::thread([this, ended = std::move(ended)]() mutable {
      asio::error_code ignored;
      io_.run(ignored);
      ended.set_value();
    });
  }

  ~TcpTransport() override { Shutdown(); }

  Status Listen(LinkSink& sink, const char* bindAddress, uint16_t port, uint16_t* bound) override {
    asio::error_code error;
    const asio::ip::address address = asio::ip::make_address(bindAddress, error);
    if (error) return kInvalidArg;
    std::promise<Status> result;
    std::future<Status> listened = result.get_future();
    asio::post(io_, [&, address] {
      asio::error_code e;
      const asio::ip::tcp::endpoint endpoint(address, port);
      acceptor_.open(endpoint.protocol(), e);
      if (!e) acceptor_.set_option(asio::ip::tcp::acceptor::reuse_address(true), e);
      if (!e) acceptor_.bind(endpoint, e);
      if (!e) acceptor_.listen(asio::socket_base::max_listen_connections, e);
      if (e) {
        acceptor_.close(e);
        result.set_value(kFail);
        return;
      }
      *bound = acceptor_.local_endpoint(e).port();
      Accept(sink);
      result.set_value(kOk);
    });
    return listened.get();
  }

  void Connect(LinkSink& sink, const char* address, uint16_t port,
               std::function<void(std::shared_ptr<PeerLink>)> done) override {
    auto resolver = std::make_shared<asio::ip::tcp::resolver>(io_);
    auto link = std::make_shared<TcpLink>(io_, sink);
    resolver->async_resolve(
        std::string(address), std::to_string(port),
        [this, resolver, link, done](const asio::error_code& error, asio::ip::tcp::resolver::results_type results) {
          if (error) return done(nullptr);
          asio::async_connect(link->socket(), results,
                              [this, link, done](const asio::error_code& e, const asio::ip::tcp::endpoint&) {
                                if (e) return done(nullptr);
                                Track(link);
                                link->NoteAddress();
                                link->Start();
                                done(link);
                              });
        });
  }

  void Shutdown() override {
    if (!thread_.joinable()) return;
    asio::post(io_, [this] {
      asio::error_code ignored;
      acceptor_.close(ignored);
      std::lock_guard<std::mutex> hold(linksLock_);
      for (auto& weak : links_)
        if (auto link = weak.lock()) link->CloseOnIo();
      links_.clear();
    });
    guard_.reset();
    // Frames still queued get a moment to leave; a far side that reads
    // nothing does not hold the shut-down.
    if (ended_.wait_for(std::chrono::seconds(1)) != std::future_status::ready) io_.stop();
    thread_.join();
  }

 private:
  void Accept(LinkSink& sink) {
    auto link = std::make_shared<TcpLink>(io_, sink);
    acceptor_.async_accept(link->socket(), [this, link, &sink](const asio::error_code& error) {
      if (error == asio::error::operation_aborted || !acceptor_.is_open()) return;
      if (!error) {
        Track(link);
        link->NoteAddress();
        sink.OnLinkOpened(link);
        link->Start();
      }
      Accept(sink);
    });
  }

  void Track(const std::shared_ptr<TcpLink>& link) {
    std::lock_guard<std::mutex> hold(linksLock_);
    // Forget links that are gone.
    for (auto it = links_.begin(); it != links_.end();) it = it->expired() ? links_.erase(it) : std::next(it);
    links_.push_back(link);
  }

  asio::io_context io_;
  asio::executor_work_guard<asio::io_context::executor_type> guard_;
  asio::ip::tcp::acceptor acceptor_;
  std::mutex linksLock_;
  std::vector<std::weak_ptr<TcpLink>> links_;
  std::future<void> ended_;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<PeerTransport> MakeTcpTransport() { return std::make_unique<TcpTransport>(); }

}  // namespace plat
