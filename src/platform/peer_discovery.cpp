// Host discovery over UDP: the searcher's and the responder's loops, each on
// its own thread, and the checked encoding of their two datagrams.
#include "platform/peer_discovery.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <asio.hpp>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <random>
#include <thread>

namespace plat {
namespace {

void Put32(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(uint8_t* at, uint16_t v) {
  at[0] = static_cast<uint8_t>(v);
  at[1] = static_cast<uint8_t>(v >> 8);
}
uint32_t Get32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) | (static_cast<uint32_t>(at[2]) << 16) |
         (static_cast<uint32_t>(at[3]) << 24);
}
uint16_t Get16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

constexpr size_t kReceiveBuffer = 512;  // larger than either datagram, so an oversized one is seen as such

uint32_t NowMs(std::chrono::steady_clock::time_point epoch) {
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - epoch).count());
}

}  // namespace

void EncodeDiscoveryQuery(const DiscoveryQueryWire& query, uint8_t out[sizeof(DiscoveryQueryWire)]) {
  Put32(out + 0, query.magic);
  Put32(out + 4, query.nonce);
  Put32(out + 8, query.sentMs);
}

const char* DecodeDiscoveryQuery(const uint8_t* data, size_t size, DiscoveryQueryWire& out) {
  if (size != sizeof(DiscoveryQueryWire)) return "wrong size";
  out.magic = Get32(data + 0);
  out.nonce = Get32(data + 4);
  out.sentMs = Get32(data + 8);
  if (out.magic != kDiscoveryQueryMagic) return "not a query";
  return nullptr;
}

void EncodeDiscoveryAnswer(const DiscoveryAnswerWire& answer, uint8_t out[sizeof(DiscoveryAnswerWire)]) {
  Put32(out + 0, answer.magic);
  Put32(out + 4, answer.nonce);
  Put32(out + 8, answer.sentMs);
  Put32(out + 12, answer.instanceLow);
  Put32(out + 16, answer.instanceHigh);
  Put16(out + 20, answer.hostPort);
  Put16(out + 22, answer.reserved);
  Put32(out + 24, answer.players);
  Put32(out + 28, answer.maxPlayers);
  std::memcpy(out + 32, answer.sessionName, kDiscoveryNameSize);
}

const char* DecodeDiscoveryAnswer(const uint8_t* data, size_t size, uint32_t nonce, DiscoveryAnswerWire& out) {
  if (size != sizeof(DiscoveryAnswerWire)) return "wrong size";
  out.magic = Get32(data + 0);
  out.nonce = Get32(data + 4);
  out.sentMs = Get32(data + 8);
  out.instanceLow = Get32(data + 12);
  out.instanceHigh = Get32(data + 16);
  out.hostPort = Get16(data + 20);
  out.reserved = Get16(data + 22);
  out.players = Get32(data + 24);
  out.maxPlayers = Get32(data + 28);
  std::memcpy(out.sessionName, data + 32, kDiscoveryNameSize);
  if (out.magic != kDiscoveryAnswerMagic) return "not an answer";
  if (out.nonce != nonce) return "answers another search";
  if (std::memchr(out.sessionName, 0, kDiscoveryNameSize) == nullptr) return "session name unterminated";
  if (out.sessionName[0] == 0) return "session name empty";
  if (out.hostPort == 0) return "no session port";
  if (out.maxPlayers > kDiscoveryMaxPlayers) return "player limit out of range";
  const uint32_t cap = out.maxPlayers != 0 ? out.maxPlayers : kDiscoveryMaxPlayers;
  if (out.players == 0 || out.players > cap) return "player count out of range";
  return nullptr;
}

// ---- the searcher ----

struct PeerDiscovery::Core {
  asio::io_context io;
  asio::ip::udp::socket socket{io};
  asio::steady_timer retry{io};
  asio::steady_timer deadline{io};
  asio::ip::udp::endpoint target;
  asio::ip::udp::endpoint sender;
  uint8_t buffer[kReceiveBuffer] = {};
  std::thread thread;
  std::atomic<bool> running{false};
  bool finished = false;  // io thread only
  DiscoveryHandler* handler = nullptr;
  uint32_t nonce = 0;
  uint32_t retryMs = 0;
  std::chrono::steady_clock::time_point epoch = std::chrono::steady_clock::now();

  void SendQuery() {
    if (finished) return;
    DiscoveryQueryWire query{kDiscoveryQueryMagic, nonce, NowMs(epoch)};
    uint8_t bytes[sizeof(DiscoveryQueryWire)];
    EncodeDiscoveryQuery(query, bytes);
    asio::error_code ignored;  // an unreachable target is simply not heard from
    socket.send_to(asio::buffer(bytes), target, 0, ignored);
    retry.expires_after(std::chrono::milliseconds(retryMs));
    retry.async_wait([this](const asio::error_code& error) {
      if (!error) SendQuery();
    });
  }

  void Receive() {
    socket.async_receive_from(asio::buffer(buffer), sender, [this](const asio::error_code& error, size_t size) {
      if (finished || error == asio::error::operation_aborted) return;
      if (!error) Heard(size);
      Receive();
    });
  }

  void Heard(size_t size) {
    asio::error_code ignored;
    const std::string from = sender.address().to_string(ignored);
    DiscoveryAnswerWire wire{};
    const char* why = DecodeDiscoveryAnswer(buffer, size, nonce, wire);
    const uint32_t now = NowMs(epoch);
    if (why == nullptr && wire.sentMs > now) why = "round trip from the future";
    if (why != nullptr) return handler->OnBadAnswer(from, why);
    PeerHostAnswer answer;
    answer.instance = (static_cast<uint64_t>(wire.instanceHigh) << 32) | wire.instanceLow;
    answer.sessionName = wire.sessionName;
    answer.players = wire.players;
    answer.maxPlayers = wire.maxPlayers;
    answer.roundTripMs = now - wire.sentMs;
    answer.address = from;
    answer.hostPort = wire.hostPort;
    handler->OnHostAnswer(answer);
  }

  void Finish(Status result) {
    if (finished) return;
    finished = true;
    asio::error_code ignored;
    retry.cancel();
    deadline.cancel();
    socket.close(ignored);
    handler->OnSearchDone(result);
    running = false;
  }
};

PeerDiscovery::PeerDiscovery() : core_(std::make_unique<Core>()) {}
PeerDiscovery::~PeerDiscovery() { Cancel(); }

bool PeerDiscovery::Running() const { return core_->running; }

Status PeerDiscovery::Start(const std::string& address, uint16_t port, uint32_t retryMs, uint32_t timeoutMs,
                            DiscoveryHandler& handler) {
  if (core_->running) return kFail;
  if (core_->thread.joinable()) core_->thread.join();
  // A fresh context per search, so nothing queued for an earlier one can reach this one.
  core_ = std::make_unique<Core>();
  Core& c = *core_;
  if (port == 0 || retryMs == 0) return kInvalidArg;
  asio::error_code error;
  asio::ip::address ip = address.empty() ? asio::ip::address(asio::ip::address_v4::broadcast())
                                         : asio::ip::make_address(address, error);
  if (error) return kInvalidArg;
  c.socket.open(ip.is_v6() ? asio::ip::udp::v6() : asio::ip::udp::v4(), error);
  if (error) return kFail;
  if (address.empty()) c.socket.set_option(asio::socket_base::broadcast(true), error);
  if (!error) c.socket.bind(asio::ip::udp::endpoint(ip.is_v6() ? asio::ip::udp::v6() : asio::ip::udp::v4(), 0), error);
  if (error) {
    asio::error_code ignored;
    c.socket.close(ignored);
    return kFail;
  }
  c.target = asio::ip::udp::endpoint(ip, port);
  c.handler = &handler;
  c.retryMs = retryMs;
  c.finished = false;
  std::random_device seed;  // keeps one search's answers apart from an earlier one's; no game state
  c.nonce = seed();
  c.running = true;
  asio::post(c.io, [&c] {
    c.Receive();
    c.SendQuery();
  });
  if (timeoutMs != 0) {
    c.deadline.expires_after(std::chrono::milliseconds(timeoutMs));
    c.deadline.async_wait([&c](const asio::error_code& e) {
      if (!e) c.Finish(kOk);
    });
  }
  c.thread = std::thread([&c] { c.io.run(); });
  return kOk;
}

void PeerDiscovery::Cancel() {
  Core& c = *core_;
  if (!c.thread.joinable()) return;
  if (c.running) asio::post(c.io, [&c] { c.Finish(kPeerCancelled); });
  c.thread.join();
}

// ---- the responder ----

struct PeerDiscoveryResponder::Core {
  asio::io_context io;
  asio::ip::udp::socket socket{io};
  asio::ip::udp::endpoint sender;
  uint8_t buffer[kReceiveBuffer] = {};
  std::thread thread;
  std::mutex lock;  // guards the answer's counts
  DiscoveryAnswerWire answer{};
  std::atomic<uint32_t> badQueries{0};
  uint16_t port = 0;

  void Receive() {
    socket.async_receive_from(asio::buffer(buffer), sender, [this](const asio::error_code& error, size_t size) {
      if (error == asio::error::operation_aborted || !socket.is_open()) return;
      if (!error) Answer(size);
      Receive();
    });
  }

  void Answer(size_t size) {
    DiscoveryQueryWire query{};
    if (DecodeDiscoveryQuery(buffer, size, query) != nullptr) {
      ++badQueries;
      return;
    }
    uint8_t bytes[sizeof(DiscoveryAnswerWire)];
    {
      std::lock_guard<std::mutex> hold(lock);
      answer.nonce = query.nonce;
      answer.sentMs = query.sentMs;
      EncodeDiscoveryAnswer(answer, bytes);
    }
    asio::error_code ignored;
    socket.send_to(asio::buffer(bytes), sender, 0, ignored);
  }
};

PeerDiscoveryResponder::PeerDiscoveryResponder() : core_(std::make_unique<Core>()) {}
PeerDiscoveryResponder::~PeerDiscoveryResponder() { Stop(); }

Status PeerDiscoveryResponder::Start(const std::string& bindAddress, uint16_t port, const std::string& sessionName,
                                     uint64_t instance, uint16_t hostPort) {
  if (core_->thread.joinable()) return kFail;
  core_ = std::make_unique<Core>();
  Core& c = *core_;
  if (sessionName.empty() || sessionName.size() >= kDiscoveryNameSize || hostPort == 0) return kInvalidArg;
  asio::error_code error;
  asio::ip::address ip = bindAddress.empty() ? asio::ip::address(asio::ip::address_v4::any())
                                             : asio::ip::make_address(bindAddress, error);
  if (error) return kInvalidArg;
  const asio::ip::udp::endpoint local(ip, port);
  c.socket.open(local.protocol(), error);
  if (!error) c.socket.bind(local, error);
  if (error) {
    asio::error_code ignored;
    c.socket.close(ignored);
    return kFail;
  }
  c.port = c.socket.local_endpoint(error).port();
  {
    std::lock_guard<std::mutex> hold(c.lock);
    c.answer = DiscoveryAnswerWire{};
    c.answer.magic = kDiscoveryAnswerMagic;
    c.answer.instanceLow = static_cast<uint32_t>(instance);
    c.answer.instanceHigh = static_cast<uint32_t>(instance >> 32);
    c.answer.hostPort = hostPort;
    c.answer.players = 1;
    std::memcpy(c.answer.sessionName, sessionName.data(), sessionName.size());
  }
  c.badQueries = 0;
  asio::post(c.io, [&c] { c.Receive(); });
  c.thread = std::thread([&c] { c.io.run(); });
  return kOk;
}

void PeerDiscoveryResponder::SetPlayers(uint32_t players, uint32_t maxPlayers) {
  std::lock_guard<std::mutex> hold(core_->lock);
  core_->answer.players = players;
  core_->answer.maxPlayers = maxPlayers;
}

uint16_t PeerDiscoveryResponder::Port() const { return core_->port; }
uint32_t PeerDiscoveryResponder::BadQueries() const { return core_->badQueries; }

void PeerDiscoveryResponder::Stop() {
  Core& c = *core_;
  if (!c.thread.joinable()) return;
  asio::post(c.io, [&c] {
    asio::error_code ignored;
    c.socket.close(ignored);
  });
  c.thread.join();
  c.port = 0;
}

std::vector<std::string> LocalIpv4Addresses(size_t limit) {
  std::vector<std::string> outward;
  std::vector<std::string> loopback;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return {};
  for (const ifaddrs* at = list; at != nullptr; at = at->ifa_next) {
    if (at->ifa_addr == nullptr || at->ifa_addr->sa_family != AF_INET || !(at->ifa_flags & IFF_UP)) continue;
    sockaddr_in address;
    std::memcpy(&address, at->ifa_addr, sizeof address);
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) == nullptr) continue;
    ((at->ifa_flags & IFF_LOOPBACK) ? loopback : outward).emplace_back(text);
  }
  freeifaddrs(list);
  outward.insert(outward.end(), loopback.begin(), loopback.end());
  if (outward.size() > limit) outward.resize(limit);
  return outward;
}

}  // namespace plat
