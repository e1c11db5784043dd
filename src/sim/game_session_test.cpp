// A game from log-on to stop: the headless run of a few days on the real
// turn thread, its repeatability, start and stop cycles, and the game start.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ai/computer_player.h"
#include "sim/game_command.h"
#include "sim/game_session_test_support.h"
#include "sim/game_start.h"
#include "sim/game_stop.h"
#include "sim/log_on.h"
#include "units/ai_event_queue.h"
#include "world/text/scenario_def.h"

namespace {

class GameRunTest : public GameSessionTest {
 protected:
  // A small world of two computer-led regions that own some land, with
  // figures that the daily steps move.
  void BuildTwoRegionWorld() {
    BuildWorld(16, 10, 2, true);
    World& w = g_world;
    for (size_t i = 0; i < w.cells.size(); ++i) {
      const int owner = (i % 16) < 8 ? 1 : 2;
      w.cells[i].word = WithCellOwner(static_cast<uint32_t>(i % 4), owner);
    }
    GiveRegionsLand(2, false);
    w.players[1].spottingLevel = 0.3f;
    w.players[2].spottingLevel = 0.1f;
    w.players[1].approval = 0.45f;
    w.players[2].approval = 0.6f;
    w.players[1].population = 5000.0f;
    w.players[2].population = 7000.0f;
    w.players[1].rankCountR1 = 4;
    w.players[2].rankCountR2 = 9;
    w.players[1].monthlyYearlyAmount = 600.0f;
    w.scenario.head.difficulty = 2;
  }

  // What a run leaves: the game state without its time stamps, the region
  // records, the cells, the spotting map, the recurring items and the
  // statistics.
  std::vector<uint8_t> WorldImage() {
    const World& w = g_world;
    std::vector<uint8_t> image;
    auto add = [&](const void* p, size_t n) {
      const auto* b = static_cast<const uint8_t*>(p);
      image.insert(image.end(), b, b + n);
    };
    GameState state = w.gameState;
    state.created = FileStamp{};
    state.saved = FileStamp{};
    add(&state, sizeof state);
    add(w.players, sizeof w.players);
    for (const HexCell& cell : w.cells) add(&cell.word, sizeof cell.word);
    add(w.spottingMap.data(), w.spottingMap.size());
    if (RecurringItem* first = w.recurringItems) {
      const ListNode* node = first;
      do {
        add(static_cast<const RecurringItem*>(node)->fields, kRecurringFieldsSize);
        node = node->next();
      } while (node && node != first);
    }
    add(&w.stats, sizeof w.stats);
    return image;
  }

  // The computer players act, so two runs agree only with their steps
  // handed out by the clock, as the headless runner has them.
  std::vector<uint8_t> RunFreshGame(int days) {
    g_computerPlayersClocked.store(true);
    BuildTwoRegionWorld();
    EXPECT_GE(LogOn(nullptr, 0, 0), 0);
    g_uiOptions.autosaveturns = 0;
    RunDaysOnTurnThread(days);
    StopGameSession(nullptr);
    g_computerPlayersClocked.store(false);
    return WorldImage();
  }
};

TEST_F(GameRunTest, TwoRegionsRunThreeDaysOnTheTurnThreadAndStopCleanly) {
  BuildTwoRegionWorld();
  ASSERT_GE(LogOn(nullptr, 0, 0), 0);
  const GameState& s = g_world.gameState;
  const uint32_t day = s.currentDay;
  const uint32_t tick = s.currentTick;
  ASSERT_NE(g_gameThreads.aiThreads[1], nullptr);
  ASSERT_NE(g_gameThreads.aiThreads[2], nullptr);
  RunDaysOnTurnThread(3);
  StopGameSession(nullptr);
  EXPECT_FALSE(GameThreadsRunning());
  EXPECT_EQ(g_gameThreads.turnGo, nullptr);
  EXPECT_EQ(g_gameThreads.aiRun, nullptr);
  EXPECT_EQ(TurnEventRecorder::Get().Codes(), (std::vector<uint32_t>{1, 1, 1}));
  EXPECT_EQ(s.currentDay, day + 3);
  EXPECT_EQ(s.turnNumber, 3u);
  EXPECT_EQ(s.currentTick, tick + 3 * 1440);
  EXPECT_EQ(g_world.spottingMap.size(), g_world.cells.size() * 32);
  EXPECT_GT(g_world.stats.influence[2], 0.0f) << "the daily steps ran";
}

TEST_F(GameRunTest, TwoRunsFromTheSameWorldLeaveTheSameWorld) {
  const std::vector<uint8_t> first = RunFreshGame(4);
  const std::vector<uint8_t> second = RunFreshGame(4);
  ASSERT_EQ(first.size(), second.size());
  EXPECT_TRUE(first == second) << "the runs differ";
}

TEST_F(GameRunTest, StartAndStopTwentyTimes) {
  BuildTwoRegionWorld();
  for (int cycle = 0; cycle < 20; ++cycle) {
    ASSERT_GE(LogOn(nullptr, 1, 0), 0);
    ASSERT_TRUE(GameThreadsRunning());
    // Something waiting in the command log when the game stops.
    GameCommand command = MakeGameCommand(g_world.gameState, kCmdTaxRate, 2);
    command.dueTick = g_world.gameState.currentTick + 100;
    g_commandLog.Insert(command);
    if (cycle % 2 == 1) {
      // Every other game runs a little first.
      std::atomic_ref<int32_t>(g_world.gameState.gameSpeed).store(1 << 30, std::memory_order_relaxed);
      SignalRunEvents();
    }
    StopGameSession(nullptr);
    ASSERT_FALSE(GameThreadsRunning()) << "cycle " << cycle;
    ASSERT_EQ(g_gameThreads.turnStop, nullptr);
    ASSERT_EQ(g_gameThreads.aiStop, nullptr);
    ASSERT_TRUE(g_commandLog.Empty()) << "cycle " << cycle;
    g_world.gameState.gameSpeed = 0;
  }
}

TEST_F(GameRunTest, StoppingAGameWhoseTurnThreadNeverStartedFreesTheRest) {
  BuildTwoRegionWorld();
  StartComputerPlayerThreads(0b110);
  g_commandLog.Insert(MakeGameCommand(g_world.gameState, kCmdTaxRate, 2));
  StopGameSession(nullptr);
  EXPECT_FALSE(GameThreadsRunning());
  EXPECT_TRUE(g_commandLog.Empty());
}

class GameStartTest : public GameSessionTest {};

TEST_F(GameStartTest, ANewGameLogsOnAndRunsItsFirstDay) {
  BuildWorld(12, 8, 3);
  GiveRegionsLand(3);
  g_world.players[1].kind = kKindHuman;
  g_world.players[2].kind = kKindHuman;  // a person's region becomes the computer's
  g_world.players[1].monthlyYearlyAmount = 120.0f;
  static int loads = 0;
  loads = 0;
  g_simUi.loadScenarioFiles = [](ScreenManager*) -> int32_t {
    ++loads;
    return 0;
  };
  const uint32_t day = g_world.gameState.currentDay;
  StartGameSession(nullptr, 0, 0, 0);
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(g_gameLoading.load(), 0);
  const GameState& s = g_world.gameState;
  EXPECT_EQ(s.localPlayer, 1);
  EXPECT_EQ(g_world.players[1].kind, kKindHuman);
  EXPECT_EQ(g_world.players[2].kind, kKindComputer);
  EXPECT_EQ(s.currentDay, day + 0) << "the first day's steps run without moving the date";
  EXPECT_EQ(s.turnNumber, 1u) << "the first end of turn";
  EXPECT_NE(g_world.recurringItems, nullptr) << "the monthly items";
  EXPECT_EQ(g_world.scenario.head.gameFlags & kGameFlagFromSave, 0u);
  EXPECT_TRUE(GameThreadsRunning());
  EXPECT_EQ(g_lobbyLoadProgress.load(), 7000);
  StopGameSession(nullptr);
}

TEST_F(GameStartTest, StoppingAGameDropsTheComputerPlayersUnreadNews) {
  BuildWorld(12, 8, 3);
  GiveRegionsLand(3);
  StartGameSession(nullptr, 0, 0, 0);
  auto* event = new AiEvent{};
  event->kind = 7;
  g_aiEvents.Push(2, event);
  StopGameSession(nullptr);
  EXPECT_TRUE(g_aiEvents.TakeAll(2).empty());
}

TEST_F(GameStartTest, ASavedGameRunsNoFirstDayNoMonthlyItemsAndNoPresets) {
  BuildWorld(12, 8, 3);
  g_world.players[1].monthlyYearlyAmount = 120.0f;
  g_world.scenario.head.groupnum = 1;
  g_scenarioGroupings.groupings[1].entries[2].mask = (1u << 2) | (1u << 3);
  g_scenarioGroupings.groupings[1].entries[2].valueA = 44;
  g_world.gameState.turnNumber = 7;
  StartGameSession(nullptr, 1, 0, 0);
  EXPECT_NE(g_world.scenario.head.gameFlags & kGameFlagFromSave, 0u);
  EXPECT_EQ(g_world.gameState.turnNumber, 7u);
  EXPECT_EQ(g_world.recurringItems, nullptr);
  EXPECT_NE(g_world.players[2].startEmail, 44);
  StopGameSession(nullptr);
  g_scenarioGroupings = ScenarioGroupings{};
}

TEST_F(GameStartTest, StartPresetsGiveLeadersTheirFirstEmail) {
  BuildWorld(12, 8, 3);
  g_world.scenario.head.groupnum = 2;
  g_scenarioGroupings.groupings[2].entries[2].mask = (1u << 2) | (1u << 3);
  g_scenarioGroupings.groupings[2].entries[2].valueA = 44;
  g_scenarioGroupings.groupings[2].entries[1].mask = 1u << 1;
  g_scenarioGroupings.groupings[2].entries[1].valueA = 12;
  g_world.players[3].startEmail = 9;
  ApplyStartPresets(g_world);
  EXPECT_EQ(g_world.players[2].startEmail, 44);
  EXPECT_EQ(g_world.players[1].startEmail, 12);
  EXPECT_EQ(g_world.players[3].startEmail, 9) << "a player without an entry keeps its e-mail";
  g_scenarioGroupings = ScenarioGroupings{};
}

TEST_F(GameStartTest, AFailedLoadGoesBackToTheFrontEnd) {
  BuildWorld(12, 8, 3);
  g_world.gameState.localPlayer = 2;
  g_simUi.loadScenarioFiles = [](ScreenManager*) -> int32_t { return -1; };
  static bool frontEnd = false;
  frontEnd = false;
  g_simUi.showFrontEnd = [](ScreenManager*, bool victory) { frontEnd = !victory; };
  StartGameSession(nullptr, 0, 0, 0);
  EXPECT_TRUE(frontEnd);
  EXPECT_FALSE(GameThreadsRunning());
  EXPECT_EQ(g_world.gameState.localPlayer, 2) << "the local player is kept";
  EXPECT_EQ(g_world.localPlayerRecord, nullptr) << "the game data was released";
}

TEST_F(GameStartTest, SinglePlayerWithNoPresentRegionLeavesPlayerZeroLocal) {
  BuildWorld(6, 4, 3);
  g_world.gameState.localPlayer = 2;
  g_world.players[2].kind = kKindEmpty;
  g_world.players[3].kind = kKindEmpty;
  AssignSlotsToPlayers(g_world, 1);
  EXPECT_EQ(g_world.gameState.localPlayer, 0);
  EXPECT_EQ(g_world.players[0].kind, kKindHuman);
}

TEST_F(GameStartTest, SinglePlayerTakesTheFirstRegionInPlayFromTheLocalOneUp) {
  BuildWorld(6, 4, 4);
  g_world.gameState.localPlayer = 0;
  g_world.players[1].kind = kKindEmpty;
  AssignSlotsToPlayers(g_world, 1);
  EXPECT_EQ(g_world.gameState.localPlayer, 2);
  EXPECT_EQ(g_world.players[2].kind, kKindHuman);
}

TEST_F(GameStartTest, NetworkSlotsGiveRegionsToPeople) {
  BuildWorld(6, 4, 4);
  g_commandNet.role = kNetGameHost;
  g_world.slotTable[1] = NetSlot{kSlotHuman, 0, 0, 3, 0, 0, 0, "Bea"};
  g_world.slotTable[2] = NetSlot{kSlotHuman, 0, 0, 9, 0, 0, 0, "Cal"};  // region 9 is empty
  g_world.slotTable[3] = NetSlot{kSlotFree, 0, 0, 0, 0, 0, 0, ""};
  AssignSlotsToPlayers(g_world, 1);
  EXPECT_EQ(g_world.players[3].kind, kKindHuman);
  EXPECT_EQ(g_world.players[3].networkSlot, 1u);
  EXPECT_STREQ(g_world.players[3].slotName, "Bea");
  EXPECT_EQ(g_world.players[1].kind, kKindComputer);
  EXPECT_EQ(g_world.slotTable[2].region, 0) << "a slot for a region not in play is cleared";
  EXPECT_EQ(g_world.slotTable[3].state, kSlotComputer) << "a free slot closes at the start";
}

TEST_F(GameStartTest, JoiningTakesTheProfileChoices) {
  BuildWorld(6, 4, 3);
  g_profileChoices.portrait = 7;
  g_profileChoices.leaning = -55;
  g_profileChoices.leaderChoice = 3;
  JoinGameAsPlayer(nullptr, 0);
  const PlayerRecord& local = g_world.players[1];
  EXPECT_EQ(local.avatar, 7);
  EXPECT_EQ(local.politic, -55);
  EXPECT_EQ(local.rulingParty, 0);
  EXPECT_EQ(local.govtype, 3);
  for (uint8_t pick : local.bandPicks) EXPECT_LT(pick, 6);
  EXPECT_EQ(PackProfileWord(local), (7u << 24) | (0xC9u << 16) | (3u << 8));
  g_profileChoices = ProfileChoices{};
}

TEST(RulingParty, FollowsTheLeaning) {
  EXPECT_EQ(RulingPartyOf(-41), 0);
  EXPECT_EQ(RulingPartyOf(-40), 1);
  EXPECT_EQ(RulingPartyOf(40), 1);
  EXPECT_EQ(RulingPartyOf(41), 2);
}

}  // namespace
