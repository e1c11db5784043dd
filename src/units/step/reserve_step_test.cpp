// The reserve step: its wake-ups, a disband request, resupply from the
// owner's (and the hex player's) stocks, and the deployment draw.
#include <gtest/gtest.h>

#include "records/le_bytes.h"
#include "records/unit_table_arrays.h"
#include "units/step/reserve_supply.h"
#include "units/unit_player_fields.h"
#include "units/step/unit_side_steps.h"
#include "units/step/unit_step_test_world.h"

namespace {

using namespace step_test;
namespace uf = unitfields;

constexpr size_t kAsked = 92;
constexpr size_t kDelivered = 88;

class ReserveWorld : public StepWorld {
 public:
  ReserveWorld() {
    world->cellBytes.assign(36, 3);
    world->unitClasses[kTank].fuelCapacity = 10.0f;
  }
  // A reserve tank at (2, 2), full of fuel and at strength.
  UnitRecord& Waiting() {
    UnitRecord& u = Reserve(kOwner, kTank, 1.0f, 2, 2);
    u.efficiency = 1.0f;
    u.fuel = 100.0f;
    u.targetStrength = 1.0f;
    u.orders[kPostureBits] |= kPostureNoAutoDeploy;
    return u;
  }
};

TEST(ReserveStep, AnIdleUnitSleeps72MinutesAndABusyOneWakesWithItsTimer) {
  struct Row {
    const char* what;
    uint32_t orderFlags;
    float fuel;
    int secondCountdown;
  };
  const Row rows[] = {
      {"idle over two steps", 0, 100.0f, 71},
      {"with orders", kOrderEngaged, 100.0f, 17},
      {"needing fuel", 0, 50.0f, 17},
  };
  for (const Row& r : rows) {
    ReserveWorld t;
    UnitRecord& u = t.Waiting();
    u.orders[kOrderFlags] = r.orderFlags;
    u.fuel = r.fuel;
    uf::SetFuelStock(t.world->players[kOwner], 1000.0f);
    RunReserveStep(*t.world, u, 1);
    EXPECT_EQ(u.tableEntry->countdown, 17) << r.what;  // first step: the timer's 18 minutes
    RunReserveStep(*t.world, u, 18);
    EXPECT_EQ(u.tableEntry->countdown, r.secondCountdown) << r.what;
    EXPECT_EQ(u.tableEntry->minutesSince, 0) << r.what;
  }
}

TEST(ReserveStep, ADisbandRequestEndsTheStepWithoutRescheduling) {
  ReserveWorld t;
  UnitRecord& u = t.Waiting();
  UnitTableEntry* entry = u.tableEntry;
  entry->countdown = 0;
  entry->minutesSince = 9;
  u.orders[kOrderMask] |= 1u << 27;
  RunReserveStep(*t.world, u, 10);
  EXPECT_TRUE(u.unitFlags & kUnitGone);
  EXPECT_EQ(entry->countdown, 0);
  EXPECT_EQ(entry->minutesSince, 9);
}

// Rate 2 x 1.0 x 12 = 24: 24 x 4 / 240 x max(1, 10 / 4) = 1 a step, asked
// even when none came; a unit that needed something is no longer idle. A
// unit without a position has no hex to draw on.
TEST(ReserveSupply, FuelComesFromTheOwnerThenTheHexPlayerAndIsBookedEvenWhenNoneCame) {
  struct Row {
    const char* what;
    bool positioned;
    float ownerStock, hexPlayerStock, asked, delivered;
  };
  const Row rows[] = {
      {"the owner's stock", true, 5.0f, 0.0f, 1.0f, 1.0f},
      {"the hex player's stock", true, 0.0f, 5.0f, 1.0f, 1.0f},
      {"both short", true, 0.5f, 0.5f, 1.0f, 0.0f},
      {"no position", false, 5.0f, 5.0f, 0.0f, 0.0f},
  };
  constexpr int kHexPlayer = 9;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ReserveWorld t;
    t.Own(2, 2, kHexPlayer);
    UnitRecord& u = r.positioned ? t.Waiting() : t.Reserve(kOwner, kTank, 1.0f, 0, 0);
    u.efficiency = 1.0f;
    u.fuel = 50.0f;
    u.unitFlags |= kUnitStepped;
    PlayerRecord& owner = t.world->players[kOwner];
    PlayerRecord& hexPlayer = t.world->players[kHexPlayer];
    uf::SetFuelStock(owner, r.ownerStock);
    uf::SetFuelStock(hexPlayer, r.hexPlayerStock);
    ResupplyReserveUnit(*t.world, u, t.world->unitClasses[kTank]);
    EXPECT_FLOAT_EQ(u.fuel, 50.0f + r.delivered);
    EXPECT_FLOAT_EQ(uf::ProductReal(owner, uf::kFuelProduct, kAsked), r.asked);
    EXPECT_FLOAT_EQ(uf::ProductReal(owner, uf::kFuelProduct, kDelivered), r.delivered);
    EXPECT_FLOAT_EQ(uf::FuelStock(owner) + uf::FuelStock(hexPlayer), r.ownerStock + r.hexPlayerStock - r.delivered);
    EXPECT_FALSE(u.unitFlags & kUnitFullySupplied);
    EXPECT_EQ((u.unitFlags & kUnitStepped) != 0, !r.positioned);
  }
}

TEST(ReserveDeployment, AnAggressiveUnitIsDrawnByTheOwnersRate) {
  struct Row {
    uint32_t idPlusDay;  // mod 20
    int32_t rate;
    bool drawn;
  };
  // Aggressiveness 3 x 30 + setting 40 = 130.
  const Row rows[] = {{20 + 5, 5, true}, {20 + 6, 5, false}, {40, 5, true}, {41, 1, false}, {7, 7, true}};
  for (const Row& r : rows) {
    ReserveWorld t;
    UnitRecord& u = t.Waiting();
    u.orders[kOrdersWord] |= 3u << 6;
    PlayerRecord& owner = t.world->players[kOwner];
    owner.simPolicy.milinitiativeoff = 40;
    owner.simPolicy.defcon = r.rate;
    t.world->gameState.currentDay = r.idPlusDay - u.id;
    EXPECT_EQ(ReserveDeploymentDrawn(*t.world, u), r.drawn) << r.idPlusDay << " " << r.rate;
  }
}

}  // namespace
