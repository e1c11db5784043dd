#pragma once
// The peer session between game processes: one peer hosts, the others join
// it, and every peer can send a message to one player or to all. It is a
// star: joiners talk only to the host, which relays and stamps every message
// with the player it came from. Two transports share the same rules: TCP
// sockets, and an in-process network for tests.
//
// Every event reaches the PeerHandler on the peer's own network thread, one
// at a time and in order; a handler may call SendTo and DestroyPlayer, never
// Close. Delivery is guaranteed and in order per sender.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/status.h"

namespace plat {

using PeerId = uint32_t;

inline constexpr PeerId kPeerAll = 0;  // SendTo target: every player
inline constexpr PeerId kPeerNone = 0xFFFFFFFFu;

// PeerPlayer flags.
inline constexpr uint32_t kPeerPlayerLocal = 0x2;  // this process's own player
inline constexpr uint32_t kPeerPlayerHost = 0x4;   // the hosting peer's player

// SendTo flags. A send to all reaches the sender too unless told not to.
inline constexpr uint32_t kPeerSendNoLoopback = 0x1;

// Why a player was destroyed.
inline constexpr uint32_t kPeerLeftNormal = 1;          // it closed its session
inline constexpr uint32_t kPeerLeftConnectionLost = 2;  // its connection broke (or broke the framing)
inline constexpr uint32_t kPeerLeftSessionEnded = 3;    // the session ended
inline constexpr uint32_t kPeerLeftKicked = 4;          // the host dropped it

// Statuses of this layer.
inline constexpr Status kPeerRefused = static_cast<Status>(0x80158410u);        // the host said no
inline constexpr Status kPeerNoSuchPlayer = static_cast<Status>(0x80158300u);   // target unknown
inline constexpr Status kPeerNotConnected = static_cast<Status>(0x80158310u);   // no session
inline constexpr Status kPeerUnreachable = static_cast<Status>(0x80158460u);    // no host answered
// A host's OnIndicateConnect may answer this to refuse a joiner because the
// session has no room, rather than because it admits nobody now.
inline constexpr Status kPeerSessionFull = static_cast<Status>(0x80158411u);

// Why a host refused a joiner. The refusal carries it, so a joiner can say
// why it is not let in (Peer::Refusal) instead of guessing.
enum class PeerRefusal : uint32_t {
  kNone = 0,       // not refused, or by a host that gave no reason
  kFull,           // the session has no room for another player
  kPassword,       // a wrong password
  kNotAdmitting,   // the host admits nobody now (its game has started)
  kCrowded,        // crowded out by newer connections before its hello was read
  kLate,           // its hello did not arrive within the host's time
};
inline constexpr uint32_t kPeerRefusalCount = 6;
// The reason as a few words ("the session is full").
const char* PeerRefusalText(PeerRefusal refusal);

// The largest message a player may send: anything longer is refused by the
// sender and breaks the framing at the receiver.
inline constexpr size_t kPeerMaxMessage = 256 * 1024;
inline constexpr int kPeerNameSize = 16;  // with its terminator

// What a host puts up with from connections it cannot trust. A connection
// that has not said its hello may hold no buffer larger than a hello, and
// only so many may wait to say it, for so long: one more pushes out the
// oldest waiting connection of the address that holds the most, so idle
// strangers cannot keep a player out. A joined player whose messages fail
// the handler's checks more than so many times is dropped.
struct PeerGuard {
  uint32_t maxPending = 8;         // connections waiting to say hello (0: none admitted)
  uint32_t helloTimeoutMs = 5000;  // time to say it
  uint32_t maxBadMessages = 5;     // failed messages a joined player is forgiven
  // Notices about connections: at most `noticeBurst` in each window, then
  // one line counting those not shown.
  uint32_t noticeBurst = 20;
  uint32_t noticeWindowMs = 10000;
};

// What the host holds for connections now: those waiting to say hello, and
// the bytes allocated for frames being read on all of its connections.
struct PeerLoad {
  size_t pending = 0;
  size_t bufferedBytes = 0;
};

struct PeerPlayer {
  PeerId id = 0;
  uint32_t flags = 0;
  char name[kPeerNameSize] = {};
};

class PeerHandler {
 public:
  virtual ~PeerHandler() = default;
  // Host: a joiner asks to come in; any failure refuses it.
  virtual Status OnIndicateConnect(const char* name) = 0;
  // Host: the session is full when a joiner says hello. A player that may
  // give its place to the joiner (dropped at once, before the joiner is let
  // in), or kPeerNone to refuse the joiner.
  virtual PeerId OnSessionFull() { return kPeerNone; }
  // A player joined the session (the local one too). The context set here
  // comes back with the player's events.
  virtual Status OnCreatePlayer(const PeerPlayer& player, void** context) = 0;
  virtual Status OnDestroyPlayer(PeerId id, void* context, uint32_t reason) = 0;
  // `context` is null for a sender that has not been created here.
  virtual Status OnReceive(PeerId from, void* context, const uint8_t* data, size_t size) = 0;
  // Joiner: the connect finished (kOk, kPeerRefused, kPeerUnreachable...).
  virtual void OnConnectComplete(Status result) = 0;
  // The session ended under this peer (the reason as for a destroy); a
  // destroy of every remaining player follows.
  virtual void OnTerminateSession(uint32_t reason) = 0;
  // Host: why a joined player's message may go no further (neither relayed
  // nor delivered here), or null. Called before every relay.
  virtual const char* CheckJoinerMessage(PeerId, void*, const uint8_t*, size_t) { return nullptr; }
  // Host: one line about a connection refused, closed or dropped, with its
  // address and the reason; rate-limited by the guard.
  virtual void OnConnectionNotice(const char*) {}
};

class PeerTransport;
class InProcessNetwork;

class Peer {
 public:
  ~Peer();
  Peer(const Peer&) = delete;
  Peer& operator=(const Peer&) = delete;

  // Starts hosting on the port (0: the system picks one; Port() tells which)
  // of the given local address. The local player's create arrives before
  // Host returns.
  Status Host(const char* playerName, const char* password, const char* bindAddress, uint16_t port);
  // Starts joining; OnConnectComplete tells how it went.
  Status Connect(const char* address, uint16_t port, const char* playerName, const char* password);
  Status SendTo(PeerId target, const void* data, size_t size, uint32_t flags);
  // Host: drops a joiner from the session; its destroy carries the reason.
  Status DestroyPlayer(PeerId id, uint32_t reason = kPeerLeftKicked);
  // Host: ends the session for everybody.
  Status TerminateSession();
  // Leaves or ends the session and stops the network thread: every remaining
  // player's destroy arrives before Close returns, and nothing after.
  void Close();

  // The host's limit of players (itself included); 0 none.
  void SetMaxPlayers(uint32_t limit);
  uint32_t MaxPlayers() const;
  // Host: the limits on untrusted connections (before Host, or at any time).
  void SetGuard(const PeerGuard& guard);
  PeerLoad Load() const;
  uint16_t Port() const;
  PeerId LocalId() const;
  // Joiner: why the host refused the last connect (kNone when it was not
  // refused, or the host gave no reason).
  PeerRefusal Refusal() const;
  Status GetPlayer(PeerId id, PeerPlayer& out) const;

  struct Core;

 private:
  friend std::unique_ptr<Peer> MakeTcpPeer(PeerHandler& handler);
  friend std::unique_ptr<Peer> MakeInProcessPeer(InProcessNetwork& network, PeerHandler& handler);
  Peer(PeerHandler& handler, std::unique_ptr<PeerTransport> transport);
  std::unique_ptr<Core> core_;
};

// A peer over TCP sockets.
std::unique_ptr<Peer> MakeTcpPeer(PeerHandler& handler);

// Peers of one InProcessNetwork reach one another by port (address ignored);
// the network must outlive its peers.
class InProcessNetwork {
 public:
  InProcessNetwork();
  ~InProcessNetwork();
  InProcessNetwork(const InProcessNetwork&) = delete;
  InProcessNetwork& operator=(const InProcessNetwork&) = delete;
  struct State;
  std::shared_ptr<State> state;
};
std::unique_ptr<Peer> MakeInProcessPeer(InProcessNetwork& network, PeerHandler& handler);

}  // namespace plat
