// Launchers riding a carrier that never fires, on the minute loop: the
// carrier has no weapons and no cargo slots of its own, so its fire phase
// never runs and its step counter never moves; the launchers still look
// for targets every few of their own steps. With nothing in reach, a look
// drops the target hex they were given, which is what shows it happened.
#include <gtest/gtest.h>

#include <cstring>

#include "records/unit_record.h"
#include "sim/game_session_test_support.h"
#include "sim/turn_thread.h"
#include "units/hex_geometry.h"
#include "world/hex_stack_chains.h"
#include "world/movement_rates.h"
#include "world/unit_create.h"
#include "world/unit_tables.h"

namespace {

constexpr int kTruckClass = 2;
constexpr int kRocketClass = 3;
constexpr int kSide = 1;

class CarriedLaunchScan : public GameSessionTest {
 protected:
  void SetUp() override {
    GameSessionTest::SetUp();
    BuildWorld(8, 6, 1, true);
    GiveRegionsLand(1);
    World& w = g_world;
    w.mapHeader.hexScale = 10;
    w.mapHeader.scale = 1.0f;
    for (auto& factors : w.techEffects) factors[13] = 1.0f;
    w.terrains[0].bytes[120] = 1;
    w.cellBytes.assign(w.cells.size(), 50);
    UnitClassRecord& truck = w.unitClasses[kTruckClass];
    std::strcpy(truck.name, "Truck");
    truck.strengthPerSize = 1;
    truck.valuePerPoint = 1;
    truck.speed = 100;
    UnitClassRecord& rockets = w.unitClasses[kRocketClass];
    std::strcpy(rockets.name, "Rockets");
    rockets.flags = kClassStock;
    rockets.strengthPerSize = 1;
    rockets.valuePerPoint = 1;
  }

  UnitRecord& Make(int cls, float size, int x, int y) {
    World& w = g_world;
    UnitRecord* u = CreateUnit(w, w.players[kSide], ++nextId_, cls, size, MakeHexPos(x, y), 0, 0);
    u->unitFlags &= ~kUnitProvisional;
    u->orders[kPostureBits] = 0;
    u->buildWork = 0.0f;
    u->efficiency = u->morale = 1.0f;
    return *u;
  }

  uint32_t nextId_ = 0x01000100u;
};

TEST_F(CarriedLaunchScan, LaunchersAboardACarrierThatNeverFiresStillScan) {
  // The carrier's counter as an earlier fire phase may have left it; the
  // scan period is (2 - 0) x (8 - 0) x (2 - 0) = 32 steps.
  for (const uint8_t counter : {uint8_t{1}, uint8_t{0}, uint8_t{200}}) {
    World& w = g_world;
    UnitRecord& truck = Make(kTruckClass, 1.0f, 2, 2);
    HexStackInsertById(w, *HexCellAt(w, MapShape(w), MakeHexPos(2, 2)), truck);
    RecomputeMovementRates(w, truck);
    truck.stepCounter = counter;
    truck.ordersShown = truck.orders;
    AppendUnitPtr(w, kUnitTableOnMap, kSide, UnitTableCategory(truck), truck);

    UnitRecord& rockets = Make(kRocketClass, 3.0f, 0, 0);
    rockets.carrier = truck.id;
    truck.cargoNext = rockets.id;
    rockets.orders[kOrdersHeader] |= kHeaderLaunchAllowed;
    rockets.orders[kFireHex] = MakeHexPos(6, 4);
    rockets.ordersShown = rockets.orders;
    AppendUnitPtr(w, kUnitTableOnMap, kSide, UnitTableCategory(rockets), rockets);

    int minutes = 0;
    for (; minutes < 3 * 32 && rockets.orders[kFireHex] != kNoHexPosition; ++minutes) {
      w.gameState.minutesLeft = 1;
      RunDayMinutes(w);
    }
    EXPECT_EQ(rockets.orders[kFireHex], kNoHexPosition) << "carrier counter " << int{counter};
    EXPECT_LE(minutes, 2 * 32) << "carrier counter " << int{counter};
    EXPECT_EQ(truck.stepCounter, counter) << "the carrier never fired";
    EXPECT_EQ(rockets.carrier, truck.id);
  }
}

}  // namespace
