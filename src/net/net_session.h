#pragma once
// The peer-to-peer session of a networked game: its one record, set-up and
// close, the handler of every peer event, and the notifications it sends
// to the main thread. Peer events run on the peer's network thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/settings.h"
#include "net/host_list.h"
#include "platform/peer_discovery.h"
#include "platform/peer.h"
#include "platform/threads.h"
#include "app/window_messages.h"
#include "records/game_command_record.h"
#include "records/game_params_block.h"
#include "records/net_slot.h"
#include "records/scenario_head.h"

struct ScreenManager;
struct NetMessageQueue;
struct PlayerRecord;
struct TextLineQueue;

inline constexpr uint32_t kNetPlayerLimit = 16;  // players in a session, the host included
inline constexpr uint32_t kNetHostSlot = 1;
inline constexpr int kNetPlayerNameChars = 14;
inline constexpr size_t kNetLocalAddressLimit = 6;

// A player the peer layer reported, kept as its context. One reference from
// its create, one more when created while in session; freed when the last
// goes.
struct NetPlayer {
  std::atomic<int32_t> references{1};
  uint32_t playerId = 0;
  uint32_t flags = 0;
  uint32_t slot = 0;  // given by the host (0 on the other peers)
  char name[16] = {};
};

// Drops one reference; true when that freed the record.
bool ReleaseNetPlayer(NetPlayer* player);

class NetMessageHandler;

// What of the game the session reads and writes. The session holds the
// slot table and the set-up records that travel between peers, not the
// world they live in: the world lends its own to the game's session
// (world/world.cpp) and the simulation its two calls (sim/command_post.cpp,
// sim/sim_ui_link.cpp), as the program starts; a test lends its own. With
// no slot table the session keeps none and drops what would need one.
struct NetSessionGame {
  NetSlot* slots = nullptr;              // kMaxPlayers slots, under the slot lock
  ScenarioHead* scenarioHead = nullptr;  // the host's set-up head
  GameParamsBlock* gameParams = nullptr; // the game file and flags the host hands out
  const uint32_t* currentTick = nullptr; // the game minute, stamped on the set-up message
  const int32_t* localPlayer = nullptr;  // a local line's sender when it names a region
  const PlayerRecord* players = nullptr; // kMaxPlayers: the slot each region is played from
  const int32_t* chatHistory = nullptr;  // lines the chat keeps beyond the newest; null keeps 32
  // Whether a game runs (a chat line goes to its regions' people) or the
  // lobby (to everybody); null answers that a game runs, as a program
  // without an interface always does.
  bool (*inGame)() = nullptr;
  // Where a command received from a peer goes; null: nowhere.
  void (*postCommand)(GameCommand&& command) = nullptr;
};

// The game's session's game. Plain pointers, so it holds them from the
// program's first instruction whatever order the libraries start in.
extern constinit NetSessionGame g_netSessionGame;

struct NetSession {
  NetSession();
  ~NetSession();
  NetSession(const NetSession&) = delete;
  NetSession& operator=(const NetSession&) = delete;

  NetIdentity identity;  // names and addresses from the settings and the command line

  // What the session works on. The game's session uses the one game, the
  // one queue and the main window; tests give each peer its own.
  NetSessionGame* game;
  NetMessageQueue* queue;
  TextLineQueue* lines;
  // Receives the notification codes; null posts window message 0x8000.
  std::function<void(uint32_t code, intptr_t value)> sink;
  // Takes a command received from a peer; null hands it to the game's postCommand.
  std::function<void(GameCommand&& command)> postCommand;
  // Makes the peer; null makes a TCP peer.
  std::function<std::unique_ptr<plat::Peer>(plat::PeerHandler&)> makePeer;

  std::unique_ptr<NetMessageHandler> handler;
  std::unique_ptr<plat::Peer> peer;
  // While looking for hosts: what the search has heard. Declared before the
  // search, so the search stops before what it feeds goes.
  HostList hosts;
  std::vector<std::string> localAddresses;  // shown to the host, at most 6
  std::unique_ptr<plat::DiscoveryHandler> searchHandler;
  std::unique_ptr<plat::PeerDiscovery> search;
  // While hosting: answers searches on the session's port number.
  std::unique_ptr<plat::PeerDiscoveryResponder> responder;

  // Hosting: what the peer puts up with from untrusted connections.
  plat::PeerGuard guard;
  // Hosting, in the lobby: a joiner that has held its slot this long and
  // has no region gives its place to a new joiner when the session is full
  // (one never ready first), so strangers that say hello, or hello and
  // ready, cannot keep a player out.
  uint32_t readyGraceMs = 30000;
  // Hosting: when each slot was given (MonotonicMs), under the slot lock.
  uint64_t slotGivenMs[32] = {};
  // Hosting, in a game: a person's peer that has held the clock this long
  // is named to the host, and this long is given up as lost.
  uint32_t lagNoticeMs = 5000;
  uint32_t lagLimitMs = 60000;
  // The clock's wait on a lagging peer (turn thread only).
  struct LagWatch {
    int slot = -1;
    uint32_t playerId = 0;
    uint32_t progress = 0;
    uint64_t since = 0;
    bool shown = false;
    bool dropped = false;
  } lagWatch;
  // The version this peer runs, packed as the settings head carries it
  // (tests pretend to run another).
  uint32_t programVersion;
  // The version in the host's scenario head, 0 until the head arrives: the
  // network thread stores it, the lobby compares it.
  std::atomic<uint32_t> hostProgramVersion{0};

  // The service providers found (NetEnumServiceProviders) and the one the
  // session runs on, empty after a close until the next set-up.
  std::vector<std::string> providers;
  std::string chosenProvider;
  // The front end's game flag: bit 1 of the game parameters of the game
  // that was set up last (session message 104).
  std::atomic<int32_t> frontEndGameFlag{0};

  uint32_t hostingPlayerLimit = 0;
  std::atomic<int32_t> playerCount{0};
  // No lobby application exists here to start the program or to hand it a
  // connection, so a session is never lobby-launched.
  int32_t lobbyLaunched = 0;
  std::atomic<int32_t> open{0};
  std::atomic<int32_t> isHost{0};
  std::atomic<int32_t> inSession{0};
  std::atomic<int32_t> hostLost{0};
  std::atomic<int32_t> slotAssigned{0};
  std::atomic<int32_t> localSlot{0};
  std::atomic<int32_t> localReady{0};
  std::atomic<int32_t> accepting{0};
  std::atomic<uint32_t> takenSlots{0};
  std::atomic<uint32_t> playerLimit{kNetPlayerLimit};
  std::atomic<uint32_t> hostPlayer{0};
  std::atomic<int32_t> connectResult{0};
  plat::Event connectEvent{false, false};
  plat::Event lobbyConnectEvent{false, false};
  // From the start message until this peer's game has started, the
  // peers' commands wait here: posted earlier, they would meet a world
  // still loading, and a command log its start clears.
  std::atomic<int32_t> holdCommands{0};
  std::mutex heldLock;
  std::vector<GameCommand> heldCommands;
  plat::CriticalSection slotLock;    // the slot table
  plat::CriticalSection playerLock;  // NetPlayer references
};

extern NetSession g_netSession;

// The peer layer's events, handed to the session.
class NetMessageHandler : public plat::PeerHandler {
 public:
  explicit NetMessageHandler(NetSession& session) : session_(session) {}
  plat::Status OnIndicateConnect(const char* name) override;
  plat::PeerId OnSessionFull() override;
  plat::Status OnCreatePlayer(const plat::PeerPlayer& player, void** context) override;
  plat::Status OnDestroyPlayer(plat::PeerId id, void* context, uint32_t reason) override;
  plat::Status OnReceive(plat::PeerId from, void* context, const uint8_t* data, size_t size) override;
  void OnConnectComplete(plat::Status result) override;
  void OnTerminateSession(uint32_t reason) override;
  const char* CheckJoinerMessage(plat::PeerId from, void* context, const uint8_t* data, size_t size) override;
  void OnConnectionNotice(const char* text) override;

 private:
  NetSession& session_;
};

// Makes the session's peer (after closing one left over); the result is
// ignored by start-up. Lobbies do not exist here: `lobby` changes nothing.
int32_t SetupNetSession(NetSession& session, int32_t lobby);
// Resets the record's fixed parts; a session whose settings name no
// provider runs on the TCP/IP provider.
void InitNetSession(NetSession& session);
// Ends the session (a host ends it for everyone) and frees the peer; every
// remaining player's departure is handled before it returns.
void CloseNetSession(NetSession& session);
// Starts hosting or joining as the command line asked.
void HostSession(ScreenManager& ui);

// Hosts on identity.port (0: the system picks; the port is written back):
// the host takes slot 1, slot 0 is reserved, joiners are accepted.
int32_t NetHostSession(NetSession& session, const char* bindAddress);
// Starts joining the host at the address; code 8 follows.
int32_t NetJoinHost(NetSession& session, const char* address, uint16_t port);
// Why a join that ended in failure failed, as a joiner tells its player:
// "the host refused: the session is full", or "no host answered".
std::string NetJoinFailureText(const NetSession& session);

// Starts looking for hosts at the address (empty: the broadcast) on the
// port; answers fill the host list and each sends code 7. While it runs,
// the main loop's idle frames age the list every retry interval.
int32_t NetEnumHosts(NetSession& session, const char* address, uint16_t port);
// Stops a running search.
void NetHostListReset(NetSession& session);
// Hosting: answers searches on the session's port number at the address.
void NetStartResponder(NetSession& session, const char* bindAddress);
// Lists the machine's addresses (at most 6) for the host to show; returns how many.
int32_t NetGetLocalAddresses(NetSession& session);
// Tells searchers the session's current player counts.
void NetUpdateResponder(NetSession& session);

// Sends a notification code to the main thread (or the session's sink).
void NetNotify(NetSession& session, uint32_t code, intptr_t value);
// The game log's line for a peer message that was dropped, with the reason.
void LogDroppedMessage(uint32_t from, uint32_t id, size_t size, const char* why);
// Diagnostics: peer messages dropped since start, and NetPlayer records alive.
uint64_t NetDroppedMessages();
int32_t LiveNetPlayers();
// The session's slot table (kMaxPlayers slots), or null when its game lends none.
inline NetSlot* SessionSlots(const NetSession& session) { return session.game ? session.game->slots : nullptr; }
// The slot whose peer is `playerId`, or -1 (under the slot lock).
int FindSlotOfPlayer(NetSession& session, uint32_t playerId);
