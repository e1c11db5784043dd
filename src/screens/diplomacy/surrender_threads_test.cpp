// A surrender on a single machine while the turn thread runs its minutes:
// the game pauses and both settings copies give way to the region.
#include "screens/diplomacy/surrender_confirm.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "net/command_network.h"
#include "net/net_message_queue.h"
#include "records/player_kinds.h"
#include "sim/command_log.h"
#include "sim/game_threads.h"
#include "sim/relation_fields.h"
#include "sim/sim_ui_link.h"
#include "support/global_guard.h"
#include "ui/control_test_support.h"
#include "ui/screen_manager.h"
#include "world/map_data.h"
#include "world/text/ui_options.h"
#include "world/world.h"

namespace {

using namespace std::chrono_literals;

class SurrenderThreadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_uiOptions.outlogdef = 0;
    g_uiOptions.autosaveturns = 0;
    madeLocks_ = !WorldLocksExist(g_world);
    if (madeLocks_) WorldInitLocks(g_world);
    g_commandLog.Clear();
    ClearGameRunState(g_world);
    World& w = g_world;
    FreeGameData(w);
    FreeMapData(w);
    w.mapHeader = MapHeaderWithSizes();
    ASSERT_EQ(ResizeMap(w, 6, 4), 0);
    NewGameData(w);
    w.gameState.highestPlayer = 3;
    w.gameState.localPlayer = 1;
    w.gameState.minutesLeft = 1440;
    w.gameState.daysPerTurn = 1;
    for (int p = 0; p < kMaxPlayers; ++p) w.players[p].number = static_cast<uint8_t>(p);
    for (int p = 1; p <= 3; ++p) w.players[p].kind = kKindHuman;
    w.localPlayerRecord = &w.players[1];
  }
  void TearDown() override {
    StopGameThreads();
    g_commandLog.Clear();
    FreeGameData(g_world);
    FreeMapData(g_world);
    if (madeLocks_) WorldDeleteLocks(g_world);
  }

  GlobalGuard<SimUiLink> ui_{g_simUi, SimUiLink{}};
  GlobalGuard<CommandNetLink> net_{g_commandNet, CommandNetLink{}};
  GlobalGuard<UiOptions> options_{g_uiOptions};
  GlobalGuard<std::function<void()>> wake_{g_netQueue.wake, [] {}};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth, 0};
  bool madeLocks_ = false;
};

TEST_F(SurrenderThreadsTest, ASingleMachineSurrenderPausesWhileMinutesRun) {
  ASSERT_TRUE(StartTurnThread());
  std::atomic_ref<int32_t>(g_world.gameState.gameSpeed).store(1 << 20, std::memory_order_relaxed);
  SignalRunEvents();
  std::this_thread::sleep_for(2ms);
  SurrenderConfirmPanel panel;
  controltest::PanelForm form(panel, "DIPLOMACY1_SS2a1", {"SUROK"});
  panel.id = 2;
  panel.OnCommand(form["SUROK"], 0);
  StopGameThreads();
  std::vector<uint32_t> speeds;
  DrainNetQueue(g_netQueue, [&](const SessionMessage& m) {
    if (m.kind == kSmGameSpeed) speeds.push_back(m.value);
  });
  EXPECT_EQ(speeds, std::vector<uint32_t>{0});
  const PlayerRecord& me = g_world.players[1];
  EXPECT_EQ(SurrenderTarget(me.displayPolicy), 2);
  EXPECT_EQ(SurrenderTarget(me.simPolicy), 2);
}

}  // namespace
