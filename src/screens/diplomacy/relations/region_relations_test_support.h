#pragma once
// Tests only: regions 0 to 5 computer-led, region 1 the local one; what a
// test changes of them, the game state, the dock and the log is put back.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "records/player_kinds.h"
#include "sim/command_log.h"
#include "support/global_guard.h"
#include "ui/screen_manager.h"
#include "world/world.h"

using PostedCommand = std::tuple<uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t>;

class RegionPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int p = 0; p < 6; ++p) g_world.players[p].kind = kKindComputer, g_world.players[p].number = uint8_t(p);
    g_world.gameState.highestPlayer = 5;
    g_world.gameState.localPlayer = 1;
    g_commandLog.Clear();
  }
  void TearDown() override { g_commandLog.Clear(); }
  // Id, player and words 24 to 36 of each posted command.
  static std::vector<PostedCommand> Posted() {
    std::vector<PostedCommand> out;
    for (const GameCommand& c : g_commandLog.Entries()) out.emplace_back(c.id, c.player, c.arg24, c.arg28, c.arg32, c.arg36);
    return out;
  }

  GlobalGuard<PlayerRecord[kMaxPlayers]> players_{g_world.players};
  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<int32_t> depth_{g_ui.panelDepth, 0};
};
