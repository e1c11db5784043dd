#pragma once
// Finding hosts before a session exists: a host answers UDP queries on its
// port, and a searcher asks one address (or the broadcast) again and again
// until told to stop. Answers are checked like any peer message; a bad one
// is reported and otherwise ignored.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/status.h"

namespace plat {

inline constexpr Status kPeerCancelled = static_cast<Status>(0x80158070u);  // the search was stopped
inline constexpr size_t kDiscoveryNameSize = 64;                             // session name with its terminator

// Both datagrams travel little-endian, field by field in this order.
struct DiscoveryQueryWire {
  uint32_t magic;
  uint32_t nonce;   // the searcher's, echoed so stray answers are told apart
  uint32_t sentMs;  // the searcher's clock, echoed for the round-trip time
};
static_assert(sizeof(DiscoveryQueryWire) == 12);
static_assert(offsetof(DiscoveryQueryWire, nonce) == 4 && offsetof(DiscoveryQueryWire, sentMs) == 8);

struct DiscoveryAnswerWire {
  uint32_t magic;
  uint32_t nonce;
  uint32_t sentMs;
  uint32_t instanceLow;  // the host's session instance: one entry per instance
  uint32_t instanceHigh;
  uint16_t hostPort;  // where the session itself listens
  uint16_t reserved;
  uint32_t players;
  uint32_t maxPlayers;  // 0: no limit
  char sessionName[kDiscoveryNameSize];
};
static_assert(sizeof(DiscoveryAnswerWire) == 96);
static_assert(offsetof(DiscoveryAnswerWire, instanceLow) == 12 && offsetof(DiscoveryAnswerWire, hostPort) == 20 &&
              offsetof(DiscoveryAnswerWire, players) == 24 && offsetof(DiscoveryAnswerWire, maxPlayers) == 28 &&
              offsetof(DiscoveryAnswerWire, sessionName) == 32);

inline constexpr uint32_t kDiscoveryQueryMagic = 0x31514456u;   // "VDQ1"
inline constexpr uint32_t kDiscoveryAnswerMagic = 0x31414456u;  // "VDA1"
inline constexpr uint32_t kDiscoveryMaxPlayers = 64;

void EncodeDiscoveryQuery(const DiscoveryQueryWire& query, uint8_t out[sizeof(DiscoveryQueryWire)]);
// Null when the datagram is a well-formed query; otherwise why not.
const char* DecodeDiscoveryQuery(const uint8_t* data, size_t size, DiscoveryQueryWire& out);
void EncodeDiscoveryAnswer(const DiscoveryAnswerWire& answer, uint8_t out[sizeof(DiscoveryAnswerWire)]);
// Null when the datagram is a sound answer to the query with `nonce`.
const char* DecodeDiscoveryAnswer(const uint8_t* data, size_t size, uint32_t nonce, DiscoveryAnswerWire& out);

// One host as a searcher heard it.
struct PeerHostAnswer {
  uint64_t instance = 0;
  std::string sessionName;
  uint32_t players = 0;
  uint32_t maxPlayers = 0;
  uint32_t roundTripMs = 0;
  std::string address;  // the responder's address, as text
  uint16_t hostPort = 0;
};

// Called on the searcher's own thread, one at a time.
class DiscoveryHandler {
 public:
  virtual ~DiscoveryHandler() = default;
  virtual void OnHostAnswer(const PeerHostAnswer& answer) = 0;
  virtual void OnBadAnswer(const std::string& from, const char* why) = 0;
  // Once per search: kOk when its time ran out, kPeerCancelled when stopped.
  virtual void OnSearchDone(Status result) = 0;
};

class PeerDiscovery {
 public:
  PeerDiscovery();
  ~PeerDiscovery();  // stops a running search
  PeerDiscovery(const PeerDiscovery&) = delete;
  PeerDiscovery& operator=(const PeerDiscovery&) = delete;

  // Asks `address` (empty: the broadcast) on `port` every `retryMs` until
  // `timeoutMs` has passed (0: until Cancel). One search at a time.
  Status Start(const std::string& address, uint16_t port, uint32_t retryMs, uint32_t timeoutMs,
               DiscoveryHandler& handler);
  // Stops the search; its OnSearchDone has run when this returns. Never from a handler.
  void Cancel();
  bool Running() const;

  struct Core;

 private:
  std::unique_ptr<Core> core_;
};

// The machine's IPv4 addresses on interfaces that are up, as text, the
// loopback ones last, at most `limit` of them: what a host tells its players.
std::vector<std::string> LocalIpv4Addresses(size_t limit);

class PeerDiscoveryResponder {
 public:
  PeerDiscoveryResponder();
  ~PeerDiscoveryResponder();
  PeerDiscoveryResponder(const PeerDiscoveryResponder&) = delete;
  PeerDiscoveryResponder& operator=(const PeerDiscoveryResponder&) = delete;

  // Answers on `port` (0: the system picks; Port() tells which).
  Status Start(const std::string& bindAddress, uint16_t port, const std::string& sessionName, uint64_t instance,
               uint16_t hostPort);
  void SetPlayers(uint32_t players, uint32_t maxPlayers);
  uint16_t Port() const;
  // Queries refused as malformed since the start.
  uint32_t BadQueries() const;
  void Stop();

  struct Core;

 private:
  std::unique_ptr<Core> core_;
};

}  // namespace plat
