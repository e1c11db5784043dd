#include "sim/turn_thread.h"

#include <atomic>
#include <string>

#include "app/app_object.h"
#include "app/log.h"
#include "net/net_session.h"
#include "platform/clock.h"
#include "platform/fpenv.h"
#include "platform/threads.h"
#include "sim/command_log.h"
#include "net/command_network.h"
#include "sim/command_post.h"
#include "sim/computer_player_link.h"
#include "sim/daily/elimination.h"
#include "sim/daily/player_accounts.h"
#include "sim/daily_driver.h"
#include "sim/end_of_turn_log.h"
#include "sim/game_threads.h"
#include "sim/player_message_link.h"
#include "sim/safe_file_name.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "sim/sync_entries.h"
#include "sim/victory.h"
#include "sim/visibility_decay.h"
#include "units/step/unit_scheduler.h"
#include "world/game_speed.h"
#include "records/le_bytes.h"
#include "sim/player_services.h"
#include "sim/save_file.h"
#include "world/text/ui_options.h"
#include "world/world.h"

std::atomic<bool> g_minuteSkip{false};
std::atomic<uint32_t> g_dayCommandsRun{0};

uint32_t TakeDayCommandsRun() { return g_dayCommandsRun.exchange(0, std::memory_order_relaxed); }

namespace {

constexpr uint32_t kTickMessageId = 0x20005;
constexpr uint32_t kTickMessageSize = 16;
constexpr int kTimedTurnEndSound = 20;
constexpr uint32_t kMaxMinuteMs = 1000;
constexpr uint32_t kShortestPacingSleepMs = 4;

// The computer players' minute counter: restarted when the day period
// changes, so it counts the calls of the current period.
int32_t g_aiMinuteCounter = 0;

// The speed is written by the main thread (a session message) while the
// clock reads it.
int32_t CurrentSpeed(GameState& state) {
  return std::atomic_ref<int32_t>(state.gameSpeed).load(std::memory_order_relaxed);
}

bool IsActiveKind(int32_t kind) { return kind == kKindHuman || kind == kKindComputer; }

int32_t HighestPlayer(const World& world) {
  const int32_t highest = world.gameState.highestPlayer;
  return highest < kMaxPlayers ? highest : kMaxPlayers - 1;
}

CommandLog& LogOf(World& world) {
  CommandLog* log = CommandLogOf(world);
  return log ? *log : g_commandLog;
}

void SendTickMessage(World& world) {
  if (!IsNetworkGame(g_commandNet) || !g_commandNet.send) return;
  uint8_t message[kTickMessageSize];
  le::Store32(message, kTickMessageId);
  le::Store32(message + 4, kTickMessageSize);
  le::Store32(message + 8, static_cast<uint32_t>(world.gameState.localPlayer));
  le::Store32(message + 12, world.gameState.currentTick);
  WorldLockGuard hold(world, kLockCommandLog);
  g_commandNet.send(message, sizeof message);
}

// A timed turn has run its minutes: the speed is kept to come back to, the
// game pauses until the player resumes it, and the player hears it.
void EndTimedTurn(World& world) {
  GameState& state = world.gameState;
  state.timedTurnSpeedTier = static_cast<uint8_t>(GetGameSpeedTier(state));
  SetGameSpeed(state, 0);
  state.speedChangeAllowed = 0;
  if (g_simUi.playUiSound) g_simUi.playUiSound(kTimedTurnEndSound);
}

// Waits until the clock may go on to the next minute: not while paused (the
// go event is reset and the interface sets it again), not while a peer lags
// behind, and not before the minute's share of real time has passed.
// `passes` counts the passes of this day; every so many passes the thread
// yields for a while (later yields of the same minute are short).
uint32_t PaceMinute(World& world, uint64_t minuteStart, int32_t& passes) {
  GameThreads& threads = g_gameThreads;
  bool slept = false;
  for (;;) {
    if (CurrentSpeed(world.gameState) == 0 && threads.turnGo) threads.turnGo->Reset();
    if (++passes > g_app.sysSleepSkipDef) {
      const int32_t ms = slept ? 0 : g_app.sysSleepTurnprocDef;
      plat::SleepMs(ms > 0 ? static_cast<uint32_t>(ms) : 0);
      slept = true;
      passes = 0;
    }
    if (threads.turnStop && threads.turnGo) {
      if (plat::WaitAny({threads.turnStop, threads.turnGo}, plat::kInfinite) == 0) return kTurnExitStoppedInPacing;
    } else if (threads.turnStop && threads.turnStop->IsSet()) {
      return kTurnExitStoppedInPacing;
    }
    if (g_commandNet.playersInStep && !g_commandNet.playersInStep()) continue;
    const int32_t speed = CurrentSpeed(world.gameState);
    if (speed > 0) {
      const int64_t share = 1000 / speed;
      const int64_t now = static_cast<int64_t>(plat::MonotonicMs());
      int64_t rest = share + static_cast<int64_t>(minuteStart) - now;
      if (rest > kMaxMinuteMs) rest = kMaxMinuteMs;
      if (rest > kShortestPacingSleepMs) plat::SleepMs(static_cast<uint32_t>(rest));
    }
    return 0;
  }
}

// Whether this process writes the autosave: in a network game with the
// network-autosave option set only the host does.
bool WritesAutosave() {
  if (!g_uiOptions.nomplayautosave) return true;
  if (!IsNetworkGame(g_commandNet)) return true;
  return g_commandNet.role == kNetGameHost;
}

}  // namespace

uint32_t RunDayMinutes(World& world) {
  GameState& state = world.gameState;
  CommandLog& log = LogOf(world);
  int32_t passes = 0;
  while (state.minutesLeft > 0) {
    const int32_t period = 11 - (12 * state.minutesLeft - 1) / kMinutesPerDay;
    if (period != state.dayPeriod) {
      {
        // The title bar's clock reads the time of day as it draws.
        plat::CriticalSectionLock simulation(g_simulationLock);
        state.dayPeriod = static_cast<uint8_t>(period);
      }
      if (g_simUi.requestRedraw) g_simUi.requestRedraw();
      g_aiMinuteCounter = 0;
    }
    const uint64_t minuteStart = plat::MonotonicMs();

    g_dayCommandsRun.fetch_add(static_cast<uint32_t>(DrainDueCommands(log, state.currentTick)),
                               std::memory_order_relaxed);

    {
      plat::CriticalSectionLock simulation(g_simulationLock);
      RunUnitScheduler(world, state.minutesLeft);
      DecayVisibility(world);
      if (state.dayPeriod != 0 && state.minutesLeft % 5 != 0) {
        ComputerPlayersMinuteWork(g_aiMinuteCounter, state, state.dayPeriod);
        ++g_aiMinuteCounter;
      }
    }
    // Other threads stamp their commands with the tick, and the computer
    // players read the minutes left, while they move on.
    std::atomic_ref<uint32_t>(state.currentTick).fetch_add(1, std::memory_order_relaxed);
    std::atomic_ref<int32_t>(state.minutesLeft).fetch_sub(1, std::memory_order_relaxed);

    // The clocked computer players take their steps, in player order, while
    // the clock waits for them without holding the simulation lock.
    if (state.currentTick % kClockedStepMinutes == 0) RunClockedComputerPlayers();

    if (state.speedLockMode == 1) {
      plat::CriticalSectionLock simulation(g_simulationLock);
      state.timedTurnCountdown -= 1;
      if (state.timedTurnCountdown == 0) EndTimedTurn(world);
    }

    if (g_gameThreads.turnStop && g_gameThreads.turnStop->IsSet()) return kTurnExitStoppedInMinute;

    // The peers hold their clocks until this one reports within the lead:
    // it reports at least every lead - 2 minutes whatever the setting.
    int32_t slices = g_app.sysACKSlices;
    const int32_t most = static_cast<int32_t>(state.commandLead) - 2;
    if (most > 0 && (slices <= 0 || slices > most)) slices = most;
    if (slices > 0 && state.currentTick % static_cast<uint32_t>(slices) == 0) SendTickMessage(world);

    if (const uint32_t stopped = PaceMinute(world, minuteStart, passes)) return stopped;
  }
  return 0;
}

void TurnEndAutosave(World& world) {
  // The save copies the whole world: a screen's change half made, or a
  // command run in between, would leave a save that never was a game.
  plat::CriticalSectionLock simulation(g_simulationLock);
  GameState& state = world.gameState;
  const int32_t interval = g_uiOptions.autosaveturns;
  if (state.endReason != 0 || interval == 0) return;
  state.autosaveCountdown -= 1;
  if (state.autosaveCountdown > 0 || !WritesAutosave()) return;
  const std::string name = AutoSaveName(SafeFileNamePart(g_netSession.identity.playerName));
  if (plat::Failed(SaveGame(world, name))) LogWrite(g_platform, "Autosave %s could not be written\n", name.c_str());
  state.autosaveCountdown = interval;
}

uint32_t RunTurnDays(World& world, int32_t days) {
  GameState& state = world.gameState;
  for (int32_t day = 0; day < days; ++day) {
    const uint32_t endedBefore = state.endReason;
    if (!g_minuteSkip.load(std::memory_order_relaxed)) {
      if (const uint32_t stopped = RunDayMinutes(world)) return stopped;
    }
    {
      // No computer player's step falls inside the daily steps.
      plat::CriticalSectionLock simulation(g_simulationLock);
      // Read without the lock by whoever waits for a day to come.
      std::atomic_ref<uint32_t>(state.currentDay).fetch_add(1, std::memory_order_release);
      state.dayParity ^= 1u;
      std::atomic_ref<int32_t>(state.minutesLeft).store(kMinutesPerDay, std::memory_order_relaxed);
      state.dayPeriod = 0;
      RunDailyProcessing(world);
    }
    // A game that has just ended plays no further day while the window
    // thread comes to its end screen: on a busy machine that took several
    // days, which changed the world the screen and the next scenario of a
    // campaign are given. The player may set the clock going again to play
    // on. Peers of a network game stop together through their own clocks.
    if (endedBefore == 0 && state.endReason != 0 && !IsNetworkGame(g_commandNet))
      std::atomic_ref<int32_t>(state.gameSpeed).store(0, std::memory_order_release);
    if (days > 1) PostTurnEvent(kTurnCodeDayEnd);
  }
  TurnEndAutosave(world);
  if (IsNetworkGame(g_commandNet)) ComputeSyncEntries(world, false);
  return 0;
}

void EndOfTurn(World& world, int32_t) {
  // The readiness factor of each government type; a type outside the table
  // counts as the first.
  static constexpr float kReadinessFactor[6] = {1.0f, 1.0f, 1.0f, 0.5f, 0.7f, 0.0f};
  GameState& state = world.gameState;
  const int32_t highest = HighestPlayer(world);
  for (int32_t p = 0; p <= highest; ++p) {
    PlayerRecord& region = world.players[p];
    if (region.kind == kKindWorld) {
      TopUpKind3Reserve(world);
      continue;
    }
    if (!IsActiveKind(region.kind)) continue;
    SavePlayerTurnTotals(world, region);
    ComputeSocialCosts(world, region);
    const float factor = kReadinessFactor[region.govtype < 6 ? region.govtype : 0];
    const float costs = region.yearlyCostHexLead + region.yearlyCostC + region.yearlyCostD;
    PlayerPolicyBlock* copies[2] = {&region.simPolicy, &region.displayPolicy};
    for (int c = 0; c < 2; ++c) {
      const float defcon = static_cast<float>(copies[c]->defcon);
      copies[c]->readinessValue = costs * factor * defcon * defcon / 10.0f;
      RecalcPlayerTotals(world, region, c == 0 ? 1 : 0);
    }
  }
  if (g_platform.logEnabled) WriteEndOfTurnLog(world);
  state.turnNumber += 1;
}

uint32_t TurnThreadProc() {
  plat::SetGameFloatMode();
  const int32_t period = g_app.sysTimePeriod;
  if (period != 0) plat::BeginTimerPeriod(static_cast<uint32_t>(period));
  World& world = g_world;
  GameState& state = world.gameState;
  GameThreads& threads = g_gameThreads;
  uint32_t exitCode = kTurnExitStoppedBetweenTurns;
  for (;;) {
    if (!threads.turnStop || !threads.turnGo) break;
    if (plat::WaitAny({threads.turnStop, threads.turnGo}, plat::kInfinite) == 0) break;
    {
      // A region's kind changes on the window thread too (a surrender on a
      // single machine), under the simulation lock.
      plat::CriticalSectionLock simulation(g_simulationLock);
      const int32_t highest = HighestPlayer(world);
      for (int32_t p = 0; p <= highest; ++p)
        if (IsActiveKind(world.players[p].kind)) ClearPlayerTurnCounters(world, world.players[p]);
    }
    if (const uint32_t stopped = RunTurnDays(world, state.daysPerTurn)) {
      exitCode = stopped;
      break;
    }
    {
      plat::CriticalSectionLock simulation(g_simulationLock);
      EndOfTurn(world, state.daysPerTurn);
    }
    PostTurnEvent(kTurnCodeTurnEnd);
    if (CurrentSpeed(state) == 0) threads.turnGo->Reset();
  }
  // The timer resolution is given back however the thread ends.
  if (period != 0) plat::EndTimerPeriod(static_cast<uint32_t>(period));
  return exitCode;
}

int32_t AdvanceToNextPlayer(World& world, bool restart, bool show) {
  GameState& state = world.gameState;
  const int32_t highest = HighestPlayer(world);
  if (state.hotSeatMode == 1) {
    if (restart) state.localPlayer = 0;
    while (state.localPlayer < highest) {
      state.localPlayer += 1;
      world.localPlayerRecord = &world.players[state.localPlayer];
      if (world.players[state.localPlayer].kind == kKindHuman) {
        if (g_simUi.followLocalPlayer) g_simUi.followLocalPlayer(g_simUiRoot, state.localPlayer, false, false);
        return 0;
      }
    }
    state.localPlayer = 0;
    world.localPlayerRecord = &world.players[0];
    return 1;
  }
  if (state.localPlayer < 0 || state.localPlayer >= kMaxPlayers) state.localPlayer = 0;
  PlayerRecord& local = world.players[state.localPlayer];
  world.localPlayerRecord = &local;
  if (show) {
    UpdateStatTables(world);
    if (g_playerMessageLink.deliverTurnMessage) g_playerMessageLink.deliverTurnMessage(world, local);
  }
  if (g_simUi.followLocalPlayer) g_simUi.followLocalPlayer(g_simUiRoot, state.localPlayer, restart, show);
  return 1;
}

void TurnAutosave(World& world) {
  plat::CriticalSectionLock simulation(g_simulationLock);
  GameState& state = world.gameState;
  if (state.speedLockMode != 1 || state.speedChangeAllowed != 0) return;
  if (plat::Failed(SaveGame(world, kTurnSaveName))) LogWrite(g_platform, "Turn save could not be written\n");
  state.timedTurnCountdown = state.timedTurnLength;
  state.speedChangeAllowed = 1;
  const int32_t tier = state.timedTurnSpeedTier == 0 ? 2 : state.timedTurnSpeedTier;
  SetGameSpeed(state, tier);
  if (g_simUi.refreshSpeedControls) g_simUi.refreshSpeedControls();
}
