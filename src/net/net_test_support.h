#pragma once
// A network session of its own for a test: its own world (lent as the
// game's is, with the game's way of telling a game from the lobby), message queue
// and chat lines, the codes it sends to the main thread and the commands
// it posts recorded, on the in-process network or on TCP at 127.0.0.1.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "net/game_messages.h"
#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "net/net_slots.h"
#include "net/text_message.h"
#include "platform/peer.h"
#include "records/game_command_record.h"
#include "world/world.h"
#include "world/world_session.h"

// Polls the condition for up to 5 s.
inline bool Eventually(const std::function<bool()>& condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

class TestPeer {
 public:
  // A null network means TCP.
  TestPeer(const char* name, plat::InProcessNetwork* network) {
    LendWorldToSession(game, *world);
    game.inGame = g_netSessionGame.inGame;
    session.game = &game;
    session.queue = &queue;
    session.lines = &lines;
    std::snprintf(session.identity.playerName, sizeof session.identity.playerName, "%s", name);
    session.sink = [this](uint32_t code, intptr_t value) {
      std::lock_guard<std::mutex> hold(lock_);
      codes_.emplace_back(code, value);
    };
    session.postCommand = [this](GameCommand&& command) {
      std::lock_guard<std::mutex> hold(lock_);
      commands_.push_back(std::move(command));
      ++commandCount;
    };
    session.makePeer = [network](plat::PeerHandler& handler) {
      return network ? plat::MakeInProcessPeer(*network, handler) : plat::MakeTcpPeer(handler);
    };
    queue.wake = [this] { ++wakes; };
  }
  ~TestPeer() {
    CloseNetSession(session);
    FreeNetQueue(queue);
  }

  void Host() {
    ASSERT_EQ(SetupNetSession(session, 0), 0);
    session.identity.port = 0;
    ASSERT_EQ(NetHostSession(session, "127.0.0.1"), 0);
  }
  void Join(const TestPeer& host) {
    ASSERT_EQ(SetupNetSession(session, 0), 0);
    ASSERT_EQ(NetJoinHost(session, "127.0.0.1", static_cast<uint16_t>(host.session.identity.port)), 0);
  }

  int Codes(uint32_t code) {
    std::lock_guard<std::mutex> hold(lock_);
    int n = 0;
    for (auto& [c, v] : codes_) n += c == code;
    return n;
  }
  std::vector<intptr_t> Values(uint32_t code) {
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<intptr_t> out;
    for (auto& [c, v] : codes_)
      if (c == code) out.push_back(v);
    return out;
  }
  std::vector<GameCommand> Commands() {
    std::lock_guard<std::mutex> hold(lock_);
    return commands_;
  }
  std::vector<std::string> Lines() {
    std::vector<std::string> out;
    for (const TextLine& line : QueuedTextLines(lines)) out.push_back(line.text);
    return out;
  }
  // The slot table's bytes, taken under the slot lock.
  std::vector<uint8_t> Table() {
    plat::CriticalSectionLock hold(session.slotLock);
    const auto* b = reinterpret_cast<const uint8_t*>(world->slotTable);
    return std::vector<uint8_t>(b, b + sizeof world->slotTable);
  }
  NetSlot Slot(int n) {
    plat::CriticalSectionLock hold(session.slotLock);
    return world->slotTable[n];
  }
  // Does now what the main thread does with what the network thread hands
  // over (the set-up records and requests); other messages wait for
  // DrainKinds. On the test's thread only.
  void Serve() {
    DrainNetQueue(queue, [&](const SessionMessage& m) {
      if (!ApplyReceivedSetup(session, m, nullptr)) kept_.push_back(m.kind);
    });
  }
  // The session message numbers waiting in the queue, handled in order.
  std::vector<uint32_t> DrainKinds() {
    Serve();
    return std::exchange(kept_, {});
  }

  std::unique_ptr<World> world = std::make_unique<World>();
  NetSessionGame game;
  NetMessageQueue queue;
  TextLineQueue lines;
  NetSession session;
  std::atomic<int> wakes{0};
  std::atomic<int> commandCount{0};

 private:
  std::mutex lock_;
  std::vector<std::pair<uint32_t, intptr_t>> codes_;
  std::vector<GameCommand> commands_;
  std::vector<uint32_t> kept_;
};

// A bare peer that joins a session and keeps every message it receives.
class SpyPeer : public plat::PeerHandler {
 public:
  explicit SpyPeer(plat::InProcessNetwork& network) : peer(plat::MakeInProcessPeer(network, *this)) {}
  bool Join(uint16_t port) {
    peer->Connect("127.0.0.1", port, "Spy", nullptr);
    return Eventually([&] { return connected.load() != 1; }) && connected.load() == 0;
  }
  plat::Status OnIndicateConnect(const char*) override { return plat::kOk; }
  plat::Status OnCreatePlayer(const plat::PeerPlayer&, void** context) override {
    *context = this;
    return plat::kOk;
  }
  plat::Status OnDestroyPlayer(plat::PeerId, void*, uint32_t) override { return plat::kOk; }
  plat::Status OnReceive(plat::PeerId, void*, const uint8_t* data, size_t size) override {
    std::lock_guard<std::mutex> hold(lock);
    received.emplace_back(data, data + size);
    return plat::kOk;
  }
  void OnConnectComplete(plat::Status result) override { connected = result; }
  void OnTerminateSession(uint32_t) override {}

  // The messages received with the identifier, in order.
  std::vector<std::vector<uint8_t>> Of(uint32_t id) {
    std::lock_guard<std::mutex> hold(lock);
    std::vector<std::vector<uint8_t>> out;
    for (auto& m : received)
      if (m.size() >= 4 && (m[0] | (m[1] << 8) | (m[2] << 16) | (static_cast<uint32_t>(m[3]) << 24)) == id)
        out.push_back(m);
    return out;
  }
  std::vector<uint32_t> Ids() {
    std::lock_guard<std::mutex> hold(lock);
    std::vector<uint32_t> out;
    for (auto& m : received)
      if (m.size() >= 4) out.push_back(m[0] | (m[1] << 8) | (m[2] << 16) | (static_cast<uint32_t>(m[3]) << 24));
    return out;
  }
  void Send(plat::PeerId to, std::vector<uint8_t> message) { peer->SendTo(to, message.data(), message.size(), 0); }

  std::atomic<int32_t> connected{1};
  std::mutex lock;
  std::vector<std::vector<uint8_t>> received;
  std::unique_ptr<plat::Peer> peer;
};

// A lobby message of one word after the head.
inline std::vector<uint8_t> WordMessage(uint32_t id, uint32_t word) {
  std::vector<uint8_t> m(12, 0);
  std::memcpy(m.data(), &id, 4);
  const uint32_t size = 12;
  std::memcpy(m.data() + 4, &size, 4);
  std::memcpy(m.data() + 8, &word, 4);
  return m;
}

// A host and a joiner as they stand after a join, without a live peer:
// messages are handed to their handlers directly, as the peer layer would.
// The host (player 1) holds slot 1 and region 1; the joiner (player 7) slot
// 2 and region 5; another person (player 8) slot 3 and region 6.
class MessageBench {
 public:
  MessageBench() : host("Hera", nullptr), joiner("Ann", nullptr), hostHandler(host.session), joinerHandler(joiner.session) {
    for (TestPeer* p : {&host, &joiner}) {
      ResetSlotTable(p->session, kNetHostSlot);
      NetSlot* slots = p->world->slotTable;
      slots[0].state = kSlotHost;
      slots[1].playerId = 1;
      slots[1].region = 1;
      slots[2].state = slots[3].state = kSlotHuman;
      slots[2].playerId = 7;
      slots[2].region = 5;
      slots[3].playerId = 8;
      slots[3].region = 6;
      p->session.inSession = 1;
      p->session.hostPlayer = 1;
    }
    host.session.isHost = 1;
    joiner.session.localSlot = 2;
    fromJoiner.playerId = 7;
    fromHost.playerId = 1;
    fromHost.flags = plat::kPeerPlayerHost;
  }

  // What a message may change on a peer.
  std::vector<uint8_t> Snapshot(TestPeer& p) {
    std::vector<uint8_t> out = p.Table();
    const auto* head = reinterpret_cast<const uint8_t*>(&p.world->scenario.head);
    out.insert(out.end(), head, head + sizeof(ScenarioHead));
    const auto* params = reinterpret_cast<const uint8_t*>(&p.world->campaignMessage);
    out.insert(out.end(), params, params + sizeof(GameParamsBlock));
    for (int32_t word : {p.wakes.load(), p.session.localSlot.load(), p.session.slotAssigned.load(),
                         static_cast<int32_t>(p.Lines().size()), p.commandCount.load(),
                         p.session.holdCommands.load()})
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(word >> (8 * i)));
    return out;
  }

  plat::Status ToHost(const std::vector<uint8_t>& m, NetPlayer* from) {
    return hostHandler.OnReceive(from ? from->playerId : 99, from, m.data(), m.size());
  }
  plat::Status ToJoiner(const std::vector<uint8_t>& m, NetPlayer* from) {
    return joinerHandler.OnReceive(from ? from->playerId : 99, from, m.data(), m.size());
  }

  TestPeer host, joiner;
  NetMessageHandler hostHandler, joinerHandler;
  NetPlayer fromJoiner, fromHost;
};

// A host named Hera with a bare spy joined to it.
class HostAndSpy : public ::testing::Test {
 protected:
  void SetUp() override {
    host.Host();
    ASSERT_TRUE(spy.Join(static_cast<uint16_t>(host.session.identity.port)));
  }

  plat::InProcessNetwork network;
  TestPeer host{"Hera", &network};
  SpyPeer spy{network};
};
