#include "sim/log_on.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "net/net_session.h"
#include "platform/fpenv.h"
#include "platform/paths.h"
#include "sim/game_session_test_support.h"
#include "sim/game_stop.h"
#include "records/text_field.h"
#include "world/object_hex_test_support.h"

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line + "\n");
  return lines;
}

class LogOnTest : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(24, 10, 3);
    std::snprintf(g_netSession.identity.playerName, sizeof g_netSession.identity.playerName, "%s", "Tester");
  }
  void TearDown() override {
    StopGameSession(nullptr);
    g_netSession.identity.playerName[0] = '\0';
    GameSessionTest::TearDown();
  }
  // Where a log named by the game lies on disk.
  static std::string OnDisk(const std::string& name) { return plat::DataRoot() + "/" + name; }
};

TEST(FloatTest, ValuesInTheGamesRoundingMode) {
  // Worked out with exact rational arithmetic rounded toward zero to single
  // precision at every step: the second value would overflow to infinity
  // under round-to-nearest, and stops at the largest float instead.
  float first = 0.0f;
  float second = 0.0f;
  FloatTestValues(true, first, second);
  EXPECT_EQ(first, 29.157419204711914f);
  EXPECT_EQ(second, 65535.9921875f);
  FloatTestValues(false, first, second);
  EXPECT_EQ(first, 0.0f);
  EXPECT_EQ(second, 0.0f);
}

TEST_F(LogOnTest, TheGameLogBeginsWithTheLogOnLines) {
  ASSERT_GE(LogOn(nullptr, 0, 0), 0);
  EXPECT_STREQ(g_platform.logFileName, "LOG-Tester-Region1.log");
  const std::string path = OnDisk("LOG-Tester-Region1.log");
  const std::vector<std::string> lines = ReadLines(path);
  ASSERT_EQ(lines.size(), 3u) << path;
  EXPECT_EQ(lines[0], "VDLOG: Log On.  VD Version 0.1.0 \n");
  EXPECT_EQ(lines[1], "VDLOG: Current Player 1 (Region1)\n");
  char expected[128];
  std::snprintf(expected, sizeof expected, "VDLOG: _controlfp %X : Float Tests 29.157419, 65535.992188\n",
                plat::ReadFloatControl());
  EXPECT_EQ(lines[2], expected);
}

TEST_F(LogOnTest, WithTheLogOffNothingIsWrittenAndTheLastGamesLogIsLeftAlone) {
  ASSERT_GE(LogOn(nullptr, 0, 0), 0);
  StopGameSession(nullptr);
  const std::string path = OnDisk("LOG-Tester-Region1.log");
  const size_t before = ReadLines(path).size();
  ASSERT_EQ(before, 3u);

  // An options file with the log switched off, in a data root of our own.
  TempDir root;
  const std::string oldRoot = plat::DataRoot();
  plat::SetDataRoot(root.path());
  root.Write("INI/.keep", "");
  UiOptions quiet;
  quiet.outlogdef = 0;
  ASSERT_EQ(SaveUIOptions(quiet, "QUIET"), 0);
  char oldOptions[sizeof g_app.optionsFile];
  std::memcpy(oldOptions, g_app.optionsFile, sizeof oldOptions);
  std::snprintf(g_app.optionsFile, sizeof g_app.optionsFile, "%s", "QUIET");
  const int32_t result = LogOn(nullptr, 1, 0);
  std::memcpy(g_app.optionsFile, oldOptions, sizeof oldOptions);
  plat::SetDataRoot(oldRoot);
  ASSERT_GE(result, 0);
  EXPECT_EQ(g_platform.logEnabled, 0);
  LogWrite(g_platform, "a line of the new game\n");
  EXPECT_EQ(ReadLines(path).size(), before);
}

TEST_F(LogOnTest, LogNamesFromPeersCannotLeaveTheSaveFolder) {
  g_commandNet.role = kNetGameClient;
  PlayerRecord& local = g_world.players[1];
  local.networkSlot = 4;
  g_world.slotTable[4].state = kSlotHuman;
  SetFieldText(g_world.slotTable[4].name, "../..\\x:y");
  std::snprintf(local.name, sizeof local.name, "%s", "a/b\x01");
  const std::string tail = GameLogFileName(g_world);
  EXPECT_EQ(tail, "LOG-_.__._x_y-a_b_.log");
  EXPECT_EQ(tail.find(".."), std::string::npos);
  EXPECT_EQ(tail.find('/'), std::string::npos);
  EXPECT_EQ(tail.find('\\'), std::string::npos);
}

TEST_F(LogOnTest, LogPlayerTextByNetworkSlot) {
  g_commandNet.role = kNetGameHost;
  PlayerRecord& local = g_world.players[1];
  const std::string folder;
  local.networkSlot = 0;
  EXPECT_EQ(GameLogFileName(g_world), folder + "LOG-AI-Region1.log");
  local.networkSlot = 3;
  g_world.slotTable[3].state = kSlotComputer;
  EXPECT_EQ(GameLogFileName(g_world), folder + "LOG-AI-Region1.log");
  g_world.slotTable[3].state = 9;
  EXPECT_EQ(GameLogFileName(g_world), folder + "LOG--Region1.log");
  g_commandNet.role = kNetGameNone;
  EXPECT_EQ(GameLogFileName(g_world), folder + "LOG-Tester-Region1.log");
  g_world.gameState.localPlayer = 2;  // the log is the local region's
  EXPECT_EQ(GameLogFileName(g_world), folder + "LOG-Tester-Region2.log");
}

TEST_F(LogOnTest, ANewGameSettlesItsState) {
  GameState& s = g_world.gameState;
  g_world.scenario.head.commandLead = 25;
  g_world.scenario.head.setupWord = 77;
  g_world.mapHeader.hexScale = 40;
  g_world.players[3].kind = kKindOut;
  g_world.players[2].politic = 50;
  g_world.players[2].electionDay = 2460000;
  s.currentTick = 10;
  s.visibilitySteps = 0;
  s.visibilityLfsr = 0;
  ASSERT_GE(LogOn(nullptr, 0, 0), 0);
  EXPECT_EQ(s.commandLead, 25u);
  EXPECT_EQ(s.setupWord, 77u);
  EXPECT_EQ(s.currentTick, 11u);
  EXPECT_EQ(s.dayLength, 1439);
  EXPECT_EQ(s.daysPerTurn, 1);
  EXPECT_EQ(s.visibilitySteps, 240 / 120 + 1);
  EXPECT_EQ(s.visibilityLfsr, 1u);
  EXPECT_FLOAT_EQ(s.mapScaleA, 2.0f);
  EXPECT_FLOAT_EQ(s.mapScaleQuarter, 0.5f);
  EXPECT_EQ(s.currentHex.x, 12);
  EXPECT_EQ(s.currentHex.y, 5);
  EXPECT_EQ(s.currentHex.cellIndex, 5u * 24u + 12u);
  EXPECT_EQ(g_world.players[3].kind, kKindEmpty);
  EXPECT_EQ(g_world.players[2].rulingParty, 2);
  EXPECT_EQ(g_world.players[2].electionDay, 2460000u);
  // 1 January 2000 + 4 years = 1 January 2004.
  EXPECT_EQ(g_world.players[1].electionDay, 2453005u);
  EXPECT_EQ(s.startDay, s.currentDay);
  EXPECT_NE(g_gameThreads.turnThread, nullptr);
  EXPECT_NE(g_gameThreads.aiThreads[1], nullptr) << "the local region always has one";
  EXPECT_NE(g_gameThreads.aiThreads[2], nullptr);
  EXPECT_EQ(g_gameThreads.aiThreads[3], nullptr) << "an empty region has none";
  EXPECT_EQ(g_gameThreads.aiThreads[0], nullptr);
}

TEST_F(LogOnTest, ScenarioDaysAndGameLength) {
  GameState& s = g_world.gameState;
  ScenarioSettings& sc = g_world.scenario;
  sc.startDay = 2451608;  // 5 March 2000
  sc.head.svictorycond = 3;
  SettleNewGameDays(g_world);
  EXPECT_EQ(s.currentDay, 2451608u);
  EXPECT_EQ(sc.head.gamelength, 2) << "victory kind 3 without an end gets two half-years";
  EXPECT_EQ(s.endDay, 2451608u + 365u) << "5 March 2001";

  sc.head.gamelength = 0;
  sc.victoryDay = 2452000;
  SettleNewGameDays(g_world);
  EXPECT_EQ(s.endDay, 2452000u);

  sc.victoryDay = 0;
  sc.head.svictorycond = 1;
  SettleNewGameDays(g_world);
  EXPECT_EQ(s.endDay, 0u);
}

TEST_F(LogOnTest, StartViewIsBroughtOntoTheWrappingMap) {
  GameState& s = g_world.gameState;
  g_world.scenario.victoryHexX = -1;
  g_world.scenario.victoryHexY = 3;
  SettleStartView(g_world);
  EXPECT_EQ(s.startViewX, 23);
  EXPECT_EQ(s.startViewY, 3);
  g_world.scenario.victoryHexX = 30;
  g_world.scenario.victoryHexY = 10;
  SettleStartView(g_world);
  EXPECT_EQ(s.startViewX, 6);
  EXPECT_EQ(s.startViewY, 0);
}

TEST_F(LogOnTest, ComputerPlayerThreadsByGameKind) {
  World& w = g_world;
  w.gameState.highestPlayer = 4;
  w.players[4].kind = kKindComputer;
  w.players[4].networkSlot = 2;
  w.slotTable[2].state = kSlotHuman;
  EXPECT_EQ(ComputerPlayerThreadMask(w), 0b11110u);
  g_commandNet.role = kNetGameClient;
  EXPECT_EQ(ComputerPlayerThreadMask(w), 0b00010u) << "a client runs only its own region's";
  g_commandNet.role = kNetGameHost;
  EXPECT_EQ(ComputerPlayerThreadMask(w), 0b01110u) << "the host leaves out regions people play";
}

TEST_F(LogOnTest, ALoadedGameKeepsItsCurrentHex) {
  RecordPublishedHexes published;
  GameState& s = g_world.gameState;
  s.currentHex.x = 3;
  s.currentHex.y = 2;
  s.currentHex.cellIndex = 2 * 24 + 3;
  g_world.scenario.head.gameFlags = kGameFlagCheated;
  ASSERT_GE(LogOn(nullptr, 1, 0), 0);
  EXPECT_EQ(s.currentHex.x, 3);
  EXPECT_EQ(s.currentHex.y, 2);
  EXPECT_EQ(published->cell, &g_world.cells[2 * 24 + 3]);
  EXPECT_EQ(g_world.scenario.head.gameFlags & kGameFlagCheated, 0u);
}

}  // namespace
