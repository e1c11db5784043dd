#include "sim/turn_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "sim/command_post.h"
#include "sim/game_command.h"
#include "sim/game_session_test_support.h"
#include "sim/victory.h"
#include "sim/visibility_decay.h"
#include "net/net_message_queue.h"
#include "net/net_session.h"
#include "records/le_bytes.h"

namespace {

using namespace std::chrono_literals;

uint32_t LoadTick(const GameState& s) {
  return std::atomic_ref<const uint32_t>(s.currentTick).load(std::memory_order_relaxed);
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

class TurnThreadTest : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(12, 8, 3);
    GiveRegionsLand(3);
    // Each region counts the hexes it holds, as a game keeps it: the
    // autosaves here are written only when they would load.
    World& w = g_world;
    for (const HexCell& cell : w.cells) ++w.players[CellOwner(cell.word)].hexCount;
  }
};

// Every message the network hook was given.
std::vector<std::vector<uint8_t>>& Sent() {
  static std::vector<std::vector<uint8_t>> sent;
  return sent;
}

int32_t RecordSend(const uint8_t* message, size_t length) {
  Sent().emplace_back(message, message + length);
  return 0;
}

TEST(VisibilityRegister, WalksAllNonZeroStatesFromOne) {
  std::vector<bool> seen(4096, false);
  uint32_t x = 1;
  for (int i = 0; i < 4095; ++i) {
    x = StepVisibilityRegister(x);
    ASSERT_GT(x, 0u);
    ASSERT_LT(x, 4096u);
    ASSERT_FALSE(seen[x]) << "state " << x << " came twice within one period, at step " << i;
    seen[x] = true;
  }
  EXPECT_EQ(x, 1u) << "the walk is a cycle of 4,095 states";
}

TEST(VisibilityRegister, FirstStepsByHand) {
  // x = 1: b = bit 0 of x ^ x>>6 ^ x>>8 ^ x>>11 = 1, so x becomes 0x800.
  EXPECT_EQ(StepVisibilityRegister(1), 0x800u);
  // x = 0x800: bit 0 of (0x800 ^ 0x20 ^ 0x8 ^ 0x1) = 1 -> 0x400 | 0x800.
  EXPECT_EQ(StepVisibilityRegister(0x800), 0xC00u);
}

TEST_F(TurnThreadTest, ThreeDayTurnPostsDayCodesThenTurnCode) {
  g_world.gameState.daysPerTurn = 3;
  ASSERT_TRUE(StartTurnThread());
  RunDaysOnTurnThread(1);
  EXPECT_EQ(TurnEventRecorder::Get().Codes(), (std::vector<uint32_t>{2, 2, 2, 1}));
  StopTurnThread();
  EXPECT_EQ(g_world.gameState.turnNumber, 1u);
  EXPECT_EQ(g_world.gameState.currentDay, 2451544u + 3);
  EXPECT_EQ(g_world.gameState.currentTick, 3u * 1440u);
}

TEST_F(TurnThreadTest, OneDayTurnPostsOnlyTheTurnCode) {
  ASSERT_TRUE(StartTurnThread());
  RunDaysOnTurnThread(2);
  EXPECT_EQ(TurnEventRecorder::Get().Codes(), (std::vector<uint32_t>{1, 1}));
  StopTurnThread();
  EXPECT_EQ(g_world.gameState.turnNumber, 2u);
}

TEST_F(TurnThreadTest, ADayRunsAllItsMinutesAndResetsTheDay) {
  GameState& s = g_world.gameState;
  s.currentTick = 500;
  s.gameSpeed = 1 << 30;
  EXPECT_EQ(RunTurnDays(g_world, 1), 0u);
  EXPECT_EQ(s.currentTick, 500u + 1440u);
  EXPECT_EQ(s.minutesLeft, 1440);
  EXPECT_EQ(s.dayPeriod, 0);
  EXPECT_EQ(s.dayParity & 1u, 1u);
  EXPECT_EQ(s.currentDay, 2451545u);
}

// The game ends at the day limit (a scenario whose winner is no statistic)
// when the day after its last is processed.
TEST_F(TurnThreadTest, TheDayAGameEndsStopsTheClockOnlyThatDay) {
  struct Row {
    const char* what;
    uint32_t daysToLimit;  // from the day before the day run
    uint32_t endedBefore;
    bool stops;
  };
  const Row rows[] = {
      {"the day past the limit ends the game", 0, 0, true},
      {"a day before the limit ends nothing", 2, 0, false},
      {"a game played on after its end keeps its clock", 0, kEndDayLimit, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    GameState& s = g_world.gameState;
    s.localPlayer = 1;
    g_world.scenario.head.svictorycond = 0;
    s.endDay = s.currentDay + row.daysToLimit;
    s.endReason = row.endedBefore;
    s.gameSpeed = 1 << 30;
    ASSERT_EQ(RunTurnDays(g_world, 1), 0u);
    EXPECT_EQ(s.endReason != row.endedBefore, row.stops) << "the game's end is the day's doing";
    EXPECT_EQ(s.gameSpeed == 0, row.stops);
  }
}

std::vector<int>& PeriodsShown() {
  static std::vector<int> periods;
  return periods;
}

TEST_F(TurnThreadTest, DayPeriodFollowsTheMinutesLeft) {
  GameState& s = g_world.gameState;
  s.gameSpeed = 1 << 30;
  PeriodsShown().clear();
  g_simUi.requestRedraw = [] { PeriodsShown().push_back(g_world.gameState.dayPeriod); };
  // 1440 minutes left is period 0 (a change from 5), then a new period every
  // 120 minutes; the last minute (1 left) is period 11.
  s.minutesLeft = 1440;
  s.dayPeriod = 5;
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  EXPECT_EQ(PeriodsShown(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(s.dayPeriod, 11);
  // Minute 1321 left is still period 0; 1320 left begins period 1.
  PeriodsShown().clear();
  s.dayPeriod = 0;
  s.minutesLeft = 1;
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  EXPECT_EQ(PeriodsShown(), (std::vector<int>{11}));
}

TEST_F(TurnThreadTest, ACommandDueNowRunsThisMinuteAndOneDueNextMinuteWaits) {
  GameState& s = g_world.gameState;
  s.gameSpeed = 1 << 30;
  s.currentTick = 200;
  GameCommand now = MakeGameCommand(s, kCmdTaxRate, 1);
  now.dueTick = 200;
  GameCommand next = MakeGameCommand(s, kCmdTaxRate, 1);
  next.dueTick = 201;
  g_commandLog.Insert(now);
  g_commandLog.Insert(next);

  s.minutesLeft = 1;  // one minute of the day left
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  std::vector<GameCommand> waiting = g_commandLog.Entries();
  ASSERT_EQ(waiting.size(), 1u);
  EXPECT_EQ(waiting[0].dueTick, 201u);
  EXPECT_EQ(s.currentTick, 201u);

  s.minutesLeft = 1;
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  EXPECT_TRUE(g_commandLog.Empty());
}

TEST_F(TurnThreadTest, TheTickMessageOfMinuteNCarriesNPlusOne) {
  GameState& s = g_world.gameState;
  s.gameSpeed = 1 << 30;
  s.currentTick = 41;
  s.localPlayer = 2;
  g_app.sysACKSlices = 1;
  g_commandNet.role = kNetGameHost;
  g_commandNet.send = RecordSend;
  Sent().clear();
  s.minutesLeft = 3;
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  ASSERT_EQ(Sent().size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const std::vector<uint8_t>& m = Sent()[static_cast<size_t>(i)];
    ASSERT_EQ(m.size(), 16u);
    EXPECT_EQ(le::Load32(m.data()), 0x20005u);
    EXPECT_EQ(le::Load32(m.data() + 4), 16u);
    EXPECT_EQ(le::Load32(m.data() + 8), 2u);
    EXPECT_EQ(le::Load32(m.data() + 12), 42u + static_cast<uint32_t>(i)) << "minute " << 41 + i;
  }
}

TEST_F(TurnThreadTest, TickMessagesEveryGivenNumberOfMinutesOnlyInANetworkGame) {
  GameState& s = g_world.gameState;
  s.gameSpeed = 1 << 30;
  s.currentTick = 0;
  g_app.sysACKSlices = 10;
  g_commandNet.send = RecordSend;
  Sent().clear();
  s.minutesLeft = 30;
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  EXPECT_TRUE(Sent().empty()) << "no network game, no tick";
  g_commandNet.role = kNetGameClient;
  s.minutesLeft = 30;
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  ASSERT_EQ(Sent().size(), 3u);
  EXPECT_EQ(le::Load32(Sent()[0].data() + 12), 40u);
  EXPECT_EQ(le::Load32(Sent()[2].data() + 12), 60u);
  // A slice of 0 means no tick at all, not a division by zero.
  g_app.sysACKSlices = 0;
  Sent().clear();
  s.minutesLeft = 5;
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(TurnThreadTest, PacingGivesEachMinuteItsShareOfASecond) {
  ScriptedClock clock;
  plat::SetClockSource(&clock);
  GameState& s = g_world.gameState;
  s.gameSpeed = 40;  // 25 ms a minute
  s.minutesLeft = 4;
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  EXPECT_EQ(clock.Sleeps(), (std::vector<uint32_t>{25, 25, 25, 25}));
}

TEST_F(TurnThreadTest, PacingSleepsOnlyForMoreThanFourMilliseconds) {
  ScriptedClock clock;
  plat::SetClockSource(&clock);
  GameState& s = g_world.gameState;
  s.gameSpeed = 250;  // 4 ms a minute: too short to sleep
  s.minutesLeft = 3;
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  EXPECT_TRUE(clock.Sleeps().empty());
  s.gameSpeed = 200;  // 5 ms
  s.minutesLeft = 2;
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  EXPECT_EQ(clock.Sleeps(), (std::vector<uint32_t>{5, 5}));
}

TEST_F(TurnThreadTest, ASlowMinuteSleepsOnlyWhatIsLeftOfItsShare) {
  ScriptedClock clock;
  plat::SetClockSource(&clock);
  // The unit work of the minute takes time: the scripted clock moves when
  // the simulation yields, so put a yielding sleep of 15 ms into each minute
  // through the yield settings (one yield a minute).
  g_app.sysSleepSkipDef = 0;
  g_app.sysSleepTurnprocDef = 15;
  GameState& s = g_world.gameState;
  s.gameSpeed = 40;  // 25 ms a minute, 15 of them spent yielding
  s.minutesLeft = 2;
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  EXPECT_EQ(clock.Sleeps(), (std::vector<uint32_t>{15, 10, 15, 10}));
}

TEST_F(TurnThreadTest, YieldingSleepsComeEverySoManyPasses) {
  ScriptedClock clock;
  plat::SetClockSource(&clock);
  g_app.sysSleepSkipDef = 2;
  g_app.sysSleepTurnprocDef = 7;
  GameState& s = g_world.gameState;
  s.gameSpeed = 1 << 30;
  s.minutesLeft = 9;
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  // Passes 3, 6 and 9 exceed the count of 2 and sleep.
  EXPECT_EQ(clock.Sleeps(), (std::vector<uint32_t>{7, 7, 7}));
}

TEST_F(TurnThreadTest, SpeedZeroPausesAfterTheCurrentMinuteAndGoResumes) {
  GameState& s = g_world.gameState;
  s.gameSpeed = 0;
  ASSERT_TRUE(StartTurnThread());
  const uint32_t start = LoadTick(s);
  g_gameThreads.turnGo->Set();
  ASSERT_TRUE(WaitUntil([&] { return LoadTick(s) == start + 1; }, 10s));
  // Paused: the go event is reset and no further minute runs.
  ASSERT_TRUE(WaitUntil([&] { return !g_gameThreads.turnGo->IsSet(); }, 10s));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(LoadTick(s), start + 1);

  // Go again: one more minute, then paused again.
  g_gameThreads.turnGo->Set();
  ASSERT_TRUE(WaitUntil([&] { return LoadTick(s) == start + 2; }, 10s));
  ASSERT_TRUE(WaitUntil([&] { return !g_gameThreads.turnGo->IsSet(); }, 10s));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(LoadTick(s), start + 2);

  // Stop while paused: the thread ends at once, from its pacing wait.
  plat::Thread* thread = g_gameThreads.turnThread;
  g_gameThreads.turnStop->Set();
  ASSERT_TRUE(thread->Wait(10000));
  EXPECT_EQ(thread->ExitCode(), kTurnExitStoppedInPacing);
  StopTurnThread();
  EXPECT_EQ(g_gameThreads.turnThread, nullptr);
  EXPECT_EQ(g_gameThreads.turnGo, nullptr);
}

TEST_F(TurnThreadTest, StopBetweenTurnsEndsTheWaitingThread) {
  ASSERT_TRUE(StartTurnThread());
  plat::Thread* thread = g_gameThreads.turnThread;
  g_gameThreads.turnStop->Set();
  ASSERT_TRUE(thread->Wait(10000));
  EXPECT_EQ(thread->ExitCode(), kTurnExitStoppedBetweenTurns);
  StopTurnThread();
}

TEST_F(TurnThreadTest, StopDuringARunningTurnEndsWithinAMinuteOfGameTime) {
  GameState& s = g_world.gameState;
  s.gameSpeed = 100;  // 10 ms a minute: a day would take 14 seconds
  ASSERT_TRUE(StartTurnThread());
  g_gameThreads.turnGo->Set();
  ASSERT_TRUE(WaitUntil([&] { return LoadTick(s) >= 3; }, 10s));
  plat::Thread* thread = g_gameThreads.turnThread;
  const uint32_t tickAtStop = LoadTick(s);
  g_gameThreads.turnStop->Set();
  ASSERT_TRUE(thread->Wait(10000));
  const uint32_t code = thread->ExitCode();
  EXPECT_TRUE(code == kTurnExitStoppedInMinute || code == kTurnExitStoppedInPacing) << code;
  EXPECT_LE(LoadTick(s), tickAtStop + 1) << "at most the minute under way finishes";
  StopTurnThread();
  EXPECT_TRUE(TurnEventRecorder::Get().Codes().empty()) << "the turn did not finish";
}

TEST_F(TurnThreadTest, TimedTurnPausesWhenItsMinutesRunOut) {
  GameState& s = g_world.gameState;
  s.gameSpeed = 1 << 30;
  s.speedLockMode = 1;
  s.speedChangeAllowed = 1;
  s.timedTurnCountdown = 3;
  int sounds = 0;
  static int* soundCount = nullptr;
  soundCount = &sounds;
  g_simUi.playUiSound = [](int number) {
    if (number == 20) ++*soundCount;
  };
  s.minutesLeft = 5;
  ASSERT_EQ(RunDayMinutes(g_world), 0u);
  EXPECT_EQ(s.timedTurnCountdown, -2);
  EXPECT_EQ(s.speedChangeAllowed, 0);
  EXPECT_EQ(s.timedTurnSpeedTier, 3) << "a speed above every tier's is tier 3";
  EXPECT_EQ(sounds, 1);
  FreeNetQueue(g_netQueue);
}

TEST_F(TurnThreadTest, ResumingAPausedTimedTurnSavesAndRestoresTheSpeed) {
  GameState& s = g_world.gameState;
  s.speedLockMode = 1;
  s.speedChangeAllowed = 0;
  s.timedTurnLength = 720;
  s.timedTurnCountdown = 0;
  s.timedTurnSpeedTier = 0;
  static int refreshed = 0;
  refreshed = 0;
  g_simUi.refreshSpeedControls = [] { ++refreshed; };
  FreeNetQueue(g_netQueue);
  TurnAutosave(g_world);
  ASSERT_EQ(SavedNames().size(), 1u);
  EXPECT_EQ(SavedNames()[0], "TurnSave.SAV");
  EXPECT_EQ(s.timedTurnCountdown, 720);
  EXPECT_EQ(s.speedChangeAllowed, 1);
  EXPECT_EQ(refreshed, 1);
  // The speed travels as a session message for the main thread: tier 2.
  ListNode* node = g_netQueue.head.next();
  ASSERT_NE(node, nullptr);
  const SessionMessage* message = static_cast<NetQueueNode*>(node)->message;
  EXPECT_EQ(message->kind, kSmGameSpeed);
  EXPECT_EQ(message->value, static_cast<uint32_t>(GameSpeedOfTier(2)));
  FreeNetQueue(g_netQueue);
  // Once allowed, resuming again writes nothing.
  TurnAutosave(g_world);
  EXPECT_EQ(SavedNames().size(), 1u);
}

TEST_F(TurnThreadTest, AutosaveEveryThirdTurnAndNeverOnceTheGameHasEnded) {
  g_uiOptions.autosaveturns = 3;
  GameState& s = g_world.gameState;
  s.autosaveCountdown = 3;
  std::snprintf(g_netSession.identity.playerName, sizeof g_netSession.identity.playerName, "%s", "Ann/..:x");
  std::vector<int> savedAfter;
  for (int turn = 1; turn <= 9; ++turn) {
    const size_t before = SavedNames().size();
    TurnEndAutosave(g_world);
    if (SavedNames().size() != before) savedAfter.push_back(turn);
  }
  EXPECT_EQ(savedAfter, (std::vector<int>{3, 6, 9}));
  ASSERT_FALSE(SavedNames().empty());
  // The player's name cannot lead the file out of the save folder.
  const std::string& path = SavedNames().back();
  EXPECT_EQ(path.substr(path.rfind('/') + 1), "AutoSave-Ann__._x.SAV");

  s.endReason = 5;
  const size_t before = SavedNames().size();
  for (int turn = 0; turn < 6; ++turn) TurnEndAutosave(g_world);
  EXPECT_EQ(SavedNames().size(), before);
  g_netSession.identity.playerName[0] = '\0';
}

TEST_F(TurnThreadTest, NetworkAutosaveOptionLeavesItToTheHost) {
  g_uiOptions.autosaveturns = 1;
  g_uiOptions.nomplayautosave = 1;
  g_commandNet.role = kNetGameClient;
  g_world.gameState.autosaveCountdown = 1;
  TurnEndAutosave(g_world);
  EXPECT_TRUE(SavedNames().empty());
  g_commandNet.role = kNetGameHost;
  TurnEndAutosave(g_world);
  EXPECT_EQ(SavedNames().size(), 1u);
}

TEST_F(TurnThreadTest, EndOfTurnWorksOutReadinessForBothCopies) {
  PlayerRecord& r = g_world.players[2];
  r.govtype = 3;  // readiness factor 0.5
  r.yearlyCostHexLead = 10.0f;
  r.yearlyCostC = 20.0f;
  r.yearlyCostD = 30.0f;
  r.simPolicy.defcon = 2;
  r.displayPolicy.defcon = 4;
  EndOfTurn(g_world, 1);
  // 60 x 0.5 x 2 x 2 / 10 = 12; with defcon 4: 60 x 0.5 x 16 / 10 = 48.
  EXPECT_FLOAT_EQ(r.simPolicy.readinessValue, 12.0f);
  EXPECT_FLOAT_EQ(r.displayPolicy.readinessValue, 48.0f);
  EXPECT_EQ(g_world.gameState.turnNumber, 1u);
}

TEST_F(TurnThreadTest, HotSeatPassesTheTurnToTheNextHumanRegion) {
  GameState& s = g_world.gameState;
  s.hotSeatMode = 1;
  s.highestPlayer = 5;
  g_world.players[3].kind = kKindHuman;
  g_world.players[5].kind = kKindHuman;
  s.localPlayer = 1;
  EXPECT_EQ(AdvanceToNextPlayer(g_world, false, false), 0);
  EXPECT_EQ(s.localPlayer, 3);
  EXPECT_EQ(g_world.localPlayerRecord, &g_world.players[3]);
  EXPECT_EQ(AdvanceToNextPlayer(g_world, false, false), 0);
  EXPECT_EQ(s.localPlayer, 5);
  EXPECT_EQ(AdvanceToNextPlayer(g_world, false, false), 1);
  EXPECT_EQ(s.localPlayer, 0);
  EXPECT_EQ(AdvanceToNextPlayer(g_world, true, false), 0);
  EXPECT_EQ(s.localPlayer, 1);
}

}  // namespace
