// A surrender on a single machine while the turn thread runs its minutes:
// the game pauses, the panel posts the surrender, the displayed settings
// show it at once and the turn thread's next minute gives the simulation's
// settings way to the region too.
#include "screens/diplomacy/relations/surrender_confirm.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "net/command_network.h"
#include "net/net_message_queue.h"
#include "platform/clock.h"
#include "sim/command_log.h"
#include "sim/game_threads.h"
#include "world/relation_fields.h"
#include "sim/simulation_lock.h"
#include "sim/sim_ui_link.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/screen_manager.h"
#include "world/map_data.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

TEST(SurrenderThreadsTest, ASingleMachineSurrenderPausesWhileMinutesRun) {
  GlobalGuard<SimUiLink> ui(g_simUi, SimUiLink{});
  GlobalGuard<CommandNetLink> net(g_commandNet, CommandNetLink{});
  GlobalGuard<UiOptions> options(g_uiOptions);
  GlobalGuard<std::function<void()>> wake(g_netQueue.wake, [] {});
  GlobalGuard<int32_t> depth(g_ui.panelDepth, 0);
  // Three regions led by people on a small map; no log, no autosave.
  g_uiOptions.outlogdef = g_uiOptions.autosaveturns = 0;
  const bool madeLocks = !WorldLocksExist(g_world);
  if (madeLocks) WorldInitLocks(g_world);
  World& w = g_world;
  ClearGameRunState(w);
  FreeMapData(w);
  w.mapHeader = MapHeaderWithSizes();
  ASSERT_EQ(ResizeMap(w, 6, 4), 0);
  NewGameData(w);
  GameState& s = w.gameState;
  s.highestPlayer = 3, s.localPlayer = 1, s.minutesLeft = 1440, s.daysPerTurn = 1;
  for (int p = 0; p < kMaxPlayers; ++p) w.players[p].number = static_cast<uint8_t>(p);
  for (int p = 1; p <= 3; ++p) w.players[p].kind = kKindHuman;
  w.localPlayerRecord = &w.players[1];

  ASSERT_TRUE(StartTurnThread());
  std::atomic_ref<int32_t>(s.gameSpeed).store(1 << 20, std::memory_order_relaxed);
  SignalRunEvents();
  std::unique_ptr<Screen> panel = MakeSurrenderConfirmPanel();
  controltest::PanelForm form(*panel, "DIPLOMACY1_SS2a1", {"SUROK"});
  panel->id = 2;
  panel->OnCommand(form["SUROK"], 0);
  const PlayerRecord& me = w.players[1];
  uint8_t shown = 0;
  {
    // The turn thread copies its settings over the displayed ones under this lock.
    WorldLockGuard hold(w, kLockCommandLog);
    shown = SurrenderTarget(me.displayPolicy);
  }
  // The speed message is not applied until the main thread drains its
  // queue, so minutes run on and one of them takes the command.
  uint8_t simulated = 0;
  for (int wait = 0; wait < 10000 && simulated == 0; ++wait) {
    {
      plat::CriticalSectionLock lock(g_simulationLock);
      simulated = SurrenderTarget(me.simPolicy);
    }
    if (simulated == 0) plat::SleepMs(1);
  }
  StopGameThreads();
  std::vector<uint32_t> speeds;
  DrainNetQueue(g_netQueue, [&](const SessionMessage& m) {
    if (m.kind == kSmGameSpeed) speeds.push_back(m.value);
  });
  EXPECT_EQ(std::tuple(speeds, shown, simulated), std::tuple(std::vector<uint32_t>{0}, 2, 2));
  g_commandLog.Clear();
  FreeGameData(w);
  FreeMapData(w);
  if (madeLocks) WorldDeleteLocks(w);
}

}  // namespace
