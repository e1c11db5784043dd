// A unit ordered to a hex as the order code issues it (cancel-all, the
// route, the destination, the move bit) walks there on the minute loop.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "sim/command_ids.h"
#include "sim/game_command.h"
#include "sim/game_session_test_support.h"
#include "sim/turn_thread.h"
#include "units/hex_geometry.h"
#include "units/hex_stack_chains.h"
#include "units/movement_rates.h"
#include "units/path_route.h"
#include "units/path_search.h"
#include "units/unit_create.h"
#include "units/unit_step_phases.h"
#include "units/unit_tables.h"

namespace {

constexpr int kTankClass = 2;

class UnitWalk : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(12, 8, 1, true);
    GiveRegionsLand(1);
    World& w = g_world;
    w.terrains[0].bytes[120] = 1;  // open to movement type 0
    w.mapHeader.hexScale = 10;
    w.mapHeader.scale = 1.0f;
    for (auto& factors : w.techEffects) factors[13] = 1.0f;
    UnitClassRecord& tank = w.unitClasses[kTankClass];
    std::strcpy(tank.name, "Tank");
    tank.strengthPerSize = 10;
    le::Store16(tank.bytes64 + 2, 100);  // speed
    w.gameState.gameSpeed = 1 << 30;
  }
};

TEST_F(UnitWalk, AUnitOrderedFiveHexesAwayWalksTheSearchedWayAndStopsAtTheCentre) {
  World& w = g_world;
  const uint32_t start = MakeHexPos(2, 3), goal = MakeHexPos(7, 4);
  UnitRecord* tank = CreateUnit(w, w.players[1], 0x01000100u, kTankClass, 1.0f, start, 0, 0);
  ASSERT_NE(tank, nullptr);
  tank->unitFlags &= ~kUnitProvisional;
  tank->orders[kPostureBits] = 0;
  tank->ordersShown = tank->orders;
  HexCell& cell = w.cells[static_cast<size_t>(3 * w.mapWidth + 2)];
  HexStackInsertById(w, cell, *tank);
  HexStackInsertOrdered(w, cell, *tank);
  AppendUnitPtr(w, kUnitTableOnMap, 1, 0, *tank);
  RecomputeMovementRates(w, *tank);

  // The way the search gives with the unit's own arguments.
  UnitStepState s;
  s.cls = &w.unitClasses[kTankClass];
  s.cell = &cell;
  StepEntryRights(w, *tank, s);
  PathSearchBlock& block = WorldPathSearch(w);
  block.from = start;
  block.to = goal;
  ASSERT_EQ(FindPath(w, block), 1);
  std::vector<uint32_t> way{start};
  for (size_t i = block.steps.size(); i-- > 0;)
    if (block.steps[i] != kNoMove) way.push_back(HexNeighbour(MapShape(w), way.back(), OppositeDirection(block.steps[i])));
  ASSERT_EQ(way.back(), goal);
  ASSERT_EQ(HexDistance(MapShape(w), start, goal), 5);

  // As the order code posts it: 336, 340, 339, then 337 with the move bit.
  const uint32_t id = tank->id;
  PostSimpleCommand(kCmdUnitCancelOrders, 1, static_cast<int32_t>(id));
  uint32_t waypoints[8] = {start, goal};
  PathRequest route;
  InitPathRequest(waypoints, route, goal, 0, false);
  std::vector<uint8_t> payload(sizeof(PathRequestImage));
  std::memcpy(payload.data(), static_cast<const PathRequestImage*>(&route), payload.size());
  PostCommand_28_Data(kCmdAssignUnitRoute, id, payload);
  PostCommand_24_28(kCmdUnitSetDestination, goal, id);
  const auto runMinutes = [&](int minutes, std::vector<uint32_t>* walked) {
    for (int minute = 0; minute < minutes; ++minute) {
      w.gameState.minutesLeft = 1;  // one minute at a time, to watch each
      ASSERT_EQ(RunDayMinutes(w), 0u);
      const uint32_t at = MakeHexPos(tank->x, tank->y);
      if (walked && at != walked->back()) walked->push_back(at);
    }
  };
  // 339 alone only writes the destination: nothing moves.
  runMinutes(60, nullptr);
  EXPECT_EQ(tank->orders[kDestination], goal);
  EXPECT_EQ(MakeHexPos(tank->x, tank->y), start);
  EXPECT_EQ(tank->pixelX, 0.0f);
  EXPECT_EQ(tank->pixelY, 0.0f);

  PostCommand_28_32_36(kCmdAddOrderFlags, id, kOrderMove, 0);
  std::vector<uint32_t> walked{start};
  runMinutes(4 * 1440, &walked);
  EXPECT_EQ(walked, way);
  EXPECT_FALSE(tank->orders[kOrderFlags] & kOrderMove);
  EXPECT_LT(std::fabs(tank->pixelX), 3.0f);
  EXPECT_LT(std::fabs(tank->pixelY), 3.0f);
}

}  // namespace
