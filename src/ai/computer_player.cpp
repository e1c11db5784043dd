#include "ai/computer_player.h"

#include "ai/ai_deployment.h"
#include "ai/ai_event_answer.h"
#include "ai/ai_player_fields.h"
#include "ai/ai_unit_build.h"
#include "ai/ai_worker_state.h"
#include "ai/ai_field_units.h"
#include "ai/ai_tech_design.h"
#include "ai/diplomatic_answers.h"
#include "ai/minister_dispatch.h"
#include "ai/war_posture.h"
#include "app/app_object.h"
#include "platform/clock.h"
#include "platform/fpenv.h"
#include "platform/threads.h"
#include "net/command_network.h"
#include "sim/game_threads.h"
#include "sim/sim_ui_link.h"
#include "sim/simulation_lock.h"
#include "records/net_slot.h"
#include "world/save_extension.h"
#include "world/world.h"

std::atomic<uint32_t> g_computerPlayerStepMs{kComputerPlayerStepMs};
std::atomic<bool> g_computerPlayersClocked{false};

namespace {
// The workers' state travels in the save through the world's hook.
[[maybe_unused]] const bool kSaveHookSet = [] {
  g_computerPlayerSaveHook.write = BuildAiWorkerBlock;
  g_computerPlayerSaveHook.read = ReadAiWorkerBlock;
  return true;
}();
}  // namespace

namespace {

// One worker's clock. In the clocked mode the turn thread takes the
// worker's steps itself, in player order (handing each step to the worker's
// thread and waiting for it cost two thread switches a step); `go` then only
// tells the worker its region is gone. `prepared` and `phase` belong to
// whichever thread takes the steps.
struct ClockSlot {
  plat::Event go{false, false};
  std::atomic<bool> running{false};
  std::atomic<uint32_t> steps{0};
  bool prepared = false;
  int phase = 0;
};
ClockSlot g_clock[kMaxPlayers];

// The clock moves the minutes on outside the simulation lock.
int32_t Band(GameState& state) {
  const int32_t left = std::atomic_ref<int32_t>(state.minutesLeft).load(std::memory_order_relaxed);
  return 11 - (left * 12 - 1) / 1440;
}

bool Eliminated(int32_t kind) { return kind == kKindEmpty || kind == kKindOut; }

// The first preparation, before the first step: lists a save brought back
// are kept.
void PrepareOnce(ClockSlot& clock, World& world, PlayerRecord& player, AiWorkerState& state) {
  if (clock.prepared) return;
  clock.prepared = true;
  if (!state.restored) PrepareComputerPlayer(world, player);
  state.restored = false;
}

// One step under the simulation lock; false when the region is gone.
bool TakeStep(ClockSlot& clock, World& world, int32_t index) {
  PlayerRecord& player = world.players[index & 31];
  plat::CriticalSectionLock simulation(g_simulationLock);
  if (Eliminated(player.kind)) return false;
  PrepareOnce(clock, world, player, g_aiWorkers[index & 31]);
  clock.phase ^= 1;
  ComputerPlayerStep(world, player, clock.phase);
  clock.steps.fetch_add(1);
  return true;
}

int32_t CurrentSpeed(World& world) {
  return std::atomic_ref<int32_t>(world.gameState.gameSpeed).load(std::memory_order_relaxed);
}

// The map and panels are redrawn for the local region, and for another
// region this machine plays.
void RequestRedraw(const World& world, const PlayerRecord& player, int32_t index) {
  if (!g_simUi.requestRedraw) return;
  if (index != world.gameState.localPlayer) {
    if (Eliminated(player.kind)) return;
    if (IsNetworkGame(g_commandNet)) {
      if (g_commandNet.role != kNetGameHost) return;
      const uint32_t slot = player.networkSlot;
      if (slot != 0 && slot < static_cast<uint32_t>(kMaxPlayers) && world.slotTable[slot].state == kSlotHuman) return;
    }
  }
  g_simUi.requestRedraw();
}

}  // namespace

void ComputerPlayerMinuteWork(int32_t counter, GameState&, int32_t dayPeriod) {
  RunMinisterMinute(g_world, counter, dayPeriod, GameMinisterSteps());
}

void PrepareComputerPlayer(World& world, PlayerRecord& player) {
  const int32_t index = static_cast<int32_t>(&player - world.players);
  BuildFieldUnitLists(world, player, g_aiWorkers[index & 31]);
}

void ComputerPlayerStep(World& world, PlayerRecord& player, int) {
  const int32_t index = static_cast<int32_t>(&player - world.players);
  const bool decides = (index % 10) + 1 <= Band(world.gameState) && player.kind != kKindWorld;
  bool redraw = false;
  if (decides) {
    const uint32_t progress = aifields::DailyProgress(player);
    if (!(progress & aifields::kProgressFirstStep)) {
      // The day's first step: war posture and the answers to offers.
      aifields::SetDailyProgress(player, progress | aifields::kProgressFirstStep);
      if (player.kind == kKindComputer) {
        AiDailyWarPosture(world, player);
        AiAnswerDiplomaticOffers(world, player);
      }
    } else if (!(progress & aifields::kProgressBuilding)) {
      aifields::SetDailyProgress(player, progress | aifields::kProgressBuilding);
      const uint32_t flags = player.displayPolicy.militaryFlags;
      if (flags & aifields::kUnitAutoBuild) {
        AiOrderUnitBuild(world, player);
        redraw = true;
      }
      if (flags & aifields::kMissilesAutoBuild) {
        AiOrderUnitBatch(world, player);
        redraw = true;
      }
    } else if (!(progress & aifields::kProgressDeployment)) {
      // Deployment: the idle units are listed afresh for the day's orders.
      aifields::SetDailyProgress(player, progress | aifields::kProgressDeployment);
      PrepareComputerPlayer(world, player);
      AiPlanFacilityDefence(world, player);
      AiDeployAndOrderUnits(world, player);
    } else if (!(progress & aifields::kProgressTechnology)) {
      aifields::SetDailyProgress(player, progress | aifields::kProgressTechnology);
      AiTechAndDesignStep(world, player, &AiChooseTechClass);
      redraw = true;
    }
  }
  if (redraw) RequestRedraw(world, player, index);
  AnswerMapEvents(world, player);
}

uint32_t ComputerPlayerThread(int32_t playerIndex) {
  const uint32_t exitCode = static_cast<uint32_t>(playerIndex) + kComputerPlayerExitBase;
  plat::Event* stop = g_gameThreads.aiStop;
  plat::Event* run = g_gameThreads.aiRun;
  ClockSlot& clock = g_clock[playerIndex & 31];
  if (!stop || !run) {
    clock.running.store(false);
    return exitCode;
  }
  plat::SetGameFloatMode();
  const int32_t period = g_app.sysTimePeriod;
  if (period != 0) plat::BeginTimerPeriod(static_cast<uint32_t>(period));
  World& world = g_world;
  if (g_computerPlayersClocked.load()) {
    // The turn thread takes the steps, the first preparation with the first
    // of them, so that it happens at the same game minute every run.
    plat::WaitAny({stop, &clock.go}, plat::kInfinite);
  } else {
    {
      plat::CriticalSectionLock simulation(g_simulationLock);
      PrepareOnce(clock, world, world.players[playerIndex & 31], g_aiWorkers[playerIndex & 31]);
    }
    for (;;) {
      if (plat::WaitAny({stop, run}, plat::kInfinite) == 0) break;
      if (!TakeStep(clock, world, playerIndex)) break;
      plat::SleepMs(g_computerPlayerStepMs.load(std::memory_order_relaxed));
      if (CurrentSpeed(world) == 0) {
        run->Reset();
        // The interface may have set the event again between the read and
        // the reset: a worker that then slept would miss the game running.
        if (CurrentSpeed(world) != 0) run->Set();
      }
    }
  }
  clock.running.store(false);
  if (period != 0) plat::EndTimerPeriod(static_cast<uint32_t>(period));
  return exitCode;
}

void ResetComputerPlayerClock(int32_t playerIndex) {
  ClockSlot& clock = g_clock[playerIndex & 31];
  clock.go.Reset();
  clock.steps.store(0);
  clock.prepared = false;
  clock.phase = 0;
  clock.running.store(true);
}

void LeaveComputerPlayerClock(int32_t playerIndex) {
  ClockSlot& clock = g_clock[playerIndex & 31];
  clock.running.store(false);
}

uint32_t ComputerPlayerStepCount(int32_t playerIndex) { return g_clock[playerIndex & 31].steps.load(); }

bool ComputerPlayerLive(int32_t playerIndex) { return g_clock[playerIndex & 31].running.load(); }

void RunClockedComputerPlayerSteps() {
  if (!g_computerPlayersClocked.load(std::memory_order_relaxed)) return;
  World& world = g_world;
  for (int32_t p = 0; p < kMaxPlayers; ++p) {
    ClockSlot& clock = g_clock[p];
    if (!clock.running.load()) continue;
    if (TakeStep(clock, world, p)) continue;
    // The region is gone: its worker leaves.
    clock.running.store(false);
    clock.go.Set();
  }
}
