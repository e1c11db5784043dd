// A unit ordered to a hex as the order code issues it (cancel-all, the
// route, the destination, the move bit) walks there on the minute loop, and
// on the real turn thread into a hex of a region at war, which it takes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "records/command_ids.h"
#include "sim/game_command.h"
#include "sim/game_session_test_support.h"
#include "sim/game_threads.h"
#include "sim/turn_thread.h"
#include "sim/unit_order_args.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "world/movement_rates.h"
#include "units/paths/path_route.h"
#include "units/paths/path_search.h"
#include "world/unit_create.h"
#include "units/step/unit_step_phases.h"
#include "world/unit_tables.h"

namespace {

constexpr int kTankClass = 2;

class UnitWalk : public GameSessionTest {
 protected:
  // A 12 x 8 map of open land: the columns handed out to the regions in
  // turn, or with a border, those left of it region 1's and the others
  // region 2's; a tank class that moves on it and may take ground.
  void BuildWalkWorld(int regions, int border = 0) {
    BuildWorld(12, 8, regions, true);
    World& w = g_world;
    if (border > 0)
      for (size_t c = 0; c < w.cells.size(); ++c)
        w.cells[c].word = WithCellOwner(w.cells[c].word, static_cast<int>(c % 12) < border ? 1 : 2);
    GiveRegionsLand(regions, border == 0);
    w.terrains[0].bytes[120] = 1;  // open to movement type 0
    w.mapHeader.hexScale = 10;
    w.mapHeader.scale = 1.0f;
    for (auto& factors : w.techEffects) factors[13] = 1.0f;
    UnitClassRecord& tank = w.unitClasses[kTankClass];
    std::strcpy(tank.name, "Tank");
    tank.strengthPerSize = 10;
    tank.speed = 100;  // speed
    w.gameState.gameSpeed = 1 << 30;
  }

  // A tank of region 1 standing at the position, in the step's table.
  static UnitRecord* PlaceTank(uint32_t at) {
    World& w = g_world;
    UnitRecord* tank = CreateUnit(w, w.players[1], 0x01000100u, kTankClass, 1.0f, at, 0, 0);
    if (!tank) return nullptr;
    tank->unitFlags &= ~kUnitProvisional;
    tank->orders[kPostureBits] = 0;
    tank->ordersShown = tank->orders;
    HexCell& cell = w.cells[static_cast<size_t>(HexY(at) * w.mapWidth + HexX(at))];
    HexStackInsertById(w, cell, *tank);
    HexStackInsertOrdered(w, cell, *tank);
    AppendUnitPtr(w, kUnitTableOnMap, 1, 0, *tank);
    RecomputeMovementRates(w, *tank);
    return tank;
  }

  // As the order code posts an order to a hex: 336, 340 and 339; 337 with
  // the move bit goes on its own.
  static void PostRouteTo(uint32_t id, uint32_t start, uint32_t goal) {
    PostSimpleCommand(kCmdUnitCancelOrders, 1, static_cast<int32_t>(id));
    uint32_t waypoints[8] = {start, goal};
    PathRequest route;
    InitPathRequest(waypoints, route, goal, 0, false);
    std::vector<uint8_t> payload(sizeof(PathRequestImage));
    std::memcpy(payload.data(), static_cast<const PathRequestImage*>(&route), payload.size());
    PostArgs(kCmdAssignUnitRoute, OrderUnitArgs{.unit = id}, payload);
    PostArgs(kCmdUnitSetDestination, OrderHexArgs{.unit = id, .hex = goal});
  }
  static void PostMove(uint32_t id) { PostArgs(kCmdAddOrderFlags, OrderFlagsArgs{.unit = id, .flags = kOrderMove}); }
};

TEST_F(UnitWalk, AUnitOrderedFiveHexesAwayWalksTheSearchedWayAndStopsAtTheCentre) {
  BuildWalkWorld(1);
  World& w = g_world;
  const uint32_t start = MakeHexPos(2, 3), goal = MakeHexPos(7, 4);
  UnitRecord* tank = PlaceTank(start);
  ASSERT_NE(tank, nullptr);
  HexCell& cell = w.cells[static_cast<size_t>(3 * w.mapWidth + 2)];

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

  const uint32_t id = tank->id;
  PostRouteTo(id, start, goal);
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

  PostMove(id);
  std::vector<uint32_t> walked{start};
  runMinutes(4 * 1440, &walked);
  EXPECT_EQ(walked, way);
  EXPECT_FALSE(tank->orders[kOrderFlags] & kOrderMove);
  EXPECT_LT(std::fabs(tank->pixelX), 3.0f);
  EXPECT_LT(std::fabs(tank->pixelY), 3.0f);
}

TEST_F(UnitWalk, OnTheTurnThreadATankOrderedIntoAnEnemyHexWalksInAndTakesIt) {
  // Columns 0-5 are region 1's, 6-11 region 2's, at war; region 1's rules
  // let its units into enemy hexes. Its tank, sent from (4, 3) to (8, 3),
  // pays ammunition for the hexes it takes.
  BuildWalkWorld(2, 6);
  World& w = g_world;
  for (PlayerPolicyBlock* policy : {&w.players[1].simPolicy, &w.players[1].displayPolicy}) {
    policy->hostileMask = 1u << 2;
    policy->roeFlags = 0x80;
  }
  w.players[2].simPolicy.hostileMask = w.players[2].displayPolicy.hostileMask = 1u << 1;
  UnitClassRecord& cls = w.unitClasses[kTankClass];
  cls.ammoPerShot = 0.5f;
  cls.attackValues[0] = cls.attackValues[1] = 10;  // attacks ground
  const uint32_t start = MakeHexPos(4, 3), goal = MakeHexPos(8, 3);
  UnitRecord* tank = PlaceTank(start);
  ASSERT_NE(tank, nullptr);
  tank->ammo = 10.0f;
  const auto owner = [&](int x, int y) { return CellOwner(w.cells[static_cast<size_t>(y * 12 + x)].word); };
  ASSERT_EQ(owner(8, 3), 2);

  ASSERT_TRUE(StartTurnThread());
  PostRouteTo(tank->id, start, goal);
  PostMove(tank->id);
  // The commands take effect at their due minute on the thread: a day at a
  // time until the move is over.
  for (int day = 0; day < 4; ++day) {
    RunDaysOnTurnThread(1);
    if (!(tank->orders[kOrderFlags] & kOrderMove)) break;
  }
  StopTurnThread();
  EXPECT_EQ(MakeHexPos(tank->x, tank->y), goal);
  EXPECT_FALSE(tank->orders[kOrderFlags] & kOrderMove);
  EXPECT_EQ(owner(8, 3), 1);
  EXPECT_EQ(owner(6, 3), 1);  // across the border from its start
  EXPECT_EQ(owner(11, 3), 2);  // far from its way
  EXPECT_LT(tank->ammo, 10.0f);
}

}  // namespace
