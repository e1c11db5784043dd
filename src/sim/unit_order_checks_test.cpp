// The unit-order commands as peers send them: counting over both passes,
// arguments a peer could send wrong, the route commands, and a deployment
// posted and run as the game runs it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "records/hex_unit_stack.h"
#include "records/le_bytes.h"
#include "records/unit_record.h"
#include "sim/command_counts.h"
#include "sim/command_executor.h"
#include "records/command_ids.h"
#include "sim/command_post.h"
#include "sim/command_test_world.h"
#include "units/deployment_weight.h"
#include "world/hex_stack_chains.h"
#include "units/unit_batch.h"
#include "world/unit_create.h"
#include "units/unit_player_fields.h"
#include "world/unit_tables.h"
#include "world/hex_extra.h"
#include "world/id_lookups.h"

namespace {

namespace uf = unitfields;

constexpr int kInfantry = 3;  // land, 10 points a size, value 20 a point, speed 1000
constexpr int kTown = 4;      // a settlement serving land units
constexpr int kSilo = 5;      // type 8: holds its own build slot

class OrderChecks : public ::testing::Test {
 protected:
  void SetUp() override {
    World& w = *t.world;
    w.unitClasses.assign(6, UnitClassRecord{});
    UnitClassRecord& inf = w.unitClasses[kInfantry];
    std::strcpy(inf.name, "Infantry");
    inf.strengthPerSize = 10;
    inf.valuePerPoint = 20;
    inf.speed = 1000;
    UnitClassRecord& town = w.unitClasses[kTown];
    std::strcpy(town.name, "Town");
    town.strengthPerSize = 1;
    town.flags = kClassFacility | kClassSettlement;
    town.loadableMask = 1;
    UnitClassRecord& silo = w.unitClasses[kSilo];
    std::strcpy(silo.name, "Silo");
    silo.strengthPerSize = 1;
    silo.typeByte = 8;
    w.mapHeader.hexScale = 20;
    w.mapHeader.scale = 1.0f;
  }
  UnitRecord& MakeUnit(int owner, int cls, int x, int y) {
    UnitRecord* u = CreateUnit(*t.world, t.world->players[owner], ++nextId, cls, 1.0f,
                               static_cast<uint32_t>(x) | static_cast<uint32_t>(y) << 16, 0, 0);
    u->unitFlags &= ~kUnitProvisional;
    u->orders[kPostureBits] = u->ordersShown[kPostureBits] = 0;
    return *u;
  }
  GameCommand Command(uint32_t id, const UnitRecord& u, uint32_t a24 = 0, uint32_t a32 = 0, uint32_t a36 = 0) {
    GameCommand c = MakeGameCommand(t.world->gameState, id, 1);
    c.arg24 = a24;
    c.arg28 = u.id;
    c.arg32 = a32;
    c.arg36 = a36;
    return c;
  }
  static std::vector<uint8_t> RoutePayload(const PathRequestImage& route) {
    std::vector<uint8_t> bytes(sizeof route);
    std::memcpy(bytes.data(), &route, sizeof route);
    return bytes;
  }
  HexCell& Cell(int x, int y) { return t.world->cells[static_cast<size_t>(y) * t.world->mapHeader.width + x]; }

  CommandTestWorld t;
  uint32_t nextId = 0x01000100;
};

// Two orders on one unit: two outstanding after both display passes; the
// display copy keeps both until the second simulation pass, when the copies
// agree.
TEST_F(OrderChecks, TwoOrdersOnOneUnitAgreeAfterTheSecondSimulationPass) {
  UnitRecord& u = MakeUnit(1, kInfantry, 2, 2);
  GameCommand first = Command(kCmdUnitSetOrderId, u, 0, 9);
  GameCommand second = Command(kCmdUnitSetOrderLevel, u, 0, 4);
  ExecuteCommand(*t.world, first, 0);
  ExecuteCommand(*t.world, second, 0);
  EXPECT_EQ(UnitOutstanding(u), 2);
  ExecuteCommand(*t.world, first, 1);
  EXPECT_EQ(UnitOutstanding(u), 1);
  EXPECT_EQ(u.ordersShown[kOrderId], 9u);
  EXPECT_EQ(u.ordersShown[10] >> 24, 4u);
  EXPECT_NE(std::memcmp(&u.orders, &u.ordersShown, sizeof(OrderBlock)), 0);
  ExecuteCommand(*t.world, second, 1);
  EXPECT_EQ(UnitOutstanding(u), 0);
  EXPECT_EQ(std::memcmp(&u.orders, &u.ordersShown, sizeof(OrderBlock)), 0);
}

// A unit the simulation made (a missile loaded from stock, a split half)
// takes its id from the world's counter, which no player posts with, and
// takes the silo panel's launch orders in both copies alike.
TEST_F(OrderChecks, AUnitTheSimulationMadeTakesTheLaunchOrdersInBothCopies) {
  UnitRecord* u = SpawnPlayerUnits(*t.world, t.world->players[1], kInfantry, 1, false, 0);
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(SequencePlayer(u->id), 0u);
  const uint32_t hex = 3u | 2u << 16;
  std::vector<GameCommand> launch = {Command(kCmdUnitSetDestination, *u, hex), Command(kCmdUnitSetFireHex, *u, hex),
                                     Command(kCmdUnitSetOrdersHeaderBits, *u, 0, kHeaderLaunchAllowed, 1),
                                     Command(kCmdUnitSetOrderLevel, *u, 0, 1),
                                     Command(kCmdAddOrderFlags, *u, 0, kOrderLaunchCargo | kOrderHexFacility)};
  for (GameCommand& c : launch) ExecuteCommand(*t.world, c, 0);
  for (GameCommand& c : launch) ExecuteCommand(*t.world, c, 1);
  EXPECT_EQ(UnitOutstanding(*u), 0);
  EXPECT_EQ(u->orders[kFireHex], hex);
  EXPECT_TRUE(u->orders[kOrderFlags] & kOrderLaunchCargo);
  EXPECT_TRUE(u->orders[kOrdersHeader] & kHeaderLaunchAllowed);
  EXPECT_EQ(std::memcmp(&u->orders, &u->ordersShown, sizeof(OrderBlock)), 0);
}

// Arguments a peer could send wrong change nothing in either pass and leave
// the unit's count where it was.
TEST_F(OrderChecks, BadArgumentsChangeNothingInEitherPass) {
  PathRequestImage offMap{};
  offMap.waypoints[2] = 0x00050040;  // column 64 of an 8-column map
  PathRequestImage badIndex{};
  badIndex.waypointIndex = 9;
  struct Row {
    const char* name;
    uint32_t id;
    uint32_t a24;
    uint32_t a32;
    std::vector<uint8_t> payload;
  };
  const Row rows[] = {
      {"339 off the map", kCmdUnitSetDestination, 0x00020014, 0, {}},
      {"339 above the top row", kCmdUnitSetDestination, 0xFFFF0002, 0, {}},
      {"342 below the bottom row", kCmdUnitSetFireHex, 0x00060002, 0, {}},
      {"347 far away", kCmdUnitSetSecondHex, 0x00640064, 0, {}},
      {"340 short payload", kCmdAssignUnitRoute, 0, 0, std::vector<uint8_t>(10, 0)},
      {"340 waypoint off the map", kCmdAssignUnitRoute, 0, 0, RoutePayload(offMap)},
      {"340 no such waypoint", kCmdAssignUnitRoute, 0, 0, RoutePayload(badIndex)},
      {"350 field 16", kCmdUnitSetOrderSetting, 0, 16, {}},
  };
  for (const Row& r : rows) {
    UnitRecord& u = MakeUnit(1, kInfantry, 2, 2);
    const UnitImage before = u;
    GameCommand c = Command(r.id, u, r.a24, r.a32, 1);
    c.payload = r.payload;
    c.payloadLength = static_cast<uint32_t>(c.payload.size());
    ExecuteCommand(*t.world, c, 0);
    EXPECT_EQ(UnitOutstanding(u), 0) << r.name;
    ExecuteCommand(*t.world, c, 1);
    EXPECT_EQ(UnitOutstanding(u), 0) << r.name;
    EXPECT_EQ(std::memcmp(static_cast<const UnitImage*>(&u), &before, sizeof(UnitImage)), 0) << r.name;
    EXPECT_EQ(u.route, nullptr) << r.name;
  }
  // A good position at the edge passes.
  UnitRecord& u = MakeUnit(1, kInfantry, 2, 2);
  GameCommand edge = Command(kCmdUnitSetDestination, u, 0x00050007);
  ExecuteCommand(*t.world, edge, 0);
  ExecuteCommand(*t.world, edge, 1);
  EXPECT_EQ(u.orders[kDestination], 0x00050007u);
}

// 341 with steps replaces the route's steps unless there are fewer than its
// step count; without steps it releases them so the next step searches the
// way again, keeping the waypoints. Both are counted over both passes.
TEST_F(OrderChecks, RouteStepsReplacedRefusedOrReleased) {
  struct Row {
    const char* name;
    std::vector<uint8_t> steps;
    std::vector<uint8_t> stepsAfter;
    uint32_t countAfter;
  };
  const Row rows[] = {
      {"enough steps", {4, 4, 5, 1}, {4, 4, 5, 1}, 3},
      {"fewer than the step count", {4, 4}, {1, 1, 1}, 3},
      {"no steps", {}, {}, 0},
  };
  for (const Row& r : rows) {
    UnitRecord& u = MakeUnit(1, kInfantry, 2, 2);
    u.route = std::make_unique<PathRequest>();
    u.route->waypoints[0] = 0x00020002;
    u.route->waypoints[1] = 0x00040005;
    u.route->stepCount = 3;
    u.route->stepIndex = 1;
    u.route->steps = {1, 1, 1};
    u.orders[kOrdersWord] = 2;  // speed setting 2: 150 per cent
    GameCommand c = Command(kCmdAssignRouteSteps, u);
    c.payload = r.steps;
    c.payloadLength = static_cast<uint32_t>(r.steps.size());
    ExecuteCommand(*t.world, c, 0);
    EXPECT_EQ(UnitOutstanding(u), 1) << r.name;
    ExecuteCommand(*t.world, c, 1);
    EXPECT_EQ(UnitOutstanding(u), 0) << r.name;
    EXPECT_EQ(u.route->steps, r.stepsAfter) << r.name;
    EXPECT_EQ(u.route->stepCount, r.countAfter) << r.name;
    EXPECT_EQ(u.route->waypoints[1], 0x00040005u) << r.name;
    const bool accepted = r.steps.empty() || r.steps.size() >= 3;
    EXPECT_EQ(OrderSpeedPercent(u.orders), accepted ? 150 : 0) << r.name << ": the rates follow an accepted 341";
  }
}

// 337 makes the unit due at once; 338 clearing a held build slot gives the
// slot back: a type-8 class to its owner's count, any other to its hex's
// facility.
TEST_F(OrderChecks, OrderFlagsAndHeldSlots) {
  UnitRecord& u = MakeUnit(1, kInfantry, 2, 2);
  AppendUnitPtr(*t.world, kUnitTableOnMap, 1, 0, u);
  u.tableEntry->countdown = 9;
  GameCommand flags = Command(kCmdAddOrderFlags, u, 0, 0x4, 0x2);
  ExecuteCommand(*t.world, flags, 0);
  EXPECT_EQ(u.tableEntry->countdown, 9) << "the display pass leaves the schedule alone";
  ExecuteCommand(*t.world, flags, 1);
  EXPECT_EQ(u.tableEntry->countdown, 0);
  EXPECT_EQ(u.orders[kOrderFlags] & 0x4u, 0x4u);
  EXPECT_EQ(UnitOutstanding(u), 0);

  UnitRecord& town = MakeUnit(1, kTown, 3, 3);
  GetStackDataLocked(*t.world, Cell(3, 3))->lead = &town;
  town.leadValue = 2;
  UnitRecord& held = MakeUnit(1, kInfantry, 3, 3);
  UnitRecord& silo = MakeUnit(1, kSilo, 3, 3);
  uf::SetShort(t.world->players[1], uf::kTypeEightCount, 1);
  for (UnitRecord* v : {&held, &silo}) {
    v->orders[kStateFlags] = v->ordersShown[kStateFlags] = kStateHeldSlot;
    GameCommand clear = Command(kCmdUnitSetStateBits, *v, 0, kStateHeldSlot, 0);
    ExecuteCommand(*t.world, clear, 0);
    ExecuteCommand(*t.world, clear, 1);
    ExecuteCommand(*t.world, clear, 0);
    ExecuteCommand(*t.world, clear, 1);  // the slot is given up once
  }
  EXPECT_EQ(town.leadValue, 1);
  EXPECT_EQ(uf::Short(t.world->players[1], uf::kTypeEightCount), 0);
}

// A reserve unit made at a base and deployed by 274 posted through the
// pipeline and run at its due tick: it stands in table 1 and both chains of
// its hex; the counts move from the reserve to the map and the budget pays
// 20 x 10.
TEST_F(OrderChecks, AReserveUnitDeploysThroughThePipeline) {
  World& w = *t.world;
  UnitRecord& town = MakeUnit(1, kTown, 3, 2);
  GetStackDataLocked(w, Cell(3, 2))->lead = &town;
  PlayerRecord& p = w.players[1];
  p.soldiers = 1000.0f;
  std::vector<UnitRecord*> made;
  CreateUnitBatch(w, p, kInfantry, 1, 0x00020003, true, false, &made);
  ASSERT_EQ(made.size(), 1u);
  UnitRecord& u = *made[0];
  EXPECT_EQ(uf::Short(p, uf::kReserveCounts), 1);
  GameCommand c = MakeGameCommand(w.gameState, kCmdScheduleUnit, 1);
  c.arg28 = u.id;
  const uint32_t due = c.dueTick;
  PostCommand(*t.log, c, false);
  EXPECT_EQ(PendingDeployments(w, 1), 200.0f);
  DrainDueCommands(*t.log, due);
  EXPECT_FALSE(InReserve(u));
  const UnitTableArray* onMap = w.unitTables.Slot(kUnitTableOnMap, 1, 0);
  ASSERT_EQ(onMap->Count(), 2);
  EXPECT_EQ(onMap->At(1).unit, &u);
  const HexUnitStack* stack = LoadHexStack(Cell(3, 2));
  ASSERT_NE(stack, nullptr);
  EXPECT_EQ(stack->chainA[0], &u);
  EXPECT_EQ(stack->chainB[0], &u);
  EXPECT_EQ(u.nextInChainB, nullptr) << "filed once";
  EXPECT_EQ(uf::Short(p, uf::kMapCounts), 1);
  EXPECT_EQ(uf::Short(p, uf::kReserveCounts), 0);
  EXPECT_EQ(p.soldiers, 800.0f);
  EXPECT_EQ(uf::Real(p, uf::kForcesOnMap), 200.0f);
  EXPECT_EQ(PendingDeployments(w, 1), 0.0f);
  EXPECT_EQ(UnitOutstanding(u), 0);
  EXPECT_EQ(PendingCommands(p), 0);
}

// The simulation pass of 272 confirms only the poster's provisional unit.
TEST_F(OrderChecks, AConfirmationNamingAnotherUnitChangesNothing) {
  UnitRecord& other = MakeUnit(2, kInfantry, 2, 2);
  GameCommand c = MakeGameCommand(t.world->gameState, kCmdCreateUnit, 1);
  c.sequence = other.id;
  c.arg28 = kInfantry;
  ExecuteCommand(*t.world, c, 1);
  EXPECT_EQ(other.tableEntry, nullptr);
  EXPECT_EQ(uf::Short(t.world->players[1], uf::kUnitsOnOrder), 0);
}

}  // namespace
