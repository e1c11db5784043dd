#include "net_game/session_message_handler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "net/game_messages.h"
#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "net/net_test_support.h"
#include "platform/paths.h"
#include "records/le_bytes.h"
#include "sim/game_start.h"
#include "sim/game_threads.h"
#include "sim/sim_ui_link.h"
#include "support/global_guard.h"
#include "support/temp_dir.h"
#include "world/game_speed.h"
#include "records/game_params_block.h"
#include "world/game_speed_test_support.h"
#include "world/scenario_settings.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

using GameSpeedMessageTest = GameSpeedFixture;

// Another thread asks; the speed changes only when the main thread handles
// the queued message, and a speed above 0 lets the paused threads run.
TEST_F(GameSpeedMessageTest, TheSpeedChangesOnlyThroughTheQueuedMessage) {
  plat::Event turnGo(true, false);
  plat::Event aiRun(true, false);
  g_gameThreads.turnGo = &turnGo;
  g_gameThreads.aiRun = &aiRun;

  std::thread other([] { SetGameSpeed(g_world.gameState, 2); });
  other.join();
  EXPECT_EQ(g_world.gameState.gameSpeed, 0);
  auto queued = TakeQueued();
  ASSERT_EQ(queued.size(), 1u);
  EXPECT_EQ(g_world.gameState.gameSpeed, 0);
  EXPECT_FALSE(turnGo.IsSet());

  HandleSessionMessage(*queued[0]);
  EXPECT_EQ(g_world.gameState.gameSpeed, 40);
  EXPECT_TRUE(turnGo.IsSet());
  EXPECT_TRUE(aiRun.IsSet());
  FreeAll(queued);

  // A pause reaches the state the same way and wakes nobody.
  turnGo.Reset();
  aiRun.Reset();
  SetGameSpeed(g_world.gameState, 0);
  EXPECT_EQ(g_world.gameState.gameSpeed, 40);
  queued = TakeQueued();
  ASSERT_EQ(queued.size(), 1u);
  HandleSessionMessage(*queued[0]);
  EXPECT_EQ(g_world.gameState.gameSpeed, 0);
  EXPECT_FALSE(turnGo.IsSet());
  FreeAll(queued);

  g_gameThreads.turnGo = nullptr;
  g_gameThreads.aiRun = nullptr;
}

// A session message as it goes on the wire.
std::vector<uint8_t> Session(uint32_t kind, uint8_t sender, uint32_t value) {
  SessionMessage m{};
  m.kind = kind;
  m.sender = sender;
  m.value = value;
  return EncodeSessionMessage(m);
}

// Session messages from a peer wait in the queue in the order they came and
// wake the main thread once each; handled, they reach the slot table and the
// profiles.
TEST(SessionMessageHandler, SessionMessagesArriveInOrderForOneWakeUp) {
  MessageBench bench;
  bench.host.world->players[5].networkSlot = 2;
  ASSERT_EQ(bench.ToHost(Session(kSmPlayerTick, 5, 4321), &bench.fromJoiner), 0);
  ASSERT_EQ(bench.ToHost(Session(kSmProfile, 5, 0x03020100), &bench.fromJoiner), 0);
  EXPECT_EQ(bench.host.wakes.load(), 2);
  std::vector<uint32_t> kinds;
  const int handled = DrainNetQueue(bench.host.queue, [&](const SessionMessage& m) {
    kinds.push_back(m.kind);
    HandleSessionMessage(bench.host.session, *bench.host.world, m, nullptr);
  });
  EXPECT_EQ(handled, 2);
  EXPECT_EQ(kinds, (std::vector<uint32_t>{kSmPlayerTick, kSmProfile}));
  EXPECT_EQ(bench.host.Slot(2).progress, 4321u);
  EXPECT_EQ(g_profileChoices.remoteProfiles[5], 0x03020100u);
  g_profileChoices.remoteProfiles[5] = 0;
}

// The game set-up carries the front end's game flag (bit 1) into the
// session in the front end only. No file is named, so nothing loads.
TEST(SessionMessageHandler, TheGameSetUpCopiesTheFrontEndGameFlag) {
  struct Row { uint32_t a, b; int32_t mode, before, flag; } rows[] = {
      {1, 1, kSimUiFrontEnd, 0, 1}, {0, 1, kSimUiFrontEnd, 1, 0}, {1, 0, kSimUiInGame, 0, 0}};
  static int32_t mode;
  GlobalGuard<SimUiLink> link(g_simUi);
  g_simUi.uiMode = [] { return mode; };
  for (const Row& row : rows) {
    mode = row.mode;
    TestPeer peer("Pat", nullptr);
    peer.session.frontEndGameFlag = row.before;
    GameParamsBlock& block = peer.world->campaignMessage;
    InitGameParamsBlock(block);
    ASSERT_EQ(SendGameSetup(peer.session, "", row.a, row.b, block), 0);
    EXPECT_EQ(block.flags, (row.a ? kGameParamsFrontEndGame : 0u) | (row.b ? kGameParamsSavedGame : 0u));
    EXPECT_EQ(DrainNetQueue(peer.queue, [&](const SessionMessage& m) { HandleSessionMessage(peer.session, *peer.world, m, nullptr); }), 1);
    EXPECT_EQ(peer.session.frontEndGameFlag.load(), row.flag) << row.a << row.b << row.mode;
  }
}

// The host's set-up reaches a joiner's world only on the main thread, in
// the order it came: the game named is read first, and the host's head then
// stands over the defaults that read left.
TEST(SessionMessageHandler, TheHostsSetUpLandsInOrderOnTheMainThread) {
  TempDir dir;
  const std::string root = plat::DataRoot();
  plat::SetDataRoot(dir.path());
  std::filesystem::create_directories(dir.path() + "/Scenario");
  std::ofstream(dir.path() + "/Scenario/Test.GMC", std::ios::binary) << "startymd: 2000 1 1\r\n";
  GlobalGuard<SimUiLink> link(g_simUi);
  g_simUi.uiMode = [] { return static_cast<int32_t>(kSimUiFrontEnd); };
  MessageBench bench;
  TestPeer& joiner = bench.joiner;
  ScenarioHead sent{};
  InitSettingsHead(sent);
  sent.difficulty = 3;
  le::StoreI32(sent.bytes113 + 3, 40000);  // a seed no default draws
  GameParamsBlock block{};
  InitGameParamsBlock(block);
  std::snprintf(block.name, sizeof block.name, "Test");
  block.word44 = 9;

  const auto records = [&] {
    std::vector<uint8_t> bytes = EncodeScenarioHead(joiner.world->scenario.head);
    for (uint8_t b : EncodeGameParams(joiner.world->campaignMessage)) bytes.push_back(b);
    return bytes;
  };
  const std::vector<uint8_t> before = records();
  EXPECT_EQ(bench.ToJoiner(EncodeGameParams(block), &bench.fromHost), 0);
  EXPECT_EQ(bench.ToJoiner(Session(kSmGameSetup, 1, 0), &bench.fromHost), 0);
  EXPECT_EQ(bench.ToJoiner(EncodeScenarioHead(sent), &bench.fromHost), 0);
  EXPECT_EQ(records(), before);  // the network's thread wrote nothing
  std::vector<uint32_t> kinds;
  DrainNetQueue(joiner.queue, [&](const SessionMessage& m) {
    kinds.push_back(m.kind);
    HandleSessionMessage(joiner.session, *joiner.world, m, nullptr);
  });
  EXPECT_EQ(kinds, (std::vector<uint32_t>{kSmReceivedGameParams, kSmGameSetup, kSmReceivedScenarioHead}));
  EXPECT_EQ(EncodeGameParams(joiner.world->campaignMessage), EncodeGameParams(block));
  EXPECT_NE(joiner.world->scenario.startDay, 0u);  // the named game was read
  EXPECT_EQ(EncodeScenarioHead(joiner.world->scenario.head), EncodeScenarioHead(sent));
  EXPECT_EQ(joiner.Codes(kNetCodeSetup), 2);
  EXPECT_EQ(joiner.session.hostProgramVersion.load(), sent.programVersion);
  plat::SetDataRoot(root);
}

}  // namespace
