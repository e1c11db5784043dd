// Game messages: commands and their payloads, whose region a command may
// speak for, the answer to a set-up request, the settings head's defaults,
// and every peer message checked before use.
#include <gtest/gtest.h>

#include <thread>

#include "net/held_sends.h"
#include "net/net_test_support.h"
#include "records/le_bytes.h"
#include "world/scenario_settings.h"

namespace {

GameCommand Command(uint8_t player, uint32_t payloadLength) {
  GameCommand c;
  c.id = kCmdMinWage;
  c.dueTick = 1234;
  c.player = player;
  c.sequence = MakeSequence(9, player);
  c.arg28 = 77;
  for (uint32_t i = 0; i < payloadLength; ++i) c.payload.push_back(static_cast<uint8_t>(i * 7));
  c.payloadLength = payloadLength;
  return c;
}

std::vector<uint8_t> Session(uint32_t kind, uint8_t sender, uint32_t value, uint32_t payloadLength = 0) {
  SessionMessage m{};
  m.kind = kind;
  m.sender = sender;
  m.value = value;
  std::vector<uint8_t> payload(payloadLength, 0x5A);
  m.payload = payload.empty() ? nullptr : payload.data();
  m.payloadLength = payloadLength;
  return EncodeSessionMessage(m);
}

std::vector<uint8_t> Sized(uint32_t id, size_t size) {
  std::vector<uint8_t> m(size, 0);
  le::Store32(m.data(), id);
  le::Store32(m.data() + 4, static_cast<uint32_t>(size));
  return m;
}

TEST(GameMessages, ACommandKeepsItsPayloadOnlyWhenItArrivesWhole) {
  MessageBench bench;
  const std::vector<uint8_t> wire = EncodeGameCommand(Command(5, 100));
  ASSERT_EQ(wire.size(), 164u);
  ASSERT_EQ(bench.ToHost(wire, &bench.fromJoiner), 0);
  ASSERT_EQ(bench.host.Commands().size(), 1u);
  EXPECT_EQ(EncodeGameCommand(bench.host.Commands()[0]), wire);

  const std::vector<uint8_t> cut(wire.begin(), wire.begin() + 120);
  ASSERT_EQ(bench.ToHost(cut, &bench.fromJoiner), 0);
  ASSERT_EQ(bench.host.Commands().size(), 2u);
  const GameCommand kept = bench.host.Commands()[1];
  EXPECT_EQ(kept.payloadLength, 0u);
  EXPECT_TRUE(kept.payload.empty());
  std::vector<uint8_t> head(wire.begin(), wire.begin() + 64);
  le::Store32(head.data() + 56, 0);
  EXPECT_EQ(EncodeGameCommand(kept), head);
}

TEST(GameMessages, ACommandSpeaksOnlyForItsSendersRegion) {
  // Rows: from the host?, the command's region, taken. The joiner plays 5,
  // another person 6, the host 1; nobody holds 9.
  struct Row {
    bool fromHost;
    uint8_t player;
    bool taken;
  } rows[] = {
      {false, 5, true}, {false, 6, false}, {false, 9, false}, {false, 1, false},
      {true, 1, true},  {true, 9, true},   {true, 6, false},  {true, 5, false}, {true, 40, false},
  };
  for (const Row& row : rows) {
    MessageBench bench;
    const uint64_t dropped = NetDroppedMessages();
    TestPeer& receiver = row.fromHost ? bench.joiner : bench.host;
    const std::vector<uint8_t> wire = EncodeGameCommand(Command(row.player, 4));
    if (row.fromHost)
      bench.ToJoiner(wire, &bench.fromHost);
    else
      bench.ToHost(wire, &bench.fromJoiner);
    EXPECT_EQ(receiver.Commands().size(), row.taken ? 1u : 0u) << int(row.player) << " " << row.fromHost;
    EXPECT_EQ(NetDroppedMessages() - dropped, row.taken ? 0u : 1u) << int(row.player);
  }
}

using GameMessagesToASpy = HostAndSpy;

TEST_F(GameMessagesToASpy, ASetupRequestIsAnsweredWithTheBlockTheFileAndTheHead) {
  const plat::PeerId hostId = host.session.peer->LocalId();
  auto answers = [&] {
    std::vector<uint32_t> ids;
    for (uint32_t id : spy.Ids())
      if (id >= kGameMessageFirst) ids.push_back(id);
    return ids;
  };
  // Rows: the file chosen, the answer.
  struct Row {
    const char* file;
    std::vector<uint32_t> ids;
  } rows[] = {
      {"", {kGameParamsId, kScenarioHeadId}},
      {"Channel", {kGameParamsId, kSessionMessageId, kScenarioHeadId}},
  };
  for (const Row& row : rows) {
    {
      std::lock_guard<std::mutex> hold(spy.lock);
      spy.received.clear();
    }
    std::snprintf(host.world->campaignMessage.name, sizeof host.world->campaignMessage.name, "%s", row.file);
    spy.Send(hostId, Sized(kSetupRequestId, kSetupRequestSize));
    ASSERT_TRUE(Eventually([&] {
      host.Serve();
      return answers().size() == row.ids.size();
    })) << row.file;
    EXPECT_EQ(answers(), row.ids) << row.file;
    EXPECT_EQ(spy.Of(kGameParamsId)[0].size(), 48u);
    EXPECT_EQ(spy.Of(kScenarioHeadId)[0].size(), 140u);
    for (const auto& m : spy.Of(kSessionMessageId)) EXPECT_EQ(le::Load32(m.data() + 8), kSmGameSetup);
  }
}

TEST_F(GameMessagesToASpy, TheHostsSetupReachesThePeersAndItself) {
  GameParamsBlock& block = host.world->campaignMessage;
  block.flags = 0x10;
  ASSERT_EQ(SendGameSetup(host.session, "Channel", 1, 1, block), 0);
  EXPECT_EQ(block.flags, 0x13u);
  ASSERT_TRUE(Eventually([&] { return !spy.Of(kScenarioHeadId).empty(); }));
  std::vector<uint32_t> ids;
  for (uint32_t id : spy.Ids())
    if (id >= kGameMessageFirst) ids.push_back(id);
  EXPECT_EQ(ids, (std::vector<uint32_t>{kGameParamsId, kSessionMessageId, kScenarioHeadId}));
  const std::vector<uint8_t> sent = spy.Of(kGameParamsId)[0];
  EXPECT_STREQ(reinterpret_cast<const char*>(&sent[8]), "Channel");
  EXPECT_EQ(le::Load32(&sent[40]), 0x13u);
  const std::vector<uint8_t> start = spy.Of(kSessionMessageId)[0];
  EXPECT_EQ(le::Load32(&start[8]), kSmGameSetup);
  EXPECT_EQ(le::Load32(&start[52]), 1u);  // a saved game
  EXPECT_EQ(le::Load32(&start[60]), 0u);  // the payload slot means nothing on the wire
  // The host loads the file too, through its own queue.
  EXPECT_EQ(host.DrainKinds(), std::vector<uint32_t>{kSmGameSetup});
}

// Sent with the simulation's lock held, messages wait for its release; a
// send from a thread without it first sends what waits: the peer hears them
// all in the order they were sent, and none went out under the lock.
TEST_F(GameMessagesToASpy, SendsUnderTheLockGoAsItIsLetGoInTheirOrder) {
  plat::CriticalSection lock(&NetSendHeldMessages);
  struct Restore {
    plat::CriticalSection* before;
    ~Restore() { NetSendsWaitFor(before); }
  } restore{NetSendsWaitFor(&lock)};
  const uint64_t under = NetSendsUnderLock(), held = NetSendsHeldBack();
  const auto send = [&](uint32_t n) {
    const std::vector<uint8_t> m = EncodeProgressReport(1, n);
    return NetSendGameMessage(host.session, 0, false, m.data(), nullptr, 0);
  };
  {
    plat::CriticalSectionLock hold(lock);
    {
      plat::CriticalSectionLock again(lock);
      EXPECT_EQ(send(1), 0);
    }
    EXPECT_EQ(send(2), 0);
    std::thread([&] { EXPECT_EQ(send(3), 0); }).join();
    EXPECT_EQ(send(4), 0);
    EXPECT_EQ(NetSendsHeldBack() - held, 3u);
  }
  ASSERT_TRUE(Eventually([&] { return spy.Of(kProgressReportId).size() == 4; }));
  std::vector<uint32_t> order;
  for (const auto& m : spy.Of(kProgressReportId)) order.push_back(le::Load32(&m[12]));
  EXPECT_EQ(order, (std::vector<uint32_t>{1, 2, 3, 4}));
  EXPECT_EQ(NetSendsUnderLock(), under);
}

TEST(GameMessages, TheSettingsHeadStartsFromTheSetupDefaults) {
  ScenarioHead head{};
  InitSettingsHead(head);
  const std::vector<uint8_t> wire = EncodeScenarioHead(head);
  // Rows: offset, width, value.
  struct Row {
    size_t at;
    int width;
    uint32_t value;
  } rows[] = {
      {0, 4, 0x20003}, {4, 4, 140}, {60, 4, 25}, {64, 4, 0}, {75, 1, 2},
      {77, 1, 1},      {80, 4, 0x2B091}, {100, 1, 2}, {120, 4, 0x100},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.width == 4 ? le::Load32(wire.data() + row.at) : wire[row.at], row.value) << row.at;
  }
  EXPECT_LT(le::Load32(wire.data() + 116), 32768u);  // the seed
  ScenarioHead back{};
  DecodeScenarioHead(wire.data(), back);
  EXPECT_EQ(EncodeScenarioHead(back), wire);
}

// Every peer message is checked before use: each of these is logged and
// changes nothing on its receiver.
TEST(GameMessages, BadMessagesAreLoggedAndChangeNothing) {
  auto table = [](uint8_t region, bool terminated) {
    std::vector<uint8_t> m = Sized(kLobbySlotTable, kLobbySlotTableSize);
    m[12 + 32 * 4 + 3] = region;
    if (!terminated) std::memset(&m[12 + 32 * 4 + 16], 'x', 16);
    return m;
  };
  auto text = [](uint32_t player, bool terminated) {
    std::vector<uint8_t> m = Sized(kLobbyText, kLobbyTextSize);
    le::Store32(m.data() + 8, player);
    std::memset(&m[16], 'y', terminated ? 20 : 112);
    return m;
  };
  auto params = [](const char* name) {
    std::vector<uint8_t> m = Sized(kGameParamsId, kGameParamsSize);
    std::memcpy(&m[8], name, std::strlen(name));
    return m;
  };
  auto progress = [](uint32_t player) { return EncodeProgressReport(player, 99); };
  auto wrongSize = [](std::vector<uint8_t> m) {
    le::Store32(m.data() + 4, le::Load32(m.data() + 4) + 1);
    return m;
  };
  std::vector<uint8_t> command = EncodeGameCommand(Command(5, 8));
  command.push_back(0);  // a byte more than announced
  // Rows: what, the message, from the host (to the joiner) or from the joiner (to the host).
  struct Row {
    const char* what;
    std::vector<uint8_t> message;
    bool fromHost;
  } rows[] = {
      {"table: a name without its end", table(0, false), true},
      {"table: region 40", table(40, true), true},
      {"table: from a joiner", table(0, true), false},
      {"slot given: slot 32", WordMessage(kLobbySlotGiven, 32), true},
      {"ready: another's slot", WordMessage(kLobbyReady, 3), false},
      {"not ready: slot 40", WordMessage(kLobbyNotReady, 40), false},
      {"text: no end at byte 127", text(0, false), false},
      {"text: in another's name", text(6, true), false},
      {"text: player 32", text(32, true), false},
      {"lobby size word", wrongSize(WordMessage(kLobbyReady, 2)), false},
      {"command: trailing bytes", command, false},
      {"command: head size", wrongSize(EncodeGameCommand(Command(5, 0))), false},
      {"head: from a joiner", Sized(kScenarioHeadId, kScenarioHeadSize), false},
      {"head: 139 bytes", Sized(kScenarioHeadId, kScenarioHeadSize - 1), true},
      {"block: from a joiner", params("Channel"), false},
      {"block: a folder", params("MAPS/Channel"), true},
      {"block: a backslash", params("..\\x"), true},
      {"block: a drive", params("C:x"), true},
      {"block: dots", params("..x"), true},
      {"block: no end", params("0123456789012345678901234567890123"), true},
      {"request: to a joiner", Sized(kSetupRequestId, kSetupRequestSize), true},
      {"request: 9 bytes", Sized(kSetupRequestId, 9), false},
      {"progress: another's region", progress(6), false},
      {"progress: player 32", progress(32), false},
      {"104 from a joiner", Session(kSmGameSetup, 5, 0), false},
      {"105 from a joiner", Session(kSmStartGame, 5, 0), false},
      {"107 in another's name", Session(kSmPlayerTick, 6, 1), false},
      {"108 in another's name", Session(kSmProfile, 6, 1), false},
      {"100 negative speed", Session(kSmGameSpeed, 5, 0xFFFFFFF0u), false},
      {"session: trailing bytes", [] { auto m = Session(kSmGameSpeed, 5, 1); m.push_back(0); return m; }(), false},
      {"101: more bytes than its record", [] { auto m = Session(kSmSyncInfo, 5, 0, kSyncInfoSize); m.push_back(0); return m; }(), false},
      {"105 from a joiner holds no commands", Session(kSmStartGame, 1, 0), false},
      {"a kind only the main thread is handed", Session(kSmReceivedScenarioHead, 5, 0), false},
      {"unknown game message", Sized(0x20007, 8), false},
      {"unknown message", Sized(0x30000, 8), false},
      {"seven bytes", std::vector<uint8_t>(7, 1), false},
  };
  for (Row& row : rows) {
    MessageBench bench;
    TestPeer& receiver = row.fromHost ? bench.joiner : bench.host;
    const std::vector<uint8_t> before = bench.Snapshot(receiver);
    const uint64_t dropped = NetDroppedMessages();
    if (row.fromHost)
      bench.ToJoiner(row.message, &bench.fromHost);
    else
      bench.ToHost(row.message, &bench.fromJoiner);
    EXPECT_EQ(NetDroppedMessages() - dropped, 1u) << row.what;
    EXPECT_EQ(bench.Snapshot(receiver), before) << row.what;
  }
}

}  // namespace
