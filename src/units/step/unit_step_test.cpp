#include "units/news_types_test_support.h"
#include "units/step/unit_step.h"

#include <optional>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "units/hex_geometry.h"
#include "world/movement_rates.h"
#include "units/paths/path_search.h"
#include "units/unit_destroy.h"
#include "units/step/unit_scheduler.h"
#include "sim/message_ids.h"
#include "units/step/unit_step_test_world.h"
#include "world/text/rule_tables.h"
#include "world/text/ui_options.h"

namespace {

using namespace step_test;

class UnitStepTest : public ::testing::Test, public StepWorld {};

TEST_F(UnitStepTest, TheWalkStartsAtTheSlotOfTheMinutesLeft) {
  const struct {
    int32_t minutesLeft;
    int slot;
  } rows[] = {{1440, 0}, {1439, 31}, {33, 1}, {32, 0}, {1, 1}};
  for (const auto& row : rows) EXPECT_EQ(SchedulerStartSlot(row.minutesLeft), row.slot) << row.minutesLeft;
}

// Countdown 5: five minutes pass it over (its elapsed count reaching 5), the
// sixth steps it covering 6 minutes, which the fifth countdown shows.
TEST_F(UnitStepTest, ACountdownOfFiveIsPassedOverFiveMinutesAndTheSixthStepCoversSix) {
  UnitRecord& tank = Tank(2, 2);
  ASSERT_NE(tank.tableEntry, nullptr);
  tank.tableEntry->countdown = 5;
  tank.tableEntry->minutesSince = 0;
  tank.countdown5 = 100;
  for (int minute = 1; minute <= 5; ++minute) {
    RunUnitScheduler(*world, 1000 - minute);
    EXPECT_EQ(tank.tableEntry->minutesSince, minute);
    EXPECT_EQ(tank.tableEntry->countdown, 5 - minute);
    EXPECT_EQ(tank.countdown5, 100);
  }
  RunUnitScheduler(*world, 994);
  EXPECT_EQ(tank.countdown5, 94);
  EXPECT_EQ(tank.tableEntry->minutesSince, 0);
  EXPECT_TRUE(tank.unitFlags & kUnitStepped);
}

TEST_F(UnitStepTest, StockOnTheMapAndFacilitiesInTheReserveAreNeverStepped) {
  const struct {
    int table, category;
  } rows[] = {{kUnitTableOnMap, kUnitCategoryStock}, {kUnitTableReserve, kUnitCategoryFacility}};
  for (const auto& row : rows) {
    UnitRecord& tank = Tank(2, 2);
    AppendUnitPtr(*world, row.table, kOwner, row.category, tank);
    tank.tableEntry->countdown = 3;
    for (int minute = 0; minute < 4; ++minute) RunUnitScheduler(*world, 700 + minute);
    EXPECT_EQ(tank.tableEntry->countdown, 3) << row.table;
    EXPECT_EQ(tank.tableEntry->minutesSince, 0) << row.table;
  }
}

// The fifth countdown is the one the closing phase does not refill.
TEST_F(UnitStepTest, TheEntryCountsCountdownsDownToZeroAndNoFurther) {
  const struct {
    uint8_t before, minutes, after;
  } rows[] = {{3, 10, 0}, {3, 0, 3}, {20, 6, 14}, {255, 255, 0}};
  for (const auto& row : rows) {
    UnitRecord& tank = Tank(2, 2);
    tank.countdown5 = row.before;
    RunUnitStep(*world, tank, row.minutes);
    EXPECT_EQ(tank.countdown5, row.after) << int{row.before} << " - " << int{row.minutes};
  }
}

TEST_F(UnitStepTest, AnUnfuelledAircraftOutOfBaseIsDestroyedWithTheLossEffect) {
  UnitClassRecord& plane = world->unitClasses[kPlane];
  plane.movementType = 7;  // carrier-borne
  plane.fuelCapacity = 1.0f;
  plane.destructionSound = 42;  // its sound
  UnitRecord& u = Place(kOwner, kPlane, 1.0f, 2, 3);
  u.fuel = 0.0f;
  u.pixelX = 4.7f;
  u.pixelY = -2.2f;
  RunUnitStep(*world, u, 1);
  EXPECT_TRUE(u.unitFlags & kUnitGone);
  ASSERT_EQ(g_effects.size(), 1u);
  const Effect& e = g_effects[0];
  EXPECT_EQ(e.position, MakeHexPos(2, 3));
  EXPECT_EQ(e.offsetX, 4);
  EXPECT_EQ(e.offsetY, -2);
  EXPECT_EQ(e.firstFrame, 0);
  EXPECT_EQ(e.frames, 16);
  EXPECT_EQ(e.size, 100);
  EXPECT_EQ(e.colour, 0xBFFFFFFFu);
  EXPECT_EQ(e.scale, 1.0f);
  EXPECT_EQ(g_sounds, std::vector<int32_t>{42});
  // In its base it waits for fuel.
  UnitRecord& based = Place(kOwner, kPlane, 1.0f, 2, 3);
  based.fuel = 0.0f;
  based.unitFlags |= kUnitInBase;
  based.costByte = 1;
  based.countdowns[3] = 5;  // the hex cost is not refreshed
  RunUnitStep(*world, based, 1);
  EXPECT_FALSE(based.unitFlags & kUnitGone);
}

// Kind 2 with order column 1: 5; the wide-search bit doubles it, a
// narrowing bit halves it; halving stops at 3.
TEST_F(UnitStepTest, TheSearchLimitComesFromKindAndOrderColumn) {
  const struct {
    uint8_t kind;
    uint32_t column, orderFlags;
    int limit;
  } rows[] = {{2, 1, 0, 5}, {2, 1, 0x10000, 10}, {2, 1, 0x10002, 5}, {2, 1, 0x2, 2}, {0, 2, 0, 8}, {0, 2, 0x4, 4},
              {0, 1, 0x2000000, 3}, {1, 0, 0x10000, 4}, {3, 3, 0, 2}};
  for (const auto& row : rows) {
    UnitRecord& tank = Tank(2, 2);
    tank.kind = row.kind;
    tank.orders[kOrdersWord] = row.column << 2;
    tank.orders[kOrderFlags] = row.orderFlags;
    EXPECT_EQ(State(tank).searchLimit, row.limit) << int{row.kind} << " " << row.column << " " << row.orderFlags;
  }
}

// Speed 100 over hex size 10 carries 10 hexes per unit of fuel ratio: 4.5
// fuel at rate 1 reaches 45. A target 40 hexes away needs 50: cruise.
TEST_F(UnitStepTest, AnAircraftWhoseTargetLiesBeyondItsReachFallsBackToCruise) {
  UnitClassRecord& plane = world->unitClasses[kPlane];
  plane.movementType = 6;
  plane.fuelUse = 1.0f;
  const struct {
    int targetX;
    uint8_t percent;
  } rows[] = {{41, 100}, {31, 150}};
  for (const auto& row : rows) {
    UnitRecord& u = Place(kOwner, kPlane, 1.0f, 1, 1);
    u.fuel = 4.5f;
    u.speedFactor = 1.0f;
    u.orders[kMoveTarget] = MakeHexPos(row.targetX, 1);
    SetOrderSpeedPercent(u.orders, 150);
    const UnitStepState s = State(u);
    EXPECT_EQ(OrderSpeedPercent(u.orders), row.percent) << row.targetX;
    EXPECT_EQ(u.rangeLeft, 45) << row.targetX;
    (void)s;
  }
}

TEST_F(UnitStepTest, AHeadingTurnsTheShortWayRoundOneStepAMinute) {
  UnitRecord& tank = Tank(2, 2);
  tank.heading = 22;
  tank.wantedHeading = 2;
  UnitStepState s = State(tank);
  const uint8_t seen[] = {23, 0, 1, 2};
  for (const uint8_t heading : seen) {
    tank.countdowns[2] = 0;
    StepTurns(tank, s);
    EXPECT_EQ(tank.heading, heading);
  }
  EXPECT_TRUE(tank.unitFlags & kUnitMoved);
  // Waiting for its turn countdown it only notes the gap.
  tank.wantedHeading = 8;
  tank.countdowns[2] = 4;
  StepTurns(tank, s);
  EXPECT_EQ(tank.heading, 2);
  EXPECT_EQ(s.turnGap, 6);
}

// Consumption 0.6 x 12 / 1440 x ratio 1 x factor 1 x strength 10 = 0.05.
TEST_F(UnitStepTest, ACrossingIsMadeOrRefusedAndTheStepBurnsItsFuel) {
  world->unitClasses[kTank].fuelUse = 0.6f;
  const struct {
    bool wall;
    uint32_t at;
    float offsetX, offsetY;
    bool stopped;
  } rows[] = {{true, MakeHexPos(2, 2), 11.0f, 0.0f, true}, {false, MakeHexPos(3, 2), -6.0f, -11.0f, false}};
  for (const auto& row : rows) {
    StepWorld fresh;
    World& w = *fresh.world;
    w.unitClasses[kTank].fuelUse = 0.6f;
    if (row.wall) fresh.Wall(3, 2);
    UnitRecord& tank = fresh.Tank(2, 2);
    tank.fuel = 1.0f;
    tank.rateRatio = 1.0f;
    tank.speedFactor = 1.0f;
    tank.pixelX = 11.0f;
    tank.velocityX = 1.0f;
    tank.nextStep = 5;
    tank.x2 = 3;
    tank.y2 = 2;
    tank.orders[kOrderFlags] = kOrderMoving | kOrderMove;
    UnitStepState s = fresh.State(tank);
    StepMotion(w, tank, s);
    EXPECT_EQ(MakeHexPos(tank.x, tank.y), row.at);
    EXPECT_EQ(tank.pixelX, row.offsetX);
    EXPECT_EQ(tank.pixelY, row.offsetY);
    EXPECT_EQ((tank.unitFlags & kUnitStoppedAtEdge) != 0, row.stopped);
    EXPECT_TRUE(tank.orders[kStateFlags] & kStateHalt);
    EXPECT_NEAR(tank.fuel, 0.95f, 1e-6f);
    EXPECT_EQ(fresh.InChainA(HexX(row.at), HexY(row.at), tank), true);
  }
}

TEST_F(UnitStepTest, AUnitShortOfFuelStopsOutOfFuel) {
  world->unitClasses[kTank].fuelUse = 0.6f;
  UnitRecord& tank = Tank(2, 2);
  tank.fuel = 0.04f;
  tank.rateRatio = 1.0f;
  tank.speedFactor = 1.0f;
  tank.velocityX = 1.0f;
  tank.orders[kOrderFlags] = kOrderMoving;
  UnitStepState s = State(tank);
  StepMotion(*world, tank, s);
  EXPECT_EQ(tank.fuel, 0.0f);
  EXPECT_EQ(tank.pixelX, 0.0f);
  EXPECT_TRUE(tank.orders[kStateFlags] & kStateOutOfFuel);
}

// Right is 6.5, truncated to 6; up-right at 45 degrees 3.5, truncated to 3
// and lowered to 2; down 12.5; left 18.5; down-right 9.5, raised to 10.
TEST_F(UnitStepTest, TheWantedHeadingFollowsTheMove) {
  const struct {
    float dx, dy;
    int heading;
  } rows[] = {{1, 0, 6}, {1, -1, 2}, {0, -1, 0}, {0, 1, 12}, {-1, 0, 18}, {-1, -1, 22}, {1, 1, 10}};
  for (const auto& row : rows) EXPECT_EQ(SteeringHeading(row.dx, row.dy), row.heading) << row.dx << ", " << row.dy;
}

TEST_F(UnitStepTest, TheSpeedSettingGivesHalfStepsOfTheClassSpeed) {
  const struct {
    uint32_t setting;
    uint8_t percent;
    float factor;
  } rows[] = {{0, 50, 1.0f}, {1, 100, 1.0f}, {2, 150, 1.5f}, {3, 200, 2.0f}};
  for (const auto& row : rows) {
    UnitRecord& tank = Tank(2, 2);
    tank.orders[kOrdersWord] = row.setting;
    SetSpeedFromSetting(*world, tank, world->unitClasses[kTank], 0);
    EXPECT_EQ(OrderSpeedPercent(tank.orders), row.percent);
    EXPECT_EQ(tank.speedFactor, row.factor);
    EXPECT_GT(tank.moveRate, 0.0f);
  }
}

TEST_F(UnitStepTest, ABlockedNextHexIsSearchedAroundInTheSameStep) {
  UnitRecord& tank = Tank(1, 2);
  tank.orders[kDestination] = MakeHexPos(4, 2);
  tank.orders[kOrderFlags] = kOrderMove;
  UnitStepState s = State(tank);
  StepRoute(*world, tank, s);
  ASSERT_LT(tank.nextStep, 6);
  const uint32_t first = MakeHexPos(tank.x2, tank.y2);
  EXPECT_TRUE(tank.orders[kOrderFlags] & kOrderMoving);
  Wall(HexX(first), HexY(first));
  tank.unitFlags |= kUnitStoppedAtEdge;
  StepRoute(*world, tank, s);
  const uint32_t second = MakeHexPos(tank.x2, tank.y2);
  ASSERT_LT(tank.nextStep, 6);
  EXPECT_NE(second, first);
  EXPECT_EQ(HexNeighbour(MapShape(*world), MakeHexPos(1, 2), tank.nextStep), second);
  EXPECT_NE(tank.costByte, 0);
  EXPECT_EQ(tank.orders[kDestination], MakeHexPos(4, 2));
}

TEST_F(UnitStepTest, ElevenFriendlyUnitsOnTheNextHexHaltAUnitTenDoNot) {
  const struct {
    int others;
    bool halted;
  } rows[] = {{10, false}, {11, true}};
  for (const auto& row : rows) {
    StepWorld fresh;
    UnitRecord& tank = fresh.Tank(2, 2);
    for (int i = 0; i < row.others; ++i) fresh.Tank(3, 2);
    tank.x2 = 3;
    tank.y2 = 2;
    tank.orders[kOrderFlags] = kOrderMoving;
    tank.orders[kStateFlags] = kStateHalt2;
    UnitHaltCheck(*fresh.world, tank);
    EXPECT_EQ((tank.orders[kStateFlags] & kStateHalt) != 0, row.halted) << row.others;
  }
}

// Capacity 2 x 1; ratios 0.4, 0.9 and 0.6: the second goes, ahead of the
// base's heading 0 (up).
TEST_F(UnitStepTest, ABaseOverCapacityPushesOutTheAircraftWithMostFuelForItsSize) {
  UnitClassRecord& ship = world->unitClasses[kShip];
  ship.baseSlots = 2;
  world->unitClasses[kPlane].fuelCapacity = 10.0f;
  UnitRecord& base = Place(kOwner, kShip, 1.0f, 2, 3);
  base.heading = 0;
  const float fuels[] = {4.0f, 9.0f, 6.0f};
  std::vector<UnitRecord*> planes;
  for (const float fuel : fuels) {
    UnitRecord& p = Place(kOwner, kPlane, 1.0f, 2, 3);
    p.fuel = fuel;
    p.unitFlags |= kUnitInBase | kUnitFollowsLeader;
    p.orders[kLeaderUnit] = base.id;
    planes.push_back(&p);
  }
  base.carriedCount = 3;
  StepCarrierCapacity(*world, base);
  EXPECT_EQ(base.carriedCount, 2);
  EXPECT_TRUE(planes[0]->unitFlags & kUnitInBase);
  EXPECT_FALSE(planes[1]->unitFlags & kUnitInBase);
  EXPECT_TRUE(planes[2]->unitFlags & kUnitInBase);
  EXPECT_EQ(planes[1]->orders[kDestination], MakeHexPos(2, 2));
  EXPECT_TRUE(planes[1]->unitFlags & kUnitFollowsLeader);  // at least half its fuel: it returns
}

TEST_F(UnitStepTest, AFollowerOfADestroyedLeaderDropsLeaderAndMoveTarget) {
  UnitRecord& leader = Tank(4, 4);
  UnitRecord& follower = Tank(1, 1);
  follower.unitFlags |= kUnitFollowsLeader;
  follower.orders[kLeaderUnit] = leader.id;
  follower.orders[kMoveTarget] = MakeHexPos(1, 1);
  follower.orders[kDestination] = MakeHexPos(1, 1);
  StepFollowLeader(*world, follower);
  EXPECT_TRUE(follower.unitFlags & kUnitFollowsLeader);
  EXPECT_EQ(follower.orders[kMoveTarget], MakeHexPos(4, 4));
  EXPECT_EQ(follower.orders[kDestination], MakeHexPos(4, 4));
  UnitDestroy(*world, leader, 1);
  StepFollowLeader(*world, follower);
  EXPECT_FALSE(follower.unitFlags & kUnitFollowsLeader);
  EXPECT_EQ(follower.orders[kMoveTarget], 0u);
  EXPECT_EQ(follower.orders[kLeaderUnit], 0u);
}

TEST_F(UnitStepTest, TheClosingPhaseChoosesTheNextWakeUpAndRefillsCountdowns) {
  const struct {
    uint32_t flags, orderFlags;
    uint8_t countdown5, difficulty;
    int wake;
    uint8_t refill55;
    bool idleBefore;
    int32_t pace;  // the owner's value at record byte 5396
    uint8_t classByte114;
  } rows[] = {
      {kUnitMoved, 0, 0, 0, 0, 54, false, 0, 0},        // a moving unit
      {0, kOrderMoving, 0, 1, 0, 36, false, 0, 0},      // a pending one-hex move
      {0, 0, 1, 2, 0, 18, false, 0, 0},                 // the sighting countdown due next minute
      {0, 0, 70, 0, 2, 54, false, 0, 0},                // the step period: countdown 3 refilled, less 1
      {kUnitStepEveryMinute, 0, 0, 3, 0, 18, false, 0, 0},
      // Idle before and after: W = 50 - 8 x 2 - 10 = 24 minutes, less 1.
      {kUnitStepped, 0, 0, 0, 23, 54, true, 2, 10},
      // Idle, at a pace that would go below 3: at least 3, less 1.
      {kUnitStepped, 0, 0, 0, 2, 54, true, 6, 10},
  };
  for (const auto& row : rows) {
    UnitRecord& tank = Tank(2, 2);
    world->unitClasses[kTank].reloadFactor = row.classByte114;
    le::StoreI32(reinterpret_cast<uint8_t*>(&world->players[tank.owner]) + 5396, row.pace);
    UnitStepState s = State(tank);
    tank.unitFlags |= row.flags;
    tank.orders[kOrderFlags] = row.orderFlags;
    tank.countdown5 = row.countdown5;
    std::fill(std::begin(tank.countdowns), std::end(tank.countdowns), uint8_t{0});
    world->scenario.head.difficulty = row.difficulty;
    s.wasStepped = row.idleBefore;
    StepClose(*world, tank, s);
    EXPECT_EQ(tank.tableEntry->countdown, row.wake) << row.flags << " " << row.orderFlags << " " << row.pace;
    EXPECT_EQ(tank.countdowns[3], row.refill55);
    EXPECT_EQ(tank.countdowns[0], 9);
    EXPECT_EQ(tank.countdowns[1], 3);
    EXPECT_EQ(tank.countdowns[2], 6);
  }
}

// Ordered to a hex five steps away, the unit walks exactly the search's way
// and stops at the centre of that hex.
TEST_F(UnitStepTest, AnOrderedUnitWalksThePathSearchsHexesAndStopsAtTheCentre) {
  UnitRecord& tank = Tank(1, 1);
  const uint32_t goal = MakeHexPos(5, 4);
  tank.orders[kDestination] = goal;
  tank.orders[kOrderFlags] = kOrderMove;
  tank.tableEntry->countdown = 0;
  RecomputeMovementRates(*world, tank);

  // The way as the search gives it.
  UnitStepState s = State(tank);
  PathSearchBlock& block = WorldPathSearch(*world);
  block.from = MakeHexPos(1, 1);
  block.to = goal;
  ASSERT_EQ(FindPath(*world, block), 1);
  std::vector<uint32_t> way{block.from};
  for (size_t i = block.steps.size(); i-- > 0;)
    if (block.steps[i] != kNoMove) way.push_back(HexNeighbour(MapShape(*world), way.back(), OppositeDirection(block.steps[i])));
  ASSERT_EQ(way.back(), goal);
  ASSERT_GE(way.size(), 5u);
  (void)s;

  std::vector<uint32_t> walked{MakeHexPos(tank.x, tank.y)};
  for (int minute = 0; minute < 5000 && (tank.orders[kOrderFlags] & kOrderMove); ++minute) {
    RunUnitScheduler(*world, 1440 - minute % 1440);
    if (MakeHexPos(tank.x, tank.y) != walked.back()) walked.push_back(MakeHexPos(tank.x, tank.y));
  }
  EXPECT_EQ(walked, way);
  EXPECT_FALSE(tank.orders[kOrderFlags] & kOrderMove);
  EXPECT_LT(std::fabs(tank.pixelX), 3.0f);
  EXPECT_LT(std::fabs(tank.pixelY), 3.0f);
  EXPECT_EQ(tank.nextStep, kNoMove);
}

}  // namespace

namespace {

// A hex size or technology factor that gives no divisor leaves the reach as
// it was; otherwise speed 100 / size 10 x 4.5 / (strength 10 x 0.1) + 0.9.
TEST_F(UnitStepTest, AReachWithoutADivisorStaysAsItWas) {
  const struct {
    uint32_t hexScale;
    float techFactor;
    int32_t reach;
  } rows[] = {{10, 1.0f, 45}, {0, 1.0f, 7}, {10, 0.0f, 7}, {10, -2.0f, 7}};
  UnitClassRecord& tank = world->unitClasses[kTank];
  tank.fuelUse = 0.1f;
  for (const auto& row : rows) {
    world->mapHeader.hexScale = row.hexScale;
    world->techEffects[kOwner][13] = row.techFactor;
    UnitRecord& u = Tank(2, 2);
    u.fuel = 4.5f;
    u.supply = 0.0f;
    u.speedFactor = 1.0f;
    u.rangeLeft = 7;
    StepReach(*world, u, tank);
    EXPECT_EQ(u.rangeLeft, row.reach) << row.hexScale << " " << row.techFactor;
  }
}

}  // namespace


namespace {

// The message types of a lost unit, counted through the message store's
// per-type record of the day it last passed (every type enabled news-only
// and below the news threshold, so nothing is filed).
class LostUnitMessageTest : public UnitStepTest {
 protected:
  static constexpr size_t kTypes = 500;
  void SetUp() override {
    news_.emplace(std::initializer_list<uint32_t>{}, kTypes);
    news_->EnableAll();
    world->gameState.localPlayer = kOwner;
    world->gameState.currentDay = 77;
  }
  void TearDown() override { news_.reset(); }
  std::vector<uint32_t> Posted() { return NewsTypesGuard::PostedTypesOn(kOwner, 77); }

  std::optional<NewsTypesGuard> news_;
};

// A lost unit's owner is told by its move kind; stock (a missile in flight)
// is lost without any message.
TEST_F(LostUnitMessageTest, ALostUnitsOwnerIsToldByItsMoveKindAndStockGoesWithoutAWord) {
  const struct {
    uint8_t moveKind;
    bool stock;
    std::vector<uint32_t> told;
  } rows[] = {{1, false, {kMsgAircraftLost}},
              {0, false, {kMsgUnitLost}},
              {2, false, {kMsgUnitLost}},
              {1, true, {}},
              {0, true, {}}};
  for (const auto& row : rows) {
    news_->ClearDays();
    g_effects.clear();
    UnitClassRecord& plane = world->unitClasses[kPlane];
    plane.movementType = 7;
    plane.fuelCapacity = 1.0f;
    plane.flags = row.stock ? kClassStock : 0;
    UnitRecord& u = Place(kOwner, kPlane, 1.0f, 2, 3);
    u.moveKind = row.moveKind;
    u.fuel = 0.0f;
    RunUnitStep(*world, u, 1);
    EXPECT_TRUE(u.unitFlags & kUnitGone) << int{row.moveKind} << " " << row.stock;
    EXPECT_EQ(Posted(), row.told) << int{row.moveKind} << " " << row.stock;
    EXPECT_EQ(g_effects.size(), 1u) << "the loss shows on the map";
  }
}

// A missile whose way to the hex it was sent to is closed (here every hex
// round it is impassable) is not lost: its destination becomes the hex it
// stands on, where its arrival strikes; with the way open it flies on.
TEST_F(LostUnitMessageTest, AMissileWithNoWayToItsTargetStaysToStrikeWhereItStands) {
  const struct {
    bool walled;
  } rows[] = {{false}, {true}};
  for (const auto& row : rows) {
    news_->ClearDays();
    g_effects.clear();
    UnitClassRecord& missile = world->unitClasses[kPlane];
    missile.movementType = 0;  // the test world's land column
    missile.flags = kClassStock;
    const uint32_t from = MakeHexPos(1, 1), target = MakeHexPos(4, 4);
    for (int d = 0; d < 6; ++d) {
      const uint32_t n = HexNeighbour(MapShape(*world), from, d);
      if (n != kNoHexPosition) Cell(HexX(n), HexY(n)).word = WithCellTerrain(Cell(HexX(n), HexY(n)).word, row.walled ? kWall : 1);
    }
    UnitRecord& u = Place(kOwner, kPlane, 1.0f, 1, 1);
    u.moveKind = 1;
    u.orders[kDestination] = target;
    u.orders[kOrderFlags] = kOrderMove;
    UnitStepState s = State(u);
    StepRoute(*world, u, s);
    EXPECT_FALSE(s.ended) << row.walled;
    EXPECT_FALSE(u.unitFlags & kUnitGone) << row.walled;
    EXPECT_TRUE(Posted().empty()) << row.walled;
    EXPECT_TRUE(g_effects.empty()) << row.walled;
    if (row.walled) {
      EXPECT_EQ(u.orders[kDestination], from) << "it comes down where it stands";
      EXPECT_EQ(u.nextStep, kNoMove);
    } else {
      EXPECT_EQ(u.orders[kDestination], target);
      EXPECT_LT(u.nextStep, kNoMove) << "it flies on";
    }
  }
}

}  // namespace

namespace {

// A step that files units into the very array being walked: the lost
// aircraft's sound hook appends a hundred tanks (enough to move the array).
// They wait for the next minute; the units after the lost one are still
// stepped in this one.
StepWorld* g_appendWorld = nullptr;
std::vector<UnitRecord*> g_appended;

TEST_F(UnitStepTest, UnitsFiledDuringTheWalkWaitForTheNextMinute) {
  UnitClassRecord& plane = world->unitClasses[kPlane];
  plane.movementType = 7;
  plane.fuelCapacity = 1.0f;
  plane.kind = 0;  // filed with the land units
  UnitRecord& lost = Place(kOwner, kPlane, 1.0f, 2, 3);
  lost.kind = 0;
  lost.fuel = 0.0f;
  AppendUnitPtr(*world, kUnitTableOnMap, kOwner, 0, lost);
  UnitRecord& after = Tank(4, 4);
  after.countdown5 = 50;
  g_appendWorld = this;
  g_appended.clear();
  g_simUi.playMilitarySound = [](int32_t) {
    for (int i = 0; i < 100; ++i) {
      UnitRecord& u = g_appendWorld->Tank(1, 1);
      u.countdown5 = 50;
      u.tableEntry->countdown = 0;
      g_appended.push_back(&u);
    }
  };
  RunUnitScheduler(*world, 1000);
  EXPECT_TRUE(lost.unitFlags & kUnitGone);
  ASSERT_EQ(g_appended.size(), 100u);
  EXPECT_EQ(after.countdown5, 49);  // stepped after the array moved
  for (UnitRecord* u : g_appended) EXPECT_EQ(u->countdown5, 50);
  RunUnitScheduler(*world, 999);
  for (UnitRecord* u : g_appended) EXPECT_EQ(u->countdown5, 49);
  g_appendWorld = nullptr;
}

}  // namespace
