#pragma once
// For the screens' tests over the local region's units: a fixture that makes
// region Local the local one with Classes empty unit classes, owns a ring of
// test units, and empties the command log before and after each test. The
// game state, the classes and the region's record come back afterwards.
// LocalMapTest adds a small map the region owns.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <tuple>
#include <vector>

#include "records/hex_cell.h"
#include "records/player_record.h"
#include "sim/command_log.h"
#include "sim/game_command.h"
#include "support/global_guard.h"
#include "support/unit_ring.h"
#include "support/world_map_guard.h"
#include "world/data_tables.h"
#include "world/game_state.h"
#include "world/hex_extra.h"
#include "world/world.h"

namespace militarytest {

// What was posted since the log was last emptied, as (id, word 24, word 28);
// the log is emptied.
using Posted = std::vector<std::tuple<uint32_t, uint32_t, uint32_t>>;
inline Posted TakePosted() {
  Posted posted;
  for (const GameCommand& c : g_commandLog.Entries()) posted.emplace_back(c.id, c.arg24, c.arg28);
  g_commandLog.Clear();
  return posted;
}

template <int Local, size_t Classes>
class LocalRegionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_world.gameState.localPlayer = Local;
    g_world.unitClasses.assign(Classes, UnitClassRecord{});
    g_commandLog.Clear();
  }
  // A test may have linked records of its own into the world: the ring is
  // the fixture's again before they go.
  void TearDown() override {
    g_commandLog.Clear();
    ring_.KeepFirst(ring_.size());
  }

  GlobalGuard<GameState> state_{g_world.gameState};
  GlobalGuard<std::vector<UnitClassRecord>> classes_{g_world.unitClasses};
  GlobalGuard<PlayerRecord> local_{g_world.players[Local]};
  testsupport::UnitRing ring_;
};

// The same over a Width x Height map whose hexes the local region owns; the
// hexes' unit stacks are freed after the test and the map comes back.
template <int Local, int Width, int Height, size_t Classes>
class LocalMapTest : public LocalRegionTest<Local, Classes> {
 protected:
  void SetUp() override {
    LocalRegionTest<Local, Classes>::SetUp();
    World& w = g_world;
    w.mapWidth = Width, w.mapHeight = Height;
    w.mapHeader = MapHeader{};
    w.mapHeader.width = Width, w.mapHeader.height = Height;
    w.cells.assign(static_cast<size_t>(Width * Height), HexCell{nullptr, WithCellOwner(0, Local)});
  }
  void TearDown() override {
    for (HexCell& c : g_world.cells) FreeHexStack(c);
    LocalRegionTest<Local, Classes>::TearDown();
  }
  static HexCell& Cell(int x, int y) { return g_world.cells[static_cast<size_t>(y * Width + x)]; }

  WorldMapGuard map_;
};

}  // namespace militarytest
