#include <gtest/gtest.h>

#include <initializer_list>

#include "records/le_bytes.h"
#include "records/player_kinds.h"
#include "records/unit_flags.h"
#include "world/combat_counters.h"
#include "units/combat/fire_test_world.h"
#include "units/hex_geometry.h"
#include "units/news_types_test_support.h"
#include "world/unit_class.h"
#include "units/step/unit_step_phases.h"
#include "units/step/unit_step_test_world.h"

namespace {

using fire_test::FireWorld;
using fire_test::SetRanges;
using handover_test::kStockClass;

constexpr uint32_t kStrikeNews[] = {190, 11, 366, 368, 365, 367};

// A missile of region 1 arriving on (2, 2), held by region 2 (at war), with
// the interface's effects captured.
struct StrikeWorld : FireWorld, step_test::EffectCapture {
  StrikeWorld() {
    UnitClassRecord& m = world->unitClasses[kStockClass];
    m.flags = kClassStock;
    for (int type = 0; type < 6; ++type) m.attackValues[type] = 10;
    SetRanges(m, 35.0f, 35.0f, 35.0f, 35.0f);
    Own(2, 2, 2);
    for (int p : {1, 2}) world->players[p].kind = kKindHuman;
    world->gameState.localPlayer = 2;
    world->gameState.currentDay = 12;
    TakeCombatDayCounts(*world);
  }
  UnitRecord& Missile() {
    UnitRecord& m = Place(1, kStockClass, 1.0f, 2, 2);
    m.strength = 1.0f;
    m.efficiency = m.morale = 1.0f;
    return m;
  }
};

// A missile whose attack on its target fired does not strike the hex as
// well; without a target it strikes the hex's facility.
TEST(StepImpactTest, AnAttackThatFiredIsTheWholeStrike) {
  for (int withTarget = 0; withTarget < 2; ++withTarget) {
    StrikeWorld sw;
    UnitRecord& target = sw.Unit(2, fire_test::kGun, 10.0f, 2, 2);
    sw.Unit(2, fire_test::kOutpost, 1.0f, 2, 2);  // the hex's facility
    UnitRecord& missile = sw.Missile();
    if (withTarget) missile.orders[kFireUnit] = target.id;
    UnitStepState s = sw.PhaseState(missile);
    StepImpact(*sw.world, missile, s);
    EXPECT_TRUE(s.ended);
    EXPECT_TRUE(missile.unitFlags & kUnitGone);
    EXPECT_EQ(TakeCombatDayCounts(*sw.world).shotsResolved, 1u) << withTarget;
  }
}

// The struck region hears by the weapon's kind, the first that applies;
// special weapons show a blast whose scale is three eighth roots of the
// yield and flash the screen with strength r x r x 250.
TEST(StepImpactTest, NewsEffectAndFlashByKind) {
  struct Row {
    const char* name;
    uint32_t flags;
    uint32_t message, event;  // 0: none
    int32_t size;
    float scale;
    uint32_t flash;  // 0: none
  } rows[] = {
      {"first special kind", kClassSpecialWeaponA, 190, 11, 200, 6.0f, 1000},
      {"second special kind", kClassSpecialWeaponB, 366, 368, 200, 6.0f, 1000},
      {"both: the first applies", kClassSpecialWeaponA | kClassSpecialWeaponB, 190, 11, 200, 6.0f, 1000},
      {"immune kind", kClassSpecialImmune, 365, 367, 50, 1.0f, 0},
      {"plain", 0, 0, 0, 50, 1.0f, 0},
  };
  for (const Row& row : rows) {
    StrikeWorld sw;
    NewsTypesGuard news(std::initializer_list<uint32_t>{190, 11, 366, 368, 365, 367}, 500);
    UnitClassRecord& m = sw.world->unitClasses[kStockClass];
    m.flags |= row.flags;
    m.strikeYield = 256.0f;
    g_screenFlashStrength.store(0);
    UnitRecord& missile = sw.Missile();
    UnitStepState s = sw.PhaseState(missile);
    StepImpact(*sw.world, missile, s);
    for (const uint32_t id : kStrikeNews)
      EXPECT_EQ(NewsTypesGuard::PostedOn(2, id, 12), id == row.message || id == row.event) << row.name << " " << id;
    ASSERT_EQ(step_test::g_effects.size(), 1u) << row.name;
    EXPECT_EQ(step_test::g_effects[0].firstFrame, 16) << row.name;
    EXPECT_EQ(step_test::g_effects[0].frames, 8) << row.name;
    EXPECT_EQ(step_test::g_effects[0].size, row.size) << row.name;
    EXPECT_FLOAT_EQ(step_test::g_effects[0].scale, row.scale) << row.name;
    EXPECT_EQ(g_screenFlashStrength.load(), row.flash) << row.name;
  }
}

// A circling aircraft turns its wanted heading a quarter: even ids one way,
// odd ids the other; at the map's edge it is not sent to the null hex.
TEST(StepArrivalTest, CirclingTurnsByTheIdAndStaysOnTheMap) {
  struct Row {
    const char* name;
    int x, y;
    uint32_t idParity;
    uint8_t wantedAfter;
    bool sent;
  } rows[] = {
      {"even id", 2, 2, 0, 22, true},
      {"odd id", 2, 2, 1, 6, true},
      {"even id at the top edge", 2, 0, 0, 22, false},
  };
  for (const Row& row : rows) {
    step_test::StepWorld sw;
    UnitClassRecord& plane = sw.world->unitClasses[handover_test::kPlane];
    plane.movementType = 7;
    while ((sw.nextId + 1) % 2 != row.idParity) ++sw.nextId;
    UnitRecord& u = sw.Place(step_test::kOwner, handover_test::kPlane, 1.0f, row.x, row.y);
    u.wantedHeading = 2;
    u.heading = 2;
    u.orders[kDestination] = MakeHexPos(row.x, row.y);
    UnitStepState s = sw.State(u);
    EXPECT_FALSE(StepArrival(*sw.world, u, s)) << row.name;
    EXPECT_EQ(u.wantedHeading, row.wantedAfter) << row.name;
    const uint32_t ahead = HexNeighbour(MapShape(*sw.world), MakeHexPos(row.x, row.y), HeadingDirection(row.wantedAfter));
    EXPECT_EQ(ahead != kNoHexPosition, row.sent) << row.name;
    EXPECT_EQ(u.orders[kDestination], row.sent ? ahead : MakeHexPos(row.x, row.y)) << row.name;
    EXPECT_NE(u.orders[kDestination], kNoHexPosition) << row.name;
  }
}

// Berthing with a leader (a ship carrying its based units, room left):
// the refuelling mark comes with the in-base bit on arriving from outside,
// and for a ship also when it berths already in base.
TEST(StepArrivalTest, AShipTakesTheRefuelMarkWithItsInBaseBit) {
  const struct {
    uint8_t moveKind;
    bool inBase;
    bool marked;
  } rows[] = {{kMoveKindSea, true, true}, {kMoveKindSea, false, true}, {kMoveKindAir, true, false},
              {kMoveKindAir, false, true}};
  for (const auto& row : rows) {
    step_test::StepWorld sw;
    sw.world->unitClasses[handover_test::kShip].baseSlots = 4;
    UnitRecord& leader = sw.Place(step_test::kOwner, handover_test::kShip, 1.0f, 2, 2);
    UnitRecord& u = sw.Place(step_test::kOwner, handover_test::kTank, 1.0f, 2, 2);
    u.moveKind = row.moveKind;
    u.unitFlags |= kUnitFollowsLeader | (row.inBase ? kUnitInBase : 0u);
    u.orders[kLeaderUnit] = leader.id;
    u.orders[kMoveTarget] = u.orders[kDestination] = MakeHexPos(2, 2);
    u.orders[kStateFlags] = 0;
    UnitStepState s = sw.State(u);
    StepArrival(*sw.world, u, s);
    EXPECT_TRUE(u.unitFlags & kUnitInBase) << int{row.moveKind} << " " << row.inBase;
    EXPECT_EQ((u.orders[kStateFlags] & kStateCanRefuel) != 0, row.marked) << int{row.moveKind} << " " << row.inBase;
    EXPECT_EQ(leader.carriedCount, row.inBase ? 0 : 1) << "counted on arriving only";
  }
}

// The fuel watch of an aircraft with no fuel to watch does nothing; near
// home a low tank asks for a base.
TEST(StepFuelWatchTest, WatchesOnlyWhatThereIs) {
  struct Row {
    const char* name;
    float capacity, strength, fuel;
    bool wantsBase;
  } rows[] = {
      {"no fuel capacity", 0.0f, 1.0f, 0.0f, false},
      {"no strength", 10.0f, 0.0f, 0.0f, false},
      {"below half near home", 10.0f, 1.0f, 4.0f, true},
      {"well filled near home", 10.0f, 1.0f, 9.5f, false},
  };
  for (const Row& row : rows) {
    step_test::StepWorld sw;
    UnitClassRecord& plane = sw.world->unitClasses[handover_test::kPlane];
    plane.movementType = 6;
    plane.fuelCapacity = row.capacity;
    sw.world->cellBytes[2 * 6 + 2] = 3;
    UnitRecord& u = sw.Place(step_test::kOwner, handover_test::kPlane, 1.0f, 2, 2);
    u.strength = row.strength;
    u.fuel = row.fuel;
    u.orders[kOrderFlags] |= kOrderMoving;
    UnitStepState s = sw.State(u);
    StepFuelWatch(*sw.world, u, s);
    EXPECT_EQ((u.orders[kStateFlags] & kStateCanRefuel) != 0, row.wantsBase) << row.name;
  }
}

// A mission's chase: it follows the unit it names while that unit is live
// and seen, marks contact on its hex, and drops the mission otherwise.
TEST(StepMissionTargetTest, ChasesOrDropsTheNamedUnit) {
  enum Target { kNone, kDead, kCarried, kSameHex, kElsewhere };
  struct Row {
    const char* name;
    Target target;
    uint32_t destination;  // afterwards; 0 checks that the orders went
    bool contact;
    uint32_t orderFlags;   // afterwards, masked by the aim bits
  } rows[] = {
      {"no unit named", kNone, MakeHexPos(5, 5), false, 0},
      {"the unit is destroyed", kDead, 0, false, 0},
      {"the unit is carried", kCarried, 0, false, 0},
      {"on the same hex", kSameHex, MakeHexPos(5, 5), true, kOrderKeepsTarget},
      {"elsewhere and seen", kElsewhere, MakeHexPos(4, 1), false, kOrderKeepsTarget},
  };
  for (const Row& row : rows) {
    step_test::StepWorld sw;
    UnitRecord& u = sw.Tank(2, 2);
    UnitRecord& t = row.target == kSameHex ? sw.Tank(2, 2) : sw.Tank(4, 1);
    if (row.target == kDead) t.unitFlags |= kUnitGone;
    if (row.target == kCarried) t.carrier = u.id;
    u.orders[kOrderFlags] = kOrderKeepsTarget | kOrderMove;
    u.orders[kFireUnit] = row.target == kNone ? 0 : t.id;
    u.orders[kDestination] = MakeHexPos(5, 5);
    UnitStepState s = sw.State(u);
    StepMissionTarget(*sw.world, u, s);
    EXPECT_EQ(u.orders[kDestination], row.destination) << row.name;
    EXPECT_EQ((u.orders[kStateFlags] & (1u << 6)) != 0, row.contact) << row.name;
    EXPECT_EQ(u.orders[kOrderFlags] & (kOrderKeepsTarget | (1u << 19)), row.orderFlags) << row.name;
  }
}

}  // namespace
