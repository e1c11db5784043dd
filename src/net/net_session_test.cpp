// The session and its lobby: three peers host, join, get regions, declare
// themselves ready, lose one to a kick and start, over the in-process
// network and over TCP; slots given and refused; players freed once; the
// line and the region a departure reports.
#include <gtest/gtest.h>

#include "net/net_test_support.h"
#include "net/relay_checks.h"
#include "records/le_bytes.h"
#include "app/window_messages.h"

namespace {

enum class Transport { kInProcess, kTcp };

class ThreePeers : public ::testing::TestWithParam<Transport> {
 protected:
  plat::InProcessNetwork* Network() { return GetParam() == Transport::kTcp ? nullptr : &network_; }
  plat::InProcessNetwork network_;
};

bool SameTables(TestPeer& a, TestPeer& b) { return a.Table() == b.Table(); }

TEST_P(ThreePeers, HostJoinReadyRegionsKickAndStart) {
  TestPeer host("Hera", Network()), ann("Ann", Network()), bob("Bob", Network());
  host.Host();
  ann.Join(host);
  ASSERT_TRUE(Eventually([&] { return ann.session.slotAssigned.load() == 1 && SameTables(host, ann); }));
  bob.Join(host);
  ASSERT_TRUE(Eventually([&] { return bob.session.slotAssigned.load() == 1 && SameTables(host, bob) && SameTables(host, ann); }));

  const uint32_t hostId = host.session.peer->LocalId();
  EXPECT_EQ(host.Slot(0).state, kSlotHost);
  EXPECT_EQ(host.Slot(1).state, kSlotHuman);
  EXPECT_STREQ(host.Slot(1).name, "Hera");
  EXPECT_EQ(host.Slot(1).playerId, hostId);
  EXPECT_EQ(ann.session.localSlot.load(), 2);
  EXPECT_EQ(bob.session.localSlot.load(), 3);
  EXPECT_STREQ(bob.Slot(3).name, "Bob");
  EXPECT_EQ(bob.Slot(3).playerId, bob.session.peer->LocalId());
  EXPECT_EQ(ann.session.hostPlayer.load(), hostId);

  // The joiner asks for the set-up: the parameter block and the head (code 5 twice).
  std::vector<uint8_t> request(kSetupRequestSize, 0);
  request[0] = 0x04, request[1] = 0x00, request[2] = 0x02, request[4] = 8;
  ASSERT_EQ(NetSendGameMessage(ann.session, hostId, false, request.data(), nullptr, 0), 0);
  ASSERT_TRUE(Eventually([&] {
    host.Serve();
    ann.Serve();
    return ann.Codes(kNetCodeSetup) == 2;
  }));

  // Regions, then everybody ready.
  ASSERT_EQ(NetSetSlotFields(host.session, 1, 1, 0), 0);
  ASSERT_EQ(NetSetSlotFields(host.session, 2, 5, 0), 0);
  ASSERT_EQ(NetSetSlotFields(host.session, 3, 6, 0), 0);
  ASSERT_EQ(NetSetSlot(ann.session, true), 0);
  ASSERT_EQ(NetSetSlot(bob.session, true), 0);
  ASSERT_EQ(NetSetSlot(host.session, true), 0);
  ASSERT_TRUE(Eventually([&] {
    return host.Slot(1).ready && host.Slot(2).ready && host.Slot(3).ready && SameTables(host, ann) &&
           SameTables(host, bob);
  }));
  EXPECT_EQ(ann.Slot(2).region, 5);
  EXPECT_EQ(bob.Slot(3).region, 6);

  // Bob is kicked: his slot frees everywhere, the host reports his region.
  ASSERT_EQ(KickSlotPlayer(host.session, 3), 0);
  ASSERT_TRUE(Eventually([&] { return bob.Codes(kNetCodeSessionEnded) == 1 && ann.Slot(3).state == kSlotFree; }));
  ASSERT_TRUE(Eventually([&] { return host.Values(kNetCodePlayerLeft) == std::vector<intptr_t>{6}; }));
  EXPECT_EQ(host.Slot(3).state, kSlotFree);
  EXPECT_EQ(bob.Lines().front(), "HOST CONNECTION LOST.");

  // The start: no more joiners, and 105 reaches every peer and the host itself.
  ASSERT_EQ(NetHostStartGame(host.session), 0);
  EXPECT_EQ(host.session.playerLimit.load(), 1u);
  const int annWakes = ann.wakes.load();
  SessionMessage* start = BuildNetMessage(kSmStartGame, nullptr, 0, 0, 1);
  ASSERT_EQ(SendNetMessage(host.session, *start, 0), 0);
  QueueNetMessage(host.queue, start);
  ASSERT_TRUE(Eventually([&] { return ann.wakes.load() > annWakes; }));
  EXPECT_EQ(ann.DrainKinds(), std::vector<uint32_t>{kSmStartGame});
  EXPECT_EQ(host.DrainKinds(), std::vector<uint32_t>{kSmStartGame});
  EXPECT_TRUE(bob.DrainKinds().empty());

  TestPeer late("Late", Network());
  late.Join(host);
  ASSERT_TRUE(Eventually([&] { return late.Codes(kNetCodeConnected) == 1; }));
  EXPECT_EQ(late.session.connectResult.load(), plat::kPeerRefused);

  // Every event reached the sink as its code.
  EXPECT_GE(host.Codes(kNetCodePlayerCreated), 3);
  EXPECT_GE(host.Codes(kNetCodeSlotTable), 1);  // its own broadcasts
  EXPECT_GE(ann.Codes(kNetCodePlayerCreated), 3);
  EXPECT_EQ(ann.Codes(kNetCodeConnected), 1);
  EXPECT_GE(bob.Codes(kNetCodeChat), 1);
  EXPECT_GE(host.Codes(kNetCodeChat), 1);  // Bob's departure line

  // The host closes: Ann hears the session end.
  CloseNetSession(host.session);
  ASSERT_TRUE(Eventually([&] { return ann.Codes(kNetCodeSessionEnded) == 1; }));
}

INSTANTIATE_TEST_SUITE_P(Transports, ThreePeers, ::testing::Values(Transport::kInProcess, Transport::kTcp),
                         [](const auto& info) { return info.param == Transport::kTcp ? "Tcp" : "InProcess"; });

TEST(NetLobby, AJoinGetsItsSlotAndTheWholeTable) {
  plat::InProcessNetwork network;
  TestPeer host("Hera", &network), ann("Ann", &network);
  host.Host();
  ann.Join(host);
  ASSERT_TRUE(Eventually([&] { return ann.session.slotAssigned.load() == 1 && SameTables(host, ann); }));
  EXPECT_EQ(host.Table().size(), 1024u);
  EXPECT_EQ(host.Slot(0).state, kSlotHost);
  EXPECT_EQ(ann.Slot(1).state, kSlotHuman);
  EXPECT_STREQ(ann.Slot(1).name, "Hera");
  EXPECT_EQ(ann.Slot(1).playerId, host.session.peer->LocalId());
  EXPECT_EQ(ann.Slot(2).state, kSlotHuman);
  EXPECT_STREQ(ann.Slot(2).name, "Ann");
  SpyPeer spy(network);
  ASSERT_TRUE(spy.Join(static_cast<uint16_t>(host.session.identity.port)));
  ASSERT_TRUE(Eventually([&] { return !spy.Of(kLobbySlotTable).empty() && !spy.Of(kLobbySlotGiven).empty(); }));
  EXPECT_EQ(spy.Of(kLobbySlotTable)[0].size(), 1036u);
  EXPECT_EQ(spy.Of(kLobbySlotGiven)[0], WordMessage(kLobbySlotGiven, 3));
}

TEST(NetLobby, SixteenPlayersAtMostAJoinerWithNoRegionGivesWayAndNoneAfterTheStart) {
  plat::InProcessNetwork network;
  TestPeer host("Hera", &network);
  host.Host();
  const auto port = static_cast<uint16_t>(host.session.identity.port);
  std::vector<std::unique_ptr<SpyPeer>> joiners;
  for (int i = 0; i < 15; ++i) {
    joiners.push_back(std::make_unique<SpyPeer>(network));
    ASSERT_TRUE(joiners.back()->Join(port)) << i;
  }
  ASSERT_TRUE(Eventually([&] { return host.session.takenSlots.load() == 15; }));
  for (int s = 2; s <= 16; ++s) EXPECT_EQ(host.Slot(s).state, kSlotHuman) << s;
  SpyPeer sixteenth(network);
  EXPECT_FALSE(sixteenth.Join(port));
  EXPECT_EQ(sixteenth.connected.load(), plat::kPeerRefused);
  for (int s = 17; s < kMaxPlayers; ++s) EXPECT_EQ(host.Slot(s).state, kSlotFree) << s;
  // Once the grace is over, the joiner that came first among those not
  // ready gives its place to a newcomer before one that said it is ready.
  host.session.readyGraceMs = 0;
  joiners[0]->Send(host.session.peer->LocalId(), WordMessage(kLobbyReady, 2));
  ASSERT_TRUE(Eventually([&] { return host.Slot(2).ready == 1; }));
  const uint32_t third = host.Slot(3).playerId;
  SpyPeer newcomer(network);
  ASSERT_TRUE(newcomer.Join(port));
  // The stranger's slot is freed and given on the network's threads: the
  // newcomer holds it once the count is whole again.
  ASSERT_TRUE(Eventually([&] {
    return host.Slot(3).playerId == newcomer.peer->LocalId() && host.session.takenSlots.load() == 15u;
  })) << "taken slots: " << host.session.takenSlots.load();
  EXPECT_NE(third, newcomer.peer->LocalId());
  EXPECT_EQ(host.Slot(2).playerId, joiners[0]->peer->LocalId());
  for (int s = 17; s < kMaxPlayers; ++s) EXPECT_EQ(host.Slot(s).state, kSlotFree) << s;
  // Ready costs a stranger nothing: with every joiner ready, the first with
  // no region gives way; one given a region keeps its place.
  ASSERT_EQ(NetSetSlotFields(host.session, 2, 1, 0), 0);
  const plat::PeerId hostId = host.session.peer->LocalId();
  newcomer.Send(hostId, WordMessage(kLobbyReady, 3));
  for (int s = 4; s <= 16; ++s) joiners[static_cast<size_t>(s - 2)]->Send(hostId, WordMessage(kLobbyReady, static_cast<uint32_t>(s)));
  ASSERT_TRUE(Eventually([&] {
    for (int s = 3; s <= 16; ++s)
      if (!host.Slot(s).ready) return false;
    return true;
  }));
  SpyPeer late(network);
  ASSERT_TRUE(late.Join(port));
  ASSERT_TRUE(Eventually([&] { return host.Slot(4).playerId == late.peer->LocalId(); }));
  EXPECT_EQ(host.Slot(2).playerId, joiners[0]->peer->LocalId());

  TestPeer second("Host2", &network);
  second.Host();
  const auto port2 = static_cast<uint16_t>(second.session.identity.port);
  SpyPeer a(network), b(network), c(network);
  ASSERT_TRUE(a.Join(port2) && b.Join(port2));
  ASSERT_TRUE(Eventually([&] { return second.session.takenSlots.load() == 2; }));
  ASSERT_EQ(NetHostStartGame(second.session), 0);
  EXPECT_EQ(second.session.playerLimit.load(), 2u);
  EXPECT_EQ(second.session.peer->MaxPlayers(), 2u);
  EXPECT_FALSE(c.Join(port2));
  EXPECT_EQ(c.connected.load(), plat::kPeerRefused);
}

using NetLobbyToASpy = HostAndSpy;

TEST_F(NetLobbyToASpy, RegionAndReadyBroadcasts) {
  ASSERT_TRUE(Eventually([&] { return spy.Of(kLobbySlotTable).size() == 1; }));
  const plat::PeerId hostId = host.session.peer->LocalId();

  // Ready twice: two broadcasts of the same table.
  spy.Send(hostId, WordMessage(kLobbyReady, 2));
  spy.Send(hostId, WordMessage(kLobbyReady, 2));
  ASSERT_TRUE(Eventually([&] { return spy.Of(kLobbySlotTable).size() == 3; }));
  EXPECT_EQ(spy.Of(kLobbySlotTable)[1], spy.Of(kLobbySlotTable)[2]);
  EXPECT_EQ(host.Slot(2).ready, 1);

  // The same region twice: one broadcast, and the slot's ready byte cleared.
  ASSERT_EQ(NetSetSlotFields(host.session, 2, 5, 0), 0);
  ASSERT_EQ(NetSetSlotFields(host.session, 2, 5, 0), 0);
  ASSERT_EQ(NetSetSlot(host.session, true), 0);  // a marker broadcast
  ASSERT_TRUE(Eventually([&] { return spy.Of(kLobbySlotTable).size() == 5; }));
  EXPECT_EQ(host.Slot(2).ready, 0);
  EXPECT_EQ(host.Slot(2).region, 5);
  // The host hears its own broadcasts too.
  ASSERT_TRUE(Eventually([&] { return host.Codes(kNetCodeSlotTable) == 5; }));
}

// The handler driven directly, as the peer layer would, on a host.
class HostHandler : public ::testing::Test {
 protected:
  HostHandler() : peer("Hera", &network), handler(peer.session) {
    peer.Host();
    alive = LiveNetPlayers();
  }
  NetPlayer* Create(uint32_t id, uint32_t flags, const char* name) {
    plat::PeerPlayer info;
    info.id = id;
    info.flags = flags;
    std::snprintf(info.name, sizeof info.name, "%s", name);
    void* context = nullptr;
    EXPECT_EQ(handler.OnCreatePlayer(info, &context), 0);
    return static_cast<NetPlayer*>(context);
  }
  plat::InProcessNetwork network;
  TestPeer peer;
  NetMessageHandler handler;
  int32_t alive = 0;
};

TEST_F(HostHandler, PlayersFreedOnceAndDeparturesReported) {
  // The hosting peer's own player, as hosting starts (not yet in session).
  peer.session.inSession = 0;
  NetPlayer* own = Create(1, plat::kPeerPlayerHost | plat::kPeerPlayerLocal, "Hera");
  EXPECT_EQ(own->references.load(), 1);
  EXPECT_EQ(peer.world->slotTable[1].playerId, 1u);
  peer.session.inSession = 1;
  // The host plays region 1 from its slot; the lines the network's thread
  // queues go out from that region whatever the world's local player reads
  // meanwhile (a game's load rewrites it).
  peer.world->slotTable[1].region = 1;
  peer.world->gameState.localPlayer = 9;

  // Rows: destroy reason, the line it queues. The joiner plays region 5 from slot 2.
  struct Row {
    uint32_t reason;
    const char* line;
  } rows[] = {
      {plat::kPeerLeftSessionEnded, "Player 2 (Jo) HAS LEFT THE GAME."},
      {plat::kPeerLeftConnectionLost, "Player 2 (Jo) DISCONNECTED."},
      {plat::kPeerLeftNormal, "Player 2 (Jo) HAS LEFT THE GAME."},  // it closed its session
      {plat::kPeerLeftKicked, "Player 2 (Jo) DISCONNECTED."},
  };
  for (const Row& row : rows) {
    NetPlayer* joiner = Create(7, 0, "Jo");
    ASSERT_EQ(joiner->references.load(), 2);
    ASSERT_EQ(joiner->slot, 2u);
    peer.world->slotTable[2].region = 5;
    EXPECT_EQ(LiveNetPlayers(), alive + 2);
    ASSERT_EQ(handler.OnDestroyPlayer(7, joiner, row.reason), 0);
    EXPECT_EQ(LiveNetPlayers(), alive + 1) << row.line;
    EXPECT_EQ(peer.Lines().back(), row.line);
    EXPECT_EQ(QueuedTextLines(peer.lines).back().sender, 1) << row.line;
    EXPECT_EQ(peer.Values(kNetCodePlayerLeft).back(), 5);
    EXPECT_EQ(peer.Slot(2).state, kSlotFree);
  }
  // The hosting peer's own player holds one reference and goes once.
  ASSERT_EQ(handler.OnDestroyPlayer(1, own, plat::kPeerLeftSessionEnded), 0);
  EXPECT_EQ(LiveNetPlayers(), alive);
  EXPECT_EQ(peer.session.playerCount.load(), 1);  // the peer's own player is left
}

// The lobby's rules are kept once: the host's check before it relays a
// joiner's message and the handler that acts on it agree on every row.
TEST_F(HostHandler, TheRelayCheckAndTheLobbyApplyOneSetOfRules) {
  NetPlayer* ann = Create(7, 0, "Ann");
  ASSERT_EQ(NetSetSlotFields(peer.session, ann->slot, 5, 0), 0);
  const auto line = [](uint32_t region, bool ended) {
    std::vector<uint8_t> m(kLobbyTextSize, ended ? 0 : 'x');
    le::Store32(m.data(), kLobbyText);
    le::Store32(m.data() + 4, kLobbyTextSize);
    le::Store32(m.data() + 8, region);
    le::Store32(m.data() + 12, kTextToAll);
    return m;
  };
  const struct Row {
    const char* name;
    std::vector<uint8_t> message;
    bool passes;
  } rows[] = {
      {"ready for its own slot", WordMessage(kLobbyReady, ann->slot), true},
      {"not ready for its own slot", WordMessage(kLobbyNotReady, ann->slot), true},
      {"ready for the host's slot", WordMessage(kLobbyReady, kNetHostSlot), false},
      {"ready for no slot", WordMessage(kLobbyReady, 40), false},
      {"a line in its region's name", line(5, true), true},
      {"a line in nobody's name", line(0, true), true},
      {"a line in another region's name", line(3, true), false},
      {"a line without its end", line(5, false), false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(JoinerMessageDefect(peer.session, 7, ann, row.message.data(), row.message.size()) == nullptr, row.passes);
    const uint64_t dropped = NetDroppedMessages();
    (void)HandleLobbyMessage(peer.session, row.message.data(), row.message.size(), ann);
    EXPECT_EQ(NetDroppedMessages() == dropped, row.passes);
  }
  ASSERT_EQ(handler.OnDestroyPlayer(7, ann, plat::kPeerLeftNormal), 0);
}

}  // namespace

// A search finds a TCP host on 127.0.0.1 by its port, sees its player count
// follow joins, and a failed join leaves the session free to try again.
TEST(NetSession, SearchFindsTheHostAndFollowsItsPlayers) {
  struct Row {
    int joiners;
    const char* line;
  };
  const Row rows[] = {{0, "Channel (1/16)"}, {1, "Channel (2/16)"}};
  TestPeer host("HOST", nullptr);
  std::snprintf(host.session.identity.sessionName, sizeof host.session.identity.sessionName, "Channel");
  host.Host();
  ASSERT_NE(host.session.responder, nullptr);
  const int32_t shown = NetGetLocalAddresses(host.session);
  EXPECT_EQ(static_cast<size_t>(shown), host.session.localAddresses.size());
  EXPECT_LE(shown, 6);
  std::vector<std::unique_ptr<TestPeer>> joiners;
  for (const Row& row : rows) {
    while (static_cast<int>(joiners.size()) < row.joiners) {
      joiners.push_back(std::make_unique<TestPeer>("JOIN", nullptr));
      joiners.back()->Join(host);
      ASSERT_TRUE(Eventually([&] { return host.session.playerCount.load() == 1 + row.joiners; }));
    }
    TestPeer seeker("SEEK", nullptr);
    ASSERT_EQ(NetEnumHosts(seeker.session, "127.0.0.1", static_cast<uint16_t>(host.session.identity.port)), 0);
    ASSERT_TRUE(Eventually([&] {
      auto shown = HostListToControl(seeker.session.hosts);
      return !shown.empty() && shown.front().text.rfind(row.line, 0) == 0;
    })) << row.line;
    EXPECT_GE(seeker.Codes(kNetCodeHostList), 1);
    const HostListEntry entry = HostListToControl(seeker.session.hosts).front();
    EXPECT_EQ(entry.address, "127.0.0.1");
    EXPECT_EQ(entry.hostPort, host.session.identity.port);
    NetHostListReset(seeker.session);
    EXPECT_FALSE(seeker.session.search->Running());
  }

  // Nobody listens on the host's port once it is gone: the join fails and
  // the joiner is no longer in a session.
  const uint16_t port = static_cast<uint16_t>(host.session.identity.port);
  joiners.clear();
  CloseNetSession(host.session);
  TestPeer late("LATE", nullptr);
  ASSERT_EQ(SetupNetSession(late.session, 0), 0);
  ASSERT_EQ(NetJoinHost(late.session, "127.0.0.1", port), 0);
  ASSERT_TRUE(Eventually([&] { return late.Codes(kNetCodeConnected) == 1; }));
  EXPECT_TRUE(plat::Failed(late.session.connectResult.load()));
  EXPECT_EQ(late.session.inSession.load(), 0);
  EXPECT_FALSE(late.session.hosts.connecting);
}

// A departure frees the player's slot in a joiner's copy too, so a joiner
// whose host is gone waits for nobody.
TEST(NetSession, ADepartureFreesTheSlotOnEveryPeer) {
  struct Row {
    const char* leaving;
  };
  const Row rows[] = {{"host"}, {"other joiner"}};
  for (const Row& row : rows) {
    plat::InProcessNetwork network;
    TestPeer host("HOST", &network);
    host.Host();
    TestPeer first("ONE", &network);
    first.Join(host);
    TestPeer second("TWO", &network);
    second.Join(host);
    auto holds = [&](uint32_t playerId) {
      plat::CriticalSectionLock hold(first.session.slotLock);
      for (const NetSlot& slot : first.world->slotTable)
        if (slot.state == kSlotHuman && slot.playerId == playerId) return true;
      return false;
    };
    const bool hostLeaves = std::string(row.leaving) == "host";
    TestPeer& leaving = hostLeaves ? host : second;
    ASSERT_TRUE(Eventually([&] { return leaving.session.peer && holds(leaving.session.peer->LocalId()); }))
        << row.leaving;
    const uint32_t id = leaving.session.peer->LocalId();
    CloseNetSession(leaving.session);
    EXPECT_TRUE(Eventually([&] { return !holds(id); })) << row.leaving;
  }
}
